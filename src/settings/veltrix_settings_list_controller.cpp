#include "settings/veltrix_settings_list_controller.h"

#include <algorithm>

#include "platform/foundation/files.h"
#include "platform/ui/application.h"
#include "platform/ui/image.h"
#include "platform/ui/label.h"
#include "platform/ui/screen.h"
#include "settings/location_export.h"
#include "settings/veltrix_plugin_list_controller.h"

namespace vx {

VeltrixSettingsListController::VeltrixSettingsListController() {
    registerAction("getLocation:", &VeltrixSettingsListController::getLocation);
    registerAction("lauchDoc:", &VeltrixSettingsListController::lauchDoc);
}

std::shared_ptr<VeltrixSettingsListController> VeltrixSettingsListController::init() {
    return std::make_shared<VeltrixSettingsListController>();
}

// The row list is loaded once; the plugin folder is looked at on every call, so a folder
// that gains an entry while the page is open brings the Plugins row with the next call.
// The row goes in once: at index 10, or at the end of a shorter list.
SpecifierList VeltrixSettingsListController::specifiers() {
    SpecifierList& rows = rowsLoadedOnceFrom(kSpecifierFile);
    if (!files::contentsOfDirectoryAtPath(VeltrixPluginListController::kPluginFolder).empty() &&
        !holdsPluginsRow(rows)) {
        const std::size_t index = std::min(kPluginsRowIndex, rows.size());
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(index), makePluginsRow());
    }
    localizedSpecifiersWithSpecifiers(rows);
    return rows;
}

bool VeltrixSettingsListController::holdsPluginsRow(const SpecifierList& rows) {
    return std::any_of(rows.begin(), rows.end(), [](const SpecifierPtr& row) {
        return row && row->detailClassName() == VeltrixPluginListController::kClassName;
    });
}

SpecifierPtr VeltrixSettingsListController::makePluginsRow() {
    SpecifierPtr row = PSSpecifier::preferenceSpecifierNamed(
        "Plugins", weakFrom(this), nullptr, nullptr, VeltrixPluginListController::kClassName,
        PSTableCell::cellTypeFromString("PSLinkCell").value_or(PSCellType::Link), "");
    if (auto icon = UIImage::_applicationIconImageForBundleIdentifier("com.apple.Preferences", 0,
                                                                      UIScreen::mainScreen().scale())) {
        row->setObject(icon, "iconImage");
    }
    return row;
}

void VeltrixSettingsListController::loadView() {
    // The header goes in before the tint, so this page skips its parent's loadView (which
    // tints at once) and tints itself last.
    PSListController::loadView();  // NOLINT(bugprone-parent-virtual-call)
    setupHeader();
    setupTint();
}

void VeltrixSettingsListController::getLocation(const SpecifierPtr& specifier) {
    (void)specifier;
    // ignored: the export logs why it wrote nothing; a button has nobody to tell
    (void)exportLocalCityLocation();
}

void VeltrixSettingsListController::lauchDoc(const SpecifierPtr& specifier) {
    (void)specifier;
    // ignored: opening the documentation is not checked, as on the device
    (void)UIApplication::sharedApplication().openURL(std::string(kDocumentationURL));
}

std::shared_ptr<UILabel> VeltrixSettingsListController::makeHeaderLabel(CGRect frame,
                                                                        std::string_view text,
                                                                        double fontSize) const {
    auto label = UILabel::initWithFrame(frame);
    label->setText(localizedString(text));
    label->setFont(UIFont::fontWithName("HelveticaNeue-Light", fontSize));
    label->setBackgroundColor(UIColor::clearColor());
    // The tint first, then the header colour, which wins.
    if (auto tint = tintColor()) label->setTextColor(*tint);
    label->setTextColor(headerColor());
    label->setTextAlignment(NSTextAlignment::Center);
    return label;
}

void VeltrixSettingsListController::setupHeader() {
    const double width = UIScreen::mainScreen().bounds().size.width;
    auto header = UIView::initWithFrame(CGRect{{0, 0}, {width, kHeaderHeight}});

    CGRect titleFrame{{0, 17}, {width, kHeaderHeight - 10}};
    auto title = makeHeaderLabel(titleFrame, headerText(), 48);
    CGRect grown = header->frame();
    grown.size.height += kHeaderGrowth;
    header->setFrame(grown);
    titleFrame.origin.y = 10;
    titleFrame.size.height -= 5;
    title->setFrame(titleFrame);
    header->addSubview(title);

    const CGRect creditFrame{{header->frame().origin.x, titleFrame.origin.y + titleFrame.size.height},
                             {header->frame().size.width, 20}};
    header->addSubview(makeHeaderLabel(creditFrame, headerSubText(), 16));

    header->setBackgroundColor(UIColor::clearColor());
    if (table()) table()->setTableHeaderView(header);
}

}  // namespace vx
