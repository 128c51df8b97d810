// `theme list|export|import|reset` on the demo device, and `theme lint` over a table of
// broken themes.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::shellQuoted;

constexpr const char* kCalendar = "/var/mobile/Library/Tandrel/Calendar.theme";
constexpr const char* kWeather = "/Library/Widgets/Weather.bundle";

json record(const std::string& name, const std::string& path, const std::string& html) {
    return {{"name", name}, {"path", path}, {"html", html}};
}

class ThemeCommandTest : public test::DemoDeviceTest {
protected:
    // Replaces the preferences file with the JSON given (through python's plistlib).
    void storePreferences(const json& preferences) {
        test::writeHostFile(scratch() / "prefs.json", preferences.dump());
        ASSERT_EQ(shell("python3 -c 'import json,plistlib,sys; sys.stdout.buffer.write(plistlib.dumps("
                        "json.load(open(sys.argv[1]))))' " +
                        shellQuoted((scratch() / "prefs.json").string()) + " | " +
                        test::programOn(device()) + " prefs import - >/dev/null"),
                  0)
            << errors();
    }
    json preferences() {
        EXPECT_EQ(program("prefs read --json"), 0) << errors();
        return json::parse(output());
    }
    json themeRow(const json& list, const std::string& entry) {
        for (const json& theme : list["themes"])
            if (theme["entry"] == entry) return theme;
        ADD_FAILURE() << "no row " << entry;
        return {};
    }
};

TEST_F(ThemeCommandTest, ListExportResetAndImportGiveBackWhatTheFileKeptForATheme) {
    const json lines = {"var accentColor = \"#00ff00\" ;", "var weekStartsMonday = false;"};
    const json stored = {{"ThemesSelected",
                          {record("Weather", kWeather, "Widget.html"),
                           record("Calendar", kCalendar, "LockBackground.html"),
                           record("Gone", "/Library/Themes/Gone.theme", "Widget.html")}},
                         {"WidgetCoordinates", {{"Calendar", {{"widgetX", 10}, {"widgetY", "20"}}}}},
                         {"ThemeOptions", {{kCalendar, lines}, {"/elsewhere", {"var x = 1;"}}}},
                         {"kept", "as is"}};
    storePreferences(stored);

    ASSERT_EQ(program("theme list --json"), 0) << errors();
    json list = json::parse(output());
    json calendar = themeRow(list, "Calendar.theme");
    const json expected = json::parse(R"({"position": 2, "coordinates": {"x": 10.0, "y": 20.0},
        "options": "Options.plist", "storedLines": 2, "folder": "/var/mobile/Library/Tandrel"})");
    for (const auto& [field, value] : expected.items()) EXPECT_EQ(calendar[field], value) << field;
    EXPECT_EQ(themeRow(list, "Clock.veltrix")["options"], "config.js");
    EXPECT_EQ(themeRow(list, "Clock.theme")["selected"], false);
    EXPECT_EQ(list["stale"],
              json::array({{{"position", 3},
                            {"record", record("Gone", "/Library/Themes/Gone.theme", "Widget.html")}}}));
    ASSERT_EQ(program("theme list"), 0);
    EXPECT_NE(output().find("stale #3: Gone"), std::string::npos) << output();

    const std::string exported = (scratch() / "calendar.plist").string();
    ASSERT_EQ(program("theme export Calendar " + shellQuoted(exported)), 0) << errors();
    ASSERT_EQ(program("theme reset Calendar"), 0);
    EXPECT_NE(output().find("removed the coordinates of Calendar (x 10, y 20)"), std::string::npos)
        << output();
    EXPECT_NE(output().find("removed 2 stored lines of " + std::string(kCalendar)), std::string::npos);
    json afterReset = preferences();
    EXPECT_EQ(afterReset["ThemesSelected"], stored["ThemesSelected"]);  // the selection stays
    EXPECT_EQ(afterReset["WidgetCoordinates"], json::object());
    EXPECT_EQ(afterReset["ThemeOptions"], json({{"/elsewhere", {"var x = 1;"}}}));
    ASSERT_EQ(program("theme reset Calendar.theme"), 0);
    EXPECT_EQ(output(), "nothing stored for Calendar.theme; nothing removed\n");

    // Deselected meanwhile: the import puts the record back at its place, and the rest.
    json deselected = stored;
    deselected["ThemesSelected"].erase(1);
    storePreferences(deselected);
    ASSERT_EQ(program("theme import " + shellQuoted(exported)), 0) << errors();
    EXPECT_EQ(preferences(), stored);
}

