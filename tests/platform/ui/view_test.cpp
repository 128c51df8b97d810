#include "platform/ui/view.h"

#include <gtest/gtest.h>

#include "platform/foundation/notification_center.h"
#include "platform/ui/application.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/text_field.h"
#include "platform/ui/text_view.h"
#include "platform/ui/window.h"

namespace vx {
namespace {

TEST(ViewConversion, ScrolledBoundsNestedViewsTheWindowAndADetachedRoot) {
    auto window = std::make_shared<UIWindow>();
    auto scroll = std::make_shared<UIScrollView>(CGRectMake(0, 64, 320, 416));
    auto cell = std::make_shared<UIView>(CGRectMake(0, 300, 320, 44));
    auto field = std::make_shared<UITextField>(CGRectMake(10, 10, 280, 25));
    window->addSubview(scroll);
    scroll->addSubview(cell);
    cell->addSubview(field);
    scroll->setContentOffset({0, 100});

    // Into the scroll view: the offset does not matter inside its own space.
    EXPECT_EQ(field->convertRectToView(field->bounds(), scroll.get()), CGRectMake(10, 310, 280, 25));
    // Into the window: frame origins added, the scroll view's bounds origin subtracted.
    EXPECT_EQ(field->convertRectToView(field->bounds(), nullptr), CGRectMake(10, 274, 280, 25));
    EXPECT_EQ(scroll->convertRectFromView(CGRectMake(0, 352, 320, 216), nullptr),
              CGRectMake(0, 388, 320, 216));
    // And back.
    EXPECT_EQ(cell->convertRectFromView(CGRectMake(10, 274, 1, 1), nullptr), CGRectMake(10, 10, 1, 1));
    EXPECT_EQ(scroll->convertRectToView(CGRectMake(0, 388, 320, 216), window.get()),
              CGRectMake(0, 352, 320, 216));
    // A tree outside any window converts through its root.
    scroll->removeFromSuperview();
    EXPECT_EQ(field->convertRectToView(CGRectZero, nullptr).origin, CGPointMake(10, 274));
    EXPECT_EQ(field->window(), nullptr);
}

struct MoveRecorder : UIView {
    std::vector<UIView*>* log;
    int touches = 0;
    explicit MoveRecorder(std::vector<UIView*>* l) : log(l) {}
    void willMoveToSuperview(UIView* newSuperview) override { log->push_back(newSuperview); }
    void touchesEnded(const UITouchSet&, const UIEvent*) override { ++touches; }
};

TEST(ViewHierarchy, MovesRemovalsTouchesAndTheWillMoveHook) {
    std::vector<UIView*> moves;
    auto a = std::make_shared<UIView>();
    auto b = std::make_shared<UIView>();
    auto child = std::make_shared<MoveRecorder>(&moves);
    a->addSubview(child);
    b->addSubview(child);  // moves: taken out of a first
    EXPECT_TRUE(a->subviews().empty());
    ASSERT_EQ(b->subviews().size(), 1u);
    EXPECT_EQ(child->superview(), b);
    auto leaf = std::make_shared<UIView>();
    child->addSubview(leaf);
    leaf->touchesEnded({}, nullptr);  // a touch goes up to the superview
    EXPECT_EQ(child->touches, 1);
    child->removeFromSuperview();
    EXPECT_EQ(child->superview(), nullptr);
    EXPECT_EQ(moves, (std::vector<UIView*>{a.get(), b.get(), nullptr}));

    // A view cannot go inside itself.
    auto inner = std::make_shared<UIView>();
    a->addSubview(inner);
    inner->addSubview(a);
    EXPECT_EQ(a->superview(), nullptr);

    // A dying superview leaves its subviews without a dangling superview.
    auto orphan = std::make_shared<UIView>();
    {
        auto parent = std::make_shared<UIView>();
        parent->addSubview(orphan);
    }
    EXPECT_EQ(orphan->superview(), nullptr);
    EXPECT_EQ(orphan->superviewPointer(), nullptr);

    // viewWithTag searches depth first.
    auto x = std::make_shared<UIView>(), y = std::make_shared<UIView>();
    y->setTag(7);
    x->addSubview(y);
    b->addSubview(x);
    EXPECT_EQ(b->viewWithTag(7), y);
    EXPECT_EQ(b->viewWithTag(99), nullptr);
}

class FirstResponderTest : public ::testing::Test {
protected:
    void SetUp() override { NotificationCenter::defaultCenter().reset(); }
    void TearDown() override { NotificationCenter::defaultCenter().reset(); }
};

TEST_F(FirstResponderTest, WindowKeepsOneFirstResponderPostsBeginEditingAndForcesAResign) {
    auto window = std::make_shared<UIWindow>();
    auto a = std::make_shared<UITextField>(CGRectMake(0, 0, 100, 30));
    auto b = std::make_shared<UITextField>(CGRectMake(0, 40, 100, 30));
    auto notes = std::make_shared<UITextView>(CGRectMake(0, 80, 100, 60));
    window->addSubview(a);
    window->addSubview(b);
    window->addSubview(notes);

    std::vector<std::pair<std::string, const void*>> posted;
    auto observer = std::make_shared<int>(0);
    for (auto name :
         {UITextFieldTextDidBeginEditingNotification, UITextViewTextDidBeginEditingNotification}) {
        NotificationCenter::defaultCenter().addObserver(
            observer, std::string(name),
            [&](const Notification& n) { posted.emplace_back(n.name, n.object); });
    }

    a->setText("old");
    a->setClearsOnBeginEditing(true);
    EXPECT_TRUE(a->becomeFirstResponder());
    EXPECT_TRUE(a->isFirstResponder());
    EXPECT_EQ(a->text(), "");
    EXPECT_TRUE(b->becomeFirstResponder());
    EXPECT_FALSE(a->isFirstResponder());
    EXPECT_EQ(window->firstResponder(), b);
    EXPECT_TRUE(notes->becomeFirstResponder());
    ASSERT_EQ(posted.size(), 3u);
    EXPECT_EQ(posted[0], std::make_pair(std::string(UITextFieldTextDidBeginEditingNotification),
                                        static_cast<const void*>(a.get())));
    EXPECT_EQ(posted[2].first, UITextViewTextDidBeginEditingNotification);

    // Plain views cannot; views outside a window cannot.
    auto plain = std::make_shared<UIView>();
    window->addSubview(plain);
    EXPECT_FALSE(plain->becomeFirstResponder());
    auto loose = std::make_shared<UITextField>();
    EXPECT_FALSE(loose->becomeFirstResponder());

    // A delegate may keep the focus, but ending editing by force or leaving the window takes it.
    struct RefusingDelegate : UITextFieldDelegate {
        std::optional<bool> textFieldShouldEndEditing(UITextField&) override { return false; }
    };
    auto refusing = std::make_shared<RefusingDelegate>();
    a->setDelegate(refusing);
    ASSERT_TRUE(a->becomeFirstResponder());
    EXPECT_FALSE(b->becomeFirstResponder());
    EXPECT_FALSE(window->endEditing(false));
    EXPECT_TRUE(a->isFirstResponder());
    EXPECT_TRUE(window->endEditing(true));
    EXPECT_FALSE(a->isFirstResponder());
    ASSERT_TRUE(a->becomeFirstResponder());
    a->removeFromSuperview();
    EXPECT_EQ(window->firstResponder(), nullptr);
    EXPECT_FALSE(a->isFirstResponder());
}

TEST(ViewLayout, LayoutIfNeededRunsMarkedViewsOnceAndHitTestFindsTheFrontmost) {
    struct Counting : UIView {
        int passes = 0;
        using UIView::UIView;
        void layoutSubviews() override { ++passes; }
    };
    auto root = std::make_shared<Counting>(CGRectMake(0, 0, 100, 100));
    auto child = std::make_shared<Counting>(CGRectMake(10, 10, 50, 50));
    root->addSubview(child);
    root->layoutIfNeeded();
    root->layoutIfNeeded();
    EXPECT_EQ(root->passes, 1);
    EXPECT_EQ(child->passes, 1);
    child->setFrame(CGRectMake(10, 10, 60, 60));  // resized: marked again
    root->layoutIfNeeded();
    EXPECT_EQ(child->passes, 2);

    auto front = std::make_shared<UIView>(CGRectMake(0, 0, 20, 20));
    child->addSubview(front);
    root->addSubview(std::make_shared<UIView>(CGRectMake(70, 70, 20, 20)));  // in front, elsewhere
    EXPECT_EQ(root->hitTest({15, 15}), front);
    front->setHidden(true);
    EXPECT_EQ(root->hitTest({15, 15}), child);
    EXPECT_EQ(root->hitTest({5, 5}), root);
    EXPECT_EQ(root->hitTest({500, 5}), nullptr);
}

}  // namespace
}  // namespace vx
