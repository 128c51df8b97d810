#include "platform/services/cl_location.h"

#include "platform/foundation/run_loop.h"

namespace vx {

std::shared_ptr<CLLocation> CLLocation::initWithLatitude(double latitude, double longitude) {
    return initWithCoordinate({latitude, longitude}, RunLoop::main().now());
}

std::shared_ptr<CLLocation> CLLocation::initWithCoordinate(CLLocationCoordinate2D coordinate,
                                                           double timestamp) {
    auto location = std::make_shared<CLLocation>();
    location->coordinate_ = coordinate;
    location->timestamp_ = timestamp;
    return location;
}

}  // namespace vx
