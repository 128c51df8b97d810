#pragma once
// The runtime's classes by name (objc_getClass / NSClassFromString): page classes and the
// stand-ins of system classes register a factory under their class name; the host creates
// a page from a specifier's detail class name, the location export finds the weather
// classes. An unknown name gives nothing.
//
// Registration is explicit (a function per layer that registers its classes), because the
// linker drops unreferenced static registrars from static libraries.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/object.h"

namespace vx {

// A class known by name: what objc_getClass answers.
class ObjCClass {
public:
    using Factory = std::function<std::shared_ptr<Object>()>;

    ObjCClass(std::string name, Factory factory)
        : name_(std::move(name)), factory_(std::move(factory)) {}

    const std::string& name() const { return name_; }
    // alloc/init: a new instance, or nullptr when the factory gives none.
    std::shared_ptr<Object> instantiate() const { return factory_ ? factory_() : nullptr; }
    // A new instance as T, or nullptr when it is none or not a T.
    template <class T>
    std::shared_ptr<T> instantiateAs() const {
        return std::dynamic_pointer_cast<T>(instantiate());
    }

private:
    std::string name_;
    Factory factory_;
};

class ClassRegistry {
public:
    static ClassRegistry& shared();

    // Registers (or replaces) a class. An empty name or a missing factory is refused
    // (logged) and returns false.
    bool registerClass(std::string name, ObjCClass::Factory factory);
    // Registers T under `name` with a factory that makes a T by std::make_shared.
    template <class T>
    bool registerClass(std::string name) {
        return registerClass(std::move(name),
                             [] { return std::static_pointer_cast<Object>(std::make_shared<T>()); });
    }
    void unregisterClass(std::string_view name);

    // objc_getClass: the class of that name, or nothing.
    std::optional<ObjCClass> lookUp(std::string_view name) const;
    bool hasClass(std::string_view name) const;
    // A new instance of the named class, or nullptr for an unknown name.
    std::shared_ptr<Object> instantiate(std::string_view name) const;
    template <class T>
    std::shared_ptr<T> instantiateAs(std::string_view name) const {
        return std::dynamic_pointer_cast<T>(instantiate(name));
    }
    std::vector<std::string> classNames() const;

    // Forgets every class (tests).
    void reset();

private:
    ClassRegistry() = default;
    std::map<std::string, ObjCClass, std::less<>> classes_;
};

// objc_getClass / NSClassFromString on the shared registry.
std::optional<ObjCClass> objc_getClass(std::string_view name);

}  // namespace vx
