#include "platform/foundation/text.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"
#include "support/temp_dir.h"

namespace vx::text {
namespace {

using namespace std::string_literals;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

// A byte-order mark chooses the encoding, and broken text after one is an error; text
// without one that is valid UTF-8 is taken as it is.
TEST(Text, DecodesByTheByteOrderMarkOrTakesUtf8AsIs) {
    const std::string plain = "var x = \"caf\xC3\xA9\";\0"s;  // a NUL is valid UTF-8 too
    struct {
        std::string input;
        const char* encoding;  // nullptr: an error
        std::string text;
    } cases[] = {
        {bytes({0xEF, 0xBB, 0xBF, 'v', 0xC3, 0xA9}), "UTF-8", "vé"},
        {bytes({0xFF, 0xFE, 'v', 0, 0xE9, 0}), "UTF-16LE", "vé"},
        {bytes({0xFE, 0xFF, 0, 'v', 0, 0xE9}), "UTF-16BE", "vé"},
        {bytes({0xFF, 0xFE, 0, 0, 'v', 0, 0, 0, 0xE9, 0, 0, 0}), "UTF-32LE", "vé"},
        {bytes({0, 0, 0xFE, 0xFF, 0, 0, 0, 'v', 0, 0, 0, 0xE9}), "UTF-32BE", "vé"},
        {plain, "UTF-8", plain},
        // A settings script saved by an old Windows editor: accents and curly quotes.
        {"m = \"Caf\xE9 \x93sp\xE9"
         "cial\x94 \x96 d\xE9j\xE0 vu\"; t = \"R\xE9sum\xE9 na\xEFve fa\xE7"
         "ade \x80"
         "5\";\n",
         "windows-1252", "m = \"Café “spécial” – déjà vu\"; t = \"Résumé naïve façade €5\";\n"},
        {"", "UTF-8", ""},
        {bytes({0xFF, 0xFE, 'v'}), nullptr, ""},                 // odd UTF-16 length
        {bytes({0xFF, 0xFE, 0x00, 0xD8, 'a', 0}), nullptr, ""},  // lone surrogate
        {bytes({0xEF, 0xBB, 0xBF, 0xC3}), nullptr, ""},          // cut UTF-8
    };
    for (const auto& c : cases) {
        auto decoded = decode(c.input);
        SCOPED_TRACE(c.encoding ? c.encoding : "error");
        ASSERT_EQ(decoded.ok(), c.encoding != nullptr);
        if (!decoded) continue;
        EXPECT_EQ(decoded->text, c.text);
        EXPECT_EQ(decoded->encoding, c.encoding);
    }
}

TEST(Text, StrictUtf8) {
    EXPECT_TRUE(isValidUtf8("a\xC3\xA9\xF0\x9F\x98\x80"));
    for (const char* bad :
         {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\x80", "a\xFF"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
}

TEST(Text, UndecodableBytesStillGiveText) {
    // Too short for the detector, with bytes Windows-1252 leaves undefined.
    auto decoded = decode(bytes({'a', 0x81, 0x8D, 0xFF}));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->text.substr(0, 1), "a");
    EXPECT_TRUE(isValidUtf8(decoded->text));
}

TEST(Text, ReadsFilesByDevicePath) {
    test::ScopedDeviceRoot root;
    root.writeFile("/Library/Themes/T.theme/Settings.js", bytes({0xFF, 0xFE, 'x', 0}));
    auto decoded = readTextFile("/Library/Themes/T.theme/Settings.js");
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->text, "x");
    EXPECT_EQ(decoded->encoding, "UTF-16LE");

    log::Capture capture;
    root.writeFile("/bad.js", bytes({0xFE, 0xFF, 'x'}));
    EXPECT_FALSE(readTextFile("/bad.js").ok());
    EXPECT_TRUE(capture.contains("/bad.js"));
    EXPECT_FALSE(readTextFile("/missing.js").ok());
}

// What XML 1.0 may carry, the reason that names the first fault, and the lenient repair.
TEST(Text, XmlTextIsCheckedAndRepaired) {
    struct {
        std::string input;
        std::string fault;  // "" when the text is fine
        std::string repaired;
    } cases[] = {
        {"plain ASCII, tab\t LF\n CR\r and é € 😀", "", "plain ASCII, tab\t LF\n CR\r and é € 😀"},
        {"a\x01"
         "b",
         "U+0001 at byte 1 is not allowed in XML", "a\uFFFDb"},
        {std::string("nul\0", 4), "U+0000 at byte 3", "nul\uFFFD"},
        {"\x1F\x7F", "U+001F at byte 0", "\uFFFD\x7F"},
        {"0123456789abc\x0B", "U+000B at byte 13", "0123456789abc\uFFFD"},  // past the 8-byte run
        {"caf\xE9", "byte 3 is not valid UTF-8", "caf\uFFFD"},
        {"\xEF\xBF\xBE|\xEF\xBF\xBF", "U+FFFE at byte 0", "\uFFFD|\uFFFD"},
        {"\xED\xA0\x80", "byte 0 is not valid UTF-8", "\uFFFD\uFFFD\uFFFD"},  // a lone surrogate
        {"\xF4\x90\x80\x80", "byte 0 is not valid UTF-8", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xC3", "byte 0 is not valid UTF-8", "\uFFFD"},
    };
    for (const auto& c : cases) {
        auto checked = checkXmlText(c.input);
        EXPECT_EQ(checked.ok(), c.fault.empty()) << c.input;
        if (!checked) {
            EXPECT_NE(checked.error().find(c.fault), std::string::npos) << checked.error();
        }
        EXPECT_EQ(isXmlText(c.input), c.fault.empty());
        EXPECT_EQ(toXmlText(c.input), c.repaired) << c.input;
        EXPECT_TRUE(isXmlText(toXmlText(c.input)));
    }
}

// The escaping writer checks and escapes in one pass, sixteen bytes a step; compared here
// with the plain check and a byte-by-byte escape on texts built to hit every boundary.
TEST(Text, EscapingInOnePassAgreesWithTheCheckAndThePlainEscape) {
    // Markup, controls, multi-byte and broken UTF-8, and a whole 16-byte run, split on '|'.
    const std::vector<std::string> pieces = str::split(
        "a|<|>|&|\n|\t|\r|\x01|\x7f|=|\xC3\xA9|\xEF\xBF\xBE|\xED\xA0\x80|\xF0\x9F\x98\x80|\xC3|"
        "0123456789abcdef",
        "|");
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
        std::string plain;
        for (char c : text)
            plain += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
        std::string out = "kept";
        const bool carried = appendEscapedXmlText(out, text);
        ASSERT_EQ(carried, isXmlText(text)) << text;
        EXPECT_EQ(out, carried ? "kept" + plain : "kept") << text;
    }
}

}  // namespace
}  // namespace vx::text
