#pragma once
// UIScrollView: the content offset is the bounds origin; content inset, scroll indicator
// insets, content size, paging and indicator flags are plain state. Setters are virtual so
// that subclasses (the keyboard-avoiding containers) can extend them, and every change is
// reported to the animation recorder.
#include <memory>

#include "platform/ui/view.h"

namespace vx {

class UIScrollView : public UIView {
public:
    explicit UIScrollView(CGRect frame = CGRectZero);
    static std::shared_ptr<UIScrollView> initWithFrame(CGRect frame);

    std::string className() const override { return "UIScrollView"; }

    CGPoint contentOffset() const { return bounds().origin; }
    // Moves the bounds origin. Recorded as "contentOffset" (animated as asked).
    virtual void setContentOffset(CGPoint offset, bool animated);
    void setContentOffset(CGPoint offset) { setContentOffset(offset, false); }

    CGSize contentSize() const { return contentSize_; }
    // Recorded as "contentSize".
    virtual void setContentSize(CGSize size);

    UIEdgeInsets contentInset() const { return contentInset_; }
    // Recorded as "contentInset".
    virtual void setContentInset(UIEdgeInsets insets);

    UIEdgeInsets scrollIndicatorInsets() const { return scrollIndicatorInsets_; }
    // Recorded as "scrollIndicatorInsets".
    virtual void setScrollIndicatorInsets(UIEdgeInsets insets);

    bool isPagingEnabled() const { return pagingEnabled_; }
    virtual void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVertical_ = shows; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontal_ = shows; }
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }

    // scrollRectToVisible:animated: — the smallest offset change that shows the rectangle
    // (in content coordinates), kept within the content and insets.
    void scrollRectToVisible(CGRect rect, bool animated);

private:
    CGSize contentSize_;
    UIEdgeInsets contentInset_;
    UIEdgeInsets scrollIndicatorInsets_;
    bool pagingEnabled_ = false;
    bool showsVertical_ = true;
    bool showsHorizontal_ = true;
    bool scrollEnabled_ = true;
};

}  // namespace vx
