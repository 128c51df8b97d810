#include "platform/services/weather_store.h"

#include <filesystem>
#include <system_error>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/root_jail.h"
#include "platform/foundation/strings.h"

namespace vx::weather {

plist::Dictionary load() {
    auto data = plist::dictionaryWithContentsOfFile(kWeatherDataPath);
    return data ? std::move(*data) : plist::Dictionary{};
}

Result<void> save(const plist::Dictionary& data) {
    // ignored: a missing folder makes the write below fail and say so
    (void)jail::createFolders(str::stringByDeletingLastPathComponent(kWeatherDataPath));
    auto written = plist::writeFileAtomically(kWeatherDataPath, plist::Value(data));
    if (!written) {
        log::write("weather: cannot save " + std::string(kWeatherDataPath) + ": " + written.error());
    }
    return written;
}

Result<void> setEntry(std::string_view key, plist::Value value) {
    auto data = load();
    data.set(std::string(key), std::move(value));
    return save(data);
}

bool flag(const plist::Dictionary& data, std::string_view key, bool fallback) {
    const plist::Value* value = data.find(key);
    if (value == nullptr || !value->isNumber()) return fallback;
    return value->boolValue();
}

CLLocationPtr locationFrom(const plist::Value* entry, double timestamp) {
    if (entry == nullptr) return nullptr;
    const plist::Value* latitude = plist::lookup(*entry, kLatitudeKey);
    const plist::Value* longitude = plist::lookup(*entry, kLongitudeKey);
    if (latitude == nullptr || longitude == nullptr || !latitude->isNumber() || !longitude->isNumber()) {
        return nullptr;
    }
    return CLLocation::initWithCoordinate({latitude->doubleValue(), longitude->doubleValue()},
                                          timestamp);
}

std::optional<double> dateSince1970(const plist::Value* entry) {
    if (entry == nullptr || !entry->isDate()) return std::nullopt;
    return entry->date().sinceReferenceDate + static_cast<double>(plist::Date::kReferenceUnixSeconds);
}

plist::Date dateFromSince1970(double secondsSince1970) {
    return plist::Date{secondsSince1970 - static_cast<double>(plist::Date::kReferenceUnixSeconds)};
}

}  // namespace vx::weather
