// The old text ("OpenStep") property-list reader, as the device's reader accepts it:
// quoted ("…" or '…') and unquoted ([A-Za-z0-9_$/:.-]+) strings, <hex data>, ( arrays ),
// { dictionaries; }, // and /* */ comments, and the escapes \a \b \f \n \r \t \v, \U with up
// to four hex digits (a surrogate pair joins), one to three octal digits, and any other
// escaped character standing for itself. Every scalar is a string. A root that is followed
// by more than blanks and comments is read again as the pairs of a dictionary without
// braces, as .strings files hold them; .strings tables use that same reading.
#include <unicode/utf16.h>

#include <algorithm>
#include <optional>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_detail.h"
#include "platform/foundation/strings.h"
#include "platform/foundation/text.h"

namespace vx::plist {

namespace {

bool isUnquotedChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '/' || c == ':' || c == '.' || c == '-';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isBlank(char32_t c) { return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x2028 || c == 0x2029; }

class OpenStepReader {
public:
    explicit OpenStepReader(std::string_view text) : text_(text) {}

    Result<Value> root() {
        Value value;
        if (!readValue(value, 0)) {
            if (!failure_) fail("no value");
            return failure();
        }
        skipBlanksAndComments();
        if (atEnd()) return value;
        // More than one value: the text is the pairs of a dictionary without braces.
        pos_ = 0;
        failure_.reset();
        return pairs(false);
    }

    // Pairs up to the end of the text; with `strings`, "KEY;" alone means KEY = KEY.
    Result<Value> pairs(bool strings) {
        Dictionary dictionary;
        if (!readPairs(dictionary, '\0', strings, 0)) return failure();
        return Value(std::move(dictionary));
    }

