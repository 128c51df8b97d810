#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/script.h"
#include "app_fixture.h"
#include "platform/ui/application.h"
#include "support/demo_device.h"

namespace vx {
namespace {

using test::pageEvents;

class ScriptRunTest : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        open();
    }

    Result<void> run(std::string_view text, bool json = false) {
        auto script = parseScript(text);
        if (!script) {
            return fail(script.error());
        }
        return runScript(app, *script, out, ScriptOptions{json});
    }

    std::ostringstream out;
};

TEST_F(ScriptRunTest, GesturesRunInOrderAndShowPrintsOneJsonObjectPerLine) {
    auto ran = run(
        "show\n"
        "switch Enabled on   # flip it\n"
        "tap Form\n"
        "type Name \"ex 2\"\n"
        "return\n"
        "tap Choice\n"
        "show\n"
        "alert Two\n"
        "button Edit\n"
        "move Alpha Gamma\n"
        "back\n"
        "tap Later\n"
        "wait 1\n"
        "keyboard show 100\n"
        "keyboard hide\n"
        "show\n",
        true);
    ASSERT_TRUE(ran.ok()) << ran.error();

    std::vector<nlohmann::json> screens;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        screens.push_back(nlohmann::json::parse(line));
    }
    ASSERT_EQ(screens.size(), 3u);
    EXPECT_EQ(screens[0]["sections"][0]["rows"][0]["control"]["on"], false);
    EXPECT_EQ(screens[1]["title"], "Form");
    EXPECT_EQ(screens[1]["depth"], 2);
    EXPECT_EQ(screens[1]["sections"][0]["rows"][0]["control"]["text"], "Alex 2");
    EXPECT_EQ(screens[1]["alert"]["title"], "Pick");
    EXPECT_EQ(screens[2]["depth"], 1);
    EXPECT_EQ(screens[2]["sections"][0]["rows"][0]["control"]["on"], true);
    EXPECT_TRUE(screens[2]["alert"].is_null());
    // The keyboard came up with the script's height (and went down with it).
    EXPECT_EQ(UIApplication::sharedApplication().keyboardFrame().size.height, 100);

    std::vector<std::string> expected{"set enabled=true", "form.pick 1", "move 0->2", "later.fired"};
    for (const auto& event : expected) {
        EXPECT_NE(std::find(pageEvents().begin(), pageEvents().end(), event), pageEvents().end())
            << event;
    }
}

TEST_F(ScriptRunTest, AGestureThatCannotApplyStopsTheScriptAtItsLine) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"tap Form\n\n  tap Nope  \nswitch Notify on\n",
         "line 3: tap Nope: no row \"Nope\" on \"Form\""},
        {"alert OK\n", "line 1: alert OK: no alert is up"},
        {"# only a comment\nback\n", "line 2: back: nothing to go back to"},
        {"tap Warn\ntap Form\n",
         "line 2: tap Form: an alert is up (\"Warning\"); answer it with one of its buttons: \"OK\", "
         "\"Cancel\""},
        {"return\n", "line 1: return: no text field is being edited"},
        {"keyboard hide\n", "line 1: keyboard hide: the keyboard is not up"},
        {"button Save\n",
         "line 1: button Save: no button \"Save\" on \"AppTestRoot\" (its buttons: none)"},
        {"switch Form on\n", "line 1: switch Form on: the row \"Form\" has no switch"},
    };
    for (const auto& c : cases) {
        auto opened = app.open("AppTestRoot");
        ASSERT_TRUE(opened.ok());
        pageEvents().clear();
        auto ran = run(c.script);
        ASSERT_FALSE(ran.ok()) << c.script;
        EXPECT_EQ(ran.error(), c.message);
    }
    // Nothing after the failing line ran.
    auto opened = app.open("AppTestRoot");
    ASSERT_TRUE(opened.ok());
    pageEvents().clear();
    EXPECT_FALSE(run("tap Form\ntap Nope\nswitch Notify on\n").ok());
    EXPECT_TRUE(std::none_of(pageEvents().begin(), pageEvents().end(),
                             [](const std::string& e) { return e.rfind("notify=", 0) == 0; }));
}

TEST_F(ScriptRunTest, ShowWithoutJsonPrintsTheTextPicture) {
    ASSERT_TRUE(run("tap Form\nshow\n").ok());
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("== Form ==  (depth 2)\n", 0), 0u) << text;
    EXPECT_NE(text.find("bar: [Edit]  |  \n"), std::string::npos) << text;
    EXPECT_NE(text.find("#0.0  Name  [text \"Al\"]"), std::string::npos) << text;
    EXPECT_NE(text.find("#0.2  Choice  | One  >"), std::string::npos) << text;
    EXPECT_NE(text.find("-- Items --\n  #1.0  Alpha  (checked)"), std::string::npos) << text;
}

// The program: argument wiring, messages and exit statuses (no page logic lives there).
class AppCommands : public ::testing::Test {
protected:
    test::ProgramRun program(const std::string& arguments) {
        return test::runShell(test::programOn(device.path()) + " " + arguments, device.path());
    }

    test::TempDir device;
};

TEST_F(AppCommands, MissingBundleAndBadScriptsFailWithStatusOne) {
    auto ran = program("show");
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("the settings bundle is not installed"), std::string::npos) << ran.err;
    EXPECT_NE(ran.err.find("veltrix-settings init"), std::string::npos) << ran.err;

    test::writeHostFile(device.path() / "bad.txt", "show\nfly away\n");
    ran = program("run " + test::shellQuoted((device.path() / "bad.txt").string()));
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("veltrix-settings: line 2: fly away: unknown gesture \"fly\""),
              std::string::npos)
        << ran.err;

    ran = program("run " + test::shellQuoted((device.path() / "absent.txt").string()));
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("cannot read the script"), std::string::npos) << ran.err;
}

TEST_F(AppCommands, ShowAndRunDriveTheInstalledBundle) {
    ASSERT_EQ(program("init").status, 0);

    auto ran = program("show --json");
    ASSERT_EQ(ran.status, 0) << ran.err;
    auto screen = nlohmann::json::parse(ran.out);
    EXPECT_EQ(screen["depth"], 1);
    EXPECT_FALSE(screen["sections"].empty());

    test::writeHostFile(device.path() / "script.txt", "show\ntap \"No Such Row\"\nshow\n");
    ran = program("run --json " + test::shellQuoted((device.path() / "script.txt").string()));
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("line 2: tap \"No Such Row\": no row \"No Such Row\""), std::string::npos)
        << ran.err;
    EXPECT_EQ(ran.out.find("\"depth\""), ran.out.rfind("\"depth\""))
        << "one screen printed before the stop";
}

}  // namespace
}  // namespace vx
