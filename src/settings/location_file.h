#pragma once
// The location file that the root page's location export and MyLocation write: two lines,
// "Lat=%f" and "Long=%f", separated by one line feed and with none at the end, in ASCII,
// replacing the whole file (not atomically: the widgets read it only on demand).
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace vx {

// The path both writers use, as written; ".." never climbs above the device root, so it
// names /var/mobile/Documents/myLocation.txt.
inline constexpr std::string_view kLocationFilePath = "/../../../../var/mobile/Documents/myLocation.txt";

std::string locationFileContents(double latitude, double longitude);

// Writes the file. A missing folder or a refused write is logged and returned; the
// writers themselves carry on regardless.
Result<void> writeLocationFile(double latitude, double longitude);

}  // namespace vx
