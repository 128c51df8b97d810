#include "keyboard/scroll_view_vx_additions.h"

#include <cmath>
#include <limits>

#include "keyboard/vx_scroll_view.h"
#include "platform/foundation/run_loop.h"
#include "platform/services/associated_objects.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/text_field.h"
#include "platform/ui/text_view.h"

namespace vx {

namespace {

// The association key: the address of this constant.
const char kStateKey = 0;

// Two inputs whose top edges differ by less than this stand on the same row.
constexpr double kSameRowTolerance = std::numeric_limits<double>::epsilon();

bool isTextInput(const UIView& view) {
    return dynamic_cast<const UITextField*>(&view) != nullptr ||
           dynamic_cast<const UITextView*>(&view) != nullptr;
}

bool isVXScrollView(const UIScrollView& view) {
    return dynamic_cast<const VXScrollView*>(&view) != nullptr;
}

// The keyboard's end frame from the notification, in self's own coordinates.
CGRect keyboardRectInView(const UIScrollView& self, const Notification& notification) {
    return self.convertRectFromView(UIKeyboard::endFrame(notification), nullptr);
}

// Opens an animation block with the keyboard's curve and duration. The duration is read as
// single precision, as the device's floatValue does, then widened.
void beginKeyboardAnimation(const Notification& notification) {
    const int curve = UIKeyboard::animationCurve(notification);
    const float duration = static_cast<float>(UIKeyboard::animationDuration(notification));
    UIView::beginAnimations();
    UIView::setAnimationCurve(curve);
    UIView::setAnimationDuration(static_cast<double>(duration));
}

double viewingAreaHeight(const UIScrollView& self) {
    const UIEdgeInsets inset = self.contentInset();
    return self.bounds().size.height - inset.top - inset.bottom;
}

}  // namespace

std::shared_ptr<VXState> keyboardAvoidingState(UIScrollView& self) {
    auto state = associatedObject<VXState>(self, &kStateKey);
    if (!state) {
        state = std::make_shared<VXState>();
        objc_setAssociatedObject(self, &kStateKey, state, AssociationPolicy::RetainNonatomic);
    }
    return state;
}

void VX_keyboardWillShow(UIScrollView& self, const Notification& notification) {
    const CGRect keyboardRect = keyboardRectInView(self, notification);
    if (CGRectIsEmpty(keyboardRect)) return;
    auto state = keyboardAvoidingState(self);
    if (state->keyboardVisible()) return;

    // Looked up before anything changes.
    const auto firstResponder = VX_findFirstResponderBeneathView(self, self);

    state->setKeyboardRect(keyboardRect);
    state->setKeyboardVisible(true);
    state->setPriorInset(self.contentInset());
    state->setPriorScrollIndicatorInsets(self.scrollIndicatorInsets());
    state->setPriorPagingEnabled(self.isPagingEnabled());
    self.setPagingEnabled(false);

    if (isVXScrollView(self)) {
        state->setPriorContentSize(self.contentSize());
        // VXScrollView's setContentSize takes the computed size as the one to restore and
        // applies the keyboard inset at once, since the state is already visible.
        if (self.contentSize().width == 0 && self.contentSize().height == 0)
            self.setContentSize(VX_calculatedContentSizeFromSubviewFrames(self));
    }

    beginKeyboardAnimation(notification);
    self.setContentInset(VX_contentInsetForKeyboard(self));
    if (firstResponder) {
        const double offsetY = VX_idealOffsetForView(self, firstResponder.get(),
                                                     viewingAreaHeight(self));
        self.setContentOffset(CGPointMake(self.contentOffset().x, offsetY), false);
    }
    self.setScrollIndicatorInsets(self.contentInset());
    UIView::commitAnimations();
}

void VX_keyboardWillHide(UIScrollView& self, const Notification& notification) {
    const CGRect keyboardRect = keyboardRectInView(self, notification);
    if (CGRectIsEmpty(keyboardRect)) return;
    auto state = keyboardAvoidingState(self);
    if (!state->keyboardVisible()) return;

    state->setKeyboardRect(CGRectZero);
    state->setKeyboardVisible(false);

    beginKeyboardAnimation(notification);
    // The state is hidden now, so VXScrollView's setContentSize changes nothing more.
    if (isVXScrollView(self)) self.setContentSize(state->priorContentSize());
    self.setContentInset(state->priorInset());
    self.setScrollIndicatorInsets(state->priorScrollIndicatorInsets());
    self.setPagingEnabled(state->priorPagingEnabled());
    UIView::commitAnimations();
}

void VX_updateContentInset(UIScrollView& self) {
    if (!keyboardAvoidingState(self)->keyboardVisible()) return;
    self.setContentInset(VX_contentInsetForKeyboard(self));
}

void VX_updateFromContentSizeChange(UIScrollView& self) {
    auto state = keyboardAvoidingState(self);
    if (!state->keyboardVisible()) return;
    state->setPriorContentSize(self.contentSize());
    self.setContentInset(VX_contentInsetForKeyboard(self));
}

bool VX_focusNextTextField(UIScrollView& self) {
    const auto firstResponder = VX_findFirstResponderBeneathView(self, self);
    if (!firstResponder) return false;
    double minY = std::numeric_limits<double>::max();
    std::shared_ptr<UIView> next;
    VX_findTextFieldAfterTextField(self, *firstResponder, self, minY, next);
    if (!next) return false;
    // On the next pass of the run loop, after this call (and the return key) has finished.
    RunLoop::main().performAfterDelay(
        kVXFocusNextDelay,
        [weakNext = std::weak_ptr<UIView>(next)] {
            if (auto view = weakNext.lock()) view->becomeFirstResponder();
        },
        next.get(), "becomeFirstResponder", nullptr);
    return true;
}

void VX_scrollToActiveTextField(UIScrollView& self) {
    if (!keyboardAvoidingState(self)->keyboardVisible()) return;
    const double height = viewingAreaHeight(self);
    const auto firstResponder = VX_findFirstResponderBeneathView(self, self);
    const double offsetY = VX_idealOffsetForView(self, firstResponder.get(), height);
    // Captures `self` by reference: the closure runs before this function returns.
    UIView::animateWithDuration(kVXScrollToActiveDuration, [&self, offsetY] {
        self.setContentOffset(CGPointMake(0, offsetY), false);
    });
}

std::shared_ptr<UIView> VX_findFirstResponderBeneathView(UIScrollView& self, const UIView& view) {
    for (const auto& subview : view.subviews()) {
        if (!subview) continue;
        if (subview->respondsToSelector("isFirstResponder") && subview->isFirstResponder())
            return subview;
        if (auto found = VX_findFirstResponderBeneathView(self, *subview)) return found;
    }
    return nullptr;
}

void VX_findTextFieldAfterTextField(UIScrollView& self, const UIView& priorTextField, const UIView& view,
                                    double& minY, std::shared_ptr<UIView>& foundView) {
    const CGRect priorFrame = priorTextField.frame();
    const double priorMinY = CGRectGetMinY(
        self.convertRectFromView(priorFrame, priorTextField.superviewPointer()));

    for (const auto& subview : view.subviews()) {
        if (!subview || subview->isHidden()) continue;
        if (!isTextInput(*subview) || !subview->isUserInteractionEnabled()) {
            VX_findTextFieldAfterTextField(self, priorTextField, *subview, minY, foundView);
            continue;
        }
        const CGRect frame = self.convertRectFromView(subview->frame(), &view);
        const double candidateMinY = CGRectGetMinY(frame);
        // The row test compares the converted y with the prior input's unconverted frame.
        const bool sameRowToTheLeft = std::fabs(frame.origin.y - priorFrame.origin.y) <
                                          kSameRowTolerance &&
                                      frame.origin.x < priorFrame.origin.x;
        if (subview.get() == &priorTextField || candidateMinY < priorMinY || !(candidateMinY < minY) ||
            sameRowToTheLeft)
            continue;
        minY = candidateMinY;
        foundView = subview;
    }
}

void VX_assignTextDelegateForViewsBeneathView(UIScrollView& self, const UIView& view) {
    // Copied on purpose: setting up a field may not change the tree, but a delegate could.
    const auto subviews = view.subviews();  // NOLINT(performance-unnecessary-copy-initialization)
    for (const auto& subview : subviews) {
        if (!subview) continue;
        if (isTextInput(*subview))
            VX_initializeView(self, *subview);
        else
            VX_assignTextDelegateForViewsBeneathView(self, *subview);
    }
}

CGSize VX_calculatedContentSizeFromSubviewFrames(UIScrollView& self) {
    const bool showsVertical = self.showsVerticalScrollIndicator();
    const bool showsHorizontal = self.showsHorizontalScrollIndicator();
    self.setShowsVerticalScrollIndicator(false);
    self.setShowsHorizontalScrollIndicator(false);

    CGRect united = CGRectZero;
    for (const auto& subview : self.subviews())
        if (subview) united = CGRectUnion(united, subview->frame());

    self.setShowsVerticalScrollIndicator(showsVertical);
    self.setShowsHorizontalScrollIndicator(showsHorizontal);
    return CGSizeMake(united.size.width, united.size.height + kVXCalculatedContentPadding);
}

UIEdgeInsets VX_contentInsetForKeyboard(UIScrollView& self) {
    const UIEdgeInsets inset = self.contentInset();
    const CGRect keyboardRect = keyboardAvoidingState(self)->keyboardRect();
    const double overhang = CGRectGetMaxY(keyboardRect) - CGRectGetMaxY(self.bounds());
    const double belowView = overhang > 0 ? overhang : 0;
    return UIEdgeInsetsMake(inset.top, inset.left, keyboardRect.size.height - belowView, inset.right);
}

double VX_idealOffsetForView(UIScrollView& self, const UIView* view, double viewingAreaHeight) {
    const double contentHeight = self.contentSize().height;
    // A missing view stands for the zero rectangle, as a message to nothing would give.
    const CGRect frame = view ? view->convertRectToView(view->bounds(), &self) : CGRectZero;
    double margin = (viewingAreaHeight - frame.size.height) * kVXScrollMarginFactor;
    if (margin < kVXMinimumScrollMargin) margin = kVXMinimumScrollMargin;

    const double insetTop = self.contentInset().top;
    double offset = frame.origin.y - margin - insetTop;
    if (offset > contentHeight - viewingAreaHeight) offset = contentHeight - viewingAreaHeight;
    if (offset < -insetTop) offset = -insetTop;
    return offset;
}

void VX_initializeView(UIScrollView& self, UIView& view) {
    auto* field = dynamic_cast<UITextField*>(&view);
    if (!field || field->returnKeyType() != UIReturnKeyType::Default) return;
    auto* selfAsDelegate = dynamic_cast<UITextFieldDelegate*>(&self);
    const auto delegate = field->delegate();
    if (delegate && delegate.get() != selfAsDelegate) return;

    // A scroll view that is no text-field delegate cannot be one; the field then keeps no
    // delegate but still gets its return key.
    if (selfAsDelegate) {
        if (auto owner = sharedFrom(&self))
            field->setDelegate(std::shared_ptr<UITextFieldDelegate>(owner, selfAsDelegate));
    }
    double minY = std::numeric_limits<double>::max();
    std::shared_ptr<UIView> next;
    VX_findTextFieldAfterTextField(self, *field, self, minY, next);
    field->setReturnKeyType(next ? UIReturnKeyType::Next : UIReturnKeyType::Done);
}

}  // namespace vx
