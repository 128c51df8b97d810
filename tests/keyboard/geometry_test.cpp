// The pure geometry of keyboard avoidance: insets, ideal offsets, content sizes, the next
// input and the return keys.
#include <limits>

#include "keyboard/vx_scroll_view.h"
#include "keyboard_fixture.h"

namespace vx::testing {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

class KeyboardGeometry : public KeyboardTest {};

std::shared_ptr<UIView> nextAfter(UIScrollView& scroll, const UIView& prior) {
    double minY = kLargest;
    std::shared_ptr<UIView> found;
    VX_findTextFieldAfterTextField(scroll, prior, scroll, minY, found);
    return found;
}

TEST_F(KeyboardGeometry, StateStartsZeroAndBelongsToOneScrollView) {
    auto first = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto second = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto state = keyboardAvoidingState(*first);
    EXPECT_FALSE(state->keyboardVisible());
    EXPECT_FALSE(state->priorPagingEnabled());
    EXPECT_EQ(state->keyboardRect(), CGRectZero);
    EXPECT_EQ(state->priorInset(), UIEdgeInsetsZero);
    EXPECT_EQ(state->priorScrollIndicatorInsets(), UIEdgeInsetsZero);
    EXPECT_EQ(state->priorContentSize(), CGSizeZero);
    EXPECT_EQ(keyboardAvoidingState(*first), state);
    EXPECT_NE(keyboardAvoidingState(*second), state);

    std::weak_ptr<VXState> weakState = state;
    state.reset();
    first.reset();
    EXPECT_TRUE(weakState.expired()) << "the record goes with its scroll view";
}

TEST_F(KeyboardGeometry, InsetIsTheKeyboardPartAboveTheViewBottom) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto state = keyboardAvoidingState(*scroll);

    state->setKeyboardRect(CGRectMake(0, 200, 320, 216));
    EXPECT_EQ(VX_contentInsetForKeyboard(*scroll), UIEdgeInsetsMake(0, 0, 216, 0));
    state->setKeyboardRect(CGRectMake(0, 264, 320, 216));
    EXPECT_EQ(VX_contentInsetForKeyboard(*scroll), UIEdgeInsetsMake(0, 0, 152, 0));
    state->setKeyboardRect(CGRectMake(0, 500, 320, 216));
    EXPECT_EQ(VX_contentInsetForKeyboard(*scroll), UIEdgeInsetsMake(0, 0, -84, 0))
        << "a keyboard wholly below the view gives a negative bottom inset";

    // The other sides are the ones in force; scrolling moves the view's bottom, not K.
    scroll->setContentInset(UIEdgeInsetsMake(5, 6, 7, 8));
    scroll->setContentOffset(CGPointMake(0, 100));
    state->setKeyboardRect(CGRectMake(0, 264, 320, 216));
    EXPECT_EQ(VX_contentInsetForKeyboard(*scroll), UIEdgeInsetsMake(5, 6, 216, 8));
}

TEST_F(KeyboardGeometry, IdealOffsetCentresAndClamps) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    scroll->setContentSize(CGSizeMake(320, 600));
    auto field = fieldAt(20, 300, 100, 31);
    scroll->addSubview(field);

    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, field.get(), 200), 215.5);
    field->setFrame(CGRectMake(20, 50, 100, 31));
    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, field.get(), 200), 0) << "raised from -34.5";
    field->setFrame(CGRectMake(20, 590, 100, 31));
    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, field.get(), 200), 400) << "lowered from 505.5";
    field->setFrame(CGRectMake(20, 300, 100, 190));
    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, field.get(), 200), 280) << "margin 5 raised to 20";

    // Too little content: the top clamp runs last and wins, whatever the view.
    scroll->setContentSize(CGSizeMake(320, 150));
    scroll->setContentInset(UIEdgeInsetsMake(15, 0, 0, 0));
    field->setFrame(CGRectMake(20, 300, 100, 31));
    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, field.get(), 200), -15);
    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, nullptr, 200), -15) << "no view: the top";

    // The view's position is taken in the scroll view's coordinates, through its parents.
    scroll->setContentSize(CGSizeMake(320, 600));
    scroll->setContentInset(UIEdgeInsetsMake(10, 0, 0, 0));
    auto holder = viewAt(0, 100, 320, 200);
    scroll->addSubview(holder);
    auto nested = fieldAt(20, 200, 100, 31);
    holder->addSubview(nested);
    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, nested.get(), 200), 300 - 84.5 - 10);
}

