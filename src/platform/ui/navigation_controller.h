#pragma once
// UINavigationController: a stack of view controllers; the top one's view is the only
// subview of the container's view (its frame is left as the page set it).
#include <memory>
#include <vector>

#include "platform/ui/view_controller.h"

namespace vx {

class UINavigationController : public UIViewController {
public:
    UINavigationController() = default;
    // initWithRootViewController: — nullptr for a null root.
    static std::shared_ptr<UINavigationController> initWithRootViewController(
        std::shared_ptr<UIViewController> root);

    std::string className() const override { return "UINavigationController"; }

    // pushViewController:animated:. A null controller, or one already in a container, is
    // refused (logged).
    void pushViewController(std::shared_ptr<UIViewController> controller, bool animated);
    // popViewControllerAnimated: — the popped controller; nothing when only the root is left.
    std::shared_ptr<UIViewController> popViewControllerAnimated(bool animated);
    // popToRootViewControllerAnimated: — the popped controllers, bottom first.
    std::vector<std::shared_ptr<UIViewController>> popToRootViewControllerAnimated(bool animated);
    void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers, bool animated);

    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return stack_; }
    std::shared_ptr<UIViewController> topViewController() const;
    // The top controller, or what it (or this container) presents.
    std::shared_ptr<UIViewController> visibleViewController() const;

    // The container's title is its top controller's.
    std::string navigationTitle() const override;

    void loadView() override;

private:
    void showTop();
    void adopt(const std::shared_ptr<UIViewController>& controller);
    std::vector<std::shared_ptr<UIViewController>> stack_;
};

}  // namespace vx
