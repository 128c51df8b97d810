#include "settings/my_location.h"

#include "platform/foundation/log.h"
#include "settings/location_file.h"

namespace vx {

std::shared_ptr<MyLocation> MyLocation::init() {
    auto self = std::shared_ptr<MyLocation>(new MyLocation());
    self->setLocationManager(CLLocationManager::init());
    self->locationManager_->setDelegate(std::weak_ptr<CLLocationManagerDelegate>(self));
    return self;
}

void MyLocation::startFindingMe() {
    if (locationManager_) locationManager_->startUpdatingLocation();
}

void MyLocation::didUpdateToLocation(const std::shared_ptr<CLLocationManager>& manager,
                                     const CLLocationPtr& newLocation,
                                     const CLLocationPtr& oldLocation) {
    (void)manager;
    (void)newLocation;
    (void)oldLocation;
    if (locationManager_) locationManager_->stopUpdatingLocation();
    writeToFile();
}

void MyLocation::didFailWithError(const std::shared_ptr<CLLocationManager>& manager,
                                  const LocationError& error) {
    (void)manager;
    log::write("Error: " + error.description());
}

void MyLocation::writeToFile() {
    // A manager without a fix has no location; a message to nothing writes nothing.
    CLLocationPtr location = locationManager_ ? locationManager_->location() : nullptr;
    if (location == nullptr) return;
    // ignored: a failed write is logged by writeLocationFile; the client carries on
    (void)writeLocationFile(location->coordinate().latitude, location->coordinate().longitude);
}

}  // namespace vx
