#include "platform/services/weather_classes.h"

#include "platform/services/class_registry.h"
#include "platform/services/location_updater.h"
#include "platform/services/weather_location_manager.h"
#include "platform/services/weather_preferences.h"

namespace vx {

void registerWeatherClasses() {
    auto& registry = ClassRegistry::shared();
    registry.registerClass(WeatherPreferences::kClassName, [] {
        return std::static_pointer_cast<Object>(WeatherPreferences::sharedPreferences());
    });
    registry.registerClass(WeatherLocationManager::kClassName, [] {
        return std::static_pointer_cast<Object>(WeatherLocationManager::sharedWeatherLocationManager());
    });
    registry.registerClass(LocationUpdater::kClassName, [] {
        return std::static_pointer_cast<Object>(LocationUpdater::sharedLocationUpdater());
    });
}

}  // namespace vx
