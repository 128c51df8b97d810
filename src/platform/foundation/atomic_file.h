#pragma once
// Whole-file reading with the identity of what was read, and whole-file replacement that a
// reader never sees half done: the bytes go to a temporary file in the same folder, which
// is synced, closed, renamed over the target, and then the folder is synced. On any failure
// before the rename the temporary file is removed and the old file is left exactly as it
// was. Device paths resolve inside the device root (root_jail.h); no locking (see
// preferences_store.h for the locked save).
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace vx {

// Temporary files are named "." + target name + kAtomicTempInfix + six random characters.
inline constexpr std::string_view kAtomicTempInfix = ".saving-";

// A replacement that succeeded. FolderNotSynced: the new contents are in place (readers see
// them), but the folder could not be synced, so the change may not survive a power loss.
enum class Durability { Synced, FolderNotSynced };

// The replacement keeps the old file's mode, owner and group; a new file gets `newFileMode`
// and, when we run as root, the owner and group of its folder.
Result<Durability> replaceFileAtomically(std::string_view devicePath, std::string_view bytes,
                                         mode_t newFileMode = 0644);
// The same in an open folder; `shownAs` names the file in messages.
Result<Durability> replaceFileAtomicallyAt(int folder, std::string_view name, std::string_view bytes,
                                           mode_t newFileMode, std::string_view shownAs);
// The same under an explicit root folder (laying out a device root that is not current).
Result<Durability> replaceFileAtomicallyIn(const std::filesystem::path& root,
                                           std::string_view devicePath, std::string_view bytes,
                                           mode_t newFileMode = 0644);

// The same for a host path outside any device root (a file the user names on the command
// line): its folder is opened as the user's shell would open it.
Result<Durability> replaceHostFileAtomically(const std::filesystem::path& hostPath,
                                             std::string_view bytes, mode_t newFileMode = 0644);

// One whole read of a file, through one descriptor, with that descriptor's fstat.
struct WholeFile {
    enum class Status { Read, Missing, Failed };
    Status status = Status::Missing;
    std::string bytes;
    struct stat identity {};
    // False when the file changed while it was being read (someone wrote it in place).
    bool stable = true;
    std::string reason;  // why it could not be read (Failed)
};

// Refuses non-regular files and files larger than maxBytes (Failed, with the reason). A
// link that leads out of the root reads as Missing.
WholeFile readWholeFile(std::string_view devicePath, std::size_t maxBytes);
// The same for a host path outside any device root (a file the user names).
WholeFile readWholeHostFile(const std::filesystem::path& hostPath, std::size_t maxBytes);

// True for names that replaceFileAtomically uses for the temporary files of `target`.
bool isAtomicTempNameOf(std::string_view candidate, std::string_view targetName);

}  // namespace vx
