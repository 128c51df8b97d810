#include "platform/services/weather_city.h"

#include "platform/services/weather_store.h"

namespace vx {

std::shared_ptr<WeatherCity> WeatherCity::fromEntry(const plist::Value* entry) {
    if (entry == nullptr || !entry->isDictionary()) return nullptr;
    auto city = std::make_shared<WeatherCity>();
    const plist::Value* name = plist::lookup(*entry, weather::kNameKey);
    if (name != nullptr && name->isString()) city->name_ = name->string();
    city->updateTime_ = weather::dateSince1970(plist::lookup(*entry, weather::kUpdateTimeKey));
    city->location_ = weather::locationFrom(entry, city->updateTime_.value_or(0));
    return city;
}

}  // namespace vx
