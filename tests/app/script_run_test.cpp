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

// The application's own refusals are tested with it; here, that a script names the line (blank
// lines and comments counted), and that nothing after it runs.
TEST_F(ScriptRunTest, AGestureThatCannotApplyStopsTheScriptAtItsLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"tap Form\n\n  tap Nope  \nswitch Notify on\n",
         "line 3: tap Nope: no row \"Nope\" on \"Form\""},
        {"# only a comment\nback\n", "line 2: back: nothing to go back to"},
        {"button Save\n",
         "line 1: button Save: no button \"Save\" on \"AppTestRoot\" (its buttons: none)"},
    };
    for (const auto& [script, message] : cases) {
        ASSERT_TRUE(app.open("AppTestRoot").ok());
        pageEvents().clear();
        auto ran = run(script);
        ASSERT_FALSE(ran.ok()) << script;
        EXPECT_EQ(ran.error(), message);
        EXPECT_TRUE(std::none_of(pageEvents().begin(), pageEvents().end(),
                                 [](const std::string& e) { return e.rfind("notify=", 0) == 0; }));
    }
}

// A save that fails is no error of the gesture: the script stops there all the same, and the
// screen shows again what is stored, not what the gesture set.
TEST_F(ScriptRunTest, AGestureWhoseSaveFailsStopsTheScriptAndShowsWhatIsStored) {
    std::dynamic_pointer_cast<test::AppTestRootPage>(app.visiblePage())->refuseSaves = true;
    auto ran = run("switch Enabled on\nshow\n");
    ASSERT_FALSE(ran.ok());
    EXPECT_EQ(ran.error(), "line 1: switch Enabled on: not saved: the disk is full");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(app.screen().sections[0].rows[0].control, RowControl{SwitchControl{false}});
}

TEST_F(ScriptRunTest, ShowWithoutJsonPrintsTheTextPicture) {
    ASSERT_TRUE(run("tap Form\nshow\n").ok());
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("== Form ==  (depth 2)\n", 0), 0u) << text;
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

TEST_F(AppCommands, ShowAndRunNeedTheInstalledBundleAndStopAtABadLine) {
    auto ran = program("show");
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("the settings bundle is not installed"), std::string::npos) << ran.err;
    EXPECT_NE(ran.err.find("veltrix-settings init"), std::string::npos) << ran.err;
    ASSERT_EQ(program("init").status, 0);

    ran = program("show --json");
    ASSERT_EQ(ran.status, 0) << ran.err;
    auto screen = nlohmann::json::parse(ran.out);
    EXPECT_EQ(screen["depth"], 1);
    EXPECT_FALSE(screen["sections"].empty());

    const std::string script = test::shellQuoted((device.path() / "script.txt").string());
    ran = program("run " + script);
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("cannot read the script"), std::string::npos) << ran.err;
    test::writeHostFile(device.path() / "script.txt", "show\nfly away\n");
    ran = program("run " + script);
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("veltrix-settings: line 2: fly away: unknown gesture \"fly\""),
              std::string::npos)
        << ran.err;
    EXPECT_EQ(ran.out, "") << "a script that does not parse runs no line";
    test::writeHostFile(device.path() / "script.txt", "show\ntap \"No Such Row\"\nshow\n");
    ran = program("run --json " + script);
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.err.find("line 2: tap \"No Such Row\": no row \"No Such Row\""), std::string::npos)
        << ran.err;
    EXPECT_EQ(ran.out.find("\"depth\""), ran.out.rfind("\"depth\""))
        << "one screen printed before the stop";
}

}  // namespace
}  // namespace vx
