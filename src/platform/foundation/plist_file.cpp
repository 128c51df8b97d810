#include "platform/foundation/plist_file.h"

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"

namespace vx::plist {

namespace {

// A file being rewritten in place by someone else can be caught half done; such a read is
// taken again a few times before it counts as unreadable.
constexpr int kReadAttempts = 3;

Result<Value> parseWholeFile(const std::filesystem::path& hostPath, std::string_view devicePath) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        WholeFile file = readWholeFile(hostPath, kMaxInputBytes);
        if (file.status == WholeFile::Status::Missing)
            return fail("no file at " + std::string(devicePath));
        if (file.status == WholeFile::Status::Failed) return fail(file.reason);
        if (!file.stable) continue;
        auto parsed = parse(file.bytes);
        if (!parsed) return fail(std::string(devicePath) + " is not a property list: " + parsed.error());
        return parsed;
    }
    return fail(std::string(devicePath) + " kept changing while it was read");
}

}  // namespace

Result<Value> readFile(std::string_view devicePath) {
    return parseWholeFile(DeviceRoot::resolve(devicePath), devicePath);
}

std::optional<Dictionary> dictionaryWithContentsOfFile(std::string_view devicePath) {
    auto value = readFile(devicePath);
    if (!value || !value->isDictionary()) return std::nullopt;
    return std::move(value->dictionary());
}

std::optional<Array> arrayWithContentsOfFile(std::string_view devicePath) {
    auto value = readFile(devicePath);
    if (!value || !value->isArray()) return std::nullopt;
    return std::move(value->array());
}

Result<void> writeFileAtomically(std::string_view devicePath, const Value& value) {
    return replaceFileAtomically(DeviceRoot::resolve(devicePath), writeXml(value));
}

}  // namespace vx::plist
