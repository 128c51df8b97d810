#pragma once
// Files built into the program (tools/embed_files.cmake): each with its path inside its
// folder and its bytes.
#include <span>
#include <string_view>

namespace vx {

struct EmbeddedFile {
    std::string_view path;  // "index.html", "de.lproj/Localizable.strings"
    std::string_view bytes;
};

namespace web {
// The web host's page, from web/.
using WebAsset = EmbeddedFile;
std::span<const WebAsset> webAssets();
}  // namespace web

namespace cli {
// The settings bundle's files, from resources/VeltrixSettings.bundle.
using BundleResource = EmbeddedFile;
std::span<const BundleResource> bundleResources();
}  // namespace cli

}  // namespace vx
