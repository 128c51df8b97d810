#include "platform/services/class_registry.h"

#include "platform/foundation/log.h"

namespace vx {

ClassRegistry& ClassRegistry::shared() {
    static ClassRegistry registry;
    return registry;
}

bool ClassRegistry::registerClass(std::string name, ObjCClass::Factory factory) {
    if (name.empty() || !factory) {
        log::write("ClassRegistry: refusing a class without a name or a factory");
        return false;
    }
    auto it = classes_.find(name);
    if (it != classes_.end()) classes_.erase(it);
    classes_.emplace(name, ObjCClass(name, std::move(factory)));
    return true;
}

void ClassRegistry::unregisterClass(std::string_view name) {
    auto it = classes_.find(name);
    if (it != classes_.end()) classes_.erase(it);
}

std::optional<ObjCClass> ClassRegistry::lookUp(std::string_view name) const {
    auto it = classes_.find(name);
    if (it == classes_.end()) return std::nullopt;
    return it->second;
}

bool ClassRegistry::hasClass(std::string_view name) const {
    return classes_.find(name) != classes_.end();
}

std::shared_ptr<Object> ClassRegistry::instantiate(std::string_view name) const {
    auto it = classes_.find(name);
    if (it == classes_.end()) return nullptr;
    return it->second.instantiate();
}

std::vector<std::string> ClassRegistry::classNames() const {
    std::vector<std::string> names;
    names.reserve(classes_.size());
    for (const auto& [name, cls] : classes_) names.push_back(name);
    return names;
}

void ClassRegistry::reset() { classes_.clear(); }

std::optional<ObjCClass> objc_getClass(std::string_view name) {
    return ClassRegistry::shared().lookUp(name);
}

}  // namespace vx
