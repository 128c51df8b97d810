#include "platform/foundation/scanner.h"

#include <algorithm>

#include "platform/foundation/strings.h"

namespace vx {

Scanner::Scanner(std::string text) : text_(std::move(text)) {}

void Scanner::setScanLocation(std::size_t location) { location_ = std::min(location, text_.size()); }

std::size_t Scanner::skipped() const { return str::skipWhitespaceAndLineBreaks(text_, location_); }

bool Scanner::isAtEnd() const { return skipped() >= text_.size(); }

bool Scanner::scanString(std::string_view string, std::string* into) {
    std::size_t start = skipped();
    auto end = str::matchAt(text_, start, string, !caseSensitive_);
    if (!end) return false;
    if (into) *into = text_.substr(start, *end - start);
    location_ = *end;
    return true;
}

bool Scanner::scanUpToString(std::string_view stop, std::string* into) {
    std::size_t start = skipped();
    if (start >= text_.size()) return false;
    auto found = str::rangeOfString(text_, stop, !caseSensitive_, start);
    std::size_t end = found ? found->begin : text_.size();
    if (end == start) return false;
    if (into) *into = text_.substr(start, end - start);
    location_ = end;
    return true;
}

}  // namespace vx
