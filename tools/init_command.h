#pragma once
// Laying out a device root: the folders the add-on and its settings use (preferences,
// documents, weather data, the six theme folders, the plugin folder) and the settings bundle
// installed from the copy built into the program. Existing files other than the bundle's
// own are left alone. `veltrix-settings init` runs it; so does the first use of the demo
// device.
#include <filesystem>

#include "platform/foundation/result.h"

namespace vx::cli {

Result<void> layOutDeviceRoot(const std::filesystem::path& root);

}  // namespace vx::cli
