#include "preview/lock_screen_preview.h"

#include <cctype>
#include <cstdio>
#include <random>

#include "platform/foundation/bundle.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/preferences_store.h"
#include "platform/foundation/text.h"
#include "platform/ui/screen.h"
#include "preview/theme_file_path.h"
#include "preview/theme_files.h"
#include "theme_editor/variable_writing.h"
#include "themes/theme_discovery.h"

namespace vx::preview {

namespace {

// The preview's own few words, in the language the settings are shown in.
struct Words {
    std::string_view language, title, pluginNote, missingNote, outsideNote;
};
constexpr Words kEnglish{"en", "Lock screen preview", "Widget plugin: not shown in the preview",
                         "Theme files not found", "Not in a theme folder"};
constexpr Words kGerman{"de", "Vorschau des Sperrbildschirms", "Widget-Plug-in: nicht in der Vorschau",
                        "Theme-Dateien nicht gefunden", "Nicht in einem Theme-Ordner"};

const Words& words() { return Bundle::preferredLanguage() == kGerman.language ? kGerman : kEnglish; }

std::string recordKey(std::string_view name, std::string_view folder, std::string_view html) {
    std::string key;
    key.reserve(name.size() + folder.size() + html.size() + 2);
    key.append(name).push_back('\0');
    key.append(folder).push_back('\0');
    key.append(html);
    return key;
}

// A record's folder is one direct entry of a theme folder; anything else (a stored record
// pointing at the preferences folder, say) is never served.
bool isThemeFolderEntry(std::string_view folder) {
    const std::string normal = DeviceRoot::normalise(folder);
    const std::size_t slash = normal.rfind('/');
    if (slash == std::string::npos || slash + 1 >= normal.size()) return false;
    const std::string_view parent = std::string_view(normal).substr(0, slash);
    for (const ThemeFolder& themeFolder : kThemeFolders)
        if (themeFolder.path == parent) return true;
    return false;
}

std::vector<std::string> optionLinesFor(const plist::Dictionary* preferences, std::string_view folder) {
    const plist::Value* all = preferences ? preferences->find(kThemeOptionsKey) : nullptr;
    const plist::Value* lines = all ? plist::lookup(*all, folder) : nullptr;
    const plist::Array* array = lines ? lines->asArray() : nullptr;
    std::vector<std::string> result;
    if (!array) return result;
    for (const plist::Value& line : *array)
        if (const std::string* text = line.asString()) result.push_back(*text);
    return result;
}

// Kind and note of a record that is a theme record.
void classify(PreviewFrame& frame) {
    if (frame.html == kPluginMarker) {
        frame.kind = FrameKind::Plugin;
        frame.note = words().pluginNote;
        return;
    }
    if (!isThemeFolderEntry(frame.folder)) {
        frame.kind = FrameKind::Missing;
        frame.note = words().outsideNote;
        return;
    }
    const bool single = frame.html.find('/') == std::string::npos && themeRelativePath(frame.html);
    if (!single || !isRegularFileBelow(frame.folder, frame.html)) {
        frame.kind = FrameKind::Missing;
        frame.note = words().missingNote;
        return;
    }
    frame.kind = FrameKind::Theme;
}

bool startsWithAt(std::string_view text, std::size_t at, std::string_view prefix) {
    if (at + prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
    return true;
}

// The index just past the '>' that closes the tag opening at `at`, quotes respected.
std::size_t tagEnd(std::string_view text, std::size_t at) {
    char quote = 0;
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return text.size();
}

std::string tagName(std::string_view text, std::size_t at) {
    std::string name;
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c)) break;
        name.push_back(static_cast<char>(std::tolower(c)));
    }
    return name;
}

std::string hex64(std::uint64_t value) {
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(value));
    return buffer;
}

const char* kindName(FrameKind kind) {
    switch (kind) {
        case FrameKind::Theme: return "theme";
        case FrameKind::Plugin: return "plugin";
        case FrameKind::Missing: return "missing";
    }
    return "missing";
}

// JSON that may stand inside a <script> data block: every '<' written as \u003c.
std::string scriptSafeJson(const nlohmann::json& value) {
    const std::string dumped = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string safe;
    safe.reserve(dumped.size());
    for (char c : dumped) {
        if (c == '<') {
            safe += "\\u003c";
        } else {
            safe.push_back(c);
        }
    }
    return safe;
}

