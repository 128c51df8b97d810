#pragma once
// NSScanner over UTF-8 text. Before each scan step it skips white space and line breaks
// (never inside a step); it ignores letter case unless told otherwise. Locations are byte
// offsets into the text.
#include <cstddef>
#include <string>
#include <string_view>

namespace vx {

class Scanner {
public:
    explicit Scanner(std::string text);

    const std::string& string() const { return text_; }
    bool caseSensitive() const { return caseSensitive_; }
    void setCaseSensitive(bool caseSensitive) { caseSensitive_ = caseSensitive; }
    std::size_t scanLocation() const { return location_; }
    // Clamped to the end of the text.
    void setScanLocation(std::size_t location);

    // True when only skippable characters remain.
    bool isAtEnd() const;
    // scanString:intoString: — the string must come next (after skipping); on success the
    // scanner moves past it and `into` receives the characters as they stand in the text.
    // On failure nothing moves.
    bool scanString(std::string_view string, std::string* into = nullptr);
    // scanUpToString:intoString: — takes everything up to the next occurrence of `stop`, or
    // the rest of the text when it never comes. Fails (and does not move) at the end, or
    // when `stop` is next.
    bool scanUpToString(std::string_view stop, std::string* into = nullptr);

private:
    std::size_t skipped() const;

    std::string text_;
    std::size_t location_ = 0;
    bool caseSensitive_ = false;
};

}  // namespace vx
