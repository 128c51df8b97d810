#include "preview/preview_service.h"

#include "preview/theme_file_path.h"
#include "preview/theme_files.h"

namespace vx::preview {

namespace {

Reply notFound() { return Reply{}; }

}  // namespace

PreviewService::PreviewService() : ids_(randomRecordId) {}

LockScreenPreview PreviewService::assemble() {
    std::lock_guard lock(mutex_);
    return assembleLockScreenPreview(ids_);
}

nlohmann::json PreviewService::model(const LockScreenPreview& preview) {
    ModelAddresses addresses{[](const PreviewFrame& frame) {
                                 return std::string(kThemeFilesPrefix) + frame.recordId + "/" +
                                        urlPath(frame.html) + "?v=" + optionsVersion(frame.optionLines);
                             },
                             std::string(kWallpaperAddress)};
    return previewModel(preview, addresses);
}

std::string PreviewService::page(std::string_view eventsAddress) {
    return previewPageHtml(model(assemble()), PageOptions{"/", std::string(eventsAddress)});
}

std::string PreviewService::modelJson() {
    return model(assemble()).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

Reply PreviewService::wallpaper() {
    Result<std::string> bytes = readFileBelow(kWallpaperFolder, kWallpaperFile);
    if (!bytes) return notFound();
    return Reply{200, "image/jpeg", std::move(bytes.value())};
}

bool PreviewService::isShownTheme(std::string_view recordId) {
    const LockScreenPreview preview = assemble();
    return themeFrameWithId(preview, recordId) != nullptr;
}

Reply PreviewService::themeFile(std::string_view recordId, std::string_view path) {
    const LockScreenPreview preview = assemble();
    const PreviewFrame* frame = themeFrameWithId(preview, recordId);
    if (!frame || !themeRelativePath(path)) return notFound();
    if (path == frame->html) {
        Result<std::string> document = themeDocument(
            *frame, std::string(kThemeFilesPrefix) + std::string(recordId) + "/");
        if (!document) return notFound();
        return Reply{200, std::string(contentTypeForPath(path)), std::move(document.value())};
    }
    Result<std::string> bytes = readThemeFile(*frame, path);
    if (!bytes) return notFound();
    return Reply{200, std::string(contentTypeForPath(path)), std::move(bytes.value())};
}

}  // namespace vx::preview
