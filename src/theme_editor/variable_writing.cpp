#include "theme_editor/variable_writing.h"

#include <map>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"
#include "theme_editor/javascript_string.h"

namespace vx {
namespace {

std::string unquotedLine(std::string_view name, std::string_view value) {
    return "var " + std::string(name) + " = " + std::string(value) + ";";
}

std::string quotedLine(std::string_view name, std::string_view value) {
    return "var " + std::string(name) + " = \"" + escapeJavaScriptString(value) + "\" ;";
}

// A switch's value as written: its default, or false where that would leave no value.
std::string switchValue(const OptionsEntry& entry) {
    std::string chosen = entryText(entry, kEntryDefault);
    if (str::trimWhitespace(chosen).find_first_not_of("\n\r") == std::string::npos) return "false";
    return chosen;
}

// The option label whose text is `value`, else the label `value` itself, else nothing.
std::optional<std::string> optionLabelFor(const OptionsEntry& entry, const std::string& value) {
    for (const std::string& label : optionKeys(entry))
        if (optionValue(entry, label) == value) return label;
    if (optionValue(entry, value)) return value;
    return std::nullopt;
}

}  // namespace

std::string declarationValue(const OptionsEntry& entry) {
    std::string chosen = entryText(entry, kEntryDefault);
    if (entryText(entry, kEntryType) == kTypeSelect) {
        if (std::optional<std::string> value = optionValue(entry, chosen)) return *value;
    }
    return chosen;
}

std::string declarationLine(const OptionsEntry& entry) {
    const std::string name = entryText(entry, kEntryName);
    if (entryText(entry, kEntryType) == kTypeSwitch) return unquotedLine(name, switchValue(entry));
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

std::optional<DeclaredValue> readDeclarationLine(std::string_view line) {
    constexpr std::string_view kVar = "var ";
    if (!str::hasPrefix(line, kVar)) return std::nullopt;
    // A name holds no "=": the first " = " is the line's own.
    const std::size_t equals = line.find(" = ", kVar.size());
    if (equals == std::string_view::npos) return std::nullopt;
    DeclaredValue declared{std::string(line.substr(kVar.size(), equals - kVar.size())), {}};
    std::string_view value = line.substr(equals + 3);
    if (value.size() >= 4 && value.front() == '"' && str::hasSuffix(value, "\" ;")) {
        declared.value = decodeJavaScriptString(value.substr(1, value.size() - 4));
    } else if (str::hasSuffix(value, ";")) {
        declared.value = std::string(value.substr(0, value.size() - 1));
    } else {
        return std::nullopt;
    }
    return declared;
}

std::optional<std::vector<std::string>> storedDeclarationLines(std::string_view folderPath) {
    auto preferences = readPlistDictionaryCached(kPreferencesPath);
    const plist::Value* themeOptions = preferences ? preferences->find(kThemeOptionsKey) : nullptr;
    const plist::Value* stored = themeOptions ? plist::lookup(*themeOptions, folderPath) : nullptr;
    const plist::Array* lines = stored ? stored->asArray() : nullptr;
    if (!lines) return std::nullopt;
    std::vector<std::string> texts;
    for (const plist::Value& line : *lines)
        if (const std::string* text = line.asString()) texts.push_back(*text);
    return texts;
}

OptionsList withStoredValues(OptionsList list, const std::vector<std::string>& lines) {
    std::map<std::string, std::vector<std::string>, std::less<>> valuesByName;
    for (const std::string& line : lines)
        if (std::optional<DeclaredValue> declared = readDeclarationLine(line))
            valuesByName[declared->name].push_back(std::move(declared->value));
    std::map<std::string, std::size_t, std::less<>> taken;
    for (OptionsEntry& entry : list) {
        const std::string name = entryText(entry, kEntryName);
        auto values = valuesByName.find(name);
        std::size_t& next = taken[name];
        if (values == valuesByName.end() || next >= values->second.size()) continue;
        std::string value = values->second[next++];
        if (entryText(entry, kEntryType) == kTypeSelect)
            value = optionLabelFor(entry, value).value_or(value);
        entry.set(std::string(kEntryDefault), plist::Value(std::move(value)));
    }
    return list;
}

Result<SaveOutcome> storeDeclarationLines(std::string_view folderPath, std::vector<std::string> lines) {
    plist::Array stored;
    stored.reserve(lines.size());
    for (std::string& line : lines) stored.emplace_back(std::move(line));
    const std::string themeKey(folderPath);
    return updatePlistFile(kPreferencesPath, WhenMissing::Create, [&](plist::Dictionary& preferences) {
        plist::Dictionary themeOptions;
        if (const plist::Value* existing = preferences.find(kThemeOptionsKey)) {
            if (const plist::Dictionary* dictionary = existing->asDictionary())
                themeOptions = *dictionary;
        }
        themeOptions.set(themeKey, plist::Value(stored));
        preferences.set(std::string(kThemeOptionsKey), plist::Value(std::move(themeOptions)));
        return true;
    });
}

}  // namespace vx