TEST_F(KeyboardGeometry, ContentSizeIsTheUnionOfSubviewFramesWithTheOrigin) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    EXPECT_EQ(VX_calculatedContentSizeFromSubviewFrames(*scroll), CGSizeMake(0, 10));

    auto single = viewAt(-10, -5, 50, 50);
    scroll->addSubview(single);
    EXPECT_EQ(VX_calculatedContentSizeFromSubviewFrames(*scroll), CGSizeMake(50, 60));
    single->removeFromSuperview();

    scroll->addSubview(viewAt(10, 20, 100, 30));
    auto hidden = viewAt(0, 300, 320, 44);
    hidden->setHidden(true);
    scroll->addSubview(hidden);
    scroll->setShowsVerticalScrollIndicator(false);
    EXPECT_EQ(VX_calculatedContentSizeFromSubviewFrames(*scroll), CGSizeMake(320, 354))
        << "hidden subviews count";
    EXPECT_FALSE(scroll->showsVerticalScrollIndicator());
    EXPECT_TRUE(scroll->showsHorizontalScrollIndicator());
}

// Fields A (20, 100), C (200, 100), D (20, 150) and B (20, 200), added as A, B, C, D.
class FourFields : public KeyboardGeometry {
protected:
    void SetUp() override {
        KeyboardGeometry::SetUp();
        scroll = VXScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
        for (auto* field : {&a, &b, &c, &d}) *field = fieldAt(0, 0);
        a->setFrame(CGRectMake(20, 100, 100, 30));
        b->setFrame(CGRectMake(20, 200, 100, 30));
        c->setFrame(CGRectMake(200, 100, 100, 30));
        d->setFrame(CGRectMake(20, 150, 100, 30));
        for (const auto& field : {a, b, c, d}) scroll->addSubview(field);
    }
    std::shared_ptr<VXScrollView> scroll;
    std::shared_ptr<UITextField> a, b, c, d;
};

TEST_F(FourFields, NextInputGoesAlongTheRowThenDown) {
    EXPECT_EQ(nextAfter(*scroll, *a), c) << "same row, to the right";
    EXPECT_EQ(nextAfter(*scroll, *c), d) << "A is on C's row but to its left";
    EXPECT_EQ(nextAfter(*scroll, *d), b);
    EXPECT_EQ(nextAfter(*scroll, *b), nullptr);

    double minY = kLargest;
    std::shared_ptr<UIView> found;
    VX_findTextFieldAfterTextField(*scroll, *a, *scroll, minY, found);
    EXPECT_DOUBLE_EQ(minY, 100);
}

TEST_F(FourFields, SetUpGivesNextAndDoneAndTheContainerAsDelegate) {
    VX_assignTextDelegateForViewsBeneathView(*scroll, *scroll);
    EXPECT_EQ(a->returnKeyType(), UIReturnKeyType::Next);
    EXPECT_EQ(c->returnKeyType(), UIReturnKeyType::Next);
    EXPECT_EQ(d->returnKeyType(), UIReturnKeyType::Next);
    EXPECT_EQ(b->returnKeyType(), UIReturnKeyType::Done);
    for (const auto& field : {a, b, c, d})
        EXPECT_EQ(field->delegate().get(), static_cast<UITextFieldDelegate*>(scroll.get()));

    // Set up once: a field added later below B does not turn B's Done into Next.
    scroll->addSubview(fieldAt(20, 300));
    VX_assignTextDelegateForViewsBeneathView(*scroll, *scroll);
    EXPECT_EQ(b->returnKeyType(), UIReturnKeyType::Done);
    EXPECT_EQ(std::static_pointer_cast<UITextField>(scroll->subviews().back())->returnKeyType(),
              UIReturnKeyType::Done);
}

TEST_F(FourFields, SetUpLeavesForeignDelegatesCustomKeysAndTextViewsAlone) {
    struct Other : UITextFieldDelegate {};
    auto other = std::make_shared<Other>();
    a->setDelegate(other);
    c->setReturnKeyType(UIReturnKeyType::Go);
    auto textView = UITextView::initWithFrame(CGRectMake(20, 250, 100, 60));
    scroll->addSubview(textView);
    b->setHidden(true);  // hidden fields are still set up

    VX_assignTextDelegateForViewsBeneathView(*scroll, *scroll);
    EXPECT_EQ(a->delegate(), other);
    EXPECT_EQ(a->returnKeyType(), UIReturnKeyType::Default);
    EXPECT_EQ(c->delegate(), nullptr);
    EXPECT_EQ(c->returnKeyType(), UIReturnKeyType::Go);
    EXPECT_EQ(textView->delegate(), nullptr);
    EXPECT_EQ(b->returnKeyType(), UIReturnKeyType::Next) << "the text view follows B";
    EXPECT_EQ(d->returnKeyType(), UIReturnKeyType::Next) << "hidden B is not D's next; the text view is";

    // A plain scroll view is no text-field delegate: the key is set, the delegate is not.
    auto plain = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto lone = fieldAt(20, 20);
    plain->addSubview(lone);
    VX_initializeView(*plain, *lone);
    EXPECT_EQ(lone->returnKeyType(), UIReturnKeyType::Done);
    EXPECT_EQ(lone->delegate(), nullptr);
}

