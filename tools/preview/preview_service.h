#pragma once
// What the web host serves of the preview, free of any HTTP library: the page, the model its
// events carry, the wallpaper, and the selected themes' files by record id. Safe to call
// from several threads at once.
#include <mutex>
#include <string>
#include <string_view>

#include "preview/lock_screen_preview.h"

namespace vx::preview {

struct Reply {
    int status = 404;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body = "404\n";
};

// Addresses under the web host.
inline constexpr std::string_view kThemeFilesPrefix = "/theme-files/";
inline constexpr std::string_view kWallpaperAddress = "/preview/wallpaper.jpg";

class PreviewService {
public:
    PreviewService();

    // The preview page, following the events at `eventsAddress`.
    std::string page(std::string_view eventsAddress);
    // The model as one line of JSON, for the page's events.
    std::string modelJson();
    Reply wallpaper();
    // A file of the selected theme with that record id: its HTML document with the options
    // injected, or any other file below its folder. 404 for anything else.
    Reply themeFile(std::string_view recordId, std::string_view path);
    // Whether the id names a shown theme now: its files' addresses are capabilities.
    bool isShownTheme(std::string_view recordId);

private:
    LockScreenPreview assemble();
    nlohmann::json model(const LockScreenPreview& preview);

    std::mutex mutex_;
    RecordIds ids_;
};

}  // namespace vx::preview
