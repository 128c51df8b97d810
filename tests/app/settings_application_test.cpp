#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>

#include "app/screen.h"
#include "app_fixture.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/screen.h"
#include "platform/ui/text_field.h"

namespace vx {
namespace {

using test::pageEvents;
using Lines = std::vector<std::string>;

class SettingsApplicationTest : public test::AppTest {
protected:
    // Records the keyboard's notifications as "show|hide x y width height curve duration",
    // and the start of editing as "begin".
    void SetUp() override {
        AppTest::SetUp();
        observer = std::make_shared<int>(0);
        for (auto name : {UIKeyboardWillShowNotification, UIKeyboardWillHideNotification,
                          UITextFieldTextDidBeginEditingNotification}) {
            NotificationCenter::defaultCenter().addObserver(
                observer, std::string(name), [this](const Notification& n) {
                    if (n.name == UITextFieldTextDidBeginEditingNotification)
                        return keyboard.push_back("begin");
                    const CGRect f = UIKeyboard::endFrame(n);
                    std::ostringstream line;
                    line << (n.name == UIKeyboardWillShowNotification ? "show " : "hide ") << f.origin.x
                         << ' ' << f.origin.y << ' ' << f.size.width << ' ' << f.size.height << ' '
                         << UIKeyboard::animationCurve(n) << ' ' << UIKeyboard::animationDuration(n);
                    keyboard.push_back(line.str());
                });
        }
    }
    void TearDown() override { NotificationCenter::defaultCenter().removeObserver(observer.get()); }

    Result<void> tap(const char* row) { return app.tap(RowRef::parse(row)); }
    std::string shown() const { return toText(app.screen()); }
    Lines eventsMatching(std::string_view prefix) const {
        Lines out;
        std::copy_if(pageEvents().begin(), pageEvents().end(), std::back_inserter(out),
                     [&](const std::string& event) { return event.rfind(prefix, 0) == 0; });
        return out;
    }
    std::shared_ptr<test::AppTestFormPage> formPage() const {
        return std::dynamic_pointer_cast<test::AppTestFormPage>(app.visiblePage());
    }

