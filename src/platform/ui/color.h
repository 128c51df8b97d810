#pragma once
// UIColor as a value: red, green, blue and alpha components in 0…1, with the named colours
// of UIKit. Two colours are equal when their four components are equal; the name is only
// a label for logs and screen snapshots.
#include <iosfwd>
#include <string>

namespace vx {

class UIColor {
public:
    // colorWithRed:green:blue:alpha:
    static UIColor colorWithRed(double red, double green, double blue, double alpha);
    // colorWithWhite:alpha:
    static UIColor colorWithWhite(double white, double alpha);

    static UIColor blackColor();      // 0 0 0 1
    static UIColor darkGrayColor();   // 1/3 gray
    static UIColor lightGrayColor();  // 2/3 gray
    static UIColor whiteColor();      // 1 1 1 1
    static UIColor grayColor();       // 0.5 gray
    static UIColor redColor();        // 1 0 0 1
    static UIColor greenColor();      // 0 1 0 1
    static UIColor blueColor();       // 0 0 1 1
    static UIColor cyanColor();       // 0 1 1 1
    static UIColor yellowColor();     // 1 1 0 1
    static UIColor magentaColor();    // 1 0 1 1
    static UIColor orangeColor();     // 1 0.5 0 1
    static UIColor purpleColor();     // 0.5 0 0.5 1
    static UIColor brownColor();      // 0.6 0.4 0.2 1
    static UIColor clearColor();      // 0 0 0 0

    double red() const { return red_; }
    double green() const { return green_; }
    double blue() const { return blue_; }
    double alpha() const { return alpha_; }
    // getRed:green:blue:alpha:
    void getRed(double* red, double* green, double* blue, double* alpha) const;

    // "blue" for the named colours, "" for others.
    const std::string& name() const { return name_; }
    // The name when there is one, else "rgba(r, g, b, a)".
    std::string description() const;

    bool operator==(const UIColor& other) const;

private:
    UIColor(double red, double green, double blue, double alpha, std::string name);
    double red_ = 0;
    double green_ = 0;
    double blue_ = 0;
    double alpha_ = 1;
    std::string name_;
};

std::ostream& operator<<(std::ostream& out, const UIColor& color);

}  // namespace vx
