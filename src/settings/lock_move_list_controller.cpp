#include "settings/lock_move_list_controller.h"

#include <algorithm>

namespace vx {

SpecifierList LockMoveListController::specifiers() {
    SpecifierList& rows = rowsLoadedOnceFrom(kSpecifierFile);
    setTitle(localizedString(kTitleKey));
    findDependentRows(rows);
    // Not drawn yet on the first call: the list alone changes, without animation.
    if (hiddenCell_ && !batteryCellIsOn()) std::erase(rows, hiddenCell_);
    localizedSpecifiersWithSpecifiers(rows);
    return rows;
}

// Names are compared as they stand: untranslated on the first call, so later calls find
// only rows whose translation equals their name, and the properties keep the first finds.
// The hidden cell is translated when found, since it may be taken out of the list before
// the pass over the whole list runs.
void LockMoveListController::findDependentRows(const SpecifierList& rows) {
    for (const SpecifierPtr& row : rows) {
        if (!row) continue;
        if (row->name() == kHiddenRowName) {
            localizedSpecifiersWithSpecifiers(SpecifierList{row});
            hiddenCell_ = row;
        }
        if (row->name() == kBatteryRowName) batteryCell_ = row;
    }
}

void LockMoveListController::setPreferenceValue(const plist::Value& value,
                                                const SpecifierPtr& specifier) {
    VeltrixListController::setPreferenceValue(value, specifier);
    if (specifier && specifier == batteryCell_) checkBatteryCellStatusChanged();
}

void LockMoveListController::checkBatteryCellStatusChanged() {
    if (batteryCellIsOn()) {
        insertSpecifier(hiddenCell_, batteryCell_, true);
    } else {
        removeSpecifier(hiddenCell_, true);
    }
}

bool LockMoveListController::batteryCellIsOn() {
    std::optional<plist::Value> value = readPreferenceValue(batteryCell_);
    return value && value->boolValue();
}

}  // namespace vx
