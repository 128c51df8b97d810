// The XML property-list reader: one pass over the bytes, recursive descent limited to
// kMaxDepth containers, no entity expansion beyond the five predefined entities and
// character references. Runs of text without '&' are copied in one piece.
#include <locale.h>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_detail.h"
#include "platform/foundation/text.h"

namespace vx::plist {

namespace {

enum class Tag { Unknown, Plist, Array, Dict, Key, String, Data, Date, Integer, Real, True, False };

struct OpenTag {
    Tag tag = Tag::Unknown;
    std::string_view name;
    bool selfClosing = false;
};

Tag tagNamed(std::string_view name) {
    switch (name.size()) {
        case 3:
            if (name == "key") return Tag::Key;
            break;
        case 4:
            if (name == "dict") return Tag::Dict;
            if (name == "data") return Tag::Data;
            if (name == "date") return Tag::Date;
            if (name == "real") return Tag::Real;
            if (name == "true") return Tag::True;
            break;
        case 5:
            if (name == "plist") return Tag::Plist;
            if (name == "array") return Tag::Array;
            if (name == "false") return Tag::False;
            break;
        case 6:
            if (name == "string") return Tag::String;
            break;
        case 7:
            if (name == "integer") return Tag::Integer;
            break;
    }
    return Tag::Unknown;
}

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isCSpace(char c) { return isXmlSpace(c) || c == '\v' || c == '\f'; }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view lowercase) {
    if (a.size() != lowercase.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowercase[i]) return false;
    }
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr std::int8_t kBase64Invalid = -1;
constexpr std::int8_t kBase64Space = -2;
constexpr std::int8_t kBase64Pad = -3;

constexpr std::array<std::int8_t, 256> makeBase64Table() {
    std::array<std::int8_t, 256> table{};
    for (auto& entry : table) entry = kBase64Invalid;
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    table[' '] = table['\t'] = table['\n'] = table['\r'] = kBase64Space;
    table['='] = kBase64Pad;
    return table;
}
constexpr std::array<std::int8_t, 256> kBase64 = makeBase64Table();

class XmlReader {
public:
    XmlReader(std::string_view text, bool lenientText)
        : text_(text), p_(text.data()), end_(text.data() + text.size()), lenientText_(lenientText) {}

    Result<Value> run() {
        if (!lenientText_ && !text::isValidUtf8(text_)) return fail("the text is not valid UTF-8");
        if (remaining() >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
        if (!skipMisc(true)) return failure();
        if (p_ == end_) return fail("no root element");
        OpenTag tag;
        if (!readOpenTag(tag)) return failure();
        Value root;
        if (tag.tag == Tag::Plist) {
            if (tag.selfClosing) return fail("empty plist element");
            if (!skipMisc(false)) return failure();
            if (p_ == end_ || startsWith("</")) return fail("empty plist element");
            if (!readOpenTag(tag)) return failure();
        }
        // Whatever follows the root value is ignored.
        if (!parseValue(tag, root, 0)) return failure();
        return root;
    }

private:
    std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }
    bool startsWith(std::string_view prefix) const {
        return remaining() >= prefix.size() && std::memcmp(p_, prefix.data(), prefix.size()) == 0;
    }

    bool error(std::string reason) {
        if (error_.empty()) {
            auto offset = static_cast<std::size_t>(p_ - text_.data());
            error_ = "XML property list: " + reason + " (line " +
                     std::to_string(detail::lineOf(text_, offset)) + ")";
        }
        return false;
    }
    Error fail(std::string reason) {
        error(std::move(reason));
        return failure();
    }
    Error failure() const { return vx::fail(error_); }

    // Skips white space, comments and processing instructions; before the root also a
    // DOCTYPE without an internal subset. Stops at an element, a close tag, other text or
    // the end.
    bool skipMisc(bool beforeRoot) {
        for (;;) {
            while (p_ < end_ && isXmlSpace(*p_)) ++p_;
            if (startsWith("<!--")) {
                if (!skipPast(4, "-->", "unterminated comment")) return false;
            } else if (startsWith("<?")) {
                if (!skipPast(2, "?>", "unterminated processing instruction")) return false;
            } else if (startsWith("<!DOCTYPE")) {
                if (!beforeRoot) return error("DOCTYPE inside the document");
                if (!skipDoctype()) return false;
            } else {
                return true;
            }
        }
    }

