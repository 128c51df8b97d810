#pragma once
// VXState: what a scroll view remembers while the keyboard is up, so that it can put back
// its insets, paging flag and (for VXScrollView) content size when the keyboard goes.
// One record per scroll view, attached to it as an associated object.
#include "platform/foundation/object.h"
#include "platform/ui/geometry.h"

namespace vx {

class VXState : public Object {
public:
    std::string className() const override { return "VXState"; }

    // The content inset just before the keyboard came up.
    UIEdgeInsets priorInset() const { return priorInset_; }
    void setPriorInset(UIEdgeInsets inset) { priorInset_ = inset; }

    // The scroll indicator insets just before the keyboard came up.
    UIEdgeInsets priorScrollIndicatorInsets() const { return priorScrollIndicatorInsets_; }
    void setPriorScrollIndicatorInsets(UIEdgeInsets insets) { priorScrollIndicatorInsets_ = insets; }

    // True from a handled show until the next handled hide.
    bool keyboardVisible() const { return keyboardVisible_; }
    void setKeyboardVisible(bool visible) { keyboardVisible_ = visible; }

    // The keyboard's end frame in the scroll view's own coordinates at the show; zero after
    // a hide.
    CGRect keyboardRect() const { return keyboardRect_; }
    void setKeyboardRect(CGRect rect) { keyboardRect_ = rect; }

    // The content size to restore on hide (VXScrollView only).
    CGSize priorContentSize() const { return priorContentSize_; }
    void setPriorContentSize(CGSize size) { priorContentSize_ = size; }

    // The paging flag just before the keyboard came up.
    bool priorPagingEnabled() const { return priorPagingEnabled_; }
    void setPriorPagingEnabled(bool enabled) { priorPagingEnabled_ = enabled; }

private:
    UIEdgeInsets priorInset_;
    UIEdgeInsets priorScrollIndicatorInsets_;
    bool keyboardVisible_ = false;
    CGRect keyboardRect_;
    CGSize priorContentSize_;
    bool priorPagingEnabled_ = false;
};

}  // namespace vx
