// The three containers: notifications, the merged text-field set-up pass, Return, touches,
// and the content-size and frame overrides.
#include "keyboard/vx_collection_view.h"
#include "keyboard/vx_scroll_view.h"
#include "keyboard/vx_table_view.h"
#include "keyboard_fixture.h"

namespace vx::testing {
namespace {

const char* const kSetupSelector = "VX_assignTextDelegateForViewsBeneathView:";

const void* identityOf(const Object& object) { return &object; }

void post(const Notification& notification) { NotificationCenter::defaultCenter().post(notification); }
Notification keyboardUp() { return UIKeyboard::willShowNotification(UIKeyboard::frameOnScreen()); }
Notification keyboardDown() { return UIKeyboard::willHideNotification(UIKeyboard::frameOffScreen()); }

class Containers : public KeyboardTest {
protected:
    void SetUp() override {
        KeyboardTest::SetUp();
        container = VXScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
        window->addSubview(container);
        first = fieldAt(20, 100);
        last = fieldAt(20, 200);
        container->addSubview(first);
        container->addSubview(last);
    }
    void runSetupPass() {
        container->layoutSubviews();
        RunLoop::main().advance(0.1);
    }
    std::shared_ptr<VXScrollView> container;
    std::shared_ptr<UITextField> first, last;
};

TEST_F(Containers, ABurstOfLayoutPassesGivesOneSetupPassAfterTheLast) {
    for (int pass = 0; pass < 5; ++pass) {
        if (pass > 0) RunLoop::main().advance(0.05);
        container->layoutSubviews();
        EXPECT_EQ(first->returnKeyType(), UIReturnKeyType::Default) << "pass " << pass;
    }
    EXPECT_EQ(RunLoop::main().pendingCount(), 1u);
    RunLoop::main().advance(0.099);
    EXPECT_EQ(first->returnKeyType(), UIReturnKeyType::Default);
    RunLoop::main().advance(0.002);
    EXPECT_EQ(first->returnKeyType(), UIReturnKeyType::Next);
    EXPECT_EQ(last->returnKeyType(), UIReturnKeyType::Done);
    EXPECT_EQ(first->delegate().get(), static_cast<UITextFieldDelegate*>(container.get()));
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
}

TEST_F(Containers, LeavingTheSuperviewCancelsThePendingSetup) {
    container->layoutSubviews();
    RunLoop::main().advance(0.05);
    container->removeFromSuperview();
    EXPECT_FALSE(RunLoop::main().hasPending(identityOf(*container), kSetupSelector));
    RunLoop::main().advance(1);
    EXPECT_EQ(first->returnKeyType(), UIReturnKeyType::Default);

    // Moving to another superview keeps it.
    auto other = viewAt(0, 0, 320, 480);
    window->addSubview(other);
    container->layoutSubviews();
    other->addSubview(container);
    RunLoop::main().advance(0.1);
    EXPECT_EQ(first->returnKeyType(), UIReturnKeyType::Next);
}

TEST_F(Containers, ReturnStepsToTheNextFieldAndTheLastOneResigns) {
    runSetupPass();
    ASSERT_TRUE(first->becomeFirstResponder());
    EXPECT_TRUE(first->userPressReturn());
    EXPECT_TRUE(first->isFirstResponder()) << "the focus moves on the next pass of the run loop";
    RunLoop::main().runPending();
    EXPECT_TRUE(last->isFirstResponder());

    EXPECT_EQ(container->textFieldShouldReturn(*last), std::optional<bool>(true));
    EXPECT_FALSE(last->isFirstResponder());
    EXPECT_EQ(window->firstResponder(), nullptr);
    EXPECT_FALSE(container->focusNextTextField()) << "no first responder";
}

TEST_F(Containers, ATouchEndingOnTheContainerDismissesTheKeyboardThenGoesOn) {
    struct TouchCounter : UIView {
        using UIView::UIView;
        int touches = 0;
        void touchesEnded(const UITouchSet&, const UIEvent*) override { ++touches; }
    };
    auto parent = std::make_shared<TouchCounter>(CGRectMake(0, 0, 320, 480));
    window->addSubview(parent);
    parent->addSubview(container);
    ASSERT_TRUE(first->becomeFirstResponder());

    container->touchesEnded({}, nullptr);
    EXPECT_FALSE(first->isFirstResponder());
    EXPECT_EQ(parent->touches, 1);
    container->touchesEnded({}, nullptr);
    EXPECT_EQ(parent->touches, 2) << "no responder: straight on to the superclass";
}

TEST_F(Containers, TwoContainersKeepTheirOwnState) {
    // The screen is 568 high; the keyboard covers 352…568.
    container->setFrame(CGRectMake(0, 0, 320, 300));
    auto lower = VXScrollView::initWithFrame(CGRectMake(0, 200, 320, 368));
    window->addSubview(lower);
    post(keyboardUp());

    EXPECT_EQ(container->contentInset().bottom, -52) << "wholly below: 216 less 268";
    EXPECT_EQ(lower->contentInset().bottom, 216);
    EXPECT_NE(keyboardAvoidingState(*container), keyboardAvoidingState(*lower));
    EXPECT_EQ(keyboardAvoidingState(*lower)->keyboardRect(), CGRectMake(0, 152, 320, 216));
    const auto changes = AnimationRecorder::shared().changesOf(lower.get(), "contentInset");
    ASSERT_FALSE(changes.empty());
    ASSERT_TRUE(changes.back().blockId.has_value());
    const auto* block = AnimationRecorder::shared().block(*changes.back().blockId);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->curve, UIKeyboard::kAnimationCurve);
    EXPECT_EQ(block->duration, UIKeyboard::kAnimationDuration);

