#include "themes/lock_theme_order_view_controller.h"

#include "platform/ui/page_table.h"
#include "settings/preferences_file.h"
#include "themes/mutable_array_additions.h"
#include "themes/theme_discovery.h"

namespace vx {
namespace {

std::size_t indexOf(int row) { return row < 0 ? 0 : static_cast<std::size_t>(row); }

}  // namespace

std::shared_ptr<LockThemeOrderViewController> LockThemeOrderViewController::init() {
    auto page = std::make_shared<LockThemeOrderViewController>();
    std::optional<plist::Dictionary> preferences = readPreferences();
    // Elements that are no theme records stay in the list, so "Done" keeps them.
    page->themeArray_ = selectedThemes(preferences ? &*preferences : nullptr);
    page->buildTable();
    return page;
}

std::shared_ptr<LockThemeOrderViewController> LockThemeOrderViewController::sharedInstance() {
    static const std::shared_ptr<LockThemeOrderViewController> shared = init();
    return shared;
}

std::shared_ptr<UIView> LockThemeOrderViewController::view() {
    if (tableView_) return tableView_;
    return PSViewController::view();
}

void LockThemeOrderViewController::buildTable() {
    auto table = groupedTableServedBy(this);
    tableView_ = table;
    if (respondsToSelector("setView:")) setView(table);
    table->setEditing(true, true);
}

void LockThemeOrderViewController::moveRowAtIndexPath(UITableView&, IndexPath from, IndexPath to) {
    moveObjectFromIndex(themeArray_, indexOf(from.row), indexOf(to.row));
}

std::optional<bool> LockThemeOrderViewController::canMoveRowAtIndexPath(UITableView&, IndexPath) {
    return true;
}

std::optional<int> LockThemeOrderViewController::numberOfSectionsInTableView(UITableView&) { return 1; }

std::optional<std::string> LockThemeOrderViewController::titleForHeaderInSection(UITableView&, int) {
    return std::nullopt;
}

int LockThemeOrderViewController::numberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(themeArray_.size());
}

std::shared_ptr<UITableViewCell> LockThemeOrderViewController::cellForRowAtIndexPath(
    UITableView& tableView, IndexPath indexPath) {
    const std::string identifier(kCellIdentifier);
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Default, identifier);
    const plist::Value* record = safeObjectAtIndex(themeArray_, indexOf(indexPath.row));
    const std::string* name = record ? recordName(*record) : nullptr;
    cell->textLabel()->setText(name ? *name : std::string());
    return cell;
}

void LockThemeOrderViewController::didSelectRowAtIndexPath(UITableView&, IndexPath) {}

std::optional<bool> LockThemeOrderViewController::canEditRowAtIndexPath(UITableView&, IndexPath) {
    return true;
}

void LockThemeOrderViewController::doneButtonTapped(UIBarButtonItem&) {
    auto saved = updatePreferences(
        [&](plist::Dictionary& preferences) {
            preferences.set(std::string(kThemesSelectedKey), plist::Value(themeArray_));
            return true;
        },
        WhenMissing::Create);
    // ignored: a failed save is logged by the store; the page closes all the same.
    (void)saved;
    dismissViewControllerAnimated(true);
}

}  // namespace vx
