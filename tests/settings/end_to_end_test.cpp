// The settings pages driven through the program, on a copy of the demo device, as a user
// would with `veltrix-settings run`.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "support/demo_device.h"

namespace vx {
namespace {

using SettingsThroughTheProgram = test::DemoDeviceTest;

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
    nlohmann::json row;
    for (const auto& section : screens[0]["sections"])
        for (const auto& shown : section["rows"])
            if (shown["label"] == "Refresh Interval") row = shown;
    EXPECT_EQ(row["control"],
              nlohmann::json::parse(R"({"kind": "slider", "value": 60, "min": 1, "max": 60})"));
    EXPECT_EQ(row["detail"], "60");
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

}  // namespace
}  // namespace vx
