#pragma once
// CLLocation: one position fix. Coordinates in degrees; the time stamp in seconds since
// 1970 on the run loop's clock.
#include <memory>
#include <string>

#include "platform/foundation/object.h"

namespace vx {

struct CLLocationCoordinate2D {
    double latitude = 0;
    double longitude = 0;
    bool operator==(const CLLocationCoordinate2D&) const = default;
};

class CLLocation : public Object {
public:
    // initWithLatitude:longitude: (time stamp: now on the run loop's clock).
    static std::shared_ptr<CLLocation> initWithLatitude(double latitude, double longitude);
    static std::shared_ptr<CLLocation> initWithCoordinate(CLLocationCoordinate2D coordinate,
                                                          double timestamp);

    std::string className() const override { return "CLLocation"; }
    CLLocationCoordinate2D coordinate() const { return coordinate_; }
    double timestamp() const { return timestamp_; }

private:
    CLLocationCoordinate2D coordinate_;
    double timestamp_ = 0;
};

using CLLocationPtr = std::shared_ptr<CLLocation>;

}  // namespace vx