    bool skipPast(std::size_t openLength, std::string_view terminator, const char* what) {
        std::string_view rest(p_ + openLength, remaining() - openLength);
        std::size_t at = rest.find(terminator);
        if (at == std::string_view::npos) return error(what);
        p_ += openLength + at + terminator.size();
        return true;
    }

    bool skipDoctype() {
        char quote = 0;
        for (const char* q = p_ + 9; q < end_; ++q) {
            char c = *q;
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                return error("DOCTYPE with an internal subset is not supported");
            } else if (c == '>') {
                p_ = q + 1;
                return true;
            }
        }
        return error("unterminated DOCTYPE");
    }

    // At '<' of an element: reads its name, skips its attributes.
    bool readOpenTag(OpenTag& tag) {
        if (p_ == end_ || *p_ != '<') return error("expected an element");
        const char* nameStart = ++p_;
        while (p_ < end_ && !isXmlSpace(*p_) && *p_ != '>' && *p_ != '/') ++p_;
        tag.name = std::string_view(nameStart, static_cast<std::size_t>(p_ - nameStart));
        tag.tag = tagNamed(tag.name);
        if (tag.tag == Tag::Unknown) {
            p_ = nameStart - 1;
            return error("unknown element <" + std::string(tag.name.substr(0, 32)) + ">");
        }
        char quote = 0;
        for (; p_ < end_; ++p_) {
            char c = *p_;
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                tag.selfClosing = p_[-1] == '/';
                ++p_;
                return true;
            }
        }
        return error("unterminated <" + std::string(tag.name) + "> tag");
    }

    // At "</": checks that it closes `name`.
    bool readCloseTag(std::string_view name) {
        if (!startsWith("</") || remaining() < 2 + name.size() ||
            std::memcmp(p_ + 2, name.data(), name.size()) != 0)
            return error("expected </" + std::string(name) + ">");
        p_ += 2 + name.size();
        while (p_ < end_ && isXmlSpace(*p_)) ++p_;
        if (p_ == end_ || *p_ != '>') return error("expected </" + std::string(name) + ">");
        ++p_;
        return true;
    }

    bool parseValue(const OpenTag& tag, Value& out, int depth) {
        switch (tag.tag) {
            case Tag::Array: return parseArray(tag, out, depth + 1);
            case Tag::Dict: return parseDictionary(tag, out, depth + 1);
            case Tag::String: {
                std::string text;
                if (!tag.selfClosing && !readText(tag.name, text)) return false;
                out = Value(std::move(text));
                return true;
            }
            case Tag::True:
            case Tag::False:
                if (!tag.selfClosing && !readCloseTag(tag.name))
                    return error("<" + std::string(tag.name) + "> must be empty");
                out = Value(tag.tag == Tag::True);
                return true;
            case Tag::Integer: return parseInteger(tag, out);
            case Tag::Real: return parseReal(tag, out);
            case Tag::Date: return parseDate(tag, out);
            case Tag::Data: return parseData(tag, out);
            case Tag::Key: return error("<key> where a value belongs");
            case Tag::Plist: return error("<plist> inside the document");
            case Tag::Unknown: break;
        }
        return error("unknown element");
    }

    bool enterContainer(int depth) {
        if (depth > kMaxDepth)
            return error("more than " + std::to_string(kMaxDepth) + " nested containers");
        return true;
    }

    // Between the children of a container: true at a child's '<', false at its close tag.
    bool nextChild(std::string_view containerName, bool& atChild) {
        if (!skipMisc(false)) return false;
        if (p_ == end_) return error("unterminated <" + std::string(containerName) + ">");
        if (*p_ != '<') return error("unexpected text in <" + std::string(containerName) + ">");
        atChild = !startsWith("</");
        return true;
    }

    bool parseArray(const OpenTag& tag, Value& out, int depth) {
        if (!enterContainer(depth)) return false;
        Array array;
        if (!tag.selfClosing) {
            for (;;) {
                bool atChild = false;
                if (!nextChild("array", atChild)) return false;
                if (!atChild) break;
                OpenTag child;
                if (!readOpenTag(child)) return false;
                array.emplace_back();
                if (!parseValue(child, array.back(), depth)) return false;
            }
            if (!readCloseTag("array")) return false;
        }
        out = Value(std::move(array));
        return true;
    }

    bool parseDictionary(const OpenTag& tag, Value& out, int depth) {
        if (!enterContainer(depth)) return false;
        std::vector<Dictionary::Entry> entries;
        if (!tag.selfClosing) {
            for (;;) {
                bool atChild = false;
                if (!nextChild("dict", atChild)) return false;
                if (!atChild) break;
                OpenTag keyTag;
                if (!readOpenTag(keyTag)) return false;
                if (keyTag.tag != Tag::Key)
                    return error("<" + std::string(keyTag.name) + "> where a key belongs");
                std::string key;
                if (!keyTag.selfClosing && !readText("key", key)) return false;
                if (!nextChild("dict", atChild)) return false;
                if (!atChild) return error("key \"" + key.substr(0, 64) + "\" has no value");
                OpenTag valueTag;
                if (!readOpenTag(valueTag)) return false;
                entries.emplace_back(std::move(key), Value());
                if (!parseValue(valueTag, entries.back().second, depth)) return false;
            }
            if (!readCloseTag("dict")) return false;
        }
        out = Value(Dictionary::fromEntries(std::move(entries)));
        return true;
    }

    // Character data up to the close tag of `name`: entities decoded, CDATA kept verbatim.
    bool readText(std::string_view name, std::string& out) {
        const char* lt = static_cast<const char*>(std::memchr(p_, '<', remaining()));
        if (!lt) return error("unterminated <" + std::string(name) + ">");
        auto length = static_cast<std::size_t>(lt - p_);
        bool plain = !std::memchr(p_, '&', length);
        if (plain && lt + 1 < end_ && lt[1] == '/') {
            out.assign(p_, length);
            p_ = lt;
            return readCloseTag(name);
        }
        for (;;) {
            if (!appendDecoded(out, lt)) return false;
            if (startsWith("</")) return readCloseTag(name);
            if (startsWith("<![CDATA[")) {
                std::string_view rest(p_ + 9, remaining() - 9);
                std::size_t close = rest.find("]]>");
                if (close == std::string_view::npos) return error("unterminated CDATA section");
                out.append(rest.data(), close);
                p_ += 9 + close + 3;
            } else {
                return error("unexpected element inside <" + std::string(name) + ">");
            }
            lt = static_cast<const char*>(std::memchr(p_, '<', remaining()));
            if (!lt) return error("unterminated <" + std::string(name) + ">");
        }
    }

    // Appends the text up to `stop`, decoding entities.
    bool appendDecoded(std::string& out, const char* stop) {
        while (p_ < stop) {
            const char* amp = static_cast<const char*>(
                std::memchr(p_, '&', static_cast<std::size_t>(stop - p_)));
            if (!amp) {
                out.append(p_, static_cast<std::size_t>(stop - p_));
                p_ = stop;
                return true;
            }
            out.append(p_, static_cast<std::size_t>(amp - p_));
            p_ = amp;
            if (!appendEntity(out, stop)) return false;
        }
        return true;
    }

    bool appendEntity(std::string& out, const char* stop) {
        constexpr std::size_t kLongestEntity = 12;
        std::size_t window = std::min<std::size_t>(kLongestEntity, static_cast<std::size_t>(stop - p_));
        const void* semicolon = std::memchr(p_, ';', window);
        if (!semicolon) return error("unknown entity");
        std::string_view body(p_ + 1,
                              static_cast<std::size_t>(static_cast<const char*>(semicolon) - p_ - 1));
        if (body == "lt")
            out.push_back('<');
        else if (body == "gt")
            out.push_back('>');
        else if (body == "amp")
            out.push_back('&');
        else if (body == "apos")
            out.push_back('\'');
        else if (body == "quot")
            out.push_back('"');
        else if (!appendCharacterReference(out, body))
            return false;
        p_ += body.size() + 2;
        return true;
    }

    bool appendCharacterReference(std::string& out, std::string_view body) {
        if (body.size() < 2 || body[0] != '#')
            return error("unknown entity &" + std::string(body) + ";");
        bool hex = body[1] == 'x';
        std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty()) return error("empty character reference");
        std::uint32_t cp = 0;
        for (char c : digits) {
            int digit = hex ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
            if (digit < 0) return error("bad character reference &" + std::string(body) + ";");
            cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            if (cp > 0x10FFFF) return error("character reference out of range");
        }
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF))
            return error("character reference to an invalid character");
        detail::appendUtf8(out, cp);
        return true;
    }

    // Runs `parse` over the content of a scalar element and leaves the reader after its
    // close tag; errors point at the element.
    template <class Parse>
    bool parseScalar(const OpenTag& tag, Parse parse) {
        std::string_view content;
        const char* start = p_;
        if (!tag.selfClosing) {
            const char* lt = static_cast<const char*>(std::memchr(p_, '<', remaining()));
            if (!lt) return error("unterminated <" + std::string(tag.name) + ">");
            content = std::string_view(p_, static_cast<std::size_t>(lt - p_));
            p_ = lt;
            if (!readCloseTag(tag.name)) return false;
        }
        const char* after = p_;
        p_ = start;
        if (!parse(content)) return false;
        p_ = after;
        return true;
    }

    bool parseInteger(const OpenTag& tag, Value& out) {
        return parseScalar(tag, [&](std::string_view content) {
            std::int64_t number = 0;
            if (!detail::parseIntegerText(content, number))
                return error("bad integer \"" + std::string(content.substr(0, 64)) + "\"");
            out = Value(number);
            return true;
        });
    }

    bool parseReal(const OpenTag& tag, Value& out) {
        return parseScalar(tag, [&](std::string_view content) {
            double number = 0;
            if (!detail::parseRealText(content, number))
                return error("bad real \"" + std::string(content.substr(0, 64)) + "\"");
            out = Value(number);
            return true;
        });
    }

    bool parseDate(const OpenTag& tag, Value& out) {
        return parseScalar(tag, [&](std::string_view content) {
            double seconds = 0;
            if (!detail::parseDateText(content, seconds))
                return error("bad date \"" + std::string(content.substr(0, 64)) + "\"");
            out = Value(plist::Date{seconds});
            return true;
        });
    }

    bool parseData(const OpenTag& tag, Value& out) {
        return parseScalar(tag, [&](std::string_view content) {
            Data bytes;
            if (!detail::decodeBase64(content, bytes)) return error("bad base64 in <data>");
            out = Value(std::move(bytes));
            return true;
        });
    }

    std::string_view text_;
    const char* p_;
    const char* end_;
    bool lenientText_;  // text that is not valid UTF-8 is kept as it is, for repairText
    std::string error_;
};

