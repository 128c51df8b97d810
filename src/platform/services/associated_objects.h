#pragma once
// Associated objects (objc_setAssociatedObject / objc_getAssociatedObject): any Object can
// carry values under keys that are addresses (normally of a private static constant).
// Retained values live as long as their owner (or until replaced or removed); "assign"
// values are held weakly. The table lives inside the owner, so it goes with it.
#include <memory>

#include "platform/foundation/object.h"

namespace vx {

// objc_AssociationPolicy (the values the runtime uses).
enum class AssociationPolicy : int {
    Assign = 0,
    RetainNonatomic = 1,
    CopyNonatomic = 3,
    Retain = 01401,
    Copy = 01403,
};

class AssociatedObjects {
public:
    // A null value removes the association.
    static void set(Object& owner, const void* key, std::shared_ptr<void> value,
                    AssociationPolicy policy = AssociationPolicy::RetainNonatomic);
    // The value, or nullptr (none, removed, or an assigned value that has gone).
    static std::shared_ptr<void> get(const Object& owner, const void* key);
    // objc_removeAssociatedObjects
    static void removeAll(Object& owner);
    static std::size_t count(const Object& owner);
};

inline void objc_setAssociatedObject(Object& owner, const void* key, std::shared_ptr<void> value,
                                     AssociationPolicy policy) {
    AssociatedObjects::set(owner, key, std::move(value), policy);
}
inline std::shared_ptr<void> objc_getAssociatedObject(const Object& owner, const void* key) {
    return AssociatedObjects::get(owner, key);
}
// The value as T. The caller knows what it stored under its own key.
template <class T>
std::shared_ptr<T> associatedObject(const Object& owner, const void* key) {
    return std::static_pointer_cast<T>(AssociatedObjects::get(owner, key));
}

}  // namespace vx
