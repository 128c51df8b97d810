#include "settings/preferences_file.h"

#include "host/defaults_domain.h"
#include "host/ps_specifier.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"

namespace vx {

namespace {

const std::string* stringProperty(const plist::Dictionary& properties, std::string_view name) {
    const plist::Value* value = properties.find(name);
    return value ? value->asString() : nullptr;
}

// The row's "PostNotification" name; empty when it names none or is not a string.
std::string_view rowNotification(const plist::Dictionary& rowProperties) {
    const std::string* name = stringProperty(rowProperties, kRowPostNotificationProperty);
    return name ? std::string_view(*name) : std::string_view();
}

}  // namespace

std::optional<plist::Dictionary> readPreferences() { return readPlistDictionary(kPreferencesPath); }

std::shared_ptr<const plist::Dictionary> readPreferencesCached() {
    return readPlistDictionaryCached(kPreferencesPath);
}

Result<SaveOutcome> updatePreferences(const PlistChange& change, WhenMissing whenMissing) {
    return updatePlistFile(kPreferencesPath, whenMissing, change);
}

std::optional<plist::Value> readPreferenceValue(const plist::Dictionary& rowProperties) {
    if (const std::string* key = stringProperty(rowProperties, kRowKeyProperty)) {
        auto preferences = readPreferences();
        if (preferences) {
            if (const plist::Value* stored = preferences->find(*key)) return *stored;
        }
    }
    if (const plist::Value* fallback = rowProperties.find(kRowDefaultProperty)) return *fallback;
    return std::nullopt;
}

std::optional<plist::Value> readPreferenceValue(const PSSpecifier& row) {
    return readPreferenceValue(row.properties());
}

Result<void> setPreferenceValue(const plist::Value& value, const plist::Dictionary& rowProperties) {
    const std::string* key = stringProperty(rowProperties, kRowKeyProperty);
    if (!key) {
        std::string reason = "a row without a string \"key\" cannot be saved; nothing was written";
        log::write(reason);
        return fail(std::move(reason));
    }
    Result<void> stored = storeValueAndNotify(kPreferencesPath, *key, value,
                                              rowNotification(rowProperties));
    const plist::Value* notification = rowProperties.find(kRowPostNotificationProperty);
    if (notification && !notification->isString())
        log::write("a row's PostNotification is not a string; nothing was posted");
    return stored;
}

Result<void> setPreferenceValue(const plist::Value& value, const PSSpecifier& row) {
    return setPreferenceValue(value, row.properties());
}

}  // namespace vx
