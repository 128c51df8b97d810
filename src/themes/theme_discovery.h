#pragma once
// Theme discovery: the six theme folders, the scan of their entries into theme records,
// and the readers of the stored selection that every theme page shares.
//
// A theme record is a dictionary of exactly three strings: "name" (the entry's name less
// ".theme", ".veltrix" or ".bundle"), "path" ("<folder>/<entry>") and "html"
// ("LockBackground.html", "Widget.html", or "Plugin" for a bare entry of /Library/Widgets).
// Two records are the same theme only when all three are equal.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/plist_value.h"

namespace vx {

inline constexpr std::string_view kThemesSelectedKey = "ThemesSelected";
inline constexpr std::string_view kWidgetCoordinatesKey = "WidgetCoordinates";
// Posted by the theme-folder switches, and by tools that change a theme's stored keys.
inline constexpr std::string_view kThemesChangedNotification = "com.corvane.veltrix/themeschanged";

inline constexpr std::string_view kLockBackgroundHtml = "LockBackground.html";
inline constexpr std::string_view kWidgetHtml = "Widget.html";
inline constexpr std::string_view kPluginMarker = "Plugin";
inline constexpr std::string_view kWidgetsFolder = "/Library/Widgets";

struct ThemeFolder {
    std::string_view path;
    std::string_view switchKey;  // true in the preferences file leaves the folder out
};

// In scan order: a later folder's entry replaces an earlier one of the same entry name.
inline constexpr std::array<ThemeFolder, 6> kThemeFolders{{
    {"/Library/Widgets", "veltrixThemes"},
    {"/var/mobile/Library/Veltrix", "veltrixThemes"},
    {"/var/mobile/Library/Tandrel", "tandrelThemes"},
    {"/Library/Themes", "winterboardThemes"},
    {"/var/mobile/Library/iWidgets", "iwidgetThemes"},
    {"/var/mobile/Library/GroovyLock", "groovyThemes"},
}};

// The display name of a folder entry (the suffix test is case-sensitive).
std::string themeNameForEntry(std::string_view entry);

// The record of one folder entry, or nothing when the entry is no theme.
std::optional<plist::Dictionary> themeRecordForEntry(std::string_view folder, std::string_view entry);

// The folders to scan, given the preferences (nothing: every folder).
std::vector<std::string_view> enabledThemeFolders(const plist::Dictionary* preferences);

// The theme map: entry name → record, keys in byte order (the row order). Each folder is
// listed in byte order of its entry names, so the scan gives the same map on every run.
plist::Dictionary scanThemeFolders(const std::vector<std::string_view>& folders);

// ---- Reading what other pages and processes stored. A value of the wrong type counts as
// absent for that item; nothing here fails.

// The "ThemesSelected" list as stored (elements of any type); empty when it is missing or
// not an array.
const plist::Array& selectedThemes(const plist::Dictionary* preferences);
// The "name" of a stored element, when it is a dictionary with a string "name".
const std::string* recordName(const plist::Value& element);
// The string entry `key` of a record, or nothing.
const std::string* recordString(const plist::Value& element, std::string_view key);

}  // namespace vx
