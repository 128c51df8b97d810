#pragma once
// Pieces shared by the property-list readers and writer: UTF-8 encoding, UTF-16 ordering
// of keys, civil-date arithmetic. Internal to the codecs.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx::plist::detail {

// Text forms of the XML reader, exposed for the tests: true when the whole text is one
// valid value of the kind.
bool parseIntegerText(std::string_view text, std::int64_t& result);
bool parseRealText(std::string_view text, double& result);
bool parseDateText(std::string_view text, double& secondsSinceReference);
bool decodeBase64(std::string_view text, Data& out);

// The readers without logging; the public entry points log a failure once.
Result<Value> parseXmlUnlogged(std::string_view bytes, bool lenientText = false);
Result<Value> parseBinaryUnlogged(std::string_view bytes);
Result<Value> parseOpenStepUnlogged(std::string_view bytes);

// The text of an old-style property list or .strings file as UTF-8: UTF-16 with a
// byte-order mark, or UTF-8 with or without one.
Result<std::string> textOfOpenStep(std::string_view bytes);
// The pairs of a .strings file (a dictionary without braces, `KEY;` meaning KEY = KEY);
// a failure reads "line N: reason". `notes` gets what was accepted but is likely a mistake.
Result<Dictionary> parseStringsFileText(std::string_view utf8,
                                        std::vector<std::string>* notes = nullptr);

inline void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Orders two UTF-8 strings by their UTF-16 code units, as the device sorts keys. UTF-8
// byte order is code-point order; the two differ only where a character U+E000..U+FFFF
// (lead byte EE or EF) meets one beyond U+FFFF (lead byte F0..F4): in UTF-16 the latter
// is a surrogate pair and sorts first.
inline bool lessByUtf16(std::string_view a, std::string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    std::size_t i = 0;
    while (i < n && a[i] == b[i]) ++i;
    if (i == n) return a.size() < b.size();
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    bool xHighBmp = x == 0xEE || x == 0xEF;
    bool yHighBmp = y == 0xEE || y == 0xEF;
    if (xHighBmp && y >= 0xF0) return false;
    if (yHighBmp && x >= 0xF0) return true;
    return x < y;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
inline std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

inline Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {y + (m <= 2), m, d};
}

inline unsigned daysInMonth(std::int64_t year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2) {
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return kDays[month - 1];
}

// Line number (from 1) of a byte offset, for error messages.
inline std::size_t lineOf(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

}  // namespace vx::plist::detail
