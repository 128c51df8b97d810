#include "platform/ui/control.h"

#include <algorithm>

namespace vx {

UIControl::UIControl(CGRect frame) : UIView(frame) {}

void UIControl::addTarget(TargetAction action, UIControlEvents events) {
    registrations_.push_back({std::move(action), events});
}

void UIControl::removeTarget(const void* target, const std::string& selector, UIControlEvents events) {
    std::erase_if(registrations_, [&](const Registration& r) {
        const bool targetMatches = target == nullptr || r.action.targetIdentity() == target;
        const bool selectorMatches = selector.empty() || r.action.selector() == selector;
        return targetMatches && selectorMatches && intersects(r.events, events);
    });
}

std::vector<std::string> UIControl::actionsForTarget(const void* target, UIControlEvents event) const {
    std::vector<std::string> out;
    for (const auto& r : registrations_) {
        if (r.action.targetIdentity() == target && intersects(r.events, event))
            out.push_back(r.action.selector());
    }
    return out;
}

std::vector<const void*> UIControl::allTargets() const {
    std::vector<const void*> out;
    for (const auto& r : registrations_) {
        if (std::find(out.begin(), out.end(), r.action.targetIdentity()) == out.end()) {
            out.push_back(r.action.targetIdentity());
        }
    }
    return out;
}

void UIControl::sendActionsForControlEvents(UIControlEvents events) {
    auto keepAlive = sharedFrom(this);
    const auto registrations = registrations_;  // an action may add or remove targets
    for (const auto& r : registrations) {
        if (intersects(r.events, events)) r.action.send(*this);
    }
}

}  // namespace vx
