// Specifier files: any property list gives rows or none, and every row answers what a page
// asks of it (name, cell type, identifier, the title of its default value).
#include "fuzz_support.h"
#include "host/specifier_file.h"
#include "platform/foundation/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::log::Capture quiet;
    auto root = vx::plist::parse(vx::fuzz::bytesOf(data, size));
    if (!root || !root->isDictionary()) return 0;
    vx::SpecifierFile file = vx::specifiersFromPlist(root->dictionary(), {}, "fuzz input");
    for (const vx::SpecifierPtr& row : file.specifiers) {
        vx::fuzz::require(row != nullptr);
        (void)row->name();
        (void)row->cellType();
        (void)row->identifier();
        if (const vx::plist::Value* fallback = row->propertyForKey("default"))
            (void)row->titleForValue(*fallback);
    }
    return 0;
}
