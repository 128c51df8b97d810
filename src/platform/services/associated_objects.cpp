#include "platform/services/associated_objects.h"

namespace vx {

void AssociatedObjects::set(Object& owner, const void* key, std::shared_ptr<void> value,
                            AssociationPolicy policy) {
    if (!value) {
        // The old value is released after the table no longer refers to it, so its
        // destructor may touch the owner's associations safely.
        auto it = owner.associations_.find(key);
        if (it == owner.associations_.end()) return;
        auto old = std::move(it->second);
        owner.associations_.erase(it);
        return;
    }
    Object::Association association;
    if (policy == AssociationPolicy::Assign) {
        association.weak = value;
    } else {
        association.retained = std::move(value);
    }
    auto old = std::move(owner.associations_[key]);
    owner.associations_[key] = std::move(association);
}

std::shared_ptr<void> AssociatedObjects::get(const Object& owner, const void* key) {
    auto it = owner.associations_.find(key);
    if (it == owner.associations_.end()) return nullptr;
    if (it->second.retained) return it->second.retained;
    return it->second.weak.lock();
}

void AssociatedObjects::removeAll(Object& owner) {
    auto old = std::move(owner.associations_);
    owner.associations_.clear();
}

std::size_t AssociatedObjects::count(const Object& owner) { return owner.associations_.size(); }

}  // namespace vx
