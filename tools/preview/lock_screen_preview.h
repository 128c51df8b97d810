#pragma once
// The lock-screen preview: what the lock-screen add-on would show for the stored settings.
// From the device root and the preferences file it builds the list of selected themes, back
// to front, each placed at its coordinates, and each theme's document with its stored
// variables injected. The web host and the `preview` command both render from this.
#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"
#include "themes/widget_coordinates.h"

namespace vx::preview {

// Where a lock-screen wallpaper lives on the device: the JPEG thumbnail the system keeps of
// the lock-screen background. The preview shows a plain background when there is none.
inline constexpr std::string_view kWallpaperFolder = "/var/mobile/Library/SpringBoard";
inline constexpr std::string_view kWallpaperFile = "LockBackgroundThumbnail.jpg";

enum class FrameKind {
    Theme,    // the theme's HTML document in its own sandboxed frame
    Plugin,   // a native widget plugin: a labelled placeholder
    Missing,  // files that cannot be shown: a labelled placeholder
};

struct PreviewFrame {
    std::string key;       // unique in the list: record id plus the occurrence
    std::string recordId;  // the same for every copy of one record
    std::string name;
    std::string folder;  // the record's "path", as stored
    std::string html;    // the record's "html", as stored
    WidgetPoint position;
    FrameKind kind = FrameKind::Missing;
    std::string note;                      // why a placeholder stands here
    std::vector<std::string> optionLines;  // "ThemeOptions" under the folder
};

struct LockScreenPreview {
    double width = 0;
    double height = 0;
    bool hasWallpaper = false;
    std::vector<PreviewFrame> frames;  // the first at the back
};

// Names the records that a preview shows, stably for the life of the object: one id per
// distinct record (all three entries), made by `makeId` on first sight.
class RecordIds {
public:
    explicit RecordIds(std::function<std::string()> makeId);
    std::string idFor(std::string_view name, std::string_view folder, std::string_view html);

private:
    std::function<std::string()> makeId_;
    std::map<std::string, std::string, std::less<>> ids_;
};

// Ids of 128 random bits in hex: a theme's frame can name its own files, and nobody can
// guess another's.
std::string randomRecordId();

// The preview of the settings stored under the current device root. The screen is the
// toolkit's main screen.
LockScreenPreview assembleLockScreenPreview(RecordIds& ids);
// The same from given preferences (nullptr: no preferences file).
LockScreenPreview assembleLockScreenPreview(const plist::Dictionary* preferences, RecordIds& ids);

// Where a widget stands: its "WidgetCoordinates" entry, else the top-level "widgetX" and
// "widgetY", else 0, 0; each coordinate read as the reset offer reads it.
WidgetPoint widgetPosition(const plist::Dictionary* preferences, std::string_view name);

// The frame of a shown theme (kind Theme) with that record id, or nothing.
const PreviewFrame* themeFrameWithId(const LockScreenPreview& preview, std::string_view recordId);

// A file of a shown theme, by a path relative to its folder. Refused (and logged) when the
// path breaks the rules of theme_file_path.h or does not resolve to a regular file inside
// the theme's folder.
Result<std::string> readThemeFile(const PreviewFrame& frame, std::string_view relativePath);

// The theme's HTML document, decoded to UTF-8, with one block put at the start of its
// <head>: a UTF-8 charset declaration, `<base href>` when baseHref is not empty, and the
// theme's option lines as one <script>.
Result<std::string> themeDocument(const PreviewFrame& frame, std::string_view baseHref);

// ---- The pieces, for the tests and for the two front ends.

// The block inserted at the start of <head>, made safe to stand inside a script element.
std::string injectedBlock(const std::vector<std::string>& optionLines, std::string_view baseHref);
// The document with `block` at the start of its <head>; a document without one gets it where
// the parser would open the head (after the doctype and <html>, before anything else).
std::string injectAtStartOfHead(std::string_view document, std::string_view block);
// Script text that cannot end its <script> element or open an HTML comment inside it, with
// U+2028 and U+2029 written as escapes.
std::string scriptSafe(std::string_view script);

// A short tag of the option lines: frames whose lines change get a new address and reload.
std::string optionsVersion(const std::vector<std::string>& optionLines);

// What the preview page renders: the screen, the wallpaper's address, and one entry per
// frame with its kind, place, label and the address of its document.
struct ModelAddresses {
    std::function<std::string(const PreviewFrame&)> frameSource;
    std::string wallpaper;  // used when the preview has a wallpaper
};
nlohmann::json previewModel(const LockScreenPreview& preview, const ModelAddresses& addresses);

// How the preview page is served.
struct PageOptions {
    std::string assetPrefix;    // where preview.css and preview.js are: "" or "/"
    std::string eventsAddress;  // the events to follow; empty: a still page
    // The theme frames' sandbox. The web host gives "allow-scripts" alone: an opaque origin
    // that cannot reach the page, its cookie or the API. A folder opened from the disk needs
    // "allow-scripts allow-same-origin", as browsers let no sandboxed frame load a file from
    // the disk; a file: document has an origin of its own there, so the page stays out of
    // reach all the same.
    std::string frameSandbox = "allow-scripts";
};

// The preview page: its stylesheet and script, and the model in a JSON data block.
std::string previewPageHtml(const nlohmann::json& model, const PageOptions& options);

}  // namespace vx::preview
