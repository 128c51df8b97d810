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
    static bool shows(LockMoveListController& move, std::string_view name) {
        const auto names = namesOf(move.specifiers());
        return std::find(names.begin(), names.end(), name) != names.end();
    }
};

TEST_F(FeaturePages, TitlesComeFromTheTitleKeysEveryTimeExceptTheStatusBarsHostTitle) {
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
        sub->setTitle("changed");
        EXPECT_FALSE(sub->specifiers().empty()) << className;
        EXPECT_EQ(sub->title(), title) << className;
    }
    auto bar = page<LockBarListController>("LockBarListController");
    bar->setSpecifier(PSSpecifier::preferenceSpecifierNamed("Status Bar", {}, nullptr, nullptr,
                                                            "LockBarListController", PSCellType::Link));
    EXPECT_EQ(namesOf(bar->specifiers()).at(1), "Statusleiste ausblenden");
    EXPECT_EQ(bar->title(), "Status Bar");
}

TEST_F(FeaturePages, BatteryRowFollowsItsSwitchAnimatedAndOnlyThatRowObjectMovesIt) {
    auto move = openMovePage();
    ASSERT_NE(move->hiddenCell(), nullptr);
    EXPECT_EQ(move->hiddenCell()->name(), "Show Battery Text");  // translated when found
    EXPECT_FALSE(shows(*move, "Show Battery Text"));

    // An equal row that is not the page's own battery row writes the same key and moves
    // nothing.
    auto lookalike = PSSpecifier::preferenceSpecifierNamed(
        move->batteryCell()->name(), move, &PSListController::setPreferenceValue,
        &PSListController::readPreferenceValue, "", PSCellType::Switch);
    lookalike->properties() = move->batteryCell()->properties();
    move->setValueForSpecifier(true, lookalike);
    EXPECT_EQ(*readPreferences()->find("fadeWhileCharging"), plist::Value(true));
    EXPECT_TRUE(move->table()->changeLog().empty());
    move->setValueForSpecifier(false, lookalike);

    move->setValueForSpecifier(true, move->batteryCell());
    auto battery = move->indexOfSpecifier(move->batteryCell());
    ASSERT_TRUE(battery);
    EXPECT_EQ(move->indexOfSpecifier(move->hiddenCell()), *battery + 1);
    const IndexPath shown = *move->indexPathForSpecifier(move->hiddenCell());
    move->setValueForSpecifier(false, move->batteryCell());
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));
    // Both changes are animated, on the battery text row only.
    const auto& log = move->table()->changeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, TableChange::Kind::InsertRows);
    EXPECT_EQ(log[0].indexPaths, std::vector<IndexPath>{shown});
    EXPECT_EQ(log[1].kind, TableChange::Kind::DeleteRows);
    for (const TableChange& change : log) EXPECT_NE(change.animation, UITableViewRowAnimation::None);

    storePreference("fadeWhileCharging", true);
    auto names = namesOf(openMovePage()->specifiers());
    auto fade = std::find(names.begin(), names.end(), "Fade While Charging");
    ASSERT_NE(fade, names.end());
    EXPECT_EQ(*(fade + 1), "Show Battery Text") << "opened on: at its place";
}

TEST_F(FeaturePages, MissingBatteryValueWithoutDefaultCountsAsOffAndYesStringAsOn) {
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
    move->checkBatteryCellStatusChanged();
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));
    storePreference("fadeWhileCharging", "YES");  // a string, read as the device reads it
    move->checkBatteryCellStatusChanged();
    EXPECT_TRUE(move->indexOfSpecifier(move->hiddenCell()));
}

}  // namespace
}  // namespace vx
