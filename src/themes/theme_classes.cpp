#include "themes/theme_classes.h"

#include "platform/services/class_registry.h"
#include "platform/ui/screen.h"
#include "themes/lock_theme_order_view_controller.h"
#include "themes/lock_theme_view_controller.h"
#include "themes/widget_coordinates_controller.h"

namespace vx {

void registerThemeClasses() {
    auto& registry = ClassRegistry::shared();
    // The host makes the theme list with the content size it offers: the screen's.
    registry.registerClass(LockThemeViewController::kClassName, [] {
        return std::static_pointer_cast<Object>(
            LockThemeViewController::initForContentSize(UIScreen::mainScreen().bounds().size));
    });
    registry.registerClass(WidgetCoordinatesController::kClassName, [] {
        return std::static_pointer_cast<Object>(WidgetCoordinatesController::init());
    });
    registry.registerClass(LockThemeOrderViewController::kClassName, [] {
        return std::static_pointer_cast<Object>(LockThemeOrderViewController::init());
    });
}

}  // namespace vx
