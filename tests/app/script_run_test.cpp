#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/screen.h"
#include "app/script.h"
#include "app_fixture.h"
#include "platform/ui/application.h"

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
        if (!script) return fail(script.error());
        return runScript(app, *script, out, ScriptOptions{json});
    }

    std::ostringstream out;
};

TEST_F(ScriptRunTest, GesturesRunInOrderAndShowPrintsOneJsonObjectPerLine) {
    // On the list, then the form (pushed, with an alert up at the second show), back again.
    auto ran = run(
        "show\nswitch Enabled on   # flip it\n"
        "tap Form\ntype Name \"ex 2\"\nreturn\ntap Choice\nshow\nalert Two\n"
        "button Edit\nmove Alpha Gamma\nback\n"
        "tap Later\nwait 1\nkeyboard show 100\nkeyboard hide\nshow\n",
        true);
    ASSERT_TRUE(ran.ok()) << ran.error();

    std::vector<nlohmann::json> screens;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) screens.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(screens.size(), 3u);
    EXPECT_EQ(screens[0]["sections"][0]["rows"][0]["control"]["on"], false);
    EXPECT_EQ(screens[1]["sections"][0]["rows"][0]["control"]["text"], "Alex 2");
    EXPECT_EQ(screens[1]["alert"]["title"], "Pick");
    EXPECT_EQ(screens[2]["sections"][0]["rows"][0]["control"]["on"], true);
    EXPECT_TRUE(screens[2]["alert"].is_null());
    // The keyboard came up with the script's height (and went down with it).
    EXPECT_EQ(UIApplication::sharedApplication().keyboardFrame().size.height, 100);

    for (const char* event : {"set enabled=true", "form.pick 1", "move 0->2", "later.fired"})
        EXPECT_NE(std::find(pageEvents().begin(), pageEvents().end(), event), pageEvents().end())
            << event;
}

// The application's own refusals are tested with it; here, that a script names the line (blank
// lines and comments counted), that nothing after it runs and what came before is printed.
TEST_F(ScriptRunTest, AGestureThatCannotApplyStopsTheScriptAtItsLine) {
    const struct {
        const char* script;
        const char* message;
        std::ptrdiff_t screens;
    } cases[] = {
        {"tap Form\n\nshow\n  tap Nope  \nswitch Notify on\nshow\n",
         "line 4: tap Nope: no row \"Nope\" on \"Form\"", 1},
        {"# only a comment\nback\n", "line 2: back: nothing to go back to", 0},
        {"button Save\n",
         "line 1: button Save: no button \"Save\" on \"AppTestRoot\" (its buttons: none)", 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(app.open("AppTestRoot").ok());
        pageEvents().clear();
        out.str("");
        auto ran = run(c.script, true);
        ASSERT_FALSE(ran.ok()) << c.script;
        EXPECT_EQ(ran.error(), c.message);
        const std::string printed = out.str();
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), c.screens) << printed;
        EXPECT_TRUE(std::none_of(pageEvents().begin(), pageEvents().end(),
                                 [](const std::string& e) { return e.rfind("notify=", 0) == 0; }));
    }
}

// A save that fails is no error of the gesture: the script stops there all the same, and the
// screen shows again what is stored (the picture printed before it), not what the gesture set.
TEST_F(ScriptRunTest, AGestureWhoseSaveFailsStopsTheScriptAndShowsWhatIsStored) {
    std::dynamic_pointer_cast<test::AppTestRootPage>(app.visiblePage())->refuseSaves = true;
    auto ran = run("show\nswitch Enabled on\nshow\n");
    ASSERT_FALSE(ran.ok());
    EXPECT_EQ(ran.error(), "line 2: switch Enabled on: not saved: the disk is full");
    EXPECT_EQ(out.str(), toText(app.screen())) << "one text picture, the same after the refusal";
    EXPECT_NE(out.str().find("  #0.0  Enabled  [off]\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace vx
