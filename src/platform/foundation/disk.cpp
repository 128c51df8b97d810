#include "platform/foundation/disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>

namespace vx {

namespace {

class RealDisk final : public Disk {
public:
    Result<UniqueFd> open(std::string_view devicePath, int flags) override {
        return jail::open(devicePath, flags);
    }
    Result<jail::Parent> openParent(std::string_view devicePath) override {
        return jail::openParent(devicePath);
    }
    int openAt(int folder, const std::string& name, int flags, mode_t mode) override {
        return ::openat(folder, name.c_str(), flags, mode);
    }
    int statAt(int folder, const std::string& name, struct stat& info) override {
        return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW);
    }
    int stat(int fd, struct stat& info) override { return ::fstat(fd, &info); }
    ssize_t read(int fd, char* buffer, std::size_t size) override { return ::read(fd, buffer, size); }
    ssize_t write(int fd, const char* bytes, std::size_t size) override {
        return ::write(fd, bytes, size);
    }
    int setOwner(int fd, uid_t owner, gid_t group) override { return ::fchown(fd, owner, group); }
    int setMode(int fd, mode_t mode) override { return ::fchmod(fd, mode); }
    int sync(int fd) override { return ::fsync(fd); }
    int close(int fd) override { return ::close(fd); }
    int renameAt(int folder, const std::string& from, const std::string& to) override {
        return ::renameat(folder, from.c_str(), folder, to.c_str());
    }
    int removeAt(int folder, const std::string& name) override {
        return ::unlinkat(folder, name.c_str(), 0);
    }
    std::vector<std::string> list(int folder) override {
        std::vector<std::string> names;
        int own = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* dir = own < 0 ? nullptr : ::fdopendir(own);
        if (!dir) {
            if (own >= 0) ::close(own);  // ignored: nothing was written through it
            return names;
        }
        while (dirent* entry = ::readdir(dir)) {
            std::string_view name = entry->d_name;
            if (name != "." && name != "..") names.emplace_back(name);
        }
        ::closedir(dir);
        return names;
    }
    int lock(int fd, int operation) override { return ::flock(fd, operation); }
};

std::atomic<Disk*> replacement{nullptr};

}  // namespace

Disk& realDisk() {
    static RealDisk disk;
    return disk;
}

Disk& currentDisk() {
    Disk* disk = replacement.load();
    return disk ? *disk : realDisk();
}

void setDiskForTesting(Disk* disk) { replacement.store(disk); }

}  // namespace vx
