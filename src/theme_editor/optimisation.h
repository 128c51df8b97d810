#pragma once
// Theme optimisation: the "var" declarations of a theme's settings script become options
// entries, the script is moved to "<script>.bak" and the entries are written as the
// theme's "Options.plist". The extraction is pure (text in, entries out) so that it can be
// tested and measured on its own.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"
#include "theme_editor/options_file.h"

namespace vx {

// The declaration texts of a script, in order: each runs from just after "var " (or from
// the "var" letters themselves when no blank follows them) to the next ";" or the end of
// the text. "var" is found anywhere, inside longer words too, in any letter case; blanks,
// tabs and line breaks before each step are skipped.
std::vector<std::string> extractDeclarationTexts(std::string text);
// The same, each with the byte offset in the text where it starts (for messages that name
// the script's line).
struct DeclarationText {
    std::string text;
    std::size_t offset = 0;
};
std::vector<DeclarationText> extractDeclarations(std::string text);

// One declaration text as an entry: name = the text before the first "=", value = the text
// between the first and the second "=" (each trimmed of blanks and tabs), with every
// double quote removed from the value. Type "switch" when the value reads "true" or
// "false" in any case, else "edit"; the default keeps the value as written. Nothing (and a
// log line) for a text without "=".
std::optional<OptionsEntry> optionsEntryFromDeclaration(std::string_view declaration);

struct ExtractedOptions {
    OptionsList entries;
    std::vector<std::string> names;  // the variable names in the order found
};

// Every declaration of a script, in file order; duplicates are kept.
ExtractedOptions extractOptions(std::string scriptText);

// "<folder>/<script>" and "<folder>/<script>.bak".
std::string settingsScriptPath(std::string_view folderPath, std::string_view scriptName);
std::string settingsScriptBackupPath(std::string_view folderPath, std::string_view scriptName);

// The settings script as text (decoded by the platform's text decoding). Fails, with the
// reason, when there is no script name or the file is missing, a folder, or undecodable.
Result<std::string> readSettingsScript(std::string_view folderPath,
                                       const std::optional<std::string>& scriptName);

// Writes "<folder>/Options.plist" atomically; when our own write is refused (a folder only
// the privileged mover may change), the file is written in kStagingFolder and moved into
// place by UBClient. Fails, with the reason, when neither way put it there.
inline constexpr std::string_view kStagingFolder = "/var/mobile/Library/Preferences";
Result<void> writeOptionsFile(std::string_view folderPath, const OptionsList& entries);

// The whole optimisation of one theme: read the script, extract its declarations, log the
// two paths, write "Options.plist", then move the script to its backup name (UBClient).
// A script that cannot be read stops it before anything is written or moved (logged, and
// returned). A failed write leaves the script where it is, so the theme is asked again
// next time; a failed move leaves both files, and the editor opens from Options.plist.
// Either failure is logged; the extracted entries are returned all the same.
Result<ExtractedOptions> optimiseTheme(std::string_view folderPath,
                                       const std::optional<std::string>& scriptName);

}  // namespace vx
