#pragma once
// The property-list value: boolean, integer, real, string, date, data, array, dictionary.
// A plain value type. Dictionaries keep insertion order in memory (the XML writer sorts
// keys as the device does). Equality follows Foundation: numbers compare by value
// (0 == 0.0, true == 1), a string never equals a number, dictionaries compare as key sets.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace vx::plist {

class Value;

using Array = std::vector<Value>;
using Data = std::vector<std::uint8_t>;

// Seconds since 2001-01-01T00:00:00Z, the device's reference date.
struct Date {
    // The reference date in seconds after the Unix epoch (1970-01-01T00:00:00Z).
    static constexpr std::int64_t kReferenceUnixSeconds = 978307200;

    double sinceReferenceDate = 0;
    bool operator==(const Date&) const = default;
};

// String-keyed dictionary that remembers insertion order. Setting an existing key keeps
// its place. Look-up is linear: the dictionaries of this system are small, and a linear
// scan over a vector beats hashing at that size.
class Dictionary {
public:
    using Entry = std::pair<std::string, Value>;

    Dictionary() = default;
    Dictionary(std::initializer_list<Entry> entries);
    // Builds a dictionary from entries in order; a repeated key keeps its first place and
    // its last value, as set() would. Linear in the number of entries (readers use it).
    static Dictionary fromEntries(std::vector<Entry> entries);

    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);
    bool contains(std::string_view key) const { return find(key) != nullptr; }
    void set(std::string key, Value value);
    bool erase(std::string_view key);
    std::vector<std::string> keys() const;
    void reserve(std::size_t count);

    // Defined below Value: clang instantiates these eagerly and needs Value complete.
    using iterator = std::vector<Entry>::iterator;
    using const_iterator = std::vector<Entry>::const_iterator;
    std::size_t size() const;
    bool empty() const;
    const_iterator begin() const;
    const_iterator end() const;
    iterator begin();
    iterator end();

    bool operator==(const Dictionary& other) const;

private:
    std::vector<Entry> entries_;
};

class Value {
public:
    enum class Type { Boolean, Integer, Real, String, Date, Data, Array, Dictionary };

    Value() = default;  // false
    Value(bool b) : storage_(b) {}
    Value(int i) : storage_(std::int64_t{i}) {}
    Value(std::int64_t i) : storage_(i) {}
    Value(double d) : storage_(d) {}
    Value(const char* s) : storage_(std::string(s)) {}
    Value(std::string s) : storage_(std::move(s)) {}
    Value(std::string_view s) : storage_(std::string(s)) {}
    Value(plist::Date d) : storage_(d) {}
    Value(plist::Data d) : storage_(std::move(d)) {}
    Value(plist::Array a) : storage_(std::move(a)) {}
    Value(plist::Dictionary d) : storage_(std::move(d)) {}
    // Any other pointer (a `const std::string*` from asString(), say) would silently
    // become a boolean.
    template <class T>
    Value(const T*) = delete;

    Type type() const { return static_cast<Type>(storage_.index()); }
    bool isBoolean() const { return type() == Type::Boolean; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isReal() const { return type() == Type::Real; }
    bool isNumber() const { return isBoolean() || isInteger() || isReal(); }
    bool isString() const { return type() == Type::String; }
    bool isDate() const { return type() == Type::Date; }
    bool isData() const { return type() == Type::Data; }
    bool isArray() const { return type() == Type::Array; }
    bool isDictionary() const { return type() == Type::Dictionary; }

    // Typed access; the caller checks the type first (std::bad_variant_access otherwise).
    bool boolean() const { return std::get<0>(storage_); }
    std::int64_t integer() const { return std::get<1>(storage_); }
    double real() const { return std::get<2>(storage_); }
    const std::string& string() const { return std::get<3>(storage_); }
    const plist::Date& date() const { return std::get<4>(storage_); }
    const plist::Data& data() const { return std::get<5>(storage_); }
    const plist::Array& array() const { return std::get<6>(storage_); }
    plist::Array& array() { return std::get<6>(storage_); }
    const plist::Dictionary& dictionary() const { return std::get<7>(storage_); }
    plist::Dictionary& dictionary() { return std::get<7>(storage_); }

    // Checked access: nullptr when the value is of another type.
    const std::string* asString() const { return std::get_if<3>(&storage_); }
    const plist::Array* asArray() const { return std::get_if<6>(&storage_); }
    plist::Array* asArray() { return std::get_if<6>(&storage_); }
    const plist::Dictionary* asDictionary() const { return std::get_if<7>(&storage_); }
    plist::Dictionary* asDictionary() { return std::get_if<7>(&storage_); }

    // Foundation's conversions as the pages use them: a number by value, a string by the
    // device's string rules (boolValue, floatValue, doubleValue), anything else false/0.
    bool boolValue() const;
    double doubleValue() const;
    float floatValue() const;
    std::int64_t intValue() const;

    bool operator==(const Value& other) const;

private:
    std::variant<bool, std::int64_t, double, std::string, plist::Date, plist::Data, plist::Array,
                 plist::Dictionary>
        storage_;
};

inline std::size_t Dictionary::size() const { return entries_.size(); }
inline bool Dictionary::empty() const { return entries_.empty(); }
inline Dictionary::const_iterator Dictionary::begin() const { return entries_.begin(); }
inline Dictionary::const_iterator Dictionary::end() const { return entries_.end(); }
inline Dictionary::iterator Dictionary::begin() { return entries_.begin(); }
inline Dictionary::iterator Dictionary::end() { return entries_.end(); }

// A value on one line, in the old text form with its types visible: "text", 42, 1.0, true,
// <0aff0001 02>, date(seconds since the reference date), (a, b), {"key" = value; }.
// GoogleTest prints failed comparisons with it.
std::ostream& operator<<(std::ostream& out, const Value& value);
std::ostream& operator<<(std::ostream& out, const Dictionary& dictionary);

// Looks up `key` in `dict` when `value` is a dictionary; nullptr otherwise.
const Value* lookup(const Value& value, std::string_view key);

}  // namespace vx::plist
