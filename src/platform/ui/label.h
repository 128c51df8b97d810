#pragma once
// UILabel: text, font, colours, alignment; nothing is drawn.
#include <memory>
#include <string>

#include "platform/ui/color.h"
#include "platform/ui/font.h"
#include "platform/ui/view.h"

namespace vx {

// NSTextAlignment (iOS values).
enum class NSTextAlignment : int { Left = 0, Center = 1, Right = 2, Justified = 3, Natural = 4 };

class UILabel : public UIView {
public:
    explicit UILabel(CGRect frame = CGRectZero);
    static std::shared_ptr<UILabel> initWithFrame(CGRect frame);

    std::string className() const override { return "UILabel"; }

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    const UIFont& font() const { return font_; }
    void setFont(UIFont font) { font_ = std::move(font); }
    const UIColor& textColor() const { return textColor_; }
    void setTextColor(UIColor color) { textColor_ = std::move(color); }
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment alignment) { alignment_ = alignment; }
    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int lines) { numberOfLines_ = lines; }

private:
    std::string text_;
    UIFont font_ = UIFont::defaultFont();
    UIColor textColor_ = UIColor::blackColor();
    NSTextAlignment alignment_ = NSTextAlignment::Left;
    int numberOfLines_ = 1;
};

}  // namespace vx
