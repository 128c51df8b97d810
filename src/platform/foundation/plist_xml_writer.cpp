// The device's XML property-list form, appended into one reserved string: header lines,
// one tab per level, keys sorted by UTF-16 code units, %.17g reals, base64 data blocks.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_detail.h"
#include "platform/foundation/text.h"

namespace vx::plist {

namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";
constexpr std::string_view kFooter = "</plist>\n";

constexpr int kMaxDataIndent = 8;
constexpr std::size_t kSmallDictionary = 16;
constexpr int kBase64LineWidth = 76;

// Dates outside years 0001..9999 do not fit the four-digit form; they are clamped.
constexpr double kEarliestDate = -62135596800.0 - static_cast<double>(Date::kReferenceUnixSeconds);
constexpr double kLatestDate = 253402300799.0 - static_cast<double>(Date::kReferenceUnixSeconds);

// Rough size of the output, so that the string is allocated once.
std::size_t estimateSize(const Value& value, std::size_t depth) {
    constexpr std::size_t kTagOverhead = 24;
    std::size_t size = depth + kTagOverhead;
    switch (value.type()) {
        case Value::Type::String: return size + value.string().size() + value.string().size() / 16;
        case Value::Type::Data: {
            std::size_t encoded = (value.data().size() + 2) / 3 * 4;
            std::size_t lines = encoded / 12 + 1;
            return size + encoded + lines * (std::min<std::size_t>(depth, kMaxDataIndent) + 1);
        }
        case Value::Type::Array:
            for (const Value& element : value.array()) size += estimateSize(element, depth + 1);
            return size + depth;
        case Value::Type::Dictionary:
            for (const auto& [key, element] : value.dictionary())
                size += depth + 1 + kTagOverhead + key.size() + estimateSize(element, depth + 1);
            return size + depth;
        default: return size + 24;
    }
}

class XmlWriter {
public:
    explicit XmlWriter(std::string& out) : out_(out) {}

    void write(const Value& value, int depth) {
        indent(depth);
        switch (value.type()) {
            case Value::Type::Boolean: out_.append(value.boolean() ? "<true/>\n" : "<false/>\n"); return;
            case Value::Type::Integer: writeInteger(value.integer()); return;
            case Value::Type::Real: writeReal(value.real()); return;
            case Value::Type::String: writeString(value.string()); return;
            case Value::Type::Date: writeDate(value.date().sinceReferenceDate); return;
            case Value::Type::Data: writeData(value.data(), depth); return;
            case Value::Type::Array: writeArray(value.array(), depth); return;
            case Value::Type::Dictionary: writeDictionary(value.dictionary(), depth); return;
        }
    }

    // True when some text XML cannot carry was written as U+FFFD.
    bool repaired() const { return repaired_; }
    // True while reading the output back gives exactly the value written: no text repaired,
    // every dictionary already in key order, no date or real rounded.
    bool readsBackExactly() const { return !repaired_ && !reordered_ && !rounded_; }

private:
    void indent(int depth) { out_.append(static_cast<std::size_t>(depth), '\t'); }

    // Text XML cannot carry never reaches the file: such characters become U+FFFD (the
    // file writers refuse such values; this keeps any output parsable).
    void appendEscaped(std::string_view text) {
        if (text::appendEscapedXmlText(out_, text)) return;
        repaired_ = true;
        text::appendEscapedXmlText(out_, text::toXmlText(text));  // ignored: repaired text passes
    }

    void writeInteger(std::int64_t number) {
        char buffer[24];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
        out_.append("<integer>");
        out_.append(buffer, result.ptr);
        out_.append("</integer>\n");
    }

    void writeReal(double number) {
        out_.append("<real>");
        if (std::isnan(number)) {
            rounded_ = true;  // NaN never compares equal, not even to itself
            out_.append("nan");
        } else if (std::isinf(number)) {
            out_.append(number > 0 ? "+infinity" : "-infinity");
        } else if (number == 0.0) {
            rounded_ = rounded_ || std::signbit(number);
            out_.append("0.0");
        } else {
            // Same digits as printf("%.17g").
            char buffer[32];
            auto result = std::to_chars(buffer, buffer + sizeof buffer, number,
                                        std::chars_format::general, 17);
            out_.append(buffer, result.ptr);
        }
        out_.append("</real>\n");
    }

    void writeString(std::string_view text) {
        out_.append("<string>");
        appendEscaped(text);
        out_.append("</string>\n");
    }

    void appendTwoDigits(unsigned number) {
        out_.push_back(static_cast<char>('0' + number / 10));
        out_.push_back(static_cast<char>('0' + number % 10));
    }

    void writeDate(double sinceReferenceDate) {
        double clamped = std::isnan(sinceReferenceDate) ? 0.0 : sinceReferenceDate;
        clamped = std::clamp(std::floor(clamped), kEarliestDate, kLatestDate);
        // Whole seconds in range read back as they are; -0 reads back as 0.
        rounded_ = rounded_ || clamped != sinceReferenceDate || (clamped == 0 && std::signbit(clamped));
        auto unixSeconds = static_cast<std::int64_t>(clamped) + Date::kReferenceUnixSeconds;
        std::int64_t days = unixSeconds >= 0 ? unixSeconds / 86400 : (unixSeconds - 86399) / 86400;
        auto secondOfDay = static_cast<unsigned>(unixSeconds - days * 86400);
        detail::Civil civil = detail::civilFromDays(days);
        auto year = static_cast<unsigned>(civil.year);
        out_.append("<date>");
        appendTwoDigits(year / 100);
        appendTwoDigits(year % 100);
        out_.push_back('-');
        appendTwoDigits(civil.month);
        out_.push_back('-');
        appendTwoDigits(civil.day);
        out_.push_back('T');
        appendTwoDigits(secondOfDay / 3600);
        out_.push_back(':');
        appendTwoDigits(secondOfDay / 60 % 60);
        out_.push_back(':');
        appendTwoDigits(secondOfDay % 60);
        out_.append("Z</date>\n");
    }

