// The settings pages driven through the program, on a copy of the demo device, as a user
// would with `veltrix-settings run`.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

class SettingsThroughTheProgram : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(fs::path(VX_SOURCE_DIR) / "examples/device", device(),
                 fs::copy_options::recursive);
        ASSERT_EQ(program("init"), 0);
    }
    fs::path device() const { return dir.path() / "device"; }

    // Runs the program on the device; standard output is kept in `out`.
    int program(const std::string& arguments) {
        const std::string command = std::string("'") + VX_PROGRAM + "' --root '" +
                                    device().string() + "' " + arguments + " >'" +
                                    (dir.path() / "out").string() + "' 2>'" +
                                    (dir.path() / "err").string() + "'";
        const int raw = std::system(command.c_str());
        out = test::readHostFile(dir.path() / "out");
        err = test::readHostFile(dir.path() / "err");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    int runScript(const std::string& script, const std::string& options = "--json") {
        test::writeHostFile(dir.path() / "script", script);
        return program("run " + options + " '" + (dir.path() / "script").string() + "'");
    }
    static std::vector<std::string> labels(const nlohmann::json& screen) {
        std::vector<std::string> found;
        for (const auto& section : screen["sections"])
            for (const auto& row : section["rows"]) found.push_back(row["label"]);
        return found;
    }

    test::TempDir dir;
    std::string out;
    std::string err;
};

TEST_F(SettingsThroughTheProgram, BatteryRowFollowsItsSwitchAndTheFileKeepsTheValue) {
    ASSERT_EQ(runScript("tap \"Widget Actions\"\nshow\n"
                        "switch \"Fade While Charging\" on\nshow\n"
                        "back\ntap \"Widget Actions\"\nshow\n"),
              0)
        << out;
    std::istringstream lines(out);
    std::vector<nlohmann::json> screens;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] == '{') screens.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(screens.size(), 3u) << out;

    auto before = labels(screens[0]);
    EXPECT_EQ(std::count(before.begin(), before.end(), "Show Battery Text"), 0);
    auto after = labels(screens[1]);
    auto fade = std::find(after.begin(), after.end(), "Fade While Charging");
    ASSERT_NE(fade, after.end());
    ASSERT_NE(fade + 1, after.end());
    EXPECT_EQ(*(fade + 1), "Show Battery Text");
    EXPECT_EQ(labels(screens[2]), after);  // reopened with the stored value on

    ASSERT_EQ(program("prefs read fadeWhileCharging"), 0);
    EXPECT_EQ(out, "1\n");
}

TEST_F(SettingsThroughTheProgram, ExportLocationWritesTheDemoCityAndPluginsOpen) {
    ASSERT_EQ(runScript("tap \"Export Location\"\ntap Plugins\ntap \"Example Plugin\"\n"
                        "switch \"Enable Example\" on\nshow\n"),
              0)
        << out;
    EXPECT_EQ(err.find("opened"), std::string::npos);
    EXPECT_EQ(test::readHostFile(device() / "var/mobile/Documents/myLocation.txt"),
              "Lat=48.856600\nLong=2.352200");
    auto screen = nlohmann::json::parse(out.substr(out.find('{')));
    EXPECT_EQ(screen["title"], "Example Plugin");
    EXPECT_NE(test::readHostFile(device() /
                                 "var/mobile/Library/Preferences/com.example.veltrix-plugin.plist")
                  .find("exampleEnabled"),
              std::string::npos);
}

TEST_F(SettingsThroughTheProgram, DocumentationAddressIsPrinted) {
    ASSERT_EQ(runScript("tap Documentation\n", ""), 0) << err;
    EXPECT_NE(err.find("veltrix-settings: opened https://docs.corvane.com/veltrix/\n"),
              std::string::npos)
        << err;
}

TEST_F(SettingsThroughTheProgram, GermanTextsWithLang) {
    ASSERT_EQ(program("--lang de show --json"), 0) << out;
    auto root = nlohmann::json::parse(out);
    EXPECT_EQ(root["header"], (nlohmann::json{"Veltrix4", "von Corvane Labs"}));
    auto rows = labels(root);
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Erweiterungen"), rows.end());  // the demo plugin

    ASSERT_EQ(program("--lang de show --json Widget-Aktionen"), 0) << out;
    auto page = nlohmann::json::parse(out);
    EXPECT_EQ(page["title"], "Widget-Aktionen");
    EXPECT_EQ(page["sections"][1]["title"], "Beim Laden");
}

}  // namespace
}  // namespace vx
