#include "platform/foundation/text.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ucsdet.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/foundation/files.h"
#include "platform/foundation/log.h"

namespace vx::text {

namespace {

// Detection looks at the start only; conversion of the whole text still has to succeed.
constexpr std::size_t kDetectionSampleBytes = 64 * 1024;
// Below this confidence (0–100) a detector guess is not trusted.
constexpr int32_t kMinimumConfidence = 30;

struct ByteOrderMark {
    std::string_view bytes;
    const char* encoding;
};

// Longest first: the UTF-32LE mark starts with the UTF-16LE one.
constexpr ByteOrderMark kByteOrderMarks[] = {
    {std::string_view("\xFF\xFE\x00\x00", 4), "UTF-32LE"},
    {std::string_view("\x00\x00\xFE\xFF", 4), "UTF-32BE"},
    {std::string_view("\xEF\xBB\xBF", 3), "UTF-8"},
    {std::string_view("\xFF\xFE", 2), "UTF-16LE"},
    {std::string_view("\xFE\xFF", 2), "UTF-16BE"},
};

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
struct DetectorCloser {
    void operator()(UCharsetDetector* detector) const { ucsdet_close(detector); }
};

// The detector's best guess that clears the confidence bar, or "".
std::string detectCharset(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, DetectorCloser> detector(ucsdet_open(&status));
    if (U_FAILURE(status)) return {};
    std::size_t sample = std::min(bytes.size(), kDetectionSampleBytes);
    ucsdet_setText(detector.get(), bytes.data(), static_cast<int32_t>(sample), &status);
    const UCharsetMatch* match = ucsdet_detect(detector.get(), &status);
    if (U_FAILURE(status) || !match) return {};
    int32_t confidence = ucsdet_getConfidence(match, &status);
    const char* name = ucsdet_getName(match, &status);
    if (U_FAILURE(status) || !name || confidence < kMinimumConfidence) return {};
    // Latin-1 guesses become Windows-1252: the same letters, and real text means the
    // typographic quotes of 0x80–0x9F rather than C1 control codes.
    if (std::strcmp(name, "ISO-8859-1") == 0) return "windows-1252";
    return name;
}

// Top bit of each byte in a word of eight.
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// The eight bytes at `data` as one word, for skipping runs of ASCII a word at a time.
uint64_t wordAt(const uint8_t* data) {
    uint64_t word;
    std::memcpy(&word, data, sizeof word);
    return word;
}

// The code point that starts at byte `i`, negative when the bytes are not valid UTF-8;
// `length` gets the bytes it spans.
UChar32 codePointAt(const uint8_t* data, std::size_t size, std::size_t i, std::size_t& length) {
    int32_t offset = 0;
    const auto available = static_cast<int32_t>(std::min<std::size_t>(size - i, 4));
    UChar32 c;
    U8_NEXT(data + i, offset, available, c);
    length = static_cast<std::size_t>(offset);
    return c;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        // Runs of ASCII eight bytes at a time: property-list readers check whole files.
        if (size - i >= 8 && (wordAt(data + i) & kHighBits) == 0) {
            i += 8;
            continue;
        }
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        if (codePointAt(data, size, i, length) < 0) return false;
        i += length;
    }
    return true;
}

namespace {

bool xmlAllows(char32_t c) {
    if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
    return c < 0xD800 || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The first fault of the text: its byte offset and the code point (negative when the bytes
// are not valid UTF-8), or npos. `length` gets the bytes the fault spans.
std::size_t firstXmlFault(std::string_view text, std::size_t from, UChar32& found, std::size_t& length) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    std::size_t size = text.size();
    std::size_t i = from;
    while (i < size) {
        if (size - i >= 8) {  // runs of printable ASCII eight bytes at a time
            const uint64_t word = wordAt(data + i);
            const bool highOrControl = (word & kHighBits) != 0 ||
                                       ((word - 0x2020202020202020ull) & ~word & kHighBits) != 0;
            if (!highOrControl) {
                i += 8;
                continue;
            }
        }
        if (data[i] >= 0x20 && data[i] < 0x80) {  // one ASCII byte: short texts and tails
            ++i;
            continue;
        }
        const UChar32 c = codePointAt(data, size, i, length);
        if (c < 0 || !xmlAllows(static_cast<char32_t>(c))) {
            found = c;
            return i;
        }
        i += length;
    }
    return std::string_view::npos;
}

}  // namespace

Result<void> checkXmlText(std::string_view text) {
    UChar32 c = 0;
    std::size_t length = 0;
    std::size_t at = firstXmlFault(text, 0, c, length);
    if (at == std::string_view::npos) return {};
    if (c < 0) return fail("byte " + std::to_string(at) + " is not valid UTF-8");
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return fail(std::string(code) + " at byte " + std::to_string(at) + " is not allowed in XML");
}

namespace {

// Bytes an XML writer must look at: controls, '<', '>', '&', and every byte of a UTF-8
// sequence. Everything else is printable ASCII, copied as it is.
constexpr std::array<bool, 256> makeXmlSpecial() {
    std::array<bool, 256> table{};
    for (int byte = 0; byte < 256; ++byte) table[byte] = byte < 0x20 || byte >= 0x80;
    table['<'] = table['>'] = table['&'] = true;
    return table;
}
constexpr std::array<bool, 256> kXmlSpecial = makeXmlSpecial();

// The first such byte from `i` on, or `size`: sixteen bytes a step where the machine has
// SSE2, since whole preferences files pass through here on every save.
std::size_t nextXmlSpecial(const uint8_t* data, std::size_t size, std::size_t i) {
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i angle = _mm_set1_epi8('>');  // '<' | 2 == '>', and no other byte gives it
    const __m128i two = _mm_set1_epi8(2);
    const __m128i ampersand = _mm_set1_epi8('&');
    for (; i + 16 <= size; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        // Signed: bytes of 0x80 and above are negative, so below ' ' too.
        const __m128i special = _mm_or_si128(
            _mm_cmplt_epi8(chunk, space), _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(chunk, two), angle),
                                                       _mm_cmpeq_epi8(chunk, ampersand)));
        if (const int mask = _mm_movemask_epi8(special); mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < size && !kXmlSpecial[data[i]]) ++i;
    return i;
}

}  // namespace

bool appendEscapedXmlText(std::string& out, std::string_view text) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    const std::size_t size = text.size();
    const std::size_t mark = out.size();
    std::size_t copied = 0;
    for (std::size_t i = nextXmlSpecial(data, size, 0); i < size; i = nextXmlSpecial(data, size, i)) {
        const uint8_t byte = data[i];
        if (byte == '<' || byte == '>' || byte == '&') {
            out.append(text.data() + copied, i - copied);
            out.append(byte == '<' ? "&lt;" : byte == '>' ? "&gt;" : "&amp;");
            copied = ++i;
            continue;
        }
        std::size_t length = 1;
        const UChar32 c = byte < 0x80 ? UChar32{byte} : codePointAt(data, size, i, length);
        if (c < 0 || !xmlAllows(static_cast<char32_t>(c))) {
            out.resize(mark);
            return false;
        }
        i += length;
    }
    out.append(text.data() + copied, size - copied);
    return true;
}

