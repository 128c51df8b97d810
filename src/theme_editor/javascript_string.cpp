#include "theme_editor/javascript_string.h"

#include <optional>

#include "platform/foundation/strings.h"

namespace vx {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// Exactly `count` hex digits at `at`, or nothing.
std::optional<char32_t> hexDigits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    char32_t value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<char32_t>(digit);
    }
    return value;
}

// The escape after a backslash at `at` (text[at] is the character after it). Appends what
// it stands for and returns the offset past it; nothing when it is malformed.
class EscapeReader {
public:
    EscapeReader(std::string_view text, std::string& out) : text_(text), out_(out) {}

    std::optional<std::size_t> read(std::size_t at) {
        const char c = text_[at];
        switch (c) {
            case 'n': return put('\n', at + 1);
            case 'r': return put('\r', at + 1);
            case 't': return put('\t', at + 1);
            case 'b': return put('\b', at + 1);
            case 'f': return put('\f', at + 1);
            case 'v': return put('\v', at + 1);
            case '\n': return at + 1;
            case '\r': return at + 1 < text_.size() && text_[at + 1] == '\n' ? at + 2 : at + 1;
            case 'x': {
                std::optional<char32_t> value = hexDigits(text_, at + 1, 2);
                if (!value) return std::nullopt;
                return put(*value, at + 3);
            }
            case 'u': return readUnicode(at + 1);
            default: break;
        }
        if (isOctal(c)) return readOctal(at);
        // U+2028 and U+2029 (E2 80 A8/A9) continue the line like a line feed.
        if (text_.substr(at, 3) == "\xE2\x80\xA8" || text_.substr(at, 3) == "\xE2\x80\xA9")
            return at + 3;
        const std::size_t length = str::codePointAt(text_, at).length;
        out_.append(text_.substr(at, length));
        return at + length;
    }

private:
    std::size_t put(char32_t c, std::size_t next) {
        str::appendUtf8(out_, c);
        return next;
    }

    // \0 .. \377: a first digit 0-3 takes up to two more octal digits, 4-7 up to one.
    std::size_t readOctal(std::size_t at) {
        const std::size_t most = text_[at] <= '3' ? 3 : 2;
        char32_t value = 0;
        std::size_t next = at;
        while (next < text_.size() && next - at < most && isOctal(text_[next]))
            value = value * 8 + static_cast<char32_t>(text_[next++] - '0');
        return put(value, next);
    }

    std::optional<std::size_t> readUnicode(std::size_t at) {
        if (at < text_.size() && text_[at] == '{') {
            const std::size_t close = text_.find('}', at + 1);
            if (close == std::string_view::npos || close == at + 1 || close - at - 1 > 8)
                return std::nullopt;
            std::optional<char32_t> value = hexDigits(text_, at + 1, close - at - 1);
            if (!value || *value > 0x10FFFF) return std::nullopt;
            return put(*value, close + 1);
        }
        std::optional<char32_t> unit = hexDigits(text_, at, 4);
        if (!unit) return std::nullopt;
        std::size_t next = at + 4;
        if (*unit >= 0xD800 && *unit <= 0xDBFF && text_.substr(next, 2) == "\\u") {
            std::optional<char32_t> low = hexDigits(text_, next + 2, 4);
            if (low && *low >= 0xDC00 && *low <= 0xDFFF)
                return put(0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00), next + 6);
        }
        return put(*unit, next);
    }

    std::string_view text_;
    std::string& out_;
};

}  // namespace

std::string escapeJavaScriptString(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\': escaped += "\\\\"; continue;
            case '"': escaped += "\\\""; continue;
            case '\n': escaped += "\\n"; continue;
            case '\r': escaped += "\\r"; continue;
            case '/':
                if (i > 0 && text[i - 1] == '<') {
                    escaped += "\\/";
                    continue;
                }
                break;
            default: break;
        }
        // U+2028 and U+2029 are E2 80 A8 and E2 80 A9 in UTF-8.
        if (c == '\xE2' && i + 2 < text.size() && text[i + 1] == '\x80' &&
            (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            escaped += text[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
            continue;
        }
        escaped += c;
    }
    return escaped;
}

std::string decodeJavaScriptString(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    EscapeReader escapes(text, out);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t backslash = text.find('\\', i);
        out.append(text.substr(
            i, backslash == std::string_view::npos ? std::string_view::npos : backslash - i));
        if (backslash == std::string_view::npos || backslash + 1 == text.size()) {
            if (backslash != std::string_view::npos) out += '\\';
            break;
        }
        std::optional<std::size_t> next = escapes.read(backslash + 1);
        if (!next) {
            out += '\\';  // kept as written; the letters follow as plain text
            next = backslash + 1;
        }
        i = *next;
    }
    return out;
}

}  // namespace vx
