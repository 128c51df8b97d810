#pragma once
// Text decoding "with encoding detection": byte-order mark (UTF-32/16 LE/BE, UTF-8), then
// strict UTF-8, then ICU charset detection, else Windows-1252. Says which it used.
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace vx::text {

struct Decoded {
    std::string text;      // UTF-8
    std::string encoding;  // "UTF-8", "UTF-16LE", "windows-1252", ...
};

Result<Decoded> decode(std::string_view bytes);
// initWithContentsOfFile:usedEncoding:error: on a device path.
Result<Decoded> readTextFile(std::string_view devicePath);

}  // namespace vx::text
