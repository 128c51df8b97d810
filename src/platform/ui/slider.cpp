#include "platform/ui/slider.h"

#include <algorithm>
#include <cmath>

namespace vx {

UISlider::UISlider(CGRect frame) : UIControl(frame) {}

std::shared_ptr<UISlider> UISlider::initWithFrame(CGRect frame) {
    return std::make_shared<UISlider>(frame);
}

double UISlider::clamped(double value) const { return std::clamp(value, minimum_, maximum_); }

void UISlider::setValue(double value, bool animated) {
    (void)animated;
    if (std::isfinite(value)) value_ = clamped(value);
}

void UISlider::setMinimumValue(double minimum) {
    if (!std::isfinite(minimum)) return;
    minimum_ = minimum;
    maximum_ = std::max(maximum_, minimum_);
    value_ = clamped(value_);
}

void UISlider::setMaximumValue(double maximum) {
    if (!std::isfinite(maximum)) return;
    maximum_ = maximum;
    minimum_ = std::min(minimum_, maximum_);
    value_ = clamped(value_);
}

void UISlider::userSlide(double value) {
    if (!isEnabled() || !std::isfinite(value)) return;
    const double next = clamped(value);
    if (next == value_) return;
    value_ = next;
    sendActionsForControlEvents(UIControlEvents::ValueChanged);
}

}  // namespace vx
