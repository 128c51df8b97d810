#include "platform/ui/alert_view.h"

#include "platform/ui/application.h"

namespace vx {

std::shared_ptr<UIAlertView> UIAlertView::init() { return std::make_shared<UIAlertView>(); }

int UIAlertView::addButtonWithTitle(std::string title) {
    buttons_.push_back(std::move(title));
    return static_cast<int>(buttons_.size()) - 1;
}

std::string UIAlertView::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return {};
    return buttons_[index];
}

void UIAlertView::show() {
    auto& application = UIApplication::sharedApplication();
    if (application.isAlertQueued(this)) return;
    if (auto self = sharedFrom(this)) application.enqueueAlert(self);
}

bool UIAlertView::isVisible() const {
    return UIApplication::sharedApplication().frontAlert().get() == this;
}

bool UIAlertView::userPressButtonAtIndex(int index) {
    if (index < 0 || index >= numberOfButtons()) return false;
    auto self = sharedFrom(this);  // the queue may hold the last reference
    if (!UIApplication::sharedApplication().removeAlert(this)) return false;
    if (auto delegate = this->delegate()) delegate->clickedButtonAtIndex(*this, index);
    return true;
}

void UIAlertView::dismissWithClickedButtonIndex(int index, bool animated) {
    (void)index, (void)animated;
    auto self = sharedFrom(this);
    UIApplication::sharedApplication().removeAlert(this);
}

}  // namespace vx
