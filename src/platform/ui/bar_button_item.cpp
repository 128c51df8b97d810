#include "platform/ui/bar_button_item.h"

namespace vx {

UIBarButtonItem::UIBarButtonItem(std::string title, UIBarButtonItemStyle style, TargetAction action)
    : title_(std::move(title)), style_(style), action_(std::move(action)) {}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::initWithTitle(std::string title,
                                                                UIBarButtonItemStyle style,
                                                                TargetAction action) {
    return std::make_shared<UIBarButtonItem>(std::move(title), style, std::move(action));
}

bool UIBarButtonItem::userTap() {
    if (!enabled_) return false;
    auto self = sharedFrom(this);
    return action_.send(*this);
}

}  // namespace vx
