#include "settings/location_export.h"

#include <string>

#include "platform/foundation/log.h"
#include "platform/foundation/run_loop.h"
#include "platform/services/cl_location_manager.h"
#include "platform/services/class_registry.h"
#include "platform/services/location_updater.h"
#include "platform/services/weather_location_manager.h"
#include "platform/services/weather_preferences.h"
#include "settings/location_file.h"

namespace vx {

namespace {

// The shared instance of a class found by name (its factory answers the shared instance).
template <class T>
std::shared_ptr<T> sharedInstanceNamed(std::string_view className) {
    auto cls = objc_getClass(className);
    return cls ? cls->instantiateAs<T>() : nullptr;
}

LocationExportOutcome report(LocationExportOutcome outcome) {
    log::write("getLocation: " + std::string(describe(outcome)));
    return outcome;
}

void refreshLocalWeather(WeatherPreferences& prefs, WeatherLocationManager& manager,
                         LocationUpdater& updater, const WeatherCityPtr& city) {
    manager.setDelegate(CLLocationManager::init());
    if (!manager.locationTrackingIsReady()) manager.setLocationTrackingReady(true, false);
    manager.setLocationTrackingActive(true);
    prefs.setLocalWeatherEnabled(true);
    updater.updateWeatherForLocation(manager.location(), city);
}

}  // namespace

LocationExportOutcome exportLocalCityLocation() {
    auto prefs = sharedInstanceNamed<WeatherPreferences>(WeatherPreferences::kClassName);
    auto manager = sharedInstanceNamed<WeatherLocationManager>(WeatherLocationManager::kClassName);
    auto updater = sharedInstanceNamed<LocationUpdater>(LocationUpdater::kClassName);
    if (!prefs || !manager || !updater) return report(LocationExportOutcome::WeatherMissing);

    WeatherCityPtr city = prefs->localWeatherCity();
    if (city == nullptr) return report(LocationExportOutcome::NoLocalCity);
    std::optional<double> updateTime = city->updateTime();
    if (!updateTime) return report(LocationExportOutcome::NoUpdateTime);

    // Strictly later than the threshold: data exactly kLocalWeatherStaleAfter old is fresh.
    const bool stale = RunLoop::main().now() > *updateTime + kLocalWeatherStaleAfter;
    if (stale) refreshLocalWeather(*prefs, *manager, *updater, city);

    // The position as the city has it now; the refresh completes later.
    CLLocationPtr location = city->location();
    if (location == nullptr) return report(LocationExportOutcome::NoCityLocation);
    auto written = writeLocationFile(location->coordinate().latitude, location->coordinate().longitude);
    if (!written) return LocationExportOutcome::WriteFailed;  // logged by the writer
    return stale ? LocationExportOutcome::WrittenAndRefreshing : LocationExportOutcome::Written;
}

std::string_view describe(LocationExportOutcome outcome) {
    switch (outcome) {
        case LocationExportOutcome::Written: return "location file written";
        case LocationExportOutcome::WrittenAndRefreshing:
            return "location file written; local weather refresh started";
        case LocationExportOutcome::WeatherMissing: return "the weather service is not available";
        case LocationExportOutcome::NoLocalCity: return "the weather service has no local city";
        case LocationExportOutcome::NoUpdateTime: return "the local weather city has never been updated";
        case LocationExportOutcome::NoCityLocation: return "the local weather city has no position";
        case LocationExportOutcome::WriteFailed: return "the location file could not be written";
    }
    return "unknown";
}

}  // namespace vx
