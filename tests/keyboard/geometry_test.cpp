// The pure geometry of keyboard avoidance: insets, ideal offsets, content sizes, the next input
// and the return keys.
#include <limits>

#include "keyboard/vx_scroll_view.h"
#include "keyboard_fixture.h"

namespace vx::testing {
namespace {

class KeyboardGeometry : public KeyboardTest {
protected:
    std::shared_ptr<UIScrollView> scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
};

std::shared_ptr<UIView> nextAfter(UIScrollView& scroll, const UIView& prior) {
    double minY = std::numeric_limits<double>::max();
    std::shared_ptr<UIView> found;
    VX_findTextFieldAfterTextField(scroll, prior, scroll, minY, found);
    return found;
}

TEST_F(KeyboardGeometry, InsetIsTheKeyboardPartAboveTheViewBottom) {
    // The other sides are the ones in force; scrolling moves the view's bottom, not K.
    scroll->setContentInset(UIEdgeInsetsMake(5, 6, 7, 8));
    scroll->setContentOffset(CGPointMake(0, 100));
    const struct {
        double keyboardTop, bottom;
    } cases[] = {{200, 216}, {300, 216}, {364, 152}, {600, -84} /* wholly below: negative */};
    for (const auto& [top, bottom] : cases) {
        keyboardAvoidingState(*scroll)->setKeyboardRect(CGRectMake(0, top, 320, 216));
        EXPECT_EQ(VX_contentInsetForKeyboard(*scroll), UIEdgeInsetsMake(5, 6, bottom, 8)) << top;
    }
}

TEST_F(KeyboardGeometry, IdealOffsetCentresAndClamps) {
    auto holder = viewAt(0, 100, 320, 200);
    scroll->addSubview(holder);
    auto field = fieldAt(0, 0);
    const struct {
        const char* name;
        CGRect frame;
        bool nested;
        double contentHeight, insetTop, expected;
    } cases[] = {
        {"centred", CGRectMake(20, 300, 100, 31), false, 600, 0, 215.5},
        {"raised to the top", CGRectMake(20, 50, 100, 31), false, 600, 0, 0},
        {"lowered to the end", CGRectMake(20, 590, 100, 31), false, 600, 0, 400},
        {"margin at least 20", CGRectMake(20, 300, 100, 190), false, 600, 0, 280},
        {"short content: the top clamp wins", CGRectMake(20, 300, 100, 31), false, 150, 15, -15},
        {"through the parents", CGRectMake(20, 200, 100, 31), true, 600, 10, 300 - 84.5 - 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        field->removeFromSuperview();
        (c.nested ? holder : std::static_pointer_cast<UIView>(scroll))->addSubview(field);
        field->setFrame(c.frame);
        scroll->setContentSize(CGSizeMake(320, c.contentHeight));
        scroll->setContentInset(UIEdgeInsetsMake(c.insetTop, 0, 0, 0));
        EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, field.get(), 200), c.expected);
    }
    EXPECT_DOUBLE_EQ(VX_idealOffsetForView(*scroll, nullptr, 200), -10) << "no view: the top";
}

TEST_F(KeyboardGeometry, ContentSizeIsTheUnionOfSubviewFramesWithTheOriginHiddenOnesToo) {
    EXPECT_EQ(VX_calculatedContentSizeFromSubviewFrames(*scroll), CGSizeMake(0, 10));
    scroll->addSubview(viewAt(-10, -5, 50, 50));
    auto hidden = viewAt(0, 300, 320, 44);
    hidden->setHidden(true);
    scroll->addSubview(hidden);
    scroll->setShowsHorizontalScrollIndicator(false);
    EXPECT_EQ(VX_calculatedContentSizeFromSubviewFrames(*scroll), CGSizeMake(330, 359));
    EXPECT_FALSE(scroll->showsHorizontalScrollIndicator());
    EXPECT_TRUE(scroll->showsVerticalScrollIndicator());
}

// One view of a next-input layout: a text field unless `plain`; `parent` indexes an
// earlier view (-1: the scroll view).
struct Placed {
    CGRect frame;
    int parent = -1;
    bool hidden = false, interactive = true, plain = false;
};

TEST_F(KeyboardGeometry, NextInputGoesAlongTheRowThenDown) {
    const CGRect a = CGRectMake(20, 100, 100, 30), b = CGRectMake(20, 200, 100, 30),
                 c = CGRectMake(200, 100, 100, 30), d = CGRectMake(20, 150, 100, 30);
    const Placed box{CGRectMake(0, 0, 320, 200), -1, false, true, true};
    const struct {
        const char* name;
        int prior, expected;  // indices into views; -1: none
        std::vector<Placed> views;
    } cases[] = {
        {"same row, to the right", 0, 2, {{a}, {b}, {c}, {d}}},
        {"the row's left is skipped, then down", 2, 3, {{a}, {b}, {c}, {d}}},
        {"nothing after the last", 1, -1, {{a}, {b}, {c}}},
        {"ties: the earlier in depth-first order",
         0,
         2,
         {{a}, box, {c, 1}, {CGRectMake(100, 100, 50, 30)}}},
        {"below: the earlier of two on one row", 0, 1, {{a}, {CGRectMake(250, 150, 50, 30)}, {d}}},
        {"hidden fields and boxes are skipped",
         0,
         -1,
         {{c}, {d, -1, true}, {box.frame, -1, true, true, true}, {a, 2}, {a}}},
        {"just off the row the left counts", 0, 1, {{c}, {CGRectMake(20, 100.0000001, 100, 30)}}},
        {"the same place is not to the left", 0, 1, {{a}, {a}}},
        {"a field with interaction off is searched inside",
         0,
         2,
         {{c}, {CGRectMake(0, 140, 320, 100), -1, false, false}, {a, 1}}},
        {"an input is not searched inside", 0, 1, {{c}, {CGRectMake(0, 130, 320, 100)}, {a, 1}}},
        // The prior's holder starts 50 above the origin: its converted top is 50, its own
        // frame 100; the row test takes the unconverted frame, so A counts as on its row.
        {"the row test takes the prior frame unconverted",
         1,
         3,
         {{CGRectMake(0, -50, 320, 200), -1, false, true, true},
          {c, 0},
          {a},
          {CGRectMake(20, 180, 100, 30)}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<std::shared_ptr<UIView>> views;
        for (const auto& placed : test.views) {
            views.push_back(placed.plain ? viewAt(0, 0, 0, 0) : fieldAt(0, 0));
            views.back()->setFrame(placed.frame);
            views.back()->setHidden(placed.hidden);
            views.back()->setUserInteractionEnabled(placed.interactive);
            (placed.parent < 0 ? scroll : views[placed.parent])->addSubview(views.back());
        }
        EXPECT_EQ(nextAfter(*scroll, *views[test.prior]),
                  test.expected < 0 ? nullptr : views[test.expected]);
        scroll->removeAllSubviews();
    }
}

TEST_F(KeyboardGeometry, SetUpGivesNextOrDoneAndItselfAsDelegateLeavingOthersAlone) {
    // A (20, 100), C (200, 100), D (20, 150) and B (20, 200); E has another delegate, F
    // another return key. B is hidden: it is still set up, but is no one's next.
    auto vx = VXScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto a = fieldAt(20, 100), b = fieldAt(20, 200), c = fieldAt(200, 100), d = fieldAt(20, 150),
         e = fieldAt(20, 100), f = fieldAt(200, 150);
    struct Other : UITextFieldDelegate {};
    auto other = std::make_shared<Other>();
    e->setDelegate(other);
    f->setReturnKeyType(UIReturnKeyType::Go);
    b->setHidden(true);
    auto textView = UITextView::initWithFrame(CGRectMake(20, 250, 100, 60));
    for (const auto& view : std::vector<std::shared_ptr<UIView>>{a, b, c, d, e, f, textView})
        vx->addSubview(view);
    VX_assignTextDelegateForViewsBeneathView(*vx, *vx);
    for (const auto& field : {a, b, c, d}) {
        EXPECT_EQ(field->returnKeyType(), UIReturnKeyType::Next);
        EXPECT_EQ(field->delegate().get(), static_cast<UITextFieldDelegate*>(vx.get()));
    }
    EXPECT_EQ(e->delegate(), other);
    EXPECT_EQ(e->returnKeyType(), UIReturnKeyType::Default);
    EXPECT_EQ(f->delegate(), nullptr);
    EXPECT_EQ(textView->delegate(), nullptr);

    // Set up once: a field added later below does not turn Done into Next.
    textView->removeFromSuperview();
    auto lone = fieldAt(20, 300);
    vx->addSubview(lone);
    VX_assignTextDelegateForViewsBeneathView(*vx, *vx);
    EXPECT_EQ(lone->returnKeyType(), UIReturnKeyType::Done);
    vx->addSubview(fieldAt(20, 400));
    VX_assignTextDelegateForViewsBeneathView(*vx, *vx);
    EXPECT_EQ(lone->returnKeyType(), UIReturnKeyType::Done);

    // A plain scroll view is no text-field delegate: the key is set, the delegate is not.
    auto single = fieldAt(20, 20);
    scroll->addSubview(single);
    VX_initializeView(*scroll, *single);
    EXPECT_EQ(single->returnKeyType(), UIReturnKeyType::Done);
    EXPECT_EQ(single->delegate(), nullptr);
}

TEST_F(KeyboardGeometry, FirstResponderIsFoundDepthFirstBeneathTheViewNeverTheViewItself) {
    window->addSubview(scroll);
    auto holder = viewAt(0, 0, 320, 200), nested = std::static_pointer_cast<UIView>(fieldAt(0, 0));
    holder->addSubview(nested);
    scroll->addSubview(holder);
    ASSERT_TRUE(nested->becomeFirstResponder());
    EXPECT_EQ(VX_findFirstResponderBeneathView(*scroll, *scroll), nested);
    EXPECT_EQ(VX_findFirstResponderBeneathView(*scroll, *nested), nullptr);
}

}  // namespace
}  // namespace vx::testing
