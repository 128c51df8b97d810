#pragma once
// Where the settings bundle is installed on the device. Every page's specifier files and
// strings come from it unless the page names another bundle.
#include <string_view>

namespace vx {

inline constexpr std::string_view kDefaultBundlePath =
    "/Library/PreferenceBundles/VeltrixSettings.bundle";

}  // namespace vx
