#include "platform/services/weather_location_manager.h"

#include "platform/foundation/run_loop.h"
#include "platform/services/weather_store.h"

namespace vx {

std::shared_ptr<WeatherLocationManager> WeatherLocationManager::sharedWeatherLocationManager() {
    static const auto shared = std::make_shared<WeatherLocationManager>();
    return shared;
}

bool WeatherLocationManager::locationTrackingIsReady() const {
    return weather::flag(weather::load(), weather::kTrackingReadyKey);
}

void WeatherLocationManager::setLocationTrackingReady(bool ready, bool activelyTracking) {
    auto data = weather::load();
    data.set(std::string(weather::kTrackingReadyKey), ready);
    data.set(std::string(weather::kTrackingActiveKey), activelyTracking);
    // ignored: a failed save is logged by the store
    (void)weather::save(data);
}

bool WeatherLocationManager::locationTrackingIsActive() const {
    return weather::flag(weather::load(), weather::kTrackingActiveKey);
}

void WeatherLocationManager::setLocationTrackingActive(bool active) {
    // ignored: a failed save is logged by the store
    (void)weather::setEntry(weather::kTrackingActiveKey, active);
}

CLLocationPtr WeatherLocationManager::location() const {
    auto data = weather::load();
    return weather::locationFrom(data.find(weather::kDeviceLocationKey), RunLoop::main().now());
}

}  // namespace vx
