// The root page: its rows, the Plugins row, the header and the two button actions.
#include <algorithm>

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
    std::shared_ptr<VeltrixSettingsListController> root_page() {
        return page<VeltrixSettingsListController>("VeltrixSettingsListController");
    }
    static std::vector<std::size_t> pluginRowIndices(const SpecifierList& rows) {
        std::vector<std::size_t> found;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i]->detailClassName() == VeltrixPluginListController::kClassName)
                found.push_back(i);
        return found;
    }
};

TEST_F(RootPage, SixteenRowsWithLinksButtonsAndGroupsWhenNoPluginFolder) {
    std::filesystem::remove_all(root.host(kPlugins));
    auto rows = root_page()->specifiers();
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_TRUE(pluginRowIndices(rows).empty());

    std::vector<std::string> details, actions;
    for (const auto& row : rows) {
        if (row->cellType() == PSCellType::Link) details.push_back(row->detailClassName());
        if (row->cellType() == PSCellType::Button) actions.push_back(row->actionName());
        if (row->cellType() == PSCellType::Group) {
            EXPECT_TRUE(row->propertyForKey("footerText"));
        }
    }
    for (const char* expected :
         {"LockNoteListController", "VeltrixHideListController", "LockBarListController",
          "LockAdvancedController", "LockBatteryListController", "LockMiscListController",
          "LockMoveListController", "VeltrixStringListController", "LockThemeViewController",
          "WidgetCoordinatesController"}) {
        EXPECT_NE(std::find(details.begin(), details.end(), expected), details.end()) << expected;
    }
    EXPECT_EQ(actions, (std::vector<std::string>{"getLocation:", "lauchDoc:"}));
    // Index 10 lies among the links to the sub-pages.
    EXPECT_EQ(rows[9]->cellType(), PSCellType::Link);
    EXPECT_EQ(rows[10]->cellType(), PSCellType::Link);
}

TEST_F(RootPage, PluginsRowGoesInOnceAtIndexTen) {
    root.writeFile(std::string(kPlugins) + "/README.txt", "not a plugin");
    auto page = root_page();
    auto first = page->specifiers();
    auto second = page->specifiers();
    ASSERT_EQ(first.size(), 17u);
    ASSERT_EQ(second.size(), 17u);
    EXPECT_EQ(pluginRowIndices(second), std::vector<std::size_t>{10});
    EXPECT_EQ(first[10], second[10]);

    const SpecifierPtr& plugins = second[10];
    EXPECT_EQ(plugins->name(), "Plugins");
    EXPECT_EQ(plugins->cellType(), PSCellType::Link);
    EXPECT_EQ(plugins->target().lock(), page);
    EXPECT_EQ(plugins->getter(), nullptr);
    EXPECT_EQ(plugins->setter(), nullptr);
    auto icon = plugins->objectForKey<std::shared_ptr<UIImage>>("iconImage");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ((*icon)->source(), "icon:com.apple.Preferences");
    EXPECT_EQ((*icon)->scale(), UIScreen::mainScreen().scale());
}

TEST_F(RootPage, PluginsRowAppearsOnceTheFolderGainsAnEntry) {
    root.makeFolder(kPlugins);
    auto page = root_page();
    EXPECT_EQ(page->specifiers().size(), 16u);
    root.makeFolder(std::string(kPlugins) + "/SomePlugin");  // a bare subfolder counts
    auto rows = page->specifiers();
    EXPECT_EQ(rows.size(), 17u);
    EXPECT_EQ(pluginRowIndices(rows), std::vector<std::size_t>{10});
}

TEST_F(RootPage, ShortRootFileGetsThePluginsRowAtTheEndOnce) {
    writeBundleFile("VeltrixSettings.plist",
                    plist::writeXml(plist::Dictionary{
                        {"items", plist::Array{plist::Dictionary{{"cell", "PSGroupCell"}},
                                               plist::Dictionary{{"cell", "PSButtonCell"},
                                                                 {"label", "DOCUMENTATION"},
                                                                 {"action", "lauchDoc:"}}}}}));
    root.writeFile(std::string(kPlugins) + "/.hidden", "");
    auto page = root_page();
    page->specifiers();
    auto rows = page->specifiers();
    EXPECT_EQ(namesOf(rows), (std::vector<std::string>{"", "Documentation", "Plugins"}));
}

TEST_F(RootPage, PluginsRowIsTranslated) {
    Bundle::setPreferredLanguage("de");
    root.makeFolder(std::string(kPlugins) + "/Example");
    auto rows = root_page()->specifiers();
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_EQ(rows[10]->name(), "Erweiterungen");
    EXPECT_EQ(rows[5]->name(), "Mitteilungen");
}

TEST_F(RootPage, HeaderGeometryFontsColoursAndTexts) {
    UIScreen::mainScreen().setBounds({375, 667});
    auto page = root_page();
    page->loadView();
    ASSERT_NE(page->table(), nullptr);
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
        EXPECT_EQ(label->textColor(), UIColor::blueColor());
        EXPECT_EQ(label->textAlignment(), NSTextAlignment::Center);
        EXPECT_EQ(label->backgroundColor(), UIColor::clearColor());
    }
    EXPECT_EQ(page->headerImage(), "");
}

TEST_F(RootPage, HeaderTextsAreTranslated) {
    Bundle::setPreferredLanguage("de");
    auto page = root_page();
    page->loadView();
    auto header = page->table()->tableHeaderView();
    ASSERT_NE(header, nullptr);
    auto credit = std::dynamic_pointer_cast<UILabel>(header->subviews().at(1));
    ASSERT_NE(credit, nullptr);
    EXPECT_EQ(credit->text(), "von Corvane Labs");
}

TEST_F(RootPage, ButtonsOpenTheDocumentationAndExportTheLocation) {
    auto page = root_page();
    auto rows = page->specifiers();
    auto documentation = std::find_if(rows.begin(), rows.end(), [](const SpecifierPtr& row) {
        return row->actionName() == "lauchDoc:";
    });
    ASSERT_NE(documentation, rows.end());
    EXPECT_TRUE(page->performAction("lauchDoc:", *documentation));
    EXPECT_TRUE(page->performAction("lauchDoc:", nullptr));  // the argument is not used
    EXPECT_EQ(UIApplication::sharedApplication().openedURLs(),
              (std::vector<std::string>{"https://docs.corvane.com/veltrix/",
                                        "https://docs.corvane.com/veltrix/"}));

    root.writeFile("/var/mobile/Library/Weather/weather.plist",
                   plist::writeXml(plist::Dictionary{
                       {"LocalCity", plist::Dictionary{{"Latitude", 1.5},
                                                       {"Longitude", -2.5},
                                                       {"UpdateTime", plist::Date{7e8}}}}}));
    root.makeFolder("/var/mobile/Documents");
    EXPECT_TRUE(page->performAction("getLocation:", nullptr));
    EXPECT_EQ(root.readFile("/var/mobile/Documents/myLocation.txt"), "Lat=1.500000\nLong=-2.500000");
}

}  // namespace
}  // namespace vx
