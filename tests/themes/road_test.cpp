// The whole road through the built program: open Themes, select, answer the reset alert,
// reorder, type coordinates; the file is then read by Python's plistlib, not by our reader.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_value.h"
#include "support/demo_device.h"

namespace vx {
namespace {

using ThemeRoadTest = test::DemoDeviceTest;

TEST_F(ThemeRoadTest, SelectResetReorderAndTypeCoordinatesEndInTheFile) {
    plist::Dictionary start{
        {"lockNote", "hello"},
        {"WidgetCoordinates",
         plist::Dictionary{{"Moon", plist::Dictionary{{"widgetX", "0"}, {"widgetY", "12"}}},
                           {"Gone", plist::Dictionary{{"widgetX", 1}, {"widgetY", 2}}}}}};
    test::writeHostFile(device() / test::kPreferencesFile, plist::writeXml(plist::Value(start)));
    ASSERT_EQ(runScript("tap Themes\ntap Battery\ntap Moon\nshow\nalert Reset\ntap Weather\n"
                        "button Reorder\nmove #2 #0\nshow\nbutton Done\nback\n"
                        "tap \"Widget Coordinates\"\nclear Moon/X\ntype Moon/X 5\n"
                        "clear Battery/Y\ntype Battery/Y -3.50\nshow\n"),
              0)
        << errors();

    // Three screens: the alert over the list, the order page, the coordinates page.
    const auto screens = screensShown();
    ASSERT_EQ(screens.size(), 3u) << output();
    EXPECT_EQ(screens[0]["alert"]["title"], "Reset Widget Coordinates");
    EXPECT_EQ(screens[1]["title"], "Theme Order");
    EXPECT_EQ(screens[2]["title"], "Coordinates");

    const nlohmann::json file = readPlist(test::kPreferencesFile);

    auto record = [](std::string name, std::string path, std::string html) {
        return nlohmann::json{{"name", name}, {"path", path}, {"html", html}};
    };
    EXPECT_EQ(
        file["ThemesSelected"],
        (nlohmann::json::array(
            {record("Weather", "/Library/Widgets/Weather.bundle", "Widget.html"),
             record("Battery", "/Library/Themes/Battery.theme", "Widget.html"),
             record("Moon", "/var/mobile/Library/GroovyLock/Moon.theme", "LockBackground.html")})));
    EXPECT_EQ(file["widgetX"], 0);
    EXPECT_EQ(file["widgetY"], 0);
    EXPECT_EQ(file["lockNote"], "hello");
    const nlohmann::json& coordinates = file["WidgetCoordinates"];
    EXPECT_EQ(coordinates["Moon"], (nlohmann::json{{"widgetX", "5"}, {"widgetY", "12"}}));
    EXPECT_EQ(coordinates["Battery"], (nlohmann::json{{"widgetX", 0}, {"widgetY", "-3.50"}}));
    EXPECT_EQ(coordinates["Weather"], (nlohmann::json{{"widgetX", 0}, {"widgetY", 0}}));
    EXPECT_EQ(coordinates["Gone"], (nlohmann::json{{"widgetX", 1}, {"widgetY", 2}}));
}

}  // namespace
}  // namespace vx
