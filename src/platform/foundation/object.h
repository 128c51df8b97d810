#pragma once
// Object: the root of the object model (NSObject). Views, view controllers, alerts and the
// classes of the class registry derive from it and are always owned by std::shared_ptr.
// It carries the class name used for look-ups by name, a respondsToSelector-style check for
// optional operations, and the table of associated objects (see
// platform/services/associated_objects.h), which is released together with the object.
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

class AssociatedObjects;

class Object : public std::enable_shared_from_this<Object> {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    // The class name as the runtime knows it ("UITableView", "LockThemeViewController").
    // Every class that can be looked up or matched by name overrides it.
    virtual std::string className() const { return "NSObject"; }

    // respondsToSelector: for operations that are optional on a class. The default answers
    // no; classes that offer an optional operation answer yes for its selector (written as
    // in Objective-C, e.g. "setView:") and pass every other selector to their base.
    virtual bool respondsToSelector(std::string_view selector) const {
        (void)selector;
        return false;
    }

private:
    friend class AssociatedObjects;
    // Key address → associated value. Retained values die with the object; weak ones
    // ("assign") are kept as weak_ptr.
    struct Association {
        std::shared_ptr<void> retained;
        std::weak_ptr<void> weak;
    };
    std::map<const void*, Association> associations_;
};

// A typed shared_ptr to an object from inside one of its member functions. Returns nullptr
// while the object is being constructed or destroyed, or when it is not owned by a shared_ptr.
template <class T>
std::shared_ptr<T> sharedFrom(T* self) {
    if (self == nullptr) return nullptr;
    auto base = self->weak_from_this().lock();
    return std::static_pointer_cast<T>(base);
}

template <class T>
std::weak_ptr<T> weakFrom(T* self) {
    return sharedFrom(self);
}

}  // namespace vx
