#include <gtest/gtest.h>

#include <algorithm>

#include "app_fixture.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/screen.h"
#include "platform/ui/table_view.h"
#include "platform/ui/text_field.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

using test::pageEvents;

struct KeyboardEvent {
    std::string name;
    CGRect frame;
    int curve;
    double duration;
};

class SettingsApplicationTest : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        observer = std::make_shared<int>(0);
        for (auto name : {UIKeyboardWillShowNotification, UIKeyboardWillHideNotification,
                          UITextFieldTextDidBeginEditingNotification}) {
            NotificationCenter::defaultCenter().addObserver(
                observer, std::string(name), [this](const Notification& n) {
                    keyboard.push_back({n.name, UIKeyboard::endFrame(n), UIKeyboard::animationCurve(n),
                                        UIKeyboard::animationDuration(n)});
                });
        }
    }
    void TearDown() override { NotificationCenter::defaultCenter().removeObserver(observer.get()); }

    static Result<void> ok(Result<void> result) { return result; }
    std::vector<std::string> eventsMatching(std::string_view prefix) const {
        std::vector<std::string> out;
        for (const auto& event : pageEvents()) {
            if (event.rfind(prefix, 0) == 0) out.push_back(event);
        }
        return out;
    }
    std::shared_ptr<test::AppTestFormPage> formPage() const {
        return std::dynamic_pointer_cast<test::AppTestFormPage>(app.visiblePage());
    }

    std::shared_ptr<int> observer;
    std::vector<KeyboardEvent> keyboard;
};

#define EXPECT_OK(expr)                               \
    do {                                              \
        auto result_ = (expr);                        \
        EXPECT_TRUE(result_.ok()) << result_.error(); \
    } while (0)
#define EXPECT_FAILS_WITH(expr, text)     \
    do {                                  \
        auto result_ = (expr);            \
        ASSERT_FALSE(result_.ok());       \
        EXPECT_EQ(result_.error(), text); \
    } while (0)

TEST_F(SettingsApplicationTest, OpeningNeedsTheBundleAndAKnownPageThenLoadsTheViewBeforeTheRows) {
    EXPECT_FAILS_WITH(app.open("NoSuchPage"), "there is no page class named \"NoSuchPage\"");
    EXPECT_FAILS_WITH(app.tap(RowRef::parse("Form")), "no page is open");
    {
        test::ScopedDeviceRoot bare;  // no bundle in this root
        auto opened = app.open("AppTestRoot");
        ASSERT_FALSE(opened.ok());
        EXPECT_NE(opened.error().find("the settings bundle is not installed: "), std::string::npos);
        EXPECT_NE(opened.error().find("Library/PreferenceBundles/VeltrixSettings.bundle does not exist"),
                  std::string::npos);
        EXPECT_TRUE(pageEvents().empty()) << "no page was made";
    }

    open();
    ASSERT_GE(pageEvents().size(), 2u);
    EXPECT_EQ(pageEvents()[0], "root.loadView");
    EXPECT_EQ(pageEvents()[1], "root.specifiers");
    EXPECT_EQ(eventsMatching("root.loadView").size(), 1u);
    Screen screen = app.screen();
    EXPECT_EQ(screen.depth, 1);
    EXPECT_FALSE(screen.modal);
    EXPECT_EQ(screen.header, (std::vector<std::string>{"Veltrix Test", "by Veltrix"}));
    ASSERT_EQ(screen.sections.size(), 2u);
    EXPECT_EQ(screen.sections[0].title, "General");
    EXPECT_EQ(screen.sections[0].footer, "Footer text");
    EXPECT_EQ(screen.sections[0].rows[0].label, "Enabled");
    EXPECT_EQ(screen.sections[0].rows[0].control, RowControl{SwitchControl{false}});
    EXPECT_EQ(screen.sections[0].rows[1].control, RowControl{TextControl{""}});
    EXPECT_EQ(screen.sections[0].rows[2].accessory, RowAccessory::Disclosure);
    EXPECT_TRUE(screen.sections[0].rows[2].selectable);
}

