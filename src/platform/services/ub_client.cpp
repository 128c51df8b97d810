#include "platform/services/ub_client.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/result.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

std::string describe(std::string_view what, const fs::path& path, int error) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(error);
}

// Across file systems: the bytes go to the destination through the atomic replacement
// (temporary file, sync, rename, folder sync), and only then is the source unlinked, so
// a failure at any step leaves the source in place.
Result<void> copyThenUnlink(const fs::path& source, const fs::path& destination) {
    WholeFile whole = readWholeFile(source, files::kMaxReadBytes);
    if (whole.status == WholeFile::Status::Missing) return fail(describe("cannot read", source, ENOENT));
    if (whole.status == WholeFile::Status::Failed) return fail(whole.reason);
    if (!whole.stable) return fail(source.string() + " changed while it was copied");
    if (auto written = replaceFileAtomically(destination, whole.bytes, whole.identity.st_mode & 07777); !written)
        return written;
    if (::unlink(source.c_str()) != 0)
        return fail(describe("copied, but cannot remove", source, errno));
    return {};
}

Result<void> move(std::string_view from, std::string_view to) {
    const fs::path source = DeviceRoot::resolve(from);
    const fs::path destination = DeviceRoot::resolve(to);
    struct stat info {};
    if (::lstat(source.c_str(), &info) != 0) return fail(describe("cannot move", source, errno));
    if (source == destination) return {};
    struct stat target {};
    if (::stat(destination.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
        return fail("cannot move " + source.string() + ": a folder stands at " + destination.string());
    if (::rename(source.c_str(), destination.c_str()) == 0) return {};
    if (errno != EXDEV) return fail(describe("cannot move " + source.string() + " to", destination, errno));
    if (!S_ISREG(info.st_mode))
        return fail("cannot move " + source.string() + " across file systems: not a regular file");
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