TEST_F(KeyboardGeometry, TiesGoToTheFirstInDepthFirstOrder) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto prior = fieldAt(20, 100, 50);
    auto holder = viewAt(0, 0, 320, 200);
    auto nestedFirst = fieldAt(200, 100, 50);
    auto later = fieldAt(100, 100, 50);
    scroll->addSubview(prior);
    scroll->addSubview(holder);
    holder->addSubview(nestedFirst);
    scroll->addSubview(later);
    EXPECT_EQ(nextAfter(*scroll, *prior), nestedFirst)
        << "both on the prior's row and to its right: the earlier wins, not the nearer";

    auto lowerStill = fieldAt(250, 150, 50);
    auto lowerLater = fieldAt(0, 150, 50);
    scroll->addSubview(lowerStill);
    scroll->addSubview(lowerLater);
    EXPECT_EQ(nextAfter(*scroll, *nestedFirst), lowerStill)
        << "the row's others lie to the left; of the two below, the earlier wins";
}

TEST_F(KeyboardGeometry, GuardsOnHiddenDisabledAndSameRow) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto prior = fieldAt(200, 100);
    scroll->addSubview(prior);

    auto hidden = fieldAt(20, 120);
    hidden->setHidden(true);
    auto hiddenBox = viewAt(0, 130, 320, 50);
    hiddenBox->setHidden(true);
    hiddenBox->addSubview(fieldAt(0, 0));
    auto leftOnRow = fieldAt(20, 100);
    scroll->addSubview(hidden);
    scroll->addSubview(hiddenBox);
    scroll->addSubview(leftOnRow);
    EXPECT_EQ(nextAfter(*scroll, *prior), nullptr);

    // Just off the row (beyond the tolerance) the field to the left counts.
    leftOnRow->setFrame(CGRectMake(20, 100.0000001, 100, 30));
    EXPECT_EQ(nextAfter(*scroll, *prior), leftOnRow);
    leftOnRow->removeFromSuperview();

    // A field with interaction off is no candidate, but inputs inside it are searched.
    auto disabled = fieldAt(0, 140, 320, 100);
    disabled->setUserInteractionEnabled(false);
    auto inner = fieldAt(10, 20);
    disabled->addSubview(inner);
    scroll->addSubview(disabled);
    EXPECT_EQ(nextAfter(*scroll, *prior), inner);

    // A candidate input is not searched inside.
    auto outer = fieldAt(0, 130, 320, 100);
    outer->addSubview(fieldAt(0, 1));
    scroll->addSubview(outer);
    EXPECT_EQ(nextAfter(*scroll, *prior), outer);
}

TEST_F(KeyboardGeometry, RowTestComparesWithThePriorFrameUnconverted) {
    // The prior input sits in a holder that starts 50 points above the content origin, so
    // its top edge in the scroll view is 50 while its own frame says 100. A field at y 100
    // to its left then counts as "on its row" and is skipped.
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto holder = viewAt(0, -50, 320, 200);
    auto prior = fieldAt(200, 100);
    holder->addSubview(prior);
    scroll->addSubview(holder);
    auto left = fieldAt(20, 100);
    auto below = fieldAt(20, 180);
    scroll->addSubview(left);
    scroll->addSubview(below);
    EXPECT_EQ(nextAfter(*scroll, *prior), below);
}

TEST_F(KeyboardGeometry, FirstResponderIsFoundDepthFirstBeneathTheView) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    window->addSubview(scroll);
    auto holder = viewAt(0, 0, 320, 200);
    auto nested = fieldAt(0, 0);
    holder->addSubview(nested);
    scroll->addSubview(holder);
    EXPECT_EQ(VX_findFirstResponderBeneathView(*scroll, *scroll), nullptr);
    ASSERT_TRUE(nested->becomeFirstResponder());
    EXPECT_EQ(VX_findFirstResponderBeneathView(*scroll, *scroll), nested);
    EXPECT_EQ(VX_findFirstResponderBeneathView(*scroll, *nested), nullptr) << "never the view itself";
}

}  // namespace
}  // namespace vx::testing