TEST_F(SettingsApplicationTest, TapOnALinkPushesItsPageAndBackShowsTheListAgain) {
    open();
    pageEvents().clear();
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_EQ(pageEvents(), (std::vector<std::string>{"form.loadView", "form.willAppear"}));
    Screen screen = app.screen();
    EXPECT_EQ(screen.title, "Form");
    EXPECT_EQ(screen.depth, 2);
    EXPECT_FALSE(screen.modal);
    EXPECT_EQ(screen.left, (std::vector<std::string>{"Edit"}));
    ASSERT_EQ(screen.sections.size(), 2u);
    EXPECT_EQ(screen.sections[0].title, std::nullopt);
    EXPECT_EQ(screen.sections[0].rows[0].control, RowControl{TextControl{"Al"}});
    EXPECT_FALSE(screen.sections[0].rows[0].selectable);
    EXPECT_EQ(screen.sections[0].rows[1].control, RowControl{SwitchControl{false}});
    EXPECT_EQ(screen.sections[0].rows[2].detail, "One");
    EXPECT_EQ(screen.sections[1].rows[0].accessory, RowAccessory::Checkmark);

    pageEvents().clear();
    EXPECT_OK(app.goBack());
    EXPECT_EQ(app.screen().depth, 1);
    EXPECT_EQ(eventsMatching("root.specifiers").size(), 1u)
        << "a list page rebuilds its rows when shown";
    EXPECT_TRUE(eventsMatching("root.loadView").empty());
    EXPECT_FAILS_WITH(app.goBack(), "nothing to go back to");

    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_EQ(eventsMatching("form.loadView").size(), 1u) << "a new page object loads its own view";

    // A pushed list page, too, loads its view before it is asked for its rows.
    EXPECT_OK(app.goBack());
    pageEvents().clear();
    EXPECT_OK(app.tap(RowRef::parse("Again")));
    EXPECT_EQ(pageEvents(), (std::vector<std::string>{"root.loadView", "root.specifiers"}));
    EXPECT_EQ(app.screen().depth, 2);
    EXPECT_EQ(app.screen().title, "Again");
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_EQ(app.screen().back, "Again") << "the back button shows the page beneath";
}

TEST_F(SettingsApplicationTest, RowsAreFoundByLabelSectionAndIndex) {
    open();
    // "Enabled" is in both sections; the bare label finds the first, the section form the other.
    EXPECT_OK(app.setSwitch(RowRef::parse("Enabled"), true));
    EXPECT_FAILS_WITH(app.setSwitch(RowRef::parse("Actions/Enabled"), true),
                      "the row \"Actions/Enabled\" has no switch");
    EXPECT_OK(app.tap(RowRef::parse("On/Off")));  // a label with a slash is found whole
    EXPECT_OK(app.tap(RowRef::parse("General/On/Off")));
    for (const char* missing : {"Actions/On/Off", "Nope", "#99", "#0.9", "#5.0"})
        EXPECT_FAILS_WITH(app.tap(RowRef::parse(missing)),
                          std::string("no row \"").append(missing).append("\" on \"AppTestRoot\""));

    pageEvents().clear();
    EXPECT_OK(app.tap(RowRef::parse("#4")));  // flat: 4 rows in General, then Warn
    ASSERT_TRUE(app.frontAlert());
    EXPECT_EQ(app.frontAlert()->title(), "Warning");
    EXPECT_OK(app.pressAlertButton("OK"));
    EXPECT_OK(app.tap(RowRef::parse("#0.2")));
    EXPECT_EQ(app.screen().title, "Form");
}

