#pragma once
// Property-list codecs of our own: XML, binary and old-style text readers and an XML
// writer, to the device's rules. Readers are depth- and size-limited and never trust a count in the
// input.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx::plist {

inline constexpr int kMaxDepth = 512;
inline constexpr std::size_t kMaxInputBytes = 64u * 1024u * 1024u;

// Binary ("bplist0?") is tried first; then a text that starts with "<" is XML (old-style
// data when it is no XML), and any other text the old-style format. Zero bytes is an error.
Result<Value> parse(std::string_view bytes);
// XML in UTF-8, in UTF-16 (byte-order mark, or none and "<?" as two-byte units), or in the
// encoding its declaration names.
Result<Value> parseXml(std::string_view bytes);
Result<Value> parseBinary(std::string_view bytes);
// The old text ("OpenStep") format: UTF-8, or UTF-16 with a byte-order mark.
Result<Value> parseOpenStep(std::string_view bytes);

// What other programs wrote, read leniently: XML that is not valid UTF-8 is read anyway,
// and every key and string is then repaired as by repairText. Not logged: the caller
// reports a failure with the file's name.
struct LenientParse {
    Value value;
    std::vector<std::string> repairedKeys;  // see repairText
};
Result<LenientParse> parseLenient(std::string_view bytes);

// Every key and string of the value is text XML can carry (text::checkXmlText); otherwise
// the reason names where: `value of "Name" in "ThemeOptions": U+0001 at byte 1 is not
// allowed in XML`.
Result<void> checkText(const Value& value);
// Replaces, in every key and string, each malformed UTF-8 sequence and each character XML
// forbids with U+FFFD. Returns the top-level keys (of a dictionary root; "" for any other
// root) under which something was replaced, once each.
std::vector<std::string> repairText(Value& value);

// The device's XML form: header lines, tabs, sorted keys, %.17g reals, trailing line feed.
// Text XML cannot carry is written as U+FFFD.
std::string writeXml(const Value& value);
// The same in one pass with the check of checkText: text XML cannot carry gives its reason
// instead. `readsBackExactly`, when given, is set to whether parsing the output gives back
// exactly `value`, key order included (not so when a dictionary's keys were out of order,
// or a date or real had to be rounded).
Result<std::string> writeXmlChecked(const Value& value, bool* readsBackExactly = nullptr);
// Appends standard base64 with "=" padding, on one line.
void appendBase64(std::string& out, std::span<const std::uint8_t> bytes);

}  // namespace vx::plist
