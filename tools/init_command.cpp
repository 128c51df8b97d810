// veltrix-settings init: lays out a device root: the folders the add-on and its settings
// use, and the settings bundle installed at /Library/PreferenceBundles/VeltrixSettings.bundle
// from the copy built into the program. Run on an existing root it reinstalls the bundle's
// files and leaves everything else (preferences, plugins, themes, weather data) alone.
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

#include "init_command.h"

#include "cli.h"
#include "embedded_files.h"
#include "host/bundle_path.h"
#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/root_jail.h"
#include "platform/foundation/strings.h"

namespace vx::cli {

namespace {

namespace fs = std::filesystem;

// Folders of a device root: the plugin folder, preferences, documents, weather data and
// the six theme folders.
constexpr std::string_view kFolders[] = {
    "/Library/PreferenceBundles/VeltrixSettings.bundle/Plugins",
    "/var/mobile/Library/Preferences",
    "/var/mobile/Documents",
    "/var/mobile/Library/Weather",
    "/Library/Widgets",
    "/var/mobile/Library/Veltrix",
    "/var/mobile/Library/Tandrel",
    "/Library/Themes",
    "/var/mobile/Library/iWidgets",
    "/var/mobile/Library/GroovyLock",
};

Result<void> makeFolder(const fs::path& root, std::string_view devicePath) {
    return jail::createFoldersIn(root, devicePath);
}

Result<void> installBundle(const fs::path& root) {
    for (const BundleResource& resource : bundleResources()) {
        const std::string devicePath = std::string(kDefaultBundlePath) + "/" +
                                       std::string(resource.path);
        if (auto made = jail::createFoldersIn(root, str::stringByDeletingLastPathComponent(devicePath));
            !made)
            return made;
        if (auto written = replaceFileAtomicallyIn(root, devicePath, resource.bytes); !written)
            return fail("cannot install " + devicePath + ": " + written.error());
    }
    return {};
}

int runInit(const Context& context) {
    if (auto laidOut = layOutDeviceRoot(context.deviceRoot); !laidOut)
        return reportFailure(laidOut.error());
    std::cout << "Device root " << context.deviceRoot.string() << " laid out; settings bundle ("
              << bundleResources().size() << " files) installed at " << kDefaultBundlePath << "\n";
    return kExitOk;
}

Action setUpInitCommand(CLI::App& command) {
    command.footer(
        "Creates the device folders (preferences, documents, weather data, the six theme "
        "folders, the plugin folder) and installs the settings bundle. On an existing root "
        "it reinstalls the bundle's files and keeps everything else.");
    return runInit;
}

const Registration registration{
    {"init", "Lay out a device root and install the settings bundle", setUpInitCommand}};

}  // namespace

Result<void> layOutDeviceRoot(const std::filesystem::path& root) {
    std::error_code error;  // the root itself is the user's host folder, made as asked
    fs::create_directories(root, error);
    if (error) return fail("cannot create " + root.string() + ": " + error.message());
    for (std::string_view folder : kFolders) {
        if (auto made = makeFolder(root, folder); !made) return made;
    }
    return installBundle(root);
}

}  // namespace vx::cli
