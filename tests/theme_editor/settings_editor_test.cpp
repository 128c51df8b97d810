// The theme settings editor: loading, the optimisation alert and its answers, the table and
// its controls, the option picker, and storing the declaration lines. Each test runs on a
// device root with theme folders, with the process-wide state the editor touches (alert
// queue, preferences cache, run loop) reset around it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/preferences_store.h"
#include "platform/foundation/run_loop.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/application.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/screen.h"
#include "support/temp_dir.h"
#include "theme_editor/lock_theme_settings_controller.h"
#include "theme_editor/optimisation.h"

namespace vx {
namespace {

constexpr std::string_view kTheme = "/var/mobile/Library/Veltrix/Clock.veltrix";

plist::Value optionsEntry(std::string name, std::string label, std::string type, std::string value) {
    return plist::Value(
        plist::Dictionary{{"name", name}, {"label", label}, {"type", type}, {"default", value}});
}

plist::Value selectOptionsEntry(std::string value, plist::Dictionary options) {
    plist::Value entry = optionsEntry("size", "Size", "select", std::move(value));
    entry.dictionary().set("options", plist::Value(std::move(options)));
    return entry;
}

class SettingsEditorTest : public ::testing::Test {
protected:
    SettingsEditorTest() { resetState(); }
    ~SettingsEditorTest() override { resetState(); }

