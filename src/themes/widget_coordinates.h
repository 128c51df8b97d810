#pragma once
// The stored widget coordinates: "WidgetCoordinates" maps a theme's display name to an
// entry {"widgetX", "widgetY"}, each an integer or the string the user typed. Readers take
// a coordinate as a single-precision float (a string by its leading number); anything
// missing, or of the wrong type, reads as 0.
#include <string_view>

#include "platform/foundation/plist_value.h"

namespace vx {

inline constexpr std::string_view kWidgetXKey = "widgetX";
inline constexpr std::string_view kWidgetYKey = "widgetY";

struct WidgetPoint {
    double x = 0;
    double y = 0;
    bool operator==(const WidgetPoint&) const = default;
};

// The "WidgetCoordinates" dictionary, or nullptr when it is missing or not a dictionary.
const plist::Dictionary* storedCoordinateEntries(const plist::Dictionary* preferences);
// The entry of a name, or nullptr when it is missing or not a dictionary.
const plist::Dictionary* storedCoordinateEntry(const plist::Dictionary* preferences,
                                               std::string_view name);
// One coordinate of an entry, as a float widened to double.
double coordinateValue(const plist::Dictionary& entry, std::string_view key);
WidgetPoint storedWidgetPoint(const plist::Dictionary* preferences, std::string_view name);

// A new entry with both coordinates the integer 0.
plist::Dictionary zeroCoordinateEntry();

}  // namespace vx
