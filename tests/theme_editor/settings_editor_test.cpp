// The theme settings editor: loading, the optimisation alert and its answers, the table and
// its controls, and storing the declaration lines.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/ui/navigation_controller.h"
#include "theme_editor/optimisation.h"

namespace vx {
namespace {

using test::kTheme;
using test::optionsEntry;
using test::selectOptionsEntry;

class SettingsEditorTest : public test::EditorFixture {
protected:
    const plist::Value* storedLines(std::string_view theme = kTheme) {
        stored_ = plist::dictionaryWithContentsOfFile(kPreferencesPath);
        return stored_ ? plist::lookup(*stored_->find("ThemeOptions"), theme) : nullptr;
    }
    std::optional<plist::Dictionary> stored_;
};

TEST_F(SettingsEditorTest, AnOptionsFileOpensStraightIntoTheEditorAndABadOneGivesNoRows) {
    writeScript("config.js", "var ignored = 1;");
    log::Capture capture;
    writeOptions({optionsEntry("color", "Colour", "edit", "red"), plist::Value("not an entry"),
                  plist::Value(plist::Dictionary{{"label", plist::Value(7)}, {"type", "switch"}})});
    auto editor = open();
    EXPECT_FALSE(frontAlert());
    EXPECT_TRUE(exists(themeFile("config.js")));
    EXPECT_TRUE(capture.contains("entry 1"));  // the element that is no dictionary is skipped
    EXPECT_EQ(editor->brandNewTableView()->numberOfRowsInSection(0), 3);  // and the reset row
    EXPECT_EQ(cell(*editor, 0)->textLabel()->text(), "Colour");
    // A label of the wrong type reads as absent: an empty title and a switch that is off.
    EXPECT_EQ(cell(*editor, 1)->textLabel()->text(), "");
    EXPECT_FALSE(switchOf(*cell(*editor, 1))->isOn());
    for (const char* bad : {"<plist><array/></plist>", "<plist><dict/></plist>"}) {
        root.writeFile(themeFile("Options.plist"), bad);
        EXPECT_EQ(open()->brandNewTableView()->numberOfRowsInSection(0), 0) << bad;
        EXPECT_FALSE(frontAlert()) << bad;
    }
}

TEST_F(SettingsEditorTest, WithoutAnOptionsFileTheEditorAsksAndNoClosesIt) {
    writeScript("config.js", "var a = 1;");
    auto host = UIViewController::init();
    auto editor = open();
    auto alert = frontAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(),
              "Would You like to optimize for Veltrix, will break winterboard support for this theme.");
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Yes", "No"}));
    host->presentViewController(UINavigationController::initWithRootViewController(editor), true);
    // An alert with another tag is not this editor's business.
    UIAlertView other;
    other.setTag(2);
    editor->clickedButtonAtIndex(other, 0);
    EXPECT_FALSE(exists(themeFile("Options.plist")));
    ASSERT_TRUE(alert->userPressButtonAtIndex(1));
    EXPECT_FALSE(host->presentedViewController());
    EXPECT_TRUE(exists(themeFile("config.js")));
    EXPECT_FALSE(exists(themeFile("Options.plist")) || exists(kPreferencesPath));
}

// (The files "Yes" leaves behind are checked by the road test.)
TEST_F(SettingsEditorTest, YesBuildsTheOptionsFileMovesTheScriptAndShowsTheEntries) {
    writeScript("config.js", "var color = \"red\";\nvar showClock = TRUE;\nvar size = 12;\nvar bare;\n");
    auto editor = open();
    log::Capture capture;
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_TRUE(capture.contains("CORVANELOG: Old Path = " + themeFile("config.js.bak")));
    EXPECT_TRUE(capture.contains("\"bare\""));
    EXPECT_EQ(editor->variableHolder(), (std::vector<std::string>{"color", "showClock", "size"}));
    EXPECT_TRUE(switchOf(*cell(*editor, 1))->isOn());
    EXPECT_EQ(fieldOf(*cell(*editor, 2))->text(), "12");
    // The next opening loads the file and asks nothing.
    UIApplication::sharedApplication().reset();
    EXPECT_EQ(open(std::nullopt)->masterDict()->size(), 3u);
    EXPECT_FALSE(frontAlert());

    // A script without declarations is moved all the same, beside an empty options file.
    const std::string empty = "/Library/Themes/Empty.theme";
    writeScript("config.js", "// nothing to set\n", empty);
    auto emptyEditor = open("config.js", empty);
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_TRUE(exists(themeFile("config.js.bak", empty)));
    EXPECT_EQ(plist::arrayWithContentsOfFile(themeFile("Options.plist", empty)), plist::Array{});
    EXPECT_TRUE(emptyEditor->masterDict() && emptyEditor->masterDict()->empty());
}

TEST_F(SettingsEditorTest, OptimisationWritesOptionsFirstAndNeverLeavesAThemeWithNeither) {
    // The move fails (a folder stands at the backup name): both files stay, and the editor
    // opens from the options file from then on.
    writeScript("config.js", "var color = \"red\";");
    root.makeFolder(themeFile("config.js.bak"));
    auto editor = open();
    log::Capture capture;
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_TRUE(exists(themeFile("config.js")));
    EXPECT_EQ(plist::arrayWithContentsOfFile(themeFile("Options.plist")),
              (plist::Array{optionsEntry("color", "color", "edit", "red")}));
    EXPECT_TRUE(capture.contains("could not be moved aside"));
    UIApplication::sharedApplication().reset();
    EXPECT_EQ(open()->masterDict()->size(), 1u);
    EXPECT_FALSE(frontAlert());

    // The write fails, by our own hand and the mover's (a folder stands at Options.plist):
    // the script stays under its own name (the backup name is free now, so a move would
    // succeed) and nothing is left in the staging folder.
    std::filesystem::remove(root.host(themeFile("config.js.bak")));
    std::filesystem::remove(root.host(themeFile("Options.plist")));
    root.makeFolder(themeFile("Options.plist"));
    root.makeFolder(std::string(kStagingFolder));
    auto extracted = optimiseTheme(kTheme, std::string("config.js"));
    ASSERT_TRUE(extracted);
    EXPECT_EQ(extracted->entries.size(), 1u);
    EXPECT_TRUE(exists(themeFile("config.js")));
    EXPECT_FALSE(exists(themeFile("config.js.bak")));
    EXPECT_TRUE(capture.contains("the settings script stays where it is"));
    EXPECT_TRUE(files::contentsOfDirectoryAtPath(kStagingFolder).empty());
}

TEST_F(SettingsEditorTest, AScriptThatCannotBeReadStopsOptimisationBeforeAnythingChanges) {
    const std::vector<std::pair<std::optional<std::string>, std::string>> cases{
        {std::nullopt, "no settings script"}, {"", "no settings script"}, {"missing.js", "missing.js"},
        {"folder.js", "folder.js"},           {"broken.js", "broken.js"},
    };
    root.makeFolder(themeFile("folder.js"));
    // A UTF-16 byte-order mark followed by a lone surrogate decodes in no encoding.
    writeScript("broken.js", std::string("\xFF\xFE\x00\xD8", 4));
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(reason);
        UIApplication::sharedApplication().reset();
        auto editor = open(name);
        log::Capture capture;
        ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
        EXPECT_TRUE(capture.contains("Theme optimisation stopped"));
        EXPECT_TRUE(capture.contains(reason));
        EXPECT_FALSE(capture.contains("CORVANELOG"));
        EXPECT_FALSE(exists(themeFile("Options.plist")));
        EXPECT_TRUE(editor->masterDict() && editor->masterDict()->empty());
    }
    EXPECT_TRUE(exists(themeFile("broken.js")));
    EXPECT_FALSE(exists(themeFile("broken.js.bak")));

