#pragma once
// "LocationUpdater": fetches the weather of a city. A fetch takes kFetchDuration seconds of
// run-loop time; when it completes, the city's "UpdateTime" becomes that moment and, when a
// location was given, the city moves to it (the weather service names the city nearest to
// the device). Callers never wait for it.
#include <memory>
#include <string>

#include "platform/foundation/object.h"
#include "platform/services/cl_location.h"
#include "platform/services/weather_city.h"

namespace vx {

class LocationUpdater : public Object {
public:
    static constexpr const char* kClassName = "LocationUpdater";
    static constexpr double kFetchDuration = 2.0;

    // sharedLocationUpdater
    static std::shared_ptr<LocationUpdater> sharedLocationUpdater();

    std::string className() const override { return kClassName; }

    // updateWeatherForLocation:city: — starts a fetch; a fetch already under way for the
    // local city is replaced by this one.
    void updateWeatherForLocation(const CLLocationPtr& location, const WeatherCityPtr& city);
    // How many fetches have completed in this process.
    int completedFetches() const { return completedFetches_; }

private:
    void completeFetch(CLLocationPtr location);

    int completedFetches_ = 0;
};

}  // namespace vx
