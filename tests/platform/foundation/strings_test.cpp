#include "platform/foundation/strings.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <clocale>

namespace vx::str {
namespace {

TEST(Strings, BoolValueFollowsTheDeviceRules) {
    for (const char* text :
         {"YES", "true", "t", "1", "-1", "+01", " 2", "1.0", "y", "\n\t Yes", "\u00A01"})
        EXPECT_TRUE(boolValue(text)) << text;
    for (const char* text : {"0", "00", "0.9", "NO", "false", "", "x1", "+y", "-", "  "})
        EXPECT_FALSE(boolValue(text)) << text;
}

TEST(Strings, DoubleValueTakesTheLongestNumericPrefix) {
    struct {
        const char* input;
        double expected;
    } vectors[] = {{" 3.5abc", 3.5},   {"abc", 0},  {"-.5", -0.5}, {"1e3", 1000}, {"0x10", 0},
                   {"inf", 0},         {"\n 7", 7}, {"5.", 5},     {"1e", 1},     {"1e+", 1},
                   {"+2.5e-1x", 0.25}, {".", 0},    {"-", 0},      {"", 0}};
    for (const auto& v : vectors) EXPECT_DOUBLE_EQ(doubleValue(v.input), v.expected) << v.input;
    EXPECT_EQ(floatValue("0.1"), 0.1f);
}

// In the C locale whatever the process locale: a decimal comma changes nothing.
TEST(Strings, FormatsLikePrintfAndParsesInTheCLocale) {
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::pair<std::string, std::string> cases[] = {
        {formatG(12.5), "12.5"},           {formatG(0), "0"},         {formatG(1e6), "1e+06"},
        {formatG(1234567), "1.23457e+06"}, {formatG(1e-5), "1e-05"},  {formatF(-1.5), "-1.500000"},
        {formatF(0), "0.000000"},          {formatF(2.5), "2.500000"}};
    for (const auto& [formatted, expected] : cases) EXPECT_EQ(formatted, expected);
    EXPECT_EQ(formatF(1e300).size(), 301u + 7u);
    EXPECT_DOUBLE_EQ(doubleValue("2.5"), 2.5);
    if (german) std::setlocale(LC_NUMERIC, "C");
}

TEST(Strings, PathComponentsAsTheDeviceDoes) {
    using Vectors = std::vector<std::pair<const char*, const char*>>;
    const std::pair<std::string (*)(std::string_view), Vectors> cases[] = {
        {pathExtension,
         {{"a.b.c", "c"},
          {".scratch.tiff", "tiff"},
          {"scratch..tiff", "tiff"},
          {".js", ""},
          {"..", ""},
          {"/tmp/", ""},
          {"/tmp/a.theme/", "theme"},
          {"dir.d/file", ""},
          {"", ""},
          {"a.", ""}}},
        {stringByDeletingPathExtension,
         {{"Clock.old.theme", "Clock.old"},
          {"scratch.bundle/", "scratch"},
          {".tiff", ".tiff"},
          {"/", "/"},
          {"/a/b.c", "/a/b"},
          {"dir.d/file", "dir.d/file"},
          {"a.", "a."},
          {"", ""}}},
        {lastPathComponent,
         {{"/tmp/", "tmp"}, {"scratch///", "scratch"}, {"/", "/"}, {"a/b", "b"}, {"", ""}, {"//", "/"}}},
        {stringByDeletingLastPathComponent,
         {{"/tmp/lock/", "/tmp"},
          {"/tmp", "/"},
          {"scratch.tiff", ""},
          {"/", "/"},
          {"a//b//c", "a/b"},
          {"", ""}}},
    };
    for (const auto& [function, vectors] : cases)
        for (const auto& [input, expected] : vectors) EXPECT_EQ(function(input), expected) << input;
}

TEST(Strings, CaseInsensitiveSearchFoldsFully) {
    EXPECT_TRUE(containsCaseInsensitive("My Settings.js", "SETTINGS"));
    EXPECT_TRUE(containsCaseInsensitive("Straße", "STRASSE"));
    EXPECT_TRUE(containsCaseInsensitive("ÉCRAN", "écran"));
    EXPECT_TRUE(containsCaseInsensitive("\u212A", "k"));  // Kelvin sign folds to k
    EXPECT_FALSE(containsCaseInsensitive("Maße", "s"));   // half a character never matches
    EXPECT_FALSE(containsCaseInsensitive("abc", ""));
    EXPECT_FALSE(containsCaseInsensitive("", "a"));
    EXPECT_FALSE(containsCaseInsensitive("abc", "abcd"));

    auto found = rangeOfString("xx VAR y", "var", true);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (Range{3, 6}));
    EXPECT_FALSE(rangeOfString("xx VAR y", "var", false));
    EXPECT_EQ(*rangeOfString("var var", "VAR", true, 1), (Range{4, 7}));
    EXPECT_EQ(*rangeOfString("größe", "SSE", true), (Range{4, 7}));
    // Past long ASCII runs, read eight bytes at a time: a letter in either case, and a
    // character beyond ASCII that folds to the needle.
    EXPECT_EQ(*rangeOfString("a long line of code; vaR", "VAR", true), (Range{21, 24}));
    EXPECT_EQ(*rangeOfString("a long line of code; \u212Aey", "key", true), (Range{21, 26}));
    EXPECT_EQ(*matchAt("VAR x", 0, "var ", true), 4u);
    EXPECT_FALSE(matchAt("VAR x", 0, "var ", false));
}

TEST(Strings, LowercaseIsFullAndLocaleFree) {
    EXPECT_EQ(lowercase("TRUE"), "true");
    EXPECT_EQ(lowercase("ÀÉÎ"), "àéî");
    EXPECT_EQ(lowercase("I"), "i");             // no Turkish dotless i
    EXPECT_EQ(lowercase("\u0130"), "i\u0307");  // full mapping: İ → i + combining dot
    EXPECT_EQ(lowercase("ΣΑΣ"), "σας");         // final sigma
}

TEST(Strings, SplitKeepsEmptyPieces) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split("a,,b", ","), (V{"a", "", "b"}));
    EXPECT_EQ(split(",a,", ","), (V{"", "a", ""}));
    EXPECT_EQ(split("", ","), (V{""}));
    EXPECT_EQ(split("a==b", "=="), (V{"a", "b"}));
    EXPECT_EQ(split("abc", ""), (V{"abc"}));
}

