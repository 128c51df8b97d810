#include "preview/theme_file_path.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace vx::preview {

namespace {

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool isForbiddenByte(unsigned char c) { return c < 0x20 || c == 0x7F || c == '\\'; }

// "%2e", "%2f", "%5c" and "%00" in any case: an encoded trick that survived one decoding.
bool holdsEncodedSeparator(std::string_view path) {
    const std::string lower = lowerAscii(path);
    for (std::string_view escape : {"%2e", "%2f", "%5c", "%00"})
        if (lower.find(escape) != std::string::npos) return true;
    return false;
}

bool isAcceptableComponent(std::string_view component) {
    return !component.empty() && component != "." && component != ".." && component.size() <= 255;
}

}  // namespace

std::optional<std::string> themeRelativePath(std::string_view requested) {
    if (requested.empty() || requested.size() > kMaxThemePathBytes || requested.front() == '/')
        return std::nullopt;
    if (std::any_of(requested.begin(), requested.end(),
                    [](char c) { return isForbiddenByte(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    if (holdsEncodedSeparator(requested)) return std::nullopt;
    std::size_t components = 0;
    std::size_t start = 0;
    while (start <= requested.size()) {
        std::size_t end = requested.find('/', start);
        if (end == std::string_view::npos) end = requested.size();
        if (!isAcceptableComponent(requested.substr(start, end - start))) return std::nullopt;
        if (++components > kMaxThemePathComponents) return std::nullopt;
        start = end + 1;
    }
    return std::string(requested);
}

std::string urlPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : path) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            encoded.push_back(c);
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string_view contentTypeForPath(std::string_view path) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kTypes{{
        {"html", "text/html; charset=utf-8"},
        {"htm", "text/html; charset=utf-8"},
        {"js", "text/javascript"},
        {"mjs", "text/javascript"},
        {"css", "text/css"},
        {"json", "application/json"},
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"gif", "image/gif"},
        {"svg", "image/svg+xml"},
        {"webp", "image/webp"},
        {"ico", "image/x-icon"},
        {"woff", "font/woff"},
        {"woff2", "font/woff2"},
        {"ttf", "font/ttf"},
        {"otf", "font/otf"},
        {"mp3", "audio/mpeg"},
        {"mp4", "video/mp4"},
        {"txt", "text/plain; charset=utf-8"},
        {"plist", "application/xml"},
        {"xml", "application/xml"},
    }};
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return "application/octet-stream";
    const std::string extension = lowerAscii(path.substr(dot + 1));
    for (const auto& [known, type] : kTypes)
        if (known == extension) return type;
    return "application/octet-stream";
}

}  // namespace vx::preview
