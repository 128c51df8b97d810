// The whole road through the built program: open Themes, select a theme with a settings
// script, optimise it, edit a text and a switch, choose an option on a shipped options
// file, press "Done"; the files are then read by Python's plistlib, not by our reader.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTricky = "var/mobile/Library/Veltrix/Tricky.veltrix";
constexpr const char* kTrickyScript =
    "// Tricky theme: the editor offers each declaration below.\n"
    "var title = \"Hello\";\n"
    "var enabled = false;\n"
    "var note = \"x\";\n";

class EditorRoadTest : public test::DemoDeviceTest {
protected:
    // Runs a gesture script; one JSON screen per "show".
    std::vector<nlohmann::json> run(const std::string& script) {
        EXPECT_EQ(runScript(script), 0) << errors();
        return screensShown();
    }
    void addTheme(const std::string& folder, const std::string& script, const std::string& text) const {
        test::writeHostFile(device() / folder / "Widget.html", "<html></html>");
        test::writeHostFile(device() / folder / script, text);
    }
};

TEST_F(EditorRoadTest, SelectOptimiseEditAndDoneEndInThePreferencesFile) {
    addTheme(kTricky, "TrickySettings.js", kTrickyScript);
    const nlohmann::json shippedOptions = readPlist(
        "var/mobile/Library/Tandrel/Calendar.theme/Options.plist");
    const auto screens = run(
        "tap Themes\ntap Tricky\nshow\nalert Yes\nshow\nclear note\ntype note \"a\\\"b</c\\\\d\"\n"
        "switch enabled on\nbutton Done\ntap Calendar\ntap Language\ntap Français\n"
        "button Done\nbutton Done\nshow\n");
    ASSERT_EQ(screens.size(), 3u) << output();
    EXPECT_EQ(screens[0]["alert"]["title"], "Optimize for Veltrix");
    EXPECT_EQ(screens[0]["modal"], true);
    const nlohmann::json& rows = screens[1]["sections"][0]["rows"];
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0]["control"], (nlohmann::json{{"kind", "text"}, {"text", "Hello"}}));
    EXPECT_EQ(rows[1]["control"], (nlohmann::json{{"kind", "switch"}, {"on", false}}));
    EXPECT_EQ(screens[2]["title"], "Themes");
    EXPECT_EQ(screens[2]["modal"], false);

    const nlohmann::json preferences = readPlist(test::kPreferencesFile);
    const nlohmann::json& themeOptions = preferences["ThemeOptions"];
    EXPECT_EQ(themeOptions["/var/mobile/Library/Veltrix/Tricky.veltrix"],
              (nlohmann::json::array({"var title = \"Hello\" ;", "var enabled = true;",
                                      "var note = \"a\\\"b<\\/c\\\\d\" ;"})));
    EXPECT_EQ(themeOptions["/var/mobile/Library/Tandrel/Calendar.theme"],
              (nlohmann::json::array({"var accentColor = \"#ff7a00\" ;", "var weekStartsMonday = true;",
                                      "var language = \"fr\" ;"})));

    // The script stands under its backup name, untouched; the built options file holds the
    // extracted entries; the shipped options file was only read.
    EXPECT_FALSE(fs::exists(device() / kTricky / "TrickySettings.js"));
    EXPECT_EQ(test::readHostFile(device() / kTricky / "TrickySettings.js.bak"), kTrickyScript);
    auto entry = [](std::string name, std::string type, std::string value) {
        return nlohmann::json{{"label", name}, {"name", name}, {"type", type}, {"default", value}};
    };
    EXPECT_EQ(
        readPlist(std::string(kTricky) + "/Options.plist"),
        (nlohmann::json::array({entry("title", "edit", "Hello"), entry("enabled", "switch", "false"),
                                entry("note", "edit", "x")})));
    EXPECT_EQ(readPlist("var/mobile/Library/Tandrel/Calendar.theme/Options.plist"), shippedOptions);
}

TEST_F(EditorRoadTest, ARefusedWriteOfTheOptionsFileGoesThroughTheFileMover) {
    if (!test::straceCanInject()) GTEST_SKIP() << "strace cannot inject faults here";
    addTheme(kTricky, "TrickySettings.js", kTrickyScript);
    test::writeHostFile(scratch() / "script", "tap Themes\ntap Tricky\nalert Yes\n");
    // Rename 1 saves the selection; rename 2, our own write of Options.plist, is refused.
    const std::string renames = "rename,renameat,renameat2";
    ASSERT_EQ(
        shell(
            test::underStrace("-e trace=" + renames + " -e inject=" + renames + ":error=EROFS:when=2") +
            test::programOn(device()) + " run " + test::shellQuoted((scratch() / "script").string())),
        0)
        << errors();
    EXPECT_NE(errors().find("asking the file mover"), std::string::npos) << errors();
    EXPECT_EQ(readPlist(std::string(kTricky) + "/Options.plist").size(), 3u);
    EXPECT_FALSE(fs::exists(device() / kTricky / "TrickySettings.js"));
    EXPECT_TRUE(fs::exists(device() / kTricky / "TrickySettings.js.bak"));
    for (const auto& entry : fs::directory_iterator(device() / "var/mobile/Library/Preferences"))
        EXPECT_EQ(entry.path().filename().string().rfind("Options-", 0), std::string::npos)
            << entry.path();
}

// The editor's table is one that keeps the edited field in view (the keyboard tests follow
// the details).
TEST_F(EditorRoadTest, TheKeyboardMovesTheEditedFieldIntoView) {
    std::string script;
    for (int i = 1; i <= 12; ++i)
        script += "var field" + std::to_string(i) + " = \"v" + std::to_string(i) + "\";\n";
    addTheme("Library/Themes/Long.theme", "options.js", script);
    const auto screens = run("tap Themes\ntap Long\nalert Yes\ntype field11 x\nkeyboard show\nshow\n");
    ASSERT_EQ(screens.size(), 1u) << output();
    const nlohmann::json& shown = screens[0]["scroll"];
    // The table ends at 416 on a 568-point screen; a 216-point keyboard covers the last 64.
    EXPECT_EQ(shown["contentInset"], (nlohmann::json::array({0.0, 0.0, 64.0, 0.0})));
    // Row 10 (field11) lies at 18 + 10 × 44 in the grouped table; it must stand inside the
    // 352 points that stay visible.
    const double offset = shown["contentOffset"][1], rowTop = 18 + 10 * 44;
    EXPECT_GT(offset, 0.0);
    EXPECT_LE(offset, rowTop);
    EXPECT_GE(offset + 352, rowTop + 44);
    EXPECT_EQ(screens[0]["sections"][0]["rows"][10]["control"]["text"], "v11x");
}

}  // namespace
}  // namespace vx
