#include "settings/location_file.h"

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/strings.h"

namespace vx {

std::string locationFileContents(double latitude, double longitude) {
    return "Lat=" + str::formatF(latitude) + "\nLong=" + str::formatF(longitude);
}

Result<void> writeLocationFile(double latitude, double longitude) {
    const std::string contents = locationFileContents(latitude, longitude);
    // Replaced, never written in place: a link at the file's place is replaced, not followed.
    VX_TRY(replaceFileAtomically(kLocationFilePath, contents));  // a failure is logged by the writer
    return {};
}

}  // namespace vx
