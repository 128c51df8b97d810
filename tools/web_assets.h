#pragma once
// The web host's page, built into the program from web/ (tools/web_assets.cmake): each file
// with its name and its bytes.
#include <span>
#include <string_view>

namespace vx::web {

struct WebAsset {
    std::string_view path;  // "index.html", "app.js"
    std::string_view bytes;
};

std::span<const WebAsset> webAssets();

}  // namespace vx::web
