#include "themes/lock_theme_view_controller.h"

#include <unordered_set>

#include "platform/foundation/log.h"
#include "platform/ui/page_table.h"
#include "settings/preferences_file.h"
#include "themes/lock_theme_order_view_controller.h"
#include "themes/theme_discovery.h"
#include "themes/theme_selection.h"
#include "themes/theme_settings_entry.h"

namespace vx {
namespace {

const plist::Dictionary* pointerTo(const std::optional<plist::Dictionary>& preferences) {
    return preferences ? &*preferences : nullptr;
}

std::string stringEntry(const plist::Dictionary& record, std::string_view key) {
    const plist::Value* value = record.find(key);
    const std::string* text = value ? value->asString() : nullptr;
    return text ? *text : std::string();
}

}  // namespace

std::shared_ptr<LockThemeViewController> LockThemeViewController::initForContentSize(CGSize size) {
    (void)size;
    auto page = std::make_shared<LockThemeViewController>();
    page->scanThemes();
    page->buildNavigationItem();
    page->buildTable();
    return page;
}

std::shared_ptr<LockThemeViewController> LockThemeViewController::init() {
    return std::make_shared<LockThemeViewController>();
}

std::shared_ptr<LockThemeViewController> LockThemeViewController::sharedInstance() {
    static const std::shared_ptr<LockThemeViewController> shared = init();
    return shared;
}

std::shared_ptr<UIView> LockThemeViewController::view() {
    if (tblView_) return tblView_;
    return PSViewController::view();
}

void LockThemeViewController::scanThemes() {
    std::shared_ptr<const plist::Dictionary> preferences = readPreferencesCached();
    setDict(scanThemeFolders(enabledThemeFolders(preferences.get())));
}

void LockThemeViewController::setDict(plist::Dictionary dict) {
    dict_ = std::move(dict);
    rowNames_.clear();
    rowNames_.reserve(dict_.size());
    for (std::size_t row = 0; row < dict_.size(); ++row) {
        const plist::Dictionary* record = recordAtRow(static_cast<int>(row));
        rowNames_.push_back(record ? stringEntry(*record, "name") : std::string());
    }
    rowSelected_.clear();
    selectionChecked_ = false;
}

void LockThemeViewController::buildNavigationItem() {
    auto reorder = UIBarButtonItem::initWithTitle(
        "Reorder", UIBarButtonItemStyle::Plain, sharedFrom(this),
        &LockThemeViewController::segueReorderView, "segueReorderView");
    navigationItem()->setRightBarButtonItem(reorder);
}

void LockThemeViewController::buildTable() {
    auto table = groupedTableServedBy(this);
    tblView_ = table;
    if (respondsToSelector("setView:")) setView(table);
}

const plist::Dictionary* LockThemeViewController::recordAtRow(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= dict_.size()) return nullptr;
    return (dict_.begin() + row)->second.asDictionary();
}

// ---- Table

std::optional<int> LockThemeViewController::numberOfSectionsInTableView(UITableView&) { return 1; }

std::optional<std::string> LockThemeViewController::titleForHeaderInSection(UITableView&, int) {
    return std::nullopt;
}

// The table asks this before building the rows of a load: the rows that follow look at the
// file once between them.
int LockThemeViewController::numberOfRowsInSection(UITableView&, int) {
    selectionChecked_ = false;
    return static_cast<int>(dict_.size());
}

std::shared_ptr<UITableViewCell> LockThemeViewController::cellForRowAtIndexPath(UITableView& tableView,
                                                                                IndexPath indexPath) {
    const std::string identifier(kCellIdentifier);
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, identifier);
    const auto row = static_cast<std::size_t>(indexPath.row);
    const bool shown = indexPath.row >= 0 && row < rowNames_.size();
    cell->textLabel()->setText(shown ? rowNames_[row] : std::string());
    cell->setAccessoryType(shown && rowIsSelected(row) ? UITableViewCellAccessoryType::Checkmark
                                                       : UITableViewCellAccessoryType::None);
    return cell;
}

// A row is checked when a selected record has its name.
bool LockThemeViewController::rowIsSelected(std::size_t row) {
    if (!selectionChecked_) {
        std::shared_ptr<const plist::Dictionary> preferences = readPreferencesCached();
        if (preferences != selectionSource_ || rowSelected_.size() != rowNames_.size()) {
            std::unordered_set<std::string_view> selected;
            for (const plist::Value& element : selectedThemes(preferences.get())) {
                if (const std::string* stored = recordName(element)) selected.insert(*stored);
            }
            rowSelected_.assign(rowNames_.size(), false);
            for (std::size_t index = 0; index < rowNames_.size(); ++index) {
                rowSelected_[index] = recordAtRow(static_cast<int>(index)) != nullptr &&
                                      selected.contains(rowNames_[index]);
            }
            selectionSource_ = std::move(preferences);
        }
        selectionChecked_ = true;
    }
    return rowSelected_[row];
}

