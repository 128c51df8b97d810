#include <gtest/gtest.h>

#include "app/script.h"

namespace vx {
namespace {

TEST(ScriptLine, QuotesGroupWordsEscapesWorkInsideThemAndAHashStartsAComment) {
    using Words = std::vector<std::string>;
    const std::pair<const char*, Words> cases[] = {
        {"type Name \"hello world\"", {"type", "Name", "hello world"}},
        {"type \"Lock Note\" \"say \\\"hi\\\" \\\\ now\"", {"type", "Lock Note", "say \"hi\" \\ now"}},
        {"type Name \"\"", {"type", "Name", ""}},
        {"tap Lock\" \"Note", {"tap", "Lock Note"}},
        {"type Path C:\\dir", {"type", "Path", "C:\\dir"}},  // outside quotes, an ordinary character
        {"# a comment", {}},
        {"   #comment", {}},
        {"tap Themes # open the list", {"tap", "Themes"}},
        {"tap #3", {"tap", "#3"}},
        {"move #0.1 #0.3", {"move", "#0.1", "#0.3"}},
        {"type Tag \"#tag\"", {"type", "Tag", "#tag"}},
        {"type Tag C#", {"type", "Tag", "C#"}},
        {"\ttap\tA\r", {"tap", "A"}},
    };
    for (const auto& [line, expected] : cases) {
        auto split = splitScriptLine(line);
        ASSERT_TRUE(split.ok()) << line << ": " << split.error();
        EXPECT_EQ(*split, expected) << line;
    }
    EXPECT_FALSE(splitScriptLine("type Name \"open").ok());
}

// Anything but "#N" and "#S.R" is a label, found against the screen's own labels.
TEST(RowRefParse, OnlyWholeIndicesAreIndices) {
    for (const char* label :
         {"#", "#x", "#1.", "#.2", "#1.2.3", "#-1", "#99999999999", "General/On/Off"})
        EXPECT_EQ(RowRef::parse(label).kind, RowRef::Kind::Label) << label;
}

TEST(ScriptParse, EveryGestureWithItsArguments) {
    auto script = parseScript(
        "# setup\n"
        "tap Themes\n"
        "switch \"Lock Note/Enabled\" on\n"
        "switch #2 off\n"
        "slide Opacity -0.25\n"
        "type #0.1 \"12.5 px\"\n"
        "clear Name\n"
        "return\n"
        "alert Reset\n"
        "button Done\n"
        "back\n"
        "move #0 #2\n"
        "keyboard show\n"
        "keyboard show 300\n"
        "keyboard hide\n"
        "wait 0.1\n"
        "\n"
        "show\n");
    ASSERT_TRUE(script.ok()) << script.error();
    using K = GestureKind;
    // Kind, line, row text, text, number, on.
    const std::tuple<K, int, std::string, std::string, double, bool> expected[] = {
        {K::Tap, 2, "Themes", "", 0, false},       {K::Switch, 3, "Lock Note/Enabled", "", 0, true},
        {K::Switch, 4, "#2", "", 0, false},        {K::Slide, 5, "Opacity", "", -0.25, false},
        {K::Type, 6, "#0.1", "12.5 px", 0, false}, {K::Clear, 7, "Name", "", 0, false},
        {K::Return, 8, "", "", 0, false},          {K::Alert, 9, "", "Reset", 0, false},
        {K::Button, 10, "", "Done", 0, false},     {K::Back, 11, "", "", 0, false},
        {K::Move, 12, "#0", "", 0, false},         {K::KeyboardShow, 13, "", "", 0, false},
        {K::KeyboardShow, 14, "", "", 300, false}, {K::KeyboardHide, 15, "", "", 0, false},
        {K::Wait, 16, "", "", 0.1, false},         {K::Show, 18, "", "", 0, false},
    };
    ASSERT_EQ(script->steps.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& step = script->steps[i];
        SCOPED_TRACE(step.source);
        EXPECT_EQ(std::tie(step.kind, step.line, step.row.text, step.text, step.number, step.on),
                  expected[i]);
    }
    EXPECT_EQ(script->steps[0].source, "tap Themes");
    EXPECT_EQ(script->steps[10].destination.row, 2);
}

TEST(ScriptParse, ErrorsNameTheLineAndItsText) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"tap A\n  jump B  \n", "line 2: jump B: unknown gesture \"jump\""},
        {"tap\n", "line 1: tap: usage: tap ROW"},
        {"tap A B\n", "line 1: tap A B: usage: tap ROW"},
        {"\n\nswitch A maybe",
         "line 3: switch A maybe: a switch is set \"on\" or \"off\", not \"maybe\""},
        {"type Name \"hello", "line 1: type Name \"hello: unterminated quote"},
        {"slide Opacity", "line 1: slide Opacity: usage: slide ROW VALUE"},
        {"slide Opacity half",
         "line 1: slide Opacity half: a slider value must be a number, not \"half\""},
        {"wait soon", "line 1: wait soon: the time to wait must be a number, not \"soon\""},
        {"wait -1", "line 1: wait -1: time cannot go backwards"},
        {"wait nan", "line 1: wait nan: the time to wait must be a number, not \"nan\""},
        {"keyboard show 0", "line 1: keyboard show 0: the keyboard height must be greater than 0"},
        {"keyboard up", "line 1: keyboard up: usage: keyboard show [HEIGHT] | keyboard hide"},
        {"keyboard hide now",
         "line 1: keyboard hide now: usage: keyboard show [HEIGHT] | keyboard hide"},
        {"back # fine\nback again", "line 2: back again: usage: back"},
    };
    for (const auto& c : cases) {
        auto script = parseScript(c.script);
        ASSERT_FALSE(script.ok()) << c.script;
        EXPECT_EQ(script.error(), c.message);
    }
}

TEST(ScriptParse, EmptyAndCommentOnlyScriptsHaveNoSteps) {
    for (const char* text : {"", "\n", "# nothing\n   # at all", "\r\n\r\n"})
        EXPECT_TRUE(parseScript(text).ok() && parseScript(text)->steps.empty()) << text;
}

}  // namespace
}  // namespace vx
