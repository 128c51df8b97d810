// The settings pages driven through the program, on a copy of the demo device, as a user
// would with `veltrix-settings run`.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/demo_device.h"

namespace vx {
namespace {

class SettingsThroughTheProgram : public test::DemoDeviceTest {
protected:
    static std::vector<std::string> labels(const nlohmann::json& screen) {
        std::vector<std::string> found;
        for (const auto& section : screen["sections"])
            for (const auto& row : section["rows"]) found.push_back(row["label"]);
        return found;
    }
};

TEST_F(SettingsThroughTheProgram, SliderExportDocumentationAndAPluginPage) {
    ASSERT_EQ(
        runScript("tap Advanced\nslide \"Refresh Interval\" 90\nshow\nslide \"Refresh Interval\" 2.5\n"
                  "back\ntap \"Export Location\"\ntap Documentation\ntap Plugins\n"
                  "tap \"Example Plugin\"\nswitch \"Enable Example\" on\nshow\n"),
        0)
        << errors();
    EXPECT_NE(errors().find("veltrix-settings: opened https://docs.corvane.com/veltrix/\n"),
              std::string::npos)
        << errors();
    const auto screens = screensShown();
    ASSERT_EQ(screens.size(), 2u) << output();
    // The slider shows the clamped value; the file keeps what was set.
    const nlohmann::json* row = nullptr;
    for (const auto& section : screens[0]["sections"])
        for (const auto& shown : section["rows"])
            if (shown["label"] == "Refresh Interval") row = &shown;
    ASSERT_NE(row, nullptr);
    EXPECT_EQ((*row)["control"],
              nlohmann::json::parse(R"({"kind": "slider", "value": 60, "min": 1, "max": 60})"));
    EXPECT_EQ((*row)["detail"], "60");
    EXPECT_EQ(readPlist(test::kPreferencesFile)["refreshInterval"], 2.5);
    EXPECT_EQ(test::readHostFile(device() / "var/mobile/Documents/myLocation.txt"),
              "Lat=48.856600\nLong=2.352200");
    EXPECT_EQ(screens[1]["title"], "Example Plugin");
    EXPECT_EQ(
        readPlist("var/mobile/Library/Preferences/com.example.veltrix-plugin.plist")["exampleEnabled"],
        true);

    EXPECT_EQ(runScript("tap Advanced\nslide \"Allow Scrolling\" 1\n"), 1);
    EXPECT_NE(
        errors().find("line 2: slide \"Allow Scrolling\" 1: the row \"Allow Scrolling\" has no slider"),
        std::string::npos)
        << errors();
}

TEST_F(SettingsThroughTheProgram, GermanTextsWithLang) {
    ASSERT_EQ(program("--lang de show --json Widget-Aktionen"), 0) << output();
    auto page = nlohmann::json::parse(output());
    EXPECT_EQ(page["title"], "Widget-Aktionen");
    EXPECT_EQ(page["sections"][1]["title"], "Beim Laden");
}

// The device root is a jail: a theme linked to a folder outside it is not offered, and a
// location file that is a link is replaced, never written through.
TEST_F(SettingsThroughTheProgram, LinksOutOfTheRootAreNeverFollowed) {
    test::TempDir outside;
    test::writeHostFile(outside.path() / "victim.txt", "mine");
    std::filesystem::create_directories(outside.path() / "Evil.theme");
    test::writeHostFile(outside.path() / "Evil.theme/LockBackground.html", "<html></html>");
    std::filesystem::create_directory_symlink(outside.path() / "Evil.theme",
                                              device() / "Library/Themes/Evil.theme");
    const auto location = device() / "var/mobile/Documents/myLocation.txt";
    std::filesystem::create_symlink(outside.path() / "victim.txt", location);

    ASSERT_EQ(runScript("tap \"Export Location\"\ntap Themes\nshow\n"), 0) << errors();
    EXPECT_EQ(test::readHostFile(outside.path() / "victim.txt"), "mine");
    EXPECT_FALSE(std::filesystem::is_symlink(location));
    EXPECT_EQ(test::readHostFile(location), "Lat=48.856600\nLong=2.352200");
    auto themes = labels(screensShown().back());
    EXPECT_EQ(std::count(themes.begin(), themes.end(), "Evil"), 0);
    EXPECT_NE(std::count(themes.begin(), themes.end(), "Clock"), 0);
    EXPECT_NE(errors().find("Evil.theme"), std::string::npos) << "one line names the refused entry";
}

// A gesture whose save fails stops the script at its line, says why, and exits 1; the
// file keeps the stored value.
TEST_F(SettingsThroughTheProgram, AGestureWhoseSaveFailsStopsTheScript) {
    if (!test::straceCanInject()) GTEST_SKIP() << "strace cannot inject faults here";
    ASSERT_EQ(program("prefs write enabled -bool YES"), 0);
    EXPECT_EQ(shell("printf 'switch Enabled off\\nshow\\n' | " +
                    test::underStrace("-e trace=fsync -e inject=fsync:error=EIO:when=1") +
                    test::programOn(device()) + " run --json -"),
              1);
    EXPECT_NE(errors().find("line 1: switch Enabled off: not saved: "), std::string::npos) << errors();
    EXPECT_EQ(output().find('{'), std::string::npos) << "the script stopped before show";
    ASSERT_EQ(program("prefs read enabled"), 0);
    EXPECT_EQ(output(), "1\n");
}

}  // namespace
}  // namespace vx
