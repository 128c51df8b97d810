#pragma once
// Checks shared by the libFuzzer entry points. A failed check aborts, which libFuzzer reports
// as a crash and the replay test as a failed test.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/text.h"

namespace vx::fuzz {

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline void require(bool condition) {
    if (!condition) std::abort();
}

// A value we read must survive our writer: the XML reads back and writes the same again.
inline void requireRoundTrip(const plist::Value& value) {
    std::string xml = plist::writeXml(value);
    auto again = plist::parseXml(xml);
    require(again.ok());
    require(plist::writeXml(*again) == xml);
}

inline void requireUtf8(std::string_view text) { require(text::isValidUtf8(text)); }

}  // namespace vx::fuzz
