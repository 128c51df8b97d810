// The translation of row texts and the switch tint that the nine list pages share, and the
// strings tables of the bundle.
#include <set>

#include "host/specifier_file.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/strings_table.h"
#include "platform/ui/switch.h"
#include "settings/settings_fixture.h"
#include "settings/veltrix_list_controller.h"
#include "settings/veltrix_plugin_list_controller.h"

namespace vx {
namespace {

using test::kBundle;

class Localisation : public test::SettingsTest {
protected:
    std::shared_ptr<VeltrixListController> anyPage() {
        return page<VeltrixListController>("LockNoteListController");
    }
    static SpecifierPtr row(std::string name) {
        return PSSpecifier::preferenceSpecifierNamed(std::move(name), {}, nullptr, nullptr, "",
                                                     PSCellType::Switch);
    }
};

TEST_F(Localisation, TranslatesNamesFootersAndChoiceTitlesOnceAndLogsEachPass) {
    Bundle::setPreferredLanguage("de");
    auto page = anyPage();
    SpecifierPtr choice = row("NOTIFICATION_STYLE");
    choice->setTitleDictionary(TitleDictionary{{0, "STYLE_LIST"}, {1, "STYLE_BUBBLES"}});
    SpecifierPtr group = row("");
    group->setProperty("HIDE_ELEMENTS_FOOTER", "footerText");
    SpecifierPtr unknown = row("NO_SUCH_KEY");
    SpecifierList rows{choice, group, unknown};

    log::Capture captured;
    for (int pass = 0; pass < 2; ++pass) {  // a second pass leaves translated texts as they are
        EXPECT_EQ(&page->localizedSpecifiersWithSpecifiers(rows), &rows);
        EXPECT_EQ(choice->name(), "Stil");
        EXPECT_EQ(choice->titleDictionary()->keys(), (std::vector<plist::Value>{0, 1}));
        EXPECT_EQ(*choice->titleForValue(1), "Blasen");
        EXPECT_EQ(group->name(), "");
        EXPECT_EQ(group->stringPropertyForKey("footerText")->rfind("Ausgeblendete Elemente", 0), 0u);
        EXPECT_EQ(unknown->name(), "NO_SUCH_KEY");
    }
    EXPECT_EQ(captured.lines().size(), 2u);
    EXPECT_TRUE(captured.contains("localizedSpecifiersWithSpecifiers"));
}

TEST_F(Localisation, MissingStringsTableLeavesKeys) {
    std::filesystem::remove_all(root.host(std::string(kBundle) + "/en.lproj"));
    auto page = anyPage();
    EXPECT_EQ(page->specifiers().at(1)->name(), "SHOW_NOTIFICATIONS");
    EXPECT_EQ(page->title(), "NOTIFICATIONS_TITLE");
}

// Every text a specifier file shows has an entry in both tables, and no translation is
// itself another key (which a repeated pass would translate a second time).
TEST_F(Localisation, BothTablesCoverEveryTextOfEveryPage) {
    auto en = readStringsTable(std::string(kBundle) + "/en.lproj/Localizable.strings");
    auto de = readStringsTable(std::string(kBundle) + "/de.lproj/Localizable.strings");
    ASSERT_TRUE(en && de);
    std::set<std::string> texts{"Veltrix4", "by Corvane Labs", "Plugins"};
    for (const char* name :
         {"VeltrixSettings", "LockNoteSettings", "LockHideSettings", "LockBarSettings", "Advanced",
          "LockBatterySettings", "MiscSettings", "LockMoveSettings", "LockStringSettings"}) {
        auto file = plist::dictionaryWithContentsOfFile(std::string(kBundle) + "/" + name + ".plist");
        ASSERT_TRUE(file) << name;
        if (auto title = file->find("title")) texts.insert(title->string());
        for (const auto& item : file->find("items")->array()) {
            for (const char* key : {"label", "footerText"})
                if (auto text = item.dictionary().find(key)) texts.insert(text->string());
            if (auto titles = item.dictionary().find("validTitles"))
                for (const auto& title : titles->array()) texts.insert(title.string());
        }
    }
    for (const auto& text : texts) {
        EXPECT_TRUE(en->count(text)) << "en lacks " << text;
        EXPECT_TRUE(de->count(text)) << "de lacks " << text;
    }
    for (const auto* table : {&*en, &*de})
        for (const auto& [key, value] : *table) {
            auto other = table->find(value);
            EXPECT_TRUE(other == table->end() || other->second == value) << key;
        }
}

// Pages that answer fewer hooks: tint off, only the general tint colour, or only the on colour.
class UntintedPage : public VeltrixListController {
public:
    std::string className() const override { return "UntintedPage"; }
    std::optional<bool> tintSwitches() const override { return false; }
};
class PlainTintPage : public VeltrixListController {
public:
    std::string className() const override { return "PlainTintPage"; }
    std::optional<UIColor> switchTintColor() const override { return std::nullopt; }
    std::optional<UIColor> switchOnTintColor() const override { return std::nullopt; }
    std::optional<UIColor> tintColor() const override { return UIColor::redColor(); }
};
class OnColourOnlyPage : public VeltrixListController {
public:
    std::string className() const override { return "OnColourOnlyPage"; }
    std::optional<UIColor> switchTintColor() const override { return std::nullopt; }
    std::optional<UIColor> tintColor() const override { return std::nullopt; }
};

TEST_F(Localisation, EveryListPageTintsItsOwnSwitchesFallingBackThroughTheHooks) {
    for (const char* className :
         {"VeltrixSettingsListController", "LockNoteListController", "VeltrixHideListController",
          "LockBarListController", "LockAdvancedController", "LockBatteryListController",
          "LockMiscListController", "LockMoveListController", "VeltrixStringListController"}) {
        page<PSListController>(className)->loadView();
        const SwitchAppearanceProxy* proxy = UIAppearance::shared().findSwitchProxy(className);
        ASSERT_NE(proxy, nullptr) << className;
        EXPECT_EQ(proxy->onTintColor(), UIColor::greenColor()) << className;
        EXPECT_EQ(proxy->tintColor(), UIColor::blueColor()) << className;
    }
    page<PSListController>(VeltrixPluginListController::kClassName)->loadView();
    EXPECT_EQ(UIAppearance::shared().findSwitchProxy(VeltrixPluginListController::kClassName), nullptr);

    std::make_shared<UntintedPage>()->setupTint();
    EXPECT_EQ(UIAppearance::shared().findSwitchProxy("UntintedPage"), nullptr);
    std::make_shared<PlainTintPage>()->setupTint();
    auto* plain = UIAppearance::shared().findSwitchProxy("PlainTintPage");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->onTintColor(), UIColor::redColor());
    EXPECT_EQ(plain->tintColor(), UIColor::redColor());
    std::make_shared<OnColourOnlyPage>()->setupTint();
    auto* onOnly = UIAppearance::shared().findSwitchProxy("OnColourOnlyPage");
    ASSERT_NE(onOnly, nullptr);
    EXPECT_EQ(onOnly->onTintColor(), UIColor::greenColor());
    EXPECT_FALSE(onOnly->tintColor());
}

}  // namespace
}  // namespace vx
