#include "app_session.h"

#include "host/host_classes.h"
#include "platform/foundation/files.h"
#include "platform/services/weather_classes.h"
#include "settings/settings_classes.h"
#include "theme_editor/theme_editor_classes.h"
#include "themes/theme_classes.h"

namespace vx::cli {

namespace {

void registerPageClasses() {
    static const bool registered = [] {
        registerHostClasses();
        registerWeatherClasses();
        registerSettingsClasses();
        registerThemeClasses();
        registerThemeEditorClasses();
        return true;
    }();
    (void)registered;
}

}  // namespace

Result<void> openRootPage(SettingsApplication& app) {
    registerPageClasses();
    auto opened = app.open();
    if (!opened && !files::isDirectory(SettingsApplication::kBundlePath)) {
        return fail(opened.error() +
                    " (`veltrix-settings init` lays out a device root and installs it)");
    }
    return opened;
}

}  // namespace vx::cli