TEST_F(ThemeCommandTest, UnknownAmbiguousOrAbsentThemesAndBadFilesAreRefused) {
    struct Case {
        std::string arguments;
        int status;
        std::string message;
    };
    test::writeHostFile(scratch() / "array.plist", "<plist><array/></plist>");
    test::writeHostFile(
        scratch() / "elsewhere.plist",
        "<plist><dict><key>Theme</key><dict><key>name</key><string>Far</string><key>path</key>"
        "<string>/Library/Themes/Far.theme</string><key>html</key><string>Widget.html</string>"
        "</dict></dict></plist>");
    // A theme folder that is a link out of the device root is no theme of this device.
    test::writeHostFile(scratch() / "outside" / "Out.theme" / "Widget.html", "<html></html>");
    fs::create_directory_symlink(scratch() / "outside" / "Out.theme",
                                 device() / "Library/Themes/Out.theme");
    const std::string dir = shellQuoted(scratch().string());
    for (const Case& c : std::vector<Case>{
             {"theme export Nowhere", 1, "no theme named \"Nowhere\""},
             {"theme export Clock", 1, "\"Clock\" names 2 themes: Clock.theme"},
             {"theme reset Nowhere", 1, "no theme named"},
             {"theme export Out", 1, "no theme named \"Out\""},
             {"theme import " + dir + "/missing.plist", 1, "cannot read"},
             {"theme import " + dir + "/array.plist", 1, "is not a theme export"},
             {"theme import " + dir + "/elsewhere.plist", 1, "is not on this device"},
             {"theme export", 2, "NAME is required"},
             {"theme lint", 2, "PATH is required"},
             {"theme frobnicate", 2, ""},
         }) {
        EXPECT_EQ(program(c.arguments), c.status) << c.arguments;
        EXPECT_NE(errors().find(c.message), std::string::npos) << c.arguments << ": " << errors();
    }
    EXPECT_EQ(program("theme import --force " + dir + "/elsewhere.plist"), 0) << errors();
    EXPECT_EQ(program("theme list --json"), 0);
    EXPECT_EQ(json::parse(output())["stale"], json::array());  // not selected in the export

    EXPECT_EQ(program("theme lint " + shellQuoted((device() / "Library/Themes/Out.theme").string())), 1);
    EXPECT_NE(output().find(": error: no LockBackground.html"), std::string::npos) << output();

    // A preferences file that does not parse is reported, never replaced.
    test::writeHostFile(device() / test::kPreferencesFile, "<plist><dict><key>lost");
    for (const std::string& arguments : std::vector<std::string>{
             "theme list", "theme reset Calendar", "theme import " + dir + "/elsewhere.plist"}) {
        EXPECT_EQ(program(arguments), 1) << arguments;
        EXPECT_NE(errors().find("cannot read"), std::string::npos) << arguments << ": " << errors();
    }
    EXPECT_EQ(test::readHostFile(device() / test::kPreferencesFile), "<plist><dict><key>lost");
}

// ---- lint --------------------------------------------------------------------------------

struct BrokenTheme {
    std::string folder;                        // relative to the lint folder
    std::map<std::string, std::string> files;  // file name → contents
    std::vector<std::string> expected;         // "FILE:LINE: severity: fragment", FILE relative
};

std::string optionsPlist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body +
           "\n</plist>\n";
}

std::string entry(const std::string& keys) { return "<dict>" + keys + "</dict>"; }
std::string key(const std::string& k, const std::string& v) {
    return "<key>" + k + "</key><string>" + v + "</string>";
}

