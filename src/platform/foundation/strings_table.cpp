#include "platform/foundation/strings_table.h"

#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_detail.h"

namespace vx {

namespace {

// A table is the pairs of an old-style property-list dictionary without braces, whose
// values are all strings.
Result<StringsTable> tableOf(const plist::Dictionary& pairs) {
    StringsTable table;
    for (const auto& [key, value] : pairs) {
        if (!value.isString()) return fail("the value of \"" + key + "\" is not a string");
        table.insert_or_assign(key, value.string());
    }
    return table;
}

}  // namespace

Result<StringsTable> parseStringsTable(std::string_view bytes, std::vector<std::string>* notes) {
    const std::string decoded = VX_TRY(plist::detail::textOfOpenStep(bytes));
    return tableOf(VX_TRY(plist::detail::parseStringsFileText(decoded, notes)));
}

Result<StringsTable> readStringsTable(std::string_view devicePath) {
    const std::string bytes = VX_TRY(files::readBytes(devicePath));
    std::vector<std::string> notes;
    auto table = parseStringsTable(bytes, &notes);
    for (const std::string& note : notes)
        log::write("strings table " + std::string(devicePath) + ": " + note);
    if (!table) {
        std::string reason = "strings table " + std::string(devicePath) + ": " + table.error();
        log::write(reason);
        return fail(std::move(reason));
    }
    return table;
}

}  // namespace vx