// The encoding a document that is not plain UTF-8 is in: a UTF-16 byte-order mark, the
// pattern "<?" makes in UTF-16 without one, else the declaration's encoding="..." when it
// names anything but UTF-8. Nothing for UTF-8.
std::optional<std::string> xmlEncodingOf(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 4) == std::string_view("<\0?\0", 4))
        return "UTF-16LE";
    if (bytes.substr(0, 2) == "\xFE\xFF" || bytes.substr(0, 4) == std::string_view("\0<\0?", 4))
        return "UTF-16BE";
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF" || bytes.substr(0, 5) != "<?xml") return std::nullopt;
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    const std::size_t attribute = declaration.find("encoding");
    if (attribute == std::string_view::npos) return std::nullopt;
    const std::size_t open = declaration.find_first_of("\"'", attribute);
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = declaration.find(declaration[open], open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    std::string name(declaration.substr(open + 1, close - open - 1));
    if (equalsIgnoringAsciiCase(name, "utf-8") || equalsIgnoringAsciiCase(name, "utf8"))
        return std::nullopt;
    // A document that declares UTF-16 but has neither mark nor pattern is read as UTF-8.
    if (equalsIgnoringAsciiCase(name, "utf-16")) return std::nullopt;
    return name;
}

std::string_view withoutByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") bytes.remove_prefix(2);
    return bytes;
}

}  // namespace

