#include "platform/foundation/strings_table.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <optional>

#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"
#include "platform/foundation/text.h"

namespace vx {

namespace {

Result<std::string> decodeTable(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return text::toUtf8(bytes.substr(2), "UTF-16LE");
    if (bytes.substr(0, 2) == "\xFE\xFF") return text::toUtf8(bytes.substr(2), "UTF-16BE");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (!text::isValidUtf8(bytes)) return fail("not UTF-8, nor UTF-16 with a byte-order mark");
    return std::string(bytes);
}

bool isUnquotedChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '/' || c == ':' || c == '.' || c == '-';
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    uint8_t buffer[4];
    int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, static_cast<UChar32>(c));
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

class TableParser {
public:
    explicit TableParser(std::string_view text) : text_(text) {}

    Result<StringsTable> parse() {
        StringsTable table;
        while (true) {
            skipBlanksAndComments();
            if (atEnd()) return table;
            std::optional<std::string> key = readString();
            if (!key) return error("expected a key");
            skipBlanksAndComments();
            if (consume(';')) {
                table.insert_or_assign(*key, *key);
                continue;
            }
            if (!consume('=')) return error("expected \"=\" or \";\" after a key");
            skipBlanksAndComments();
            std::optional<std::string> value = readString();
            if (!value) return error("expected a string value");
            skipBlanksAndComments();
            if (!consume(';')) return error("expected \";\" after a value");
            table.insert_or_assign(std::move(*key), std::move(*value));
        }
    }

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

    Error error(std::string_view reason) const {
        std::size_t line = 1 + static_cast<std::size_t>(
                                   std::count(text_.begin(), text_.begin() + static_cast<long>(
                                                                 std::min(pos_, text_.size())), '\n'));
        return fail("line " + std::to_string(line) + ": " +
                    (failure_ ? *failure_ : std::string(reason)));
    }

    static bool isBlank(char32_t c) {
        return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x2028 || c == 0x2029;
    }

    void skipBlanksAndComments() {
        while (!atEnd()) {
            str::CodePoint cp = str::codePointAt(text_, pos_);
            if (isBlank(cp.value)) {
                pos_ += cp.length;
            } else if (peek() == '/' && peek(1) == '/') {
                skipLineComment();
            } else if (peek() == '/' && peek(1) == '*') {
                // An unterminated comment runs to the end of the text.
                std::size_t end = text_.find("*/", pos_ + 2);
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

    std::optional<std::string> readString() {
        if (peek() == '"' || peek() == '\'') return readQuoted();
        std::size_t start = pos_;
        while (!atEnd() && isUnquotedChar(text_[pos_])) ++pos_;
        if (pos_ == start) return std::nullopt;
        return std::string(text_.substr(start, pos_ - start));
    }

    std::optional<std::string> readQuoted() {
        std::size_t start = pos_;
        char quote = text_[pos_++];
        std::string out;
        while (!atEnd()) {
            char c = text_[pos_];
            if (c == quote) {
                ++pos_;
                return out;
            }
            if (c == '\\') {
                ++pos_;
                readEscape(out);
            } else {
                out.push_back(c);
                ++pos_;
            }
        }
        failure_ = "unterminated string";
        pos_ = start;
        return std::nullopt;
    }

    void readEscape(std::string& out) {
        if (atEnd()) return;  // the missing closing quote is reported by the caller
        char c = text_[pos_++];
        switch (c) {
            case 'a': out.push_back('\a'); return;
            case 'b': out.push_back('\b'); return;
            case 'f': out.push_back('\f'); return;
            case 'n': out.push_back('\n'); return;
            case 'r': out.push_back('\r'); return;
            case 't': out.push_back('\t'); return;
            case 'v': out.push_back('\v'); return;
            case 'U': appendUtf8(out, readUnicodeEscape()); return;
            default: break;
        }
        if (c >= '0' && c <= '7') {
            // Up to three octal digits, one byte; bytes above 0x7F are read as Latin-1.
            unsigned value = static_cast<unsigned>(c - '0');
            for (int i = 0; i < 2 && peek() >= '0' && peek() <= '7'; ++i)
                value = value * 8 + static_cast<unsigned>(text_[pos_++] - '0');
            appendUtf8(out, static_cast<char32_t>(value & 0xFF));
            return;
        }
        // Any other escaped character stands for itself (a whole UTF-8 sequence).
        --pos_;
        str::CodePoint cp = str::codePointAt(text_, pos_);
        out.append(text_.substr(pos_, cp.length));
        pos_ += cp.length;
    }

    unsigned readHex4() {
        unsigned value = 0;
        for (int i = 0; i < 4 && isHexDigit(peek()); ++i) value = value * 16 + static_cast<unsigned>(hexValue(text_[pos_++]));
        return value;
    }

    // After "\U": up to four hex digits; a high surrogate joins a following "\U" low one.
    char32_t readUnicodeEscape() {
        unsigned value = readHex4();
        if (U16_IS_LEAD(value) && peek() == '\\' && peek(1) == 'U') {
            std::size_t saved = pos_;
            pos_ += 2;
            unsigned low = readHex4();
            if (U16_IS_TRAIL(low)) return static_cast<char32_t>(U16_GET_SUPPLEMENTARY(value, low));
            pos_ = saved;
        }
        return static_cast<char32_t>(value);  // a lone surrogate becomes U+FFFD when written
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::optional<std::string> failure_;
};

}  // namespace

Result<StringsTable> parseStringsTable(std::string_view bytes) {
    auto decoded = decodeTable(bytes);
    if (!decoded) return fail(decoded.error());
    return TableParser(decoded.value()).parse();
}

Result<StringsTable> readStringsTable(std::string_view devicePath) {
    auto bytes = files::readBytes(devicePath);
    if (!bytes) return fail(bytes.error());
    auto table = parseStringsTable(bytes.value());
    if (!table) {
        std::string reason = "strings table " + std::string(devicePath) + ": " + table.error();
        log::write(reason);
        return fail(std::move(reason));
    }
    return table;
}

}  // namespace vx
