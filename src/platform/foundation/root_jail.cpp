#include "platform/foundation/root_jail.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"

namespace vx::jail {

namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows in one lookup.
constexpr int kMaxLinks = 40;

std::atomic<bool> forceWalk{false};
std::atomic<bool> kernelLacksOpenat2{false};

bool isWriting(int flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0; }

std::vector<std::string> componentsOf(std::string_view normalised) {
    std::vector<std::string> parts;
    std::size_t pos = 1;
    while (pos < normalised.size()) {
        std::size_t next = normalised.find('/', pos);
        if (next == std::string_view::npos) next = normalised.size();
        parts.emplace_back(normalised.substr(pos, next - pos));
        pos = next + 1;
    }
    return parts;
}

std::string relativeOf(std::string_view normalised) {
    return normalised.size() <= 1 ? std::string(".") : std::string(normalised.substr(1));
}

// Result of one lookup: a descriptor, or the errno, and whether the lookup met an
// absolute link target or a ".." at the root (it tried to leave the root).
struct Lookup {
    UniqueFd fd;
    int error = 0;
    bool triedToLeave = false;
};

Lookup byOpenat2(int root, const std::string& relative, int flags, mode_t mode, std::uint64_t resolve) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
    how.mode = (flags & O_CREAT) ? mode : 0;
    how.resolve = resolve | RESOLVE_NO_MAGICLINKS;
    Lookup lookup;
    for (int attempt = 0; attempt < 8; ++attempt) {  // EAGAIN: a rename raced the lookup
        long fd = ::syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how);
        if (fd >= 0) {
            lookup.fd.reset(static_cast<int>(fd));
            return lookup;
        }
        lookup.error = errno;
        if (lookup.error != EAGAIN) break;
    }
    return lookup;
}

Result<std::string> readLink(int folder, const char* name) {
    std::string target(256, '\0');
    for (;;) {
        ssize_t length = ::readlinkat(folder, name, target.data(), target.size());
        if (length < 0) return fail(std::strerror(errno), errno);
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        if (target.size() >= 65536) return fail("link target too long", ENAMETOOLONG);
        target.resize(target.size() * 2);
    }
}

// The same lookup as RESOLVE_IN_ROOT, one component at a time. `chain` holds the folders
// from the root down to the current one, so ".." is the previous folder and never above
// the root.
class Walk {
public:
    Walk(int root, int flags, mode_t mode) : root_(root), flags_(flags | O_CLOEXEC), mode_(mode) {}

    Lookup run(std::string_view normalised) {
        for (auto& part : componentsOf(normalised)) todo_.push_back(std::move(part));
        while (!todo_.empty()) {
            std::string part = std::move(todo_.front());
            todo_.pop_front();
            if (part.empty() || part == ".") continue;
            if (part == "..") {
                if (chain_.empty())
                    lookup_.triedToLeave = true;
                else
                    chain_.pop_back();
                continue;
            }
            if (!step(part, todo_.empty())) return std::move(lookup_);
            if (lookup_.fd.valid()) return std::move(lookup_);
        }
        // Every component consumed by folders: open the folder we ended in.
        return finish(::openat(here(), ".", flags_ & ~(O_CREAT | O_EXCL | O_NOFOLLOW), mode_));
    }

private:
    int here() const { return chain_.empty() ? root_ : chain_.back().get(); }

    Lookup finish(int fd) {
        if (fd >= 0)
            lookup_.fd.reset(fd);
        else
            lookup_.error = errno;
        return std::move(lookup_);
    }

    bool failWith(int error) {
        lookup_.error = error;
        return false;
    }

