// From a settings script to the theme: the extraction of its "var" declarations into
// options entries; the declaration lines, their escaping, reading them back, and where they
// are stored; an options file in either text format gives the same lines (other encodings
// are the property list reader's business); and the lines give a JavaScript engine (node)
// the values the script declared.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "support/demo_device.h"
#include "support/temp_dir.h"
#include "theme_editor/javascript_string.h"
#include "theme_editor/optimisation.h"
#include "theme_editor/variable_writing.h"

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

TEST(Extraction, DeclarationTextsAsTheScannerTakesThem) {
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

OptionsEntry entry(std::string name, std::string type, std::string value) {
    return OptionsEntry{{"name", plist::Value(std::move(name))},
                        {"type", plist::Value(std::move(type))},
                        {"default", plist::Value(std::move(value))}};
}

OptionsEntry selectEntry(std::string chosen) {
    OptionsEntry made = entry("size", "select", std::move(chosen));
    made.set("options",
             plist::Dictionary{{"Large", plist::Value("24px")}, {"Small", plist::Value("12px")}});
    return made;
}

TEST(DeclarationLine, FormsByTypeAndTheLogLineShowsTheChosenKeyOfASelect) {
    struct Case {
        OptionsEntry entry;
        std::string line, logLine;
    };
    const Case cases[] = {
        {entry("color", "edit", "red"), "var color = \"red\" ;", "var color = \"red\" ;"},
        {entry("on", "switch", "TRUE"), "var on = TRUE;", "var on = \"TRUE\" ;"},
        // A switch without a usable default is written as false, never as "var x = ;".
        {entry("blank", "switch", " \n"), "var blank = false;", "var blank = \" \\n\" ;"},
        {OptionsEntry{{"name", plist::Value("n")},
                      {"type", plist::Value("switch")},
                      {"default", plist::Value(3)}},
         "var n = false;", "var n = \"\" ;"},
        {entry("x", "slider", "3"), "var x = \"3\" ;", "var x = \"3\" ;"},
        // The type is compared exactly.
        {entry("b", "Switch", "true"), "var b = \"true\" ;", "var b = \"true\" ;"},
        {selectEntry("Large"), "var size = \"24px\" ;", "var size = \"Large\" ;"},
        // A chosen label that is no key of the options is written as it stands.
        {selectEntry("Huge"), "var size = \"Huge\" ;", "var size = \"Huge\" ;"},
        // Missing or mistyped fields read as empty.
        {OptionsEntry{}, "var  = \"\" ;", "var  = \"\" ;"},
        {OptionsEntry{{"name", plist::Value(3)}, {"default", plist::Value("v")}}, "var  = \"v\" ;",
         "var  = \"v\" ;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        log::Capture capture;
        EXPECT_EQ(declarationLines({c.entry}), std::vector<std::string>{c.line});
        EXPECT_EQ(capture.lines().size(), 1u);
        EXPECT_TRUE(capture.contains(c.logLine));
    }
}

TEST(DeclarationLine, QuotedValuesAreEscapedAsJavaScriptStringsAndReadBack) {
    struct Case {
        std::string value;
        std::string written;  // between the line's quotes
    };
    const Case cases[] = {
        {"plain text / 100% <b>", "plain text / 100% <b>"},
        {"", ""},
        {"C:\\dir \\u00B0", "C:\\\\dir \\\\u00B0"},
        {"one\ntwo\r\n", "one\\ntwo\\r\\n"},
        {"x\u2028y\u2029z", "x\\u2028y\\u2029z"},
        {"</script><</", "<\\/script><<\\/"},
        // A value cannot end the string it is put into; other characters pass as they are.
        {"\"; alert(1); //", "\\\"; alert(1); //"},
        {"Größe\t→ \u2027 a = b ; \xE2\x80", "Größe\t→ \u2027 a = b ; \xE2\x80"},
    };
    for (const Case& c : cases) {
        const std::string line = declarationLine(entry("v", "edit", c.value));
        EXPECT_EQ(line, "var v = \"" + c.written + "\" ;");
        std::optional<DeclaredValue> read = readDeclarationLine(line);
        ASSERT_TRUE(read) << line;
        EXPECT_EQ(read->value, c.value);
    }
    EXPECT_EQ(readDeclarationLine("var q = \" ;")->value, "\" ");  // one quote opens no string
    for (const char* notOurs : {"", "let x = 1;", "var x = \"open", "var x"})
        EXPECT_FALSE(readDeclarationLine(notOurs)) << notOurs;
}

TEST(DeclarationLine, EscapesAnEngineWouldRefuseStayAsWritten) {
    // (Well-formed escapes are checked against node in value_round_trip_test.cpp.)
    const std::pair<const char*, const char*> cases[] = {
        {"\\x4", "\\x4"},   {"\\u12", "\\u12"},      {"\\u{110000}", "\\u{110000}"}, {"\\u{}", "\\u{}"},
        {"end\\", "end\\"}, {"\\uD800x", "\uFFFDx"}, {"\\u{1F600", "\\u{1F600"},
    };
    for (const auto& [text, decoded] : cases) EXPECT_EQ(decodeJavaScriptString(text), decoded) << text;
}

TEST(OptionsFileToLines, XmlAndOldStyleFilesGiveTheSameLines) {
    test::ScopedDeviceRoot root;
    const std::vector<std::string> expected{
        "var color = \"r\u00e9d\" ;", "var on = 1;",           "var off = 0;",
        "var size = \"12\" ;",        "var ratio = \"0.1\" ;", "var big = \"1e+20\" ;",
        "var pick = \"24\" ;",        "var missing = false;"};
    using D = plist::Dictionary;
    const std::string xml = plist::writeXml(plist::Array{
        D{{"name", "color"}, {"type", "edit"}, {"default", "r\u00e9d"}},
        D{{"name", "on"}, {"type", "switch"}, {"default", true}},
        D{{"name", "off"}, {"type", "switch"}, {"default", false}}, D{{"name", "size"}, {"default", 12}},
        D{{"name", "ratio"}, {"default", 0.1}}, D{{"name", "big"}, {"default", 1e20}},
        D{{"name", "pick"}, {"type", "select"}, {"default", "Large"}, {"options", D{{"Large", 24}}}},
        D{{"name", "missing"}, {"type", "switch"}}});
    const std::string oldText =
        "( { name = color; type = edit; default = \"r\\U00e9d\"; },\n"
        "  { name = on; type = switch; default = 1; }, { name = off; type = switch; default = 0; },\n"
        "  { name = size; default = 12; }, { name = ratio; default = 0.1; },\n"
        "  { name = big; default = \"1e+20\"; }, /* a choice */ { name = pick; type = select;\n"
        "    default = Large; options = { Large = 24; }; }, { name = missing; type = switch; } )";
    for (const std::string& bytes : {xml, oldText}) {
        root.writeFile("/T/Options.plist", bytes);
        log::Capture quiet;
        std::optional<OptionsList> list = loadOptionsFile("/T");
        ASSERT_TRUE(list) << bytes;
        EXPECT_EQ(declarationLines(*list), expected) << bytes;
    }
}

TEST(StoreLines, ReplaceOnlyThatThemesLinesAndKeepOtherKeys) {
    test::ScopedDeviceRoot root;
    auto stored = [] { return readPlistDictionary(kPreferencesPath); };
    // A ThemeOptions value of the wrong type is replaced; the other keys stay.
    ASSERT_TRUE(storeDeclarationLines("/A", {"var a = 1;"}));  // makes the missing file
    EXPECT_EQ(
        stored(),
        (plist::Dictionary{{"ThemeOptions", plist::Dictionary{{"/A", plist::Array{"var a = 1;"}}}}}));
    ASSERT_TRUE(storeDeclarationLines("/B", {"var b = true;"}));
    ASSERT_TRUE(storeDeclarationLines("/A", {}));
    const plist::Dictionary both{{"/A", plist::Array{}}, {"/B", plist::Array{"var b = true;"}}};
    EXPECT_EQ(stored(), (plist::Dictionary{{"ThemeOptions", both}}));
    root.writeFile(kPreferencesPath,
                   plist::writeXml(plist::Dictionary{{"on", true}, {"ThemeOptions", "junk"}}));
    ASSERT_TRUE(storeDeclarationLines("/T", {"x"}));
    EXPECT_EQ(stored(),
              (plist::Dictionary{{"on", true},
                                 {"ThemeOptions", plist::Dictionary{{"/T", plist::Array{"x"}}}}}));
}

using nlohmann::json;

// Scripts whose double-quoted values hold no escaped quote; every value is a string, a
// number or a boolean, which the lines carry as the same text. The demo device's settings
// script is checked too.
const char* const kScripts[] = {
    R"(var degree = "\u00B0"; var lines = "Line1\nLine2"; var dir = "C:\\dir";)",
    R"(var controls = "\t\b\f\v\0 \x41 \u{1F600} \uD83D\uDE00 \r";)",
    "var joined = \"ab\\\ncd\"; var crlf = \"ab\\\r\ncd\";",
    R"(var octal = "\101\7\08\477\8"; var other = "\q\'\é\/";)",
    "var raw = \"gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x98\x80 </script> \xE2\x80\xA8 end\";",
    R"(var size = 12; var ratio = 0.5; var on = true; var off = "false";)",
};

json caseOf(const std::string& script, const OptionsList& entries) {
    json names = json::array();
    for (const OptionsEntry& entry : entries) names.push_back(entryText(entry, kEntryName));
    log::Capture quiet;
    return json{{"script", script}, {"lines", declarationLines(entries)}, {"names", names}};
}

TEST(ValuesReachTheTheme, AsTheSettingsScriptDeclaredThem) {
    test::TempDir scratch;
    if (test::runShell("command -v node", scratch.path()).status != 0)
        GTEST_SKIP() << "node is not installed";
    json cases = json::array();
    std::vector<std::string> scripts(std::begin(kScripts), std::end(kScripts));
    scripts.push_back(
        test::readHostFile(std::filesystem::path(VX_SOURCE_DIR) /
                           "examples/device/var/mobile/Library/Veltrix/Clock.veltrix/config.js"));
    for (const std::string& script : scripts)
        cases.push_back(caseOf(script, extractOptions(script).entries));
    test::writeHostFile(scratch.path() / "cases.json", cases.dump());
    const auto checker = std::filesystem::path(VX_SOURCE_DIR) / "tests/theme_editor/declared_values.js";
    test::ProgramRun node = test::runShell(
        "node " + test::shellQuoted(checker.string()) + " " +
            test::shellQuoted((scratch.path() / "cases.json").string()),
        scratch.path());
    ASSERT_EQ(node.status, 0) << node.err;
    json results = json::parse(node.out);
    ASSERT_EQ(results.size(), cases.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(cases[i]["script"].get<std::string>());
        ASSERT_FALSE(results[i].contains("error")) << results[i]["error"] << "\n"
                                                   << cases[i]["lines"].dump();
        EXPECT_EQ(results[i].size(), cases[i]["names"].size());
        for (const auto& [name, both] : results[i].items()) EXPECT_EQ(both[0], both[1]) << name;
    }
}

}  // namespace
}  // namespace vx
