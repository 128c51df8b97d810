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

// Escapes and encodings are the old-style property-list reader's (plist_openstep_test.cpp).
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
    EXPECT_EQ(parsed(std::string_view("\xFF\xFE\"\0a\0\"\0;\0", 10))["a"], "a");  // UTF-16 with a mark
}

TEST(StringsTable, MalformedTablesAreErrorsWithALine) {
    for (const char* bad : {"\"a\" = \"b\"", "\"a\" = ;", "= \"b\";", "\"a\" \"b\";", "\"a\" = \"b",
                            "\"a\" = \"b\";\n\"c\" = (x);", "\"a\" = \"b\" x;", "{ \"a\" = \"b\"; }",
                            "\"k\" = \"\xff\";"}) {
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

    // Accepted, but a comment never closed swallows the rest: said once, naming the file.
    root.writeFile("/B.bundle/it.lproj/Localizable.strings", "\"a\" = \"b\";\n/* \"c\" = \"d\";");
    EXPECT_EQ(readStringsTable("/B.bundle/it.lproj/Localizable.strings").value(),
              (StringsTable{{"a", "b"}}));
    EXPECT_TRUE(
        capture.contains("it.lproj/Localizable.strings: the /* comment at line 2 is never closed"));
}

}  // namespace
}  // namespace vx
