#include "host/plugin_items_list_controller.h"

#include "host/plugin_entry.h"

namespace vx {

SpecifierList PluginItemsListController::specifiers() {
    if (hasSpecifiers()) return cachedSpecifiers();
    std::string name;
    if (const SpecifierPtr& row = specifier()) {
        name = row->stringPropertyForKey(kPluginPlistNameProperty).value_or("");
    }
    setSpecifiers(name.empty() ? SpecifierList{} : loadSpecifiersFromPlistName(name, weakFrom(this)));
    return cachedSpecifiers();
}

std::string PluginItemsListController::bundlePath() const {
    if (const SpecifierPtr& row = specifier()) {
        if (auto path = row->stringPropertyForKey(kPluginBundlePathProperty)) return *path;
    }
    return PSListController::bundlePath();
}

}  // namespace vx
