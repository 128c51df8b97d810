// The .strings table parser: any bytes give a table or a reason; keys and values are UTF-8.
#include "fuzz_support.h"
#include "platform/foundation/log.h"
#include "platform/foundation/strings_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;
    auto table = vx::parseStringsTable(vx::fuzz::bytesOf(data, size));
    if (!table) return 0;
    for (const auto& [key, value] : table.value()) {
        vx::fuzz::requireUtf8(key);
        vx::fuzz::requireUtf8(value);
    }
    return 0;
}
