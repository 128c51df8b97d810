#include "themes/theme_selection.h"

#include <algorithm>

#include "platform/foundation/files.h"
#include "themes/theme_discovery.h"

namespace vx {

bool containsThemeName(const plist::Array& selected, std::string_view name) {
    return std::any_of(selected.begin(), selected.end(), [&](const plist::Value& element) {
        const std::string* stored = recordName(element);
        return stored && *stored == name;
    });
}

bool isStaleRecord(const plist::Value& stored, const plist::Dictionary& current) {
    const std::string* name = recordName(stored);
    const plist::Value* currentName = current.find("name");
    if (!name || !currentName || plist::Value(*name) != *currentName) return false;
    if (stored == plist::Value(current)) return false;
    const std::string* path = recordString(stored, "path");
    if (!path || !files::fileExistsAtPath(*path)) return true;
    const plist::Value* currentPath = current.find("path");
    return currentPath && *currentPath == plist::Value(*path);
}

ThemeToggleKind toggleTheme(plist::Array& selected, const plist::Dictionary& current) {
    const plist::Value record(current);
    if (std::erase(selected, record) > 0) return ThemeToggleKind::Deselect;
    if (std::erase_if(selected, [&](const plist::Value& stored) { return isStaleRecord(stored, current); }) > 0)
        return ThemeToggleKind::DeselectStale;
    selected.push_back(record);
    return ThemeToggleKind::Select;
}

}  // namespace vx
