#pragma once
// Whole-file reading with the identity of what was read, and whole-file replacement that a reader never sees half done: the bytes go to a temporary
// file in the same folder, which is synced, closed, renamed over the target, and then the
// folder is synced. On any failure the temporary file is removed and the old file is left
// exactly as it was. Host paths; no locking (see preferences_store.h for the locked save).
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

// The permission bits the new file gets: the old file's when it exists, else `newFileMode`.
Result<void> replaceFileAtomically(const std::filesystem::path& hostPath, std::string_view bytes,
                                   mode_t newFileMode = 0644);

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

// Refuses non-regular files and files larger than maxBytes (Failed, with the reason).
WholeFile readWholeFile(const std::filesystem::path& hostPath, std::size_t maxBytes);

// True for names that replaceFileAtomically uses for the temporary files of `target`.
bool isAtomicTempNameOf(std::string_view candidate, std::string_view targetName);

}  // namespace vx
