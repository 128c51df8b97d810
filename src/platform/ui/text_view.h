#pragma once
// UITextView: an editable text in a scroll view, with a weak delegate. Becoming first
// responder posts UITextViewTextDidBeginEditingNotification; resigning posts
// UITextViewTextDidEndEditingNotification.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/color.h"
#include "platform/ui/font.h"
#include "platform/ui/label.h"
#include "platform/ui/scroll_view.h"

namespace vx {

inline constexpr std::string_view UITextViewTextDidBeginEditingNotification =
    "UITextViewTextDidBeginEditingNotification";
inline constexpr std::string_view UITextViewTextDidEndEditingNotification =
    "UITextViewTextDidEndEditingNotification";
inline constexpr std::string_view UITextViewTextDidChangeNotification =
    "UITextViewTextDidChangeNotification";

class UITextView;

// UITextViewDelegate; every operation optional (empty optional = not implemented).
class UITextViewDelegate {
public:
    virtual ~UITextViewDelegate() = default;
    virtual std::optional<bool> textViewShouldBeginEditing(UITextView& view) {
        (void)view;
        return std::nullopt;
    }
    virtual void textViewDidBeginEditing(UITextView& view) { (void)view; }
    virtual std::optional<bool> textViewShouldEndEditing(UITextView& view) {
        (void)view;
        return std::nullopt;
    }
    virtual void textViewDidEndEditing(UITextView& view) { (void)view; }
    virtual void textViewDidChange(UITextView& view) { (void)view; }
};

class UITextView : public UIScrollView {
public:
    explicit UITextView(CGRect frame = CGRectZero);
    static std::shared_ptr<UITextView> initWithFrame(CGRect frame);

    std::string className() const override { return "UITextView"; }

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    const UIColor& textColor() const { return textColor_; }
    void setTextColor(UIColor color) { textColor_ = std::move(color); }
    const UIFont& font() const { return font_; }
    void setFont(UIFont font) { font_ = std::move(font); }
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment alignment) { alignment_ = alignment; }
    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }

    std::shared_ptr<UITextViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UITextViewDelegate> delegate) { delegate_ = std::move(delegate); }

    bool isEditing() const { return isFirstResponder(); }
    // While editable.
    bool canBecomeFirstResponder() const override;
    bool canResignFirstResponder() const override;
    bool respondsToSelector(std::string_view selector) const override;

    // The user's typing: sets the text, tells the delegate and posts the change notification.
    void userReplaceText(const std::string& text);

protected:
    bool shouldBecomeFirstResponder() override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

private:
    std::string text_;
    UIColor textColor_ = UIColor::blackColor();
    UIFont font_ = UIFont::systemFontOfSize(12);
    NSTextAlignment alignment_ = NSTextAlignment::Left;
    bool editable_ = true;
    std::weak_ptr<UITextViewDelegate> delegate_;
};

}  // namespace vx
