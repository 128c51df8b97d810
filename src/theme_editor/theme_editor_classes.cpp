#include "theme_editor/theme_editor_classes.h"

#include "platform/services/class_registry.h"
#include "theme_editor/lock_theme_settings_controller.h"
#include "theme_editor/options_controller.h"

namespace vx {

void registerThemeEditorClasses() {
    auto& registry = ClassRegistry::shared();
    // Plain construction, as sharedInstance makes them: no theme folder, no table.
    registry.registerClass<LockThemeSettingsController>(LockThemeSettingsController::kClassName);
    registry.registerClass<OptionsController>(OptionsController::kClassName);
}

}  // namespace vx
