#include "platform/ui/switch.h"

#include "platform/ui/view_controller.h"

namespace vx {

UISwitch::UISwitch(CGRect frame) : UIControl(CGRect{frame.origin, kSize}) {}

std::shared_ptr<UISwitch> UISwitch::initWithFrame(CGRect frame) {
    return std::make_shared<UISwitch>(frame);
}

void UISwitch::setOn(bool on, bool animated) {
    (void)animated;
    on_ = on;
}

void UISwitch::userToggle() {
    if (!isEnabled()) return;
    on_ = !on_;
    sendActionsForControlEvents(UIControlEvents::ValueChanged);
}

SwitchAppearanceProxy& UISwitch::appearanceWhenContainedIn(const std::string& containerClass) {
    return UIAppearance::shared().switchProxy(containerClass);
}

SwitchAppearanceProxy& UISwitch::appearance() { return UIAppearance::shared().switchProxy(""); }

std::optional<UIColor> UISwitch::resolve(const std::optional<UIColor>& own,
                                         const std::optional<UIColor>& (SwitchAppearanceProxy::*get)()
                                             const) const {
    if (own) return own;
    const auto& appearance = UIAppearance::shared();
    // Innermost container first: the views up to the root, and for each view that a
    // controller owns, that controller and its ancestors.
    for (const UIView* level = this; level != nullptr; level = level->superviewPointer()) {
        for (auto controller = level->owningViewController(); controller;
             controller = controller->parentViewController()) {
            if (const auto* proxy = appearance.findSwitchProxy(controller->className())) {
                if (const auto& value = (proxy->*get)()) return value;
            }
        }
    }
    if (const auto* global = appearance.findSwitchProxy("")) return (global->*get)();
    return std::nullopt;
}

std::optional<UIColor> UISwitch::effectiveOnTintColor() const {
    return resolve(onTintColor_, &SwitchAppearanceProxy::onTintColor);
}

std::optional<UIColor> UISwitch::effectiveTintColor() const {
    return resolve(tintColor_, &SwitchAppearanceProxy::tintColor);
}

}  // namespace vx
