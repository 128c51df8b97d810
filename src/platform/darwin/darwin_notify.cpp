#include "platform/darwin/darwin_notify.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/foundation/log.h"

namespace vx::darwin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSocketSuffix = ".sock";

std::optional<fs::path>& folderOverride() {
    static std::optional<fs::path> folder;
    return folder;
}

using log::failAndLog;

std::string errnoText() { return std::strerror(errno); }

Result<sockaddr_un> addressOf(const fs::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof address.sun_path)
        return fail("the socket path " + text + " is longer than " +
                    std::to_string(sizeof address.sun_path - 1) + " bytes");
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

// The folder must be ours and private: anyone who can write to it could listen in or plant
// sockets, or make a poster remove files elsewhere. A folder that is a link, belongs to
// someone else or is open to others is refused, by listeners and posters alike.
Result<void> checkFolder(int fd, const fs::path& folder) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail("cannot inspect " + folder.string() + ": " + errnoText());
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 07777) != 0700)
        return fail(folder.string() + " is not a private folder of this user (mode 0700, not a link)");
    return {};
}

Result<void> prepareFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return fail("cannot create " + folder.string() + ": " + errnoText());
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return fail(folder.string() + " is not a private folder of this user: " + errnoText());
    auto checked = checkFolder(fd, folder);
    ::close(fd);
    return checked;
}

std::string uniqueSocketName() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = std::to_string(::getpid()) + "-";
    for (int i = 0; i < 10; ++i) name += digits[generator() % 36];
    return name + std::string(kSocketSuffix);
}

bool isSocketName(std::string_view name) {
    return name.size() > kSocketSuffix.size() &&
           name.substr(name.size() - kSocketSuffix.size()) == kSocketSuffix;
}

// One datagram to one listener, addressed through the checked folder's descriptor (so a
// folder swapped for a link meanwhile is never followed). A refused connection means its
// listener is gone: that socket, and only a socket, is removed.
bool deliver(int sender, int folder, const std::string& entry, const fs::path& socketPath,
             std::string_view name) {
    struct stat info {};
    if (::fstatat(folder, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISSOCK(info.st_mode))
        return false;
    auto address = addressOf("/proc/self/fd/" + std::to_string(folder) + "/" + entry);
    if (!address) return false;
    for (;;) {
        ssize_t sent = ::sendto(sender, name.data(), name.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&*address), sizeof *address);
        if (sent >= 0) return true;
        if (errno == EINTR) continue;
        if (errno == ECONNREFUSED) {
            if (::fstatat(folder, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISSOCK(info.st_mode))
                ::unlinkat(folder, entry.c_str(),
                           0);  // ignored: another poster may have removed it first
        } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS) {
            log::write("notification " + std::string(name) + " dropped for " + socketPath.string() +
                       ": its listener is not reading");
        } else if (errno != ENOENT) {
            log::write("notification " + std::string(name) + " not delivered to " + socketPath.string() +
                       ": " + errnoText());
        }
        return false;
    }
}

}  // namespace

fs::path rendezvousFolder() {
    if (folderOverride()) return *folderOverride();
    if (const char* dir = std::getenv("VELTRIX_NOTIFY_DIR"); dir && *dir) return dir;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return fs::path(runtime) / "veltrix-notify";
    return fs::path("/tmp") / ("veltrix-notify-" + std::to_string(::getuid()));
}

void setRendezvousFolder(std::optional<fs::path> folder) { folderOverride() = std::move(folder); }

Result<std::size_t> post(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes)
        return failAndLog("notification name must be 1 to " + std::to_string(kMaxNameBytes) +
                          " bytes long");
    const fs::path folder = rendezvousFolder();
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0) {
        if (errno == ENOENT) return std::size_t{0};  // nobody has ever listened
        return failAndLog("cannot post " + std::string(name) + ": cannot open " + folder.string() +
                          ": " + errnoText());
    }
    if (auto checked = checkFolder(folderFd, folder); !checked) {
        ::close(folderFd);
        return failAndLog("cannot post " + std::string(name) + ": " + checked.error());
    }
    int listing = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing);
    int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (!dir || sender < 0) {
        std::string reason = "cannot post " + std::string(name) + ": " + errnoText();
        if (dir)
            ::closedir(dir);
        else if (listing >= 0)
            ::close(listing);
        if (sender >= 0) ::close(sender);
        ::close(folderFd);
        return failAndLog(reason);
    }
    std::vector<std::string> entries;
    while (dirent* entry = ::readdir(dir))
        if (isSocketName(entry->d_name)) entries.emplace_back(entry->d_name);
    ::closedir(dir);
    std::size_t delivered = 0;
    for (const std::string& entry : entries)
        if (deliver(sender, folderFd, entry, folder / entry, name)) ++delivered;
    ::close(sender);
    ::close(folderFd);
    return delivered;
}

Result<std::unique_ptr<Listener>> Listener::create(std::set<std::string> names) {
    return bind(std::move(names), false);
}

Result<std::unique_ptr<Listener>> Listener::createForEveryName() { return bind({}, true); }

Result<std::unique_ptr<Listener>> Listener::bind(std::set<std::string> names, bool everyName) {
    const fs::path folder = rendezvousFolder();
    if (auto prepared = prepareFolder(folder); !prepared) return failAndLog(prepared.error());
    const fs::path path = folder / uniqueSocketName();
    auto address = addressOf(path);
    if (!address) return failAndLog(address.error());
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return failAndLog("cannot create a listening socket: " + errnoText());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        std::string reason = "cannot listen at " + path.string() + ": " + errnoText();
        ::close(fd);
        return failAndLog(reason);
    }
    return std::unique_ptr<Listener>(new Listener(fd, path, std::move(names), everyName));
}

Listener::Listener(int fd, fs::path path, std::set<std::string> names, bool everyName)
    : fd_(fd), path_(std::move(path)), names_(std::move(names)), everyName_(everyName) {}

Listener::~Listener() {
    ::unlink(path_.c_str());  // ignored: posters remove a socket without listener anyway
    ::close(fd_);
}

std::optional<std::string> Listener::receiveOne() {
    char buffer[kMaxNameBytes + 1];
    for (;;) {
        ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        std::string name(buffer, static_cast<std::size_t>(got));
        if (everyName_ || names_.count(name)) return name;
    }
}

std::vector<std::string> Listener::takePending() {
    std::vector<std::string> names;
    while (auto name = receiveOne()) names.push_back(std::move(*name));
    return names;
}

std::optional<std::string> Listener::waitForNext(std::chrono::milliseconds timeout) {
    auto giveUpAt = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (auto name = receiveOne()) return name;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            giveUpAt - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd waiting{fd_, POLLIN, 0};
        ::poll(&waiting, 1, static_cast<int>(left.count()));  // ignored: the loop re-checks
    }
}

}  // namespace vx::darwin
