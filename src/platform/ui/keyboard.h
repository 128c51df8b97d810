#pragma once
// The on-screen keyboard's notifications. The application posts them on the default
// notification centre when a text input gains or loses the focus; their user info holds the
// keyboard's end frame in screen coordinates (CGRect), the animation curve (int) and the
// animation duration (double, seconds).
#include <string_view>

#include "platform/foundation/notification_center.h"
#include "platform/ui/geometry.h"

namespace vx {

inline constexpr std::string_view UIKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline constexpr std::string_view UIKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline constexpr std::string_view UIKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline constexpr std::string_view UIKeyboardDidHideNotification = "UIKeyboardDidHideNotification";

inline constexpr std::string_view UIKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline constexpr std::string_view UIKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline constexpr std::string_view UIKeyboardAnimationCurveUserInfoKey =
    "UIKeyboardAnimationCurveUserInfoKey";
inline constexpr std::string_view UIKeyboardAnimationDurationUserInfoKey =
    "UIKeyboardAnimationDurationUserInfoKey";

class UIKeyboard {
public:
    // The device's portrait keyboard: 216 points high, curve 7, 0.25 seconds.
    static constexpr double kHeight = 216;
    static constexpr int kAnimationCurve = 7;
    static constexpr double kAnimationDuration = 0.25;

    // The keyboard's frame when it is up: along the bottom of the main screen.
    static CGRect frameOnScreen();
    // The frame when it is down: just below the main screen.
    static CGRect frameOffScreen();

    // A will-show or will-hide notification with the given end frame, curve and duration.
    static Notification willShowNotification(CGRect endFrame, int curve = kAnimationCurve,
                                             double duration = kAnimationDuration);
    static Notification willHideNotification(CGRect endFrame, int curve = kAnimationCurve,
                                             double duration = kAnimationDuration);

    // Reading the user info: a missing or ill-typed value reads as zero (CGRectZero, 0, 0.0).
    static CGRect endFrame(const Notification& notification);
    static int animationCurve(const Notification& notification);
    static double animationDuration(const Notification& notification);
};

}  // namespace vx
