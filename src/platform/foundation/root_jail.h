#pragma once
// The device root as a jail. Every path we open, create, rename, list or inspect under the
// device root resolves inside it, as a chroot would resolve it: an absolute link target is
// taken relative to the root and ".." stops at the root. On Linux this is openat2 with
// RESOLVE_IN_ROOT; where the kernel lacks it, a walk component by component with O_NOFOLLOW
// and readlinkat does the same.
//
// A path that cannot resolve inside the root (a link loop, a link that leads out of it and
// finds nothing there, a folder renamed away mid-walk) is absent for reading and refused
// for writing, with one log line. Missing files are not logged: callers decide.
//
// All paths are device paths ("/var/mobile/..."), resolved against DeviceRoot::current();
// the "...In" forms take an explicit root folder instead.
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"
#include "platform/foundation/unique_fd.h"

namespace vx::jail {

// Opens a device path. `flags` are open(2) flags. Opening for writing or creating never
// follows a link in the last component (O_NOFOLLOW is added), and creating always adds
// O_EXCL: a new file is ours, never someone's link. The failure's errorCode() is the errno
// (ENOENT for absent, ELOOP for a loop or a refused link, EXDEV for an escape).
Result<UniqueFd> open(std::string_view devicePath, int flags, mode_t mode = 0);
Result<UniqueFd> openIn(const std::filesystem::path& root, std::string_view devicePath, int flags,
                        mode_t mode = 0);

// The folder that holds a device path, opened (O_DIRECTORY), and the last component's name.
// This is how a file is replaced, renamed or created: *at calls on the folder's descriptor.
struct Parent {
    UniqueFd folder;
    std::string name;
};
Result<Parent> openParent(std::string_view devicePath);
Result<Parent> openParentIn(const std::filesystem::path& root, std::string_view devicePath);

// stat of what the path names, following links inside the root (lstat with followLink off).
Result<struct stat> stat(std::string_view devicePath, bool followLink = true);

// The names in a folder, without "." and "..", unsorted.
Result<std::vector<std::string>> list(std::string_view devicePath);

// Creates the folder and any missing folders above it (mode 0755 unless told), like
// mkdir -p, every step inside the root. An existing folder is fine.
Result<void> createFolders(std::string_view devicePath, mode_t mode = 0755);
Result<void> createFoldersIn(const std::filesystem::path& root, std::string_view devicePath,
                             mode_t mode = 0755);

// rename(2) of one device path over another, both inside the root.
Result<void> rename(std::string_view fromDevicePath, std::string_view toDevicePath);

// Removes a file (never a folder) at a device path.
Result<void> unlink(std::string_view devicePath);

// Tests run the component walk even where the kernel has openat2.
void forceComponentWalkForTesting(bool force);

}  // namespace vx::jail
