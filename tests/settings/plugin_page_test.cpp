// The plugin page: its own rows, then one group of rows per plugin file in listing order.
#include "host/plugin_entry.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "settings/settings_fixture.h"
#include "settings/veltrix_plugin_list_controller.h"

namespace vx {
namespace {

using test::kPlugins;
using test::namesOf;

class PluginPage : public test::SettingsTest {
protected:
    void writePlugin(std::string_view relative, std::string_view label) {
        root.writeFile(std::string(kPlugins) + "/" + std::string(relative),
                       plist::writeXml(plist::Dictionary{
                           {"entry", plist::Dictionary{{"cell", "PSLinkCell"}, {"label", label}}},
                           {"items", plist::Array{}}}));
    }
    std::shared_ptr<VeltrixPluginListController> pluginPage() {
        return page<VeltrixPluginListController>(VeltrixPluginListController::kClassName);
    }
    std::size_t baseRows() {
        auto own = std::make_shared<PSListController>();
        return own->loadSpecifiersFromPlistName("Plugins", own).size();
    }
};

TEST_F(PluginPage, FindsPluginsAtAnyDepthInListingOrderOnceIgnoringOtherFiles) {
    const std::size_t base = baseRows();
    ASSERT_GT(base, 0u);
    root.makeFolder(kPlugins);
    EXPECT_EQ(pluginPage()->specifiers().size(), base);

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
    const std::vector<std::string> names = namesOf(rows);
    EXPECT_EQ(std::vector<std::string>(names.begin() + static_cast<long>(base), names.end()),
              (std::vector<std::string>{"Zeta", "Alpha", "Beta"}));

    // A plugin file that cannot be read is dropped with a line naming it.
    EXPECT_TRUE(capture.contains("/broken.plist skipped"));
    EXPECT_TRUE(capture.contains("/folder.plist skipped"));

    // Each row knows the folder that holds its file and the file's base name.
    const auto& beta = rows.back();
    EXPECT_EQ(*beta->stringPropertyForKey(kPluginBundlePathProperty),
              std::string(kPlugins) + "/beta/deeper");
    EXPECT_EQ(*beta->stringPropertyForKey(kPluginPlistNameProperty), "Beta");
    EXPECT_EQ(beta->target().lock(), plugins);

    writePlugin("Later.plist", "Later");
    EXPECT_EQ(plugins->specifiers(), rows) << "a second call adds nothing";
}

}  // namespace
}  // namespace vx
