#pragma once
// MyLocation: a location client that writes the location file from the first position fix
// after each start, then stops. A failure is logged ("Error: <description>") and updating
// goes on.
#include <memory>
#include <string>

#include "platform/foundation/object.h"
#include "platform/services/cl_location_manager.h"

namespace vx {

class MyLocation : public Object, public CLLocationManagerDelegate {
public:
    static constexpr const char* kClassName = "MyLocation";

    // init: creates its location manager and becomes its delegate.
    static std::shared_ptr<MyLocation> init();

    std::string className() const override { return kClassName; }

    void startFindingMe();
    void didUpdateToLocation(const std::shared_ptr<CLLocationManager>& manager,
                             const CLLocationPtr& newLocation,
                             const CLLocationPtr& oldLocation) override;
    void didFailWithError(const std::shared_ptr<CLLocationManager>& manager,
                          const LocationError& error) override;
    // Writes the location file from the manager's latest fix; nothing without one.
    void writeToFile();

    const CLLocationManagerPtr& locationManager() const { return locationManager_; }
    void setLocationManager(CLLocationManagerPtr manager) { locationManager_ = std::move(manager); }

private:
    MyLocation() = default;
    CLLocationManagerPtr locationManager_;
};

}  // namespace vx
