#pragma once
// Property-list codecs of our own: XML, binary and old-style text readers and an XML
// writer, to the device's rules. Readers are depth- and size-limited and never trust a count in the input.
#include <cstddef>
#include <string>
#include <string_view>

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

// The device's XML form: header lines, tabs, sorted keys, %.17g reals, trailing line feed.
std::string writeXml(const Value& value);

}  // namespace vx::plist
