#include "themes/theme_discovery.h"

#include <algorithm>
#include <map>

#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"
#include "platform/foundation/text.h"

namespace vx {
namespace {

constexpr std::array<std::string_view, 3> kStrippedSuffixes{".theme", ".veltrix", ".bundle"};

std::optional<std::string_view> htmlOfEntry(std::string_view folder, const std::string& path) {
    if (files::fileExistsAtPath(path + "/" + std::string(kLockBackgroundHtml)))
        return kLockBackgroundHtml;
    if (files::fileExistsAtPath(path + "/" + std::string(kWidgetHtml))) return kWidgetHtml;
    if (folder == kWidgetsFolder) return kPluginMarker;
    return std::nullopt;
}

}  // namespace

std::string themeNameForEntry(std::string_view entry) {
    for (std::string_view suffix : kStrippedSuffixes) {
        if (str::hasSuffix(entry, suffix)) return str::stringByDeletingPathExtension(entry);
    }
    return std::string(entry);
}

std::optional<plist::Dictionary> themeRecordForEntry(std::string_view folder, std::string_view entry) {
    std::string path = std::string(folder) + "/" + std::string(entry);
    std::optional<std::string_view> html = htmlOfEntry(folder, path);
    if (!html) return std::nullopt;
    return plist::Dictionary{
        {"name", themeNameForEntry(entry)}, {"path", std::move(path)}, {"html", *html}};
}

std::vector<std::string_view> enabledThemeFolders(const plist::Dictionary* preferences) {
    std::vector<std::string_view> folders;
    for (const ThemeFolder& folder : kThemeFolders) {
        const plist::Value* off = preferences ? preferences->find(folder.switchKey) : nullptr;
        if (off && off->boolValue()) continue;
        folders.push_back(folder.path);
    }
    return folders;
}

plist::Dictionary scanThemeFolders(const std::vector<std::string_view>& folders) {
    std::map<std::string, plist::Dictionary, std::less<>> byEntry;
    for (std::string_view folder : folders) {
        std::vector<std::string> entries = files::contentsOfDirectoryAtPath(folder);
        std::sort(entries.begin(), entries.end());
        for (std::string& entry : entries) {
            // A name that is not text a property list can carry could never be saved as a
            // selection: such an entry is not offered.
            if (auto usable = text::checkXmlText(entry); !usable) {
                log::write("theme entry " + text::toXmlText(std::string(folder) + "/" + entry) +
                           " is not listed: its name " + usable.error());
                continue;
            }
            if (auto record = themeRecordForEntry(folder, entry))
                byEntry.insert_or_assign(std::move(entry), std::move(*record));
        }
    }
    std::vector<plist::Dictionary::Entry> entries;
    entries.reserve(byEntry.size());
    for (auto& [entry, record] : byEntry) entries.emplace_back(entry, std::move(record));
    return plist::Dictionary::fromEntries(std::move(entries));
}

const plist::Array& selectedThemes(const plist::Dictionary* preferences) {
    static const plist::Array kNone;
    const plist::Value* list = preferences ? preferences->find(kThemesSelectedKey) : nullptr;
    const plist::Array* array = list ? list->asArray() : nullptr;
    return array ? *array : kNone;
}

const std::string* recordString(const plist::Value& element, std::string_view key) {
    const plist::Value* value = plist::lookup(element, key);
    return value ? value->asString() : nullptr;
}

const std::string* recordName(const plist::Value& element) { return recordString(element, "name"); }

}  // namespace vx
