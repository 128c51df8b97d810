// The bundle's own specifier files and the demo plugin load without a skipped item.
#include <filesystem>

#include "host_test_support.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"

namespace vx::test {
namespace {

using BundleResourcesTest = HostTest;

TEST_F(BundleResourcesTest, EverySpecifierFileOfTheBundleLoadsWhole) {
    const std::filesystem::path bundle = std::filesystem::path(VX_SOURCE_DIR) / "resources" /
                                         "VeltrixSettings.bundle";
    std::filesystem::create_directories(root.host(kDefaultBundlePath));
    std::filesystem::copy(bundle, root.host(kDefaultBundlePath),
                          std::filesystem::copy_options::recursive);
    auto page = PSListController::init();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(bundle)) {
        const std::string name = entry.path().stem().string();
        if (entry.path().extension() != ".plist" || name == "Info") continue;
        log::Capture capture;
        SpecifierList rows = page->loadSpecifiersFromPlistName(name, page);
        EXPECT_FALSE(rows.empty()) << name;
        EXPECT_TRUE(capture.lines().empty()) << name << ": " << capture.lines().front();
        ++files;
    }
    EXPECT_EQ(files, 10);
}

TEST_F(BundleResourcesTest, TheDemoPluginEntryOpensItsItems) {
    const std::filesystem::path plugins = std::filesystem::path(VX_SOURCE_DIR) / "examples/device" /
                                          std::string(kDefaultBundlePath).substr(1) / "Plugins";
    std::filesystem::create_directories(root.host(kDefaultBundlePath));
    std::filesystem::copy(plugins, root.host(std::string(kDefaultBundlePath) + "/Plugins"),
                          std::filesystem::copy_options::recursive);
    const std::string folder = std::string(kDefaultBundlePath) + "/Plugins/Example";
    auto file = plist::dictionaryWithContentsOfFile(folder + "/Example.plist");
    ASSERT_TRUE(file);
    const plist::Value* entry = file->find("entry");
    ASSERT_TRUE(entry);

    auto host = show(PSListController::init());
    SpecifierList rows = host->specifiersFromEntry(*entry, folder, "Example");
    ASSERT_EQ(rows.size(), 1u);
    host->setSpecifiers(rows);
    host->reloadSpecifiers();
    log::Capture capture;
    host->didSelectRowAtIndexPath(*host->table(), IndexPath{0, 0});
    auto opened = std::dynamic_pointer_cast<PSListController>(navigation->topViewController());
    ASSERT_TRUE(opened);
    ASSERT_NE(opened, host);
    EXPECT_GT(opened->table()->numberOfSections(), 0);
    EXPECT_TRUE(capture.lines().empty()) << capture.lines().front();
}

}  // namespace
}  // namespace vx::test
