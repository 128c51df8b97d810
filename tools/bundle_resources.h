#pragma once
// The settings bundle's files, built into the program from resources/VeltrixSettings.bundle
// (tools/bundle_resources.cmake): each with its path inside the bundle and its bytes.
#include <span>
#include <string_view>

namespace vx::cli {

struct BundleResource {
    std::string_view path;  // "VeltrixSettings.plist", "de.lproj/Localizable.strings"
    std::string_view bytes;
};

std::span<const BundleResource> bundleResources();

}  // namespace vx::cli
