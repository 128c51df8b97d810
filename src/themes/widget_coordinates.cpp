#include "themes/widget_coordinates.h"

#include "themes/theme_discovery.h"

namespace vx {

const plist::Dictionary* storedCoordinateEntries(const plist::Dictionary* preferences) {
    const plist::Value* entries = preferences ? preferences->find(kWidgetCoordinatesKey) : nullptr;
    return entries ? entries->asDictionary() : nullptr;
}

const plist::Dictionary* storedCoordinateEntry(const plist::Dictionary* preferences,
                                               std::string_view name) {
    const plist::Dictionary* entries = storedCoordinateEntries(preferences);
    const plist::Value* entry = entries ? entries->find(name) : nullptr;
    return entry ? entry->asDictionary() : nullptr;
}

double coordinateValue(const plist::Dictionary& entry, std::string_view key) {
    const plist::Value* value = entry.find(key);
    if (!value || !(value->isNumber() || value->isString())) return 0;
    return static_cast<double>(value->floatValue());
}

WidgetPoint storedWidgetPoint(const plist::Dictionary* preferences, std::string_view name) {
    const plist::Dictionary* entry = storedCoordinateEntry(preferences, name);
    if (!entry) return {};
    return {coordinateValue(*entry, kWidgetXKey), coordinateValue(*entry, kWidgetYKey)};
}

plist::Dictionary zeroCoordinateEntry() {
    return plist::Dictionary{{std::string(kWidgetXKey), 0}, {std::string(kWidgetYKey), 0}};
}

}  // namespace vx