    std::shared_ptr<int> observer;
    Lines keyboard;
};

// "ok", or the error a gesture was refused with.
std::string outcome(const Result<void>& result) { return result.ok() ? "ok" : result.error(); }
#define EXPECT_OK(expr) EXPECT_EQ(outcome((expr)), "ok")
#define EXPECT_FAILS_WITH(expr, text) EXPECT_EQ(outcome((expr)), (text))

TEST_F(SettingsApplicationTest, OpeningNeedsTheBundleAndAKnownPageThenLoadsTheViewBeforeTheRows) {
    EXPECT_FAILS_WITH(app.open("NoSuchPage"), "there is no page class named \"NoSuchPage\"");
    EXPECT_FAILS_WITH(tap("Form"), "no page is open");
    {
        test::ScopedDeviceRoot bare;  // no bundle in this root
        EXPECT_FAILS_WITH(app.open("AppTestRoot"),
                          "the settings bundle is not installed: " + bare.path().string() +
                              "/Library/PreferenceBundles/VeltrixSettings.bundle does not exist");
        EXPECT_TRUE(pageEvents().empty()) << "no page was made";
    }

    open();
    EXPECT_EQ(pageEvents(), (Lines{"root.loadView", "root.specifiers"}));
    EXPECT_EQ(shown(),
              "==  ==  (depth 1)\nheader: Veltrix Test\nheader: by Veltrix\n"
              "-- General --\n  #0.0  Enabled  [off]\n  #0.1  Nickname  [text \"\"]\n  #0.2  Form  >\n"
              "  #0.3  On/Off\n  footer: Footer text\n"
              "-- Actions --\n  #1.0  Warn\n  #1.1  Present\n  #1.2  Later\n  #1.3  Enabled\n"
              "  #1.4  Again  >\n");
}

TEST_F(SettingsApplicationTest, TapOnALinkPushesItsPageAndBackShowsTheListAgain) {
    open();
    pageEvents().clear();
    EXPECT_OK(tap("Form"));
    EXPECT_EQ(pageEvents(), (Lines{"form.loadView", "form.willAppear"}));
    EXPECT_EQ(shown(),
              "== Form ==  (depth 2)\nbar: [Edit]  |  \n"
              "-- --\n  #0.0  Name  [text \"Al\"]\n  #0.1  Notify  [off]\n  #0.2  Choice  | One  >\n"
              "-- Items --\n  #1.0  Alpha  (checked)\n  #1.1  Beta\n  #1.2  Gamma\n");
    EXPECT_FALSE(app.screen().sections[0].rows[0].selectable);

    pageEvents().clear();
    EXPECT_OK(app.goBack());
    EXPECT_EQ(pageEvents(), (Lines{"root.specifiers"})) << "a list page rebuilds its rows when shown";
    EXPECT_FAILS_WITH(app.goBack(), "nothing to go back to");

    // A pushed list page, too, loads its view before it is asked for its rows.
    pageEvents().clear();
    EXPECT_OK(tap("Again"));
    EXPECT_EQ(pageEvents(), (Lines{"root.loadView", "root.specifiers"}));
    EXPECT_EQ(shown().rfind("== Again ==  (depth 2)\n", 0), 0u);
    EXPECT_OK(tap("Form"));
    EXPECT_EQ(app.screen().back, "Again") << "the back button shows the page beneath";
}

TEST_F(SettingsApplicationTest, RowsAreFoundByLabelSectionAndIndex) {
    open();
    // "Enabled" is in both sections; the bare label finds the first, the section form the other.
    EXPECT_OK(app.setSwitch(RowRef::parse("Enabled"), true));
    EXPECT_FAILS_WITH(app.setSwitch(RowRef::parse("Actions/Enabled"), true),
                      "the row \"Actions/Enabled\" has no switch");
    EXPECT_OK(tap("On/Off"));  // a label with a slash is found whole
    EXPECT_OK(tap("General/On/Off"));
    for (const char* missing : {"Actions/On/Off", "Nope", "#99", "#0.9", "#5.0"})
        EXPECT_FAILS_WITH(tap(missing),
                          std::string("no row \"").append(missing).append("\" on \"AppTestRoot\""));

    EXPECT_OK(tap("#4"));  // flat: 4 rows in General, then Warn
    ASSERT_TRUE(app.frontAlert());
    EXPECT_EQ(app.frontAlert()->title(), "Warning");
    EXPECT_OK(app.pressAlertButton("OK"));
    EXPECT_OK(tap("#0.2"));
    EXPECT_EQ(app.screen().title, "Form");
}

TEST_F(SettingsApplicationTest, SwitchSendsValueChangedOnlyWhenItFlipsAndListFieldsStoreEachKey) {
    open();
    pageEvents().clear();
    for (bool on : {true, true, false}) EXPECT_OK(app.setSwitch(RowRef::parse("Enabled"), on));
    EXPECT_OK(app.type(RowRef::parse("Nickname"), "Bo"));
    EXPECT_EQ(eventsMatching("set "),
              (Lines{"set enabled=true", "set enabled=false", "set nickname=B", "set nickname=Bo"}));
    EXPECT_FAILS_WITH(app.setSwitch(RowRef::parse("Form"), true), "the row \"Form\" has no switch");
    EXPECT_FAILS_WITH(app.type(RowRef::parse("Enabled"), "x"), "the row \"Enabled\" has no text field");

    // Going to another page removes the field from the window, so editing ends.
    EXPECT_OK(tap("Form"));
    EXPECT_FALSE(app.keyboardVisible());
    EXPECT_EQ(keyboard.back().substr(0, 4), "hide");
    EXPECT_OK(app.setSwitch(RowRef::parse("Notify"), true));
    EXPECT_TRUE(formPage()->notify);
    EXPECT_EQ(app.screen().sections[0].rows[1].control, RowControl{SwitchControl{true}});

    formPage()->reloadOnEdit = true;
    EXPECT_FAILS_WITH(app.type(RowRef::parse("Name"), "xyz"),
                      "the text field of the row \"Name\" lost the focus after 1 of 3 characters");
    EXPECT_EQ(formPage()->name, "Alx");
    EXPECT_FALSE(app.keyboardVisible());
}

TEST_F(SettingsApplicationTest, TypingFocusesTheFieldAndSendsOneChangePerCharacter) {
    open();
    EXPECT_OK(tap("Form"));
    pageEvents().clear();
    EXPECT_OK(app.type(RowRef::parse("Name"),
                       "ex\xC3\xA9"
                       "e\xCC\x81"
                       "\xF0\x9F\x98\x80"));  // é, e+◌́, 😀
    EXPECT_EQ(pageEvents(), (Lines{"form.beginEditing", "name=Ale", "name=Alex", "name=Alexé",
                                   "name=Alexée\xCC\x81", "name=Alexée\xCC\x81\xF0\x9F\x98\x80"}));
    ASSERT_TRUE(app.firstResponderField());
    EXPECT_EQ(app.firstResponderField()->text(), formPage()->name);
    // Did-begin-editing, then the keyboard comes up along the bottom of the screen.
    EXPECT_EQ(keyboard, (Lines{"begin", "show 0 352 320 216 7 0.25"}));
    EXPECT_TRUE(app.keyboardVisible());

    // Typing on into the focused field begins no new editing session.
    pageEvents().clear();
    EXPECT_OK(app.type(RowRef::parse("Name"), "!"));
    EXPECT_OK(app.clear(RowRef::parse("Name")));
    EXPECT_EQ(pageEvents(), (Lines{"name=Alexée\xCC\x81\xF0\x9F\x98\x80!", "name="}));
    EXPECT_EQ(keyboard.size(), 2u);
    EXPECT_EQ(app.screen().sections[0].rows[0].control, RowControl{TextControl{""}});

    // Return: the page's delegate resigns the field, and the keyboard that came up for the
    // editing goes down with a hide notification.
    pageEvents().clear();
    EXPECT_OK(app.pressReturn());
    EXPECT_EQ(pageEvents(), (Lines{"form.return"}));
    EXPECT_FALSE(app.firstResponderField());
    EXPECT_EQ(keyboard.back(), "hide 0 568 320 216 7 0.25");
    EXPECT_FALSE(app.keyboardVisible());
    EXPECT_FAILS_WITH(app.pressReturn(), "no text field is being edited");
}

TEST_F(SettingsApplicationTest, FrontAlertTakesEveryTapUntilAnswered) {
    open();
    EXPECT_FAILS_WITH(app.pressAlertButton("OK"), "no alert is up");
    EXPECT_OK(tap("Warn"));
    EXPECT_NE(shown().find("\nalert: Warning - Careful  [OK] [Cancel]\n"), std::string::npos);

    const std::string blocked =
        "an alert is up (\"Warning\"); answer it with one of its buttons: \"OK\", \"Cancel\"";
    EXPECT_FAILS_WITH(tap("Form"), blocked);
    EXPECT_FAILS_WITH(app.setSwitch(RowRef::parse("Enabled"), true), blocked);
    EXPECT_FAILS_WITH(app.type(RowRef::parse("Nickname"), "x"), blocked);
    EXPECT_FAILS_WITH(app.pressBarButton("Edit"), blocked);
    EXPECT_FAILS_WITH(app.goBack(), blocked);
    EXPECT_OK(app.wait(1));  // time and the keyboard are not touches
    EXPECT_EQ(app.screen().depth, 1);

    EXPECT_FAILS_WITH(app.pressAlertButton("Maybe"),
                      "the alert \"Warning\" has no button \"Maybe\" (its buttons: \"OK\", \"Cancel\")");
    EXPECT_FAILS_WITH(app.pressAlertButton(2),
                      "the alert \"Warning\" has no button 2 (its buttons: \"OK\", \"Cancel\")");
    pageEvents().clear();
    EXPECT_OK(app.pressAlertButton("#1"));
    EXPECT_EQ(pageEvents(), (Lines{"root.alert Warning 1"}));
    EXPECT_FALSE(app.screen().alert);

    // The answer reaches the page that put the alert up.
    EXPECT_OK(tap("Form"));
    EXPECT_OK(tap("Choice"));
    EXPECT_OK(app.pressAlertButton("Two"));
    EXPECT_EQ(app.screen().sections[0].rows[2].detail, "Two");
}

TEST_F(SettingsApplicationTest, ModalContainerSitsAboveTheStackUntilDone) {
    open();
    pageEvents().clear();
    EXPECT_OK(tap("Present"));
    EXPECT_EQ(shown().rfind("== Form ==  (depth 1, modal)\nbar: [Edit]  |  [Done]\n", 0), 0u);
    EXPECT_NE(app.visibleContainer(), app.rootContainer());
    EXPECT_EQ(app.rootContainer()->viewControllers().size(), 1u) << "the stack below is untouched";
    EXPECT_EQ(eventsMatching("form.loadView").size(), 1u);

    // Gestures go to the modal page, not to the list underneath.
    EXPECT_FAILS_WITH(tap("Warn"), "no row \"Warn\" on \"Form\"");
    EXPECT_FAILS_WITH(app.goBack(), "nothing to go back to");
    EXPECT_OK(app.type(RowRef::parse("Name"), "x"));
    EXPECT_TRUE(app.keyboardVisible());
    EXPECT_FAILS_WITH(app.pressBarButton("Cancel"),
                      "no button \"Cancel\" on \"Form\" (its buttons: \"Edit\", \"Done\")");

    EXPECT_OK(app.pressBarButton("Done"));
    EXPECT_EQ(eventsMatching("root.done").size(), 1u);
    EXPECT_EQ(shown().rfind("==  ==  (depth 1)\n", 0), 0u);
    EXPECT_EQ(app.visibleContainer(), app.rootContainer());
    EXPECT_FALSE(app.keyboardVisible()) << "the edited field left with its page";
}

TEST_F(SettingsApplicationTest, RowsMoveOnlyOnAnEditingTable) {
    open();
    EXPECT_OK(tap("Form"));
    EXPECT_FAILS_WITH(app.moveRow(RowRef::parse("Alpha"), RowRef::parse("Gamma")),
                      "the table of \"Form\" is not being edited");
    EXPECT_OK(app.pressBarButton("Edit"));
    EXPECT_EQ(app.screen().left, (Lines{"Stop"}));
    EXPECT_FAILS_WITH(app.moveRow(RowRef::parse("Name"), RowRef::parse("Gamma")),
                      "the row \"Name\" cannot be moved");
    EXPECT_FAILS_WITH(app.moveRow(RowRef::parse("Alpha"), RowRef::parse("Nope")),
                      "no row \"Nope\" on \"Form\"");
    pageEvents().clear();
    EXPECT_OK(app.moveRow(RowRef::parse("Alpha"), RowRef::parse("#1.2")));
    EXPECT_EQ(pageEvents(), (Lines{"move 0->2"}));
    EXPECT_NE(shown().find("-- Items --\n  #1.0  Beta\n  #1.1  Gamma\n  #1.2  Alpha  (checked)\n"),
              std::string::npos);
    EXPECT_TRUE(app.screen().sections[1].rows[0].movable);
    EXPECT_FALSE(app.screen().sections[0].rows[0].movable);
}

TEST_F(SettingsApplicationTest, KeyboardGesturesPostFramesForTheirHeight) {
    open();
    EXPECT_FAILS_WITH(app.hideKeyboard(), "the keyboard is not up");
    EXPECT_EQ(app.screen().keyboard, std::nullopt);
    EXPECT_OK(app.showKeyboard(300));
    EXPECT_EQ(app.screen().keyboard, 300);
    EXPECT_OK(app.showKeyboard());  // a second show (a new height) is posted too
    EXPECT_OK(app.wait(0));
    EXPECT_TRUE(app.keyboardVisible()) << "a keyboard shown by hand stays without a focused field";
    EXPECT_OK(app.hideKeyboard());
    EXPECT_FALSE(app.keyboardVisible());
    for (double height : {0.0, 569.0}) EXPECT_FALSE(app.showKeyboard(height).ok()) << height;
    UIScreen::mainScreen().setBounds(CGSizeMake(375, 667));
    EXPECT_OK(app.showKeyboard(250));
    EXPECT_EQ(keyboard, (Lines{"show 0 268 320 300 7 0.25", "show 0 352 320 216 7 0.25",
                               "hide 0 568 320 216 7 0.25", "show 0 417 375 250 7 0.25"}));
}

TEST_F(SettingsApplicationTest, DelayedCallsRunWhenTheirTimeComes) {
    open();
    pageEvents().clear();
    EXPECT_OK(tap("Later"));
    EXPECT_EQ(pageEvents(), (Lines{"soon.fired"})) << "0-second calls run after the gesture";
    EXPECT_OK(app.wait(0.5));
    EXPECT_TRUE(eventsMatching("later.fired").empty());
    EXPECT_OK(app.wait(0.5));
    EXPECT_EQ(eventsMatching("later.fired").size(), 1u);
    EXPECT_FALSE(app.wait(-1).ok());

    // Following the wall clock runs what fell due by then, and never moves time back.
    EXPECT_OK(tap("Later"));
    EXPECT_FALSE(app.followClock(1000.0)) << "a time before the run loop's changes nothing";
    const double now = RunLoop::main().now();
    EXPECT_FALSE(app.followClock(now + 0.5));
    EXPECT_TRUE(app.followClock(now + 1.0));
    EXPECT_EQ(eventsMatching("later.fired").size(), 2u);
    EXPECT_FALSE(app.followClock(now + 5.0)) << "nothing was due";
    EXPECT_EQ(RunLoop::main().now(), now + 5.0);
}

TEST_F(SettingsApplicationTest, OutsideChangeShowsTheRowsAfreshOnceEditingEnds) {
    open();
    auto root = std::dynamic_pointer_cast<test::AppTestRootPage>(app.visiblePage());
    ASSERT_TRUE(root);
    auto enabled = [&] { return app.screen().sections[0].rows[0].control; };
    root->values["enabled"] = plist::Value(true);
    EXPECT_EQ(enabled(), RowControl{SwitchControl{false}}) << "the page shows what it read";
    app.refreshAfterOutsideChange();
    EXPECT_EQ(enabled(), RowControl{SwitchControl{true}});

    EXPECT_OK(app.type(RowRef::parse("Nickname"), "Al"));
    root->values["enabled"] = plist::Value(false);
    app.refreshAfterOutsideChange();
    EXPECT_EQ(enabled(), RowControl{SwitchControl{true}}) << "no rebuild under the user's fingers";
    EXPECT_OK(app.pressReturn());
    EXPECT_EQ(enabled(), RowControl{SwitchControl{true}}) << "the field keeps the focus after Return";
    EXPECT_OK(app.hideKeyboard());
    EXPECT_EQ(enabled(), RowControl{SwitchControl{false}});

    // On a page that builds its own table, the table asks its data source again.
    EXPECT_OK(tap("Form"));
    formPage()->choice = "Two";
    app.refreshAfterOutsideChange();
    EXPECT_EQ(app.screen().sections[0].rows[2].detail, "Two");
}

}  // namespace
}  // namespace vx
