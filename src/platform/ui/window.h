#pragma once
// UIWindow: the root of a view tree on screen. Its frame is the main screen's bounds, so its
// coordinates are screen coordinates. It holds the root view controller and the one first
// responder among its views.
#include <memory>

#include "platform/ui/view.h"

namespace vx {

class UIWindow : public UIView {
public:
    // A window covering the main screen.
    UIWindow();
    explicit UIWindow(CGRect frame);
    static std::shared_ptr<UIWindow> initWithFrame(CGRect frame);

    std::string className() const override { return "UIWindow"; }

    // Puts the controller's view into the window (replacing the previous root's view).
    void setRootViewController(std::shared_ptr<UIViewController> controller);
    std::shared_ptr<UIViewController> rootViewController() const { return rootViewController_; }

    // Makes this the application's key window.
    void makeKeyAndVisible();
    bool isKeyWindow() const;

    // The view that is first responder in this window, or nullptr.
    std::shared_ptr<UIView> firstResponder() const { return firstResponder_.lock(); }

private:
    friend class UIView;
    void setFirstResponder(std::weak_ptr<UIView> view) { firstResponder_ = std::move(view); }
    std::shared_ptr<UIViewController> rootViewController_;
    std::weak_ptr<UIView> firstResponder_;
};

}  // namespace vx
