#include "platform/ui/keyboard.h"

#include <any>

#include "platform/ui/screen.h"

namespace vx {

CGRect UIKeyboard::frameOnScreen() {
    const CGRect screen = UIScreen::mainScreen().bounds();
    return CGRectMake(0, screen.size.height - kHeight, screen.size.width, kHeight);
}

CGRect UIKeyboard::frameOffScreen() {
    const CGRect screen = UIScreen::mainScreen().bounds();
    return CGRectMake(0, screen.size.height, screen.size.width, kHeight);
}

namespace {
Notification keyboardNotification(std::string_view name, CGRect endFrame, int curve, double duration) {
    Notification n;
    n.name = std::string(name);
    n.userInfo[std::string(UIKeyboardFrameEndUserInfoKey)] = endFrame;
    n.userInfo[std::string(UIKeyboardAnimationCurveUserInfoKey)] = curve;
    n.userInfo[std::string(UIKeyboardAnimationDurationUserInfoKey)] = duration;
    return n;
}

template <class T>
T read(const Notification& n, std::string_view key) {
    auto it = n.userInfo.find(std::string(key));
    if (it == n.userInfo.end()) return T{};
    if (const T* value = std::any_cast<T>(&it->second)) return *value;
    return T{};
}
}  // namespace

Notification UIKeyboard::willShowNotification(CGRect endFrame, int curve, double duration) {
    return keyboardNotification(UIKeyboardWillShowNotification, endFrame, curve, duration);
}

Notification UIKeyboard::willHideNotification(CGRect endFrame, int curve, double duration) {
    return keyboardNotification(UIKeyboardWillHideNotification, endFrame, curve, duration);
}

CGRect UIKeyboard::endFrame(const Notification& n) {
    return read<CGRect>(n, UIKeyboardFrameEndUserInfoKey);
}

int UIKeyboard::animationCurve(const Notification& n) {
    auto it = n.userInfo.find(std::string(UIKeyboardAnimationCurveUserInfoKey));
    if (it == n.userInfo.end()) return 0;
    if (const int* v = std::any_cast<int>(&it->second)) return *v;
    if (const long* v = std::any_cast<long>(&it->second)) return static_cast<int>(*v);
    if (const double* v = std::any_cast<double>(&it->second)) return static_cast<int>(*v);
    return 0;
}

double UIKeyboard::animationDuration(const Notification& n) {
    auto it = n.userInfo.find(std::string(UIKeyboardAnimationDurationUserInfoKey));
    if (it == n.userInfo.end()) return 0;
    if (const double* v = std::any_cast<double>(&it->second)) return *v;
    if (const float* v = std::any_cast<float>(&it->second)) return *v;
    if (const int* v = std::any_cast<int>(&it->second)) return *v;
    return 0;
}

}  // namespace vx