TEST_F(SettingsApplicationTest, SwitchSendsValueChangedOnlyWhenItFlips) {
    open();
    pageEvents().clear();
    EXPECT_OK(app.setSwitch(RowRef::parse("Enabled"), true));
    EXPECT_OK(app.setSwitch(RowRef::parse("Enabled"), true));
    EXPECT_OK(app.setSwitch(RowRef::parse("Enabled"), false));
    EXPECT_EQ(eventsMatching("set "),
              (std::vector<std::string>{"set enabled=true", "set enabled=false"}));
    EXPECT_FAILS_WITH(app.setSwitch(RowRef::parse("Form"), true), "the row \"Form\" has no switch");
    EXPECT_FAILS_WITH(app.type(RowRef::parse("Enabled"), "x"), "the row \"Enabled\" has no text field");

    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_OK(app.setSwitch(RowRef::parse("Notify"), true));
    EXPECT_TRUE(formPage()->notify);
    EXPECT_EQ(app.screen().sections[0].rows[1].control, RowControl{SwitchControl{true}});
}

TEST_F(SettingsApplicationTest, TypingFocusesTheFieldAndSendsOneChangePerCharacter) {
    open();
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    pageEvents().clear();
    EXPECT_OK(app.type(RowRef::parse("Name"),
                       "ex\xC3\xA9"
                       "e\xCC\x81"
                       "\xF0\x9F\x98\x80"));  // é, e+◌́, 😀
    EXPECT_EQ(pageEvents(),
              (std::vector<std::string>{"form.beginEditing", "name=Ale", "name=Alex", "name=Alexé",
                                        "name=Alexée\xCC\x81", "name=Alexée\xCC\x81\xF0\x9F\x98\x80"}));
    ASSERT_TRUE(app.firstResponderField());
    EXPECT_EQ(app.firstResponderField()->text(), formPage()->name);

    // Did-begin-editing, then the keyboard comes up along the bottom of the screen.
    ASSERT_EQ(keyboard.size(), 2u);
    EXPECT_EQ(keyboard[0].name, UITextFieldTextDidBeginEditingNotification);
    EXPECT_EQ(keyboard[1].name, UIKeyboardWillShowNotification);
    EXPECT_EQ(keyboard[1].frame, CGRectMake(0, 568 - 216, 320, 216));
    EXPECT_EQ(keyboard[1].curve, 7);
    EXPECT_DOUBLE_EQ(keyboard[1].duration, 0.25);
    EXPECT_TRUE(app.keyboardVisible());

    // Typing on into the focused field begins no new editing session.
    pageEvents().clear();
    EXPECT_OK(app.type(RowRef::parse("Name"), "!"));
    EXPECT_EQ(pageEvents().size(), 1u);
    EXPECT_EQ(keyboard.size(), 2u);

    pageEvents().clear();
    EXPECT_OK(app.clear(RowRef::parse("Name")));
    EXPECT_EQ(pageEvents(), (std::vector<std::string>{"name="}));
    EXPECT_EQ(app.screen().sections[0].rows[0].control, RowControl{TextControl{""}});

    // Return: the page's delegate resigns the field, and the keyboard that came up for the
    // editing goes down with a hide notification.
    pageEvents().clear();
    EXPECT_OK(app.pressReturn());
    EXPECT_EQ(pageEvents(), (std::vector<std::string>{"form.return"}));
    EXPECT_FALSE(app.firstResponderField());
    ASSERT_EQ(keyboard.size(), 3u);
    EXPECT_EQ(keyboard[2].name, UIKeyboardWillHideNotification);
    EXPECT_EQ(keyboard[2].frame, CGRectMake(0, 568, 320, 216));
    EXPECT_FALSE(app.keyboardVisible());
    EXPECT_FAILS_WITH(app.pressReturn(), "no text field is being edited");
}

