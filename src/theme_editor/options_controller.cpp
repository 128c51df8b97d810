#include "theme_editor/options_controller.h"

#include "platform/ui/page_table.h"

namespace vx {

std::shared_ptr<OptionsController> OptionsController::initForContentSize(CGSize size,
                                                                         plist::Dictionary options,
                                                                         std::int32_t rowIndex) {
    (void)size;
    auto picker = std::make_shared<OptionsController>();
    picker->optionsDict_ = std::move(options);
    picker->rowIndex_ = rowIndex;
    picker->buildTable();
    return picker;
}

std::shared_ptr<OptionsController> OptionsController::sharedInstance() {
    static const std::shared_ptr<OptionsController> shared = std::make_shared<OptionsController>();
    return shared;
}

void OptionsController::buildTable() {
    auto table = groupedTableServedBy(this);
    optionsTableView_ = table;
    setView(table);
}

std::shared_ptr<UIView> OptionsController::view() {
    if (optionsTableView_) return optionsTableView_;
    return PSViewController::view();
}

std::optional<int> OptionsController::numberOfSectionsInTableView(UITableView&) { return 1; }

std::optional<std::string> OptionsController::titleForHeaderInSection(UITableView&, int) {
    return std::nullopt;
}

int OptionsController::numberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(optionsDict_.size());
}

std::shared_ptr<UITableViewCell> OptionsController::cellForRowAtIndexPath(UITableView& tableView,
                                                                          IndexPath indexPath) {
    const std::string identifier(kCellIdentifier);
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, identifier);
    cell->setAccessoryType(indexPath.row == selection_ ? UITableViewCellAccessoryType::Checkmark
                                                       : UITableViewCellAccessoryType::None);
    const bool inRange = indexPath.row >= 0 &&
                         static_cast<std::size_t>(indexPath.row) < optionsDict_.size();
    cell->textLabel()->setText(inRange ? (optionsDict_.begin() + indexPath.row)->first : std::string());
    if (cell->detailTextLabel()) cell->detailTextLabel()->setText("");
    return cell;
}

void OptionsController::didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
    selection_ = indexPath.row;
    tableView.reloadData();
    tableView.deselectRowAtIndexPath(indexPath, true);
}

void OptionsController::setSelection(std::int32_t position) {
    const bool inRange = position >= 0 && static_cast<std::size_t>(position) < optionsDict_.size();
    selection_ = inRange ? position : 0;
    if (optionsTableView_) optionsTableView_->reloadData();
}

std::int32_t OptionsController::closingOptions() {
    dismissViewControllerAnimated(true);
    return selection_;
}

}  // namespace vx