namespace detail {

bool parseIntegerText(std::string_view text, std::int64_t& result) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    bool hex = i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
    if (hex) i += 2;
    if (i == text.size()) return false;
    std::uint64_t magnitude = 0;
    const std::uint64_t base = hex ? 16 : 10;
    for (; i < text.size(); ++i) {
        int digit = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) return false;
        if (magnitude > (UINT64_MAX - static_cast<std::uint64_t>(digit)) / base) return false;
        magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
    }
    constexpr std::uint64_t kMostNegative = std::uint64_t{1} << 63;
    if (negative) {
        if (magnitude > kMostNegative) return false;
        result = magnitude == kMostNegative ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
    } else {
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) return false;
        result = static_cast<std::int64_t>(magnitude);
    }
    return true;
}

bool parseRealText(std::string_view text, double& result) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    std::string_view rest = text.substr(i);
    if (equalsIgnoringAsciiCase(rest, "nan")) {
        result = std::nan("");
        return true;
    }
    for (std::string_view word : {"inf", "+inf", "infinity", "+infinity"})
        if (equalsIgnoringAsciiCase(rest, word)) {
            result = HUGE_VAL;
            return true;
        }
    for (std::string_view word : {"-inf", "-infinity"})
        if (equalsIgnoringAsciiCase(rest, word)) {
            result = -HUGE_VAL;
            return true;
        }
    if (rest.empty()) return false;
    for (char c : rest)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'))
            return false;
    std::string_view number = rest;
    if (number[0] == '+') {
        number.remove_prefix(1);
        if (number.empty() || number[0] == '-' || number[0] == '+') return false;
    }
    auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), result);
    if (end != number.data() + number.size()) return false;
    if (status == std::errc::result_out_of_range) {
        // Overflow to infinity and underflow to zero, as strtod does.
        static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        std::string copy(number);
        result = strtod_l(copy.c_str(), nullptr, cLocale);
        return true;
    }
    return status == std::errc();
}

