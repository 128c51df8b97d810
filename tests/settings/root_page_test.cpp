// The root page: its rows, the Plugins row and the header (its two buttons are pressed by the
// end-to-end test), and the stored values shown again after a refused save.
#include <algorithm>
#include <sstream>

#include "app/script.h"
#include "app/settings_application.h"
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
    static std::vector<std::size_t> pluginRows(const SpecifierList& rows) {
        std::vector<std::size_t> found;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i]->detailClassName() == VeltrixPluginListController::kClassName)
                found.push_back(i);
        return found;
    }
};

TEST_F(RootPage, SixteenRowsThenThePluginsRowOnceAtIndexTenWhenTheFolderGainsAnEntry) {
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
    EXPECT_EQ(pluginRows(second), std::vector<std::size_t>{10});
    EXPECT_EQ(first, second);

    const SpecifierPtr& plugins = second[10];
    EXPECT_EQ(plugins->name(), "Plugins");
    EXPECT_EQ(plugins->cellType(), PSCellType::Link);
    EXPECT_EQ(plugins->target().lock(), page);
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

TEST_F(RootPage, HeaderGeometryFontsColoursAndTexts) {
    UIScreen::mainScreen().setBounds({375, 667});
    auto page = std::make_shared<RedTintedRoot>();
    page->loadView();
    auto header = page->table()->tableHeaderView();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->frame(), (CGRect{{0, 0}, {375, 95}}));
    EXPECT_EQ(header->backgroundColor(), UIColor::clearColor());
    ASSERT_EQ(header->subviews().size(), 2u);
    auto title = std::dynamic_pointer_cast<UILabel>(header->subviews()[0]);
    auto credit = std::dynamic_pointer_cast<UILabel>(header->subviews()[1]);
    ASSERT_TRUE(title && credit);
    EXPECT_EQ(title->frame(), (CGRect{{0, 10}, {375, 45}}));
    EXPECT_EQ(title->text(), "Veltrix4");
    EXPECT_EQ(title->font(), UIFont::fontWithName("HelveticaNeue-Light", 48));
    EXPECT_EQ(credit->frame(), (CGRect{{0, 55}, {375, 20}}));
    EXPECT_EQ(credit->text(), "by Corvane Labs");
    EXPECT_EQ(credit->font(), UIFont::fontWithName("HelveticaNeue-Light", 16));
    for (const auto& label : {title, credit}) {
        EXPECT_EQ(label->textColor(), UIColor::blueColor());  // not the red tint
        EXPECT_EQ(label->textAlignment(), NSTextAlignment::Center);
        EXPECT_EQ(label->backgroundColor(), UIColor::clearColor());
    }
}

// A save the file refuses (a folder stands at its place) leaves the switch showing the
// stored value (here the default), not the one the gesture set.
TEST_F(RootPage, ARefusedSaveShowsTheStoredValueAgain) {
    root.makeFolder(kPreferencesPath);
    log::Capture quiet;
    SettingsApplication app;
    ASSERT_TRUE(app.open().ok());
    auto script = parseScript("switch Enabled off\n");
    std::ostringstream out;
    EXPECT_FALSE(runScript(app, *script, out, ScriptOptions{}).ok());
    const Screen screen = app.screen();
    const auto& rows = screen.sections.at(0).rows;
    auto enabled = std::find_if(rows.begin(), rows.end(),
                                [](auto& row) { return row.label == "Enabled"; });
    ASSERT_NE(enabled, rows.end());
    EXPECT_EQ(enabled->control, RowControl(SwitchControl{true}));
}

TEST_F(RootPage, PluginsRowAndHeaderAreTranslated) {
    Bundle::setPreferredLanguage("de");
    root.makeFolder(std::string(kPlugins) + "/Example");
    auto page = rootPage();
    auto rows = page->specifiers();
    EXPECT_EQ(rows.at(10)->name(), "Erweiterungen");
    EXPECT_EQ(rows.at(5)->name(), "Mitteilungen");
    page->loadView();
    auto credit = std::dynamic_pointer_cast<UILabel>(page->table()->tableHeaderView()->subviews().at(1));
    ASSERT_NE(credit, nullptr);
    EXPECT_EQ(credit->text(), "von Corvane Labs");
}

}  // namespace
}  // namespace vx
