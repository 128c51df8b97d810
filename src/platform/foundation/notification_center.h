#pragma once
// The in-process notification centre (NSNotificationCenter). Observers are held weakly: an
// observer that has gone is skipped and forgotten, and is kept alive while it is called.
#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

struct Notification {
    std::string name;
    const void* object = nullptr;  // the sender, for identity only
    std::map<std::string, std::any> userInfo;
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // addObserver:selector:name:object: — `object` nullptr means any sender.
    void addObserver(std::weak_ptr<void> observer, std::string name, Handler handler,
                     const void* object = nullptr);
    // removeObserver: (all names) and removeObserver:name:object:.
    void removeObserver(const void* observer);
    void removeObserver(const void* observer, std::string_view name);
    // Calls every live observer of the name, in the order they were added.
    void post(const Notification& notification);

    std::size_t observerCount(std::string_view name) const;
    void reset();

private:
    struct Registration {
        std::weak_ptr<void> observer;
        const void* identity;
        std::string name;
        Handler handler;
        const void* object;
    };
    std::vector<Registration> registrations_;
};

}  // namespace vx
