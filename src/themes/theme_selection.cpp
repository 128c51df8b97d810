#include "themes/theme_selection.h"

#include <algorithm>

#include "themes/theme_discovery.h"

namespace vx {

bool containsThemeName(const plist::Array& selected, std::string_view name) {
    return std::any_of(selected.begin(), selected.end(), [&](const plist::Value& element) {
        const std::string* stored = recordName(element);
        return stored && *stored == name;
    });
}

bool isOrphanRecord(const plist::Value& stored, std::string_view name,
                    const plist::Dictionary& themeMap) {
    const std::string* storedName = recordName(stored);
    if (!storedName || *storedName != name) return false;
    return std::none_of(themeMap.begin(), themeMap.end(),
                        [&](const plist::Dictionary::Entry& listed) { return listed.second == stored; });
}

ThemeToggleKind toggleTheme(plist::Array& selected, const plist::Dictionary& current,
                            const plist::Dictionary& themeMap) {
    const plist::Value record(current);
    const std::string* name = recordName(record);
    const std::size_t removed = std::erase_if(selected, [&](const plist::Value& stored) {
        return stored == record || (name && isOrphanRecord(stored, *name, themeMap));
    });
    if (removed > 0) return ThemeToggleKind::Deselect;
    selected.push_back(record);
    return ThemeToggleKind::Select;
}

}  // namespace vx