TEST(ThemeLint, EachBrokenThemeGetsItsMessageAtItsPositionAndNothingIsChanged) {
    const std::string html = "<html></html>";
    const std::vector<BrokenTheme> themes{
        {"NoHtml.theme",
         {{"Options.plist", optionsPlist("<array/>")}},
         {": error: no LockBackground.html or Widget.html"}},
        {"Library/Widgets/Plug", {{"readme", "x"}}, {": OK\n"}},  // a plugin entry needs no HTML
        {"Unparsable.theme",
         {{"Widget.html", html},
          {"Options.plist", optionsPlist("<array>\n<dict><key>a</key>\n</array>")}},
         {"Options.plist:5: error: "}},
        {"NotArray.theme",
         {{"Widget.html", html}, {"Options.plist", optionsPlist("<dict/>")}},
         {"Options.plist: error: the root of"}},
        {"Entries.theme",
         {{"Widget.html", html},
          {"Options.plist",
           optionsPlist("<array><string>loose</string>" +
                        entry(key("name", "1st") + key("type", "edit")) +
                        entry(key("name", "if") + key("type", "edit")) + entry(key("type", "edit")) +
                        entry(key("name", "size") + key("type", "slider")) +
                        entry(key("name", "font") + key("type", "select")) +
                        entry(key("name", "unit") + key("type", "select") + key("default", "pt") +
                              "<key>options</key><dict>" + key("px", "px") + "</dict>") +
                        entry(key("name", "shown") + key("type", "switch") + key("default", "on")) +
                        entry(key("name", "quoted") + key("type", "switch") + key("default", "'yes'")) +
                        entry(key("name", "fine") + key("type", "switch") + key("default", " yes")) +
                        entry(key("name", "size") + key("type", "edit")) + "</array>")}},
         {"Options.plist: error: entry 1 is not a dictionary",
          "Options.plist: error: entry 2: \"1st\" is not a JavaScript identifier",
          "Options.plist: error: entry 3: \"if\" is not",
          "Options.plist: error: entry 4 has no \"name\"",
          "Options.plist: warning: entry 5 (size): type \"slider\" is not edit, switch or select",
          "Options.plist: warning: entry 6 (font): a select without options",
          "Options.plist: warning: entry 7 (unit): the default \"pt\" is not one of its options",
          "Options.plist: warning: entry 8 (shown): the switch reads the default \"on\" as off",
          "Options.plist: warning: entry 9 (quoted): the switch reads",
          "Options.plist: warning: entry 11: the name \"size\" is also entry 5's"}},
        {"Script.theme",
         {{"Widget.html", html},
          {"settings.js",
           "var a = 1;\nvar b;\nvar c = \"x\\u0001\";\n\nvar a = 2;\nvar my-name = 3;\n"}},
         {"settings.js: note: without Options.plist, optimisation reads this script as UTF-8",
          "settings.js:1: note: option \"a\" (edit, default \"1\")",
          "settings.js:2: warning: \"b\" has no \"=\"",
          "settings.js:3: warning: the value of \"c\" holds text the preferences file refuses",
          "settings.js:5: warning: \"a\" is declared again (first on line 1)",
          "settings.js:6: warning: \"my-name\" is not a JavaScript identifier"}},
        {"Good.theme",
         {{"LockBackground.html", html},
          {"Options.plist",
           optionsPlist("<array>" +
                        entry(key("name", "ok") + key("type", "switch") + key("default", "true")) +
                        "</array>")}},
         {": OK\n"}},
    };
    test::TempDir dir, scratch;
    std::string paths;
    for (const BrokenTheme& theme : themes) {
        for (const auto& [name, contents] : theme.files)
            test::writeHostFile(dir.path() / theme.folder / name, contents);
        paths += " " + shellQuoted((dir.path() / theme.folder).string());
    }
    auto files = [&] {
        std::map<fs::path, std::string> all;
        for (const auto& file : fs::recursive_directory_iterator(dir.path()))
            if (file.is_regular_file()) all[file.path()] = test::readHostFile(file.path());
        return all;
    };
    const auto before = files();
    auto lint = [&](const std::string& arguments) {
        return test::runShell(shellQuoted(VX_PROGRAM) + " theme lint " + arguments, scratch.path());
    };

    test::ProgramRun all = lint(paths);
    EXPECT_EQ(all.status, 1);
    std::size_t problems = 0;
    for (const BrokenTheme& theme : themes) {
        for (const std::string& expected : theme.expected) {
            const std::string line = (dir.path() / theme.folder).string() +
                                     (expected.front() == ':' ? "" : "/") + expected;
            EXPECT_NE(all.out.find(line), std::string::npos) << line << "\n" << all.out;
            problems += expected.find(": error: ") != std::string::npos ||
                        expected.find(": warning: ") != std::string::npos;
        }
    }
    std::size_t problemLines = 0;
    for (const char* severity : {": error: ", ": warning: "})
        for (std::size_t at = 0; (at = all.out.find(severity, at)) != std::string::npos; ++at)
            ++problemLines;
    EXPECT_EQ(problemLines, problems) << all.out;  // nothing reported beyond the table
    EXPECT_NE(all.out.find("Entries.theme: 4 errors, 6 warnings\n"), std::string::npos) << all.out;
    EXPECT_EQ(files(), before) << "lint changes nothing";

    const std::string good = shellQuoted((dir.path() / "Good.theme").string());
    const std::string unparsable = shellQuoted((dir.path() / "Unparsable.theme").string());
    json reports = json::parse(lint("--json " + good + " " + unparsable).out)["themes"];
    EXPECT_EQ(reports[0]["errors"], 0);
    EXPECT_EQ(reports[1]["messages"][0]["line"], 5);
    EXPECT_EQ(reports[1]["messages"][0]["severity"], "error");
    EXPECT_EQ(lint(good).status, 0);
}

}  // namespace
}  // namespace vx
