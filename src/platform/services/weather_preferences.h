#pragma once
// "WeatherPreferences": the weather service's settings, over the weather data file.
#include <memory>
#include <string>

#include "platform/foundation/object.h"
#include "platform/services/weather_city.h"

namespace vx {

class WeatherPreferences : public Object {
public:
    static constexpr const char* kClassName = "WeatherPreferences";

    // sharedPreferences
    static std::shared_ptr<WeatherPreferences> sharedPreferences();

    std::string className() const override { return kClassName; }
    // The local weather city; nothing when the service has none.
    WeatherCityPtr localWeatherCity() const;
    bool isLocalWeatherEnabled() const;
    void setLocalWeatherEnabled(bool enabled);
};

}  // namespace vx
