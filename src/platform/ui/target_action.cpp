#include "platform/ui/target_action.h"

namespace vx {

namespace {
bool isEmptyWeak(const std::weak_ptr<void>& p) {
    std::weak_ptr<void> empty;
    return !p.owner_before(empty) && !empty.owner_before(p);
}
}  // namespace

TargetAction::TargetAction(std::weak_ptr<void> target, std::string selector, Invoke invoke)
    : target_(std::move(target)), selector_(std::move(selector)), invoke_(std::move(invoke)) {
    hadTarget_ = !isEmptyWeak(target_);
    if (auto locked = target_.lock()) targetIdentity_ = locked.get();
}

bool TargetAction::send(Object& sender) const {
    if (!invoke_) return false;
    std::shared_ptr<void> target;
    if (hadTarget_) {
        target = target_.lock();
        if (!target) return false;  // the target has gone
    }
    invoke_(target, sender);
    return true;
}

}  // namespace vx
