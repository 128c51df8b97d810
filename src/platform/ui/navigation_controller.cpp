#include "platform/ui/navigation_controller.h"

#include <algorithm>

#include "platform/foundation/log.h"
#include "platform/ui/screen.h"

namespace vx {

std::shared_ptr<UINavigationController> UINavigationController::initWithRootViewController(
    std::shared_ptr<UIViewController> root) {
    if (!root) return nullptr;
    auto navigation = std::make_shared<UINavigationController>();
    navigation->pushViewController(std::move(root), false);
    return navigation;
}

void UINavigationController::adopt(const std::shared_ptr<UIViewController>& controller) {
    controller->setParentViewController(sharedFrom(static_cast<UIViewController*>(this)));
}

void UINavigationController::loadView() {
    setView(std::make_shared<UIView>(UIScreen::mainScreen().bounds()));
    showTop();
}

void UINavigationController::showTop() {
    if (!isViewLoaded()) return;
    auto container = view();
    auto top = topViewController();
    auto topView = top ? top->displayedView() : nullptr;
    const auto current = container->subviews();
    for (const auto& subview : current) {
        if (subview != topView) subview->removeFromSuperview();
    }
    if (topView && topView->superviewPointer() != container.get()) container->addSubview(topView);
}

void UINavigationController::pushViewController(std::shared_ptr<UIViewController> controller,
                                                bool animated) {
    if (!controller || controller->parentViewController() ||
        std::find(stack_.begin(), stack_.end(), controller) != stack_.end() ||
        controller.get() == static_cast<UIViewController*>(this)) {
        log::write("pushViewController: refused (no controller, or it is already in a container)");
        return;
    }
    auto previous = topViewController();
    if (previous) previous->viewWillDisappear(animated);
    adopt(controller);
    stack_.push_back(controller);
    controller->displayedView();  // loaded before it appears, as on the device
    controller->viewWillAppear(animated);
    showTop();
    if (previous) previous->viewDidDisappear(animated);
    controller->viewDidAppear(animated);
}

std::shared_ptr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
    if (stack_.size() <= 1) return nullptr;
    auto popped = stack_.back();
    popped->viewWillDisappear(animated);
    stack_.pop_back();
    auto top = topViewController();
    top->viewWillAppear(animated);
    showTop();
    popped->setParentViewController({});
    popped->viewDidDisappear(animated);
    top->viewDidAppear(animated);
    return popped;
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToRootViewControllerAnimated(
    bool animated) {
    std::vector<std::shared_ptr<UIViewController>> popped;
    while (stack_.size() > 1) popped.insert(popped.begin(), popViewControllerAnimated(animated));
    return popped;
}

void UINavigationController::setViewControllers(
    std::vector<std::shared_ptr<UIViewController>> controllers, bool animated) {
    (void)animated;
    for (auto& old : stack_) old->setParentViewController({});
    stack_.clear();
    for (auto& controller : controllers) {
        if (!controller || controller->parentViewController() ||
            std::find(stack_.begin(), stack_.end(), controller) != stack_.end()) {
            log::write("setViewControllers: skipping a controller that is missing or in a container");
            continue;
        }
        adopt(controller);
        stack_.push_back(controller);
    }
    showTop();
}

std::shared_ptr<UIViewController> UINavigationController::topViewController() const {
    return stack_.empty() ? nullptr : stack_.back();
}

std::shared_ptr<UIViewController> UINavigationController::visibleViewController() const {
    if (auto presented = presentedViewController()) return presented;
    return topViewController();
}

std::string UINavigationController::navigationTitle() const {
    if (auto top = topViewController()) return top->navigationTitle();
    return UIViewController::navigationTitle();
}

}  // namespace vx
