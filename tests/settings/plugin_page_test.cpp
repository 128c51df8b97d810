// The plugin page: its own rows, then one group of rows per plugin file in listing order.
#include <fcntl.h>
#include <unistd.h>

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
    auto plugins = pluginPage();
    auto rows = plugins->specifiers();
    const std::vector<std::string> names = namesOf(rows);
    EXPECT_EQ(std::vector<std::string>(names.begin() + static_cast<long>(base), names.end()),
              (std::vector<std::string>{"Zeta", "Alpha", "Beta"}));

    // Each row knows the folder that holds its file and the file's base name.
    const auto& beta = rows.back();
    EXPECT_EQ(*beta->stringPropertyForKey(kPluginBundlePathProperty),
              std::string(kPlugins) + "/beta/deeper");
    EXPECT_EQ(*beta->stringPropertyForKey(kPluginPlistNameProperty), "Beta");
    EXPECT_EQ(beta->target().lock(), plugins);

    writePlugin("Later.plist", "Later");
    EXPECT_EQ(plugins->specifiers(), rows) << "a second call adds nothing";
}

// A plugin whose path is longer than the system's limit cannot be opened: it is dropped
// with a line naming it. The folders are made and removed with *at calls.
TEST_F(PluginPage, PluginPastThePathLimitIsDroppedWithALogLine) {
    constexpr int kDepth = 260;  // 16 bytes a level: past PATH_MAX
    root.makeFolder(kPlugins);
    int fd = ::open(root.host(kPlugins).c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < kDepth; ++i) {
        ASSERT_EQ(::mkdirat(fd, "level-of-folder", 0755), 0);
        int child = ::openat(fd, "level-of-folder", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = child;
    }
    std::string bytes = plist::writeXml(
        plist::Dictionary{{"entry", plist::Dictionary{{"label", "Deep"}}}});
    int file = ::openat(fd, "Deep.plist", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);

    log::Capture capture;
    EXPECT_EQ(pluginPage()->specifiers().size(), baseRows());
    EXPECT_TRUE(capture.contains("/level-of-folder/Deep.plist skipped"));

    ::unlinkat(fd, "Deep.plist", 0);
    for (int i = 0; i < kDepth; ++i) {
        int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = parent;
        ::unlinkat(fd, "level-of-folder", AT_REMOVEDIR);
    }
    ::close(fd);
}

}  // namespace
}  // namespace vx
