// Keys and strings that XML can carry: the check made before a file is written, and the
// repair of what another program wrote.
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/text.h"

namespace vx::plist {

namespace {

std::string quoted(std::string_view key) { return "\"" + text::toXmlText(key) + "\""; }

// `where` describes the place of `value` ("" for the root).
Result<void> checkIn(const Value& value, const std::string& where) {
    auto at = [&](std::string inner) { return where.empty() ? inner : inner + " in " + where; };
    if (const std::string* string = value.asString()) {
        auto checked = text::checkXmlText(*string);
        if (!checked)
            return fail((where.empty() ? std::string("string") : "value of " + where) + ": " +
                        checked.error());
    } else if (const Array* array = value.asArray()) {
        for (std::size_t i = 0; i < array->size(); ++i)
            if (auto checked = checkIn((*array)[i], at("item " + std::to_string(i))); !checked)
                return checked;
    } else if (const Dictionary* dictionary = value.asDictionary()) {
        for (const auto& [key, element] : *dictionary) {
            if (auto checked = text::checkXmlText(key); !checked)
                return fail(at("key " + quoted(key)) + ": " + checked.error());
            if (auto checked = checkIn(element, at(quoted(key))); !checked) return checked;
        }
    }
    return {};
}

// True when something was replaced.
bool repairIn(Value& value) {
    if (value.isString()) {
        if (text::isXmlText(value.string())) return false;
        value = Value(text::toXmlText(value.string()));
        return true;
    }
    bool repaired = false;
    if (Array* array = value.asArray()) {
        for (Value& element : *array) repaired = repairIn(element) || repaired;
    } else if (Dictionary* dictionary = value.asDictionary()) {
        for (auto& [key, element] : *dictionary) {
            if (!text::isXmlText(key)) {
                key = text::toXmlText(key);
                repaired = true;
            }
            repaired = repairIn(element) || repaired;
        }
    }
    return repaired;
}

}  // namespace

Result<void> checkText(const Value& value) { return checkIn(value, ""); }

std::vector<std::string> repairText(Value& value) {
    std::vector<std::string> keys;
    if (Dictionary* dictionary = value.asDictionary()) {
        for (auto& [key, element] : *dictionary) {
            bool keyBad = !text::isXmlText(key);
            if (keyBad) key = text::toXmlText(key);
            if (repairIn(element) || keyBad) keys.push_back(key);
        }
    } else if (repairIn(value)) {
        keys.emplace_back();
    }
    return keys;
}

}  // namespace vx::plist
