#pragma once
// The device's string semantics, on UTF-8 std::string. Each function behaves as the
// Foundation method it is named after (vectors in the tests).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::str {

// NSString boolValue: skip white space and newlines; T/t/Y/y → true; else optional sign,
// any zeros, then true only if a digit 1–9 follows.
bool boolValue(std::string_view text);
// NSString doubleValue: longest numeric prefix [+-]digits[.digits][e[+-]digits] after
// leading white space, in the C locale; 0 when there is none.
double doubleValue(std::string_view text);
// NSString floatValue: doubleValue rounded to single precision.
float floatValue(std::string_view text);

// printf "%g" and "%f" in the C locale, whatever the process locale.
std::string formatG(double value);
std::string formatF(double value);

// Path-component functions of NSString.
std::string pathExtension(std::string_view path);
std::string stringByDeletingPathExtension(std::string_view path);
std::string lastPathComponent(std::string_view path);
std::string stringByDeletingLastPathComponent(std::string_view path);

bool hasSuffix(std::string_view text, std::string_view suffix);
bool hasPrefix(std::string_view text, std::string_view prefix);

// rangeOfString:options:NSCaseInsensitiveSearch found anything (full Unicode case
// folding; an empty needle is "not found").
bool containsCaseInsensitive(std::string_view haystack, std::string_view needle);
// lowercaseString: full Unicode lower-casing without locale rules.
std::string lowercase(std::string_view text);
// componentsSeparatedByString:. An empty separator gives the whole text as one piece.
std::vector<std::string> split(std::string_view text, std::string_view separator);

// A match as byte offsets into the searched text: [begin, end).
struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const Range&) const = default;
};
// rangeOfString:options:range: from byte offset `from` on. Case-insensitive matching folds
// both sides fully (so "STRASSE" finds "Straße"), and only whole characters of the text
// match. An empty needle, or `from` past the end, is "not found".
std::optional<Range> rangeOfString(std::string_view haystack, std::string_view needle,
                                   bool caseInsensitive, std::size_t from = 0);
// The end of `needle` when it stands exactly at byte offset `at` of the text.
std::optional<std::size_t> matchAt(std::string_view text, std::size_t at, std::string_view needle,
                                   bool caseInsensitive);

// The device's white-space set (no line breaks) and line-break set.
bool isWhitespace(char32_t c);
bool isLineBreak(char32_t c);
bool isWhitespaceOrLineBreak(char32_t c);
// stringByTrimmingCharactersInSet: whitespaceCharacterSet.
std::string trimWhitespace(std::string_view text);

// One code point of UTF-8 text at byte offset `at` (which must be < size). A malformed
// sequence yields U+FFFD and a length of the bytes that belong to it (at least 1).
struct CodePoint {
    char32_t value;
    std::size_t length;
};
CodePoint codePointAt(std::string_view text, std::size_t at);
// Appends one code point as UTF-8; a surrogate or a value past U+10FFFF becomes U+FFFD.
void appendUtf8(std::string& out, char32_t c);
// The byte offset of the first character at or after `from` not in the white-space or
// line-break sets.
std::size_t skipWhitespaceAndLineBreaks(std::string_view text, std::size_t from = 0);

}  // namespace vx::str
