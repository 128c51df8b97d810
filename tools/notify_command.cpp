// `notify`: post and watch change notifications, like notifyutil -p / -w.
//   notify post NAME
//   notify watch [NAME...] [--count N] [--timeout SECONDS] [--json]
#include <poll.h>
#include <signal.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>

#include "cli.h"
#include "platform/darwin/darwin_notify.h"

namespace vx::cli {

namespace {

std::atomic<bool> interrupted{false};

void stopWatching(int) { interrupted = true; }

// SIGINT and SIGTERM end the watch cleanly (the socket is removed). They stay blocked but
// while the poll below waits, so that one arriving between the check of `interrupted` and
// the poll is not lost (the watch would then wait on for the next name); returns the mask
// the poll waits under.
sigset_t catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = stopWatching;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    sigset_t interrupts;
    sigset_t waiting;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &interrupts, &waiting);
    sigdelset(&waiting, SIGINT);
    sigdelset(&waiting, SIGTERM);
    return waiting;
}

struct WatchOptions {
    std::vector<std::string> names;
    std::size_t count = 0;      // 0: no limit
    double timeoutSeconds = 0;  // 0: no limit
    bool json = false;
};

void printName(const std::string& name, bool json) {
    if (json)
        std::cout << nlohmann::json({{"name", name}})
                         .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    else
        std::cout << name;
    std::cout << std::endl;  // flushed: a pipe reader sees each name as it arrives
}

int runWatch(const WatchOptions& options) {
    auto listener = options.names.empty()
                        ? darwin::Listener::createForEveryName()
                        : darwin::Listener::create({options.names.begin(), options.names.end()});
    if (!listener) return reportFailure("cannot watch: " + listener.error());
    const sigset_t waiting = catchInterrupts();
    std::cerr << "veltrix-settings: watching "
              << (options.names.empty() ? std::string("every name")
                                        : std::to_string(options.names.size()) + " name(s)")
              << " in " << darwin::rendezvousFolder().string() << std::endl;

    using Clock = std::chrono::steady_clock;
    const bool timed = options.timeoutSeconds > 0;
    const auto giveUpAt = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(options.timeoutSeconds));
    std::size_t received = 0;
    while (!interrupted) {
        for (const std::string& name : (*listener)->takePending()) {
            printName(name, options.json);
            if (options.count && ++received >= options.count) return kExitOk;
        }
        timespec wait{};
        if (timed) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(giveUpAt - Clock::now()).count();
            if (left <= 0) return kExitOk;
            wait.tv_sec = static_cast<time_t>(left / 1000);
            wait.tv_nsec = static_cast<long>(left % 1000) * 1'000'000;
        }
        pollfd readable{(*listener)->fd(), POLLIN, 0};
        // ignored: EINTR is the interrupt, the loop re-checks the rest
        ::ppoll(&readable, 1, timed ? &wait : nullptr, &waiting);
    }
    return kExitOk;
}

int runPost(const std::string& name) {
    auto delivered = darwin::post(name);
    if (!delivered) return reportFailure("cannot post " + name + ": " + delivered.error());
    return kExitOk;
}

CLI::Validator notificationName() {
    return CLI::Validator(
        [](std::string& name) -> std::string {
            if (name.empty() || name.size() > darwin::kMaxNameBytes)
                return "a notification name is 1 to " + std::to_string(darwin::kMaxNameBytes) +
                       " bytes long";
            return {};
        },
        "NAME");
}

Action setUpNotifyCommand(CLI::App& notify) {
    notify.require_subcommand(1);
    runsWithoutDevice(notify);
    notify.footer(
        "Notifications reach every listening process of this user through "
        "$VELTRIX_NOTIFY_DIR (else $XDG_RUNTIME_DIR/veltrix-notify, else "
        "/tmp/veltrix-notify-<uid>).");
    auto postName = std::make_shared<std::string>();
    auto watch = std::make_shared<WatchOptions>();

    CLI::App* post = notify.add_subcommand("post",
                                           "Post the change notification NAME to every listener");
    post->add_option("NAME", *postName,
                     "The notification name, e.g. com.corvane.veltrix/settingschanged")
        ->required()
        ->check(notificationName());

    CLI::App* watching = notify.add_subcommand(
        "watch",
        "Print each notification received, one name a line, until the count or the "
        "time is reached or the program is interrupted (exit status 0 in each case)");
    watching->add_option("NAME", watch->names, "Names to watch (default: every name)")
        ->check(notificationName());
    watching->add_option("--count", watch->count, "Stop after N notifications")
        ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 40));
    watching->add_option("--timeout", watch->timeoutSeconds, "Stop after SECONDS")
        ->check(CLI::Range(0.001, 1e9));
    watching->add_flag("--json", watch->json, "Print each notification as {\"name\": NAME}");

    return [post, postName, watching, watch](const Context&) {
        if (post->parsed()) return runPost(*postName);
        if (watching->parsed()) return runWatch(*watch);
        return reportFailure("notify needs post or watch");
    };
}

const Registration registration{
    {"notify", "Post and watch change notifications, like notifyutil", setUpNotifyCommand}};

}  // namespace

}  // namespace vx::cli
