#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_detail.h"
#include "platform/foundation/plist_test_support.h"

namespace vx::plist {
namespace {

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";

std::string document(std::string_view body) {
    return std::string(kHead) + std::string(body) + "</plist>\n";
}

// The XML body of a value written alone (without the header and footer lines).
std::string body(const Value& value) {
    std::string xml = writeXml(value);
    EXPECT_EQ(xml.substr(0, kHead.size()), kHead);
    EXPECT_EQ(xml.substr(xml.size() - 9), "</plist>\n");
    return xml.substr(kHead.size(), xml.size() - kHead.size() - 9);
}

Result<Value> read(std::string_view xml) {
    log::Capture quiet;
    return parse(xml);
}

Result<Value> readValue(std::string_view element) { return read(document(element)); }

// "<tag>text</tag>".
std::string element(std::string_view tag, std::string_view text) {
    std::string out = "<";
    out.append(tag).append(">").append(text).append("</").append(tag).append(">");
    return out;
}

TEST(PlistXmlWriter, WritesHeaderTabsEmptyFormsAndEscapesOnlyAngleBracketsAndAmpersand) {
    Dictionary inner{{"list", Array{}}, {"map", Dictionary{}}, {"text", ""}};
    EXPECT_EQ(writeXml(Dictionary{{"k", inner}}),
              document("<dict>\n\t<key>k</key>\n\t<dict>\n\t\t<key>list</key>\n\t\t<array/>\n"
                       "\t\t<key>map</key>\n\t\t<dict/>\n\t\t<key>text</key>\n"
                       "\t\t<string></string>\n\t</dict>\n</dict>\n"));
    EXPECT_EQ(
        body(Array{true, false, 1, -42}),
        "<array>\n\t<true/>\n\t<false/>\n\t<integer>1</integer>\n\t<integer>-42</integer>\n</array>\n");
    EXPECT_EQ(body(std::numeric_limits<std::int64_t>::min()),
              "<integer>-9223372036854775808</integer>\n");
    // Only <, > and & are escaped (long texts: the one-pass escaping test in text_test.cpp).
    EXPECT_EQ(body(Dictionary{{"a<b", "x & y > \"z\" 'w'"}}),
              "<dict>\n\t<key>a&lt;b</key>\n\t<string>x &amp; y &gt; \"z\" 'w'</string>\n</dict>\n");
}

TEST(PlistXmlWriter, SortsKeysByUtf16CodeUnitsAtEveryLevelWhateverTheInsertionOrder) {
    // A character U+E000..U+FFFF is one UTF-16 unit and sorts after a surrogate pair
    // (U+10000 and up), unlike in UTF-8 byte order; prefixes sort first.
    const std::pair<const char*, const char*> ordered[] = {
        {"\xF0\x9F\x98\x80", "\xEF\xBC\xA1"},  // U+1F600 < U+FF21
        {"\xF0\x90\x80\x80", "\xEE\x80\x80"},  // U+10000 < U+E000
        {"\xED\x9F\xBF", "\xF0\x90\x80\x80"},  // U+D7FF < U+10000
        {"z", "\xC3\xA9"},                     // ASCII < U+00E9
        {"ab", "ab\xF0\x9F\x98\x80"},          // a prefix first
        {"B", "Z"},
        {"Z", "_x"},
        {"_x", "a"},
        {"data", "date"},
    };
    for (const auto& [first, second] : ordered) {
        EXPECT_TRUE(detail::lessByUtf16(first, second)) << first << " < " << second;
        EXPECT_FALSE(detail::lessByUtf16(second, first)) << second << " !< " << first;
        for (const Dictionary& dict : {Dictionary{{first, 1}, {second, 2}},
                                       Dictionary{{"n", Dictionary{{second, 2}, {first, 1}}}}}) {
            const std::string xml = body(dict);
            EXPECT_LT(xml.find(std::string("<key>") + first), xml.find(std::string("<key>") + second))
                << first << " before " << second;
        }
    }
}

TEST(PlistXmlWriter, WritesRealsAsPrintfAndDatesInUtcWithSecondsFloored) {
    const std::pair<Value, const char*> cases[] = {
        {0.1, "<real>0.10000000000000001</real>"},
        {1.5, "<real>1.5</real>"},
        {100.0, "<real>100</real>"},
        {1e20, "<real>1e+20</real>"},
        {-2.5, "<real>-2.5</real>"},
        {0.0, "<real>0.0</real>"},
        {-0.0, "<real>0.0</real>"},
        {1e-7, "<real>9.9999999999999995e-08</real>"},
        {std::numeric_limits<double>::quiet_NaN(), "<real>nan</real>"},
        {HUGE_VAL, "<real>+infinity</real>"},
        {-HUGE_VAL, "<real>-infinity</real>"},
        {Date{0}, "<date>2001-01-01T00:00:00Z</date>"},
        {Date{1.9}, "<date>2001-01-01T00:00:01Z</date>"},
        {Date{-0.5}, "<date>2000-12-31T23:59:59Z</date>"},
        {Date{5.0 * 365 * 86400 + 86400 * 59 + 3661}, "<date>2006-02-28T01:01:01Z</date>"},
        {Date{-978307200}, "<date>1970-01-01T00:00:00Z</date>"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(body(value), std::string(text) + "\n");
    // Random bits and short binary fractions: the digits of "%.17g".
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (i % 2) value = std::ldexp(static_cast<double>(bits % 1000000), -static_cast<int>(bits % 40));
        if (!std::isfinite(value) || value == 0.0) continue;
        char expected[40];
        std::snprintf(expected, sizeof expected, "%.17g", value);
        ASSERT_EQ(body(value), std::string("<real>") + expected + "</real>\n");
    }
}

TEST(PlistXmlWriter, WritesDataInIndentedBase64Lines) {
    Data bytes(100);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    std::string root = body(bytes);
    // Root: no indent, 76 characters a line, padding, </data> on its own line.
    EXPECT_EQ(root.substr(0, 7), "<data>\n");
    std::size_t firstLineEnd = root.find('\n', 7);
    EXPECT_EQ(firstLineEnd - 7, 76u);
    EXPECT_EQ(root.substr(root.size() - 70),
              "\nj5adpKuyucDHztXc4+rx+P8GDRQbIikwNz5FTFNaYWhvdn2Ei5KZoKeutQ==\n</data>\n");
    // One level down: one tab, 68 characters.
    std::string nested = body(Array{Data{'a', 'b', 'c', 'd'}, Data{}});
    EXPECT_EQ(nested, "<array>\n\t<data>\n\tYWJjZA==\n\t</data>\n\t<data>\n\t</data>\n</array>\n");
    Value deep = bytes;
    for (int i = 0; i < 10; ++i) deep = Array{deep};
    std::string deepXml = body(deep);
    std::string dataIndent(8, '\t');
    EXPECT_NE(deepXml.find("\n" + dataIndent + "AAcOFRwjKjE4\n"), std::string::npos);  // 12 wide
    EXPECT_NE(deepXml.find("\n" + std::string(10, '\t') + "</data>\n"), std::string::npos);
    EXPECT_EQ(read(writeXml(deep)).value(), deep);
}

// Each scalar element read with its type kept apart (integer 10 is not real 10).
TEST(PlistXmlReader, ReadsScalarForms) {
    const std::pair<const char*, Value> good[] = {
        {"<integer>010</integer>", 10},
        {"<integer>+42</integer>", 42},
        {"<integer>0X1f</integer>", 31},
        {"<integer>0x1F</integer>", 31},
        {"<integer>-0</integer>", 0},
        {"<integer> \t7</integer>", 7},
        {"<integer>-0x10</integer>", -16},
        {"<integer>9223372036854775807</integer>", INT64_MAX},
        {"<integer>-9223372036854775808</integer>", INT64_MIN},
        {"<real>1e3</real>", 1000.0},
        {"<real>.5</real>", 0.5},
        {"<real>5.</real>", 5.0},
        {"<real> 2.5</real>", 2.5},
        {"<real>-1.25E-2</real>", -0.0125},
        {"<real>+3</real>", 3.0},
        {"<real>0.10000000000000001</real>", 0.1},
        {"<real>INF</real>", HUGE_VAL},
        {"<real>+Infinity</real>", HUGE_VAL},
        {"<real>-inf</real>", -HUGE_VAL},
        {"<real>-INFINITY</real>", -HUGE_VAL},
        {"<real>1e400</real>", HUGE_VAL},
        {"<real>1e-400</real>", 0.0},
        {"<real>NaN</real>", std::nan("")},
        {"<string>  a \n b  </string>", "  a \n b  "},
        {"<string>&lt;&gt;&amp;&apos;&quot;</string>", "<>&'\""},
        {"<string>&#65;&#x42;&#x1F600;&#233;</string>", "AB\xF0\x9F\x98\x80\xC3\xA9"},
        {"<string>a<![CDATA[<b>&amp;]]>c</string>", "a<b>&amp;c"},
        {"<string/>", ""},
        {"<string></string>", ""},
        {"<string>\xC3\xA9t\xC3\xA9</string>", "\xC3\xA9t\xC3\xA9"},
        {"<true></true>", true},
        {"<false/>", false},
        {"<date>2001-01-01T00:01:40Z</date>", Date{100}},
        {"<date>2000-02-29T00:00:00Z</date>", Date{-307.0 * 86400}},
        {"<data>\n\tYWJj\n\tZA==\n</data>", Data{'a', 'b', 'c', 'd'}},
        {"<data>YWJjZA</data>", Data{'a', 'b', 'c', 'd'}},
        {"<data/>", Data{}},
    };
    for (const auto& [element, expected] : good) {
        auto value = readValue(element);
        ASSERT_TRUE(value.ok()) << element << ": " << value.error();
        EXPECT_EQ(test::canonical(*value), test::canonical(expected)) << element;
    }
    const std::pair<std::string, std::vector<std::string>> refused[] = {
        {"integer",
         {"", "1F", "42 ", "1.0", "9223372036854775808", "-9223372036854775809", "0x", "+-1", "--1",
          "18446744073709551616", "1e3"}},
        {"real", {"1.5 ", "1,5", "0x10", "", ".", "+-1", "nanx", "e5", "1e", "inf "}},
        {"string",
         {"&foo;", "a & b", "&#xD800;", "&#0;", "&#x110000;", "&#;", "\xC3(", "\xED\xA0\x80", "a<b/>"}},
        {"true", {"x", " "}},
        {"date", {"2001-02-29T00:00:00Z", "2001-01-01T24:00:00Z", "2001-01-01", "2001-01-01T00:00:00"}},
        {"data", {"YW*j", "Y", "YQ==YQ==", "="}},
    };
    for (const auto& [tag, texts] : refused) {
        for (const std::string& text : texts)
            EXPECT_FALSE(readValue(element(tag, text)).ok()) << tag << ": " << text;
    }
    for (const char* bad : {"<integer/>", "<date/>", "<string>abc", "<string>a</strin>"})
        EXPECT_FALSE(readValue(bad).ok()) << bad;
}

TEST(PlistXmlReader, ReadsDictionariesStrictly) {
    auto dict = readValue(
        "<dict><key>a</key><integer>1</integer><key>b</key><string>x</string>"
        "<key>a</key><integer>3</integer><key/><true/></dict>");
    ASSERT_TRUE(dict.ok()) << dict.error();
    EXPECT_EQ(dict->dictionary().keys(), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(*lookup(*dict, "a"), Value(3));
    for (const char* bad : {"<dict><key>a</key></dict>", "<dict><string>a</string><true/></dict>",
                            "<dict><key>a</key><key>b</key><true/></dict>",
                            "<dict><key>a</key>text<true/></dict>", "<array><key>a</key></array>",
                            "<array><true/></dict>", "<array><unknown/></array>", "<array><true/>"})
        EXPECT_FALSE(readValue(bad).ok()) << bad;
    // Many keys with repeats: last value wins, in linear time.
    std::string big = "<dict>";
    for (int i = 0; i < 50000; ++i)
        big += "<key>k" + std::to_string(i % 20000) + "</key><integer>" + std::to_string(i) +
               "</integer>";
    auto many = readValue(big + "</dict>");
    ASSERT_TRUE(many.ok());
    EXPECT_EQ(many->dictionary().size(), 20000u);
    EXPECT_EQ(*lookup(*many, "k5"), Value(40005));
}

TEST(PlistXmlReader, HandlesPrologAndWhatFollowsTheRoot) {
    // The whole document must be UTF-8, comments included.
    EXPECT_TRUE(read("<!-- \xC3\xA9 --><string>\xF4\x8F\xBF\xBF</string>").ok());
    EXPECT_TRUE(read("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- c --><!DOCTYPE plist SYSTEM \"x[y]\">"
                     "<plist version=\"1.0\"><!-- c --><array/></plist>")
                    .ok());
    EXPECT_EQ(read("  <dict/>").value(), Value(Dictionary{}));
    EXPECT_EQ(read("<plist><string>a</string></plist> trailing <junk").value(), Value("a"));
    auto entity = read(
        "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY e "
        "\"boom\">]><plist><string>&e;</string></plist>");
    EXPECT_FALSE(entity.ok());
    EXPECT_NE(entity.error().find("internal subset"), std::string::npos);
    for (const char* bad : {"", " \n", "<plist/>", "<plist></plist>", "hello world", "<plist><!-- open",
                            "<plist><dict>", "<plist><array><plist/></array></plist>", "<?xml",
                            "<plist><!DOCTYPE plist><true/></plist>", "<!-- \xC0\x80 --><string/>",
                            "<string>\xF4\x90\x80\x80</string>", "<string>abcdefgh\xE2\x82</string>"})
        EXPECT_FALSE(read(bad).ok()) << bad;
    auto truncated = read("<plist>\n<dict>\n<key>a</key>\n<string>x");
    ASSERT_FALSE(truncated.ok());
    EXPECT_NE(truncated.error().find("line 4"), std::string::npos) << truncated.error();
}

TEST(PlistXmlReader, LimitsNestingAndSize) {
    auto nested = [](int depth) {
        std::string xml;
        for (int i = 0; i < depth; ++i) xml += "<array>";
        for (int i = 0; i < depth; ++i) xml += "</array>";
        return xml;
    };
    EXPECT_TRUE(read(nested(kMaxDepth)).ok());
    EXPECT_FALSE(read(nested(kMaxDepth + 1)).ok());
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<dict><key>k</key>";
    EXPECT_FALSE(read(deep).ok());
    log::Capture capture;
    std::string huge(kMaxInputBytes + 1, ' ');
    auto tooBig = parse(huge);
    EXPECT_FALSE(tooBig.ok());
    EXPECT_NE(tooBig.error().find("over the limit"), std::string::npos);
    EXPECT_TRUE(capture.contains("over the limit"));
}

TEST(PlistValue, PrintsOnOneLineWithItsTypesVisible) {
    const std::pair<Value, const char*> cases[] = {
        {Value(Array{true, 42, 1.5, 100.0, "a \"b\""}), "(true, 42, 1.5, 100.0, \"a \\\"b\\\"\")"},
        {Value(Dictionary{{"k", Data{0x0a, 0xff, 0, 1, 2}}}), "{\"k\" = <0aff0001 02>; }"},
        {Value(Date{-1.5}), "date(-1.5)"},
    };
    for (const auto& [value, printed] : cases) EXPECT_EQ(::testing::PrintToString(value), printed);
}

}  // namespace
}  // namespace vx::plist
