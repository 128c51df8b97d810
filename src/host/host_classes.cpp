#include "host/host_classes.h"

#include "host/plugin_entry.h"
#include "host/plugin_items_list_controller.h"
#include "host/ps_list_items_controller.h"
#include "host/specifier_file.h"
#include "platform/services/class_registry.h"

namespace vx {

void registerHostClasses() {
    ClassRegistry& registry = ClassRegistry::shared();
    registry.registerClass<PSViewController>("PSViewController");
    registry.registerClass<PSListController>("PSListController");
    registry.registerClass<PSListItemsController>(std::string(kChoicePageClassName));
    registry.registerClass<PluginItemsListController>(std::string(kPluginItemsPageClassName));
}

}  // namespace vx