TEST_F(SettingsApplicationTest, TypingIntoAListRowStoresEachKeystrokeAndStopsWhenTheFieldGoes) {
    open();
    pageEvents().clear();
    EXPECT_OK(app.type(RowRef::parse("Nickname"), "Bo"));
    EXPECT_EQ(eventsMatching("set "), (std::vector<std::string>{"set nickname=B", "set nickname=Bo"}));
    // Going to another page removes the field from the window, so editing ends.
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_FALSE(app.keyboardVisible());
    EXPECT_EQ(keyboard.back().name, UIKeyboardWillHideNotification);

    formPage()->reloadOnEdit = true;
    EXPECT_FAILS_WITH(app.type(RowRef::parse("Name"), "xyz"),
                      "the text field of the row \"Name\" lost the focus after 1 of 3 characters");
    EXPECT_EQ(formPage()->name, "Alx");
    EXPECT_FALSE(app.keyboardVisible());
}

TEST_F(SettingsApplicationTest, FrontAlertTakesEveryTapUntilAnswered) {
    open();
    EXPECT_FAILS_WITH(app.pressAlertButton("OK"), "no alert is up");
    EXPECT_OK(app.tap(RowRef::parse("Warn")));
    Screen screen = app.screen();
    ASSERT_TRUE(screen.alert);
    EXPECT_EQ(screen.alert->title, "Warning");
    EXPECT_EQ(screen.alert->message, "Careful");
    EXPECT_EQ(screen.alert->buttons, (std::vector<std::string>{"OK", "Cancel"}));

    const std::string blocked =
        "an alert is up (\"Warning\"); answer it with one of its buttons: \"OK\", \"Cancel\"";
    EXPECT_FAILS_WITH(app.tap(RowRef::parse("Form")), blocked);
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
    EXPECT_EQ(pageEvents(), (std::vector<std::string>{"root.alert Warning 1"}));
    EXPECT_FALSE(app.screen().alert);

    // Two alerts queue up; each answer reveals the next.
    EXPECT_OK(app.tap(RowRef::parse("Warn")));
    app.frontAlert()->show();  // showing again does not queue it twice
    auto second = UIAlertView::init();
    second->setTitle("Second");
    second->addButtonWithTitle("Fine");
    second->show();
    EXPECT_OK(app.pressAlertButton("OK"));
    ASSERT_TRUE(app.screen().alert);
    EXPECT_EQ(app.screen().alert->title, "Second");
    EXPECT_OK(app.pressAlertButton("Fine"));
    EXPECT_FALSE(app.screen().alert);

    // The answer reaches the page that put the alert up.
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_OK(app.tap(RowRef::parse("Choice")));
    EXPECT_OK(app.pressAlertButton("Two"));
    EXPECT_EQ(app.screen().sections[0].rows[2].detail, "Two");
}

TEST_F(SettingsApplicationTest, ModalContainerSitsAboveTheStackUntilDone) {
    open();
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_OK(app.goBack());
    pageEvents().clear();
    EXPECT_OK(app.tap(RowRef::parse("Present")));
    Screen screen = app.screen();
    EXPECT_TRUE(screen.modal);
    EXPECT_EQ(screen.depth, 1);
    EXPECT_EQ(screen.title, "Form");
    EXPECT_EQ(screen.right, (std::vector<std::string>{"Done"}));
    EXPECT_EQ(screen.left, (std::vector<std::string>{"Edit"}));
    EXPECT_NE(app.visibleContainer(), app.rootContainer());
    EXPECT_EQ(app.rootContainer()->viewControllers().size(), 1u) << "the stack below is untouched";
    EXPECT_EQ(eventsMatching("form.loadView").size(), 1u);

    // Gestures go to the modal page, not to the list underneath.
    EXPECT_FAILS_WITH(app.tap(RowRef::parse("Warn")), "no row \"Warn\" on \"Form\"");
    EXPECT_FAILS_WITH(app.goBack(), "nothing to go back to");
    EXPECT_OK(app.type(RowRef::parse("Name"), "x"));
    EXPECT_TRUE(app.keyboardVisible());
    EXPECT_FAILS_WITH(app.pressBarButton("Cancel"),
                      "no button \"Cancel\" on \"Form\" (its buttons: \"Edit\", \"Done\")");

    EXPECT_OK(app.pressBarButton("Done"));
    EXPECT_EQ(eventsMatching("root.done").size(), 1u);
    screen = app.screen();
    EXPECT_FALSE(screen.modal);
    EXPECT_EQ(screen.title, "");
    EXPECT_EQ(app.visibleContainer(), app.rootContainer());
    EXPECT_FALSE(app.keyboardVisible()) << "the edited field left with its page";
}

