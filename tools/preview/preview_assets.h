#pragma once
// The preview page's stylesheet and script (web/preview.css, web/preview.js), built into the
// program by tools/preview/preview_assets.cmake.
#include <optional>
#include <string_view>

namespace vx::preview {

struct PreviewAsset {
    std::string_view name;  // "preview.js"
    std::string_view contentType;
    std::string_view bytes;
};

// The asset of that name, or nothing.
std::optional<PreviewAsset> previewAsset(std::string_view name);
// Every asset, for writing a self-contained folder.
const PreviewAsset* previewAssetsBegin();
const PreviewAsset* previewAssetsEnd();

}  // namespace vx::preview
