#pragma once
// UIControl: enabled/selected/highlighted state and target–action by control events.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/target_action.h"
#include "platform/ui/view.h"

namespace vx {

enum class UIControlEvents : std::uint32_t {
    None = 0,
    TouchDown = 1u << 0,
    TouchUpInside = 1u << 6,
    ValueChanged = 1u << 12,
    EditingDidBegin = 1u << 16,
    EditingChanged = 1u << 17,
    EditingDidEnd = 1u << 18,
    EditingDidEndOnExit = 1u << 19,
    AllEvents = 0xFFFFFFFFu,
};
constexpr UIControlEvents operator|(UIControlEvents a, UIControlEvents b) {
    return static_cast<UIControlEvents>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr bool intersects(UIControlEvents a, UIControlEvents b) {
    return (static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b)) != 0;
}

class UIControl : public UIView {
public:
    explicit UIControl(CGRect frame = CGRectZero);

    std::string className() const override { return "UIControl"; }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted) { highlighted_ = highlighted; }

    // addTarget:action:forControlEvents:. The target is held weakly.
    void addTarget(TargetAction action, UIControlEvents events);
    // A member function of the target: field->addTarget(page, &Page::saveTextEdit,
    // "saveTextEdit:", UIControlEvents::EditingChanged).
    template <class T, class M>
    void addTarget(const std::shared_ptr<T>& target, M method, std::string selector,
                   UIControlEvents events) {
        addTarget(TargetAction::make(target, method, std::move(selector)), events);
    }
    // removeTarget:action:forControlEvents: — every action of the target (nullptr: of every
    // target) for those events; an empty selector matches every action.
    void removeTarget(const void* target, const std::string& selector, UIControlEvents events);
    // actionsForTarget:forControlEvent: — the selectors of the target's actions for the event.
    std::vector<std::string> actionsForTarget(const void* target, UIControlEvents event) const;
    // The targets (identities) that have actions for any event.
    std::vector<const void*> allTargets() const;
    // sendActionsForControlEvents: — every action registered for any of the events, in
    // the order they were added; actions whose target has gone are skipped.
    void sendActionsForControlEvents(UIControlEvents events);

private:
    struct Registration {
        TargetAction action;
        UIControlEvents events;
    };
    std::vector<Registration> registrations_;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
};

}  // namespace vx
