// The theme settings editor: loading, the optimisation alert and its answers, the table and
// its controls, the option picker, and storing the declaration lines.
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

class SettingsEditorTest : public test::EditorFixture {};

TEST_F(SettingsEditorTest, AnOptionsFileOpensStraightIntoTheEditor) {
    writeScript("config.js", "var ignored = 1;");
    log::Capture capture;
    writeOptions({optionsEntry("color", "Colour", "edit", "red"), plist::Value("not an entry"),
                  plist::Value(plist::Dictionary{{"label", plist::Value(7)}, {"type", "switch"}})});
    auto editor = open();
    EXPECT_FALSE(frontAlert());
    EXPECT_EQ(editor->title(), "Theme Settings");
    EXPECT_EQ(editor->navigationTitle(), "Theme Settings");
    EXPECT_EQ(editor->filePath(), kTheme);
    EXPECT_EQ(editor->fileName(), "config.js");
    EXPECT_TRUE(editor->variableHolder().empty());
    // The element that is no dictionary is skipped, with a log line.
    ASSERT_TRUE(editor->masterDict());
    EXPECT_EQ(editor->masterDict()->size(), 2u);
    EXPECT_TRUE(capture.contains("entry 1"));

    auto table = editor->brandNewTableView();
    ASSERT_TRUE(table);
    EXPECT_EQ(editor->view(), table);
    EXPECT_EQ(table->style(), UITableViewStyle::Grouped);
    EXPECT_EQ(table->frame(), (CGRect{{0, 0}, {320, 416}}));
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);  // and the reset row
    EXPECT_EQ(cell(*editor, 0)->textLabel()->text(), "Colour");
    // A label of the wrong type reads as absent: an empty title and a switch that is off.
    EXPECT_EQ(cell(*editor, 1)->textLabel()->text(), "");
    EXPECT_FALSE(switchOf(*cell(*editor, 1))->isOn());
    // Nothing was moved or written.
    EXPECT_TRUE(exists(themeFile("config.js")));
}

TEST_F(SettingsEditorTest, UnreadableOrEmptyOptionsFilesGiveNoRows) {
    writeOptions({});
    EXPECT_EQ(open()->brandNewTableView()->numberOfRowsInSection(0), 0);
    root.writeFile(themeFile("Options.plist"), "<plist><dict/></plist>");
    auto notAnArray = open();
    EXPECT_FALSE(notAnArray->masterDict());
    EXPECT_EQ(notAnArray->brandNewTableView()->numberOfRowsInSection(0), 0);
    EXPECT_FALSE(frontAlert());
}

TEST_F(SettingsEditorTest, WithoutAnOptionsFileTheEditorAsksAndNoClosesIt) {
    writeScript("config.js", "var a = 1;");
    auto host = UIViewController::init();
    auto editor = open();
    auto alert = frontAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Optimize for Veltrix");
    EXPECT_EQ(alert->message(),
              "Would You like to optimize for Veltrix, will break winterboard support for this theme.");
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(alert->tag(), 1);
    EXPECT_EQ(alert->cancelButtonIndex(), -1);
    EXPECT_FALSE(editor->masterDict());
    EXPECT_EQ(editor->brandNewTableView()->numberOfRowsInSection(0), 0);

    host->presentViewController(UINavigationController::initWithRootViewController(editor), true);
    // An alert with another tag is not this editor's business.
    UIAlertView other;
    other.setTag(2);
    editor->clickedButtonAtIndex(other, 0);
    EXPECT_FALSE(exists(themeFile("Options.plist")));

    ASSERT_TRUE(alert->userPressButtonAtIndex(1));
    EXPECT_FALSE(host->presentedViewController());
    EXPECT_TRUE(exists(themeFile("config.js")));
    EXPECT_FALSE(exists(themeFile("config.js.bak")));
    EXPECT_FALSE(exists(themeFile("Options.plist")));
    EXPECT_FALSE(exists(kPreferencesPath));
}

