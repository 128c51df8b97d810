#pragma once
// What one tap on a theme row does to the stored "ThemesSelected" list. Check marks go by
// "name"; selection goes by the whole record.
//
// A stored record is an orphan when it has a theme's name but no listed row produces it:
// its theme is shadowed by a later folder's entry of the same name, hidden by a folder
// switch, gone, or changed in place. A row shows checked while any stored record has its
// name, so a tap on a row whose own record or an orphan of its name is stored removes them
// all: the check mark the user saw goes away, unless another listed theme of that name is
// selected. Otherwise the tap appends the row's record. Two listed themes that share a
// name are selected apart.
#include <string_view>

#include "platform/foundation/plist_value.h"

namespace vx {

enum class ThemeToggleKind {
    Deselect,  // the row's record and the orphans of its name went; nothing appended
    Select,    // the row's record was appended
};

bool containsThemeName(const plist::Array& selected, std::string_view name);
// Whether a stored element is a record of `name` that no record of the theme map equals.
bool isOrphanRecord(const plist::Value& stored, std::string_view name,
                    const plist::Dictionary& themeMap);

// Changes the list for a tap on the row of `current`, one of the records of `themeMap`,
// and says which change it was. Elements that are not theme records are kept as they are.
ThemeToggleKind toggleTheme(plist::Array& selected, const plist::Dictionary& current,
                            const plist::Dictionary& themeMap);

}  // namespace vx
