#pragma once
// The Veltrix preferences file (kPreferencesPath; "/User/..." names the same file) and the
// generic row read and write that every list page uses as its getter and setter. Every
// write goes through updatePlistFile (preferences_store.h): lock, re-read, change only the
// caller's keys, atomic replace, unlock; the row setter then posts the row's notification.
#include <memory>
#include <optional>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/preferences_store.h"
#include "platform/foundation/result.h"

namespace vx {

class PSSpecifier;

// The row properties that tie a row to the file.
inline constexpr std::string_view kRowKeyProperty = "key";
inline constexpr std::string_view kRowDefaultProperty = "default";
inline constexpr std::string_view kRowPostNotificationProperty = "PostNotification";

// The notification the settings rows post for most changes; a tool that changes the file
// wholesale posts it once.
inline constexpr std::string_view kSettingsChangedNotification = "com.corvane.veltrix/settingschanged";

// The whole file, parsed afresh; nothing when it is missing or unreadable (logged).
std::optional<plist::Dictionary> readPreferences();
// The same answer without re-parsing an unchanged file (for pages that read per row).
std::shared_ptr<const plist::Dictionary> readPreferencesCached();
// Changes the file under the write protocol. Pages whose rule is "no file, write nothing"
// pass WhenMissing::Skip.
Result<SaveOutcome> updatePreferences(const PlistChange& change, WhenMissing whenMissing);

// readPreferenceValue: the file's value under the row's "key", whatever it is; else the
// row's "default"; else nothing.
std::optional<plist::Value> readPreferenceValue(const plist::Dictionary& rowProperties);
std::optional<plist::Value> readPreferenceValue(const PSSpecifier& row);

// setPreferenceValue:specifier: stores the value under the row's "key" (creating the file),
// then posts the row's "PostNotification", once, after the file is in place and unlocked.
// A failed write (or a row without a string "key") is logged and returned, and posts
// nothing: listeners are only told about what is on disk.
Result<void> setPreferenceValue(const plist::Value& value, const plist::Dictionary& rowProperties);
Result<void> setPreferenceValue(const plist::Value& value, const PSSpecifier& row);

}  // namespace vx
