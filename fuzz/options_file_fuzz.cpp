// Options.plist loading: any property list gives a list of entries or nothing, and every
// question the editor asks of an entry (its texts, its choices, whether its default reads
// as on) has an answer.
#include "fuzz_support.h"
#include "platform/foundation/log.h"
#include "theme_editor/options_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;
    auto root = vx::plist::parse(vx::fuzz::bytesOf(data, size));
    if (!root || !root->isArray()) return 0;
    const vx::OptionsList list = vx::optionsListFromArray(root->array(), "Options.plist");
    for (const vx::OptionsEntry& entry : list) {
        (void)vx::entryText(entry, vx::kEntryName);
        (void)vx::entryText(entry, vx::kEntryLabel);
        (void)vx::defaultReadsAsOn(vx::entryText(entry, vx::kEntryDefault));
        for (const std::string& label : vx::optionKeys(entry)) (void)vx::optionValue(entry, label);
    }
    vx::fuzz::requireRoundTrip(vx::plist::Value(vx::toPlistArray(list)));
    return 0;
}
