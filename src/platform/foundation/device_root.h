#pragma once
// Every fixed path of the device ("/var/mobile/Library/...", "/Library/Themes") is resolved
// against one device root folder: "/" on a device, a demo or test folder elsewhere.
// "/User" is an alias of "/var/mobile", and ".." never climbs above the root.
#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

inline constexpr std::string_view kPreferencesPath =
    "/var/mobile/Library/Preferences/com.corvane.veltrix.plist";

class DeviceRoot {
public:
    // The root that device paths resolve against for this process (default "/").
    static void setCurrent(std::filesystem::path hostFolder);
    static const std::filesystem::path& current();

    // The host path of a device path under the current root.
    static std::filesystem::path resolve(std::string_view devicePath);
    // The same under an explicit root.
    static std::filesystem::path resolveIn(const std::filesystem::path& root,
                                           std::string_view devicePath);
    // The device path, normalised: "/User/x/../y" → "/var/mobile/y".
    static std::string normalise(std::string_view devicePath);
};

}  // namespace vx
