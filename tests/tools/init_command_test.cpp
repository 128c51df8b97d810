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

class InitCommand : public ::testing::Test {
protected:
    test::ProgramRun run(const fs::path& root, const std::string& arguments) {
        return test::runShell(test::programOn(root) + " " + arguments, dir.path());
    }
    static std::vector<std::string> filesBelow(const fs::path& folder) {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file()) found.push_back(fs::relative(entry.path(), folder).string());
        std::sort(found.begin(), found.end());
        return found;
    }

    test::TempDir dir;
};

TEST_F(InitCommand, LaysOutAFreshRootWithTheBundleFromResources) {
    const fs::path root = dir.path() / "new" / "device";
    test::ProgramRun outcome = run(root, "init");
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
}

TEST_F(InitCommand, RerunRestoresTheBundleAndKeepsEverythingElse) {
    const fs::path root = dir.path() / "device";
    ASSERT_EQ(run(root, "init").status, 0);
    test::writeHostFile(root / kInstalled / "VeltrixSettings.plist", "damaged");
    test::writeHostFile(root / kInstalled / "Plugins/Mine/Mine.plist", "plugin");
    test::writeHostFile(root / "var/mobile/Library/Preferences/com.corvane.veltrix.plist", "prefs");

    ASSERT_EQ(run(root, "init").status, 0);
    EXPECT_EQ(test::readHostFile(root / kInstalled / "VeltrixSettings.plist"),
              test::readHostFile(kResources / "VeltrixSettings.plist"));
    EXPECT_EQ(test::readHostFile(root / kInstalled / "Plugins/Mine/Mine.plist"), "plugin");
    EXPECT_EQ(test::readHostFile(root / "var/mobile/Library/Preferences/com.corvane.veltrix.plist"),
              "prefs");
}

TEST_F(InitCommand, OnlyInitAcceptsARootThatDoesNotExistYet) {
    test::ProgramRun outcome = run(dir.path() / "missing", "prefs read");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("init"), std::string::npos) << outcome.err;
    test::writeHostFile(dir.path() / "file", "x");
    EXPECT_NE(run(dir.path() / "file", "init").status, 0);
}

// The demo device holds the plugin folder of the bundle, never a copy of the bundle's own
// files: those come from resources/ through init.
TEST_F(InitCommand, DemoDeviceKeepsNoCopyOfTheBundle) {
    const fs::path demoBundle = fs::path(VX_SOURCE_DIR) / "examples/device" / kInstalled;
    for (const auto& file : filesBelow(demoBundle)) EXPECT_EQ(file.rfind("Plugins/", 0), 0u) << file;
}

}  // namespace
}  // namespace vx
