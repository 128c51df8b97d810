#pragma once
// File access by device path (resolved against the current device root), as the pages use
// NSFileManager. Nothing here follows a link out of a listing or trusts a file's size.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

namespace vx::files {

inline constexpr std::size_t kMaxReadBytes = 64u * 1024u * 1024u;

// fileExistsAtPath: anything at the path, following links (a broken link does not exist).
bool fileExistsAtPath(std::string_view devicePath);
bool isDirectory(std::string_view devicePath);
// contentsOfDirectoryAtPath:error: — direct entries without "." and "..", unsorted;
// nothing for a missing folder or a non-folder.
std::vector<std::string> contentsOfDirectoryAtPath(std::string_view devicePath);
// subpathsOfDirectoryAtPath:error: — every path below the folder, pre-order, relative,
// links listed but never followed; safe on loops and deep trees.
std::vector<std::string> subpathsOfDirectoryAtPath(std::string_view devicePath);
// The whole file, refused when larger than maxBytes or not a regular file.
Result<std::string> readBytes(std::string_view devicePath, std::size_t maxBytes = kMaxReadBytes);

}  // namespace vx::files
