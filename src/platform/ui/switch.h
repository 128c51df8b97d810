#pragma once
// UISwitch: on/off, value-changed actions when the user flips it, and tint colours that
// come from the switch itself or from the appearance proxies of the page containing it.
#include <memory>
#include <optional>

#include "platform/ui/appearance.h"
#include "platform/ui/control.h"

namespace vx {

class UISwitch : public UIControl {
public:
    // The device's switch size, whatever frame is given.
    static constexpr CGSize kSize{51, 31};

    explicit UISwitch(CGRect frame = CGRectZero);
    static std::shared_ptr<UISwitch> initWithFrame(CGRect frame);

    std::string className() const override { return "UISwitch"; }

    bool isOn() const { return on_; }
    // setOn:(animated:) — changes the state without sending actions, as on the device.
    void setOn(bool on, bool animated = false);
    // What a tap does: flips the state and sends the value-changed actions. Does nothing
    // when the switch is disabled.
    void userToggle();

    // Colours set on this switch itself.
    const std::optional<UIColor>& onTintColor() const { return onTintColor_; }
    void setOnTintColor(std::optional<UIColor> color) { onTintColor_ = std::move(color); }
    const std::optional<UIColor>& tintColor() const { return tintColor_; }
    void setTintColor(std::optional<UIColor> color) { tintColor_ = std::move(color); }

    // The colours the switch shows: its own, else the proxies' (see appearance.h), else none
    // (the system default).
    std::optional<UIColor> effectiveOnTintColor() const;
    std::optional<UIColor> effectiveTintColor() const;

    // appearanceWhenContainedIn: (one container class) and appearance.
    static SwitchAppearanceProxy& appearanceWhenContainedIn(const std::string& containerClass);
    static SwitchAppearanceProxy& appearance();

private:
    std::optional<UIColor> resolve(const std::optional<UIColor>& own,
                                   const std::optional<UIColor>& (SwitchAppearanceProxy::*get)()
                                       const) const;
    bool on_ = false;
    std::optional<UIColor> onTintColor_;
    std::optional<UIColor> tintColor_;
};

}  // namespace vx
