#include "platform/ui/text_view.h"

#include <algorithm>
#include <array>

#include "platform/foundation/notification_center.h"

namespace vx {

namespace {
void post(std::string_view name, const void* sender) {
    NotificationCenter::defaultCenter().post(Notification{std::string(name), sender, {}});
}
}  // namespace

UITextView::UITextView(CGRect frame) : UIScrollView(frame) {}

std::shared_ptr<UITextView> UITextView::initWithFrame(CGRect frame) {
    return std::make_shared<UITextView>(frame);
}

bool UITextView::respondsToSelector(std::string_view selector) const {
    static constexpr std::array<std::string_view, 2> kSelectors{"setDelegate:", "delegate"};
    return std::find(kSelectors.begin(), kSelectors.end(), selector) != kSelectors.end() ||
           UIScrollView::respondsToSelector(selector);
}

bool UITextView::canBecomeFirstResponder() const { return editable_; }

bool UITextView::canResignFirstResponder() const {
    auto delegate = this->delegate();
    if (!delegate) return true;
    return delegate->textViewShouldEndEditing(const_cast<UITextView&>(*this)).value_or(true);
}

bool UITextView::shouldBecomeFirstResponder() {
    auto delegate = this->delegate();
    if (!delegate) return true;
    return delegate->textViewShouldBeginEditing(*this).value_or(true);
}

void UITextView::didBecomeFirstResponder() {
    auto keepAlive = sharedFrom(this);
    if (auto delegate = this->delegate()) delegate->textViewDidBeginEditing(*this);
    post(UITextViewTextDidBeginEditingNotification, this);
}

void UITextView::didResignFirstResponder() {
    auto keepAlive = sharedFrom(this);
    if (auto delegate = this->delegate()) delegate->textViewDidEndEditing(*this);
    post(UITextViewTextDidEndEditingNotification, this);
}

void UITextView::userReplaceText(const std::string& text) {
    if (!editable_) return;
    auto keepAlive = sharedFrom(this);
    text_ = text;
    if (auto delegate = this->delegate()) delegate->textViewDidChange(*this);
    post(UITextViewTextDidChangeNotification, this);
}

}  // namespace vx
