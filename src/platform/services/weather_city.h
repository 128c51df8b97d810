#pragma once
// City: a weather city as the weather service hands it out, a snapshot of the weather
// data's "LocalCity" entry at the moment it was asked for.
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/object.h"
#include "platform/foundation/plist_value.h"
#include "platform/services/cl_location.h"

namespace vx {

class WeatherCity : public Object {
public:
    // The city described by a "LocalCity" entry; nothing when the entry is not a dictionary.
    static std::shared_ptr<WeatherCity> fromEntry(const plist::Value* entry);

    std::string className() const override { return "City"; }
    const std::string& name() const { return name_; }
    // When its weather was last updated (seconds since 1970); nothing when never.
    std::optional<double> updateTime() const { return updateTime_; }
    // Its position; nothing when the entry has none.
    CLLocationPtr location() const { return location_; }

private:
    std::string name_;
    std::optional<double> updateTime_;
    CLLocationPtr location_;
};

using WeatherCityPtr = std::shared_ptr<WeatherCity>;

}  // namespace vx
