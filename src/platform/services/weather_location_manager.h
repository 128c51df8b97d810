#pragma once
// "WeatherLocationManager": how the weather service tracks the device's position. Its
// tracking flags live in the weather data file; its position is the data's
// "DeviceLocation".
#include <memory>
#include <string>

#include "platform/foundation/object.h"
#include "platform/services/cl_location.h"
#include "platform/services/cl_location_manager.h"

namespace vx {

class WeatherLocationManager : public Object {
public:
    static constexpr const char* kClassName = "WeatherLocationManager";

    // sharedWeatherLocationManager
    static std::shared_ptr<WeatherLocationManager> sharedWeatherLocationManager();

    std::string className() const override { return kClassName; }

    // The location manager it tracks with. It keeps the one it is given (the caller keeps
    // no reference), replacing the one before.
    void setDelegate(CLLocationManagerPtr manager) { delegate_ = std::move(manager); }
    const CLLocationManagerPtr& delegate() const { return delegate_; }

    bool locationTrackingIsReady() const;
    // setLocationTrackingReady:activelyTracking:
    void setLocationTrackingReady(bool ready, bool activelyTracking);
    bool locationTrackingIsActive() const;
    void setLocationTrackingActive(bool active);
    // Where the service places the device; nothing when it does not know.
    CLLocationPtr location() const;

private:
    CLLocationManagerPtr delegate_;
};

}  // namespace vx
