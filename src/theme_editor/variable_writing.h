#pragma once
// Declaration lines: one JavaScript line per options entry, stored per theme under
// "ThemeOptions" in the preferences file. A "switch" entry gives `var <name> = <default>;`
// as written (`false` when its default is missing, not text or blank, which the editor
// shows as off); every other type gives `var <name> = "<value>" ;`, where the value is
// escaped as a JavaScript string literal so that no value can end the string or the
// script the lines are put into. Lines read back into the values they were written from.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/preferences_store.h"
#include "platform/foundation/result.h"
#include "theme_editor/options_file.h"

namespace vx {

inline constexpr std::string_view kThemeOptionsKey = "ThemeOptions";

// The value of a non-switch line: "select" takes the text its "options" hold under the
// chosen key (the key itself when it is no key there); every other type its "default".
std::string declarationValue(const OptionsEntry& entry);
// The stored line of one entry.
std::string declarationLine(const OptionsEntry& entry);
// The log line of one entry: the quoted form with the entry's "default", whatever its type.
std::string declarationLogLine(const OptionsEntry& entry);

// The lines of a whole options list, in order; each entry's log line is written as it goes.
std::vector<std::string> declarationLines(const OptionsList& list);

// One of our lines read back: the variable's name and the text it was written from (the
// quoted form's escapes decoded). Nothing for a line of neither form.
struct DeclaredValue {
    std::string name;
    std::string value;
};
std::optional<DeclaredValue> readDeclarationLine(std::string_view line);

// The lines stored for a theme under "ThemeOptions" → folder path, in order; nothing when
// there are none (a missing file or key, or a value of the wrong type).
std::optional<std::vector<std::string>> storedDeclarationLines(std::string_view folderPath);

// The list with the values of stored lines put back: the n-th entry of a name takes the
// value of the n-th line of that name; a "select" entry takes the option whose text the
// line holds (else the line's text as it stands). Entries without a line keep their
// default; lines of names the list no longer has are dropped.
OptionsList withStoredValues(OptionsList list, const std::vector<std::string>& lines);

// Stores the lines under "ThemeOptions" → folder path, replacing the theme's earlier lines
// and keeping every other theme's. Creates the preferences file when there is none; the
// write goes through the preferences store's protocol.
Result<SaveOutcome> storeDeclarationLines(std::string_view folderPath, std::vector<std::string> lines);

}  // namespace vx
