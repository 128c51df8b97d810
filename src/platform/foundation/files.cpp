#include "platform/foundation/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "platform/foundation/log.h"
#include "platform/foundation/root_jail.h"
#include "platform/foundation/unique_fd.h"

namespace vx::files {

namespace {

// Missing is not worth a line; a refused link or a path out of the root was logged by the
// jail already.
bool isQuiet(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP || error == EXDEV;
}

Error failure(std::string_view operation, std::string_view devicePath, std::string_view reason,
              bool quiet = false) {
    std::string message = std::string(operation) + " " + std::string(devicePath) + ": " +
                          std::string(reason);
    if (!quiet) log::write(message);
    return fail(std::move(message));
}

Error systemFailure(std::string_view operation, std::string_view devicePath, int error) {
    return failure(operation, devicePath, std::strerror(error), isQuiet(error));
}

struct Entry {
    std::string name;
    unsigned char type;
};

// Every entry of an open folder except "." and "..". The caller's descriptor stays open
// and its position untouched: the folder is reopened through ".".
Result<std::vector<Entry>> readEntries(int folder, std::string_view devicePath) {
    int own = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0) return systemFailure("list", devicePath, errno);
    DIR* dir = ::fdopendir(own);
    if (!dir) {
        int error = errno;
        ::close(own);
        return systemFailure("list", devicePath, error);
    }
    std::vector<Entry> entries;
    while (true) {
        errno = 0;
        dirent* entry = ::readdir(dir);
        if (!entry) break;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        entries.push_back(Entry{entry->d_name, entry->d_type});
    }
    int error = errno;
    ::closedir(dir);
    if (error != 0) return systemFailure("list", devicePath, error);
    return entries;
}

Result<std::vector<Entry>> readFolder(std::string_view devicePath) {
    auto folder = jail::open(devicePath, O_RDONLY | O_DIRECTORY);
    if (!folder) return systemFailure("list", devicePath, folder.errorCode());
    return readEntries(folder->get(), devicePath);
}

// A folder entry that is itself a folder (a link to one is not).
bool isRealFolder(int parent, const Entry& entry) {
    if (entry.type != DT_UNKNOWN) return entry.type == DT_DIR;
    struct stat info {};
    if (::fstatat(parent, entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return S_ISDIR(info.st_mode);
}

using Identity = std::pair<dev_t, ino_t>;

// One open level of the walk below a folder.
struct Level {
    std::vector<Entry> entries;
    std::size_t next = 0;
    std::string prefix;  // relative path of this folder plus "/", "" for the top
    Identity identity;
};

// Walks a tree depth-first without recursion and with one open folder at a time: the walk
// goes down with openat(name, O_NOFOLLOW) and back up with "..", checking that ".." is the
// folder it came from. Folders already on the current path (bind-mount loops) are listed
// but not entered again.
class TreeWalk {
public:
    explicit TreeWalk(std::string_view devicePath) : devicePath_(devicePath) {}

    std::vector<std::string> run() {
        auto top = jail::open(devicePath_, O_RDONLY | O_DIRECTORY);
        if (!top) {
            (void)systemFailure("list", devicePath_, top.errorCode());
            return {};
        }
        current_ = std::move(top.value());
        if (!enter(std::string())) return {};
        while (!levels_.empty()) {
            Level& level = levels_.back();
            if (level.next == level.entries.size()) {
                if (!leave()) break;
                continue;
            }
            const Entry& entry = level.entries[level.next++];
            std::string relative = level.prefix + entry.name;
            paths_.push_back(relative);
            if (isRealFolder(current_.get(), entry)) descend(entry.name, relative);
        }
        return std::move(paths_);
    }

private:
    bool enter(std::string prefix) {
        struct stat info {};
        if (::fstat(current_.get(), &info) != 0) {
            (void)systemFailure("list", devicePath_, errno);
            return false;
        }
        auto entries = readEntries(current_.get(), devicePath_ + "/" + prefix);
        if (!entries) return false;
        std::sort(entries->begin(), entries->end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        Identity identity{info.st_dev, info.st_ino};
        onPath_.insert(identity);
        levels_.push_back(Level{std::move(entries.value()), 0, std::move(prefix), identity});
        return true;
    }

    void descend(const std::string& name, const std::string& relative) {
        UniqueFd child(
            ::openat(current_.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!child.valid()) {
            (void)failure("list", devicePath_ + "/" + relative, std::strerror(errno));
            return;
        }
        struct stat info {};
        if (::fstat(child.get(), &info) != 0 || onPath_.count({info.st_dev, info.st_ino}) != 0) return;
        current_.swap(child);                              // `child` now holds the parent and closes it
        if (!enter(relative + "/")) current_.swap(child);  // unreadable: stay in the parent
    }

    bool leave() {
        onPath_.erase(levels_.back().identity);
        levels_.pop_back();
        if (levels_.empty()) return false;
        int parent = ::openat(current_.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat info {};
        if (parent < 0 || ::fstat(parent, &info) != 0 ||
            Identity{info.st_dev, info.st_ino} != levels_.back().identity) {
            if (parent >= 0) ::close(parent);
            (void)failure("list", devicePath_, "a folder moved during the listing; listing cut short");
            levels_.clear();
            return false;
        }
        current_.reset(parent);
        return true;
    }

    std::string devicePath_;
    UniqueFd current_;
    std::vector<Level> levels_;
    std::set<Identity> onPath_;
    std::vector<std::string> paths_;
};

}  // namespace

bool fileExistsAtPath(std::string_view devicePath) { return jail::stat(devicePath).ok(); }

bool isDirectory(std::string_view devicePath) {
    auto info = jail::stat(devicePath);
    return info && S_ISDIR(info->st_mode);
}

Result<std::vector<std::string>> listDirectory(std::string_view devicePath) {
    auto entries = VX_TRY(readFolder(devicePath));
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (auto& entry : entries) names.push_back(std::move(entry.name));
    return names;
}

std::vector<std::string> contentsOfDirectoryAtPath(std::string_view devicePath) {
    auto names = listDirectory(devicePath);
    return names ? std::move(names.value()) : std::vector<std::string>();
}

std::vector<std::string> subpathsOfDirectoryAtPath(std::string_view devicePath) {
    return TreeWalk(devicePath).run();
}

Result<std::string> readBytes(std::string_view devicePath, std::size_t maxBytes) {
    auto opened = jail::open(devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (!opened) return systemFailure("read", devicePath, opened.errorCode());
    UniqueFd file = std::move(opened.value());
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return systemFailure("read", devicePath, errno);
    if (!S_ISREG(info.st_mode)) return failure("read", devicePath, "not a regular file");
    if (static_cast<std::size_t>(info.st_size) > maxBytes)
        return failure("read", devicePath, "larger than " + std::to_string(maxBytes) + " bytes");
    std::string data;
    data.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[64 * 1024];
    while (true) {
        ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            return systemFailure("read", devicePath, errno);
        }
        if (count == 0) break;
        if (data.size() + static_cast<std::size_t>(count) > maxBytes)
            return failure("read", devicePath, "larger than " + std::to_string(maxBytes) + " bytes");
        data.append(buffer, static_cast<std::size_t>(count));
    }
    return data;
}

Result<void> removeFile(std::string_view devicePath) {
    auto removed = jail::unlink(devicePath);
    if (!removed && removed.errorCode() != ENOENT)
        return systemFailure("remove", devicePath, removed.errorCode());
    return {};
}

}  // namespace vx::files
