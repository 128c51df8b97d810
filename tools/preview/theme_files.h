#pragma once
// Reading files below a folder of the device, as a theme's frame may: the folder is opened
// through the root jail, every component below it without following any link, so nothing
// outside the folder is reached even through a link that stays inside the device root.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace vx::preview {

inline constexpr std::size_t kMaxThemeFileBytes = 64u * 1024u * 1024u;

// The bytes of the regular file at `relative` (components already checked by
// themeRelativePath) below the device folder `folder`. A link anywhere below the folder, a
// non-regular file or a file over maxBytes is refused.
Result<std::string> readFileBelow(std::string_view folder, std::string_view relative,
                                  std::size_t maxBytes = kMaxThemeFileBytes);
// Whether readFileBelow would find a regular file there (without reading it).
bool isRegularFileBelow(std::string_view folder, std::string_view relative);

}  // namespace vx::preview
