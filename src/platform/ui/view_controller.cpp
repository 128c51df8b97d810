#include "platform/ui/view_controller.h"

#include <algorithm>
#include <array>

#include "platform/foundation/log.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"

namespace vx {

UIViewController::~UIViewController() = default;

std::shared_ptr<UIViewController> UIViewController::init() {
    return std::make_shared<UIViewController>();
}

bool UIViewController::respondsToSelector(std::string_view selector) const {
    static constexpr std::array<std::string_view, 5> kSelectors{"setView:", "view", "title",
                                                                "navigationTitle", "loadView"};
    return std::find(kSelectors.begin(), kSelectors.end(), selector) != kSelectors.end() ||
           Object::respondsToSelector(selector);
}

// ---- The view

std::shared_ptr<UIView> UIViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) setView(std::make_shared<UIView>(UIScreen::mainScreen().bounds()));
        viewDidLoad();
    }
    return view_;
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
    if (view_ && view_ != view && view_->owningViewController().get() == this)
        view_->setOwningViewController({});
    view_ = std::move(view);
    if (view_) {
        if (auto self = sharedFrom(this)) view_->setOwningViewController(self);
    }
}

void UIViewController::loadView() { setView(std::make_shared<UIView>(UIScreen::mainScreen().bounds())); }

std::shared_ptr<UIView> UIViewController::displayedView() {
    auto shown = view();
    if (shown && !shown->owningViewController()) {
        if (auto self = sharedFrom(this)) shown->setOwningViewController(self);
    }
    return shown;
}

// ---- Titles

void UIViewController::setTitle(std::string title) {
    title_ = std::move(title);
    if (navigationItem_) navigationItem_->setTitle(title_);
}

std::string UIViewController::navigationTitle() const {
    if (navigationItem_ && !navigationItem_->title().empty()) return navigationItem_->title();
    return title();
}

std::shared_ptr<UINavigationItem> UIViewController::navigationItem() {
    if (!navigationItem_) {
        navigationItem_ = std::make_shared<UINavigationItem>();
        navigationItem_->setTitle(title_);
    }
    return navigationItem_;
}

// ---- Containment

std::shared_ptr<UINavigationController> UIViewController::navigationController() const {
    for (auto controller = parentViewController(); controller;
         controller = controller->parentViewController()) {
        if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(controller))
            return navigation;
    }
    return nullptr;
}

std::shared_ptr<UIViewController> UIViewController::rootAncestor() {
    auto root = sharedFrom(this);
    while (root) {
        auto parent = root->parentViewController();
        if (!parent) break;
        root = parent;
    }
    return root;
}

std::shared_ptr<const UIViewController> UIViewController::rootAncestor() const {
    return const_cast<UIViewController*>(this)->rootAncestor();
}

// ---- Presentation

void UIViewController::presentViewController(std::shared_ptr<UIViewController> controller, bool animated,
                                             std::function<void()> completion) {
    auto context = rootAncestor();
    if (!controller || !context) {
        log::write("presentViewController: nothing to present, or no presenting controller");
        return;
    }
    if (context->presented_) {
        log::write("presentViewController: " + context->className() + " is already presenting " +
                   context->presented_->className());
        return;
    }
    if (controller == context || !controller->presenting_.expired() ||
        controller->parentViewController()) {
        log::write("presentViewController: " + controller->className() + " is already shown elsewhere");
        return;
    }
    context->presented_ = controller;
    controller->presenting_ = context;
    context->lastPresentationAnimated_ = animated;
    auto presentedView = controller->displayedView();  // loaded before it appears
    controller->viewWillAppear(animated);
    if (auto window = context->isViewLoaded() ? context->view()->window() : nullptr) {
        if (presentedView) window->addSubview(presentedView);
    }
    controller->viewDidAppear(animated);
    if (completion) completion();
}

void UIViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion) {
    std::shared_ptr<UIViewController> presenter;
    for (auto controller = sharedFrom(this); controller;
         controller = controller->parentViewController()) {
        if (controller->presented_) {
            presenter = controller;
            break;
        }
    }
    if (!presenter) {
        auto root = rootAncestor();
        presenter = root ? root->presenting_.lock() : nullptr;
    }
    if (!presenter) return;
    presenter->closePresented(animated);
    if (completion) completion();
}

void UIViewController::closePresented(bool animated) {
    auto presented = presented_;
    if (!presented) return;
    presented->closePresented(animated);  // whatever it presents goes first
    presented->viewWillDisappear(animated);
    if (presented->isViewLoaded()) {
        auto shown = presented->view();
        if (dynamic_cast<UIWindow*>(shown->superviewPointer()) != nullptr) shown->removeFromSuperview();
    }
    presented_.reset();
    presented->presenting_.reset();
    lastDismissalAnimated_ = animated;
    presented->lastDismissalAnimated_ = animated;
    presented->viewDidDisappear(animated);
}

std::shared_ptr<UIViewController> UIViewController::presentedViewController() const {
    for (auto controller = sharedFrom(const_cast<UIViewController*>(this)); controller;
         controller = controller->parentViewController()) {
        if (controller->presented_) return controller->presented_;
    }
    return nullptr;
}

std::shared_ptr<UIViewController> UIViewController::presentingViewController() const {
    auto root = rootAncestor();
    return root ? root->presenting_.lock() : nullptr;
}

}  // namespace vx
