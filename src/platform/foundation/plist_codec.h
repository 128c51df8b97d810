#pragma once
// Property-list codecs of our own: XML and binary readers and an XML writer, to the
// device's rules. Readers are depth- and size-limited and never trust a count in the input.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx::plist {

inline constexpr int kMaxDepth = 512;
inline constexpr std::size_t kMaxInputBytes = 64u * 1024u * 1024u;

// Binary ("bplist0?") is tried first, then XML. Zero bytes is an error.
Result<Value> parse(std::string_view bytes);
Result<Value> parseXml(std::string_view bytes);
Result<Value> parseBinary(std::string_view bytes);

// The device's XML form: header lines, tabs, sorted keys, %.17g reals, trailing line feed.
std::string writeXml(const Value& value);

}  // namespace vx::plist
