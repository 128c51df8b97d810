#pragma once
// UINavigationItem: what a view controller shows in the navigation bar.
#include <memory>
#include <string>

#include "platform/foundation/object.h"
#include "platform/ui/bar_button_item.h"

namespace vx {

class UINavigationItem : public Object {
public:
    std::string className() const override { return "UINavigationItem"; }

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    const std::shared_ptr<UIBarButtonItem>& leftBarButtonItem() const { return left_; }
    void setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool animated = false);
    const std::shared_ptr<UIBarButtonItem>& rightBarButtonItem() const { return right_; }
    // setRightBarButtonItem:animated: — whether the last change was animated is kept.
    void setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> item, bool animated = false);
    bool lastRightItemChangeAnimated() const { return rightAnimated_; }
    bool lastLeftItemChangeAnimated() const { return leftAnimated_; }

    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool hides) { hidesBackButton_ = hides; }

private:
    std::string title_;
    std::shared_ptr<UIBarButtonItem> left_;
    std::shared_ptr<UIBarButtonItem> right_;
    bool leftAnimated_ = false;
    bool rightAnimated_ = false;
    bool hidesBackButton_ = false;
};

}  // namespace vx
