#include "theme_editor/variable_writing.h"

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"

namespace vx {
namespace {

std::string unquotedLine(std::string_view name, std::string_view value) {
    return "var " + std::string(name) + " = " + std::string(value) + ";";
}

std::string quotedLine(std::string_view name, std::string_view value) {
    return "var " + std::string(name) + " = \"" + escapeJavaScriptString(value) + "\" ;";
}

}  // namespace

std::string escapeJavaScriptString(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\': escaped += "\\\\"; continue;
            case '"': escaped += "\\\""; continue;
            case '\n': escaped += "\\n"; continue;
            case '\r': escaped += "\\r"; continue;
            case '/':
                if (i > 0 && text[i - 1] == '<') {
                    escaped += "\\/";
                    continue;
                }
                break;
            default: break;
        }
        // U+2028 and U+2029 are E2 80 A8 and E2 80 A9 in UTF-8.
        if (c == '\xE2' && i + 2 < text.size() && text[i + 1] == '\x80' &&
            (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            escaped += text[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
            continue;
        }
        escaped += c;
    }
    return escaped;
}

std::string declarationValue(const OptionsEntry& entry) {
    const std::string chosen = entryText(entry, kEntryDefault);
    if (entryText(entry, kEntryType) == kTypeSelect) {
        if (std::optional<std::string> value = optionValue(entry, chosen)) return *value;
    }
    return chosen;
}

std::string declarationLine(const OptionsEntry& entry) {
    const std::string name = entryText(entry, kEntryName);
    if (entryText(entry, kEntryType) == kTypeSwitch) return unquotedLine(name, entryText(entry, kEntryDefault));
    return quotedLine(name, declarationValue(entry));
}

std::string declarationLogLine(const OptionsEntry& entry) {
    return quotedLine(entryText(entry, kEntryName), entryText(entry, kEntryDefault));
}

std::vector<std::string> declarationLines(const OptionsList& list) {
    std::vector<std::string> lines;
    lines.reserve(list.size());
    for (const OptionsEntry& entry : list) {
        lines.push_back(declarationLine(entry));
        log::write(declarationLogLine(entry));
    }
    return lines;
}

Result<SaveOutcome> storeDeclarationLines(std::string_view folderPath, std::vector<std::string> lines) {
    plist::Array stored;
    stored.reserve(lines.size());
    for (std::string& line : lines) stored.emplace_back(std::move(line));
    const std::string themeKey(folderPath);
    return updatePlistFile(
        kPreferencesPath, WhenMissing::Create,
        [&](plist::Dictionary& preferences) {
            plist::Dictionary themeOptions;
            if (const plist::Value* existing = preferences.find(kThemeOptionsKey)) {
                if (const plist::Dictionary* dictionary = existing->asDictionary()) themeOptions = *dictionary;
            }
            themeOptions.set(themeKey, plist::Value(stored));
            preferences.set(std::string(kThemeOptionsKey), plist::Value(std::move(themeOptions)));
            return true;
        });
}

}  // namespace vx
