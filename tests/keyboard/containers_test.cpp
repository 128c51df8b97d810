// The three containers: notifications, the merged text-field set-up pass, Return, touches,
// and the content-size and frame overrides.
#include "keyboard/vx_collection_view.h"
#include "keyboard/vx_scroll_view.h"
#include "keyboard/vx_table_view.h"
#include "keyboard_fixture.h"

namespace vx::testing {
namespace {

const char* const kSetupSelector = "VX_assignTextDelegateForViewsBeneathView:";

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
    std::shared_ptr<VXScrollView> container;
    std::shared_ptr<UITextField> first, last;
};

TEST_F(Containers, LayoutPassesMergeIntoOneSetupPassThatLeavingTheSuperviewCancels) {
    for (int pass = 0; pass < 5; ++pass) {
        if (pass > 0) RunLoop::main().advance(0.05);
        container->layoutSubviews();
    }
    EXPECT_EQ(RunLoop::main().pendingCount(), 1u);
    RunLoop::main().advance(0.099);
    EXPECT_EQ(first->returnKeyType(), UIReturnKeyType::Default);
    RunLoop::main().advance(0.002);
    EXPECT_EQ(first->returnKeyType(), UIReturnKeyType::Next);
    EXPECT_EQ(last->returnKeyType(), UIReturnKeyType::Done);

    container->layoutSubviews();
    container->removeFromSuperview();
    EXPECT_EQ(RunLoop::main().pendingCount(), 0u);
    auto other = viewAt(0, 0, 320, 480);
    window->addSubview(other);
    container->layoutSubviews();
    other->addSubview(container);
    EXPECT_EQ(RunLoop::main().pendingCount(), 1u) << "moving to another superview keeps it";
}

TEST_F(Containers, ReturnStepsToTheNextFieldTheLastResignsATouchDismissesThenGoesOn) {
    struct TouchCounter : UIView {
        using UIView::UIView;
        int touches = 0;
        void touchesEnded(const UITouchSet&, const UIEvent*) override { ++touches; }
    };
    auto parent = std::make_shared<TouchCounter>(CGRectMake(0, 0, 320, 480));
    window->addSubview(parent);
    parent->addSubview(container);
    container->layoutSubviews();
    RunLoop::main().advance(0.1);
    ASSERT_TRUE(first->becomeFirstResponder());
    EXPECT_TRUE(first->userPressReturn());
    EXPECT_TRUE(first->isFirstResponder()) << "the focus moves on the next pass of the run loop";
    RunLoop::main().runPending();
    EXPECT_TRUE(last->isFirstResponder());
    EXPECT_EQ(container->textFieldShouldReturn(*last), std::optional<bool>(true));
    EXPECT_EQ(window->firstResponder(), nullptr);
    EXPECT_FALSE(container->focusNextTextField()) << "no first responder";

    ASSERT_TRUE(first->becomeFirstResponder());
    container->touchesEnded({}, nullptr);
    EXPECT_FALSE(first->isFirstResponder());
    container->touchesEnded({}, nullptr);
    EXPECT_EQ(parent->touches, 2);
}

TEST_F(Containers, TwoContainersKeepTheirOwnStateAndBeginningToEditScrolls) {
    // The screen is 568 high; the keyboard covers 352…568.
    container->setContentSize(CGSizeMake(320, 1000));
    auto far = fieldAt(20, 700, 100, 31);
    container->addSubview(far);
    ASSERT_TRUE(far->becomeFirstResponder());
    auto lower = VXScrollView::initWithFrame(CGRectMake(0, 200, 320, 368));
    window->addSubview(lower);
    post(keyboardUp());  // bottom 216 - 152 = 64; visible 352: margin 160.5, offset 539.5
    EXPECT_EQ(container->contentInset().bottom, 64);
    EXPECT_EQ(container->contentOffset(), CGPointMake(0, 539.5));
    EXPECT_EQ(lower->contentInset().bottom, 216);

    container->setContentOffset(CGPointMake(7, 300));
    ASSERT_TRUE(first->becomeFirstResponder());  // posts the text field's begin-editing
    EXPECT_EQ(container->contentOffset(), CGPointMake(0, 0)) << "-61 raised to the top";
    auto textView = UITextView::initWithFrame(CGRectMake(20, 500, 200, 60));
    container->addSubview(textView);
    ASSERT_TRUE(textView->becomeFirstResponder());
    EXPECT_EQ(container->contentOffset(), CGPointMake(0, 500 - 146));

    post(keyboardDown());
    EXPECT_EQ(container->contentInset(), UIEdgeInsetsZero);
    EXPECT_EQ(lower->contentInset(), UIEdgeInsetsZero);
}

// A frame change recomputes the inset outside any animation; the table passes every content
// size on, equal or not, the collection view only a new one.
TEST_F(Containers, TableAndCollectionViewRecomputeTheInsetOnTheirOwnTerms) {
    EXPECT_EQ(VXCollectionView::initWithFrame(CGRectMake(0, 0, 320, 416), nullptr), nullptr);
    auto table = VXTableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
    auto collection = VXCollectionView::initWithFrame(CGRectMake(0, 0, 320, 416));
    window->addSubview(table);
    window->addSubview(collection);
    collection->setContentSize(CGSizeMake(320, 600));
    post(keyboardUp());
    table->setFrame(CGRectMake(0, 0, 320, 500));
    EXPECT_EQ(table->contentInset().bottom, 148) << "216 less the 68 below the taller table";
    const auto changes = AnimationRecorder::shared().changesOf(table.get(), "contentInset");
    ASSERT_FALSE(changes.empty());
    EXPECT_FALSE(changes.back().blockId.has_value());

    table->setContentInset(UIEdgeInsetsZero);
    table->setContentSize(table->contentSize());
    EXPECT_EQ(table->contentInset().bottom, 148);
    collection->setContentInset(UIEdgeInsetsZero);
    collection->setContentSize(CGSizeMake(320, 600));
    EXPECT_EQ(collection->contentInset(), UIEdgeInsetsZero) << "no inset update";
    collection->setContentSize(CGSizeMake(320, 601));
    EXPECT_EQ(collection->contentInset().bottom, 64);
}

// Counts the blocks it has handed out and not yet taken back.
int liveBlocks = 0;
template <class T>
struct CountingAllocator {
    using value_type = T;
    CountingAllocator() = default;
    template <class U>
    explicit CountingAllocator(const CountingAllocator<U>&) {}
    T* allocate(std::size_t n) {
        ++liveBlocks;
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) {
        --liveBlocks;
        std::allocator<T>().deallocate(p, n);
    }
    bool operator==(const CountingAllocator&) const { return true; }
};

TEST_F(Containers, AwakeFromNibSubscribesAndTheContainerTakesItsObserversAndSetupAlong) {
    // Built as an interface file would, in counted memory: once the container is gone nothing
    // may hold that memory (the notification centre would until its next post).
    auto loose = std::allocate_shared<VXScrollView>(CountingAllocator<VXScrollView>(),
                                                    CGRectMake(0, 0, 320, 416));
    loose->awakeFromNib();
    post(keyboardUp());
    EXPECT_TRUE(keyboardAvoidingState(*loose)->keyboardVisible());
    loose->layoutSubviews();
    const void* identity = static_cast<const Object*>(loose.get());
    ASSERT_TRUE(RunLoop::main().hasPending(identity, kSetupSelector));
    AnimationRecorder::shared().clear();  // its records of the show know the container too
    loose.reset();
    EXPECT_FALSE(RunLoop::main().hasPending(identity, kSetupSelector));
    EXPECT_EQ(liveBlocks, 0);
}

}  // namespace
}  // namespace vx::testing
