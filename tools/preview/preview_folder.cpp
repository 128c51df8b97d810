#include "preview/preview_folder.h"

#include <fstream>
#include <set>
#include <system_error>

#include "embedded_files.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "preview/lock_screen_preview.h"
#include "preview/theme_file_path.h"
#include "preview/theme_files.h"

namespace vx::preview {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWallpaperCopy = "wallpaper.jpg";
constexpr const char* kThemesFolder = "themes";
constexpr const char* kFolderFrameSandbox = "allow-scripts allow-same-origin";

Result<void> writeFile(const fs::path& path, std::string_view bytes) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error) return fail("cannot create " + path.parent_path().string() + ": " + error.message());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return fail("cannot write " + path.string());
    return {};
}

// An empty or missing folder, or one this program wrote before (whose own files go).
Result<void> prepareFolder(const fs::path& folder) {
    std::error_code error;
    if (!fs::exists(folder, error)) {
        fs::create_directories(folder, error);
        if (error) return fail("cannot create " + folder.string() + ": " + error.message());
        return {};
    }
    if (!fs::is_directory(folder, error)) return fail(folder.string() + " is not a folder");
    if (fs::exists(folder / kFolderMarker, error)) {
        for (const char* own :
             {"index.html", "preview.css", "preview.js", kWallpaperCopy, kThemesFolder})
            fs::remove_all(folder / own, error);
        if (error) return fail("cannot clear " + folder.string() + ": " + error.message());
        return {};
    }
    if (!fs::is_empty(folder, error))
        return fail(folder.string() +
                    " is not empty and holds no earlier preview; give a new or empty folder");
    return {};
}

// Copies the theme's regular files (links and anything the path rules refuse are left
// out), with its HTML document replaced by the injected one.
Result<void> copyTheme(const PreviewFrame& frame, const fs::path& target, std::uintmax_t& total) {
    Result<std::string> document = themeDocument(frame, "");
    if (!document) return fail(frame.name + ": " + document.error());
    for (const std::string& relative : files::subpathsOfDirectoryAtPath(frame.folder)) {
        if (relative == frame.html || !themeRelativePath(relative)) continue;
        if (!isRegularFileBelow(frame.folder, relative)) continue;
        Result<std::string> bytes = readFileBelow(frame.folder, relative);
        if (!bytes) return fail(frame.name + ": " + bytes.error());
        total += bytes->size();
        if (total > kMaxFolderBytes)
            return fail("the themes' files are larger than " + std::to_string(kMaxFolderBytes) +
                        " bytes");
        if (auto written = writeFile(target / relative, *bytes); !written) return written;
    }
    return writeFile(target / frame.html, *document);
}

}  // namespace

Result<void> writePreviewFolder(const fs::path& folder) {
    if (auto prepared = prepareFolder(folder); !prepared) return prepared;
    if (auto marked = writeFile(folder / kFolderMarker, ""); !marked) return marked;

    RecordIds ids([next = 0]() mutable { return std::to_string(++next); });
    const LockScreenPreview preview = assembleLockScreenPreview(ids);
    std::uintmax_t total = 0;
    std::set<std::string> copied;
    for (const PreviewFrame& frame : preview.frames) {
        if (frame.kind != FrameKind::Theme || !copied.insert(frame.recordId).second) continue;
        if (auto done = copyTheme(frame, folder / kThemesFolder / frame.recordId, total); !done)
            return done;
    }
    if (preview.hasWallpaper) {
        Result<std::string> wallpaper = readFileBelow(kWallpaperFolder, kWallpaperFile);
        if (!wallpaper) return fail("wallpaper: " + wallpaper.error());
        if (auto written = writeFile(folder / kWallpaperCopy, *wallpaper); !written) return written;
    }
    for (const web::WebAsset& asset : web::webAssets()) {
        if (asset.path != "preview.css" && asset.path != "preview.js") continue;
        if (auto written = writeFile(folder / asset.path, asset.bytes); !written) return written;
    }

    ModelAddresses addresses{[](const PreviewFrame& frame) {
                                 return std::string(kThemesFolder) + "/" + frame.recordId + "/" +
                                        urlPath(frame.html);
                             },
                             kWallpaperCopy};
    return writeFile(folder / "index.html", previewPageHtml(previewModel(preview, addresses),
                                                            PageOptions{"", "", kFolderFrameSandbox}));
}

}  // namespace vx::preview
