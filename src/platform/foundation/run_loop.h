#pragma once
// The main run loop: delayed calls (performSelector:withObject:afterDelay: and its
// cancellation) on a model clock that only moves when told to. Nothing here sleeps; the
// application or a test advances time and the due calls run in order.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class RunLoop {
public:
    static RunLoop& main();

    // Model time, in seconds since 1970. Starts at the real time when the process starts.
    double now() const { return now_; }
    void setNow(double secondsSince1970) { now_ = secondsSince1970; }

    // Schedules `call` after `delay` seconds. `target`, `selector` and `argument` identify
    // the request for cancellation, as the device's perform requests do; they are never
    // dereferenced. The call itself must hold its objects weakly.
    void performAfterDelay(double delay, std::function<void()> call, const void* target = nullptr,
                           std::string selector = {}, const void* argument = nullptr);
    // cancelPreviousPerformRequestsWithTarget:selector:object:
    void cancelPreviousPerformRequests(const void* target, std::string_view selector,
                                       const void* argument);
    // cancelPreviousPerformRequestsWithTarget:
    void cancelAllRequests(const void* target);

    // Lets `seconds` pass: every call that falls due runs, earliest first (ties in the
    // order they were scheduled), with the clock set to its due time. Calls scheduled by
    // a running call run in the same pass if they fall due within it. Returns how many ran.
    std::size_t advance(double seconds);
    // Runs the calls that are due now (a 0.0-second delay means "on the next pass").
    std::size_t runPending() { return advance(0.0); }

    std::size_t pendingCount() const { return pending_.size(); }
    bool hasPending(const void* target, std::string_view selector) const;
    // Drops every pending call and sets the clock (tests).
    void reset(double secondsSince1970);

private:
    RunLoop();

    struct Pending {
        double due;
        std::uint64_t sequence;
        std::function<void()> call;
        const void* target;
        std::string selector;
        const void* argument;
    };
    double now_;
    std::uint64_t nextSequence_ = 0;
    std::vector<Pending> pending_;
};

}  // namespace vx
