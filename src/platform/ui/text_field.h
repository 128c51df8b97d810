#pragma once
// UITextField: text, colours, alignment, placeholder, secure entry, return key type, a weak
// delegate, and the editing events. Becoming first responder begins editing (clearing the
// text when clearsOnBeginEditing is set) and posts UITextFieldTextDidBeginEditingNotification
// on the default notification centre; resigning ends editing and posts
// UITextFieldTextDidEndEditingNotification. A user's typing goes through userReplaceText /
// userInsertText, which ask the delegate, change the text and send the editing-changed
// actions; programmatic setText sends nothing, as on the device.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/control.h"
#include "platform/ui/font.h"
#include "platform/ui/label.h"

namespace vx {

inline constexpr std::string_view UITextFieldTextDidBeginEditingNotification =
    "UITextFieldTextDidBeginEditingNotification";
inline constexpr std::string_view UITextFieldTextDidEndEditingNotification =
    "UITextFieldTextDidEndEditingNotification";
inline constexpr std::string_view UITextFieldTextDidChangeNotification =
    "UITextFieldTextDidChangeNotification";

// UIReturnKeyType (iOS values). The pages use Default (0), Next (4) and Done (9).
enum class UIReturnKeyType : int {
    Default = 0,
    Go = 1,
    Google = 2,
    Join = 3,
    Next = 4,
    Route = 5,
    Search = 6,
    Send = 7,
    Yahoo = 8,
    Done = 9,
    EmergencyCall = 10,
};

class UITextField;

// UITextFieldDelegate. Every operation is optional: an empty optional (or the empty default
// body) means "not implemented", and the field then behaves as if it had no delegate.
class UITextFieldDelegate {
public:
    virtual ~UITextFieldDelegate() = default;
    virtual std::optional<bool> textFieldShouldBeginEditing(UITextField& field) {
        (void)field;
        return std::nullopt;
    }
    virtual void textFieldDidBeginEditing(UITextField& field) { (void)field; }
    virtual std::optional<bool> textFieldShouldEndEditing(UITextField& field) {
        (void)field;
        return std::nullopt;
    }
    virtual void textFieldDidEndEditing(UITextField& field) { (void)field; }
    // textField:shouldChangeCharactersInRange:replacementString: — the range is in bytes of
    // the current UTF-8 text.
    virtual std::optional<bool> shouldChangeCharactersInRange(UITextField& field, std::size_t location,
                                                              std::size_t length,
                                                              const std::string& replacement) {
        (void)field, (void)location, (void)length, (void)replacement;
        return std::nullopt;
    }
    virtual std::optional<bool> textFieldShouldClear(UITextField& field) {
        (void)field;
        return std::nullopt;
    }
    virtual std::optional<bool> textFieldShouldReturn(UITextField& field) {
        (void)field;
        return std::nullopt;
    }
};

class UITextField : public UIControl {
public:
    explicit UITextField(CGRect frame = CGRectZero);
    static std::shared_ptr<UITextField> initWithFrame(CGRect frame);

    std::string className() const override { return "UITextField"; }

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder) { placeholder_ = std::move(placeholder); }
    const UIColor& textColor() const { return textColor_; }
    void setTextColor(UIColor color) { textColor_ = std::move(color); }
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment alignment) { alignment_ = alignment; }
    const UIFont& font() const { return font_; }
    void setFont(UIFont font) { font_ = std::move(font); }
    bool clearsOnBeginEditing() const { return clearsOnBeginEditing_; }
    void setClearsOnBeginEditing(bool clears) { clearsOnBeginEditing_ = clears; }
    bool isSecureTextEntry() const { return secure_; }
    void setSecureTextEntry(bool secure) { secure_ = secure; }
    UIReturnKeyType returnKeyType() const { return returnKeyType_; }
    void setReturnKeyType(UIReturnKeyType type) { returnKeyType_ = type; }

    // The delegate, held weakly; nullptr when none was set or it has gone.
    std::shared_ptr<UITextFieldDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UITextFieldDelegate> delegate) { delegate_ = std::move(delegate); }

    bool isEditing() const { return isFirstResponder(); }
    // While enabled (as on the device, a hidden or non-interactive field can still take the
    // focus when asked in code).
    bool canBecomeFirstResponder() const override;
    // Unless the delegate's textFieldShouldEndEditing says no.
    bool canResignFirstResponder() const override;
    bool respondsToSelector(std::string_view selector) const override;

    // ---- What the user does (the application's gestures call these).
    // Replaces the whole text, as if typed: asks shouldChangeCharactersInRange for the full
    // range, then sets the text, sends editing-changed actions and posts the change
    // notification. Returns false when the delegate refused or the field is disabled.
    bool userReplaceText(const std::string& text);
    // Appends text at the end (one keystroke or a paste).
    bool userInsertText(const std::string& text);
    // Removes the last character (a whole UTF-8 sequence).
    bool userDeleteBackward();
    // The return key: asks textFieldShouldReturn (true when not answered) and, on true,
    // sends the EditingDidEndOnExit actions. Returns the answer.
    bool userPressReturn();

protected:
    bool shouldBecomeFirstResponder() override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

private:
    bool userReplaceRange(std::size_t location, std::size_t length, const std::string& replacement);
    std::string text_;
    std::string placeholder_;
    UIColor textColor_ = UIColor::blackColor();
    NSTextAlignment alignment_ = NSTextAlignment::Left;
    UIFont font_ = UIFont::systemFontOfSize(17);
    bool clearsOnBeginEditing_ = false;
    bool secure_ = false;
    UIReturnKeyType returnKeyType_ = UIReturnKeyType::Default;
    std::weak_ptr<UITextFieldDelegate> delegate_;
};

}  // namespace vx