    std::size_t line() const {
        const auto upTo = text_.begin() + static_cast<long>(std::min(pos_, text_.size()));
        return 1 + static_cast<std::size_t>(std::count(text_.begin(), upTo, '\n'));
    }
    const std::string& reason() const { return *failure_; }
    // The line of a /* comment that is never closed, when the text has one.
    std::optional<std::size_t> unterminatedComment_;

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    bool consume(char c) {
        if (atEnd() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    bool fail(std::string reason) {
        if (!failure_) failure_ = std::move(reason);
        return false;
    }
    Error failure() const { return Error{*failure_}; }

    void skipBlanksAndComments() {
        while (!atEnd()) {
            str::CodePoint cp = str::codePointAt(text_, pos_);
            if (isBlank(cp.value)) {
                pos_ += cp.length;
            } else if (peek() == '/' && peek(1) == '/') {
                skipLineComment();
            } else if (peek() == '/' && peek(1) == '*') {
                // An unterminated comment runs to the end of the text (noted for the caller).
                std::size_t end = text_.find("*/", pos_ + 2);
                if (end == std::string_view::npos && !unterminatedComment_)
                    unterminatedComment_ = line();
                pos_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    void skipLineComment() {
        pos_ += 2;
        while (!atEnd()) {
            str::CodePoint cp = str::codePointAt(text_, pos_);
            pos_ += cp.length;
            if (cp.value == '\n' || cp.value == '\r' || cp.value == 0x2028 || cp.value == 0x2029) return;
        }
    }

    // One value at the position; false with no failure set when none starts there.
    bool readValue(Value& out, int depth) {
        skipBlanksAndComments();
        if (atEnd()) return false;
        const char c = peek();
        if (c == '(' || c == '{') {
            if (depth >= kMaxDepth)
                return fail("more than " + std::to_string(kMaxDepth) + " nested containers");
            ++pos_;
            return c == '(' ? readArray(out, depth + 1) : readDictionary(out, depth + 1);
        }
        if (c == '<') return readData(out);
        std::optional<std::string> text = readString();
        if (!text) return false;
        out = Value(std::move(*text));
        return true;
    }

    // After "(": values separated by commas, a trailing comma allowed, then ")".
    bool readArray(Value& out, int depth) {
        Array array;
        Value element;
        while (readValue(element, depth)) {
            array.push_back(std::move(element));
            skipBlanksAndComments();
            if (!consume(',')) break;
        }
        if (failure_) return false;
        skipBlanksAndComments();
        if (!consume(')')) return fail("expected \",\" or \")\" in an array");
        out = Value(std::move(array));
        return true;
    }

    // After "{": "key = value;" pairs, then "}".
    bool readDictionary(Value& out, int depth) {
        Dictionary dictionary;
        if (!readPairs(dictionary, '}', false, depth)) return false;
        out = Value(std::move(dictionary));
        return true;
    }

    bool readPairs(Dictionary& dictionary, char close, bool strings, int depth) {
        std::vector<Dictionary::Entry> entries;
        for (;;) {
            skipBlanksAndComments();
            if (close == '\0' ? atEnd() : consume(close)) break;
            if (atEnd()) return fail("expected \"}\" at the end of a dictionary");
            std::optional<std::string> key = readString();
            if (!key) return fail(failure_ ? *failure_ : "expected a key");
            skipBlanksAndComments();
            if (strings && consume(';')) {
                entries.emplace_back(*key, Value(*key));
                continue;
            }
            if (!consume('='))
                return fail(strings ? "expected \"=\" or \";\" after a key"
                                    : "expected \"=\" after a key");
            Value value;
            if (!readValue(value, depth)) return fail("expected a value");
            skipBlanksAndComments();
            if (!consume(';')) return fail("expected \";\" after a value");
            entries.emplace_back(std::move(*key), std::move(value));
        }
        dictionary = Dictionary::fromEntries(std::move(entries));
        return true;
    }

    // After "<": pairs of hex digits, blanks anywhere between them, then ">".
    bool readData(Value& out) {
        ++pos_;
        Data bytes;
        int high = -1;
        for (;; ++pos_) {
            if (atEnd()) return fail("unterminated data");
            const char c = text_[pos_];
            if (c == '>') break;
            if (isBlank(static_cast<unsigned char>(c))) continue;
            const int digit = hexValue(c);
            if (digit < 0) return fail("data holds a character that is not a hex digit");
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        ++pos_;
        if (high >= 0) return fail("data has an odd number of hex digits");
        out = Value(std::move(bytes));
        return true;
    }

    std::optional<std::string> readString() {
        if (peek() == '"' || peek() == '\'') return readQuoted();
        const std::size_t start = pos_;
        while (!atEnd() && isUnquotedChar(text_[pos_])) ++pos_;
        if (pos_ == start) return std::nullopt;
        return std::string(text_.substr(start, pos_ - start));
    }

    std::optional<std::string> readQuoted() {
        const std::size_t start = pos_;
        const char quote = text_[pos_++];
        std::string out;
        while (!atEnd()) {
            const char c = text_[pos_];
            if (c == quote) {
                ++pos_;
                return out;
            }
            ++pos_;
            if (c == '\\') {
                readEscape(out);
            } else {
                out.push_back(c);
            }
        }
        fail("unterminated string");
        pos_ = start;
        return std::nullopt;
    }

    void readEscape(std::string& out) {
        if (atEnd()) return;  // the missing closing quote is reported by the caller
        const char c = text_[pos_++];
        switch (c) {
            case 'a': out.push_back('\a'); return;
            case 'b': out.push_back('\b'); return;
            case 'f': out.push_back('\f'); return;
            case 'n': out.push_back('\n'); return;
            case 'r': out.push_back('\r'); return;
            case 't': out.push_back('\t'); return;
            case 'v': out.push_back('\v'); return;
            case 'U': str::appendUtf8(out, readUnicodeEscape()); return;
            default: break;
        }
        if (c >= '0' && c <= '7') {
            // Up to three octal digits, one byte; bytes above 0x7F are read as Latin-1.
            unsigned value = static_cast<unsigned>(c - '0');
            for (int i = 0; i < 2 && peek() >= '0' && peek() <= '7'; ++i)
                value = value * 8 + static_cast<unsigned>(text_[pos_++] - '0');
            str::appendUtf8(out, static_cast<char32_t>(value & 0xFF));
            return;
        }
        // Any other escaped character stands for itself (a whole UTF-8 sequence).
        --pos_;
        const str::CodePoint cp = str::codePointAt(text_, pos_);
        out.append(text_.substr(pos_, cp.length));
        pos_ += cp.length;
    }

    unsigned readHex4() {
        unsigned value = 0;
        for (int i = 0; i < 4 && hexValue(peek()) >= 0; ++i)
            value = value * 16 + static_cast<unsigned>(hexValue(text_[pos_++]));
        return value;
    }

    // After "\U": up to four hex digits; a high surrogate joins a following "\U" low one.
    char32_t readUnicodeEscape() {
        const unsigned value = readHex4();
        if (U16_IS_LEAD(value) && peek() == '\\' && peek(1) == 'U') {
            const std::size_t saved = pos_;
            pos_ += 2;
            const unsigned low = readHex4();
            if (U16_IS_TRAIL(low)) return static_cast<char32_t>(U16_GET_SUPPLEMENTARY(value, low));
            pos_ = saved;
        }
        return static_cast<char32_t>(value);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::optional<std::string> failure_;
};

}  // namespace

namespace detail {

Result<std::string> textOfOpenStep(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return text::toUtf8(bytes.substr(2), "UTF-16LE");
    if (bytes.substr(0, 2) == "\xFE\xFF") return text::toUtf8(bytes.substr(2), "UTF-16BE");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (!text::isValidUtf8(bytes)) return fail("not UTF-8, nor UTF-16 with a byte-order mark");
    return std::string(bytes);
}

Result<Value> parseOpenStepUnlogged(std::string_view bytes) {
    auto text = textOfOpenStep(bytes);
    if (!text) return fail("old-style property list: " + text.error());
    OpenStepReader reader(*text);
    auto value = reader.root();
    if (!value)
        return fail("old-style property list: " + reader.reason() + " (line " +
                    std::to_string(reader.line()) + ")");
    return value;
}

Result<Dictionary> parseStringsFileText(std::string_view utf8, std::vector<std::string>* notes) {
    OpenStepReader reader(utf8);
    auto value = reader.pairs(true);
    if (!value) return fail("line " + std::to_string(reader.line()) + ": " + reader.reason());
    if (notes && reader.unterminatedComment_)
        notes->push_back("the /* comment at line " + std::to_string(*reader.unterminatedComment_) +
                         " is never closed; everything after it is ignored");
    return std::move(value->dictionary());
}

}  // namespace detail

}  // namespace vx::plist
