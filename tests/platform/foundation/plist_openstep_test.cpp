// The old text ("OpenStep") format and XML in encodings other than UTF-8, through the one
// entry point every reader of a property list uses.
#include <gtest/gtest.h>

#include <string>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"

namespace vx::plist {
namespace {

Result<Value> read(std::string_view bytes) {
    log::Capture quiet;
    return parse(bytes);
}

std::string utf16(std::u16string_view text, bool bigEndian, bool mark) {
    std::string out = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

TEST(PlistOpenStep, ReadsTheOldTextForm) {
    const Dictionary color{{"name", "color"}, {"type", "edit"}, {"default", "red"}};
    struct Case {
        std::string source;
        Value expected;
    };
    const Case cases[] = {
        {"( { name = color; type = edit; default = red; } )", Array{color}},
        {"/* options */ (\n{ name = color; // the text colour\n type = \"edit\"; default = 'red'; },\n)",
         Array{color}},
        {R"({ "a b" = 'c d'; e = (1, 2,); f = <0fbd 77>; g = {}; h = (); })",
         Dictionary{{"a b", "c d"},
                    {"e", Array{"1", "2"}},
                    {"f", Data{0x0f, 0xbd, 0x77}},
                    {"g", Dictionary{}},
                    {"h", Array{}}}},
        {R"("\a\b\f\n\r\t\v")", "\a\b\f\n\r\t\v"},
        {R"("\"q\" \' \\ \z \é")", "\"q\" ' \\ z é"},
        {R"("\U00e9\U20AC \UD83D\UDE00 \U41x \UD83Dx")", "é€ 😀 Ax \uFFFDx"},
        {R"("\101\0627\351")",
         "A2"
         "7é"},
        {"'line\nbreak'", "line\nbreak"},
        {"abc_$/:.-1", "abc_$/:.-1"},
        {"<414243>", Data{'A', 'B', 'C'}},
        {"a = b; c = (d); // a dictionary without braces", Dictionary{{"a", "b"}, {"c", Array{"d"}}}},
        {"{ k = 1; j = x; k = 2; }", Dictionary{{"k", "2"}, {"j", "x"}}},
        {"\xEF\xBB\xBF{ name = \"Uhr\xC3\xA4\"; }", Dictionary{{"name", "Uhrä"}}},
        {utf16(u"{ name = \"Uhr\u00E4\"; emoji = \"\U0001F600\"; }", false, true),
         Dictionary{{"name", "Uhrä"}, {"emoji", "😀"}}},
        {utf16(u"( \"\u00E4\" )", true, true), Array{"ä"}},
    };
    for (const Case& c : cases) {
        auto value = read(c.source);
        ASSERT_TRUE(value.ok()) << c.source << ": " << value.error();
        EXPECT_EQ(*value, c.expected) << c.source;
    }
}

TEST(PlistOpenStep, RefusesMalformedTextWithTheLine) {
    for (const char* text :
         {"{ a = b }", "( a b )", "<abc>", "<0g>", "{ a = ; }", "\"open", "{ a = b;", "( a,, b )",
          "= b;", "{ (a) = b; }", "\"\xff\"", "  // only a comment", "a = b; c"})
        EXPECT_FALSE(read(text).ok()) << text;
    auto nested = [](int depth) { return std::string(depth, '(') + std::string(depth, ')'); };
    EXPECT_TRUE(read(nested(kMaxDepth)).ok());
    EXPECT_FALSE(read(nested(kMaxDepth + 1)).ok());
    auto late = read("{\n  a = b;\n  c = d\n}");
    ASSERT_FALSE(late.ok());
    EXPECT_EQ(late.error(), "old-style property list: expected \";\" after a value (line 4)");
}

TEST(PlistXmlEncodings, Utf16WithOrWithoutMarkAndDeclaredEncodings) {
    const std::u16string body =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<plist version=\"1.0\">\n"
        u"<array><dict><key>name</key><string>gr\u00FC\u00DFe "
        u"\U0001F600</string></dict></array>\n</plist>\n";
    const Value expected = Array{Dictionary{{"name", "grüße 😀"}}};
    for (bool bigEndian : {false, true}) {
        for (bool mark : {true, false}) {
            auto value = read(utf16(body, bigEndian, mark));
            ASSERT_TRUE(value.ok()) << bigEndian << mark << ": " << value.error();
            EXPECT_EQ(*value, expected);
        }
    }
    auto latin1 = read(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>caf\xE9</string></plist>");
    ASSERT_TRUE(latin1.ok()) << latin1.error();
    EXPECT_EQ(*latin1, Value("café"));
    EXPECT_FALSE(read("<?xml version=\"1.0\" encoding=\"x-no-such\"?><plist><string/></plist>").ok());
    EXPECT_FALSE(read(utf16(body, false, true) + "<").ok());  // a dangling half unit
    // Declared UTF-16 but written in one-byte units: read as the UTF-8 it is.
    EXPECT_EQ(*read("<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><true/></plist>"), Value(true));
}

}  // namespace
}  // namespace vx::plist
