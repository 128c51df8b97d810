#pragma once
// Declaration lines: one JavaScript line per options entry, stored per theme under
// "ThemeOptions" in the preferences file. A "switch" entry gives `var <name> = <default>;`
// as written; every other type gives `var <name> = "<value>" ;`, where the value is escaped
// as a JavaScript string literal so that no value can end the string or the script the
// lines are put into.
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"
#include "platform/foundation/preferences_store.h"
#include "theme_editor/options_file.h"

namespace vx {

inline constexpr std::string_view kThemeOptionsKey = "ThemeOptions";

// The text as the inside of a double-quoted JavaScript string: backslash, double quote,
// line feed, carriage return, U+2028 and U+2029 escaped, and "</" written "<\/". Text
// without these characters comes back unchanged.
std::string escapeJavaScriptString(std::string_view text);

// The value of a non-switch line: "select" takes the text its "options" hold under the
// chosen key (the key itself when it is no key there); every other type its "default".
std::string declarationValue(const OptionsEntry& entry);
// The stored line of one entry.
std::string declarationLine(const OptionsEntry& entry);
// The log line of one entry: the quoted form with the entry's "default", whatever its type.
std::string declarationLogLine(const OptionsEntry& entry);

// The lines of a whole options list, in order; each entry's log line is written as it goes.
std::vector<std::string> declarationLines(const OptionsList& list);

// Stores the lines under "ThemeOptions" → folder path, replacing the theme's earlier lines
// and keeping every other theme's. Creates the preferences file when there is none; the
// write goes through the preferences store's protocol.
Result<SaveOutcome> storeDeclarationLines(std::string_view folderPath, std::vector<std::string> lines);

}  // namespace vx
