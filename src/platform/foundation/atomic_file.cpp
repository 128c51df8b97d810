#include "platform/foundation/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/foundation/log.h"

namespace vx {

namespace {

std::string describeErrno(std::string_view what, const std::filesystem::path& path, int error) {
    std::string reason(what);
    reason += " ";
    reason += path.string();
    reason += ": ";
    reason += std::strerror(error);
    return reason;
}

Error failAndLog(std::string reason) {
    log::write(reason);
    return fail(std::move(reason));
}

// Writes everything, continuing after short writes and interrupted calls.
Result<void> writeAll(int fd, std::string_view bytes, const std::filesystem::path& path) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return fail(describeErrno("cannot write", path, errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

int closeKeepingErrno(int fd) {
    int saved = errno;
    int rc = ::close(fd);
    errno = saved;
    return rc;
}

// Syncs the folder so that the rename itself survives a power cut.
Result<void> syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return fail(describeErrno("cannot open folder", folder, errno));
    if (::fsync(fd) != 0) {
        int error = errno;
        closeKeepingErrno(fd);
        return fail(describeErrno("cannot sync folder", folder, error));
    }
    ::close(fd);  // ignored: a read-only descriptor has nothing left to report on close
    return {};
}

mode_t modeFor(const std::filesystem::path& hostPath, mode_t newFileMode) {
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) == 0) return info.st_mode & 07777;
    return newFileMode;
}

// Writes, syncs and closes the temporary file; on failure the caller removes it.
Result<void> fillTemporary(int fd, std::string_view bytes, mode_t mode,
                           const std::filesystem::path& tempPath) {
    if (::fchmod(fd, mode) != 0) {
        int error = errno;
        closeKeepingErrno(fd);
        return fail(describeErrno("cannot set the mode of", tempPath, error));
    }
    if (auto written = writeAll(fd, bytes, tempPath); !written) {
        closeKeepingErrno(fd);
        return written;
    }
    // A failed fsync is never retried: the kernel may already have dropped the dirty pages.
    if (::fsync(fd) != 0) {
        int error = errno;
        closeKeepingErrno(fd);
        return fail(describeErrno("cannot sync", tempPath, error));
    }
    if (::close(fd) != 0) return fail(describeErrno("cannot close", tempPath, errno));
    return {};
}

}  // namespace

WholeFile readWholeFile(const std::filesystem::path& hostPath, std::size_t maxBytes) {
    WholeFile result;
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return result;
        result.status = WholeFile::Status::Failed;
        result.reason = describeErrno("cannot open", hostPath, errno);
        return result;
    }
    result.status = WholeFile::Status::Failed;
    if (::fstat(fd, &result.identity) != 0) {
        result.reason = describeErrno("cannot inspect", hostPath, errno);
    } else if (!S_ISREG(result.identity.st_mode)) {
        result.reason = hostPath.string() + " is not a regular file";
    } else if (static_cast<std::size_t>(result.identity.st_size) > maxBytes) {
        result.reason = hostPath.string() + " is larger than " + std::to_string(maxBytes) + " bytes";
    } else {
        result.bytes.resize(static_cast<std::size_t>(result.identity.st_size));
        std::size_t have = 0;
        for (;;) {
            if (have == result.bytes.size()) {
                if (have >= maxBytes) break;
                result.bytes.resize(std::min(maxBytes, have + 4096));
            }
            ssize_t got = ::read(fd, result.bytes.data() + have, result.bytes.size() - have);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                result.reason = describeErrno("cannot read", hostPath, errno);
                break;
            }
            if (got == 0) break;
            have += static_cast<std::size_t>(got);
        }
        result.bytes.resize(have);
        struct stat after {};
        result.stable = ::fstat(fd, &after) == 0 && after.st_size == result.identity.st_size &&
                        after.st_size == static_cast<off_t>(have) &&
                        after.st_mtim.tv_sec == result.identity.st_mtim.tv_sec &&
                        after.st_mtim.tv_nsec == result.identity.st_mtim.tv_nsec &&
                        after.st_ctim.tv_sec == result.identity.st_ctim.tv_sec &&
                        after.st_ctim.tv_nsec == result.identity.st_ctim.tv_nsec;
        if (result.reason.empty()) result.status = WholeFile::Status::Read;
    }
    ::close(fd);  // ignored: a read-only descriptor has nothing left to report on close
    return result;
}

bool isAtomicTempNameOf(std::string_view candidate, std::string_view targetName) {
    std::string prefix = "." + std::string(targetName) + std::string(kAtomicTempInfix);
    return candidate.size() == prefix.size() + 6 && candidate.substr(0, prefix.size()) == prefix;
}

Result<void> replaceFileAtomically(const std::filesystem::path& hostPath, std::string_view bytes,
                                   mode_t newFileMode) {
    const std::filesystem::path folder = hostPath.parent_path().empty() ? "." : hostPath.parent_path();
    std::string tempName = (folder / ("." + hostPath.filename().string() +
                                      std::string(kAtomicTempInfix) + "XXXXXX"))
                               .string();
    mode_t mode = modeFor(hostPath, newFileMode);
    int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) return failAndLog(describeErrno("cannot create a temporary file beside", hostPath, errno));
    const std::filesystem::path tempPath = tempName;

    if (auto filled = fillTemporary(fd, bytes, mode, tempPath); !filled) {
        ::unlink(tempPath.c_str());  // ignored: best effort; the reason below is what matters
        return failAndLog(filled.error() + "; " + hostPath.string() + " is unchanged");
    }
    if (::rename(tempPath.c_str(), hostPath.c_str()) != 0) {
        std::string reason = describeErrno("cannot replace", hostPath, errno);
        ::unlink(tempPath.c_str());  // ignored: best effort; the reason below is what matters
        return failAndLog(reason + "; the file is unchanged");
    }
    if (auto synced = syncFolder(folder); !synced) {
        // The new contents are in place; only their durability across a power cut is in doubt.
        return failAndLog(synced.error() + " after replacing " + hostPath.string());
    }
    return {};
}

}  // namespace vx
