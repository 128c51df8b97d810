#include "platform/foundation/plist_value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <unordered_map>

#include "platform/foundation/strings.h"

namespace vx::plist {

Dictionary::Dictionary(std::initializer_list<Entry> entries) {
    for (const auto& entry : entries) set(entry.first, entry.second);
}

Dictionary Dictionary::fromEntries(std::vector<Entry> entries) {
    Dictionary result;
    constexpr std::size_t kLinearLimit = 16;
    if (entries.size() <= kLinearLimit) {
        result.entries_.reserve(entries.size());
        for (auto& entry : entries) result.set(std::move(entry.first), std::move(entry.second));
        return result;
    }
    // Larger dictionaries: find repeats by hashing, so a hostile file with many keys
    // costs linear time rather than quadratic.
    std::unordered_map<std::string_view, std::size_t> firstIndex;
    firstIndex.reserve(entries.size());
    std::vector<bool> repeated(entries.size(), false);
    bool anyRepeat = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto [it, inserted] = firstIndex.emplace(entries[i].first, i);
        if (inserted) continue;
        entries[it->second].second = std::move(entries[i].second);
        repeated[i] = true;
        anyRepeat = true;
    }
    if (!anyRepeat) {
        result.entries_ = std::move(entries);
        return result;
    }
    result.entries_.reserve(firstIndex.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!repeated[i]) result.entries_.push_back(std::move(entries[i]));
    return result;
}

void Dictionary::reserve(std::size_t count) { entries_.reserve(count); }

const Value* Dictionary::find(std::string_view key) const {
    for (const auto& entry : entries_)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

Value* Dictionary::find(std::string_view key) {
    for (auto& entry : entries_)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

void Dictionary::set(std::string key, Value value) {
    if (Value* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    entries_.emplace_back(std::move(key), std::move(value));
}

bool Dictionary::erase(std::string_view key) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& entry) { return entry.first == key; });
    if (it == entries_.end()) return false;
    entries_.erase(it);
    return true;
}

std::vector<std::string> Dictionary::keys() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const auto& entry : entries_) result.push_back(entry.first);
    return result;
}

bool Dictionary::operator==(const Dictionary& other) const {
    if (size() != other.size()) return false;
    for (const auto& [key, value] : entries_) {
        const Value* theirs = other.find(key);
        if (!theirs || !(value == *theirs)) return false;
    }
    return true;
}

bool Value::boolValue() const {
    switch (type()) {
        case Type::Boolean: return boolean();
        case Type::Integer: return integer() != 0;
        case Type::Real: return real() != 0.0;
        case Type::String: return str::boolValue(string());
        default: return false;
    }
}

double Value::doubleValue() const {
    switch (type()) {
        case Type::Boolean: return boolean() ? 1.0 : 0.0;
        case Type::Integer: return static_cast<double>(integer());
        case Type::Real: return real();
        case Type::String: return str::doubleValue(string());
        default: return 0.0;
    }
}

float Value::floatValue() const {
    if (isString()) return str::floatValue(string());
    return static_cast<float>(doubleValue());
}

std::int64_t Value::intValue() const {
    switch (type()) {
        case Type::Boolean: return boolean() ? 1 : 0;
        case Type::Integer: return integer();
        default: {
            double d = doubleValue();
            if (std::isnan(d)) return 0;
            if (d >= 9.2233720368547758e18) return INT64_MAX;
            if (d <= -9.2233720368547758e18) return INT64_MIN;
            return static_cast<std::int64_t>(d);
        }
    }
}

bool Value::operator==(const Value& other) const {
    if (isNumber() && other.isNumber()) {
        if ((isInteger() || isBoolean()) && (other.isInteger() || other.isBoolean()))
            return intValue() == other.intValue();
        return doubleValue() == other.doubleValue();
    }
    if (type() != other.type()) return false;
    switch (type()) {
        case Type::String: return string() == other.string();
        case Type::Date: return date() == other.date();
        case Type::Data: return data() == other.data();
        case Type::Array: return array() == other.array();
        case Type::Dictionary: return dictionary() == other.dictionary();
        default: return false;
    }
}

const Value* lookup(const Value& value, std::string_view key) {
    const Dictionary* dict = value.asDictionary();
    return dict ? dict->find(key) : nullptr;
}

namespace {

void printQuoted(std::ostream& out, std::string_view text) {
    out << '"';
    for (char c : text) {
        if (c == '"' || c == '\\') out << '\\';
        out << c;
    }
    out << '"';
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Dictionary& dictionary) {
    out << '{';
    for (const auto& [key, element] : dictionary) {
        printQuoted(out, key);
        out << " = " << element << "; ";
    }
    return out << '}';
}

std::ostream& operator<<(std::ostream& out, const Value& value) {
    switch (value.type()) {
        case Value::Type::Boolean: return out << (value.boolean() ? "true" : "false");
        case Value::Type::Integer: return out << value.integer();
        case Value::Type::Real: {
            char digits[32];
            std::snprintf(digits, sizeof digits, "%.17g", value.real());
            const bool looksIntegral = std::string_view(digits).find_first_not_of("-0123456789") ==
                                       std::string_view::npos;
            return out << digits << (looksIntegral ? ".0" : "");
        }
        case Value::Type::String: printQuoted(out, value.string()); return out;
        case Value::Type::Date: return out << "date(" << value.date().sinceReferenceDate << ')';
        case Value::Type::Data: {
            out << '<';
            static constexpr char kHex[] = "0123456789abcdef";
            for (std::size_t i = 0; i < value.data().size(); ++i) {
                if (i > 0 && i % 4 == 0) out << ' ';
                out << kHex[value.data()[i] >> 4] << kHex[value.data()[i] & 15];
            }
            return out << '>';
        }
        case Value::Type::Array: {
            out << '(';
            const char* separator = "";
            for (const Value& element : value.array()) {
                out << separator << element;
                separator = ", ";
            }
            return out << ')';
        }
        case Value::Type::Dictionary: return out << value.dictionary();
    }
    return out;
}

}  // namespace vx::plist
