#include "host/defaults_domain.h"

#include "platform/darwin/darwin_notify.h"
#include "platform/foundation/log.h"
#include "platform/foundation/preferences_store.h"

namespace vx {
namespace {

constexpr std::string_view kPreferencesFolder = "/var/mobile/Library/Preferences";
constexpr std::size_t kMaxDomainBytes = 200;  // leaves room for ".plist" and a backup suffix

}  // namespace

bool isValidDefaultsDomain(std::string_view domain) {
    return !domain.empty() && domain.size() <= kMaxDomainBytes && domain.front() != '.' &&
           domain.find('/') == std::string_view::npos && domain.find('\0') == std::string_view::npos;
}

std::optional<std::string> defaultsDomainPath(std::string_view domain) {
    if (!isValidDefaultsDomain(domain)) return std::nullopt;
    return std::string(kPreferencesFolder) + "/" + std::string(domain) + ".plist";
}

std::optional<plist::Value> readDefaultsValue(std::string_view domain, std::string_view key,
                                              const plist::Value* fallback) {
    if (auto path = defaultsDomainPath(domain)) {
        if (auto stored = readPlistDictionary(*path)) {
            if (const plist::Value* value = stored->find(key)) return *value;
        }
    } else {
        log::write("Preferences domain \"" + std::string(domain) + "\" is not a file name");
    }
    if (fallback) return *fallback;
    return std::nullopt;
}

Result<void> writeDefaultsValue(std::string_view domain, const std::string& key,
                                const plist::Value& value, std::string_view notification) {
    auto path = defaultsDomainPath(domain);
    if (!path) {
        std::string reason = "Preferences domain \"" + std::string(domain) + "\" is not a file name";
        log::write(reason);
        return fail(reason);
    }
    return storeValueAndNotify(*path, key, value, notification);
}

Result<void> storeValueAndNotify(std::string_view devicePath, const std::string& key,
                                 const plist::Value& value, std::string_view notification) {
    Result<SaveOutcome> saved = updatePlistFile(devicePath, WhenMissing::Create,
                                                [&](plist::Dictionary& contents) {
                                                    contents.set(key, value);
                                                    return true;
                                                });
    if (!saved) return fail(saved.error());  // updatePlistFile logged the reason
    // ignored: a failed post is logged by darwin::post; the value is stored either way.
    if (!notification.empty()) (void)darwin::post(notification);
    if (*saved == SaveOutcome::WrittenFolderNotSynced) return fail(std::string(kNotSyncedReason));
    return {};
}

}  // namespace vx
