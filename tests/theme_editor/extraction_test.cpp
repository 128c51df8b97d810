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
        rows.emplace_back(entryText(entry, "name"), entryText(entry, "type"),
                          entryText(entry, "default"));
    }
    return rows;
}

TEST(Extraction, ScriptsGiveTheseEntries) {
    struct Case {
        const char* script;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        // Double quotes go; "true" / "false" in any case make a switch, kept as written.
        {"var color = \"red\";", {{"color", "edit", "red"}}},
        {"var showClock = TRUE;", {{"showClock", "switch", "TRUE"}}},
        {"var a = \"true\"; var b = \"False\";", {{"a", "switch", "true"}, {"b", "switch", "False"}}},
        {"var size = 12; var t = truest; var e = \"\";",
         {{"size", "edit", "12"}, {"t", "edit", "truest"}, {"e", "edit", ""}}},
        // Escapes are decoded in double-quoted values only (the node round trip checks them all).
        {"var q = \"a\\nb\"; var s = 'a\\nb'; var u = a\\nb;",
         {{"q", "edit", "a\nb"}, {"s", "edit", "'a\\nb'"}, {"u", "edit", "a\\nb"}}},
        // Only the text between the first two "=" is the value; a "," does not end it.
        {"var a = 1, b = 2;", {{"a", "edit", "1, b"}}},
        {"var q = \"x=y\"; var cmp = a == b;", {{"q", "edit", "x"}, {"cmp", "edit", "a"}}},
        // A declaration runs to the next ";" or the end.
        {"var a = 1\nvar b = 2;\nvar c = 3;", {{"a", "edit", "1\nvar b"}, {"c", "edit", "3"}}},
        {"var last = \"tail\"   ", {{"last", "edit", "tail"}}},
        // "var" inside longer words and in any case; comments and strings are taken like code.
        {"invariant = 2; VARIABLE = 3;", {{"variant", "edit", "2"}, {"VARIABLE", "edit", "3"}}},
        {"VAR Big = 1; Var small = 2;", {{"Big", "edit", "1"}, {"small", "edit", "2"}}},
        {"// var x = 1;\n/* var y = \"2\"; */\ns = \"var z = 3;\";\n",
         {{"x", "edit", "1"}, {"y", "edit", "2"}, {"z", "edit", "3"}}},
        // A line break or tab after "var" stays in the name; blanks after "var " and line
        // breaks before a declaration are skipped.
        {"var\nname = 5; var\tx = 1;", {{"var\nname", "edit", "5"}, {"var\tx", "edit", "1"}}},
        {"\n\n   var    spaced = 1; var msg = \"a\nb\";",
         {{"spaced", "edit", "1"}, {"msg", "edit", "a\nb"}}},
        // Only blanks and tabs (the Unicode space separators too) are trimmed, not line breaks.
        {"var w = \t1\n ; var nb\u00A0= \u20031\u00A0;", {{"w", "edit", "1\n"}, {"nb", "edit", "1"}}},
        {"", {}},
        {"x = 1; y = 2;   \n\t var ;", {}},
        {"var", {}},
        // Duplicates are kept, in file order.
        {"var a = 1; var a = 3;", {{"a", "edit", "1"}, {"a", "edit", "3"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(rowsOf(c.script), c.rows) << c.script;
}

TEST(Extraction, ADeclarationWithoutEqualsIsSkippedWithALogLine) {
    log::Capture capture;
    EXPECT_EQ(extractOptions("var a = 1; var b; var c, d; var a = 3;").names,
              (std::vector<std::string>{"a", "a"}));
    EXPECT_TRUE(capture.contains("\"b\"") && capture.contains("\"c, d\""));
}

TEST(Extraction, DeclarationTextsAsTheScannerTakesThem) {
    EXPECT_EQ(extractDeclarationTexts("a; var x = 1 ; var  y=2;;var z"),
              (std::vector<std::string>{"x = 1 ", "y=2", "z"}));
    // "var;" gives the declaration text "var" itself.
    EXPECT_EQ(extractDeclarationTexts("var;"), (std::vector<std::string>{"var"}));
    // Non-ASCII text around the declarations passes through untouched.
    EXPECT_EQ(extractDeclarationTexts("/* Größe */ var größe = \"ß\";"),
              (std::vector<std::string>{"größe = \"ß\""}));
    // Each starts where the scanner took it: after "var " and any blanks before the name.
    std::vector<std::size_t> offsets;
    for (const auto& declaration : extractDeclarations("a; var x = 1 ; var  y=2;;var\tz;"))
        offsets.push_back(declaration.offset);
    EXPECT_EQ(offsets, (std::vector<std::size_t>{7, 20, 25}));
}

TEST(Extraction, SwitchDefaultsReadAsOnByTheBooleanRule) {
    for (const char* on :
         {"true", "TRUE", "yes", "Y", "t", "1", "9", "  t", "\n1", "+1", "-5", "007", "0y", "-0T"})
        EXPECT_TRUE(defaultReadsAsOn(on)) << on;
    for (const char* off : {"", "false", "no", "0", "000", "-0", "  ", "abc", "0.5", "+", "n1"})
        EXPECT_FALSE(defaultReadsAsOn(off)) << off;
}

}  // namespace
}  // namespace vx
