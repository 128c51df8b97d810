#include "settings/feature_list_controllers.h"

namespace vx {

SpecifierList FeatureListController::specifiers() {
    SpecifierList& rows = rowsLoadedOnceFrom(specifierFile_);
    if (titleKey_) setTitle(localizedString(*titleKey_));
    localizedSpecifiersWithSpecifiers(rows);
    return rows;
}

}  // namespace vx
