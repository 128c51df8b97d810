#pragma once
// File access by device path (resolved against the current device root), as the pages use
// NSFileManager. Every path resolves inside the root (root_jail.h): a link that leads out
// of it finds nothing. Nothing here follows a link out of a listing or trusts a file's size.
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
// The same, with the reason when the folder cannot be listed.
Result<std::vector<std::string>> listDirectory(std::string_view devicePath);
// subpathsOfDirectoryAtPath:error: — every path below the folder, pre-order, relative,
// links listed but never followed; safe on loops and deep trees. The folder itself is
// opened through a link; the entries of each folder come in byte order of their names. A
// folder below that cannot be opened is listed but not entered (and logged).
std::vector<std::string> subpathsOfDirectoryAtPath(std::string_view devicePath);
// The whole file, refused when larger than maxBytes or not a regular file (a FIFO, a
// folder or a device never blocks the reader). A missing file is not logged; other
// failures are.
Result<std::string> readBytes(std::string_view devicePath, std::size_t maxBytes = kMaxReadBytes);
// removeItemAtPath:error: for a file (never a folder); a missing file is no failure.
Result<void> removeFile(std::string_view devicePath);

}  // namespace vx::files
