#include "theme_editor/options_file.h"

#include <charconv>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/strings.h"

namespace vx {

std::string optionsFilePath(std::string_view folderPath) {
    return std::string(folderPath) + "/" + std::string(kOptionsFile);
}

namespace {

// A number or boolean in place of text becomes the text it stands for.
void takeAsText(plist::Value& value) {
    if (!value.isNumber()) return;
    if (std::optional<std::string> text = textForm(value)) value = plist::Value(std::move(*text));
}

}  // namespace

OptionsEntry withTextValues(OptionsEntry entry) {
    if (plist::Value* chosen = entry.find(kEntryDefault)) takeAsText(*chosen);
    if (plist::Value* options = entry.find(kEntryOptions); options && options->isDictionary())
        for (auto& option : options->dictionary()) takeAsText(option.second);
    return entry;
}

std::optional<std::string> textForm(const plist::Value& value) {
    switch (value.type()) {
        case plist::Value::Type::String: return value.string();
        case plist::Value::Type::Boolean: return value.boolean() ? "1" : "0";
        case plist::Value::Type::Integer: return std::to_string(value.integer());
        case plist::Value::Type::Real: {
            char buffer[32];
            auto written = std::to_chars(buffer, buffer + sizeof buffer, value.real());
            return std::string(buffer, written.ptr);
        }
        default: return std::nullopt;
    }
}

Result<plist::Array> readOptionsFile(std::string_view folderPath) {
    const std::string path = optionsFilePath(folderPath);
    plist::Value read = VX_TRY(plist::readFile(path));
    plist::Array* elements = read.asArray();
    if (!elements) return fail("the root of " + path + " is not an array");
    return std::move(*elements);
}

std::optional<OptionsList> loadOptionsFile(std::string_view folderPath) {
    auto read = readOptionsFile(folderPath);
    if (!read) {
        log::write("Theme options: " + read.error());
        return std::nullopt;
    }
    return optionsListFromArray(*read, optionsFilePath(folderPath));
}

OptionsList optionsListFromArray(const plist::Array& elements, std::string_view source) {
    OptionsList list;
    list.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (const plist::Dictionary* entry = elements[i].asDictionary()) {
            list.push_back(withTextValues(*entry));
        } else {
            log::write("Theme options: entry " + std::to_string(i) + " of " + std::string(source) +
                       " is not a dictionary; skipped");
        }
    }
    return list;
}

plist::Array toPlistArray(const OptionsList& list) {
    plist::Array array;
    array.reserve(list.size());
    for (const OptionsEntry& entry : list) array.emplace_back(entry);
    return array;
}

const std::string* entryString(const OptionsEntry& entry, std::string_view key) {
    const plist::Value* value = entry.find(key);
    return value ? value->asString() : nullptr;
}

std::string entryText(const OptionsEntry& entry, std::string_view key) {
    const std::string* text = entryString(entry, key);
    return text ? *text : std::string();
}

const plist::Dictionary* entryOptions(const OptionsEntry& entry) {
    const plist::Value* value = entry.find(kEntryOptions);
    return value ? value->asDictionary() : nullptr;
}

std::vector<std::string> optionKeys(const OptionsEntry& entry) {
    const plist::Dictionary* options = entryOptions(entry);
    return options ? options->keys() : std::vector<std::string>();
}

std::optional<std::string> optionValue(const OptionsEntry& entry, std::string_view label) {
    const plist::Dictionary* options = entryOptions(entry);
    const plist::Value* value = options ? options->find(label) : nullptr;
    const std::string* text = value ? value->asString() : nullptr;
    if (!text) return std::nullopt;
    return *text;
}

bool defaultReadsAsOn(std::string_view text) {
    std::size_t i = str::skipWhitespaceAndLineBreaks(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i >= text.size()) return false;
    const char c = text[i];
    return c == 'y' || c == 'Y' || c == 't' || c == 'T' || (c >= '1' && c <= '9');
}

}  // namespace vx