TEST(Strings, WhitespaceAndLineBreakSets) {
    for (char32_t c : {0x20, 0x09, 0xA0, 0x1680, 0x2000, 0x2005, 0x200B, 0x202F, 0x205F, 0x3000})
        EXPECT_TRUE(isWhitespace(c)) << std::hex << static_cast<unsigned>(c);
    for (char32_t c : {0x0A, 0x0B, 0x0C, 0x0D, 0x85, 0x2028, 0x2029, 0x200C, 0x41, 0xFEFF})
        EXPECT_FALSE(isWhitespace(c)) << std::hex << static_cast<unsigned>(c);
    for (char32_t c : {0x0A, 0x0B, 0x0C, 0x0D, 0x85, 0x2028, 0x2029})
        EXPECT_TRUE(isLineBreak(c)) << std::hex << static_cast<unsigned>(c);
    for (char32_t c : {0x09, 0x20, 0x0E, 0x2027})
        EXPECT_FALSE(isLineBreak(c)) << std::hex << static_cast<unsigned>(c);

    EXPECT_EQ(trimWhitespace("\n a \n"), "\n a \n");
    EXPECT_EQ(trimWhitespace(" \t\u3000a b\u00A0 "), "a b");
    EXPECT_EQ(trimWhitespace(" \t "), "");
    EXPECT_EQ(trimWhitespace("é"), "é");
}

TEST(Strings, MalformedUtf8IsOneReplacementPerBadSequence) {
    EXPECT_EQ(codePointAt("\377a", 0).value, U'\uFFFD');
    EXPECT_EQ(codePointAt("\377a", 0).length, 1u);
    EXPECT_EQ(codePointAt("\xe2\x82", 0).length, 2u);  // truncated sequence
    EXPECT_EQ(lowercase("A\xff"), "a\uFFFD");
    EXPECT_FALSE(containsCaseInsensitive("\xff\xfe", "a"));
}

}  // namespace
}  // namespace vx::str
