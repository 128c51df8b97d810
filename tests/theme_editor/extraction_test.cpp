// The extraction of "var" declarations from a settings script into options entries.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/foundation/log.h"
#include "theme_editor/optimisation.h"

namespace vx {
namespace {

using Row = std::tuple<std::string, std::string, std::string>;  // name, type, default

std::vector<Row> rowsOf(const std::string& script) {
    std::vector<Row> rows;
    for (const OptionsEntry& entry : extractOptions(script).entries) {
        EXPECT_EQ(entryText(entry, "label"), entryText(entry, "name"));
        EXPECT_EQ(entry.size(), 4u);
        rows.emplace_back(entryText(entry, "name"), entryText(entry, "type"), entryText(entry, "default"));
    }
    return rows;
}

TEST(Extraction, ValuesLoseDoubleQuotesAndBooleansBecomeSwitches) {
    EXPECT_EQ(rowsOf("var color = \"red\";"), (std::vector<Row>{{"color", "edit", "red"}}));
    EXPECT_EQ(rowsOf("var showClock = TRUE;"), (std::vector<Row>{{"showClock", "switch", "TRUE"}}));
    EXPECT_EQ(rowsOf("var a = \"true\"; var b = \"False\";"),
              (std::vector<Row>{{"a", "switch", "true"}, {"b", "switch", "False"}}));
    EXPECT_EQ(rowsOf("var size = 12;"), (std::vector<Row>{{"size", "edit", "12"}}));
    EXPECT_EQ(rowsOf("var s = 'abc';"), (std::vector<Row>{{"s", "edit", "'abc'"}}));
    EXPECT_EQ(rowsOf("var e = \"\";"), (std::vector<Row>{{"e", "edit", ""}}));
    // Escapes are decoded in double-quoted values only (the node round trip checks them all).
    EXPECT_EQ(rowsOf("var q = \"a\\nb\"; var s = 'a\\nb'; var u = a\\nb;"),
              (std::vector<Row>{{"q", "edit", "a\nb"}, {"s", "edit", "'a\\nb'"}, {"u", "edit", "a\\nb"}}));
    // "truest" or "true!" are no booleans.
    EXPECT_EQ(rowsOf("var t = truest;"), (std::vector<Row>{{"t", "edit", "truest"}}));
}

TEST(Extraction, OnlyTheTextBetweenTheFirstTwoEqualsSignsIsTheValue) {
    // The comma case: one entry whose value runs into the second declaration.
    EXPECT_EQ(rowsOf("var a = 1, b = 2;"), (std::vector<Row>{{"a", "edit", "1, b"}}));
    EXPECT_EQ(rowsOf("var q = \"x=y\";"), (std::vector<Row>{{"q", "edit", "x"}}));
    EXPECT_EQ(rowsOf("var cmp = a == b;"), (std::vector<Row>{{"cmp", "edit", "a"}}));
}

TEST(Extraction, ADeclarationRunsToTheNextSemicolonOrTheEnd) {
    EXPECT_EQ(rowsOf("var a = 1\nvar b = 2;\nvar c = 3;"),
              (std::vector<Row>{{"a", "edit", "1\nvar b"}, {"c", "edit", "3"}}));
    EXPECT_EQ(rowsOf("var last = \"tail\"   "), (std::vector<Row>{{"last", "edit", "tail"}}));
}

TEST(Extraction, VarIsFoundInsideLongerWordsAndInAnyCase) {
    EXPECT_EQ(rowsOf("invariant = 2;"), (std::vector<Row>{{"variant", "edit", "2"}}));
    EXPECT_EQ(rowsOf("VARIABLE = 3;"), (std::vector<Row>{{"VARIABLE", "edit", "3"}}));
    EXPECT_EQ(rowsOf("VAR Big = 1; Var small = 2;"),
              (std::vector<Row>{{"Big", "edit", "1"}, {"small", "edit", "2"}}));
}

TEST(Extraction, CommentsAndStringsAreTakenLikeCode) {
    const std::string script =
        "// var x = 1;\n"
        "/* var y = \"2\"; */\n"
        "s = \"var z = 3;\";\n";
    EXPECT_EQ(rowsOf(script),
              (std::vector<Row>{{"x", "edit", "1"}, {"y", "edit", "2"}, {"z", "edit", "3"}}));
}

TEST(Extraction, LineBreaksAndTabsAfterVarStayInTheName) {
    EXPECT_EQ(rowsOf("var\nname = 5;"), (std::vector<Row>{{"var\nname", "edit", "5"}}));
    EXPECT_EQ(rowsOf("var\tx = 1;"), (std::vector<Row>{{"var\tx", "edit", "1"}}));
    // Blanks after "var " and line breaks before a declaration are skipped.
    EXPECT_EQ(rowsOf("\n\n   var    spaced = 1;"), (std::vector<Row>{{"spaced", "edit", "1"}}));
    EXPECT_EQ(rowsOf("var msg = \"a\nb\";"), (std::vector<Row>{{"msg", "edit", "a\nb"}}));
    // Only blanks and tabs (the Unicode space separators too) are trimmed, not line breaks.
    EXPECT_EQ(rowsOf("var w = \t1\n ;"), (std::vector<Row>{{"w", "edit", "1\n"}}));
    EXPECT_EQ(rowsOf("var nb\u00A0= \u20031\u00A0;"), (std::vector<Row>{{"nb", "edit", "1"}}));
}

TEST(Extraction, ScriptsWithoutDeclarationsGiveNothing) {
    EXPECT_TRUE(rowsOf("").empty());
    EXPECT_TRUE(rowsOf("x = 1; y = 2;").empty());
    EXPECT_TRUE(rowsOf("   \n\t ").empty());
    EXPECT_TRUE(rowsOf("var ;").empty());
    EXPECT_TRUE(rowsOf("var").empty());
}

TEST(Extraction, DuplicatesAreKeptInFileOrder) {
    ExtractedOptions extracted = extractOptions("var a = 1; var b = 2; var a = 3;");
    EXPECT_EQ(extracted.names, (std::vector<std::string>{"a", "b", "a"}));
    ASSERT_EQ(extracted.entries.size(), 3u);
    EXPECT_EQ(entryText(extracted.entries[2], "default"), "3");
}

TEST(Extraction, ADeclarationWithoutEqualsIsSkippedWithALogLine) {
    log::Capture capture;
    ExtractedOptions extracted = extractOptions("var a; var b, c; var d = 4;");
    EXPECT_EQ(extracted.names, (std::vector<std::string>{"d"}));
    EXPECT_TRUE(capture.contains("\"a\""));
    EXPECT_TRUE(capture.contains("\"b, c\""));
    // "var;" gives the declaration text "var" itself.
    EXPECT_EQ(extractDeclarationTexts("var;"), (std::vector<std::string>{"var"}));
}

TEST(Extraction, DeclarationTextsAsTheScannerTakesThem) {
    EXPECT_EQ(extractDeclarationTexts("a; var x = 1 ; var  y=2;;var z"),
              (std::vector<std::string>{"x = 1 ", "y=2", "z"}));
    // Non-ASCII text around the declarations passes through untouched.
    EXPECT_EQ(extractDeclarationTexts("/* Größe */ var größe = \"ß\";"),
              (std::vector<std::string>{"größe = \"ß\""}));
}

TEST(Extraction, SwitchDefaultsReadAsOnByTheBooleanRule) {
    for (const char* on : {"true", "TRUE", "yes", "Y", "t", "1", "9", "  t", "\n1", "+1", "-5", "007", "0y", "-0T"})
        EXPECT_TRUE(defaultReadsAsOn(on)) << on;
    for (const char* off : {"", "false", "no", "0", "000", "-0", "  ", "abc", "0.5", "+", "n1"})
        EXPECT_FALSE(defaultReadsAsOn(off)) << off;
}

}  // namespace
}  // namespace vx
