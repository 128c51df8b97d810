// What the list pages share: the translation of row texts and the switch tint, checked on
// every page with the bundle's own strings tables; and the widget-actions page's
// battery-dependent row.
#include <tuple>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/strings_table.h"
#include "platform/ui/switch.h"
#include "platform/ui/table_view.h"
#include "settings/lock_move_list_controller.h"
#include "settings/preferences_file.h"
#include "settings/settings_fixture.h"
#include "settings/veltrix_list_controller.h"
#include "settings/veltrix_plugin_list_controller.h"

namespace vx {
namespace {

using test::kListPages;

class ListPages : public test::SettingsTest {
protected:
    std::shared_ptr<LockMoveListController> openMovePage() {
        auto move = page<LockMoveListController>(LockMoveListController::kClassName);
        move->loadView();
        move->reloadSpecifiers();  // as the application does before showing it
        move->table()->clearChangeLog();
        return move;
    }
    // The page's title and every row's name, footer and choice titles, as shown now.
    static std::vector<std::string> textsOf(VeltrixListController& page) {
        std::vector<std::string> texts;
        for (const SpecifierPtr& row : page.specifiers()) {
            texts.push_back(row->name());
            if (auto footer = row->stringPropertyForKey("footerText")) texts.push_back(*footer);
            if (const auto& titles = row->titleDictionary())
                for (const auto& [value, title] : *titles) texts.push_back(title);
        }
        texts.push_back(page.title());
        return texts;
    }
};

// In both languages no key (such as "HIDE_CLOCK") is left on any page, and a second call
// changes nothing (no translation is itself another key). Every page but the status-bar page
// replaces the host's title: the feature pages with their title keys, the root page with its
// file's title.
TEST_F(ListPages, EveryPageShowsEveryTextTranslatedInBothLanguages) {
    auto isKey = [](const std::string& text) {
        return !text.empty() &&
               text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos;
    };
    for (const std::string language : {"en", "de"}) {
        Bundle::setPreferredLanguage(language);
        for (const char* className : kListPages) {
            SCOPED_TRACE(language + " " + className);
            auto sub = page<VeltrixListController>(className);
            sub->setTitle("Host");
            const std::vector<std::string> texts = textsOf(*sub);
            EXPECT_GT(texts.size(), 5u);
            EXPECT_EQ(textsOf(*sub), texts);
            for (const std::string& text : texts) EXPECT_FALSE(isKey(text)) << text;
            EXPECT_EQ(sub->title() == "Host", std::string_view(className) == "LockBarListController");
        }
    }
    // A key the German table lacks would show its English text.
    auto table = [](std::string language) {
        return readStringsTable(std::string(test::kBundle) + "/" + language +
                                ".lproj/Localizable.strings")
            .value();
    };
    const StringsTable de = table("de"), en = table("en");
    for (const auto& [key, text] : en) EXPECT_TRUE(de.count(key)) << "de lacks " << key;
}

// Without a strings table the keys show; a text the table lacks stays; each pass logs once.
TEST_F(ListPages, UntranslatedTextsKeepTheirKeysAndEachPassLogsOnce) {
    std::filesystem::remove_all(root.host(std::string(test::kBundle) + "/en.lproj"));
    auto notes = page<VeltrixListController>("LockNoteListController");
    EXPECT_EQ(notes->specifiers().at(1)->name(), "SHOW_NOTIFICATIONS");
    EXPECT_EQ(notes->title(), "NOTIFICATIONS_TITLE");
    SpecifierList rows{PSSpecifier::preferenceSpecifierNamed("NO_SUCH_KEY", {}, nullptr, nullptr, "",
                                                             PSCellType::Switch)};
    log::Capture captured;
    EXPECT_EQ(&notes->localizedSpecifiersWithSpecifiers(rows), &rows);
    notes->localizedSpecifiersWithSpecifiers(rows);
    EXPECT_EQ(rows[0]->name(), "NO_SUCH_KEY");
    EXPECT_EQ(captured.lines(), (std::vector<std::string>(2, "localizedSpecifiersWithSpecifiers")));
}

using Colour = std::optional<UIColor>;

// A page that answers the tint hooks as it is told (an empty answer: it does not answer).
class HookedPage : public VeltrixListController {
public:
    HookedPage(std::string name, std::optional<bool> tint, Colour off, Colour on, Colour general)
        : name_(std::move(name)), tint_(tint), off_(off), on_(on), general_(general) {}
    std::string className() const override { return name_; }
    std::optional<bool> tintSwitches() const override { return tint_; }
    Colour switchTintColor() const override { return off_; }
    Colour switchOnTintColor() const override { return on_; }
    Colour tintColor() const override { return general_; }

private:
    std::string name_;
    std::optional<bool> tint_;
    Colour off_, on_, general_;
};

TEST_F(ListPages, EveryListPageTintsItsOwnSwitchesFallingBackThroughTheHooks) {
    const UIColor red = UIColor::redColor(), green = UIColor::greenColor(), blue = UIColor::blueColor();
    for (const char* className : kListPages) page<PSListController>(className)->loadView();
    page<PSListController>(VeltrixPluginListController::kClassName)->loadView();
    HookedPage("Untinted", false, blue, green, blue).setupTint();
    HookedPage("GeneralOnly", std::nullopt, {}, {}, red).setupTint();  // no answer: tinted
    HookedPage("OnOnly", true, {}, green, {}).setupTint();
    // The on and off colours; none at all for a page that sets no proxy.
    std::vector<std::tuple<std::string, Colour, Colour>> cases{
        {VeltrixPluginListController::kClassName, {}, {}},
        {"Untinted", {}, {}},
        {"GeneralOnly", red, red},
        {"OnOnly", green, {}}};
    for (const char* className : kListPages) cases.emplace_back(className, green, blue);
    for (const auto& [className, on, off] : cases) {
        const SwitchAppearanceProxy* proxy = UIAppearance::shared().findSwitchProxy(className);
        if (!on) {
            EXPECT_EQ(proxy, nullptr) << className;
            continue;
        }
        ASSERT_NE(proxy, nullptr) << className;
        EXPECT_EQ(proxy->onTintColor(), on) << className;
        EXPECT_EQ(proxy->tintColor(), off) << className;
    }
}

// The battery text row shows only while the battery row's value is on: left out when the
// page opens with it off (here neither stored nor defaulted), then inserted after that row or
// removed, animated, whenever that very row object is written.
TEST_F(ListPages, BatteryTextRowFollowsTheBatteryRowAnimatedAndOnlyThatRowObjectMovesIt) {
    auto file = plist::dictionaryWithContentsOfFile(std::string(test::kBundle) +
                                                    "/LockMoveSettings.plist");
    ASSERT_TRUE(file);
    for (auto& item : file->find("items")->array())
        if (auto* name = item.dictionary().find("label");
            name && name->string() == "FADE_WHILE_CHARGING")
            item.dictionary().erase("default");
    writeBundleFile("LockMoveSettings.plist", plist::writeXml(*file));
    auto move = openMovePage();
    ASSERT_NE(move->hiddenCell(), nullptr);
    EXPECT_EQ(move->hiddenCell()->name(), "Show Battery Text");  // translated when found
    EXPECT_EQ(move->readPreferenceValue(move->batteryCell()), std::nullopt);
    EXPECT_FALSE(move->indexOfSpecifier(move->hiddenCell()));

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

    // Opened on (a string, read as the device reads it): the row stands at its place.
    root.writeFile(kPreferencesPath, plist::writeXml(plist::Dictionary{{"fadeWhileCharging", "YES"}}));
    auto names = test::namesOf(openMovePage()->specifiers());
    auto fade = std::find(names.begin(), names.end(), "Fade While Charging");
    ASSERT_NE(fade, names.end());
    EXPECT_EQ(*(fade + 1), "Show Battery Text");
}

}  // namespace
}  // namespace vx
