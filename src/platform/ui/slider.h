#pragma once
// UISlider: a number between a minimum and a maximum. Setting the value in code clamps it
// and sends nothing; a user's drag (userSlide) moves the thumb to a clamped value and sends
// the value-changed actions. A continuous slider sends them while the thumb moves, a
// non-continuous one when the finger lifts; a headless drag jumps straight to its end, so
// both send one event per drag, and none when the value does not change.
#include <memory>

#include "platform/ui/control.h"

namespace vx {

class UISlider : public UIControl {
public:
    explicit UISlider(CGRect frame = CGRectZero);
    static std::shared_ptr<UISlider> initWithFrame(CGRect frame);

    std::string className() const override { return "UISlider"; }

    double value() const { return value_; }
    // setValue:(animated:) — clamped to [minimumValue, maximumValue]; no actions.
    void setValue(double value, bool animated = false);
    double minimumValue() const { return minimum_; }
    double maximumValue() const { return maximum_; }
    // Setting a bound moves the other one, and the value, into range, as on the device.
    void setMinimumValue(double minimum);
    void setMaximumValue(double maximum);
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }

    // What a drag to `value` does: clamps it, moves the thumb and sends the value-changed
    // actions when the value changed. Does nothing when the slider is disabled or the value
    // is not a finite number.
    void userSlide(double value);

private:
    double clamped(double value) const;

    double value_ = 0;
    double minimum_ = 0;
    double maximum_ = 1;
    bool continuous_ = true;
};

}  // namespace vx
