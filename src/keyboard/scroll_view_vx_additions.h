#pragma once
// Keyboard avoidance for any scroll view (the UIScrollView(VXAdditions) operations). Each
// function takes the scroll view as `self`. The containers (VXScrollView, VXTableView,
// VXCollectionView) wire them to the keyboard and text-editing notifications.
//
// A text input is a UITextField or a UITextView (or a subclass of either).
#include <memory>

#include "keyboard/vx_state.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/scroll_view.h"

namespace vx {

// Smallest gap between the top of the visible area and an input scrolled into view, and the
// factor that centres the input when there is more room.
inline constexpr double kVXMinimumScrollMargin = 20.0;
inline constexpr double kVXScrollMarginFactor = 0.5;
// Added to the height of a content size computed from the subviews.
inline constexpr double kVXCalculatedContentPadding = 10.0;
// Duration of the scroll to the input that begins editing.
inline constexpr double kVXScrollToActiveDuration = 0.25;
// Delay of the deferred becomeFirstResponder when the focus steps to the next input.
inline constexpr double kVXFocusNextDelay = 0.0;

// This scroll view's record, created on first use and released with the scroll view.
std::shared_ptr<VXState> keyboardAvoidingState(UIScrollView& self);

// Handlers of UIKeyboardWillShowNotification and UIKeyboardWillHideNotification.
void VX_keyboardWillShow(UIScrollView& self, const Notification& notification);
void VX_keyboardWillHide(UIScrollView& self, const Notification& notification);

// While the keyboard is up: recompute the bottom inset after a frame or content size change
// (no animation of its own). The second also takes the current content size as the one to
// restore on hide.
void VX_updateContentInset(UIScrollView& self);
void VX_updateFromContentSizeChange(UIScrollView& self);

// Moves the focus to the input after the first responder, on the next pass of the main run
// loop. False when there is no first responder or no next input.
bool VX_focusNextTextField(UIScrollView& self);

// While the keyboard is up: scrolls the first responder towards the middle of the visible
// area (to the top when there is none), over 0.25 seconds.
void VX_scrollToActiveTextField(UIScrollView& self);

// The first view beneath `view` (depth first, parents before children, `view` itself
// excluded) that is first responder, or nullptr.
std::shared_ptr<UIView> VX_findFirstResponderBeneathView(UIScrollView& self, const UIView& view);

// Looks beneath `view` for the input after `priorTextField`: the visible, interactive input
// with the smallest top edge (in self's coordinates) that is not above the prior one's and
// strictly below `minY`; on the prior input's row only one that is not to its left. Updates
// `minY` and `foundView` with each better candidate. Callers start with the largest double
// and nullptr.
void VX_findTextFieldAfterTextField(UIScrollView& self, const UIView& priorTextField, const UIView& view,
                                    double& minY, std::shared_ptr<UIView>& foundView);

// Sets up every text field beneath `view` (see VX_initializeView). Does not look inside
// text inputs; hidden views are not skipped.
void VX_assignTextDelegateForViewsBeneathView(UIScrollView& self, const UIView& view);

// The union of the direct subviews' frames with the origin, as (width, height + 10).
CGSize VX_calculatedContentSizeFromSubviewFrames(UIScrollView& self);

// The current inset with the bottom set to the height of the part of the stored keyboard
// rectangle that lies above the view's bottom edge (negative when it lies wholly below).
UIEdgeInsets VX_contentInsetForKeyboard(UIScrollView& self);

// The content offset y that shows `view` (nullptr: none, which gives the top) in a visible
// area of the given height, clamped to the content.
double VX_idealOffsetForView(UIScrollView& self, const UIView* view, double viewingAreaHeight);

// For a text field with the default return key whose delegate is nothing or self: makes self
// its delegate (when self is a UITextFieldDelegate) and gives it the return key Next when an
// input follows it, Done otherwise. Anything else is left alone.
void VX_initializeView(UIScrollView& self, UIView& view);

}  // namespace vx
