#pragma once
// UIApplication sharedApplication: the key window, the queue of alerts that are up (front
// alert first), the URLs handed to openURL, and the keyboard state the front ends keep.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/geometry.h"

namespace vx {

class UIAlertView;
class UIWindow;

class UIApplication {
public:
    static UIApplication& sharedApplication();

    // openURL: — recorded, in order; true for a URL with a scheme, false (logged) otherwise.
    bool openURL(const std::string& url);
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }

    std::shared_ptr<UIWindow> keyWindow() const { return keyWindow_.lock(); }
    void setKeyWindow(std::weak_ptr<UIWindow> window) { keyWindow_ = std::move(window); }

    // ---- Alerts that are up. The queue holds them alive; the front one is the one shown.
    void enqueueAlert(std::shared_ptr<UIAlertView> alert);
    // Takes one alert off the queue; false when it was not on it.
    bool removeAlert(const UIAlertView* alert);
    bool isAlertQueued(const UIAlertView* alert) const;
    std::shared_ptr<UIAlertView> frontAlert() const;
    const std::deque<std::shared_ptr<UIAlertView>>& alerts() const { return alerts_; }

    // ---- The keyboard as the front ends show it.
    bool isKeyboardVisible() const { return keyboardVisible_; }
    CGRect keyboardFrame() const { return keyboardFrame_; }
    void setKeyboardState(bool visible, CGRect frame) {
        keyboardVisible_ = visible;
        keyboardFrame_ = frame;
    }

    // Forgets URLs, alerts, key window and keyboard (tests).
    void reset();

private:
    UIApplication() = default;
    std::vector<std::string> openedURLs_;
    std::weak_ptr<UIWindow> keyWindow_;
    std::deque<std::shared_ptr<UIAlertView>> alerts_;
    bool keyboardVisible_ = false;
    CGRect keyboardFrame_;
};

}  // namespace vx
