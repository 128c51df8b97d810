#pragma once
// UIBarButtonItem: a title, a style and a target–action (target held weakly).
#include <memory>
#include <string>

#include "platform/foundation/object.h"
#include "platform/ui/target_action.h"

namespace vx {

enum class UIBarButtonItemStyle : int { Plain = 0, Bordered = 1, Done = 2 };

class UIBarButtonItem : public Object {
public:
    UIBarButtonItem(std::string title, UIBarButtonItemStyle style, TargetAction action);
    // initWithTitle:style:target:action: with a member function of the target, called with
    // the item (or with nothing): item = UIBarButtonItem::initWithTitle("Done",
    // UIBarButtonItemStyle::Done, page, &Page::doneButtonTapped, "doneButtonTapped:").
    template <class T, class M>
    static std::shared_ptr<UIBarButtonItem> initWithTitle(std::string title, UIBarButtonItemStyle style,
                                                          const std::shared_ptr<T>& target, M method,
                                                          std::string selector) {
        return std::make_shared<UIBarButtonItem>(
            std::move(title), style, TargetAction::make(target, method, std::move(selector)));
    }
    static std::shared_ptr<UIBarButtonItem> initWithTitle(std::string title, UIBarButtonItemStyle style,
                                                          TargetAction action);

    std::string className() const override { return "UIBarButtonItem"; }

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    UIBarButtonItemStyle style() const { return style_; }
    void setStyle(UIBarButtonItemStyle style) { style_ = style; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    const TargetAction& action() const { return action_; }
    const std::string& actionSelector() const { return action_.selector(); }

    // A tap: sends the action unless disabled or the target has gone. Returns whether the
    // action ran.
    bool userTap();

private:
    std::string title_;
    UIBarButtonItemStyle style_;
    TargetAction action_;
    bool enabled_ = true;
};

}  // namespace vx
