#include "platform/ui/application.h"

#include <algorithm>
#include <cctype>

#include "platform/foundation/log.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/window.h"

namespace vx {

UIApplication& UIApplication::sharedApplication() {
    static UIApplication application;
    return application;
}

bool UIApplication::openURL(const std::string& url) {
    const auto colon = url.find(':');
    const bool hasScheme = colon != std::string::npos && colon > 0 &&
                           std::all_of(url.begin(), url.begin() + static_cast<long>(colon), [](char c) {
                               return std::isalnum(static_cast<unsigned char>(c)) || c == '+' ||
                                      c == '-' || c == '.';
                           });
    if (!hasScheme) {
        log::write("openURL: not a URL: " + url);
        return false;
    }
    openedURLs_.push_back(url);
    return true;
}

void UIApplication::enqueueAlert(std::shared_ptr<UIAlertView> alert) {
    if (!alert || isAlertQueued(alert.get())) return;
    alerts_.push_back(std::move(alert));
}

bool UIApplication::removeAlert(const UIAlertView* alert) {
    auto it = std::find_if(alerts_.begin(), alerts_.end(),
                           [alert](const auto& a) { return a.get() == alert; });
    if (it == alerts_.end()) return false;
    auto keepAlive = *it;  // released after the queue no longer refers to it
    alerts_.erase(it);
    return true;
}

bool UIApplication::isAlertQueued(const UIAlertView* alert) const {
    return std::any_of(alerts_.begin(), alerts_.end(),
                       [alert](const auto& a) { return a.get() == alert; });
}

std::shared_ptr<UIAlertView> UIApplication::frontAlert() const {
    return alerts_.empty() ? nullptr : alerts_.front();
}

void UIApplication::reset() {
    openedURLs_.clear();
    keyWindow_.reset();
    alerts_.clear();
    keyboardVisible_ = false;
    keyboardFrame_ = CGRectZero;
}

}  // namespace vx
