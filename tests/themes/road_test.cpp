// The whole road through the built program: open Themes, select, answer the reset alert,
// reorder, type coordinates; the file is then read by Python's plistlib, not by our reader.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_value.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class ThemeRoadTest : public ::testing::Test {
protected:
    ThemeRoadTest() {
        fs::copy(fs::path(VX_SOURCE_DIR) / "examples" / "device", device(), fs::copy_options::recursive);
        EXPECT_EQ(shell(program() + " init"), 0);
    }
    fs::path device() const { return dir_.path() / "device"; }
    fs::path preferences() const {
        return device() / "var/mobile/Library/Preferences/com.corvane.veltrix.plist";
    }
    std::string program() const { return quoted(VX_PROGRAM) + " --root " + quoted(device()); }
    int shell(const std::string& command) const {
        const std::string line = command + " >" + quoted(dir_.path() / "out") + " 2>" + quoted(dir_.path() / "err");
        const int raw = std::system(line.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::string output() const { return test::readHostFile(dir_.path() / "out"); }
    std::string errors() const { return test::readHostFile(dir_.path() / "err"); }

    test::TempDir dir_;
};

TEST_F(ThemeRoadTest, SelectResetReorderAndTypeCoordinatesEndInTheFile) {
    plist::Dictionary start{
        {"lockNote", "hello"},
        {"WidgetCoordinates", plist::Dictionary{{"Moon", plist::Dictionary{{"widgetX", "0"}, {"widgetY", "12"}}},
                                                {"Gone", plist::Dictionary{{"widgetX", 1}, {"widgetY", 2}}}}}};
    fs::create_directories(preferences().parent_path());
    test::writeHostFile(preferences(), plist::writeXml(plist::Value(start)));
    test::writeHostFile(dir_.path() / "script",
                        "tap Themes\n"
                        "tap Battery\n"
                        "tap Moon\n"
                        "show\n"
                        "alert Reset\n"
                        "tap Weather\n"
                        "button Reorder\n"
                        "move #2 #0\n"
                        "show\n"
                        "button Done\n"
                        "back\n"
                        "tap \"Widget Coordinates\"\n"
                        "clear Moon/X\n"
                        "type Moon/X 5\n"
                        "clear Battery/Y\n"
                        "type Battery/Y -3.50\n"
                        "show\n");
    ASSERT_EQ(shell(program() + " run --json " + quoted(dir_.path() / "script")), 0) << errors();

    // Three screens: the alert over the list, the order page, the coordinates page.
    std::vector<nlohmann::json> screens;
    std::istringstream lines(output());
    for (std::string line; std::getline(lines, line);) screens.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(screens.size(), 3u) << output();
    EXPECT_EQ(screens[0]["alert"]["title"], "Reset Widget Coordinates");
    EXPECT_EQ(screens[1]["title"], "Theme Order");
    EXPECT_EQ(screens[2]["title"], "Coordinates");

    const std::string reader =
        "import json, plistlib, sys\n"
        "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb'))))\n";
    test::writeHostFile(dir_.path() / "read.py", reader);
    ASSERT_EQ(shell("python3 " + quoted(dir_.path() / "read.py") + " " + quoted(preferences())), 0) << errors();
    const nlohmann::json file = nlohmann::json::parse(output());

    auto record = [](std::string name, std::string path, std::string html) {
        return nlohmann::json{{"name", name}, {"path", path}, {"html", html}};
    };
    EXPECT_EQ(file["ThemesSelected"],
              (nlohmann::json::array({record("Weather", "/Library/Widgets/Weather.bundle", "Widget.html"),
                                      record("Battery", "/Library/Themes/Battery.theme", "Widget.html"),
                                      record("Moon", "/var/mobile/Library/GroovyLock/Moon.theme",
                                             "LockBackground.html")})));
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