    post(keyboardDown());
    EXPECT_EQ(container->contentInset(), UIEdgeInsetsZero);
    EXPECT_EQ(lower->contentInset(), UIEdgeInsetsZero);
    EXPECT_FALSE(keyboardAvoidingState(*lower)->keyboardVisible());
}

TEST_F(Containers, BeginningToEditScrollsOnlyWhileTheKeyboardIsUp) {
    container->setContentSize(CGSizeMake(320, 1000));
    auto far = fieldAt(20, 700, 100, 31);
    container->addSubview(far);
    ASSERT_TRUE(far->becomeFirstResponder());
    EXPECT_EQ(container->contentOffset(), CGPointZero);

    post(keyboardUp());  // bottom 216 - 152 = 64; visible 352: margin 160.5, offset 539.5
    EXPECT_EQ(container->contentInset().bottom, 64);
    EXPECT_EQ(container->contentOffset(), CGPointMake(0, 539.5));

    container->setContentOffset(CGPointMake(7, 300));
    ASSERT_TRUE(first->becomeFirstResponder());  // posts the text field's begin-editing
    EXPECT_EQ(container->contentOffset(), CGPointMake(0, 0)) << "-61 raised to the top";
    auto textView = UITextView::initWithFrame(CGRectMake(20, 500, 200, 60));
    container->addSubview(textView);
    ASSERT_TRUE(textView->becomeFirstResponder());
    EXPECT_EQ(container->contentOffset(), CGPointMake(0, 500 - 146));
}

TEST_F(Containers, FrameChangesRecomputeTheInsetWithoutAnimation) {
    auto table = VXTableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->style(), UITableViewStyle::Grouped);
    window->addSubview(table);
    post(keyboardUp());
    EXPECT_EQ(table->contentInset().bottom, 64);

    table->setFrame(CGRectMake(0, 0, 320, 500));
    EXPECT_EQ(table->contentInset().bottom, 148) << "216 less the 68 below the taller table";
    const auto changes = AnimationRecorder::shared().changesOf(table.get(), "contentInset");
    ASSERT_FALSE(changes.empty());
    EXPECT_FALSE(changes.back().blockId.has_value());

    // The table passes every content size on, equal or not.
    table->setContentInset(UIEdgeInsetsZero);
    table->setContentSize(table->contentSize());
    EXPECT_EQ(table->contentInset().bottom, 148);
}

TEST_F(Containers, TheCollectionViewIgnoresItsCurrentContentSize) {
    EXPECT_EQ(VXCollectionView::initWithFrame(CGRectMake(0, 0, 320, 416), nullptr), nullptr);
    auto collection = VXCollectionView::initWithFrame(CGRectMake(0, 0, 320, 416));
    ASSERT_NE(collection, nullptr);
    window->addSubview(collection);
    collection->setContentSize(CGSizeMake(320, 600));
    post(keyboardUp());

    collection->setContentInset(UIEdgeInsetsZero);
    const auto before = AnimationRecorder::shared().changesOf(collection.get(), "contentSize").size();
    collection->setContentSize(CGSizeMake(320, 600));
    EXPECT_EQ(AnimationRecorder::shared().changesOf(collection.get(), "contentSize").size(), before);
    EXPECT_EQ(collection->contentInset(), UIEdgeInsetsZero) << "no inset update either";

    collection->setContentSize(CGSizeMake(320, 601));
    EXPECT_EQ(collection->contentSize(), CGSizeMake(320, 601));
    EXPECT_EQ(collection->contentInset().bottom, 64);
    EXPECT_EQ(keyboardAvoidingState(*collection)->priorContentSize(), CGSizeZero);
}

TEST_F(Containers, ObserversAndPendingSetupGoWithTheContainer) {
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount(UIKeyboardWillShowNotification), 1u);
    auto loose = VXScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    loose->layoutSubviews();
    const void* identity = identityOf(*loose);
    ASSERT_TRUE(RunLoop::main().hasPending(identity, kSetupSelector));
    loose.reset();
    EXPECT_FALSE(RunLoop::main().hasPending(identity, kSetupSelector));

    window->removeAllSubviews();
    container.reset();
    for (auto name :
         {UIKeyboardWillShowNotification, UIKeyboardWillHideNotification,
          UITextFieldTextDidBeginEditingNotification, UITextViewTextDidBeginEditingNotification})
        EXPECT_EQ(NotificationCenter::defaultCenter().observerCount(name), 0u) << name;
    post(keyboardUp());
    RunLoop::main().advance(1);
}

TEST_F(Containers, AContainerBuiltWithoutAFactoryObservesAfterAwakeFromNib) {
    auto loaded = std::make_shared<VXTableView>(CGRectMake(0, 0, 320, 200), UITableViewStyle::Plain);
    window->addSubview(loaded);
    post(keyboardUp());
    EXPECT_FALSE(keyboardAvoidingState(*loaded)->keyboardVisible());
    post(keyboardDown());

    loaded->awakeFromNib();
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount(UIKeyboardWillHideNotification), 2u);
    post(keyboardUp());
    EXPECT_TRUE(keyboardAvoidingState(*loaded)->keyboardVisible());
}

}  // namespace
}  // namespace vx::testing
