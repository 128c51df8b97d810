#pragma once
// What one tap on a theme row does to the stored "ThemesSelected" list. Check marks go by
// "name"; selection goes by the whole record.
//
// A stored record is stale for a row when it has the row's name, differs from the row's
// current record, and its "path" no longer exists or is the current record's path (the
// theme changed in place). A tap on a row whose current record is not in the list first
// removes the row's stale records; when there were any, that tap is the deselection the
// user asked for (the check mark they saw goes away) and nothing is appended. Two real
// themes that share a name are not stale for each other.
#include <string_view>

#include "platform/foundation/plist_value.h"

namespace vx {

enum class ThemeToggleKind {
    Deselect,       // the current record was in the list: every copy of it goes
    DeselectStale,  // stale records of the row's name went; nothing appended
    Select,         // the current record was appended
};

bool containsThemeName(const plist::Array& selected, std::string_view name);
bool isStaleRecord(const plist::Value& stored, const plist::Dictionary& current);

// Changes the list for a tap on the row of `current` and says which change it was.
// Elements that are not theme records are kept as they are.
ThemeToggleKind toggleTheme(plist::Array& selected, const plist::Dictionary& current);

}  // namespace vx
