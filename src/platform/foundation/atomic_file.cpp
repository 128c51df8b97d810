#include "platform/foundation/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "platform/foundation/device_root.h"
#include "platform/foundation/disk.h"
#include "platform/foundation/log.h"
#include "platform/foundation/root_jail.h"
#include "platform/foundation/unique_fd.h"

namespace vx {

namespace {

std::string describeErrno(std::string_view what, std::string_view path, int error) {
    std::string reason(what);
    reason += " ";
    reason += path;
    reason += ": ";
    reason += std::strerror(error);
    return reason;
}

using log::failAndLog;

// Writes everything, continuing after short writes and interrupted calls.
Result<void> writeAll(Disk& disk, int fd, std::string_view bytes, std::string_view path) {
    while (!bytes.empty()) {
        ssize_t written = disk.write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return fail(describeErrno("cannot write", path, errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// What the new file takes over: the old file's mode and owners, or for a new file the
// given mode and (for root, who would otherwise take the file away from its user) the
// folder's owners.
struct Ownership {
    mode_t mode;
    uid_t owner;
    gid_t group;
};

Ownership ownershipFor(Disk& disk, int folder, const std::string& name, mode_t newFileMode) {
    struct stat info {};
    if (disk.statAt(folder, name, info) == 0 && S_ISREG(info.st_mode))
        return {static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
    struct stat folderInfo {};
    if (::geteuid() == 0 && disk.stat(folder, folderInfo) == 0)
        return {newFileMode, folderInfo.st_uid, folderInfo.st_gid};
    return {newFileMode, ::geteuid(), ::getegid()};
}

// Writes, syncs and closes the temporary file; on failure the caller removes it.
Result<void> fillTemporary(Disk& disk, UniqueFd fd, std::string_view bytes, const Ownership& ownership,
                           std::string_view tempPath) {
    if (disk.setOwner(fd.get(), ownership.owner, ownership.group) != 0 && errno != EPERM)
        return fail(describeErrno("cannot set the owner of", tempPath, errno));
    // ignored: EPERM above means we may not give the file away; it stays ours, as any
    // user's own save would.
    if (disk.setMode(fd.get(), ownership.mode) != 0)
        return fail(describeErrno("cannot set the mode of", tempPath, errno));
    if (auto written = writeAll(disk, fd.get(), bytes, tempPath); !written) return written;
    // A failed fsync is never retried: the kernel may already have dropped the dirty pages.
    if (disk.sync(fd.get()) != 0) return fail(describeErrno("cannot sync", tempPath, errno));
    if (disk.close(fd.release()) != 0) return fail(describeErrno("cannot close", tempPath, errno));
    return {};
}

std::string randomSuffix() {
    static thread_local std::mt19937_64 generator{std::random_device{}() ^
                                                  static_cast<std::uint64_t>(::getpid())};
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, 'x');
    for (char& c : suffix) c = letters[generator() % 62];
    return suffix;
}

// A new temporary file beside the target: O_EXCL|O_NOFOLLOW, so it is never someone's link.
Result<UniqueFd> createTemporary(Disk& disk, int folder, const std::string& target,
                                 std::string& tempName) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = "." + target + std::string(kAtomicTempInfix) + randomSuffix();
        int fd = disk.openAt(folder, tempName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                             0600);
        if (fd >= 0) return UniqueFd(fd);
        if (errno != EEXIST) return fail(std::strerror(errno), errno);
    }
    return fail("no free temporary name", EEXIST);
}

Result<Durability> replaceAt(Disk& disk, int folder, std::string_view name, std::string_view bytes,
                             mode_t newFileMode, std::string_view shownAs) {
    const std::string target(name);
    const Ownership ownership = ownershipFor(disk, folder, target, newFileMode);
    std::string tempName;
    auto fd = createTemporary(disk, folder, target, tempName);
    if (!fd)
        return failAndLog("cannot create a temporary file beside " + std::string(shownAs) + ": " +
                          fd.error());
    if (auto filled = fillTemporary(disk, std::move(fd.value()), bytes, ownership, tempName); !filled) {
        disk.removeAt(folder, tempName);  // ignored: best effort; the reason below is what matters
        return failAndLog(filled.error() + "; " + std::string(shownAs) + " is unchanged");
    }
    if (disk.renameAt(folder, tempName, target) != 0) {
        std::string reason = describeErrno("cannot replace", shownAs, errno);
        disk.removeAt(folder, tempName);  // ignored: best effort; the reason below is what matters
        return failAndLog(reason + "; the file is unchanged");
    }
    if (disk.sync(folder) != 0) {
        log::write(
            describeErrno("saved " + std::string(shownAs) + ", but the folder could not be synced",
                          "(the change may not survive a power loss)", errno));
        return Durability::FolderNotSynced;
    }
    return Durability::Synced;
}

}  // namespace

Result<Durability> replaceFileAtomicallyAt(int folder, std::string_view name, std::string_view bytes,
                                           mode_t newFileMode, std::string_view shownAs) {
    return replaceAt(currentDisk(), folder, name, bytes, newFileMode, shownAs);
}

Result<Durability> replaceFileAtomicallyIn(const std::filesystem::path& root,
                                           std::string_view devicePath, std::string_view bytes,
                                           mode_t newFileMode) {
    auto parent = jail::openParentIn(root, devicePath);
    if (!parent)
        return failAndLog("cannot write " + DeviceRoot::normalise(devicePath) + ": " + parent.error());
    return replaceAt(realDisk(), parent->folder.get(), parent->name, bytes, newFileMode,
                     DeviceRoot::normalise(devicePath));
}

Result<Durability> replaceFileAtomically(std::string_view devicePath, std::string_view bytes,
                                         mode_t newFileMode) {
    Disk& disk = currentDisk();
    auto parent = disk.openParent(devicePath);
    if (!parent)
        return failAndLog("cannot write " + DeviceRoot::normalise(devicePath) + ": " + parent.error());
    return replaceAt(disk, parent->folder.get(), parent->name, bytes, newFileMode,
                     DeviceRoot::normalise(devicePath));
}

namespace {

// Reads what `opened` names (shown as `shown`), refusing what is not a regular file or is
// larger than maxBytes.
WholeFile readOpened(Disk& disk, Result<UniqueFd> opened, const std::string& shown,
                     std::size_t maxBytes) {
    WholeFile result;
    if (!opened) {
        int error = opened.errorCode();
        if (error == ENOENT || error == ENOTDIR || error == EXDEV) return result;
        result.status = WholeFile::Status::Failed;
        result.reason = "cannot open " + opened.error();
        return result;
    }
    const int fd = opened->get();
    result.status = WholeFile::Status::Failed;
    if (disk.stat(fd, result.identity) != 0) {
        result.reason = describeErrno("cannot inspect", shown, errno);
    } else if (!S_ISREG(result.identity.st_mode)) {
        result.reason = shown + " is not a regular file";
    } else if (static_cast<std::size_t>(result.identity.st_size) > maxBytes) {
        result.reason = shown + " is larger than " + std::to_string(maxBytes) + " bytes";
    } else {
        // Room for the read that finds the end (or a file that grew): growing the string
        // would copy it.
        const auto size = static_cast<std::size_t>(result.identity.st_size);
        result.bytes.reserve(std::min(maxBytes, size + 4096));
        result.bytes.resize(size);
        std::size_t have = 0;
        for (;;) {
            if (have == result.bytes.size()) {
                if (have >= maxBytes) break;
                result.bytes.resize(std::min(maxBytes, have + 4096));
            }
            ssize_t got = disk.read(fd, result.bytes.data() + have, result.bytes.size() - have);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                result.reason = describeErrno("cannot read", shown, errno);
                break;
            }
            if (got == 0) break;
            have += static_cast<std::size_t>(got);
        }
        result.bytes.resize(have);
        struct stat after {};
        result.stable = disk.stat(fd, after) == 0 && after.st_size == result.identity.st_size &&
                        after.st_size == static_cast<off_t>(have) &&
                        after.st_mtim.tv_sec == result.identity.st_mtim.tv_sec &&
                        after.st_mtim.tv_nsec == result.identity.st_mtim.tv_nsec &&
                        after.st_ctim.tv_sec == result.identity.st_ctim.tv_sec &&
                        after.st_ctim.tv_nsec == result.identity.st_ctim.tv_nsec;
        if (result.reason.empty()) result.status = WholeFile::Status::Read;
    }
    return result;
}

}  // namespace

WholeFile readWholeFile(std::string_view devicePath, std::size_t maxBytes) {
    Disk& disk = currentDisk();
    return readOpened(disk, disk.open(devicePath, O_RDONLY | O_NOCTTY | O_NONBLOCK),
                      DeviceRoot::normalise(devicePath), maxBytes);
}

WholeFile readWholeHostFile(const std::filesystem::path& hostPath, std::size_t maxBytes) {
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    Result<UniqueFd> opened = fd >= 0 ? Result<UniqueFd>(UniqueFd(fd))
                                      : Result<UniqueFd>(fail(
                                            hostPath.string() + ": " + std::strerror(errno), errno));
    return readOpened(realDisk(), std::move(opened), hostPath.string(), maxBytes);
}

Result<Durability> replaceHostFileAtomically(const std::filesystem::path& hostPath,
                                             std::string_view bytes, mode_t newFileMode) {
    const std::filesystem::path folder = hostPath.parent_path().empty() ? "." : hostPath.parent_path();
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.valid())
        return failAndLog(describeErrno("cannot open the folder of", hostPath.string(), errno));
    return replaceAt(realDisk(), folderFd.get(), hostPath.filename().string(), bytes, newFileMode,
                     hostPath.string());
}

bool isAtomicTempNameOf(std::string_view candidate, std::string_view targetName) {
    std::string prefix = "." + std::string(targetName) + std::string(kAtomicTempInfix);
    return candidate.size() == prefix.size() + 6 && candidate.substr(0, prefix.size()) == prefix;
}

}  // namespace vx
