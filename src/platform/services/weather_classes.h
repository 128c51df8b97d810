#pragma once
// Registers the weather service's classes by name: "WeatherPreferences",
// "WeatherLocationManager" and "LocationUpdater". Each class's factory answers its shared
// instance (the class method sharedPreferences, sharedWeatherLocationManager,
// sharedLocationUpdater), since callers reach them only by name.
namespace vx {

void registerWeatherClasses();

}  // namespace vx
