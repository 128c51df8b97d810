#pragma once
// What the `show` and `run` commands share: making the page classes known (as loading the
// bundle would) and opening the settings bundle's root page in the Settings application.
#include "app/settings_application.h"
#include "platform/foundation/result.h"

namespace vx::cli {

// Registers every layer's classes once, then opens the root page. The failure names the
// missing bundle or class and how to put it right.
Result<void> openRootPage(SettingsApplication& app);

}  // namespace vx::cli
