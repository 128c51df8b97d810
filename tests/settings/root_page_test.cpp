// The root page: its rows, the Plugins row and the plugin page behind it, the header (its
// two buttons are pressed by the end-to-end test), and the stored values shown again after a
// refused save.
#include <algorithm>
#include <sstream>

#include "app/script.h"
#include "app/settings_application.h"
#include "host/plugin_entry.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/ui/image.h"
#include "platform/ui/label.h"
#include "settings/settings_fixture.h"
#include "settings/veltrix_plugin_list_controller.h"
#include "settings/veltrix_settings_list_controller.h"

namespace vx {
namespace {

using test::kPlugins;
using test::namesOf;

class RootPage : public test::SettingsTest {
protected:
    std::shared_ptr<VeltrixSettingsListController> rootPage() {
        return page<VeltrixSettingsListController>("VeltrixSettingsListController");
    }
    std::shared_ptr<VeltrixPluginListController> pluginPage() {
        return page<VeltrixPluginListController>(VeltrixPluginListController::kClassName);
    }
    void writePlugin(std::string_view relative, std::string_view label) {
        root.writeFile(std::string(kPlugins) + "/" + std::string(relative),
                       plist::writeXml(plist::Dictionary{
                           {"entry", plist::Dictionary{{"cell", "PSLinkCell"}, {"label", label}}},
                           {"items", plist::Array{}}}));
    }
};

TEST_F(RootPage, SixteenRowsThenThePluginsRowOnceAtIndexTenWhenTheFolderGainsAnEntry) {
    Bundle::setPreferredLanguage("de");
    std::filesystem::remove_all(root.host(kPlugins));
    auto page = rootPage();
    auto rows = page->specifiers();
    ASSERT_EQ(rows.size(), 16u);
    std::vector<std::string> actions, links;
    for (const auto& row : rows) {
        if (row->cellType() == PSCellType::Button) actions.push_back(row->actionName());
        if (row->cellType() == PSCellType::Link) links.push_back(row->detailClassName());
    }
    EXPECT_EQ(actions, (std::vector<std::string>{"getLocation:", "lauchDoc:"}));
    for (const char* page :
         {"LockNoteListController", "VeltrixHideListController", "LockBarListController",
          "LockAdvancedController", "LockBatteryListController", "LockMiscListController",
          "LockMoveListController", "VeltrixStringListController", "LockThemeViewController",
          "WidgetCoordinatesController"})
        EXPECT_NE(std::find(links.begin(), links.end(), page), links.end()) << page;
    EXPECT_EQ(rows[10]->detailClassName(), "VeltrixStringListController");

    root.makeFolder(kPlugins);
    EXPECT_EQ(page->specifiers().size(), 16u) << "an empty folder";
    root.makeFolder(std::string(kPlugins) + "/SomePlugin");  // a bare subfolder counts
    auto first = page->specifiers();
    auto second = page->specifiers();
    ASSERT_EQ(second.size(), 17u) << "the Plugins row goes in once";
    EXPECT_EQ(first, second);

    const SpecifierPtr& plugins = second[10];
    EXPECT_EQ(plugins->name(), "Erweiterungen");  // translated
    auto icon = plugins->objectForKey<std::shared_ptr<UIImage>>("iconImage");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ((*icon)->source(), "icon:com.apple.Preferences");
}

TEST_F(RootPage, ShortRootFileGetsThePluginsRowAtTheEnd) {
    writeBundleFile("VeltrixSettings.plist",
                    plist::writeXml(plist::Dictionary{
                        {"items", plist::Array{plist::Dictionary{{"cell", "PSGroupCell"}},
                                               plist::Dictionary{{"cell", "PSButtonCell"},
                                                                 {"label", "DOCUMENTATION"},
                                                                 {"action", "lauchDoc:"}}}}}));
    root.writeFile(std::string(kPlugins) + "/.hidden", "");
    EXPECT_EQ(namesOf(rootPage()->specifiers()),
              (std::vector<std::string>{"", "Documentation", "Plugins"}));
}

// A root page whose tint differs from its header colour: the header colour wins.
class RedTintedRoot : public VeltrixSettingsListController {
public:
    std::optional<UIColor> tintColor() const override { return UIColor::redColor(); }
};

TEST_F(RootPage, HeaderGeometryFontsColoursAndTranslatedTexts) {
    Bundle::setPreferredLanguage("de");
    UIScreen::mainScreen().setBounds({375, 667});
    auto page = std::make_shared<RedTintedRoot>();
    page->loadView();
    auto header = page->table()->tableHeaderView();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->frame(), (CGRect{{0, 0}, {375, 95}}));
    ASSERT_EQ(header->subviews().size(), 2u);
    auto title = std::dynamic_pointer_cast<UILabel>(header->subviews()[0]);
    auto credit = std::dynamic_pointer_cast<UILabel>(header->subviews()[1]);
    ASSERT_TRUE(title && credit);
    EXPECT_EQ(title->frame(), (CGRect{{0, 10}, {375, 45}}));
    EXPECT_EQ(title->text(), "Veltrix4");
    EXPECT_EQ(title->font(), UIFont::fontWithName("HelveticaNeue-Light", 48));
    EXPECT_EQ(credit->frame(), (CGRect{{0, 55}, {375, 20}}));
    EXPECT_EQ(credit->text(), "von Corvane Labs");
    EXPECT_EQ(credit->font(), UIFont::fontWithName("HelveticaNeue-Light", 16));
    for (const auto& label : {title, credit}) {
        EXPECT_EQ(label->textColor(), UIColor::blueColor());  // not the red tint
        EXPECT_EQ(label->textAlignment(), NSTextAlignment::Center);
        EXPECT_EQ(label->backgroundColor(), UIColor::clearColor());
    }
}

// A save the file refuses (a folder stands at its place) stops the script at its line with
// the reason, and the switch shows the stored value again (here the default), not the one
// the gesture set.
TEST_F(RootPage, ARefusedSaveStopsTheScriptAndShowsTheStoredValueAgain) {
    root.makeFolder(kPreferencesPath);
    log::Capture quiet;
    SettingsApplication app;
    ASSERT_TRUE(app.open().ok());
    std::ostringstream out;
    auto ran = runScript(app, *parseScript("switch Enabled off\nshow\n"), out);
    ASSERT_FALSE(ran.ok());
    EXPECT_EQ(ran.error().rfind("line 1: switch Enabled off: not saved: ", 0), 0u) << ran.error();
    EXPECT_EQ(out.str(), "") << "the script stopped before show";
    const Screen screen = app.screen();
    const auto& rows = screen.sections.at(0).rows;
    auto enabled = std::find_if(rows.begin(), rows.end(),
                                [](auto& row) { return row.label == "Enabled"; });
    ASSERT_NE(enabled, rows.end());
    EXPECT_EQ(enabled->control, RowControl(SwitchControl{true}));
}

// The plugin page: its own rows, then one group of rows per plugin file in listing order.
TEST_F(RootPage, ThePluginPageFindsPluginsAtAnyDepthInListingOrderOnceIgnoringOtherFiles) {
    root.makeFolder(kPlugins);
    EXPECT_EQ(namesOf(pluginPage()->specifiers()), std::vector<std::string>{"Installed plugins"});

    writePlugin("Zeta.plist", "Zeta");
    writePlugin("alpha/Alpha.plist", "Alpha");
    writePlugin("beta/deeper/Beta.plist", "Beta");
    writePlugin("Upper.PLIST", "Upper case extension");
    writePlugin("notes.txt", "Text file");
    root.writeFile(std::string(kPlugins) + "/broken.plist", "not a property list");
    root.writeFile(std::string(kPlugins) + "/noentry.plist",
                   plist::writeXml(plist::Dictionary{{"items", plist::Array{}}}));
    root.makeFolder(std::string(kPlugins) + "/folder.plist");  // cannot be opened as a file
    log::Capture capture;
    auto plugins = pluginPage();
    auto rows = plugins->specifiers();
    EXPECT_EQ(namesOf(rows), (std::vector<std::string>{"Installed plugins", "Zeta", "Alpha", "Beta"}));

    // A plugin file that cannot be read is dropped with a line naming it.
    EXPECT_TRUE(capture.contains("/broken.plist skipped"));
    EXPECT_TRUE(capture.contains("/folder.plist skipped"));

    // Each row knows the folder that holds its file and the file's base name.
    const auto& beta = rows.back();
    EXPECT_EQ(*beta->stringPropertyForKey(kPluginBundlePathProperty),
              std::string(kPlugins) + "/beta/deeper");
    EXPECT_EQ(*beta->stringPropertyForKey(kPluginPlistNameProperty), "Beta");

    writePlugin("Later.plist", "Later");
    EXPECT_EQ(plugins->specifiers(), rows) << "a second call adds nothing";
}

}  // namespace
}  // namespace vx
