#pragma once
// A device root with the settings bundle installed from resources/, the classes the pages
// need registered, and the process-wide state the pages touch (language, appearance
// proxies, opened URLs, run loop) reset around each test.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "host/host_classes.h"
#include "host/ps_list_controller.h"
#include "platform/foundation/bundle.h"
#include "platform/foundation/run_loop.h"
#include "platform/services/class_registry.h"
#include "platform/services/weather_classes.h"
#include "platform/ui/appearance.h"
#include "platform/ui/application.h"
#include "platform/ui/screen.h"
#include "settings/settings_classes.h"
#include "support/temp_dir.h"

namespace vx::test {

inline constexpr std::string_view kBundle = "/Library/PreferenceBundles/VeltrixSettings.bundle";
inline constexpr std::string_view kPlugins = "/Library/PreferenceBundles/VeltrixSettings.bundle/Plugins";
// The nine list pages: the root page and the eight feature sub-pages.
inline constexpr const char* kListPages[] = {
    "VeltrixSettingsListController", "LockNoteListController", "VeltrixHideListController",
    "LockBarListController",         "LockAdvancedController", "LockBatteryListController",
    "LockMiscListController",        "LockMoveListController", "VeltrixStringListController"};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.makeFolder(kBundle);
        std::filesystem::copy(
            std::filesystem::path(VX_SOURCE_DIR) / "resources" / "VeltrixSettings.bundle",
            root.host(kBundle), std::filesystem::copy_options::recursive);
        registerHostClasses();
        registerSettingsClasses();
        registerWeatherClasses();
        UIAppearance::shared().reset();
        UIApplication::sharedApplication().reset();
        TearDown();  // the language, screen and run loop as every test starts them
    }
    void TearDown() override {
        Bundle::setPreferredLanguage("en");
        UIScreen::mainScreen().reset();
        RunLoop::main().reset(1'700'000'000.0);
    }

    // A page of a registered class, as the host makes it.
    template <class T>
    std::shared_ptr<T> page(std::string_view className) {
        auto made = ClassRegistry::shared().instantiateAs<T>(className);
        EXPECT_NE(made, nullptr) << className;
        return made;
    }
    // Replaces a file of the installed bundle.
    void writeBundleFile(std::string_view name, std::string_view contents) {
        root.writeFile(std::string(kBundle) + "/" + std::string(name), contents);
    }

    ScopedDeviceRoot root;
};

// The row names of a list, in order.
inline std::vector<std::string> namesOf(const SpecifierList& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) names.push_back(row ? row->name() : "(null)");
    return names;
}

}  // namespace vx::test
