#include "platform/foundation/run_loop.h"

#include <algorithm>
#include <chrono>

namespace vx {

RunLoop::RunLoop()
    : now_(std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count()) {}

RunLoop& RunLoop::main() {
    static RunLoop loop;
    return loop;
}

void RunLoop::performAfterDelay(double delay, std::function<void()> call, const void* target,
                                std::string selector, const void* argument) {
    if (!(delay > 0.0)) delay = 0.0;
    pending_.push_back(
        Pending{now_ + delay, nextSequence_++, std::move(call), target, std::move(selector), argument});
}

void RunLoop::cancelPreviousPerformRequests(const void* target, std::string_view selector,
                                            const void* argument) {
    std::erase_if(pending_, [&](const Pending& p) {
        return p.target == target && p.selector == selector && p.argument == argument;
    });
}

void RunLoop::cancelAllRequests(const void* target) {
    std::erase_if(pending_, [&](const Pending& p) { return p.target == target; });
}

bool RunLoop::hasPending(const void* target, std::string_view selector) const {
    return std::any_of(pending_.begin(), pending_.end(),
                       [&](const Pending& p) { return p.target == target && p.selector == selector; });
}

std::size_t RunLoop::advance(double seconds) {
    const double end = now_ + std::max(0.0, seconds);
    std::size_t ran = 0;
    for (;;) {
        auto next = std::min_element(
            pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
                return a.due < b.due || (a.due == b.due && a.sequence < b.sequence);
            });
        if (next == pending_.end() || next->due > end) break;
        Pending due = std::move(*next);
        pending_.erase(next);
        now_ = std::max(now_, due.due);
        due.call();
        ++ran;
    }
    now_ = end;
    return ran;
}

void RunLoop::reset(double secondsSince1970) {
    pending_.clear();
    now_ = secondsSince1970;
}

}  // namespace vx