std::string htmlAttribute(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '"': escaped += "&quot;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            default: escaped.push_back(c);
        }
    }
    return escaped;
}

}  // namespace

RecordIds::RecordIds(std::function<std::string()> makeId) : makeId_(std::move(makeId)) {}

std::string RecordIds::idFor(std::string_view name, std::string_view folder, std::string_view html) {
    std::string key = recordKey(name, folder, html);
    if (auto found = ids_.find(key); found != ids_.end()) return found->second;
    std::string id = makeId_();
    ids_.emplace(std::move(key), id);
    return id;
}

std::string randomRecordId() {
    static std::random_device device;
    std::uniform_int_distribution<std::uint64_t> any;
    return hex64(any(device)) + hex64(any(device));
}

WidgetPoint widgetPosition(const plist::Dictionary* preferences, std::string_view name) {
    if (const plist::Dictionary* entry = storedCoordinateEntry(preferences, name))
        return {coordinateValue(*entry, kWidgetXKey), coordinateValue(*entry, kWidgetYKey)};
    if (!preferences) return {};
    return {coordinateValue(*preferences, kWidgetXKey), coordinateValue(*preferences, kWidgetYKey)};
}

LockScreenPreview assembleLockScreenPreview(RecordIds& ids) {
    std::shared_ptr<const plist::Dictionary> preferences = readPlistDictionaryCached(kPreferencesPath);
    return assembleLockScreenPreview(preferences.get(), ids);
}

LockScreenPreview assembleLockScreenPreview(const plist::Dictionary* preferences, RecordIds& ids) {
    LockScreenPreview preview;
    const CGRect screen = UIScreen::mainScreen().bounds();
    preview.width = screen.size.width;
    preview.height = screen.size.height;
    preview.hasWallpaper = isRegularFileBelow(kWallpaperFolder, kWallpaperFile);
    std::map<std::string, int> occurrences;
    for (const plist::Value& element : selectedThemes(preferences)) {
        const std::string* name = recordString(element, "name");
        const std::string* folder = recordString(element, "path");
        const std::string* html = recordString(element, "html");
        if (!name || !folder || !html) {
            log::write("preview: a stored selection that is no theme record is left out");
            continue;
        }
        PreviewFrame frame;
        frame.recordId = ids.idFor(*name, *folder, *html);
        frame.key = frame.recordId + "-" + std::to_string(occurrences[frame.recordId]++);
        frame.name = *name;
        frame.folder = *folder;
        frame.html = *html;
        frame.position = widgetPosition(preferences, *name);
        classify(frame);
        if (frame.kind == FrameKind::Theme) frame.optionLines = optionLinesFor(preferences, *folder);
        preview.frames.push_back(std::move(frame));
    }
    return preview;
}

const PreviewFrame* themeFrameWithId(const LockScreenPreview& preview, std::string_view recordId) {
    for (const PreviewFrame& frame : preview.frames)
        if (frame.kind == FrameKind::Theme && frame.recordId == recordId) return &frame;
    return nullptr;
}

Result<std::string> readThemeFile(const PreviewFrame& frame, std::string_view relativePath) {
    if (frame.kind != FrameKind::Theme) return fail("not a shown theme: " + frame.name);
    std::optional<std::string> relative = themeRelativePath(relativePath);
    if (!relative) {
        log::write("preview: refused a theme file path of " + frame.name);
        return fail("refused path");
    }
    return readFileBelow(frame.folder, *relative);
}

Result<std::string> themeDocument(const PreviewFrame& frame, std::string_view baseHref) {
    const std::string bytes = VX_TRY(readThemeFile(frame, frame.html));
    const text::Decoded decoded = VX_TRY(text::decode(bytes));
    return injectAtStartOfHead(decoded.text, injectedBlock(frame.optionLines, baseHref));
}

