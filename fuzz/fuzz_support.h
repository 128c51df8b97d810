#pragma once
// Checks shared by the libFuzzer entry points. A failed check aborts, which libFuzzer reports
// as a crash and the replay test as a failed test.
#include <cstdint>
#include <cstdlib>
#include <sstream>
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

inline std::string printed(const plist::Value& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// A value we read must survive our writer: the XML reads back and writes the same again.
// When the writer says its text reads back as exactly the value (saves then skip the parse),
// it does: the same values, types and key order.
inline void requireRoundTrip(const plist::Value& value) {
    std::string xml = plist::writeXml(value);
    auto again = plist::parseXml(xml);
    require(again.ok());
    require(plist::writeXml(*again) == xml);
    bool exact = false;
    if (auto checked = plist::writeXmlChecked(value, &exact); checked && exact) {
        require(*checked == xml);
        require(printed(*again) == printed(value));
    }
}

inline void requireUtf8(std::string_view text) { require(text::isValidUtf8(text)); }

}  // namespace vx::fuzz