TEST_F(SettingsApplicationTest, RowsMoveOnlyOnAnEditingTable) {
    open();
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    EXPECT_FAILS_WITH(app.moveRow(RowRef::parse("Alpha"), RowRef::parse("Gamma")),
                      "the table of \"Form\" is not being edited");
    EXPECT_OK(app.pressBarButton("Edit"));
    EXPECT_EQ(app.screen().left, (std::vector<std::string>{"Stop"}));
    EXPECT_FAILS_WITH(app.moveRow(RowRef::parse("Name"), RowRef::parse("Gamma")),
                      "the row \"Name\" cannot be moved");
    EXPECT_FAILS_WITH(app.moveRow(RowRef::parse("Alpha"), RowRef::parse("Nope")),
                      "no row \"Nope\" on \"Form\"");
    pageEvents().clear();
    EXPECT_OK(app.moveRow(RowRef::parse("Alpha"), RowRef::parse("#1.2")));
    EXPECT_EQ(pageEvents(), (std::vector<std::string>{"move 0->2"}));
    Screen screen = app.screen();
    ASSERT_EQ(screen.sections[1].rows.size(), 3u);
    EXPECT_TRUE(screen.sections[1].rows[0].movable);
    EXPECT_FALSE(screen.sections[0].rows[0].movable);
    EXPECT_EQ(screen.sections[1].rows[0].label, "Beta");
    EXPECT_EQ(screen.sections[1].rows[2].label, "Alpha");
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
    ASSERT_EQ(keyboard.size(), 3u);
    EXPECT_EQ(keyboard[0].name, UIKeyboardWillShowNotification);
    EXPECT_EQ(keyboard[0].frame, CGRectMake(0, 268, 320, 300));
    EXPECT_EQ(keyboard[1].frame, CGRectMake(0, 352, 320, 216));
    EXPECT_EQ(keyboard[2].name, UIKeyboardWillHideNotification);
    EXPECT_EQ(keyboard[2].frame, CGRectMake(0, 568, 320, 216));
    EXPECT_FALSE(app.keyboardVisible());
    EXPECT_FALSE(app.showKeyboard(0).ok());
    EXPECT_FALSE(app.showKeyboard(569).ok());

    UIScreen::mainScreen().setBounds(CGSizeMake(375, 667));
    EXPECT_OK(app.showKeyboard(250));
    EXPECT_EQ(keyboard.back().frame, CGRectMake(0, 417, 375, 250));
}

TEST_F(SettingsApplicationTest, DelayedCallsRunWhenTheirTimeComes) {
    open();
    pageEvents().clear();
    EXPECT_OK(app.tap(RowRef::parse("Later")));
    EXPECT_EQ(pageEvents(), (std::vector<std::string>{"soon.fired"}))
        << "0-second calls run after the gesture";
    EXPECT_OK(app.wait(0.5));
    EXPECT_TRUE(eventsMatching("later.fired").empty());
    EXPECT_OK(app.wait(0.5));
    EXPECT_EQ(eventsMatching("later.fired").size(), 1u);
    EXPECT_FALSE(app.wait(-1).ok());

    // Following the wall clock runs what fell due by then, and never moves time back.
    EXPECT_OK(app.tap(RowRef::parse("Later")));
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
    EXPECT_OK(app.tap(RowRef::parse("Form")));
    formPage()->choice = "Two";
    app.refreshAfterOutsideChange();
    EXPECT_EQ(app.screen().sections[0].rows[2].detail, "Two");
}

}  // namespace
}  // namespace vx
