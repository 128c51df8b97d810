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
// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);
// Bytes in the named encoding (any name ICU knows) to UTF-8; an error on any byte
// sequence that is not valid in that encoding.
Result<std::string> toUtf8(std::string_view bytes, const char* encoding);
// initWithContentsOfFile:usedEncoding:error: on a device path.
Result<Decoded> readTextFile(std::string_view devicePath);

}  // namespace vx::text
