// Settings-script extraction: the declarations of any text become options entries, one name
// per entry, each a switch or an edit field. Run on the raw bytes and on their decoded text,
// as the editor reads a script.
#include "fuzz_support.h"
#include "platform/foundation/log.h"
#include "theme_editor/optimisation.h"

namespace {

void check(std::string text) {
    vx::ExtractedOptions extracted = vx::extractOptions(std::move(text));
    vx::fuzz::require(extracted.names.size() == extracted.entries.size());
    for (const vx::OptionsEntry& entry : extracted.entries) {
        const std::string type = vx::entryText(entry, vx::kEntryType);
        vx::fuzz::require(type == vx::kTypeSwitch || type == vx::kTypeEdit);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;
    std::string_view bytes = vx::fuzz::bytesOf(data, size);
    check(std::string(bytes));
    if (auto decoded = vx::text::decode(bytes)) check(std::move(decoded->text));
    return 0;
}
