#pragma once
// Which paths a theme may ask for below its own folder, and what each file is served as.
// The rules are lexical; the file itself is then opened through the root jail.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vx::preview {

inline constexpr std::size_t kMaxThemePathBytes = 1024;
inline constexpr std::size_t kMaxThemePathComponents = 32;

// A path relative to a theme's folder as a request gives it (percent escapes already decoded
// once), or nothing when it must not be served: empty, over-long, absolute, a "." or ".."
// component, an empty component, a NUL or other control character, a backslash, or a
// percent escape of ".", "/", "\" or NUL that a second decoding would turn into one.
std::optional<std::string> themeRelativePath(std::string_view requested);

// A path with every byte outside A-Z a-z 0-9 - . _ ~ / percent-encoded, for a URL.
std::string urlPath(std::string_view path);

// The Content-Type of a theme file, by its extension (case-insensitive); unknown types are
// served as application/octet-stream.
std::string_view contentTypeForPath(std::string_view path);

}  // namespace vx::preview
