#include "platform/ui/scroll_view.h"

#include <algorithm>

namespace vx {

UIScrollView::UIScrollView(CGRect frame) : UIView(frame) {}

std::shared_ptr<UIScrollView> UIScrollView::initWithFrame(CGRect frame) {
    return std::make_shared<UIScrollView>(frame);
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated) {
    CGRect bounds = this->bounds();
    bounds.origin = offset;
    UIView::setBounds(bounds);
    recordChange("contentOffset", offset, animated);
}

void UIScrollView::setContentSize(CGSize size) {
    contentSize_ = size;
    recordChange("contentSize", size);
}

void UIScrollView::setContentInset(UIEdgeInsets insets) {
    contentInset_ = insets;
    recordChange("contentInset", insets);
}

void UIScrollView::setScrollIndicatorInsets(UIEdgeInsets insets) {
    scrollIndicatorInsets_ = insets;
    recordChange("scrollIndicatorInsets", insets);
}

void UIScrollView::scrollRectToVisible(CGRect rect, bool animated) {
    const CGRect visible = bounds();
    CGPoint offset = visible.origin;
    if (CGRectGetMinY(rect) < CGRectGetMinY(visible)) {
        offset.y = CGRectGetMinY(rect);
    } else if (CGRectGetMaxY(rect) > CGRectGetMaxY(visible)) {
        offset.y = CGRectGetMaxY(rect) - visible.size.height;
    }
    if (CGRectGetMinX(rect) < CGRectGetMinX(visible)) {
        offset.x = CGRectGetMinX(rect);
    } else if (CGRectGetMaxX(rect) > CGRectGetMaxX(visible)) {
        offset.x = CGRectGetMaxX(rect) - visible.size.width;
    }
    const UIEdgeInsets inset = contentInset_;
    const double maxY = std::max(-inset.top, contentSize_.height + inset.bottom - visible.size.height);
    const double maxX = std::max(-inset.left, contentSize_.width + inset.right - visible.size.width);
    offset.y = std::clamp(offset.y, -inset.top, maxY);
    offset.x = std::clamp(offset.x, -inset.left, maxX);
    if (offset != visible.origin) setContentOffset(offset, animated);
}

}  // namespace vx
