#include "theme_lint.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <regex>

#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"
#include "platform/foundation/text.h"
#include "theme_editor/optimisation.h"
#include "theme_editor/options_file.h"
#include "themes/theme_discovery.h"
#include "themes/theme_settings_entry.h"

namespace vx::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 46> kReservedWords{
    "await",      "break",     "case",     "catch",   "class",     "const",  "continue",   "debugger",
    "default",    "delete",    "do",       "else",    "enum",      "export", "extends",    "false",
    "finally",    "for",       "function", "if",      "import",    "in",     "instanceof", "new",
    "null",       "return",    "super",    "switch",  "this",      "throw",  "true",       "try",
    "typeof",     "var",       "void",     "while",   "with",      "yield",  "let",        "static",
    "implements", "interface", "package",  "private", "protected", "public"};

// Where the pages would find a folder: a theme in one of the six theme folders is read
// under the device root that holds that folder (so a plugin entry of /Library/Widgets is
// judged as one); any other folder is read as an entry of its parent.
struct Placement {
    fs::path root;
    std::string folder;  // device path of the theme folder holding the entry ("" for the root)
    std::string entry;
};

Placement placementOf(const fs::path& hostFolder) {
    const fs::path parent = hostFolder.parent_path();
    for (const ThemeFolder& themeFolder : kThemeFolders) {
        fs::path root = parent;
        bool matches = true;
        const fs::path relative = fs::path(themeFolder.path).relative_path();
        std::vector<fs::path> parts(relative.begin(), relative.end());
        for (auto part = parts.rbegin(); part != parts.rend() && matches; ++part) {
            matches = root.filename() == *part;
            root = root.parent_path();
        }
        if (matches) return {root, std::string(themeFolder.path), hostFolder.filename()};
    }
    return {parent, "", hostFolder.filename()};
}

class Linter {
public:
    Linter(std::string given, std::string themePath)
        : given_(std::move(given)), themePath_(std::move(themePath)) {
        report_.folder = given_;
        while (given_.size() > 1 && given_.back() == '/')
            given_.pop_back();  // "X.theme/" names files "X.theme/F"
    }

    LintReport run(const Placement& placement) {
        auto record = themeRecordForEntry(placement.folder, placement.entry);
        if (!record)
            say("", {}, LintSeverity::Error,
                "no " + std::string(kLockBackgroundHtml) + " or " + std::string(kWidgetHtml) +
                    ": the theme list will not show this folder");
        if (files::fileExistsAtPath(optionsFilePath(themePath_))) {
            lintOptionsFile();
        } else if (auto script = findSettingsScript(themePath_)) {
            lintSettingsScript(*script);
        }
        return std::move(report_);
    }

private:
    void say(const std::string& file, std::optional<std::size_t> line, LintSeverity severity,
             std::string text) {
        report_.messages.push_back(
            {file.empty() ? given_ : given_ + "/" + file, line, severity, std::move(text)});
    }

    void lintOptionsFile() {
        const std::string file(kOptionsFile);
        auto read = readOptionsFile(themePath_);
        if (!read) {
            // The reader names the line in its reason: "... (line N)".
            static const std::regex kLine(R"(^(.*) \(line ([0-9]+)\)$)");
            std::smatch found;
            const std::string& reason = read.error();
            if (std::regex_match(reason, found, kLine))
                say(file, std::stoul(found[2]), LintSeverity::Error,
                    found[1].str() + "; the editor will show no rows");
            else
                say(file, {}, LintSeverity::Error, reason + "; the editor will show no rows");
            return;
        }
        std::map<std::string, std::size_t> firstEntryOfName;
        for (std::size_t i = 0; i < read->size(); ++i) {
            const std::string where = "entry " + std::to_string(i + 1);
            const plist::Dictionary* entry = (*read)[i].asDictionary();
            if (!entry) {
                say(file, {}, LintSeverity::Error, where + " is not a dictionary: the editor skips it");
                continue;
            }
            lintEntry(file, where, withTextValues(*entry), firstEntryOfName, i + 1);
        }
    }

