// Keyboard show and hide on one scroll view: what is remembered, what changes inside the
// keyboard's animation, and what is put back.
#include "keyboard/vx_scroll_view.h"
#include "keyboard_fixture.h"

namespace vx::testing {
namespace {

// A scroll view under a 64-point bar, 416 high; the keyboard's on-screen frame
// (0, 352, 320, 216) is (5, 288, 320, 216) in its coordinates (content offset (5, 0)): 128
// points of it cover the view.
class KeyboardShowHide : public KeyboardTest {
protected:
    void SetUp() override {
        KeyboardTest::SetUp();
        scroll = UIScrollView::initWithFrame(CGRectMake(0, 64, 320, 416));
        window->addSubview(scroll);
        scroll->setContentSize(CGSizeMake(320, 600));
        scroll->setContentInset(UIEdgeInsetsMake(3, 1, 4, 2));
        scroll->setScrollIndicatorInsets(UIEdgeInsetsMake(5, 0, 6, 0));
        scroll->setContentOffset(CGPointMake(5, 0));
        scroll->setPagingEnabled(true);
        field = fieldAt(20, 300, 100, 31);
        scroll->addSubview(field);
    }

    static Notification show(int curve = 7, double duration = 0.3) {
        return UIKeyboard::willShowNotification(CGRectMake(0, 352, 320, 216), curve, duration);
    }
    static Notification hide(int curve = 7, double duration = 0.3) {
        return UIKeyboard::willHideNotification(CGRectMake(0, 568, 320, 216), curve, duration);
    }
    std::size_t blockCount() const { return AnimationRecorder::shared().blocks().size(); }

    std::shared_ptr<UIScrollView> scroll;
    std::shared_ptr<UITextField> field;
};

TEST_F(KeyboardShowHide, ShowRaisesTheInsetAndCentresTheFieldHideRestoresAllButTheOffsetOnce) {
    ASSERT_TRUE(field->becomeFirstResponder());
    AnimationRecorder::shared().clear();
    VX_keyboardWillShow(*scroll, show());

    auto state = keyboardAvoidingState(*scroll);
    EXPECT_TRUE(state->keyboardVisible());
    EXPECT_EQ(state->keyboardRect(), CGRectMake(5, 288, 320, 216));
    EXPECT_FALSE(scroll->isPagingEnabled());
    EXPECT_EQ(state->priorContentSize(), CGSizeZero) << "only a VXScrollView saves its size";
    EXPECT_EQ(scroll->contentInset(), UIEdgeInsetsMake(3, 1, 128, 2));
    EXPECT_EQ(scroll->scrollIndicatorInsets(), scroll->contentInset());
    // Visible height 416 - 3 - 128 = 285; margin (285 - 31) / 2 = 127; 300 - 127 - 3 = 170.
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(5, 170)) << "x is kept";

    const auto* block = AnimationRecorder::shared().lastBlock();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->kind, AnimationBlock::Kind::BeginCommit);
    EXPECT_EQ(block->curve, 7);
    EXPECT_EQ(block->duration, static_cast<double>(0.3f)) << "duration read as single precision";
    EXPECT_TRUE(block->committed);
    std::vector<std::string> animated;
    for (const auto& change : AnimationRecorder::shared().changesInBlock(block->id)) {
        EXPECT_FALSE(change.animatedSetter);
        if (change.property != "bounds") animated.push_back(change.property);  // the offset's
    }
    EXPECT_EQ(animated,
              (std::vector<std::string>{"contentInset", "contentOffset", "scrollIndicatorInsets"}));
    const auto blocks = blockCount();
    VX_keyboardWillShow(*scroll, UIKeyboard::willShowNotification(CGRectMake(0, 100, 320, 468)));
    EXPECT_EQ(state->keyboardRect(), CGRectMake(5, 288, 320, 216)) << "a second show changes nothing";
    EXPECT_EQ(blockCount(), blocks);

    VX_keyboardWillHide(*scroll, hide(3, 0.5));
    EXPECT_FALSE(state->keyboardVisible());
    EXPECT_EQ(state->keyboardRect(), CGRectZero);
    EXPECT_EQ(scroll->contentInset(), UIEdgeInsetsMake(3, 1, 4, 2));
    EXPECT_EQ(scroll->scrollIndicatorInsets(), UIEdgeInsetsMake(5, 0, 6, 0));
    EXPECT_TRUE(scroll->isPagingEnabled());
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(5, 170));
    EXPECT_EQ(scroll->contentSize(), CGSizeMake(320, 600));
    block = AnimationRecorder::shared().lastBlock();
    EXPECT_EQ(block->curve, 3);
    EXPECT_EQ(block->duration, 0.5);
    EXPECT_EQ(AnimationRecorder::shared().changesInBlock(block->id).size(), 2u);
    scroll->setContentInset(UIEdgeInsetsMake(9, 9, 9, 9));
    VX_keyboardWillHide(*scroll, hide());
    EXPECT_EQ(scroll->contentInset(), UIEdgeInsetsMake(9, 9, 9, 9)) << "a second hide changes nothing";
}

