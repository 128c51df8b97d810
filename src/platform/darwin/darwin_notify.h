#pragma once
// Named notifications that reach other processes, as CFNotificationCenterGetDarwinNotifyCenter
// and CFNotificationCenterPostNotification do on the device: a post carries only a name, and
// every live listener of that name, in any process of this user, receives it. No daemon.
//
// Mechanism (docs/notifications.md): a rendezvous folder holds one Unix datagram socket per
// listener. A post sends the name to every socket there, without blocking, and removes the
// sockets whose listener is gone. A listener keeps the names it registered for and drops
// the rest.
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

namespace vx::darwin {

inline constexpr std::size_t kMaxNameBytes = 1024;

// $VELTRIX_NOTIFY_DIR, else $XDG_RUNTIME_DIR/veltrix-notify, else /tmp/veltrix-notify-<uid>;
// or the folder set with setRendezvousFolder (tests).
std::filesystem::path rendezvousFolder();
void setRendezvousFolder(std::optional<std::filesystem::path> folder);

// CFNotificationCenterPostNotification on the Darwin centre. Delivered to every listener
// that is alive now; the result says how many sockets received it, or why none could.
Result<std::size_t> post(std::string_view name);

class Listener {
public:
    // Binds a socket in the rendezvous folder (creating the folder, mode 0700).
    static Result<std::unique_ptr<Listener>> create(std::set<std::string> names);
    // A listener that keeps every name posted (a watcher of all traffic).
    static Result<std::unique_ptr<Listener>> createForEveryName();
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    void addName(std::string name) { names_.insert(std::move(name)); }
    // The descriptor to wait on (readable when a post may have arrived).
    int fd() const { return fd_; }
    // Every post of a registered name that has arrived, oldest first; never blocks.
    std::vector<std::string> takePending();
    // The next post of a registered name, waiting at most `timeout`.
    std::optional<std::string> waitForNext(std::chrono::milliseconds timeout);

private:
    static Result<std::unique_ptr<Listener>> bind(std::set<std::string> names, bool everyName);
    Listener(int fd, std::filesystem::path path, std::set<std::string> names, bool everyName);
    std::optional<std::string> receiveOne();

    int fd_;
    std::filesystem::path path_;
    std::set<std::string> names_;
    bool everyName_;
};

}  // namespace vx::darwin