    // A script that does decode is read through the platform's text decoding (UTF-16 here).
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("var gr\xF6\xDF"
                              "e = 1;"))
        utf16 += {c, '\0'};
    writeScript("config.js", utf16);
    EXPECT_EQ(readSettingsScript(kTheme, std::string("config.js")).value(), "var größe = 1;");
}

TEST_F(SettingsEditorTest, RowsCarryTheControlTheirTypeAsksFor) {
    writeOptions({optionsEntry("color", "Colour", "edit", "red"),
                  optionsEntry("clock", "Clock", "switch", "YES"),
                  selectOptionsEntry("Large", {{"Small", "12px"}, {"Large", "24px"}}),
                  optionsEntry("x", "Other", "slider", "3")});
    auto editor = open();
    auto edit = cell(*editor, 0);
    auto field = fieldOf(*edit);
    ASSERT_TRUE(field);
    EXPECT_EQ(field->frame(), (CGRect{{10, 10}, {UIScreen::mainScreen().bounds().size.width - 40, 25}}));
    EXPECT_EQ(field->text(), "red");
    EXPECT_EQ(field->delegate(), editor);
    EXPECT_EQ(edit->selectionStyle(), UITableViewCellSelectionStyle::None);
    auto toggle = switchOf(*cell(*editor, 1));
    ASSERT_TRUE(toggle && toggle->isOn());
    EXPECT_EQ(toggle->actionsForTarget(editor.get(), UIControlEvents::ValueChanged),
              (std::vector<std::string>{"saveSwitchFlip:"}));
    auto select = cell(*editor, 2);
    EXPECT_EQ(select->accessoryType(), UITableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(select->detailTextLabel()->text(), "Large");
    EXPECT_FALSE(fieldOf(*select) || select->accessoryView());
    auto other = cell(*editor, 3);
    EXPECT_TRUE(other->contentView()->subviews().empty() && !other->accessoryView());
    // Tapping a row that is no "select" row opens nothing.
    editor->brandNewTableView()->userTapRow({0, 3});
    editor->brandNewTableView()->userTapRow({0, 0});
    EXPECT_FALSE(editor->presentedViewController());
}

TEST_F(SettingsEditorTest, AReusedCellNeverKeepsThePreviousRowsControl) {
    writeOptions({optionsEntry("a", "A", "edit", "1"), optionsEntry("b", "B", "switch", "true"),
                  selectOptionsEntry("Small", {{"Small", "1"}})});
    auto editor = open();
    editor->brandNewTableView()->reloadData();
    editor->setMasterDict(OptionsList{editor->masterDict()->at(2), editor->masterDict()->at(0),
                                      editor->masterDict()->at(1)});
    auto first = cell(*editor, 0);
    EXPECT_FALSE(fieldOf(*first) || first->accessoryView());
    auto second = cell(*editor, 1);
    EXPECT_EQ(second->contentView()->subviews().size(), 1u);
    EXPECT_FALSE(second->accessoryView());
    EXPECT_EQ(second->accessoryType(), UITableViewCellAccessoryType::None);
    EXPECT_EQ(second->detailTextLabel()->text(), "");
    auto third = cell(*editor, 2);
    EXPECT_TRUE(switchOf(*third));
    EXPECT_TRUE(third->contentView()->subviews().empty());
}

TEST_F(SettingsEditorTest, EditsChangeTheEntriesInMemoryOnly) {
    writeOptions({optionsEntry("color", "Colour", "edit", "red"),
                  optionsEntry("clock", "Clock", "switch", "TRUE"),
                  optionsEntry("dim", "Dim", "switch", "")});
    auto editor = open();
    auto field = fieldOf(*cell(*editor, 0));
    ASSERT_TRUE(field->userReplaceText("b") && field->userInsertText("l"));
    EXPECT_EQ(editor->textFieldShouldReturn(*field), false);
    switchOf(*cell(*editor, 1))->userToggle();
    switchOf(*cell(*editor, 2))->userToggle();
    for (auto [row, value] : {std::pair{0, "bl"}, {1, "false"}, {2, "true"}})
        EXPECT_EQ(defaultAt(*editor, row), value) << row;
    // The options file is never written by the editor.
    EXPECT_EQ(plist::arrayWithContentsOfFile(themeFile("Options.plist"))->at(0),
              optionsEntry("color", "Colour", "edit", "red"));
    // A control whose tag names no entry changes nothing.
    UISwitch stray;
    stray.setTag(9);
    editor->saveSwitchFlip(stray);
    EXPECT_EQ(editor->masterDict()->size(), 3u);
    // An editor whose list never loaded stores an empty list on "Done".
    auto empty = open(std::nullopt, "/Library/Themes/Empty");
    empty->writeAllThatData();
    EXPECT_EQ(*storedLines("/Library/Themes/Empty"), plist::Value(plist::Array{}));
}

TEST_F(SettingsEditorTest, ReopeningShowsWhatTheUserChoseAndResetBringsBackTheThemeDefaults) {
    const plist::Value color = optionsEntry("color", "Colour", "edit", "red");
    const plist::Value clock = optionsEntry("clock", "Clock", "switch", "TRUE");
    const plist::Value size = selectOptionsEntry("Large", {{"Small", "12px"}, {"Large", "24px"}});
    const plist::Value dup = optionsEntry("dup", "Dup", "edit", "d");
    writeOptions({color, clock, size, dup, dup, optionsEntry("gone", "Gone", "edit", "g")});
    auto first = open();
    const std::string typed = "say \"hi\"\n\\u00B0";
    ASSERT_TRUE(fieldOf(*cell(*first, 0))->userReplaceText(typed));
    switchOf(*cell(*first, 1))->userToggle();
    ASSERT_TRUE(first->brandNewTableView()->userTapRow({0, 2}));
    ASSERT_TRUE(first->controller()->optionsTableView()->userTapRow({0, 0}));
    first->doneButtonTapped(*first->controller()->navigationItem()->rightBarButtonItem());
    ASSERT_TRUE(fieldOf(*cell(*first, 4))->userReplaceText("second"));
    ASSERT_FALSE(exists(kPreferencesPath));
    first->writeAllThatData();  // makes the missing preferences file

    // The file lost "gone" and gained "note" since.
    writeOptions({color, clock, size, dup, dup, dup, optionsEntry("note", "Note", "edit", "n")});
    clearPlistCache();
    auto again = open();
    // A third "dup" has no stored line of its own: it shows the file's default.
    const std::vector<std::string> shown{typed, "false", "Small", "d", "second", "d", "n"};
    for (std::size_t row = 0; row < shown.size(); ++row)
        EXPECT_EQ(defaultAt(*again, row), shown[row]) << row;
    EXPECT_FALSE(switchOf(*cell(*again, 1))->isOn());
    EXPECT_EQ(cell(*again, 2)->detailTextLabel()->text(), "Small");
    EXPECT_EQ(cell(*again, 7)->textLabel()->text(), "Reset to Theme Defaults");

    ASSERT_TRUE(again->brandNewTableView()->userTapRow({0, 7}));
    const std::vector<std::string> defaults{"red", "TRUE", "Large", "d", "d", "d", "n"};
    for (std::size_t row = 0; row < defaults.size(); ++row)
        EXPECT_EQ(defaultAt(*again, row), defaults[row]) << row;
    EXPECT_TRUE(switchOf(*cell(*again, 1))->isOn());
    again->writeAllThatData();
    EXPECT_EQ(*storedLines(),
              plist::Value(plist::Array{
                  "var color = \"red\" ;", "var clock = TRUE;", "var size = \"24px\" ;",
                  "var dup = \"d\" ;", "var dup = \"d\" ;", "var dup = \"d\" ;", "var note = \"n\" ;"}));
}

TEST_F(SettingsEditorTest, TheHiddenGlobalSwitchesStoreAtOnce) {
    writeOptions({});
    auto editor = open();
    auto& table = *editor->brandNewTableView();
    EXPECT_EQ(editor->numberOfRowsInSection(table, 1), 2);
    auto globalSwitch = [&](int row) {
        return switchOf(*editor->cellForRowAtIndexPath(table, {1, row}));
    };
    EXPECT_EQ(editor->cellForRowAtIndexPath(table, {1, 0})->textLabel()->text(), "Widget is Background");
    EXPECT_EQ(editor->cellForRowAtIndexPath(table, {1, 1})->textLabel()->text(),
              "Disable User Interaction");
    globalSwitch(1)->userToggle();  // the preferences file does not exist yet: it is created
    EXPECT_EQ(readPlistDictionary(kPreferencesPath), (plist::Dictionary{{"touchDisabled", true}}));
    globalSwitch(0)->userToggle();
    clearPlistCache();
    EXPECT_TRUE(globalSwitch(0)->isOn());
    EXPECT_EQ(*readPlistDictionary(kPreferencesPath)->find("isBackground"), plist::Value(true));
}

}  // namespace
}  // namespace vx
