#pragma once
// A self-contained copy of the lock-screen preview: index.html, the page's stylesheet and
// script, the wallpaper, and a copy of each shown theme's folder under themes/<n>/ whose
// HTML document carries the injected options. Any browser opens index.html from the disk.
#include <cstdint>
#include <filesystem>

#include "platform/foundation/result.h"

namespace vx::preview {

// The name of the marker file that tells a folder this program wrote before: such a folder
// is replaced; any other folder that is not empty is refused, so nothing of the user's goes.
inline constexpr const char* kFolderMarker = ".veltrix-preview";
inline constexpr std::uintmax_t kMaxFolderBytes = 512u * 1024u * 1024u;

// Writes the preview of the current device root into `folder` (a host path, created when
// missing). The reason names what failed.
Result<void> writePreviewFolder(const std::filesystem::path& folder);

}  // namespace vx::preview