TEST_F(KeyboardShowHide, HiddenUpdatesAndEmptyOrMissingFramesChangeNothing) {
    VX_updateContentInset(*scroll);
    VX_updateFromContentSizeChange(*scroll);
    VX_scrollToActiveTextField(*scroll);
    EXPECT_EQ(scroll->contentInset(), UIEdgeInsetsMake(3, 1, 4, 2));
    EXPECT_EQ(keyboardAvoidingState(*scroll)->priorContentSize(), CGSizeZero);
    Notification bare;
    bare.name = std::string(UIKeyboardWillShowNotification);
    VX_keyboardWillShow(*scroll, bare);
    VX_keyboardWillShow(*scroll, UIKeyboard::willShowNotification(CGRectMake(0, 352, 320, 0)));
    EXPECT_FALSE(keyboardAvoidingState(*scroll)->keyboardVisible());
    EXPECT_EQ(blockCount(), 0u);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(5, 0));

    Notification frameOnly;
    frameOnly.userInfo[std::string(UIKeyboardFrameEndUserInfoKey)] = CGRectMake(0, 352, 320, 216);
    VX_keyboardWillShow(*scroll, frameOnly);
    ASSERT_TRUE(keyboardAvoidingState(*scroll)->keyboardVisible());
    EXPECT_EQ(AnimationRecorder::shared().lastBlock()->curve, 0);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(5, 0)) << "no responder: the offset stays";

    VX_keyboardWillHide(*scroll, UIKeyboard::willHideNotification(CGRectMake(0, 568, 0, 216)));
    EXPECT_TRUE(keyboardAvoidingState(*scroll)->keyboardVisible()) << "an empty hide restores nothing";
}

TEST_F(KeyboardShowHide, VisibleUpdatesFollowTheFrameAndScrollToTheActiveField) {
    VX_keyboardWillShow(*scroll, show());
    scroll->setFrame(CGRectMake(0, 64, 320, 300));
    VX_updateContentInset(*scroll);
    EXPECT_EQ(scroll->contentInset().bottom, 12) << "216 less the 204 below the shorter view";
    VX_updateFromContentSizeChange(*scroll);
    EXPECT_EQ(keyboardAvoidingState(*scroll)->priorContentSize(), CGSizeMake(320, 600));

    scroll->setFrame(CGRectMake(0, 64, 320, 416));
    VX_updateContentInset(*scroll);
    ASSERT_TRUE(field->becomeFirstResponder());
    VX_scrollToActiveTextField(*scroll);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 170)) << "x goes to 0 here";
    const auto* block = AnimationRecorder::shared().lastBlock();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->kind, AnimationBlock::Kind::AnimateWithDuration);
    EXPECT_EQ(block->duration, 0.25);
    field->resignFirstResponder();
    VX_scrollToActiveTextField(*scroll);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, -3)) << "no responder: the top";
}

TEST_F(KeyboardShowHide, AVXScrollViewComputesAnEmptySizeAndRestoresTheLastSizeSet) {
    auto vxScroll = VXScrollView::initWithFrame(CGRectMake(0, 64, 320, 416));
    window->addSubview(vxScroll);
    vxScroll->addSubview(fieldAt(20, 300, 100, 31));
    vxScroll->addSubview(viewAt(0, 0, 200, 40));
    VX_keyboardWillShow(*vxScroll, show());
    EXPECT_EQ(vxScroll->contentSize(), CGSizeMake(200, 341));
    EXPECT_EQ(keyboardAvoidingState(*vxScroll)->priorContentSize(), CGSizeMake(200, 341));
    EXPECT_EQ(vxScroll->contentInset().bottom, 128);

    vxScroll->setContentInset(UIEdgeInsetsZero);
    vxScroll->setContentSize(CGSizeMake(320, 900));
    EXPECT_EQ(vxScroll->contentInset().bottom, 128) << "recomputed";
    EXPECT_EQ(keyboardAvoidingState(*vxScroll)->priorContentSize(), CGSizeMake(320, 900));
    vxScroll->setContentSize(CGSizeMake(320, 700));
    VX_keyboardWillHide(*vxScroll, hide());
    EXPECT_EQ(vxScroll->contentSize(), CGSizeMake(320, 700));
    EXPECT_EQ(vxScroll->contentInset(), UIEdgeInsetsZero);

    vxScroll->contentSizeToFit();
    EXPECT_EQ(vxScroll->contentSize(), CGSizeMake(200, 341));
    EXPECT_EQ(keyboardAvoidingState(*vxScroll)->priorContentSize(), CGSizeMake(320, 700))
        << "hidden: the size to restore is not touched";
    VX_keyboardWillShow(*vxScroll, show());
    VX_keyboardWillHide(*vxScroll, hide());
    EXPECT_EQ(vxScroll->contentSize(), CGSizeMake(200, 341)) << "a size set before the show stays";

    // A plain scroll view's empty size is left alone.
    scroll->setContentSize(CGSizeZero);
    VX_keyboardWillShow(*scroll, show());
    EXPECT_EQ(scroll->contentSize(), CGSizeZero);
}

}  // namespace
}  // namespace vx::testing
