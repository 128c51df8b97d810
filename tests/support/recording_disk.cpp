#include "support/recording_disk.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/foundation/device_root.h"

namespace vx::test {

namespace {

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string lastComponent(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

RecordingDisk::RecordingDisk() { setDiskForTesting(this); }

// Every descriptor handed out is closed by its holder, through close() or UniqueFd.
RecordingDisk::~RecordingDisk() { setDiskForTesting(nullptr); }

void RecordingDisk::putFile(const std::string& devicePath, std::string bytes) {
    Node& file = files_[DeviceRoot::normalise(devicePath)];
    if (file.inode == 0) file.inode = nextInode_++;
    file.bytes = std::move(bytes);
    touch(file);
}

std::optional<std::string> RecordingDisk::file(const std::string& devicePath) const {
    auto found = files_.find(DeviceRoot::normalise(devicePath));
    if (found == files_.end()) return std::nullopt;
    return found->second.bytes;
}

std::vector<std::string> RecordingDisk::namesIn(const std::string& folderDevicePath) const {
    std::vector<std::string> names;
    const std::string folder = DeviceRoot::normalise(folderDevicePath);
    for (const auto& [path, node] : files_)
        if (folderOf(path) == folder) names.push_back(lastComponent(path));
    return names;
}

void RecordingDisk::failCall(std::string operation, int nth, int error) {
    failures_.push_back({std::move(operation), nth, error});
}

bool RecordingDisk::record(const std::string& operation, const std::string& name) {
    calls_.push_back(operation + " " + name);
    for (auto failure = failures_.begin(); failure != failures_.end(); ++failure) {
        if (failure->operation != operation || --failure->remaining > 0) continue;
        errno = failure->error;
        failures_.erase(failure);
        return false;
    }
    return true;
}

int RecordingDisk::newDescriptor(Open open) {
    int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    open_[fd] = std::move(open);
    return fd;
}

RecordingDisk::Open* RecordingDisk::opened(int fd) {
    auto found = open_.find(fd);
    if (found == open_.end()) errno = EBADF;
    return found == open_.end() ? nullptr : &found->second;
}

RecordingDisk::Node* RecordingDisk::node(const std::string& path) {
    auto found = files_.find(path);
    return found == files_.end() ? nullptr : &found->second;
}

std::string RecordingDisk::nameOf(const Open& open) const {
    return open.folder ? open.path : lastComponent(open.path);
}

Result<UniqueFd> RecordingDisk::open(std::string_view devicePath, int /*flags*/) {
    const std::string path = DeviceRoot::normalise(devicePath);
    if (!record("open", lastComponent(path))) return fail(std::strerror(errno), errno);
    if (!node(path)) return fail(path + ": " + std::strerror(ENOENT), ENOENT);
    return UniqueFd(newDescriptor({path}));
}

Result<jail::Parent> RecordingDisk::openParent(std::string_view devicePath) {
    const std::string path = DeviceRoot::normalise(devicePath);
    return jail::Parent{UniqueFd(newDescriptor({folderOf(path), true})), lastComponent(path)};
}

int RecordingDisk::openAt(int folder, const std::string& name, int flags, mode_t mode) {
    Open* in = opened(folder);
    if (!in) return -1;
    const std::string path = join(in->path, name);
    const bool exists = node(path) != nullptr;
    const bool creates = (flags & O_CREAT) && !exists;
    if (!record(creates ? "create" : "open", name)) return -1;
    if (exists && (flags & O_CREAT) && (flags & O_EXCL)) {
        errno = EEXIST;
        return -1;
    }
    if (!exists && !creates) {
        errno = ENOENT;
        return -1;
    }
    if (creates) {
        Node& file = files_[path];
        file.mode = mode;
        file.inode = nextInode_++;
        touch(file);
    }
    return newDescriptor({path});
}

int RecordingDisk::statAt(int folder, const std::string& name, struct stat& info) {
    Open* in = opened(folder);
    return in ? statOf(node(join(in->path, name)), info) : -1;
}

int RecordingDisk::statOf(const Node* file, struct stat& info) {
    if (!file) {
        errno = ENOENT;
        return -1;
    }
    info = {};
    info.st_mode = S_IFREG | file->mode;
    info.st_size = static_cast<off_t>(file->bytes.size());
    info.st_ino = file->inode;
    info.st_uid = file->owner;
    info.st_gid = file->group;
    info.st_mtim.tv_sec = info.st_ctim.tv_sec = file->changed;
    return 0;
}

int RecordingDisk::stat(int fd, struct stat& info) {
    Open* open = opened(fd);
    if (!open) return -1;
    if (open->folder) {
        info = {};
        info.st_mode = S_IFDIR | 0755;
        return 0;
    }
    return statOf(node(open->path), info);
}

ssize_t RecordingDisk::read(int fd, char* buffer, std::size_t size) {
    Open* open = opened(fd);
    if (!open) return -1;
    const std::string path = open->path;
    if (!record("read", nameOf(*open))) return -1;
    Node* file = node(path);
    std::size_t available = file && open->offset < file->bytes.size() ? file->bytes.size() - open->offset
                                                                      : 0;
    std::size_t got = std::min(size, available);
    if (got > 0) std::memcpy(buffer, file->bytes.data() + open->offset, got);
    open->offset += got;
    if (afterRead) afterRead(path);
    return static_cast<ssize_t>(got);
}

ssize_t RecordingDisk::write(int fd, const char* bytes, std::size_t size) {
    Open* open = opened(fd);
    if (!open) return -1;
    if (!record("write", nameOf(*open))) return -1;
    Node* file = node(open->path);
    if (!file) {
        errno = EBADF;
        return -1;
    }
    file->bytes.replace(open->offset, size, bytes, size);
    open->offset += size;
    touch(*file);
    return static_cast<ssize_t>(size);
}

int RecordingDisk::setOwner(int fd, uid_t owner, gid_t group) {
    Open* open = opened(fd);
    if (!open) return -1;
    if (Node* file = node(open->path)) {
        file->owner = owner;
        file->group = group;
    }
    return 0;
}

int RecordingDisk::setMode(int fd, mode_t mode) {
    Open* open = opened(fd);
    if (!open) return -1;
    if (Node* file = node(open->path)) file->mode = mode;
    return 0;
}

int RecordingDisk::sync(int fd) {
    Open* open = opened(fd);
    if (!open) return -1;
    return record("sync", nameOf(*open)) ? 0 : -1;
}

int RecordingDisk::close(int fd) {
    Open* open = opened(fd);
    if (!open) return -1;
    const bool ok = record("close", nameOf(*open));
    open_.erase(fd);
    ::close(fd);  // ignored: a /dev/null descriptor
    return ok ? 0 : -1;
}

int RecordingDisk::renameAt(int folder, const std::string& from, const std::string& to) {
    Open* in = opened(folder);
    if (!in) return -1;
    if (!record("rename", from + " " + to)) return -1;
    auto source = files_.find(join(in->path, from));
    if (source == files_.end()) {
        errno = ENOENT;
        return -1;
    }
    Node moved = std::move(source->second);
    files_.erase(source);
    touch(moved);
    files_[join(in->path, to)] = std::move(moved);
    return 0;
}

int RecordingDisk::removeAt(int folder, const std::string& name) {
    Open* in = opened(folder);
    if (!in) return -1;
    if (!record("remove", name)) return -1;
    if (files_.erase(join(in->path, name)) == 0) {
        errno = ENOENT;
        return -1;
    }
    return 0;
}

std::vector<std::string> RecordingDisk::list(int folder) {
    Open* in = opened(folder);
    return in ? namesIn(in->path) : std::vector<std::string>{};
}

int RecordingDisk::lock(int fd, int operation) {
    Open* open = opened(fd);
    if (!open) return -1;
    return record(operation == LOCK_UN ? "unlock" : "lock", nameOf(*open)) ? 0 : -1;
}

}  // namespace vx::test
