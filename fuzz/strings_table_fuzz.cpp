// libFuzzer entry point for the .strings table parser and the text decoder. Both must
// return a table, a decoded text or a reason for any bytes, and decoded text must be UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/foundation/strings_table.h"
#include "platform/foundation/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    auto table = vx::parseStringsTable(bytes);
    if (table) {
        for (const auto& [key, value] : table.value())
            if (!vx::text::isValidUtf8(key) || !vx::text::isValidUtf8(value)) std::abort();
    }

    auto decoded = vx::text::decode(bytes);
    if (decoded && !vx::text::isValidUtf8(decoded->text)) std::abort();
    return 0;
}
