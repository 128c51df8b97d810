// veltrix-settings init: a device root laid out with the bundle from resources/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(VX_SOURCE_DIR) / "resources" / "VeltrixSettings.bundle";
constexpr const char* kInstalled = "Library/PreferenceBundles/VeltrixSettings.bundle";

std::vector<std::string> filesBelow(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) found.push_back(fs::relative(entry.path(), folder).string());
    std::sort(found.begin(), found.end());
    return found;
}

TEST(InitCommand, LaysOutAFreshRootWithTheBundleAndARerunRestoresOnlyTheBundle) {
    test::TempDir dir;
    const fs::path root = dir.path() / "new" / "device";
    auto init = [&] { return test::runShell(test::programOn(root) + " init", dir.path()); };
    test::ProgramRun outcome = init();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(filesBelow(root / kInstalled), filesBelow(kResources));
    for (const auto& file : filesBelow(kResources))
        EXPECT_EQ(test::readHostFile(root / kInstalled / file), test::readHostFile(kResources / file))
            << file;
    for (const char* folder :
         {"Library/PreferenceBundles/VeltrixSettings.bundle/Plugins", "var/mobile/Documents",
          "var/mobile/Library/Preferences", "var/mobile/Library/Weather", "Library/Widgets",
          "Library/Themes", "var/mobile/Library/Veltrix", "var/mobile/Library/Tandrel",
          "var/mobile/Library/iWidgets", "var/mobile/Library/GroovyLock"})
        EXPECT_TRUE(fs::is_directory(root / folder)) << folder;

    test::writeHostFile(root / kInstalled / "VeltrixSettings.plist", "damaged");
    test::writeHostFile(root / kInstalled / "Plugins/Mine/Mine.plist", "plugin");
    test::writeHostFile(root / test::kPreferencesFile, "prefs");
    ASSERT_EQ(init().status, 0);
    EXPECT_EQ(test::readHostFile(root / kInstalled / "VeltrixSettings.plist"),
              test::readHostFile(kResources / "VeltrixSettings.plist"));
    EXPECT_EQ(test::readHostFile(root / kInstalled / "Plugins/Mine/Mine.plist"), "plugin");
    EXPECT_EQ(test::readHostFile(root / test::kPreferencesFile), "prefs");

    // Only init accepts a root that does not exist yet; a file is no root at all.
    test::ProgramRun missing = test::runShell(test::programOn(dir.path() / "missing") + " prefs read",
                                              dir.path());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("init"), std::string::npos) << missing.err;
    test::writeHostFile(dir.path() / "file", "x");
    EXPECT_NE(test::runShell(test::programOn(dir.path() / "file") + " init", dir.path()).status, 0);
}

// The demo device holds the plugin folder of the bundle, never a copy of the bundle's own
// files: those come from resources/ through init.
TEST(InitCommand, DemoDeviceKeepsNoCopyOfTheBundle) {
    const fs::path demoBundle = fs::path(VX_SOURCE_DIR) / "examples/device" / kInstalled;
    for (const auto& file : filesBelow(demoBundle)) EXPECT_EQ(file.rfind("Plugins/", 0), 0u) << file;
}

}  // namespace
}  // namespace vx
