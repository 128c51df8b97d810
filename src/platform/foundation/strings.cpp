#include "platform/foundation/strings.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <locale.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vx::str {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// printf in the C locale, whatever the process or thread locale is.
std::string formatInCLocale(const char* format, double value) {
    locale_t previous = uselocale(cLocale());
    char buffer[128];
    int length = std::snprintf(buffer, sizeof buffer, format, value);
    std::string result;
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        result.assign(buffer, static_cast<std::size_t>(length));
    } else if (length > 0) {
        result.resize(static_cast<std::size_t>(length) + 1);
        std::snprintf(result.data(), result.size(), format, value);
        result.resize(static_cast<std::size_t>(length));
    }
    uselocale(previous);
    return result;
}

// Full case folding of one code point, appended to `out`.
void appendFolded(char32_t c, std::u32string& out) {
    if (c < 0x80) {
        out.push_back(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return;
    }
    UChar source[2];
    int32_t sourceLength = 0;
    U16_APPEND_UNSAFE(source, sourceLength, static_cast<UChar32>(c));
    UChar folded[8];
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = u_strFoldCase(folded, 8, source, sourceLength, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) {
        out.push_back(c);
        return;
    }
    for (int32_t i = 0; i < length;) {
        UChar32 cp;
        U16_NEXT(folded, i, length, cp);
        out.push_back(static_cast<char32_t>(cp));
    }
}

std::u32string foldedCodePoints(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        CodePoint cp = codePointAt(text, i);
        appendFolded(cp.value, out);
        i += cp.length;
    }
    return out;
}

// The end of a case-insensitive match of the folded needle at `at`; whole characters only.
std::optional<std::size_t> matchFoldedAt(std::string_view text, std::size_t at,
                                         std::u32string_view foldedNeedle) {
    std::size_t matched = 0;
    std::size_t pos = at;
    std::u32string piece;
    while (matched < foldedNeedle.size()) {
        if (pos >= text.size()) return std::nullopt;
        CodePoint cp = codePointAt(text, pos);
        pos += cp.length;
        piece.clear();
        appendFolded(cp.value, piece);
        if (piece.size() > foldedNeedle.size() - matched) return std::nullopt;
        if (foldedNeedle.substr(matched, piece.size()) != piece) return std::nullopt;
        matched += piece.size();
    }
    return pos;
}

// A case-insensitive match of an ASCII needle where the text is ASCII too, byte by byte
// (ASCII folds only A-Z, to a-z): whether it matches, or nothing when the text there is not
// ASCII (or too short) and full folding must decide.
std::optional<bool> asciiMatchAt(std::string_view text, std::size_t at, std::string_view needle) {
    if (text.size() - at < needle.size()) return std::nullopt;
    for (std::size_t k = 0; k < needle.size(); ++k) {
        auto c = static_cast<unsigned char>(text[at + k]);
        if (c >= 0x80) return std::nullopt;
        auto n = static_cast<unsigned char>(needle[k]);
        if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != (n >= 'A' && n <= 'Z' ? n + 32 : n)) return false;
    }
    return true;
}

// From `from` on, the first byte where a match of a folded needle that starts with the
// ASCII character `first` can begin: that character in either case, or any byte beyond
// ASCII (such a character may fold to text that starts with it). Eight bytes at a time.
std::size_t nextCandidate(std::string_view text, std::size_t from, char32_t first) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    auto hasZeroByte = [](std::uint64_t word) { return ((word - kOnes) & ~word & kHighs) != 0; };
    const auto lower = static_cast<std::uint64_t>(first);
    const std::uint64_t upper = first >= 'a' && first <= 'z' ? lower - 32 : lower;
    std::size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if ((word & kHighs) != 0 || hasZeroByte(word ^ (kOnes * lower)) ||
            hasZeroByte(word ^ (kOnes * upper)))
            break;
    }
    return i;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A path with runs of "/" collapsed and the trailing "/" removed (except for "/" itself).
std::string standardisedSlashes(std::string_view path) {
    std::string result;
    result.reserve(path.size());
    for (char c : path) {
        if (c == '/' && !result.empty() && result.back() == '/') continue;
        result.push_back(c);
    }
    if (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

// Byte offset of the "." that starts the extension of the last component, if it has one.
std::optional<std::size_t> extensionDot(const std::string& fixedPath) {
    std::size_t componentStart = fixedPath.rfind('/');
    componentStart = componentStart == std::string::npos ? 0 : componentStart + 1;
    std::size_t dot = fixedPath.rfind('.');
    if (dot == std::string::npos || dot <= componentStart) return std::nullopt;
    if (dot + 1 == fixedPath.size()) return std::nullopt;
    return dot;
}

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    uint8_t buffer[4];
    int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, static_cast<UChar32>(c));
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

CodePoint codePointAt(std::string_view text, std::size_t at) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data() + at);
    int32_t available = static_cast<int32_t>(std::min<std::size_t>(text.size() - at, 4));
    int32_t i = 0;
    UChar32 c;
    U8_NEXT(bytes, i, available, c);
    if (c < 0) return {U'\uFFFD', static_cast<std::size_t>(i > 0 ? i : 1)};
    return {static_cast<char32_t>(c), static_cast<std::size_t>(i)};
}

