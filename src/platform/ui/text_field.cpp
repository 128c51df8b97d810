#include "platform/ui/text_field.h"

#include <algorithm>
#include <array>

#include "platform/foundation/notification_center.h"

namespace vx {

namespace {
void post(std::string_view name, const void* sender) {
    NotificationCenter::defaultCenter().post(Notification{std::string(name), sender, {}});
}
}  // namespace

UITextField::UITextField(CGRect frame) : UIControl(frame) {}

std::shared_ptr<UITextField> UITextField::initWithFrame(CGRect frame) {
    return std::make_shared<UITextField>(frame);
}

bool UITextField::respondsToSelector(std::string_view selector) const {
    static constexpr std::array<std::string_view, 4> kSelectors{"setDelegate:", "delegate",
                                                                "setReturnKeyType:", "returnKeyType"};
    return std::find(kSelectors.begin(), kSelectors.end(), selector) != kSelectors.end() ||
           UIControl::respondsToSelector(selector);
}

bool UITextField::canBecomeFirstResponder() const { return isEnabled(); }

bool UITextField::canResignFirstResponder() const {
    auto delegate = this->delegate();
    if (!delegate) return true;
    return delegate->textFieldShouldEndEditing(const_cast<UITextField&>(*this)).value_or(true);
}

bool UITextField::shouldBecomeFirstResponder() {
    auto delegate = this->delegate();
    if (!delegate) return true;
    return delegate->textFieldShouldBeginEditing(*this).value_or(true);
}

void UITextField::didBecomeFirstResponder() {
    auto keepAlive = sharedFrom(this);
    if (clearsOnBeginEditing_) text_.clear();
    if (auto delegate = this->delegate()) delegate->textFieldDidBeginEditing(*this);
    sendActionsForControlEvents(UIControlEvents::EditingDidBegin);
    post(UITextFieldTextDidBeginEditingNotification, this);
}

void UITextField::didResignFirstResponder() {
    auto keepAlive = sharedFrom(this);
    if (auto delegate = this->delegate()) delegate->textFieldDidEndEditing(*this);
    sendActionsForControlEvents(UIControlEvents::EditingDidEnd);
    post(UITextFieldTextDidEndEditingNotification, this);
}

bool UITextField::userReplaceRange(std::size_t location, std::size_t length,
                                   const std::string& replacement) {
    if (!isEnabled()) return false;
    location = std::min(location, text_.size());
    length = std::min(length, text_.size() - location);
    auto keepAlive = sharedFrom(this);
    if (auto delegate = this->delegate()) {
        if (!delegate->shouldChangeCharactersInRange(*this, location, length, replacement)
                 .value_or(true)) {
            return false;
        }
    }
    text_.replace(location, length, replacement);
    sendActionsForControlEvents(UIControlEvents::EditingChanged);
    post(UITextFieldTextDidChangeNotification, this);
    return true;
}

bool UITextField::userReplaceText(const std::string& text) {
    return userReplaceRange(0, text_.size(), text);
}

bool UITextField::userInsertText(const std::string& text) {
    return userReplaceRange(text_.size(), 0, text);
}

bool UITextField::userDeleteBackward() {
    if (text_.empty()) return false;
    std::size_t start = text_.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text_[start]) & 0xC0) == 0x80) --start;
    return userReplaceRange(start, text_.size() - start, "");
}

bool UITextField::userPressReturn() {
    auto keepAlive = sharedFrom(this);
    bool answer = true;
    if (auto delegate = this->delegate()) answer = delegate->textFieldShouldReturn(*this).value_or(true);
    if (answer) sendActionsForControlEvents(UIControlEvents::EditingDidEndOnExit);
    return answer;
}

}  // namespace vx
