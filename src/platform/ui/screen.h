#pragma once
// UIScreen mainScreen: bounds (0, 0, 320, 568) and scale 2 unless a front end sets others.
#include "platform/ui/geometry.h"

namespace vx {

class UIScreen {
public:
    static UIScreen& mainScreen();

    CGRect bounds() const { return bounds_; }
    double scale() const { return scale_; }

    // Front ends and tests choose another device. A non-positive size or scale is refused
    // (logged) and leaves the screen as it was.
    void setBounds(CGSize size);
    void setScale(double scale);
    // Back to 320 × 568 at scale 2.
    void reset();

private:
    UIScreen() = default;
    CGRect bounds_{{0, 0}, {320, 568}};
    double scale_ = 2;
};

}  // namespace vx