    static void resetState() {
        UIApplication::sharedApplication().reset();
        UIScreen::mainScreen().reset();
        RunLoop::main().reset(1'700'000'000.0);
        clearPlistCache();
    }

    // Writes the entries as a shipped theme would, keys in the order given (our own writer
    // sorts them). Strings, integers and nested dictionaries only.
    void writeOptions(const plist::Array& entries, std::string_view theme = kTheme) const {
        std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n";
        for (const plist::Value& entry : entries) xml += xmlOf(entry);
        root.writeFile(std::string(theme) + "/Options.plist", xml + "</array>\n</plist>\n");
    }
    static std::string xmlOf(const plist::Value& value) {
        if (const plist::Dictionary* dictionary = value.asDictionary()) {
            std::string xml = "<dict>";
            for (const auto& [key, member] : *dictionary)
                xml += "<key>" + key + "</key>" + xmlOf(member);
            return xml + "</dict>\n";
        }
        if (value.isInteger()) return "<integer>" + std::to_string(value.integer()) + "</integer>";
        return "<string>" + (value.isString() ? value.string() : std::string()) + "</string>";
    }
    void writeScript(std::string_view name, std::string_view text,
                     std::string_view theme = kTheme) const {
        root.writeFile(std::string(theme) + "/" + std::string(name), text);
    }
    bool exists(std::string_view devicePath) const {
        return std::filesystem::exists(root.host(devicePath));
    }
    std::string themeFile(std::string_view name, std::string_view theme = kTheme) const {
        return std::string(theme) + "/" + std::string(name);
    }

    std::shared_ptr<LockThemeSettingsController> open(std::optional<std::string> script = "config.js",
                                                      std::string_view theme = kTheme) const {
        auto editor = LockThemeSettingsController::initForContentSize({320, 480}, theme,
                                                                      std::move(script));
        EXPECT_TRUE(editor);
        return editor;
    }
    static std::shared_ptr<UIAlertView> frontAlert() {
        return UIApplication::sharedApplication().frontAlert();
    }

    // The cell of a row as the table builds it now.
    static std::shared_ptr<UITableViewCell> cell(LockThemeSettingsController& editor, int row,
                                                 int section = 0) {
        const auto& table = editor.brandNewTableView();
        table->reloadData();
        return table->cellForRowAtIndexPath({section, row});
    }
    static std::shared_ptr<UITextField> fieldOf(const UITableViewCell& cell) {
        for (const auto& view : cell.contentView()->subviews())
            if (auto field = std::dynamic_pointer_cast<UITextField>(view)) return field;
        return nullptr;
    }
    static std::shared_ptr<UISwitch> switchOf(const UITableViewCell& cell) {
        return std::dynamic_pointer_cast<UISwitch>(cell.accessoryView());
    }
    static std::string defaultAt(const LockThemeSettingsController& editor, std::size_t row) {
        return entryText(editor.masterDict()->at(row), "default");
    }

    const plist::Value* storedLines(std::string_view theme = kTheme) {
        stored_ = plist::dictionaryWithContentsOfFile(kPreferencesPath);
        return stored_ ? plist::lookup(*stored_->find("ThemeOptions"), theme) : nullptr;
    }

    // Opens the editor on one "select" entry and taps its row.
    std::shared_ptr<OptionsController> openPicker(plist::Value entry) {
        writeOptions({optionsEntry("a", "A", "edit", "x"), std::move(entry)});
        editor_ = open();
        editor_->brandNewTableView()->reloadData();
        EXPECT_TRUE(editor_->brandNewTableView()->userTapRow({0, 1}));
        return editor_->controller();
    }
    static std::vector<std::string> rows(OptionsController& picker) {
        std::vector<std::string> out;
        const auto& table = picker.optionsTableView();
        table->reloadData();
        for (int row = 0; row < table->numberOfRowsInSection(0); ++row) {
            auto cell = table->cellForRowAtIndexPath({0, row});
            out.push_back(
                cell->textLabel()->text() +
                (cell->accessoryType() == UITableViewCellAccessoryType::Checkmark ? " *" : ""));
        }
        return out;
    }
    void pressDone() {
        auto done = editor_->controller()->navigationItem()->rightBarButtonItem();
        ASSERT_TRUE(done);
        ASSERT_TRUE(done->userTap());
    }

    test::ScopedDeviceRoot root;
    std::optional<plist::Dictionary> stored_;
    std::shared_ptr<LockThemeSettingsController> editor_;  // the one openPicker opened
};

// An options file opens straight into the editor (the script is left alone), each row with
// the control its type asks for; an element that is no dictionary is skipped, a label of the
// wrong type reads as absent, and a file whose root is no array gives no rows.
TEST_F(SettingsEditorTest, AnOptionsFileOpensStraightIntoRowsWithTheControlsTheirTypesAskFor) {
    writeScript("config.js", "var ignored = 1;");
    writeOptions({optionsEntry("color", "Colour", "edit", "red"),
                  optionsEntry("clock", "Clock", "switch", "YES"),
                  selectOptionsEntry("Large", {{"Small", "12px"}, {"Large", "24px"}}),
                  optionsEntry("x", "Other", "slider", "3"), plist::Value("not an entry"),
                  plist::Value(plist::Dictionary{{"label", plist::Value(7)}, {"type", "switch"}})});
    log::Capture capture;
    auto editor = open();
    EXPECT_FALSE(frontAlert());
    EXPECT_TRUE(exists(themeFile("config.js")));
    EXPECT_TRUE(capture.contains("entry 4"));
    EXPECT_EQ(editor->brandNewTableView()->numberOfRowsInSection(0), 6);  // and the reset row
    auto edit = cell(*editor, 0);
    auto field = fieldOf(*edit);
    ASSERT_TRUE(field);
    EXPECT_EQ(field->frame(), (CGRect{{10, 10}, {UIScreen::mainScreen().bounds().size.width - 40, 25}}));
    EXPECT_EQ(field->text(), "red");
    EXPECT_EQ(field->delegate(), editor);
    EXPECT_EQ(edit->textLabel()->text(), "Colour");
    auto toggle = switchOf(*cell(*editor, 1));
    ASSERT_TRUE(toggle && toggle->isOn());
    auto select = cell(*editor, 2);
    EXPECT_EQ(select->accessoryType(), UITableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(select->detailTextLabel()->text(), "Large");
    EXPECT_FALSE(fieldOf(*select) || select->accessoryView());
    auto other = cell(*editor, 3);
    EXPECT_TRUE(other->contentView()->subviews().empty() && !other->accessoryView());
    EXPECT_EQ(cell(*editor, 4)->textLabel()->text(), "");
    EXPECT_FALSE(switchOf(*cell(*editor, 4))->isOn());
    // Tapping a row that is no "select" row opens nothing.
    editor->brandNewTableView()->userTapRow({0, 3});
    editor->brandNewTableView()->userTapRow({0, 0});
    EXPECT_FALSE(editor->presentedViewController());
    // Reordered, every reused cell shows only its own row's control.
    const OptionsList& was = *editor->masterDict();
    editor->setMasterDict(OptionsList{was.at(2), was.at(0), was.at(1)});
    auto first = cell(*editor, 0);
    EXPECT_FALSE(fieldOf(*first) || first->accessoryView());
    auto second = cell(*editor, 1);
    EXPECT_EQ(second->contentView()->subviews().size(), 1u);
    EXPECT_FALSE(second->accessoryView());
    EXPECT_EQ(second->accessoryType(), UITableViewCellAccessoryType::None);
    EXPECT_EQ(second->detailTextLabel()->text(), "");
    auto third = cell(*editor, 2);
    EXPECT_TRUE(switchOf(*third) && third->contentView()->subviews().empty());
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
    EXPECT_FALSE(exists(themeFile("Options.plist")) || exists(kPreferencesPath));
    // An editor whose list never loaded stores an empty list on "Done".
    editor->writeAllThatData();
    EXPECT_EQ(*storedLines(), plist::Value(plist::Array{}));
}

// (The files "Yes" leaves behind are checked by the road test.)
TEST_F(SettingsEditorTest, YesBuildsTheOptionsFileMovesTheScriptAndShowsTheEntries) {
    // Read through the platform's text decoding (UTF-16 here).
    std::string utf16 = "\xFF\xFE";
    for (char c :
         std::string("var color = \"r\xF6t\";\nvar showClock = TRUE;\nvar size = 12;\nvar bare;\n"))
        utf16 += {c, '\0'};
    writeScript("config.js", utf16);
    auto editor = open();
    log::Capture capture;
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_TRUE(capture.contains("CORVANELOG: Old Path = " + themeFile("config.js.bak")));
    EXPECT_TRUE(capture.contains("\"bare\""));
    EXPECT_EQ(editor->variableHolder(), (std::vector<std::string>{"color", "showClock", "size"}));
    EXPECT_EQ(fieldOf(*cell(*editor, 0))->text(), "r\u00F6t");
    EXPECT_TRUE(switchOf(*cell(*editor, 1))->isOn());
    EXPECT_EQ(fieldOf(*cell(*editor, 2))->text(), "12");

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
}

TEST_F(SettingsEditorTest, ReopeningShowsWhatTheUserChoseAndResetBringsBackTheThemeDefaults) {
    const plist::Value color = optionsEntry("color", "Colour", "edit", "red");
    const plist::Value clock = optionsEntry("clock", "Clock", "switch", "TRUE");
    const plist::Value size = selectOptionsEntry("Large", {{"Small", "12px"}, {"Large", "24px"}});
    const plist::Value dup = optionsEntry("dup", "Dup", "edit", "d");
    writeOptions({color, clock, size, dup, dup, optionsEntry("gone", "Gone", "edit", "g")});
    auto first = open();
    const std::string typed = "say \"hi\"\n\\u00B0";
    auto field = fieldOf(*cell(*first, 0));
    ASSERT_TRUE(field->userReplaceText(typed));
    EXPECT_EQ(first->textFieldShouldReturn(*field), false);
    switchOf(*cell(*first, 1))->userToggle();
    UISwitch stray;  // a control whose tag names no entry changes nothing
    stray.setTag(9);
    first->saveSwitchFlip(stray);
    ASSERT_TRUE(first->brandNewTableView()->userTapRow({0, 2}));
    ASSERT_TRUE(first->controller()->optionsTableView()->userTapRow({0, 0}));
    first->doneButtonTapped(*first->controller()->navigationItem()->rightBarButtonItem());
    ASSERT_TRUE(fieldOf(*cell(*first, 4))->userReplaceText("second"));
    ASSERT_FALSE(exists(kPreferencesPath));
    first->writeAllThatData();  // makes the missing preferences file
    // The editor never writes the options file.
    EXPECT_EQ(plist::arrayWithContentsOfFile(themeFile("Options.plist"))->at(0), color);

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
    auto global = [&](int row) { return editor->cellForRowAtIndexPath(table, {1, row}); };
    EXPECT_EQ(global(0)->textLabel()->text(), "Widget is Background");
    EXPECT_EQ(global(1)->textLabel()->text(), "Disable User Interaction");
    switchOf(*global(1))->userToggle();  // the preferences file does not exist yet: it is created
    EXPECT_EQ(readPlistDictionary(kPreferencesPath), (plist::Dictionary{{"touchDisabled", true}}));
    switchOf(*global(0))->userToggle();
    clearPlistCache();
    EXPECT_TRUE(switchOf(*global(0))->isOn());
    EXPECT_EQ(*readPlistDictionary(kPreferencesPath)->find("isBackground"), plist::Value(true));
}

// The option picker and the editor's "Done" that maps its answer back.

TEST_F(SettingsEditorTest, DoneAtOnceKeepsTheCurrentOptionOrTakesTheFirstOrKeepsADefaultWithoutOptions) {
    plist::Value mistyped = optionsEntry("size", "Size", "select", "Keep");
    mistyped.dictionary().set("options", plist::Value("not a dictionary"));
    const std::vector<std::pair<plist::Value, std::string>> cases{
        {selectOptionsEntry("Large", {{"Small", "12px"}, {"Large", "24px"}}), "Large"},
        {selectOptionsEntry("Gone", {{"Small", "12px"}, {"Large", "24px"}}), "Small"},
        {selectOptionsEntry("Keep", {}), "Keep"},
        {mistyped, "Keep"},
    };
    for (const auto& [entry, kept] : cases) {
        SCOPED_TRACE(kept);
        UIApplication::sharedApplication().reset();
        openPicker(entry);
        pressDone();
        EXPECT_FALSE(editor_->presentedViewController());
        EXPECT_EQ(defaultAt(*editor_, 1), kept);
        EXPECT_EQ(cell(*editor_, 1)->detailTextLabel()->text(), kept);
    }
}

// (The picker's rows and its "Done" through the screen are checked by the road test.)
TEST_F(SettingsEditorTest, TheMarkFollowsTapsAndDoneStoresTheLastTappedAndOpensThereNextTime) {
    auto picker = openPicker(
        selectOptionsEntry("Small", {{"Small", "12px"}, {"Large", "24px"}, {"Huge", "40px"}}));
    ASSERT_TRUE(picker);
    EXPECT_EQ(editor_->presentedViewController(), editor_->navCtrl());
    EXPECT_EQ(editor_->navCtrl()->topViewController(), picker);
    EXPECT_EQ(rows(*picker), (std::vector<std::string>{"Small *", "Large", "Huge"}));
    EXPECT_FALSE(editor_->brandNewTableView()->indexPathForSelectedRow());
    auto table = picker->optionsTableView();
    ASSERT_TRUE(table->userTapRow({0, 2}));
    ASSERT_TRUE(table->userTapRow({0, 1}));
    EXPECT_EQ(rows(*picker), (std::vector<std::string>{"Small", "Large *", "Huge"}));
    EXPECT_FALSE(table->indexPathForSelectedRow());
    pressDone();
    EXPECT_EQ(defaultAt(*editor_, 1), "Large");
    // Each tap makes a fresh picker, marked on the option chosen last.
    ASSERT_TRUE(editor_->brandNewTableView()->userTapRow({0, 1}));
    EXPECT_NE(editor_->controller(), picker);
    EXPECT_EQ(editor_->controller()->selection(), 1);
}

}  // namespace
}  // namespace vx