void LockThemeViewController::didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
    const plist::Dictionary* shown = recordAtRow(indexPath.row);
    if (!shown) {
        tableView.deselectRowAtIndexPath(indexPath, true);
        return;
    }
    const plist::Dictionary record = *shown;
    // The change runs on the file as it is under the save lock, and creates the file when
    // there is none: a tap is never lost.
    std::optional<ThemeToggleKind> toggled;
    auto saved = updatePreferences(
        [&](plist::Dictionary& preferences) {
            plist::Array list = selectedThemes(&preferences);
            toggled = toggleTheme(list, record, dict_);
            preferences.set(std::string(kThemesSelectedKey), plist::Value(std::move(list)));
            return true;
        },
        WhenMissing::Create);
    if (!toggled) {
        // ignored: the save failed before reading (logged by the store); the tap still
        // offers what a selection offers, judged by the file as it reads now.
        (void)saved;
        plist::Array list = selectedThemes(pointerTo(readPreferences()));
        toggled = toggleTheme(list, record, dict_);
    }
    if (*toggled == ThemeToggleKind::Select) {
        const std::string name = stringEntry(record, "name");
        WidgetPoint point = getFrameForWidgetWithPath(name);
        resetWidgetSelectorWithX(point.x, point.y);
        presentOptionsMenuForTheme(stringEntry(record, "path"));
    } else {
        tableView.deselectRowAtIndexPath(indexPath, true);
    }
    tableView.reloadData();
    tableView.deselectRowAtIndexPath(indexPath, true);
}

void LockThemeViewController::accessoryButtonTappedForRowWithIndexPath(UITableView&, IndexPath) {}

// ---- Widget position reset

WidgetPoint LockThemeViewController::getFrameForWidgetWithPath(std::string_view name) const {
    return storedWidgetPoint(pointerTo(readPreferences()), name);
}

void LockThemeViewController::resetWidgetSelectorWithX(double x, double y) {
    if (x == 0 && y == 0) return;
    auto alert = UIAlertView::init();
    alert->setTitle(std::string(kResetTitle));
    alert->setMessage(std::string(kResetMessage));
    alert->setDelegate(sharedFrom(this));
    alert->addButtonWithTitle("Reset");
    alert->addButtonWithTitle("Cancel");
    alert->setTag(1);
    alert->show();
}

void LockThemeViewController::clickedButtonAtIndex(UIAlertView&, int buttonIndex) {
    if (buttonIndex != 0) return;
    auto saved = updatePreferences(
        [](plist::Dictionary& preferences) {
            preferences.set(std::string(kWidgetXKey), 0);
            preferences.set(std::string(kWidgetYKey), 0);
            return true;
        },
        WhenMissing::Create);
    // ignored: a failed save is logged by the store; the page reports nothing to the user.
    (void)saved;
}

// ---- Modal pages

void LockThemeViewController::presentOptionsMenuForTheme(std::string_view themePath) {
    std::optional<ThemeSettingsFiles> settings = findThemeSettings(themePath);
    if (!settings) return;
    std::shared_ptr<UIViewController> editor = makeThemeSettingsEditor(*settings);
    if (!editor) return;
    controller_ = editor;
    navCtrl_ = UINavigationController::initWithRootViewController(editor);
    auto done = UIBarButtonItem::initWithTitle("Done", UIBarButtonItemStyle::Done, sharedFrom(this),
                                               &LockThemeViewController::doneButtonTapped,
                                               "doneButtonTapped:");
    editor->navigationItem()->setRightBarButtonItem(done, true);
    presentViewController(navCtrl_, true);
}

void LockThemeViewController::doneButtonTapped(UIBarButtonItem&) {
    if (controller_) saveThemeSettingsEditor(*controller_);
    dismissViewControllerAnimated(true);
}

void LockThemeViewController::segueReorderView() {
    auto order = LockThemeOrderViewController::init();
    auto container = UINavigationController::initWithRootViewController(order);
    auto done = UIBarButtonItem::initWithTitle("Done", UIBarButtonItemStyle::Done, order,
                                               &LockThemeOrderViewController::doneButtonTapped,
                                               "doneButtonTapped:");
    order->navigationItem()->setRightBarButtonItem(done, true);
    presentViewController(container, true);
}

}  // namespace vx
