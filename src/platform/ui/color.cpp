#include "platform/ui/color.h"

#include <ostream>

#include "platform/foundation/strings.h"

namespace vx {

UIColor::UIColor(double red, double green, double blue, double alpha, std::string name)
    : red_(red), green_(green), blue_(blue), alpha_(alpha), name_(std::move(name)) {}

UIColor UIColor::colorWithRed(double red, double green, double blue, double alpha) {
    return UIColor(red, green, blue, alpha, {});
}
UIColor UIColor::colorWithWhite(double white, double alpha) {
    return UIColor(white, white, white, alpha, {});
}

UIColor UIColor::blackColor() { return UIColor(0, 0, 0, 1, "black"); }
UIColor UIColor::darkGrayColor() { return UIColor(1.0 / 3, 1.0 / 3, 1.0 / 3, 1, "darkGray"); }
UIColor UIColor::lightGrayColor() { return UIColor(2.0 / 3, 2.0 / 3, 2.0 / 3, 1, "lightGray"); }
UIColor UIColor::whiteColor() { return UIColor(1, 1, 1, 1, "white"); }
UIColor UIColor::grayColor() { return UIColor(0.5, 0.5, 0.5, 1, "gray"); }
UIColor UIColor::redColor() { return UIColor(1, 0, 0, 1, "red"); }
UIColor UIColor::greenColor() { return UIColor(0, 1, 0, 1, "green"); }
UIColor UIColor::blueColor() { return UIColor(0, 0, 1, 1, "blue"); }
UIColor UIColor::cyanColor() { return UIColor(0, 1, 1, 1, "cyan"); }
UIColor UIColor::yellowColor() { return UIColor(1, 1, 0, 1, "yellow"); }
UIColor UIColor::magentaColor() { return UIColor(1, 0, 1, 1, "magenta"); }
UIColor UIColor::orangeColor() { return UIColor(1, 0.5, 0, 1, "orange"); }
UIColor UIColor::purpleColor() { return UIColor(0.5, 0, 0.5, 1, "purple"); }
UIColor UIColor::brownColor() { return UIColor(0.6, 0.4, 0.2, 1, "brown"); }
UIColor UIColor::clearColor() { return UIColor(0, 0, 0, 0, "clear"); }

void UIColor::getRed(double* red, double* green, double* blue, double* alpha) const {
    if (red) *red = red_;
    if (green) *green = green_;
    if (blue) *blue = blue_;
    if (alpha) *alpha = alpha_;
}

std::string UIColor::description() const {
    if (!name_.empty()) return name_;
    return "rgba(" + str::formatG(red_) + ", " + str::formatG(green_) + ", " + str::formatG(blue_) +
           ", " + str::formatG(alpha_) + ")";
}

bool UIColor::operator==(const UIColor& other) const {
    return red_ == other.red_ && green_ == other.green_ && blue_ == other.blue_ &&
           alpha_ == other.alpha_;
}

std::ostream& operator<<(std::ostream& out, const UIColor& color) { return out << color.description(); }

}  // namespace vx
