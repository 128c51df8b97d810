#include "platform/ui/navigation_item.h"

namespace vx {

void UINavigationItem::setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool animated) {
    left_ = std::move(item);
    leftAnimated_ = animated;
}

void UINavigationItem::setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool animated) {
    right_ = std::move(item);
    rightAnimated_ = animated;
}

}  // namespace vx
