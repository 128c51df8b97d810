#pragma once
// The root page's location export: finds the weather service's classes by name, asks the
// service to refresh the local city's weather when it is more than kStaleAfter seconds old
// (without waiting for it), and writes the city's position to the location file at once.
//
// When a weather class is missing, the service has no local city, the city has never been
// updated or has no position, nothing is refreshed and no file is written (logged).
#include <string_view>

namespace vx {

inline constexpr double kLocalWeatherStaleAfter = 1800.0;

enum class LocationExportOutcome {
    Written,               // the file holds the city's position; no refresh was needed
    WrittenAndRefreshing,  // the same, and a weather refresh was started
    WeatherMissing,        // a weather class is not in the registry
    NoLocalCity,
    NoUpdateTime,
    NoCityLocation,
    WriteFailed,
};

LocationExportOutcome exportLocalCityLocation();

std::string_view describe(LocationExportOutcome outcome);

}  // namespace vx