bool isWhitespace(char32_t c) {
    return c == 0x20 || c == 0x09 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

bool isLineBreak(char32_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isWhitespaceOrLineBreak(char32_t c) { return isWhitespace(c) || isLineBreak(c); }

std::size_t skipWhitespaceAndLineBreaks(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size()) {
        CodePoint cp = codePointAt(text, i);
        if (!isWhitespaceOrLineBreak(cp.value)) break;
        i += cp.length;
    }
    return i;
}

bool boolValue(std::string_view text) {
    std::size_t i = skipWhitespaceAndLineBreaks(text);
    if (i == text.size()) return false;
    char c = text[i];
    if (c == 'T' || c == 't' || c == 'Y' || c == 'y') return true;
    if (c == '+' || c == '-') ++i;
    while (i < text.size() && text[i] == '0') ++i;
    return i < text.size() && text[i] >= '1' && text[i] <= '9';
}

double doubleValue(std::string_view text) {
    std::size_t start = skipWhitespaceAndLineBreaks(text);
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            i = j;
        }
    }
    std::string prefix(text.substr(start, i - start));
    return strtod_l(prefix.c_str(), nullptr, cLocale());
}

float floatValue(std::string_view text) { return static_cast<float>(doubleValue(text)); }

std::string formatG(double value) { return formatInCLocale("%g", value); }
std::string formatF(double value) { return formatInCLocale("%f", value); }

std::string pathExtension(std::string_view path) {
    std::string fixed = standardisedSlashes(path);
    auto dot = extensionDot(fixed);
    return dot ? fixed.substr(*dot + 1) : std::string();
}

std::string stringByDeletingPathExtension(std::string_view path) {
    std::string fixed = standardisedSlashes(path);
    auto dot = extensionDot(fixed);
    if (dot) fixed.resize(*dot);
    return fixed;
}

std::string lastPathComponent(std::string_view path) {
    std::string fixed = standardisedSlashes(path);
    if (fixed == "/") return fixed;
    std::size_t slash = fixed.rfind('/');
    return slash == std::string::npos ? fixed : fixed.substr(slash + 1);
}

std::string stringByDeletingLastPathComponent(std::string_view path) {
    std::string fixed = standardisedSlashes(path);
    if (fixed == "/") return fixed;
    std::size_t slash = fixed.rfind('/');
    if (slash == std::string::npos) return std::string();
    if (slash == 0) return "/";
    return fixed.substr(0, slash);
}

bool hasSuffix(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool hasPrefix(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<std::size_t> matchAt(std::string_view text, std::size_t at, std::string_view needle,
                                   bool caseInsensitive) {
    if (needle.empty() || at > text.size()) return std::nullopt;
    if (!caseInsensitive) {
        if (text.substr(at, needle.size()) != needle) return std::nullopt;
        return at + needle.size();
    }
    if (auto ascii = isAscii(needle) ? asciiMatchAt(text, at, needle) : std::nullopt) {
        if (!*ascii) return std::nullopt;
        return at + needle.size();
    }
    return matchFoldedAt(text, at, foldedCodePoints(needle));
}

std::optional<Range> rangeOfString(std::string_view haystack, std::string_view needle,
                                   bool caseInsensitive, std::size_t from) {
    if (needle.empty() || from >= haystack.size()) return std::nullopt;
    if (!caseInsensitive) {
        std::size_t found = haystack.find(needle, from);
        if (found == std::string_view::npos) return std::nullopt;
        return Range{found, found + needle.size()};
    }
    std::u32string folded = foldedCodePoints(needle);
    char32_t first = folded.front();
    const bool asciiNeedle = isAscii(needle);
    for (std::size_t i = from; i < haystack.size();) {
        if (first < 0x80 && (i = nextCandidate(haystack, i, first)) >= haystack.size()) break;
        auto byte = static_cast<unsigned char>(haystack[i]);
        if (byte < 0x80) {
            char32_t lower = byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
            if (lower != first) {
                ++i;
                continue;
            }
            if (auto ascii = asciiNeedle ? asciiMatchAt(haystack, i, needle) : std::nullopt) {
                if (*ascii) return Range{i, i + needle.size()};
                ++i;
                continue;
            }
        }
        if (auto end = matchFoldedAt(haystack, i, folded)) return Range{i, *end};
        i += codePointAt(haystack, i).length;
    }
    return std::nullopt;
}

bool containsCaseInsensitive(std::string_view haystack, std::string_view needle) {
    return rangeOfString(haystack, needle, true).has_value();
}

std::string lowercase(std::string_view text) {
    if (isAscii(text)) {
        std::string result(text);
        for (char& c : result)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        return result;
    }
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    unicode.toLower(icu::Locale::getRoot());
    std::string result;
    unicode.toUTF8String(result);
    return result;
}

std::vector<std::string> split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t found = text.find(separator, start);
        if (found == std::string_view::npos) break;
        pieces.emplace_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

std::string trimWhitespace(std::string_view text) {
    std::size_t begin = text.size();
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size();) {
        CodePoint cp = codePointAt(text, i);
        if (!isWhitespace(cp.value)) {
            if (begin == text.size()) begin = i;
            end = i + cp.length;
        }
        i += cp.length;
    }
    if (begin >= end) return std::string();
    return std::string(text.substr(begin, end - begin));
}

}  // namespace vx::str
