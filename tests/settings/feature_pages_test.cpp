// The feature sub-pages: titles, rows, preference writes, and the widget-actions page's
// battery-dependent row.
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/ui/table_view.h"
#include "settings/feature_list_controllers.h"
#include "settings/lock_move_list_controller.h"
#include "settings/preferences_file.h"
#include "settings/settings_fixture.h"

namespace vx {
namespace {

using test::namesOf;

class FeaturePages : public test::SettingsTest {
protected:
    void storePreference(std::string key, plist::Value value) {
        ASSERT_TRUE(updatePreferences(
            [&](plist::Dictionary& prefs) {
                prefs.set(key, value);
                return true;
            },
            WhenMissing::Create));
    }
    std::shared_ptr<LockMoveListController> openMovePage() {
        auto move = page<LockMoveListController>(LockMoveListController::kClassName);
        move->loadView();
        move->reloadSpecifiers();  // as the application does before showing it
        move->table()->clearChangeLog();
        return move;
    }
    static bool shows(const std::shared_ptr<LockMoveListController>& move, std::string_view name) {
        for (const auto& row : move->specifiers())
            if (row->name() == name) return true;
        return false;
    }
};

TEST_F(FeaturePages, TitlesComeFromTheTitleKeysEveryTime) {
    Bundle::setPreferredLanguage("de");
    const std::pair<const char*, const char*> expected[] = {
        {"LockNoteListController", "Mitteilungen"},
        {"VeltrixHideListController", "Elemente ausblenden"},
        {"LockAdvancedController", "Erweitert"},
        {"LockBatteryListController", "Batterieanzeige"},
        {"LockMiscListController", "Verschiedenes"},
        {"LockMoveListController", "Widget-Aktionen"},
        {"VeltrixStringListController", "Eigene Texte"}};
    for (const auto& [className, title] : expected) {
        auto sub = page<VeltrixListController>(className);
        EXPECT_FALSE(sub->specifiers().empty()) << className;
        EXPECT_EQ(sub->title(), title) << className;
        sub->setTitle("changed");
        sub->specifiers();
        EXPECT_EQ(sub->title(), title) << className;
        sub->loadView();
        EXPECT_EQ(sub->table()->tableHeaderView(), nullptr) << className;
    }
}

TEST_F(FeaturePages, StatusBarPageKeepsTheHostsTitle) {
    auto bar = page<LockBarListController>("LockBarListController");
    auto link = PSSpecifier::preferenceSpecifierNamed("Status Bar", {}, nullptr, nullptr,
                                                      "LockBarListController", PSCellType::Link);
    bar->setSpecifier(link);
    auto rows = bar->specifiers();
    EXPECT_EQ(bar->title(), "Status Bar");
    EXPECT_EQ(namesOf(rows).at(1), "Hide Status Bar");
}

TEST_F(FeaturePages, ThemeFolderSwitchesSitTogetherAndWriteThePreferencesFile) {
    auto advanced = page<LockAdvancedController>("LockAdvancedController");
    auto rows = advanced->specifiers();
    std::vector<std::string> keys;
    for (const auto& row : rows) keys.push_back(row->key());
    const std::vector<std::string> folders{"veltrixThemes", "tandrelThemes", "winterboardThemes",
                                           "iwidgetThemes", "groovyThemes"};
    EXPECT_EQ(std::vector<std::string>(keys.begin() + 1, keys.begin() + 6), folders);
    EXPECT_EQ(rows[0]->cellType(), PSCellType::Group);
    EXPECT_NE(rows[0]->stringPropertyForKey("footerText")->find("theme list"), std::string::npos);

    advanced->setValueForSpecifier(true, rows[4]);
    auto prefs = readPreferences();
    ASSERT_TRUE(prefs);
    EXPECT_EQ(*prefs->find("iwidgetThemes"), plist::Value(true));
    EXPECT_EQ(advanced->valueForSpecifier(rows[4]), plist::Value(true));
    EXPECT_EQ(advanced->valueForSpecifier(rows[1]), plist::Value(false));  // the default
    EXPECT_EQ(advanced->readPreferenceValue(nullptr), std::nullopt);
}

TEST_F(FeaturePages, BatteryRowHiddenWhileOffInsertedAndRemovedAnimated) {
    auto move = openMovePage();
    ASSERT_NE(move->hiddenCell(), nullptr);
    ASSERT_NE(move->batteryCell(), nullptr);
    EXPECT_EQ(move->hiddenCell()->name(), "Show Battery Text");  // translated when found
    EXPECT_FALSE(shows(move, "Show Battery Text"));

    move->setValueForSpecifier(true, move->batteryCell());
    auto battery = move->indexOfSpecifier(move->batteryCell());
    ASSERT_TRUE(battery);
    EXPECT_EQ(move->indexOfSpecifier(move->hiddenCell()), *battery + 1);
    ASSERT_FALSE(move->table()->changeLog().empty());
    const TableChange& inserted = move->table()->changeLog().back();
    EXPECT_EQ(inserted.kind, TableChange::Kind::InsertRows);
    EXPECT_NE(inserted.animation, UITableViewRowAnimation::None);
    EXPECT_EQ(inserted.indexPaths,
              std::vector<IndexPath>{*move->indexPathForSpecifier(move->hiddenCell())});

    move->setValueForSpecifier(false, move->batteryCell());
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));
    const TableChange& removed = move->table()->changeLog().back();
    EXPECT_EQ(removed.kind, TableChange::Kind::DeleteRows);
    EXPECT_NE(removed.animation, UITableViewRowAnimation::None);
}

