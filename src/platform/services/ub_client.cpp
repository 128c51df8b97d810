#include "platform/services/ub_client.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/result.h"
#include "platform/foundation/root_jail.h"

namespace vx {
namespace {

// Across file systems: the bytes go to the destination through the atomic replacement
// (temporary file, sync, rename, folder sync), and only then is the source unlinked, so
// a failure at any step leaves the source in place.
Result<void> copyThenUnlink(const std::string& source, const std::string& destination) {
    WholeFile whole = readWholeFile(source, files::kMaxReadBytes);
    if (whole.status == WholeFile::Status::Missing)
        return fail("cannot read " + source + ": no such file");
    if (whole.status == WholeFile::Status::Failed) return fail(whole.reason);
    if (!whole.stable) return fail(source + " changed while it was copied");
    if (auto written = replaceFileAtomically(destination, whole.bytes, whole.identity.st_mode & 07777);
        !written)
        return fail(written.error());
    if (auto removed = jail::unlink(source); !removed) return fail("copied, but " + removed.error());
    return {};
}

// Both paths resolve inside the device root; the file is moved, never what a link at
// either place points to.
Result<void> move(std::string_view from, std::string_view to) {
    const std::string source = DeviceRoot::normalise(from);
    const std::string destination = DeviceRoot::normalise(to);
    auto info = jail::stat(source, false);
    if (!info) return fail("cannot move " + info.error());
    if (source == destination) return {};
    if (auto target = jail::stat(destination, false); target && S_ISDIR(target->st_mode))
        return fail("cannot move " + source + ": a folder stands at " + destination);
    auto renamed = jail::rename(source, destination);
    if (renamed) return {};
    if (renamed.errorCode() != EXDEV) return fail(renamed.error());
    if (!S_ISREG(info->st_mode))
        return fail("cannot move " + source + " across file systems: not a regular file");
    return copyThenUnlink(source, destination);
}

}  // namespace

std::shared_ptr<UBClient> UBClient::sharedInstance() {
    static const std::shared_ptr<UBClient> shared = std::make_shared<UBClient>();
    return shared;
}

void UBClient::moveFile(std::string_view from, std::string_view to) {
    if (auto moved = move(from, to); !moved) log::write("UBClient: " + moved.error());
}

}  // namespace vx