TEST_F(SettingsEditorTest, YesBuildsTheOptionsFileMovesTheScriptAndShowsTheEntries) {
    writeScript("config.js", "var color = \"red\";\nvar showClock = TRUE;\nvar size = 12;\nvar bare;\n");
    auto editor = open();
    log::Capture capture;
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));

    EXPECT_FALSE(exists(themeFile("config.js")));
    EXPECT_EQ(root.readFile(themeFile("config.js.bak")),
              "var color = \"red\";\nvar showClock = TRUE;\nvar size = 12;\nvar bare;\n");
    auto written = plist::arrayWithContentsOfFile(themeFile("Options.plist"));
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, (plist::Array{optionsEntry("color", "color", "edit", "red"),
                                      optionsEntry("showClock", "showClock", "switch", "TRUE"),
                                      optionsEntry("size", "size", "edit", "12")}));
    const std::vector<std::string> lines = capture.lines();
    std::vector<std::string> paths;
    for (const std::string& line : lines)
        if (line.find("CORVANELOG: Old Path = ") != std::string::npos) paths.push_back(line);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_NE(paths[0].find(std::string(kTheme) + "/config.js"), std::string::npos);
    EXPECT_NE(paths[1].find(std::string(kTheme) + "/config.js.bak"), std::string::npos);
    EXPECT_TRUE(capture.contains("\"bare\""));

    EXPECT_EQ(editor->variableHolder(), (std::vector<std::string>{"color", "showClock", "size"}));
    EXPECT_EQ(editor->brandNewTableView()->numberOfRowsInSection(0), 4);  // and the reset row
    EXPECT_TRUE(switchOf(*cell(*editor, 1))->isOn());
    EXPECT_EQ(fieldOf(*cell(*editor, 2))->text(), "12");
    // The next opening loads the file and asks nothing.
    UIApplication::sharedApplication().reset();
    auto again = open(std::nullopt);
    EXPECT_FALSE(frontAlert());
    EXPECT_EQ(again->masterDict()->size(), 3u);
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
    // the script stays under its own name and nothing is left in the staging folder.
    std::filesystem::remove(root.host(themeFile("Options.plist")));
    root.makeFolder(themeFile("Options.plist"));
    root.makeFolder(std::string(kStagingFolder));
    auto extracted = optimiseTheme(kTheme, std::string("config.js"));
    ASSERT_TRUE(extracted);
    EXPECT_EQ(extracted->entries.size(), 1u);
    EXPECT_TRUE(exists(themeFile("config.js")));
    EXPECT_TRUE(capture.contains("the settings script stays where it is"));
    EXPECT_TRUE(files::contentsOfDirectoryAtPath(kStagingFolder).empty());
}

TEST_F(SettingsEditorTest, AScriptWithoutDeclarationsStillGetsMovedAndAnEmptyOptionsFile) {
    writeScript("config.js", "// nothing to set\n");
    auto editor = open();
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_TRUE(exists(themeFile("config.js.bak")));
    EXPECT_EQ(plist::arrayWithContentsOfFile(themeFile("Options.plist")), plist::Array{});
    ASSERT_TRUE(editor->masterDict());
    EXPECT_TRUE(editor->masterDict()->empty());
}

TEST_F(SettingsEditorTest, AScriptThatCannotBeReadStopsOptimisationBeforeAnythingChanges) {
    const std::vector<std::pair<std::optional<std::string>, std::string>> cases{
        {std::nullopt, "no settings script"},
        {"missing.js", "missing.js"},
        {"folder.js", "folder.js"},
        {"broken.js", "broken.js"},
    };
    root.makeFolder(themeFile("folder.js"));
    // A UTF-16 byte-order mark followed by a lone surrogate decodes in no encoding.
    writeScript("broken.js", std::string("\xFF\xFE\x00\xD8", 4));
    for (const auto& [name, reason] : cases) {
        UIApplication::sharedApplication().reset();
        auto editor = open(name);
        log::Capture capture;
        ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0)) << reason;
        EXPECT_TRUE(capture.contains("Theme optimisation stopped")) << reason;
        EXPECT_TRUE(capture.contains(reason)) << reason;
        EXPECT_FALSE(capture.contains("CORVANELOG")) << reason;
        EXPECT_FALSE(exists(themeFile("Options.plist"))) << reason;
        EXPECT_EQ(editor->brandNewTableView()->numberOfRowsInSection(0), 0) << reason;
        EXPECT_TRUE(editor->masterDict() && editor->masterDict()->empty()) << reason;
    }
    EXPECT_TRUE(std::filesystem::is_directory(root.host(themeFile("folder.js"))));
    EXPECT_TRUE(exists(themeFile("broken.js")));
    EXPECT_FALSE(exists(themeFile("broken.js.bak")));
}

TEST_F(SettingsEditorTest, ScriptsAreDecodedByThePlatformsTextDecoding) {
    // UTF-16 little endian with a byte-order mark.
    const std::string utf8 = "var größe = \"groß\";";
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("var gr\xF6\xDF"
                              "e = \"gro\xDF\";")) {
        utf16 += c;
        utf16 += '\0';
    }
    writeScript("config.js", utf16);
    auto script = readSettingsScript(kTheme, std::string("config.js"));
    ASSERT_TRUE(script);
    EXPECT_EQ(script.value(), utf8);
    ExtractedOptions extracted = extractOptions(script.value());
    EXPECT_EQ(extracted.names, (std::vector<std::string>{"größe"}));
}

