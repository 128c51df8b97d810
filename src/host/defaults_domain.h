#pragma once
// Preferences domains named by rows ("defaults" = "com.example.plugin"): the file
// /var/mobile/Library/Preferences/<domain>.plist. Reads parse afresh; writes go through the
// preferences store's write protocol and post the row's notification only after the file is
// in place.
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx {

// A domain must be a plain file name: not empty, no "/", not starting with "." and not
// longer than a file name may be; anything else could name a file outside the folder.
bool isValidDefaultsDomain(std::string_view domain);
// The device path of a valid domain's file.
std::optional<std::string> defaultsDomainPath(std::string_view domain);

// The value a row shows: the domain file's value under `key`, else `fallback` (the row's
// "default"). An invalid domain, or a missing or unreadable file, reads as empty.
std::optional<plist::Value> readDefaultsValue(std::string_view domain, std::string_view key,
                                              const plist::Value* fallback);

// Stores `value` under `key` in the domain file (created when missing), then posts
// `notification` (when not empty) once. Nothing is posted when the write fails.
Result<void> writeDefaultsValue(std::string_view domain, const std::string& key,
                                const plist::Value& value, std::string_view notification);

// The one way a row's value is stored: `value` under `key` in the property-list file at a
// device path (created when missing) under the preferences store's write protocol, then
// `notification` (when not empty) posted once. Nothing is posted when the write fails.
Result<void> storeValueAndNotify(std::string_view devicePath, const std::string& key,
                                 const plist::Value& value, std::string_view notification);

}  // namespace vx
