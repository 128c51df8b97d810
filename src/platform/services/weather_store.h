#pragma once
// The weather service's data file under the device root, which the weather stand-ins
// ("WeatherPreferences", "WeatherLocationManager", "LocationUpdater") and the location
// manager stand-in share. An XML property list:
//
//   LocalWeatherEnabled     boolean
//   LocalCity               dictionary: Name (string), Latitude, Longitude (numbers),
//                           UpdateTime (date: when its weather was last fetched)
//   DeviceLocation          dictionary: Latitude, Longitude: where location services
//                           place the device
//   LocationTrackingReady, LocationTrackingActive   booleans
//
// Every access reads the file afresh, so the stand-ins carry no state of their own and
// follow a change of device root.
#include <optional>
#include <string_view>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"
#include "platform/services/cl_location.h"

namespace vx::weather {

inline constexpr std::string_view kWeatherDataPath = "/var/mobile/Library/Weather/weather.plist";

inline constexpr std::string_view kLocalWeatherEnabledKey = "LocalWeatherEnabled";
inline constexpr std::string_view kLocalCityKey = "LocalCity";
inline constexpr std::string_view kDeviceLocationKey = "DeviceLocation";
inline constexpr std::string_view kTrackingReadyKey = "LocationTrackingReady";
inline constexpr std::string_view kTrackingActiveKey = "LocationTrackingActive";
inline constexpr std::string_view kNameKey = "Name";
inline constexpr std::string_view kLatitudeKey = "Latitude";
inline constexpr std::string_view kLongitudeKey = "Longitude";
inline constexpr std::string_view kUpdateTimeKey = "UpdateTime";

// The whole file; empty when it is missing or not a dictionary.
plist::Dictionary load();
// Writes the whole file (creating its folder); a failure is logged and returned.
Result<void> save(const plist::Dictionary& data);
// Load, change one top-level entry, save.
Result<void> setEntry(std::string_view key, plist::Value value);

// A boolean entry of a dictionary; `fallback` when absent or not a number.
bool flag(const plist::Dictionary& data, std::string_view key, bool fallback = false);
// A location made of Latitude and Longitude numbers; nothing when either is missing.
CLLocationPtr locationFrom(const plist::Value* entry, double timestamp);
// A date entry in seconds since 1970; nothing when absent or not a date.
std::optional<double> dateSince1970(const plist::Value* entry);
plist::Date dateFromSince1970(double secondsSince1970);

}  // namespace vx::weather
