#include "settings/veltrix_list_controller.h"

#include "platform/foundation/log.h"
#include "platform/ui/switch.h"
#include "settings/preferences_file.h"

namespace vx {

void VeltrixListController::loadView() {
    PSListController::loadView();
    setupTint();
}

std::string VeltrixListController::localizedString(std::string_view text) const {
    return bundle()->localizedStringForKey(text, text);
}

const SpecifierList& VeltrixListController::localizedSpecifiersWithSpecifiers(
    const SpecifierList& specifiers) const {
    log::write("localizedSpecifiersWithSpecifiers");
    for (const SpecifierPtr& row : specifiers) {
        if (!row) continue;
        if (!row->name().empty()) row->setName(localizedString(row->name()));
        if (auto footer = row->stringPropertyForKey("footerText"))
            row->setProperty(localizedString(*footer), "footerText");
        if (const auto& titles = row->titleDictionary()) {
            TitleDictionary translated;
            for (const auto& [value, title] : *titles)
                translated.setTitle(value, localizedString(title));
            row->setTitleDictionary(std::move(translated));
        }
    }
    return specifiers;
}

void VeltrixListController::setupTint() {
    if (tintSwitches() == false) return;
    std::optional<UIColor> onColor = switchOnTintColor();
    if (!onColor) onColor = tintColor();
    if (onColor) UISwitch::appearanceWhenContainedIn(className()).setOnTintColor(*onColor);
    std::optional<UIColor> offColor = switchTintColor();
    if (!offColor) offColor = tintColor();
    if (!offColor) return;
    UISwitch::appearanceWhenContainedIn(className()).setTintColor(*offColor);
}

std::optional<plist::Value> VeltrixListController::readPreferenceValue(const SpecifierPtr& specifier) {
    if (!specifier) return std::nullopt;
    return vx::readPreferenceValue(*specifier);
}

void VeltrixListController::setPreferenceValue(const plist::Value& value,
                                               const SpecifierPtr& specifier) {
    if (!specifier) return;
    // ignored: the preferences file logs a failed write; a page has nobody to tell
    (void)vx::setPreferenceValue(value, *specifier);
}

SpecifierList& VeltrixListController::rowsLoadedOnceFrom(std::string_view plistName) {
    if (!hasSpecifiers()) setSpecifiers(loadSpecifiersFromPlistName(plistName, weakFrom(this)));
    return cachedSpecifiers();
}

}  // namespace vx