bool isXmlText(std::string_view text) {
    UChar32 c = 0;
    std::size_t length = 0;
    return firstXmlFault(text, 0, c, length) == std::string_view::npos;
}

std::string toXmlText(std::string_view text) {
    std::string out;
    std::size_t done = 0;
    UChar32 c = 0;
    std::size_t length = 0;
    for (std::size_t at; (at = firstXmlFault(text, done, c, length)) != std::string_view::npos;) {
        out.append(text.substr(done, at - done));
        out.append("\xEF\xBF\xBD");  // U+FFFD
        done = at + std::max<std::size_t>(length, 1);
    }
    if (done == 0) return std::string(text);
    out.append(text.substr(done));
    return out;
}

Result<std::string> toUtf8(std::string_view bytes, const char* encoding) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX / 2)) return fail("text too large");
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(encoding, &status));
    if (U_FAILURE(status)) return fail(std::string("unknown encoding ") + encoding);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    auto sourceLength = static_cast<int32_t>(bytes.size());
    int32_t units = ucnv_toUChars(converter.get(), nullptr, 0, bytes.data(), sourceLength, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) status = U_ZERO_ERROR;
    std::u16string utf16(static_cast<std::size_t>(units), u'\0');
    if (U_SUCCESS(status) && units > 0)
        ucnv_toUChars(converter.get(), utf16.data(), units, bytes.data(), sourceLength, &status);
    if (status == U_STRING_NOT_TERMINATED_WARNING) status = U_ZERO_ERROR;
    if (U_FAILURE(status))
        return fail(std::string("not valid ") + encoding + " (" + u_errorName(status) + ")");

    int32_t length = 0;
    u_strToUTF8(nullptr, 0, &length, utf16.data(), units, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) status = U_ZERO_ERROR;
    std::string out(static_cast<std::size_t>(length), '\0');
    if (U_SUCCESS(status) && length > 0)
        u_strToUTF8(out.data(), length, &length, utf16.data(), units, &status);
    if (status == U_STRING_NOT_TERMINATED_WARNING) status = U_ZERO_ERROR;
    if (U_FAILURE(status))
        return fail(std::string("not valid ") + encoding + " (" + u_errorName(status) + ")");
    return out;
}

Result<Decoded> decode(std::string_view bytes) {
    for (const auto& mark : kByteOrderMarks) {
        if (bytes.substr(0, mark.bytes.size()) != mark.bytes) continue;
        auto converted = toUtf8(bytes.substr(mark.bytes.size()), mark.encoding);
        if (!converted) return fail(converted.error() + " after its byte-order mark");
        return Decoded{std::move(converted.value()), mark.encoding};
    }
    if (isValidUtf8(bytes)) return Decoded{std::string(bytes), "UTF-8"};

    std::string detected = detectCharset(bytes);
    if (!detected.empty() && detected != "UTF-8") {
        if (auto converted = toUtf8(bytes, detected.c_str()))
            return Decoded{std::move(converted.value()), detected};
    }
    if (auto converted = toUtf8(bytes, "windows-1252"))
        return Decoded{std::move(converted.value()), "windows-1252"};
    // The five bytes Windows-1252 leaves undefined: read the text as Latin-1, which maps
    // every byte, so that no text is ever refused.
    return Decoded{VX_TRY(toUtf8(bytes, "ISO-8859-1")), "ISO-8859-1"};
}

Result<Decoded> readTextFile(std::string_view devicePath) {
    auto decoded = decode(VX_TRY(files::readBytes(devicePath)));
    if (!decoded) {
        std::string reason = "read " + std::string(devicePath) + ": " + decoded.error();
        log::write(reason);
        return fail(std::move(reason));
    }
    return decoded;
}

}  // namespace vx::text