std::string scriptSafe(std::string_view script) {
    std::string safe;
    safe.reserve(script.size());
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (startsWithAt(script, i, "</script")) {
            safe += "<\\/";
            ++i;  // the '/' is written above
            continue;
        }
        if (startsWithAt(script, i, "<!--")) {
            safe += "<\\!";
            ++i;  // the '!' is written above
            continue;
        }
        // U+2028 and U+2029 are E2 80 A8 and E2 80 A9 in UTF-8.
        if (script[i] == '\xE2' && i + 2 < script.size() && script[i + 1] == '\x80' &&
            (script[i + 2] == '\xA8' || script[i + 2] == '\xA9')) {
            safe += script[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
            continue;
        }
        safe.push_back(script[i]);
    }
    return safe;
}

std::string injectedBlock(const std::vector<std::string>& optionLines, std::string_view baseHref) {
    std::string block = "<meta charset=\"utf-8\">";
    if (!baseHref.empty()) block += "<base href=\"" + htmlAttribute(baseHref) + "\">";
    if (optionLines.empty()) return block;
    block += "<script>\n";
    for (const std::string& line : optionLines) block += scriptSafe(line) + "\n";
    block += "</script>";
    return block;
}

std::string injectAtStartOfHead(std::string_view document, std::string_view block) {
    std::size_t at = 0;
    std::size_t insertion = std::string_view::npos;
    while (at < document.size()) {
        const unsigned char c = static_cast<unsigned char>(document[at]);
        if (std::isspace(c)) {
            ++at;
            continue;
        }
        if (startsWithAt(document, at, "<!--")) {
            const std::size_t close = document.find("-->", at + 4);
            at = close == std::string_view::npos ? document.size() : close + 3;
            continue;
        }
        if (startsWithAt(document, at, "<!") || startsWithAt(document, at, "<?")) {
            at = tagEnd(document, at);
            continue;
        }
        const std::string name = c == '<' ? tagName(document, at) : std::string();
        if (name == "html") {
            at = tagEnd(document, at);
            continue;
        }
        insertion = name == "head" ? tagEnd(document, at) : at;
        break;
    }
    if (insertion == std::string_view::npos) insertion = document.size();
    std::string result;
    result.reserve(document.size() + block.size());
    result.append(document.substr(0, insertion)).append(block).append(document.substr(insertion));
    return result;
}

std::string optionsVersion(const std::vector<std::string>& optionLines) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const std::string& line : optionLines) {
        for (unsigned char c : line) hash = (hash ^ c) * 1099511628211ull;
        hash = (hash ^ 0x0A) * 1099511628211ull;
    }
    return hex64(hash).substr(0, 12);
}

nlohmann::json previewModel(const LockScreenPreview& preview, const ModelAddresses& addresses) {
    nlohmann::json frames = nlohmann::json::array();
    for (const PreviewFrame& frame : preview.frames) {
        const bool shown = frame.kind == FrameKind::Theme;
        frames.push_back(
            {{"key", frame.key},
             {"name", frame.name},
             {"kind", kindName(frame.kind)},
             {"x", frame.position.x},
             {"y", frame.position.y},
             {"note", frame.note},
             {"src", shown ? nlohmann::json(addresses.frameSource(frame)) : nlohmann::json()}});
    }
    return {{"width", preview.width},
            {"height", preview.height},
            {"wallpaper", preview.hasWallpaper ? nlohmann::json(addresses.wallpaper) : nlohmann::json()},
            {"frames", std::move(frames)}};
}

std::string previewPageHtml(const nlohmann::json& model, const PageOptions& options) {
    const std::string prefix = htmlAttribute(options.assetPrefix);
    const std::string language(words().language);
    const std::string title(words().title);
    std::string page = "<!DOCTYPE html>\n<html lang=\"" + language +
                       "\">\n<head>\n<meta charset=\"utf-8\">\n";
    page += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    page += "<title>" + title + "</title>\n";
    page += "<link rel=\"stylesheet\" href=\"" + prefix + "preview.css\">\n";
    page += "<script src=\"" + prefix + "preview.js\" defer></script>\n</head>\n";
    page += "<body data-sandbox=\"" + htmlAttribute(options.frameSandbox) + "\"";
    if (!options.eventsAddress.empty())
        page += " data-events=\"" + htmlAttribute(options.eventsAddress) + "\"";
    page += ">\n<script type=\"application/json\" id=\"preview-model\">" + scriptSafeJson(model) +
            "</script>\n";
    page += "<main id=\"preview\" aria-label=\"" + title + "\"></main>\n</body>\n</html>\n";
    return page;
}

}  // namespace vx::preview
