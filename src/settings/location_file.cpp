#include "settings/location_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"

namespace vx {

std::string locationFileContents(double latitude, double longitude) {
    return "Lat=" + str::formatF(latitude) + "\nLong=" + str::formatF(longitude);
}

Result<void> writeLocationFile(double latitude, double longitude) {
    const std::string contents = locationFileContents(latitude, longitude);
    const auto hostPath = DeviceRoot::resolve(kLocationFilePath);
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    if (out) out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (out) out.close();
    if (!out) {
        std::string reason = "cannot write " + DeviceRoot::normalise(kLocationFilePath) + ": " +
                             std::strerror(errno);
        log::write(reason);
        return fail(std::move(reason));
    }
    return {};
}

}  // namespace vx
