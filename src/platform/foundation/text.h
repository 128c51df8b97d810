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
// Text that a property list (any XML file) can carry: valid UTF-8 holding only characters
// XML 1.0 allows — tab, LF, CR, U+0020–U+D7FF, U+E000–U+FFFD, U+10000–U+10FFFF. So no NUL,
// no other C0 control, no U+FFFE or U+FFFF, no surrogate. Check it where text comes in
// (a command's argument, a typed text, a script's value, a file name); the reason names the
// first fault: "byte 4 is not valid UTF-8", "U+0001 at byte 1 is not allowed in XML".
Result<void> checkXmlText(std::string_view text);
bool isXmlText(std::string_view text);
// The lenient reading of what another program wrote: every malformed UTF-8 sequence and
// every character XML forbids becomes U+FFFD; everything else is kept.
std::string toXmlText(std::string_view text);
// Appends `text` with '<', '>' and '&' written as entities, in one pass that also checks it
// is text XML can carry (as isXmlText); when it is not, returns false with `out` unchanged.
bool appendEscapedXmlText(std::string& out, std::string_view text);
// Bytes in the named encoding (any name ICU knows) to UTF-8; an error on any byte
// sequence that is not valid in that encoding.
Result<std::string> toUtf8(std::string_view bytes, const char* encoding);
// initWithContentsOfFile:usedEncoding:error: on a device path.
Result<Decoded> readTextFile(std::string_view devicePath);

}  // namespace vx::text
