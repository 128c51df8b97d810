#include "platform/services/cl_location_manager.h"

#include "platform/foundation/run_loop.h"
#include "platform/services/weather_store.h"

namespace vx {

namespace {
constexpr const char* kAttemptSelector = "attemptFix";
}

std::string LocationError::description() const {
    return "Error Domain=" + domain + " Code=" + std::to_string(code) +
           " \"The operation couldn\u2019t be completed. (" + domain + " error " + std::to_string(code) +
           ".)\"";
}

std::shared_ptr<CLLocationManager> CLLocationManager::init() {
    return std::shared_ptr<CLLocationManager>(new CLLocationManager());
}

CLLocationManager::~CLLocationManager() { RunLoop::main().cancelAllRequests(this); }

void CLLocationManager::startUpdatingLocation() {
    if (updating_) return;
    updating_ = true;
    scheduleNextAttempt();
}

void CLLocationManager::stopUpdatingLocation() {
    updating_ = false;
    RunLoop::main().cancelPreviousPerformRequests(this, kAttemptSelector, nullptr);
}

void CLLocationManager::scheduleNextAttempt() {
    std::weak_ptr<CLLocationManager> weakSelf = sharedFrom(this);
    RunLoop::main().performAfterDelay(
        kFixInterval,
        [weakSelf] {
            if (auto self = weakSelf.lock()) self->attemptFix();
        },
        this, kAttemptSelector);
}

void CLLocationManager::attemptFix() {
    if (!updating_) return;
    auto self = sharedFrom(this);
    auto data = weather::load();
    CLLocationPtr fix = weather::locationFrom(data.find(weather::kDeviceLocationKey),
                                              RunLoop::main().now());
    // Schedule first: the delegate may stop or restart updating from inside its callback.
    scheduleNextAttempt();
    auto delegate = delegate_.lock();
    if (fix == nullptr) {
        if (delegate) {
            delegate->didFailWithError(self, {"kCLErrorDomain", kCLErrorLocationUnknown});
        }
        return;
    }
    CLLocationPtr previous = location_;
    location_ = fix;
    if (delegate) delegate->didUpdateToLocation(self, fix, previous);
}

}  // namespace vx