    void lintEntry(const std::string& file, const std::string& where, const OptionsEntry& entry,
                   std::map<std::string, std::size_t>& firstEntryOfName, std::size_t number) {
        const std::string* name = entryString(entry, kEntryName);
        if (!name) {
            say(file, {}, LintSeverity::Error,
                where + " has no \"name\" text: its line would break the theme's script");
        } else if (!isJavaScriptIdentifier(*name)) {
            say(file, {}, LintSeverity::Error,
                where + ": \"" + *name +
                    "\" is not a JavaScript identifier: its line would break the theme's script");
        } else if (auto [first, added] = firstEntryOfName.emplace(*name, number); !added) {
            say(file, {}, LintSeverity::Warning,
                where + ": the name \"" + *name + "\" is also entry " + std::to_string(first->second) +
                    "'s: both lines are stored and the later one wins");
        }
        const std::string label = where + (name ? " (" + *name + ")" : std::string());
        const std::string* type = entryString(entry, kEntryType);
        const std::string defaultText = entryText(entry, kEntryDefault);
        if (!type || (*type != kTypeEdit && *type != kTypeSwitch && *type != kTypeSelect)) {
            say(file, {}, LintSeverity::Warning,
                label + ": type " + (type ? "\"" + *type + "\"" : std::string("missing")) +
                    " is not edit, switch or select: shown as a label only, written quoted");
        } else if (*type == kTypeSelect) {
            std::vector<std::string> keys = optionKeys(entry);
            if (keys.empty())
                say(file, {}, LintSeverity::Warning,
                    label + ": a select without options: nothing to choose");
            else if (std::find(keys.begin(), keys.end(), defaultText) == keys.end())
                say(file, {}, LintSeverity::Warning,
                    label + ": the default \"" + defaultText + "\" is not one of its options");
        } else if (*type == kTypeSwitch && !defaultReadsAsOn(defaultText) && looksOn(defaultText)) {
            say(file, {}, LintSeverity::Warning,
                label + ": the switch reads the default \"" + defaultText +
                    "\" as off; write true or false");
        }
    }

    // A text a person means as "on" (quotes and blanks around it aside).
    static bool looksOn(const std::string& text) {
        std::string word = str::lowercase(str::trimWhitespace(text));
        const auto isMark = [](char c) {
            return c == '"' || c == '\'' || c == '`' || c == ' ' || c == '\n' || c == '\t';
        };
        while (!word.empty() && isMark(word.front())) word.erase(word.begin());
        while (!word.empty() && isMark(word.back())) word.pop_back();
        for (std::string_view on : {"true", "yes", "on", "y", "t", "1", "enabled", "checked"})
            if (word == on) return true;
        return false;
    }

    void lintSettingsScript(const std::string& scriptName) {
        auto decoded = text::readTextFile(settingsScriptPath(themePath_, scriptName));
        if (!decoded) {
            say(scriptName, {}, LintSeverity::Error, "optimisation cannot read it: " + decoded.error());
            return;
        }
        say(scriptName, {}, LintSeverity::Note,
            "without Options.plist, optimisation reads this script as " + decoded->encoding);
        const std::string& script = decoded->text;
        std::map<std::string, std::size_t> firstLineOfName;
        for (const DeclarationText& declaration : extractDeclarations(script)) {
            const std::size_t line = lineAt(script, declaration.offset);
            auto entry = optionsEntryFromDeclaration(declaration.text);
            if (!entry) {
                say(scriptName, line, LintSeverity::Warning,
                    "\"" + shortened(declaration.text) + "\" has no \"=\": optimisation skips it");
                continue;
            }
            const std::string name = entryText(*entry, kEntryName);
            const std::string value = entryText(*entry, kEntryDefault);
            say(scriptName, line, LintSeverity::Note,
                "option \"" + shortened(name) + "\" (" + entryText(*entry, kEntryType) + ", default \"" +
                    shortened(value) + "\")");
            if (auto carried = text::checkXmlText(value); !carried)
                say(scriptName, line, LintSeverity::Warning,
                    "the value of \"" + shortened(name) +
                        "\" holds text the preferences file refuses (" + carried.error() +
                        "): its line would not be stored");
            if (!isJavaScriptIdentifier(name))
                say(scriptName, line, LintSeverity::Warning,
                    "\"" + shortened(name) +
                        "\" is not a JavaScript identifier: its stored line would break the script");
            else if (auto [first, added] = firstLineOfName.emplace(name, line); !added)
                say(scriptName, line, LintSeverity::Warning,
                    "\"" + name + "\" is declared again (first on line " +
                        std::to_string(first->second) + "): optimisation makes two options of one name");
        }
    }

