#pragma once
// Appearance proxies for switches. `UISwitch::appearanceWhenContainedIn(className)` gives
// the proxy that applies only to switches shown inside a view controller of that class
// (matched by className()); `UISwitch::appearance()` applies everywhere. A switch resolves
// each colour from its own setting first, then from the proxy of the innermost containing
// view controller class that sets it, then from the unscoped proxy.
#include <map>
#include <optional>
#include <string>

#include "platform/ui/color.h"

namespace vx {

class SwitchAppearanceProxy {
public:
    void setOnTintColor(UIColor color) { onTintColor_ = std::move(color); }
    void setTintColor(UIColor color) { tintColor_ = std::move(color); }
    void setThumbTintColor(UIColor color) { thumbTintColor_ = std::move(color); }
    const std::optional<UIColor>& onTintColor() const { return onTintColor_; }
    const std::optional<UIColor>& tintColor() const { return tintColor_; }
    const std::optional<UIColor>& thumbTintColor() const { return thumbTintColor_; }

private:
    std::optional<UIColor> onTintColor_;
    std::optional<UIColor> tintColor_;
    std::optional<UIColor> thumbTintColor_;
};

// The process-wide proxy table.
class UIAppearance {
public:
    static UIAppearance& shared();

    // The proxy for switches inside view controllers of `containerClass`; "" is the
    // unscoped proxy. The reference stays valid until reset().
    SwitchAppearanceProxy& switchProxy(const std::string& containerClass);
    // nullptr when no proxy was asked for that class.
    const SwitchAppearanceProxy* findSwitchProxy(const std::string& containerClass) const;
    // Forgets every proxy (tests).
    void reset();

private:
    UIAppearance() = default;
    std::map<std::string, SwitchAppearanceProxy> switchProxies_;
};

}  // namespace vx
