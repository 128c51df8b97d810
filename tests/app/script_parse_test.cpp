#include <gtest/gtest.h>

#include "app/script.h"

namespace vx {
namespace {

std::vector<std::string> words(std::string_view line) {
    auto split = splitScriptLine(line);
    EXPECT_TRUE(split.ok()) << split.error();
    return split.ok() ? split.value() : std::vector<std::string>{};
}

TEST(ScriptLine, QuotesGroupWordsAndEscapesWorkInsideThem) {
    EXPECT_EQ(words("type Name \"hello world\""),
              (std::vector<std::string>{"type", "Name", "hello world"}));
    EXPECT_EQ(words("type \"Lock Note\" \"say \\\"hi\\\" \\\\ now\""),
              (std::vector<std::string>{"type", "Lock Note", "say \"hi\" \\ now"}));
    EXPECT_EQ(words("type Name \"\""), (std::vector<std::string>{"type", "Name", ""}));
    EXPECT_EQ(words("tap Lock\" \"Note"), (std::vector<std::string>{"tap", "Lock Note"}));
    // Outside quotes a backslash is an ordinary character.
    EXPECT_EQ(words("type Path C:\\dir"), (std::vector<std::string>{"type", "Path", "C:\\dir"}));
    EXPECT_FALSE(splitScriptLine("type Name \"open").ok());
}

TEST(ScriptLine, HashStartsACommentUnlessARowIndexFollows) {
    EXPECT_TRUE(words("# a comment").empty());
    EXPECT_TRUE(words("   #comment").empty());
    EXPECT_EQ(words("tap Themes # open the list"), (std::vector<std::string>{"tap", "Themes"}));
    EXPECT_EQ(words("tap #3"), (std::vector<std::string>{"tap", "#3"}));
    EXPECT_EQ(words("move #0.1 #0.3"), (std::vector<std::string>{"move", "#0.1", "#0.3"}));
    EXPECT_EQ(words("type Tag \"#tag\""), (std::vector<std::string>{"type", "Tag", "#tag"}));
    EXPECT_EQ(words("type Tag C#"), (std::vector<std::string>{"type", "Tag", "C#"}));
    EXPECT_EQ(words("\ttap\tA\r"), (std::vector<std::string>{"tap", "A"}));
}

TEST(RowRefParse, LabelsSectionLabelsAndIndices) {
    RowRef label = RowRef::parse("Themes");
    EXPECT_EQ(label.kind, RowRef::Kind::Label);
    EXPECT_EQ(label.text, "Themes");

    RowRef sectioned = RowRef::parse("General/On/Off");
    EXPECT_EQ(sectioned.kind, RowRef::Kind::Label);  // split against the screen's titles
    EXPECT_EQ(sectioned.text, "General/On/Off");

    RowRef flat = RowRef::parse("#12");
    EXPECT_EQ(flat.kind, RowRef::Kind::Index);
    EXPECT_EQ(flat.row, 12);

    RowRef pair = RowRef::parse("#1.2");
    EXPECT_EQ(pair.kind, RowRef::Kind::SectionIndex);
    EXPECT_EQ(pair.section, 1);
    EXPECT_EQ(pair.row, 2);

    for (const char* notIndex : {"#", "#x", "#1.", "#.2", "#1.2.3", "#-1", "#99999999999"}) {
        EXPECT_EQ(RowRef::parse(notIndex).kind, RowRef::Kind::Label) << notIndex;
    }
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
    auto steps = script->steps;
    ASSERT_EQ(steps.size(), 16u);
    EXPECT_EQ(steps[3].kind, GestureKind::Slide);
    EXPECT_EQ(steps[3].row.text, "Opacity");
    EXPECT_EQ(steps[3].number, -0.25);
    steps.erase(steps.begin() + 3);
    EXPECT_EQ(steps[0].kind, GestureKind::Tap);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[0].source, "tap Themes");
    EXPECT_EQ(steps[1].kind, GestureKind::Switch);
    EXPECT_EQ(steps[1].row.text, "Lock Note/Enabled");
    EXPECT_TRUE(steps[1].on);
    EXPECT_FALSE(steps[2].on);
    EXPECT_EQ(steps[2].row.kind, RowRef::Kind::Index);
    EXPECT_EQ(steps[3].kind, GestureKind::Type);
    EXPECT_EQ(steps[3].text, "12.5 px");
    EXPECT_EQ(steps[3].row.kind, RowRef::Kind::SectionIndex);
    EXPECT_EQ(steps[4].kind, GestureKind::Clear);
    EXPECT_EQ(steps[5].kind, GestureKind::Return);
    EXPECT_EQ(steps[6].kind, GestureKind::Alert);
    EXPECT_EQ(steps[6].text, "Reset");
    EXPECT_EQ(steps[7].kind, GestureKind::Button);
    EXPECT_EQ(steps[7].text, "Done");
    EXPECT_EQ(steps[8].kind, GestureKind::Back);
    EXPECT_EQ(steps[9].kind, GestureKind::Move);
    EXPECT_EQ(steps[9].row.row, 0);
    EXPECT_EQ(steps[9].destination.row, 2);
    EXPECT_EQ(steps[10].kind, GestureKind::KeyboardShow);
    EXPECT_EQ(steps[10].number, 0);
    EXPECT_EQ(steps[11].number, 300);
    EXPECT_EQ(steps[12].kind, GestureKind::KeyboardHide);
    EXPECT_EQ(steps[13].kind, GestureKind::Wait);
    EXPECT_DOUBLE_EQ(steps[13].number, 0.1);
    EXPECT_EQ(steps[14].kind, GestureKind::Show);
    EXPECT_EQ(steps[14].line, 18);
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
        {"type Name hello world", "line 1: type Name hello world: usage: type ROW TEXT"},
        {"type Name \"hello", "line 1: type Name \"hello: unterminated quote"},
        {"slide Opacity", "line 1: slide Opacity: usage: slide ROW VALUE"},
        {"slide Opacity half",
         "line 1: slide Opacity half: a slider value must be a number, not \"half\""},
        {"slide Opacity inf", "line 1: slide Opacity inf: a slider value must be a number, not \"inf\""},
        {"wait soon", "line 1: wait soon: the time to wait must be a number, not \"soon\""},
        {"wait -1", "line 1: wait -1: time cannot go backwards"},
        {"wait nan", "line 1: wait nan: the time to wait must be a number, not \"nan\""},
        {"keyboard show 0", "line 1: keyboard show 0: the keyboard height must be greater than 0"},
        {"keyboard up", "line 1: keyboard up: usage: keyboard show [HEIGHT] | keyboard hide"},
        {"keyboard hide now",
         "line 1: keyboard hide now: usage: keyboard show [HEIGHT] | keyboard hide"},
        {"move #1", "line 1: move #1: usage: move FROM TO"},
        {"back # fine\nback again", "line 2: back again: usage: back"},
    };
    for (const auto& c : cases) {
        auto script = parseScript(c.script);
        ASSERT_FALSE(script.ok()) << c.script;
        EXPECT_EQ(script.error(), c.message);
    }
}

TEST(ScriptParse, EmptyAndCommentOnlyScriptsHaveNoSteps) {
    for (const char* text : {"", "\n", "# nothing\n   # at all", "\r\n\r\n"}) {
        auto script = parseScript(text);
        ASSERT_TRUE(script.ok()) << script.error();
        EXPECT_TRUE(script->steps.empty());
    }
}

}  // namespace
}  // namespace vx
