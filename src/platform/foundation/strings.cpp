#include "platform/foundation/strings.h"

#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace vx::str {

namespace {

bool isAsciiSpaceOrNewline(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t skipLeadingSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isAsciiSpaceOrNewline(text[i])) ++i;
    return i;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool boolValue(std::string_view text) {
    std::size_t i = skipLeadingSpace(text);
    if (i == text.size()) return false;
    char c = text[i];
    if (c == 'T' || c == 't' || c == 'Y' || c == 'y') return true;
    if (c == '+' || c == '-') ++i;
    while (i < text.size() && text[i] == '0') ++i;
    return i < text.size() && text[i] >= '1' && text[i] <= '9';
}

double doubleValue(std::string_view text) {
    std::size_t start = skipLeadingSpace(text);
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
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(prefix.c_str(), nullptr, cLocale);
}

float floatValue(std::string_view text) { return static_cast<float>(doubleValue(text)); }

}  // namespace vx::str
