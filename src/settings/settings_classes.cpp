#include "settings/settings_classes.h"

#include "platform/services/class_registry.h"
#include "settings/feature_list_controllers.h"
#include "settings/lock_move_list_controller.h"
#include "settings/my_location.h"
#include "settings/veltrix_plugin_list_controller.h"
#include "settings/veltrix_settings_list_controller.h"

namespace vx {

void registerSettingsClasses() {
    auto& registry = ClassRegistry::shared();
    registry.registerClass<VeltrixSettingsListController>(VeltrixSettingsListController::kClassName);
    registry.registerClass<LockNoteListController>(LockNoteListController::kClassName);
    registry.registerClass<VeltrixHideListController>(VeltrixHideListController::kClassName);
    registry.registerClass<LockBarListController>(LockBarListController::kClassName);
    registry.registerClass<LockAdvancedController>(LockAdvancedController::kClassName);
    registry.registerClass<LockBatteryListController>(LockBatteryListController::kClassName);
    registry.registerClass<LockMiscListController>(LockMiscListController::kClassName);
    registry.registerClass<LockMoveListController>(LockMoveListController::kClassName);
    registry.registerClass<VeltrixStringListController>(VeltrixStringListController::kClassName);
    registry.registerClass<VeltrixPluginListController>(VeltrixPluginListController::kClassName);
    registry.registerClass(MyLocation::kClassName,
                           [] { return std::static_pointer_cast<Object>(MyLocation::init()); });
}

}  // namespace vx