bool parseDateText(std::string_view text, double& secondsSinceReference) {
    // YYYY-MM-DDTHH:MM:SSZ
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z')
        return false;
    auto number = [&](std::size_t at, std::size_t width, unsigned& value) {
        value = 0;
        for (std::size_t i = at; i < at + width; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
        }
        return true;
    };
    unsigned year, month, day, hour, minute, second;
    if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || !number(11, 2, hour) ||
        !number(14, 2, minute) || !number(17, 2, second))
        return false;
    if (month < 1 || month > 12 || day < 1 || day > detail::daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return false;
    std::int64_t unixSeconds = detail::daysFromCivil(year, month, day) * 86400 +
                               std::int64_t{hour} * 3600 + minute * 60 + second;
    secondsSinceReference = static_cast<double>(unixSeconds - Date::kReferenceUnixSeconds);
    return true;
}

bool decodeBase64(std::string_view text, Data& out) {
    out.reserve(text.size() / 4 * 3);
    std::uint32_t accumulator = 0;
    int pending = 0;  // sextets in the accumulator
    bool padded = false;
    for (char c : text) {
        std::int8_t code = kBase64[static_cast<unsigned char>(c)];
        if (code >= 0) {
            if (padded) return false;
            accumulator = (accumulator << 6) | static_cast<std::uint32_t>(code);
            if (++pending == 4) {
                out.push_back(static_cast<std::uint8_t>(accumulator >> 16));
                out.push_back(static_cast<std::uint8_t>(accumulator >> 8));
                out.push_back(static_cast<std::uint8_t>(accumulator));
                accumulator = 0;
                pending = 0;
            }
        } else if (code == kBase64Pad) {
            if (pending < 2 && !padded) return false;
            padded = true;
        } else if (code != kBase64Space) {
            return false;
        }
    }
    if (pending == 1) return false;
    if (pending == 2) out.push_back(static_cast<std::uint8_t>(accumulator >> 4));
    if (pending == 3) {
        out.push_back(static_cast<std::uint8_t>(accumulator >> 10));
        out.push_back(static_cast<std::uint8_t>(accumulator >> 2));
    }
    return true;
}

Result<Value> parseXmlUnlogged(std::string_view bytes, bool lenientText) {
    std::optional<std::string> converted;
    std::optional<std::string> encoding = xmlEncodingOf(bytes);
    if (encoding) {
        auto utf8 = text::toUtf8(withoutByteOrderMark(bytes), encoding->c_str());
        if (!utf8) return fail("XML property list: not valid " + *encoding + ": " + utf8.error());
        converted = std::move(*utf8);
    }
    return XmlReader(converted ? std::string_view(*converted) : bytes, lenientText).run();
}

}  // namespace detail

}  // namespace vx::plist
