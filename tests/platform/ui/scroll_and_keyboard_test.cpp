#include <gtest/gtest.h>

#include "platform/ui/keyboard.h"
#include "platform/ui/screen.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/text_field.h"
#include "platform/ui/window.h"

namespace vx {
namespace {

TEST(Keyboard, UserInfoRoundTripsAndMissingValuesReadAsZero) {
    const auto show = UIKeyboard::willShowNotification(UIKeyboard::frameOnScreen());
    EXPECT_EQ(show.name, UIKeyboardWillShowNotification);
    EXPECT_EQ(UIKeyboard::endFrame(show), CGRectMake(0, 352, 320, 216));
    EXPECT_EQ(UIKeyboard::animationCurve(show), 7);
    EXPECT_DOUBLE_EQ(UIKeyboard::animationDuration(show), 0.25);

    Notification bare{std::string(UIKeyboardWillHideNotification), nullptr, {}};
    bare.userInfo[std::string(UIKeyboardFrameEndUserInfoKey)] = std::string("not a rect");
    EXPECT_TRUE(CGRectIsEmpty(UIKeyboard::endFrame(bare)));
    EXPECT_EQ(UIKeyboard::animationCurve(bare), 0);
    EXPECT_EQ(UIKeyboard::animationDuration(bare), 0);

    auto& screen = UIScreen::mainScreen();
    screen.setBounds({0, 480});  // refused
    EXPECT_EQ(screen.bounds(), CGRectMake(0, 0, 320, 568));
    screen.setBounds({320, 480});
    EXPECT_EQ(UIKeyboard::frameOnScreen(), CGRectMake(0, 264, 320, 216));
    screen.reset();
}

TEST(ScrollView, ScrollRectToVisibleStaysWithinContentAndInsets) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 400));
    scroll->setContentSize({320, 1000});
    scroll->scrollRectToVisible(CGRectMake(0, 700, 320, 44), false);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 344));
    scroll->scrollRectToVisible(CGRectMake(0, 990, 320, 100), false);  // past the content: clamped
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 600));
    scroll->setContentInset(UIEdgeInsetsMake(64, 0, 0, 0));
    scroll->scrollRectToVisible(CGRectMake(0, -100, 10, 10), false);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, -64));
}

TEST(TextField, TheDelegateIsHeldWeaklyMayRefuseAnEditAndAnswersReturn) {
    struct NoDigits : UITextFieldDelegate {
        int returns = 0;
        std::optional<bool> shouldChangeCharactersInRange(UITextField&, std::size_t, std::size_t,
                                                          const std::string& replacement) override {
            return replacement.find_first_of("0123456789") == std::string::npos;
        }
        std::optional<bool> textFieldShouldReturn(UITextField& field) override {
            ++returns;
            field.resignFirstResponder();
            return false;
        }
    };
    auto window = std::make_shared<UIWindow>();
    auto field = UITextField::initWithFrame(CGRectZero);
    window->addSubview(field);
    EXPECT_TRUE(field->userPressReturn());  // no delegate: yes
    auto delegate = std::make_shared<NoDigits>();
    field->setDelegate(delegate);
    EXPECT_TRUE(field->userInsertText("ab"));
    EXPECT_FALSE(field->userInsertText("1"));
    EXPECT_EQ(field->text(), "ab");
    field->setText("é");
    EXPECT_TRUE(field->userDeleteBackward());  // a whole two-byte character
    EXPECT_EQ(field->text(), "");
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_FALSE(field->userPressReturn());
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(delegate->returns, 1);
    delegate.reset();
    EXPECT_EQ(field->delegate(), nullptr);
    EXPECT_TRUE(field->userPressReturn());
    field->setEnabled(false);
    EXPECT_FALSE(field->userInsertText("x"));
    EXPECT_FALSE(field->becomeFirstResponder());
}

}  // namespace
}  // namespace vx
