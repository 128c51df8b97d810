#include "themes/widget_coordinates_controller.h"

#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"
#include "platform/ui/page_table.h"
#include "platform/ui/screen.h"
#include "settings/preferences_file.h"
#include "themes/theme_discovery.h"
#include "themes/widget_coordinates.h"

namespace vx {
namespace {

constexpr int kRowsPerTheme = 2;

}  // namespace

std::shared_ptr<WidgetCoordinatesController> WidgetCoordinatesController::init() {
    auto page = std::make_shared<WidgetCoordinatesController>();
    page->loadCoordinates();
    page->buildTable();
    return page;
}

std::shared_ptr<UIView> WidgetCoordinatesController::view() {
    if (widgetTableView_) return widgetTableView_;
    return PSViewController::view();
}

// One entry per selected name, in the order of the list; a name selected twice is one
// section. A stored entry that is not a dictionary counts as none.
void WidgetCoordinatesController::loadCoordinates() {
    std::optional<plist::Dictionary> preferences = readPreferences();
    const plist::Dictionary* stored = preferences ? &*preferences : nullptr;
    optionsDict_ = plist::Dictionary();
    for (const plist::Value& element : selectedThemes(stored)) {
        const std::string* name = recordName(element);
        if (!name || optionsDict_.contains(*name)) continue;
        const plist::Dictionary* entry = storedCoordinateEntry(stored, *name);
        optionsDict_.set(*name, entry ? *entry : zeroCoordinateEntry());
    }
}

void WidgetCoordinatesController::buildTable() {
    auto table = groupedTableServedBy(this);
    widgetTableView_ = table;
    if (respondsToSelector("setView:")) setView(table);
}

std::string_view WidgetCoordinatesController::coordinateKeyForRow(int row) {
    return row == 1 ? kWidgetXKey : kWidgetYKey;
}

std::string WidgetCoordinatesController::labelForRow(int row) {
    std::string label(coordinateKeyForRow(row));
    for (std::size_t at = label.find("widget"); at != std::string::npos; at = label.find("widget"))
        label.erase(at, 6);
    return label;
}

// ---- Table

std::optional<int> WidgetCoordinatesController::numberOfSectionsInTableView(UITableView&) {
    return static_cast<int>(optionsDict_.size());
}

std::optional<std::string> WidgetCoordinatesController::titleForHeaderInSection(UITableView&,
                                                                                int section) {
    if (section < 0 || static_cast<std::size_t>(section) >= optionsDict_.size()) return std::nullopt;
    return (optionsDict_.begin() + section)->first;
}

int WidgetCoordinatesController::numberOfRowsInSection(UITableView&, int) { return kRowsPerTheme; }

std::shared_ptr<UITableViewCell> WidgetCoordinatesController::cellForRowAtIndexPath(
    UITableView& tableView, IndexPath indexPath) {
    const std::string identifier(kCellIdentifier);
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, identifier);
    const std::string name =
        titleForHeaderInSection(tableView, indexPath.section).value_or(std::string());
    cell->contentView()->removeAllSubviews();
    cell->setAccessoryType(UITableViewCellAccessoryType::None);
    cell->textLabel()->setText(labelForRow(indexPath.row));
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->setAccessoryView(nullptr);
    if (cell->detailTextLabel()) cell->detailTextLabel()->setText("");
    cell->contentView()->addSubview(makeField(name, indexPath.row));
    return cell;
}

std::shared_ptr<UITextField> WidgetCoordinatesController::makeField(const std::string& name, int row) {
    const double width = UIScreen::mainScreen().bounds().size.width - 40;
    auto field = UITextField::initWithFrame(CGRect{{10, 10}, {width, 25}});
    const plist::Value* entry = optionsDict_.find(name);
    const plist::Dictionary* coordinates = entry ? entry->asDictionary() : nullptr;
    const double value = coordinates ? coordinateValue(*coordinates, coordinateKeyForRow(row)) : 0;
    field->setTextColor(UIColor::blackColor());
    field->setText(str::formatG(value));
    field->setClearsOnBeginEditing(false);
    field->setTextAlignment(NSTextAlignment::Right);
    auto self = sharedFrom(this);
    field->setDelegate(self);
    field->setTag(row);
    field->layer().setName(name);
    field->addTarget(self, &WidgetCoordinatesController::saveTextEdit,
                     "saveTextEdit:", UIControlEvents::EditingChanged);
    return field;
}

void WidgetCoordinatesController::didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
    tableView.reloadData();
    tableView.deselectRowAtIndexPath(indexPath, true);
}

// ---- Saving

void WidgetCoordinatesController::saveTextEdit(UITextField& field) {
    const std::string name = field.layer().name();
    plist::Value* shown = optionsDict_.find(name);
    if (!shown) {
        log::write("Coordinates: no section \"" + name + "\" for the edited field");
        return;
    }
    plist::Dictionary entry = shown->asDictionary() ? *shown->asDictionary() : zeroCoordinateEntry();
    entry.set(std::string(coordinateKeyForRow(static_cast<int>(field.tag()))), field.text());
    *shown = plist::Value(std::move(entry));
    auto saved = updatePreferences(
        [this](plist::Dictionary& preferences) {
            const plist::Dictionary* stored = storedCoordinateEntries(&preferences);
            plist::Dictionary entries = stored ? *stored : plist::Dictionary();
            for (const auto& [themeName, themeEntry] : optionsDict_) entries.set(themeName, themeEntry);
            preferences.set(std::string(kWidgetCoordinatesKey), plist::Value(std::move(entries)));
            return true;
        },
        WhenMissing::Create);
    // ignored: a failed save is logged by the store; the field keeps what was typed.
    (void)saved;
}

}  // namespace vx