    // Handles one component; false on failure. For the last component an opened
    // descriptor in lookup_ ends the walk.
    bool step(const std::string& part, bool last) {
        bool follow = !last || !(flags_ & O_NOFOLLOW);
        if (last && !follow) {
            int fd = ::openat(here(), part.c_str(), flags_, mode_);
            if (fd < 0) return failWith(errno);
            lookup_.fd.reset(fd);
            return true;
        }
        UniqueFd probe(::openat(here(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!probe.valid()) {
            if (last && errno == ENOENT && (flags_ & O_CREAT)) {
                int fd = ::openat(here(), part.c_str(), flags_ | O_NOFOLLOW, mode_);
                if (fd < 0) return failWith(errno);
                lookup_.fd.reset(fd);
                return true;
            }
            return failWith(errno);
        }
        struct stat info {};
        if (::fstat(probe.get(), &info) != 0) return failWith(errno);
        if (S_ISLNK(info.st_mode)) return expandLink(probe.get());
        if (last) {
            int fd = ::openat(here(), part.c_str(), flags_ | O_NOFOLLOW, mode_);
            if (fd < 0) return failWith(errno);
            lookup_.fd.reset(fd);
            return true;
        }
        if (!S_ISDIR(info.st_mode)) return failWith(ENOTDIR);
        chain_.push_back(std::move(probe));
        return true;
    }

    bool expandLink(int link) {
        if (++links_ > kMaxLinks) return failWith(ELOOP);
        auto target = readLink(link, "");
        if (!target) return failWith(target.errorCode());
        if (target->empty()) return failWith(ENOENT);
        if (target->front() == '/') {
            lookup_.triedToLeave = true;
            chain_.clear();
        }
        std::vector<std::string> parts;
        std::size_t pos = 0;
        while (pos <= target->size()) {
            std::size_t next = target->find('/', pos);
            if (next == std::string::npos) next = target->size();
            parts.push_back(target->substr(pos, next - pos));
            pos = next + 1;
        }
        todo_.insert(todo_.begin(), parts.begin(), parts.end());
        return true;
    }

    int root_;
    int flags_;
    mode_t mode_;
    std::deque<std::string> todo_;
    std::vector<UniqueFd> chain_;
    int links_ = 0;
    Lookup lookup_;
};

Lookup lookUp(int root, std::string_view normalised, int flags, mode_t mode) {
    if (!forceWalk && !kernelLacksOpenat2) {
        Lookup lookup = byOpenat2(root, relativeOf(normalised), flags, mode, RESOLVE_IN_ROOT);
        if (lookup.error != ENOSYS && lookup.error != E2BIG) {
            // A failed lookup is checked once more without the root's rewriting: a link or
            // ".." that tries to leave shows as EXDEV, which the log line names.
            if (lookup.error != 0) {
                Lookup beneath = byOpenat2(root, relativeOf(normalised), O_PATH, 0, RESOLVE_BENEATH);
                lookup.triedToLeave = beneath.error == EXDEV;
            }
            return lookup;
        }
        kernelLacksOpenat2 = true;
    }
    return Walk(root, flags, mode).run(normalised);
}

Result<UniqueFd> openRoot(const fs::path& root) {
    UniqueFd fd(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return fail("cannot open the device root " + root.string() + ": " + std::strerror(errno), errno);
    return fd;
}

Result<UniqueFd> openNormalised(const fs::path& root, const std::string& normalised, int flags,
                                mode_t mode) {
    if (isWriting(flags)) flags |= O_NOFOLLOW;
    auto rootFd = openRoot(root);
    if (!rootFd) {
        log::write(rootFd.error());
        return rootFd;
    }
    Lookup lookup = lookUp(rootFd->get(), normalised, flags, mode);
    if (lookup.fd.valid()) return std::move(lookup.fd);
    int error = lookup.error;
    std::string reason = normalised + ": " + std::strerror(error);
    if (lookup.triedToLeave &&
        (error == ENOENT || error == ENOTDIR || error == ELOOP || error == EXDEV)) {
        reason = normalised + " leads out of the device root through a link or \"..\"; " +
                 (isWriting(flags) ? "refused" : "treated as absent");
        log::write(reason);
    } else if (error == ELOOP) {
        reason = normalised + (isWriting(flags) && (flags & O_NOFOLLOW)
                                   ? " is a link; writing through it is refused"
                                   : " cannot be resolved inside the device root: too many links");
        log::write(reason);
    }
    return fail(std::move(reason), error);
}

Error logged(std::string reason, int code) {
    log::write(reason);
    return fail(std::move(reason), code);
}

}  // namespace

Result<UniqueFd> openIn(const fs::path& root, std::string_view devicePath, int flags, mode_t mode) {
    return openNormalised(root, DeviceRoot::normalise(devicePath), flags, mode);
}

Result<UniqueFd> open(std::string_view devicePath, int flags, mode_t mode) {
    return openIn(DeviceRoot::current(), devicePath, flags, mode);
}

Result<Parent> openParentIn(const fs::path& root, std::string_view devicePath) {
    std::string normalised = DeviceRoot::normalise(devicePath);
    if (normalised == "/") return fail("the device root has no parent folder", EINVAL);
    std::size_t slash = normalised.rfind('/');
    std::string folderPath = slash == 0 ? "/" : normalised.substr(0, slash);
    auto folder = openNormalised(root, folderPath, O_RDONLY | O_DIRECTORY, 0);
    if (!folder) return fail(folder.error(), folder.errorCode());
    return Parent{std::move(folder.value()), normalised.substr(slash + 1)};
}

Result<Parent> openParent(std::string_view devicePath) {
    return openParentIn(DeviceRoot::current(), devicePath);
}

Result<struct stat> stat(std::string_view devicePath, bool followLink) {
    auto fd = open(devicePath, O_PATH | (followLink ? 0 : O_NOFOLLOW));
    if (!fd) return fail(fd.error(), fd.errorCode());
    struct stat info {};
    if (::fstat(fd->get(), &info) != 0)
        return fail(std::string(devicePath) + ": " + std::strerror(errno), errno);
    return info;
}

Result<std::vector<std::string>> list(std::string_view devicePath) {
    auto fd = open(devicePath, O_RDONLY | O_DIRECTORY);
    if (!fd) return fail(fd.error(), fd.errorCode());
    DIR* dir = ::fdopendir(fd->get());
    if (!dir) return fail(std::string(devicePath) + ": " + std::strerror(errno), errno);
    fd->release();  // the DIR owns it now
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        dirent* entry = ::readdir(dir);
        if (!entry) break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        names.emplace_back(entry->d_name);
    }
    int error = errno;
    ::closedir(dir);
    if (error != 0) return fail(std::string(devicePath) + ": " + std::strerror(error), error);
    return names;
}

Result<void> createFoldersIn(const fs::path& root, std::string_view devicePath, mode_t mode) {
    std::string prefix;
    auto current = openNormalised(root, "/", O_RDONLY | O_DIRECTORY, 0);
    if (!current) return fail(current.error(), current.errorCode());
    for (const std::string& part : componentsOf(DeviceRoot::normalise(devicePath))) {
        prefix += "/" + part;
        auto next = openNormalised(root, prefix, O_RDONLY | O_DIRECTORY, 0);
        if (!next && next.errorCode() == ENOENT) {
            if (::mkdirat(current->get(), part.c_str(), mode) != 0 && errno != EEXIST)
                return logged("cannot create the folder " + prefix + ": " + std::strerror(errno), errno);
            next = openNormalised(root, prefix, O_RDONLY | O_DIRECTORY, 0);
        }
        if (!next)
            return logged("cannot create the folder " + prefix + ": " + next.error(), next.errorCode());
        current = std::move(next);
    }
    return {};
}

Result<void> createFolders(std::string_view devicePath, mode_t mode) {
    return createFoldersIn(DeviceRoot::current(), devicePath, mode);
}

Result<void> rename(std::string_view fromDevicePath, std::string_view toDevicePath) {
    auto from = openParent(fromDevicePath);
    if (!from) return fail(from.error(), from.errorCode());
    auto to = openParent(toDevicePath);
    if (!to) return fail(to.error(), to.errorCode());
    if (::renameat(from->folder.get(), from->name.c_str(), to->folder.get(), to->name.c_str()) != 0)
        return fail("cannot rename " + std::string(fromDevicePath) + " to " + std::string(toDevicePath) +
                        ": " + std::strerror(errno),
                    errno);
    return {};
}

Result<void> unlink(std::string_view devicePath) {
    auto parent = openParent(devicePath);
    if (!parent) return fail(parent.error(), parent.errorCode());
    if (::unlinkat(parent->folder.get(), parent->name.c_str(), 0) != 0)
        return fail("cannot remove " + std::string(devicePath) + ": " + std::strerror(errno), errno);
    return {};
}

void forceComponentWalkForTesting(bool force) { forceWalk = force; }

}  // namespace vx::jail