TEST_F(SettingsEditorTest, RowsCarryTheControlTheirTypeAsksFor) {
    writeOptions({optionsEntry("color", "Colour", "edit", "red"),
                  optionsEntry("clock", "Clock", "switch", "YES"),
                  selectOptionsEntry("Large", {{"Small", "12px"}, {"Large", "24px"}}),
                  optionsEntry("x", "Other", "slider", "3")});
    auto editor = open();
    const double width = UIScreen::mainScreen().bounds().size.width - 40;

    auto edit = cell(*editor, 0);
    auto field = fieldOf(*edit);
    ASSERT_TRUE(field);
    EXPECT_EQ(edit->reuseIdentifier(), "FunctionCell");
    EXPECT_EQ(edit->style(), UITableViewCellStyle::Value1);
    EXPECT_EQ(field->frame(), (CGRect{{10, 10}, {width, 25}}));
    EXPECT_EQ(field->tag(), 0);
    EXPECT_EQ(field->text(), "red");
    EXPECT_EQ(field->textAlignment(), NSTextAlignment::Right);
    EXPECT_EQ(field->textColor(), UIColor::blackColor());
    EXPECT_FALSE(field->clearsOnBeginEditing());
    EXPECT_EQ(field->delegate(), editor);
    EXPECT_EQ(edit->selectionStyle(), UITableViewCellSelectionStyle::None);
    EXPECT_FALSE(edit->accessoryView());

    auto toggle = switchOf(*cell(*editor, 1));
    ASSERT_TRUE(toggle);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(toggle->tag(), 1);
    EXPECT_EQ(toggle->actionsForTarget(editor.get(), UIControlEvents::ValueChanged),
              (std::vector<std::string>{"saveSwitchFlip:"}));

    auto select = cell(*editor, 2);
    EXPECT_EQ(select->accessoryType(), UITableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(select->detailTextLabel()->text(), "Large");
    EXPECT_NE(select->selectionStyle(), UITableViewCellSelectionStyle::None);
    EXPECT_FALSE(fieldOf(*select));
    EXPECT_FALSE(select->accessoryView());

    auto other = cell(*editor, 3);
    EXPECT_EQ(other->textLabel()->text(), "Other");
    EXPECT_TRUE(other->contentView()->subviews().empty());
    EXPECT_FALSE(other->accessoryView());
    EXPECT_EQ(other->accessoryType(), UITableViewCellAccessoryType::None);
    EXPECT_EQ(other->detailTextLabel()->text(), "");
    // Tapping a row that is no "select" row opens nothing.
    editor->brandNewTableView()->userTapRow({0, 3});
    editor->brandNewTableView()->userTapRow({0, 0});
    EXPECT_FALSE(editor->presentedViewController());
    EXPECT_EQ(editor->editingStyleForRowAtIndexPath(*editor->brandNewTableView(), {0, 0}),
              UITableViewCellEditingStyle::None);
    EXPECT_EQ(editor->shouldIndentWhileEditingRowAtIndexPath(*editor->brandNewTableView(), {0, 0}),
              false);
}

TEST_F(SettingsEditorTest, AReusedCellNeverKeepsThePreviousRowsControl) {
    writeOptions({optionsEntry("a", "A", "edit", "1"), optionsEntry("b", "B", "switch", "true"),
                  selectOptionsEntry("Small", {{"Small", "1"}})});
    auto editor = open();
    editor->brandNewTableView()->reloadData();
    OptionsList swapped{editor->masterDict()->at(2), editor->masterDict()->at(0),
                        editor->masterDict()->at(1)};
    editor->setMasterDict(swapped);
    auto first = cell(*editor, 0);
    EXPECT_FALSE(fieldOf(*first));
    EXPECT_FALSE(first->accessoryView());
    auto second = cell(*editor, 1);
    EXPECT_TRUE(fieldOf(*second));
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
    ASSERT_TRUE(field->userReplaceText("b"));
    EXPECT_EQ(defaultAt(*editor, 0), "b");
    ASSERT_TRUE(field->userInsertText("l"));
    EXPECT_EQ(defaultAt(*editor, 0), "bl");
    EXPECT_EQ(editor->textFieldShouldReturn(*field), false);
    EXPECT_EQ(field->text(), "bl");

    auto on = switchOf(*cell(*editor, 1));
    auto off = switchOf(*cell(*editor, 2));
    EXPECT_TRUE(on->isOn());
    EXPECT_FALSE(off->isOn());
    on->userToggle();
    off->userToggle();
    EXPECT_EQ(defaultAt(*editor, 1), "false");
    EXPECT_EQ(defaultAt(*editor, 2), "true");
    on->userToggle();
    EXPECT_EQ(defaultAt(*editor, 1), "true");
    // The options file is never written by the editor.
    EXPECT_EQ(plist::arrayWithContentsOfFile(themeFile("Options.plist"))->at(0),
              optionsEntry("color", "Colour", "edit", "red"));
    // A control whose tag names no entry changes nothing.
    UISwitch stray;
    stray.setTag(9);
    editor->saveSwitchFlip(stray);
    EXPECT_EQ(editor->masterDict()->size(), 3u);
}

TEST_F(SettingsEditorTest, AnEditorWhoseListNeverLoadedStoresAnEmptyListOnDone) {
    // (The lines of every type, and the file made when missing, are followed by the
    // reopening test below.)
    auto empty = LockThemeSettingsController::initForContentSize({320, 480}, "/Library/Themes/Empty",
                                                                 std::nullopt);
    UIApplication::sharedApplication().reset();
    ASSERT_FALSE(exists(kPreferencesPath));
    empty->writeAllThatData();
    auto preferences = plist::dictionaryWithContentsOfFile(kPreferencesPath);
    ASSERT_TRUE(preferences);
    EXPECT_EQ(*plist::lookup(*preferences->find("ThemeOptions"), "/Library/Themes/Empty"),
              plist::Value(plist::Array{}));
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
    writeOptions({color, clock, size, dup, dup, optionsEntry("note", "Note", "edit", "n")});
    clearPlistCache();
    auto again = open();
    const std::vector<std::string> shown{typed, "false", "Small", "d", "second", "n"};
    for (std::size_t row = 0; row < shown.size(); ++row)
        EXPECT_EQ(defaultAt(*again, row), shown[row]) << row;
    EXPECT_EQ(fieldOf(*cell(*again, 0))->text(), typed);
    EXPECT_FALSE(switchOf(*cell(*again, 1))->isOn());
    EXPECT_EQ(cell(*again, 2)->detailTextLabel()->text(), "Small");
    EXPECT_EQ(cell(*again, 6)->textLabel()->text(), "Reset to Theme Defaults");

    ASSERT_TRUE(again->brandNewTableView()->userTapRow({0, 6}));
    const std::vector<std::string> defaults{"red", "TRUE", "Large", "d", "d", "n"};
    for (std::size_t row = 0; row < defaults.size(); ++row)
        EXPECT_EQ(defaultAt(*again, row), defaults[row]) << row;
    EXPECT_TRUE(switchOf(*cell(*again, 1))->isOn());
    again->writeAllThatData();
    const auto preferences = plist::dictionaryWithContentsOfFile(kPreferencesPath);
    EXPECT_EQ(
        *plist::lookup(*preferences->find("ThemeOptions"), kTheme),
        plist::Value(plist::Array{"var color = \"red\" ;", "var clock = TRUE;", "var size = \"24px\" ;",
                                  "var dup = \"d\" ;", "var dup = \"d\" ;", "var note = \"n\" ;"}));
}

TEST_F(SettingsEditorTest, TheHiddenGlobalSwitchesStoreAtOnce) {
    writeOptions({});
    auto editor = open();
    auto& table = *editor->brandNewTableView();
    EXPECT_EQ(editor->numberOfRowsInSection(table, 1), 2);
    auto background = editor->cellForRowAtIndexPath(table, {1, 0});
    auto touch = editor->cellForRowAtIndexPath(table, {1, 1});
    EXPECT_EQ(background->textLabel()->text(), "Widget is Background");
    EXPECT_EQ(touch->textLabel()->text(), "Disable User Interaction");
    EXPECT_EQ(background->selectionStyle(), UITableViewCellSelectionStyle::None);
    auto touchSwitch = switchOf(*touch);
    ASSERT_TRUE(touchSwitch);
    EXPECT_FALSE(touchSwitch->isOn());
    touchSwitch->userToggle();  // the preferences file does not exist yet: it is created
    auto preferences = plist::dictionaryWithContentsOfFile(kPreferencesPath);
    ASSERT_TRUE(preferences);
    EXPECT_EQ(*preferences->find("touchDisabled"), plist::Value(true));
    EXPECT_FALSE(preferences->contains("isBackground"));
    switchOf(*background)->userToggle();
    clearPlistCache();
    EXPECT_TRUE(switchOf(*editor->cellForRowAtIndexPath(table, {1, 0}))->isOn());
    EXPECT_EQ(*plist::dictionaryWithContentsOfFile(kPreferencesPath)->find("isBackground"),
              plist::Value(true));
}

}  // namespace
}  // namespace vx
