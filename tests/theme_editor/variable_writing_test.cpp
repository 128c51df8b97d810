// Declaration lines, their escaping, reading them back, and where they are stored; an
// options file in either text format gives the same lines (other encodings are the
// property list reader's business).
#include <gtest/gtest.h>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "support/temp_dir.h"
#include "theme_editor/javascript_string.h"
#include "theme_editor/variable_writing.h"

namespace vx {
namespace {

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
        EXPECT_EQ(read->name, "v");
        EXPECT_EQ(read->value, c.value);
    }
    OptionsEntry closing = selectEntry("Bad");
    closing.set("options", plist::Dictionary{{"Bad", plist::Value("</script>")}});
    EXPECT_EQ(declarationLine(closing), "var size = \"<\\/script>\" ;");
    // The switch form is written unquoted, as it stands, and read back so.
    EXPECT_EQ(declarationLine(entry("s", "switch", "a\"b")), "var s = a\"b;");
    EXPECT_EQ(readDeclarationLine("var on = TRUE;")->value, "TRUE");
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
    const std::string xml =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
        "<dict><key>name</key><string>color</string><key>type</key><string>edit</string>"
        "<key>default</key><string>r\u00e9d</string></dict>"
        "<dict><key>name</key><string>on</string><key>type</key><string>switch</string><key>default</"
        "key><true/></dict>"
        "<dict><key>name</key><string>off</string><key>type</key><string>switch</string><key>default</"
        "key><false/></dict>"
        "<dict><key>name</key><string>size</string><key>default</key><integer>12</integer></dict>"
        "<dict><key>name</key><string>ratio</string><key>default</key><real>0.1</real></dict>"
        "<dict><key>name</key><string>big</string><key>default</key><real>1e20</real></dict>"
        "<dict><key>name</key><string>pick</string><key>type</key><string>select</string>"
        "<key>default</key><string>Large</string><key>options</key><dict><key>Large</key><integer>24</"
        "integer></dict></dict>"
        "<dict><key>name</key><string>missing</string><key>type</key><string>switch</string></dict>"
        "</array></plist>";
    const std::string oldText =
        "( { name = color; type = edit; default = \"r\\U00e9d\"; }, { name = on; type = switch; default "
        "= 1; },\n"
        "  { name = off; type = switch; default = 0; }, { name = size; default = 12; }, { name = ratio; "
        "default = 0.1; },\n"
        "  { name = big; default = \"1e+20\"; }, /* a choice */ { name = pick; type = select; default = "
        "Large;\n"
        "    options = { Large = 24; }; }, { name = missing; type = switch; } )";
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

}  // namespace
}  // namespace vx
