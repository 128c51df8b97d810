#pragma once
// UIFont as a value: a font name and a point size. Nothing is rendered, so every name is
// accepted.
#include <string>

namespace vx {

class UIFont {
public:
    // fontWithName:size:
    static UIFont fontWithName(std::string name, double size);
    // systemFontOfSize: and boldSystemFontOfSize:
    static UIFont systemFontOfSize(double size);
    static UIFont boldSystemFontOfSize(double size);
    // The label default: the system font at 17 points.
    static UIFont defaultFont() { return systemFontOfSize(17); }

    const std::string& fontName() const { return name_; }
    double pointSize() const { return size_; }

    bool operator==(const UIFont&) const = default;

private:
    UIFont(std::string name, double size) : name_(std::move(name)), size_(size) {}
    std::string name_;
    double size_ = 17;
};

}  // namespace vx