TEST_F(FeaturePages, BatteryRowShownAtItsPlaceWhenOpenedOn) {
    storePreference("fadeWhileCharging", true);
    auto move = openMovePage();
    auto names = namesOf(move->specifiers());
    auto fade = std::find(names.begin(), names.end(), "Fade While Charging");
    ASSERT_NE(fade, names.end());
    EXPECT_EQ(*(fade + 1), "Show Battery Text");
    EXPECT_EQ(names.size(), 8u);  // every row of the file
}

TEST_F(FeaturePages, OnlyTheBatteryRowObjectItselfMovesTheDependentRow) {
    auto move = openMovePage();
    // Another row of the page.
    for (const auto& row : move->specifiers())
        if (row->key() == "allowWidgetMove") move->setValueForSpecifier(true, row);
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));

    // An equal row that is not the page's own battery row writes the same key and moves
    // nothing.
    auto lookalike = PSSpecifier::preferenceSpecifierNamed(
        move->batteryCell()->name(), move, &PSListController::setPreferenceValue,
        &PSListController::readPreferenceValue, "", PSCellType::Switch);
    lookalike->properties() = move->batteryCell()->properties();
    move->setValueForSpecifier(true, lookalike);
    EXPECT_EQ(*readPreferences()->find("fadeWhileCharging"), plist::Value(true));
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));
    EXPECT_TRUE(move->table()->changeLog().empty());
}

TEST_F(FeaturePages, MissingBatteryValueWithoutDefaultCountsAsOff) {
    auto file = plist::dictionaryWithContentsOfFile(std::string(test::kBundle) +
                                                    "/LockMoveSettings.plist");
    ASSERT_TRUE(file);
    for (auto& item : file->find("items")->array())
        if (auto* name = item.dictionary().find("label");
            name && name->string() == "FADE_WHILE_CHARGING")
            item.dictionary().erase("default");
    writeBundleFile("LockMoveSettings.plist", plist::writeXml(*file));

    auto move = openMovePage();
    EXPECT_EQ(move->readPreferenceValue(move->batteryCell()), std::nullopt);
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));
    move->checkBatteryCellStatusChanged();  // still off: stays out, nothing logged as a change
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));

    storePreference("fadeWhileCharging", "YES");  // a string, read as the device reads it
    move->checkBatteryCellStatusChanged();
    EXPECT_TRUE(move->indexOfSpecifier(move->hiddenCell()));
}

}  // namespace
}  // namespace vx
