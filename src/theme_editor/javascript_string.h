#pragma once
// The contents of a double-quoted JavaScript string literal, both ways: how a value is
// written into a declaration line, and how the text between the quotes of a script's
// declaration (or of one of our own lines) reads back as the value it stands for.
#include <string>
#include <string_view>

namespace vx {

// The text as the inside of a double-quoted JavaScript string: backslash, double quote,
// line feed, carriage return, U+2028 and U+2029 escaped, and "</" written "<\/". Text
// without these characters comes back unchanged.
std::string escapeJavaScriptString(std::string_view text);

// The value a JavaScript engine gives the escapes of a string literal's contents: \\ \n \r
// \t \b \f \v, \0 and the legacy octal forms (\1 .. \377), \xHH, \uHHHH (a surrogate pair
// joins; a lone surrogate becomes U+FFFD), \u{H...}, a backslash before a line break (a
// line continuation: both vanish), and any other escaped character standing for itself.
// A malformed \x or \u escape, which an engine would refuse, and a trailing backslash are
// kept as written.
std::string decodeJavaScriptString(std::string_view text);

}  // namespace vx
