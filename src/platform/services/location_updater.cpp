#include "platform/services/location_updater.h"

#include "platform/foundation/log.h"
#include "platform/foundation/run_loop.h"
#include "platform/services/weather_store.h"

namespace vx {

namespace {
constexpr const char* kFetchSelector = "completeFetch";
}

std::shared_ptr<LocationUpdater> LocationUpdater::sharedLocationUpdater() {
    static const auto shared = std::make_shared<LocationUpdater>();
    return shared;
}

void LocationUpdater::updateWeatherForLocation(const CLLocationPtr& location,
                                               const WeatherCityPtr& city) {
    if (city == nullptr) return;
    RunLoop::main().cancelPreviousPerformRequests(this, kFetchSelector, nullptr);
    std::weak_ptr<LocationUpdater> weakSelf = sharedFrom(this);
    RunLoop::main().performAfterDelay(
        kFetchDuration,
        [weakSelf, location] {
            if (auto self = weakSelf.lock()) self->completeFetch(location);
        },
        this, kFetchSelector);
}

void LocationUpdater::completeFetch(CLLocationPtr location) {
    auto data = weather::load();
    plist::Value* city = data.find(weather::kLocalCityKey);
    if (city == nullptr || !city->isDictionary()) return;  // the city went away meanwhile
    plist::Dictionary& entry = city->dictionary();
    entry.set(std::string(weather::kUpdateTimeKey), weather::dateFromSince1970(RunLoop::main().now()));
    if (location != nullptr) {
        entry.set(std::string(weather::kLatitudeKey), location->coordinate().latitude);
        entry.set(std::string(weather::kLongitudeKey), location->coordinate().longitude);
    }
    if (weather::save(data)) {
        ++completedFetches_;
        log::write("LocationUpdater: weather updated for the local city");
    }
}

}  // namespace vx
