#include "platform/services/weather_preferences.h"

#include "platform/services/weather_store.h"

namespace vx {

std::shared_ptr<WeatherPreferences> WeatherPreferences::sharedPreferences() {
    static const auto shared = std::make_shared<WeatherPreferences>();
    return shared;
}

WeatherCityPtr WeatherPreferences::localWeatherCity() const {
    auto data = weather::load();
    return WeatherCity::fromEntry(data.find(weather::kLocalCityKey));
}

bool WeatherPreferences::isLocalWeatherEnabled() const {
    return weather::flag(weather::load(), weather::kLocalWeatherEnabledKey);
}

void WeatherPreferences::setLocalWeatherEnabled(bool enabled) {
    // ignored: a failed save is logged by the store; the service keeps its old setting
    (void)weather::setEntry(weather::kLocalWeatherEnabledKey, enabled);
}

}  // namespace vx
