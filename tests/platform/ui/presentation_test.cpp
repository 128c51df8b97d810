#include <gtest/gtest.h>

#include "platform/ui/alert_view.h"
#include "platform/ui/application.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/text_field.h"
#include "platform/ui/view_controller.h"
#include "platform/ui/window.h"

namespace vx {
namespace {

class PresentationTest : public ::testing::Test {
protected:
    void SetUp() override { UIApplication::sharedApplication().reset(); }
    void TearDown() override { UIApplication::sharedApplication().reset(); }
};

struct Answers : UIAlertViewDelegate {
    std::vector<std::pair<long, int>> clicks;
    void clickedButtonAtIndex(UIAlertView& alert, int index) override {
        clicks.emplace_back(alert.tag(), index);
        EXPECT_FALSE(alert.isVisible());
    }
};

TEST_F(PresentationTest, AlertsQueueInOrderReportThePressedButtonAndURLsAreRecorded) {
    auto answers = std::make_shared<Answers>();
    auto& app = UIApplication::sharedApplication();
    std::weak_ptr<UIAlertView> weakFirst;
    {
        auto first = UIAlertView::init();
        first->setDelegate(answers);
        first->setTag(1);
        EXPECT_EQ(first->addButtonWithTitle("No"), 0);
        EXPECT_EQ(first->addButtonWithTitle("Yes"), 1);
        first->show();
        first->show();  // once only
        auto second = UIAlertView::init();
        second->setTag(2);
        second->addButtonWithTitle("OK");
        second->show();
        weakFirst = first;
    }
    ASSERT_EQ(app.alerts().size(), 2u);  // the queue keeps them alive
    EXPECT_EQ(app.frontAlert()->tag(), 1);
    EXPECT_FALSE(app.frontAlert()->userPressButtonAtIndex(2));  // no such button
    EXPECT_TRUE(app.frontAlert()->userPressButtonAtIndex(1));
    EXPECT_TRUE(weakFirst.expired());
    EXPECT_EQ(answers->clicks, (std::vector<std::pair<long, int>>{{1, 1}}));
    EXPECT_EQ(app.frontAlert()->tag(), 2);

    // A delegate that has gone is not called.
    answers.reset();
    EXPECT_TRUE(app.frontAlert()->userPressButtonAtIndex(0));
    EXPECT_TRUE(app.alerts().empty());

    EXPECT_TRUE(app.openURL("https://example.com/docs"));
    EXPECT_FALSE(app.openURL("not a url"));
    EXPECT_EQ(app.openedURLs(), (std::vector<std::string>{"https://example.com/docs"}));
}

TEST_F(PresentationTest, PresentedAndPresentingLinksFollowUIKit) {
    auto window = std::make_shared<UIWindow>();
    auto page = UIViewController::init();
    auto settings = UINavigationController::initWithRootViewController(page);
    window->setRootViewController(settings);
    window->makeKeyAndVisible();
    EXPECT_TRUE(window->isKeyWindow());

    // The theme list presents an editor inside its own navigation container.
    auto editor = UIViewController::init();
    auto editorNavigation = UINavigationController::initWithRootViewController(editor);
    bool completed = false;
    page->presentViewController(editorNavigation, true, [&] { completed = true; });
    EXPECT_TRUE(completed);
    EXPECT_EQ(settings->presentedViewController(), editorNavigation);
    EXPECT_EQ(page->presentedViewController(), editorNavigation);  // through its container
    EXPECT_EQ(editorNavigation->presentingViewController(), settings);
    EXPECT_EQ(editor->presentingViewController(), settings);
    EXPECT_TRUE(settings->lastPresentationAnimated());
    EXPECT_EQ(editorNavigation->view()->window(), window);  // in front, in the window

    // The editor presents the picker; a second presentation from the same context is refused.
    auto picker = UIViewController::init();
    auto pickerNavigation = UINavigationController::initWithRootViewController(picker);
    editor->presentViewController(pickerNavigation, true);
    EXPECT_EQ(pickerNavigation->presentingViewController(), editorNavigation);
    editor->presentViewController(UIViewController::init(), false);
    EXPECT_EQ(editor->presentedViewController(), pickerNavigation);

    // A field being edited in the picker resigns when the picker goes.
    auto field = UITextField::initWithFrame(CGRectMake(0, 0, 100, 30));
    picker->view()->addSubview(field);
    ASSERT_TRUE(field->becomeFirstResponder());

    // The picker closes itself: its presenter closes it.
    completed = false;
    picker->dismissViewControllerAnimated(true, [&] { completed = true; });
    EXPECT_TRUE(completed);
    EXPECT_EQ(editor->presentedViewController(), nullptr);
    EXPECT_EQ(pickerNavigation->presentingViewController(), nullptr);
    EXPECT_EQ(pickerNavigation->view()->window(), nullptr);
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(editor->presentingViewController(), settings);

    // The page closes what it presented, with everything on top of it.
    editor->presentViewController(pickerNavigation, false);
    page->dismissViewControllerAnimated(false);
    EXPECT_EQ(settings->presentedViewController(), nullptr);
    EXPECT_EQ(editorNavigation->presentedViewController(), nullptr);
    EXPECT_FALSE(settings->lastDismissalAnimated());

    // Nothing to close: nothing happens and the completion does not run.
    completed = false;
    page->dismissViewControllerAnimated(true, [&] { completed = true; });
    EXPECT_FALSE(completed);
}

// Records the loading of its view and its appearance steps.
struct Recording : UIViewController {
    std::vector<std::string> steps;
    void loadView() override {
        steps.push_back("load");
        UIViewController::loadView();
    }
    void viewDidLoad() override { steps.push_back("did load"); }
    void viewWillAppear(bool) override { steps.push_back("will appear"); }
    void viewDidAppear(bool) override { steps.push_back("did appear"); }
};

TEST_F(PresentationTest, NavigationStackParentsTitlesAndViewsLoadedOnceBeforeTheyFirstAppear) {
    auto root = UIViewController::init();
    auto navigation = UINavigationController::initWithRootViewController(root);
    EXPECT_EQ(UINavigationController::initWithRootViewController(nullptr), nullptr);
    // As UIKit does: a pushed or presented page's view is loaded before its will-appear step.
    auto pushed = std::make_shared<Recording>(), presented = std::make_shared<Recording>();
    pushed->setTitle("Second");
    navigation->pushViewController(pushed, true);
    navigation->presentViewController(presented, false);
    for (const auto& page : {pushed, presented}) {
        EXPECT_EQ(page->steps,
                  (std::vector<std::string>{"load", "did load", "will appear", "did appear"}));
        page->view();
        EXPECT_EQ(page->steps.size(), 4u) << "loaded once";
    }
    EXPECT_EQ(pushed->navigationController(), navigation);
    EXPECT_EQ(navigation->navigationTitle(), "Second");
    EXPECT_EQ(navigation->view()->subviews(), (std::vector<std::shared_ptr<UIView>>{pushed->view()}));
    navigation->pushViewController(pushed, false);  // already in: refused
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(navigation->popViewControllerAnimated(true), pushed);
    EXPECT_EQ(pushed->navigationController(), nullptr);
    EXPECT_EQ(navigation->popViewControllerAnimated(true), nullptr);  // the root stays
    EXPECT_EQ(navigation->view()->subviews(), (std::vector<std::shared_ptr<UIView>>{root->view()}));

    auto loose = std::make_shared<Recording>();
    EXPECT_FALSE(loose->isViewLoaded());
    EXPECT_EQ(loose->view()->owningViewController(), loose);
}

}  // namespace
}  // namespace vx