    // Lines of at most 76 characters less eight per indent; a line always holds whole
    // groups of four, so each line encodes its own slice of the bytes.
    void writeData(const Data& bytes, int depth) {
        const int dataIndent = std::min(depth, kMaxDataIndent);
        const auto bytesPerLine = static_cast<std::size_t>(kBase64LineWidth - 8 * dataIndent) / 4 * 3;
        out_.append("<data>\n");
        const std::span<const std::uint8_t> all(bytes);
        for (std::size_t at = 0; at < all.size(); at += bytesPerLine) {
            indent(dataIndent);
            appendBase64(out_, all.subspan(at, std::min(bytesPerLine, all.size() - at)));
            out_.push_back('\n');
        }
        indent(depth);
        out_.append("</data>\n");
    }

    void writeArray(const Array& array, int depth) {
        if (array.empty()) {
            out_.append("<array/>\n");
            return;
        }
        out_.append("<array>\n");
        for (const Value& element : array) write(element, depth + 1);
        indent(depth);
        out_.append("</array>\n");
    }

    void writeDictionary(const Dictionary& dictionary, int depth) {
        if (dictionary.empty()) {
            out_.append("<dict/>\n");
            return;
        }
        // Keys XML cannot carry are written repaired, in the order of the repaired keys; two
        // that repair to the same key are one, with the later value, as a reader takes them.
        if (!std::all_of(dictionary.begin(), dictionary.end(),
                         [](const auto& entry) { return text::isXmlText(entry.first); })) {
            repaired_ = true;
            std::vector<Dictionary::Entry> repaired;
            for (const auto& [key, element] : dictionary)
                repaired.emplace_back(text::toXmlText(key), element);
            writeDictionary(Dictionary::fromEntries(std::move(repaired)), depth);
            return;
        }
        // Most dictionaries are small: their order is found without allocating.
        std::array<const Dictionary::Entry*, kSmallDictionary> few{};
        std::vector<const Dictionary::Entry*> many;
        std::span<const Dictionary::Entry*> sorted;
        if (dictionary.size() <= kSmallDictionary) {
            sorted = std::span(few.data(), dictionary.size());
        } else {
            many.resize(dictionary.size());
            sorted = many;
        }
        std::size_t at = 0;
        for (const auto& entry : dictionary) sorted[at++] = &entry;
        auto byKey = [](const auto* a, const auto* b) {
            return detail::lessByUtf16(a->first, b->first);
        };
        if (!std::is_sorted(sorted.begin(), sorted.end(), byKey)) {
            reordered_ = true;
            std::sort(sorted.begin(), sorted.end(), byKey);
        }
        out_.append("<dict>\n");
        for (const auto* entry : sorted) {
            indent(depth + 1);
            out_.append("<key>");
            text::appendEscapedXmlText(out_, entry->first);  // ignored: keys were checked above
            out_.append("</key>\n");
            write(entry->second, depth + 1);
        }
        indent(depth);
        out_.append("</dict>\n");
    }

    std::string& out_;
    bool repaired_ = false;
    bool reordered_ = false;
    bool rounded_ = false;
};

// The whole document; `repaired` tells whether some text had to be repaired, `exact` whether
// it reads back as exactly `value`.
std::string writeDocument(const Value& value, bool& repaired, bool& exact) {
    std::string out;
    out.reserve(kHeader.size() + kFooter.size() + estimateSize(value, 0));
    out.append(kHeader);
    XmlWriter writer(out);
    writer.write(value, 0);
    out.append(kFooter);
    repaired = writer.repaired();
    exact = writer.readsBackExactly();
    return out;
}

}  // namespace

void appendBase64(std::string& out, std::span<const std::uint8_t> bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t triple = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        const char group[4] = {kAlphabet[triple >> 18], kAlphabet[(triple >> 12) & 63],
                               kAlphabet[(triple >> 6) & 63], kAlphabet[triple & 63]};
        out.append(group, 4);
    }
    if (const std::size_t rest = bytes.size() - i; rest > 0) {
        std::uint32_t triple = bytes[i] << 16;
        if (rest == 2) triple |= bytes[i + 1] << 8;
        const char group[4] = {kAlphabet[triple >> 18], kAlphabet[(triple >> 12) & 63],
                               rest == 2 ? kAlphabet[(triple >> 6) & 63] : '=', '='};
        out.append(group, 4);
    }
}

std::string writeXml(const Value& value) {
    bool repaired = false;
    bool exact = false;
    return writeDocument(value, repaired, exact);
}

Result<std::string> writeXmlChecked(const Value& value, bool* readsBackExactly) {
    bool repaired = false;
    bool exact = false;
    std::string out = writeDocument(value, repaired, exact);
    if (readsBackExactly) *readsBackExactly = exact;
    if (!repaired) return out;
    auto checked = checkText(value);
    return fail(checked ? std::string("text XML cannot carry") : checked.error());
}

}  // namespace vx::plist
