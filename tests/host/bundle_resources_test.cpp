// The bundle's own specifier files load without a skipped item.
#include <filesystem>

#include "host_test_support.h"
#include "platform/foundation/log.h"

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

}  // namespace
}  // namespace vx::test
