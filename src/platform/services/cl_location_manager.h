#pragma once
// CLLocationManager stand-in. While updating, it delivers a position fix to its delegate
// on the main run loop, kFixInterval seconds after the start and then every kFixInterval
// seconds, taken from the weather data's "DeviceLocation" (where location services place
// the device). Without that entry each attempt ends in a "location unknown" error and
// updating goes on. Nothing is delivered after stopUpdatingLocation.
#include <memory>
#include <string>

#include "platform/foundation/object.h"
#include "platform/services/cl_location.h"

namespace vx {

class CLLocationManager;

// NSError as the delegate sees it.
struct LocationError {
    std::string domain;
    long code = 0;
    // NSError's description: Error Domain=<domain> Code=<code> "<message>"
    std::string description() const;
};

inline constexpr long kCLErrorLocationUnknown = 0;

class CLLocationManagerDelegate {
public:
    virtual ~CLLocationManagerDelegate() = default;
    // locationManager:didUpdateToLocation:fromLocation:
    virtual void didUpdateToLocation(const std::shared_ptr<CLLocationManager>& manager,
                                     const CLLocationPtr& newLocation,
                                     const CLLocationPtr& oldLocation) = 0;
    // locationManager:didFailWithError:
    virtual void didFailWithError(const std::shared_ptr<CLLocationManager>& manager,
                                  const LocationError& error) = 0;
};

class CLLocationManager : public Object {
public:
    static constexpr double kFixInterval = 1.0;

    // alloc/init
    static std::shared_ptr<CLLocationManager> init();
    ~CLLocationManager() override;

    std::string className() const override { return "CLLocationManager"; }

    std::weak_ptr<CLLocationManagerDelegate> delegate() const { return delegate_; }
    void setDelegate(std::weak_ptr<CLLocationManagerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    void startUpdatingLocation();
    void stopUpdatingLocation();
    bool isUpdating() const { return updating_; }
    // The most recent fix; nothing before the first.
    CLLocationPtr location() const { return location_; }

private:
    CLLocationManager() = default;
    void scheduleNextAttempt();
    void attemptFix();

    std::weak_ptr<CLLocationManagerDelegate> delegate_;
    CLLocationPtr location_;
    bool updating_ = false;
};

using CLLocationManagerPtr = std::shared_ptr<CLLocationManager>;

}  // namespace vx
