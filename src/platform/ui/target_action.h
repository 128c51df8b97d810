#pragma once
// Target–action: a weakly held target, the action's selector name (for inspection, e.g.
// "saveTextEdit:") and the call. A target that has gone is skipped; a call never keeps its
// target alive beyond the call itself.
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/object.h"

namespace vx {

class TargetAction {
public:
    // `invoke` receives the locked target (nullptr when the action was added without one)
    // and the sender.
    using Invoke = std::function<void(const std::shared_ptr<void>& target, Object& sender)>;

    TargetAction() = default;
    TargetAction(std::weak_ptr<void> target, std::string selector, Invoke invoke);

    // A member function of T taking the sender (cast to S; a sender of another type is not
    // passed on), or taking nothing.
    template <class T, class S>
    static TargetAction make(const std::shared_ptr<T>& target, void (T::*method)(S&),
                             std::string selector) {
        return TargetAction(target, std::move(selector),
                            [method](const std::shared_ptr<void>& t, Object& sender) {
                                auto* typed = dynamic_cast<S*>(&sender);
                                if (t && typed) (static_cast<T*>(t.get())->*method)(*typed);
                            });
    }
    template <class T>
    static TargetAction make(const std::shared_ptr<T>& target, void (T::*method)(),
                             std::string selector) {
        return TargetAction(target, std::move(selector),
                            [method](const std::shared_ptr<void>& t, Object&) {
                                if (t) (static_cast<T*>(t.get())->*method)();
                            });
    }

    // Calls the action unless the target has gone. Returns whether it was called.
    bool send(Object& sender) const;

    bool hadTarget() const { return hadTarget_; }
    bool targetIsAlive() const { return !target_.expired(); }
    // Identity of the target (never dereferenced), nullptr when there was none.
    const void* targetIdentity() const { return targetIdentity_; }
    const std::string& selector() const { return selector_; }

private:
    std::weak_ptr<void> target_;
    const void* targetIdentity_ = nullptr;
    bool hadTarget_ = false;
    std::string selector_;
    Invoke invoke_;
};

}  // namespace vx
