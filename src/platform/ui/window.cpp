#include "platform/ui/window.h"

#include "platform/ui/application.h"
#include "platform/ui/screen.h"
#include "platform/ui/view_controller.h"

namespace vx {

UIWindow::UIWindow() : UIView(UIScreen::mainScreen().bounds()) {}
UIWindow::UIWindow(CGRect frame) : UIView(frame) {}

std::shared_ptr<UIWindow> UIWindow::initWithFrame(CGRect frame) {
    return std::make_shared<UIWindow>(frame);
}

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
    if (controller == rootViewController_) return;
    if (rootViewController_ && rootViewController_->isViewLoaded()) {
        auto oldView = rootViewController_->view();
        if (oldView && oldView->superviewPointer() == this) oldView->removeFromSuperview();
    }
    rootViewController_ = std::move(controller);
    if (rootViewController_) {
        if (auto view = rootViewController_->displayedView()) addSubview(view);
    }
}

void UIWindow::makeKeyAndVisible() {
    setHidden(false);
    UIApplication::sharedApplication().setKeyWindow(sharedFrom(this));
}

bool UIWindow::isKeyWindow() const {
    return UIApplication::sharedApplication().keyWindow().get() == this;
}

}  // namespace vx
