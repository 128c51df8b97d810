#include "platform/foundation/plist_file.h"

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/save_watch.h"

namespace vx::plist {

namespace {

// A file being rewritten in place by someone else can be caught half done; such a read is
// taken again a few times before it counts as unreadable.
constexpr int kReadAttempts = 3;

Result<Value> parseWholeFile(std::string_view devicePath) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        WholeFile file = readWholeFile(devicePath, kMaxInputBytes);
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

Result<Value> readFile(std::string_view devicePath) { return parseWholeFile(devicePath); }

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
    auto xml = writeXmlChecked(value);
    if (!xml) {
        std::string reason = "not saved to " + DeviceRoot::normalise(devicePath) + ": " + xml.error();
        log::write(reason);
        SaveWatch::note(reason);
        return fail(std::move(reason));
    }
    // A folder that could not be synced after the rename is logged; the file is in place.
    auto written = replaceFileAtomically(devicePath, *xml);
    // ignored by the watch: a caller may recover from a refused write (the theme editor
    // then asks the file mover), so only the caller knows whether this one was lost.
    if (!written) return fail(written.error());
    return {};
}

}  // namespace vx::plist
