#include "platform/foundation/strings_table.h"

#include <gtest/gtest.h>

#include "platform/foundation/log.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

StringsTable parsed(std::string_view text) {
    auto table = parseStringsTable(text);
    EXPECT_TRUE(table.ok()) << text << ": " << table.error();
    return table.ok() ? table.value() : StringsTable{};
}

std::string utf16(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

TEST(StringsTable, PairsCommentsAndQuoting) {
    StringsTable table = parsed(
        "/* Settings */\n"
        "\"Enabled\" = \"Aktiviert\";  // the main switch\n"
        "'single' = 'quotes';\n"
        "unquoted_$/:.-1 = bare.value;\n"
        "\"alone\";\n"
        "\"dup\" = \"first\"; \"dup\" = \"last\";\n"
        "\"with = and ; inside\"=\"a//b /* c */\";");
    EXPECT_EQ(table, (StringsTable{{"Enabled", "Aktiviert"},
                                   {"single", "quotes"},
                                   {"unquoted_$/:.-1", "bare.value"},
                                   {"alone", "alone"},
                                   {"dup", "last"},
                                   {"with = and ; inside", "a//b /* c */"}}));
    EXPECT_TRUE(parsed("").empty());
    EXPECT_TRUE(parsed(" \n\t\r\n// only a comment").empty());
    EXPECT_TRUE(parsed("\"a\" = \"b\"; /* unterminated comment runs to the end").size() == 1);
}

TEST(StringsTable, Escapes) {
    struct {
        const char* source;
        std::string expected;
    } vectors[] = {
        {R"("k" = "\a\b\f\n\r\t\v";)", "\a\b\f\n\r\t\v"},
        {R"("k" = "\"q\" \' \\ \z";)", "\"q\" ' \\ z"},
        {R"("k" = "\U00e9\U20AC";)", "é€"},
        {R"("k" = "\UD83D\UDE00";)", "😀"},
        {R"("k" = "\U41x";)", "Ax"},
        {R"("k" = "\UD83Dx";)", "\uFFFDx"},
        {R"("k" = "\101\0627\351";)", "A2" "7é"},
        {"\"k\" = \"\\é\";", "é"},
        {"\"k\" = \"line\nbreak\";", "line\nbreak"},
    };
    for (const auto& v : vectors) EXPECT_EQ(parsed(v.source)["k"], v.expected) << v.source;
}

TEST(StringsTable, Utf16WithByteOrderMarkAndUtf8WithOne) {
    std::u16string source = u"/* de */\n\"Clock\" = \"Uhr\u00E4\";\n\"Emoji\" = \"\U0001F600\";\n";
    for (bool bigEndian : {false, true}) {
        StringsTable table = parsed(utf16(source, bigEndian));
        EXPECT_EQ(table["Clock"], "Uhrä");
        EXPECT_EQ(table["Emoji"], "😀");
    }
    EXPECT_EQ(parsed("\xEF\xBB\xBF\"a\" = \"b\";")["a"], "b");
}

TEST(StringsTable, MalformedTablesAreErrorsWithALine) {
    for (const char* bad : {"\"a\" = \"b\"", "\"a\" = ;", "= \"b\";", "\"a\" \"b\";",
                            "\"a\" = \"b", "\"a\" = \"b\";\n\"c\" = (x);", "\"a\" = \"b\" x;",
                            "{ \"a\" = \"b\"; }", "\"k\" = \"\xff\";"}) {
        auto table = parseStringsTable(bad);
        EXPECT_FALSE(table.ok()) << bad;
    }
    auto table = parseStringsTable("\"a\" = \"b\";\n\n\"c\" = \"unterminated;\n");
    ASSERT_FALSE(table.ok());
    EXPECT_EQ(table.error(), "line 3: unterminated string");
    EXPECT_FALSE(parseStringsTable("\xFF\xFE\"\x00").ok());  // odd UTF-16
}

TEST(StringsTable, ReadsByDevicePathAndLogsBadFiles) {
    test::ScopedDeviceRoot root;
    root.writeFile("/B.bundle/en.lproj/Localizable.strings", "\"a\" = \"b\";");
    root.writeFile("/B.bundle/de.lproj/Localizable.strings", "\"a\" = ");
    EXPECT_EQ(readStringsTable("/B.bundle/en.lproj/Localizable.strings")->at("a"), "b");
    log::Capture capture;
    EXPECT_FALSE(readStringsTable("/B.bundle/de.lproj/Localizable.strings").ok());
    EXPECT_TRUE(capture.contains("de.lproj/Localizable.strings: line 1"));
    EXPECT_FALSE(readStringsTable("/B.bundle/fr.lproj/Localizable.strings").ok());
}

}  // namespace
}  // namespace vx