    static std::size_t lineAt(const std::string& text, std::size_t offset) {
        return 1 + static_cast<std::size_t>(std::count(
                       text.begin(),
                       text.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text.size())), '\n'));
    }

    static std::string shortened(const std::string& text) {
        std::string one;
        for (char c : text)
            one += c == '\n' ? std::string("\\n") : c == '\t' ? std::string("\\t") : std::string(1, c);
        if (one.size() <= 60) return one;
        std::size_t end = 0;
        while (end < one.size()) {
            std::size_t next = end + str::codePointAt(one, end).length;
            if (next > 57) break;
            end = next;
        }
        return one.substr(0, end) + "...";
    }

    std::string given_;
    std::string themePath_;
    LintReport report_;
};

}  // namespace

std::size_t LintReport::count(LintSeverity severity) const {
    return static_cast<std::size_t>(std::count_if(
        messages.begin(), messages.end(), [&](const LintMessage& m) { return m.severity == severity; }));
}

bool isJavaScriptIdentifier(const std::string& name) {
    if (name.empty() || !text::isValidUtf8(name)) return false;
    if (std::find(kReservedWords.begin(), kReservedWords.end(), name) != kReservedWords.end())
        return false;
    for (std::size_t at = 0; at < name.size();) {
        const str::CodePoint cp = str::codePointAt(name, at);
        const auto c = static_cast<UChar32>(cp.value);
        const bool allowed = c == '$' || c == '_' ||
                             (at == 0 ? u_hasBinaryProperty(c, UCHAR_ID_START)
                                      : (u_hasBinaryProperty(c, UCHAR_ID_CONTINUE) || c == 0x200C ||
                                         c == 0x200D));
        if (!allowed) return false;
        at += cp.length;
    }
    return true;
}

LintReport lintThemeFolder(const std::string& givenPath) {
    // The folders above are resolved; the theme folder itself is not, so that a theme that
    // is a link is judged as the pages judge it (a link out of the device root leads nowhere).
    std::error_code error;
    const fs::path absolute = fs::absolute(givenPath, error).lexically_normal();
    const fs::path entry = absolute.has_filename() ? absolute.filename()
                                                   : absolute.parent_path().filename();
    const fs::path parent = fs::canonical(
        (absolute.has_filename() ? absolute : absolute.parent_path()).parent_path(), error);
    const fs::path hostFolder = parent / entry;
    if (error || entry.empty() || !fs::is_directory(hostFolder, error)) {
        LintReport report;
        report.folder = givenPath;
        report.messages.push_back({givenPath, {}, LintSeverity::Error, "not a folder that can be read"});
        return report;
    }
    const Placement placement = placementOf(hostFolder);
    const fs::path previousRoot = DeviceRoot::current();
    DeviceRoot::setCurrent(placement.root);
    log::Capture quiet;  // the pages' own log lines are what the messages say, in their words
    LintReport report = Linter(givenPath, placement.folder + "/" + placement.entry).run(placement);
    DeviceRoot::setCurrent(previousRoot);
    return report;
}

}  // namespace vx::cli
