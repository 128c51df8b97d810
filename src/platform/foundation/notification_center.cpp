#include "platform/foundation/notification_center.h"

#include <algorithm>

namespace vx {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(std::weak_ptr<void> observer, std::string name, Handler handler,
                                     const void* object) {
    const void* identity = observer.lock().get();
    registrations_.push_back(
        Registration{std::move(observer), identity, std::move(name), std::move(handler), object});
}

void NotificationCenter::removeObserver(const void* observer) {
    std::erase_if(registrations_, [&](const Registration& r) { return r.identity == observer; });
}

void NotificationCenter::removeObserver(const void* observer, std::string_view name) {
    std::erase_if(registrations_,
                  [&](const Registration& r) { return r.identity == observer && r.name == name; });
}

void NotificationCenter::post(const Notification& notification) {
    // Copy first: a handler may add or remove observers while the post is under way.
    std::vector<Registration> matching;
    for (const auto& r : registrations_)
        if (r.name == notification.name && (!r.object || r.object == notification.object))
            matching.push_back(r);
    for (const auto& r : matching) {
        auto alive = r.observer.lock();
        if (!alive) continue;
        r.handler(notification);
    }
    std::erase_if(registrations_, [](const Registration& r) { return r.observer.expired(); });
}

std::size_t NotificationCenter::observerCount(std::string_view name) const {
    return static_cast<std::size_t>(
        std::count_if(registrations_.begin(), registrations_.end(),
                      [&](const Registration& r) { return r.name == name && !r.observer.expired(); }));
}

void NotificationCenter::reset() { registrations_.clear(); }

}  // namespace vx
