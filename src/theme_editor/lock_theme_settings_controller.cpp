#include "theme_editor/lock_theme_settings_controller.h"

#include <algorithm>

#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/preferences_store.h"
#include "platform/ui/page_table.h"
#include "platform/ui/screen.h"
#include "theme_editor/optimisation.h"
#include "theme_editor/variable_writing.h"

namespace vx {
namespace {

constexpr CGSize kPickerContentSize{320, 480};
constexpr int kGlobalSwitchRows = 2;

CGRect controlFrame() { return {{10, 10}, {UIScreen::mainScreen().bounds().size.width - 40, 25}}; }

std::string_view globalSwitchKey(long tag) {
    return tag != 0 ? LockThemeSettingsController::kTouchDisabledKey
                    : LockThemeSettingsController::kBackgroundKey;
}

}  // namespace

std::shared_ptr<LockThemeSettingsController> LockThemeSettingsController::initForContentSize(
    CGSize size, std::string_view filePath, std::optional<std::string> fileName) {
    (void)size;
    auto editor = std::make_shared<LockThemeSettingsController>();
    editor->fileName_ = std::move(fileName);
    editor->filePath_ = std::string(filePath);
    if (files::fileExistsAtPath(optionsFilePath(editor->filePath_))) {
        editor->startFrom(loadOptionsFile(editor->filePath_));
    } else {
        editor->askToOptimise();
    }
    editor->buildTable();
    return editor;
}

std::shared_ptr<LockThemeSettingsController> LockThemeSettingsController::sharedInstance() {
    static const std::shared_ptr<LockThemeSettingsController> shared =
        std::make_shared<LockThemeSettingsController>();
    return shared;
}

void LockThemeSettingsController::askToOptimise() {
    auto alert = UIAlertView::init();
    alert->setTitle(std::string(kOptimiseTitle));
    alert->setMessage(std::string(kOptimiseMessage));
    alert->setDelegate(sharedFrom(this));
    alert->addButtonWithTitle("Yes");
    alert->addButtonWithTitle("No");
    alert->setTag(kOptimiseAlertTag);
    alert->show();
}

// The declared values are what a reset restores; the list starts from the user's stored
// lines over them.
void LockThemeSettingsController::startFrom(std::optional<OptionsList> declared) {
    themeDefaults_ = declared.value_or(OptionsList());
    if (declared) {
        if (auto lines = storedDeclarationLines(filePath_))
            declared = withStoredValues(std::move(*declared), *lines);
    }
    masterDict_ = std::move(declared);
}

void LockThemeSettingsController::resetToThemeDefaults() {
    if (!masterDict_) return;
    masterDict_ = themeDefaults_;
    reloadTable();
}

bool LockThemeSettingsController::showsResetRow() const { return masterDict_ && !masterDict_->empty(); }

bool LockThemeSettingsController::isResetRow(IndexPath indexPath) const {
    return indexPath.section == 0 && showsResetRow() &&
           static_cast<std::size_t>(indexPath.row) == masterDict_->size();
}

void LockThemeSettingsController::buildTable() {
    auto table = groupedTableServedBy<VXTableView>(this);
    brandNewTableView_ = table;
    setView(table);
}

std::shared_ptr<UIView> LockThemeSettingsController::view() {
    if (brandNewTableView_) return brandNewTableView_;
    return PSViewController::view();
}

void LockThemeSettingsController::reloadTable() {
    if (brandNewTableView_) brandNewTableView_->reloadData();
}

OptionsEntry* LockThemeSettingsController::entryAt(long row) {
    if (!masterDict_ || row < 0 || static_cast<std::size_t>(row) >= masterDict_->size()) return nullptr;
    return &(*masterDict_)[static_cast<std::size_t>(row)];
}

// ---- Optimisation

void LockThemeSettingsController::clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (alert.tag() != kOptimiseAlertTag) return;
    if (buttonIndex == 0) {
        optimise();
    } else {
        dismissViewControllerAnimated(true);
    }
}

void LockThemeSettingsController::optimise() {
    masterDict_ = OptionsList();
    auto extracted = optimiseTheme(filePath_, fileName_);
    if (extracted) {
        for (std::string& name : extracted->names) variableHolder_.push_back(std::move(name));
        startFrom(std::move(extracted->entries));
    }
    reloadTable();
}

// ---- Table

std::optional<int> LockThemeSettingsController::numberOfSectionsInTableView(UITableView&) { return 1; }

std::optional<std::string> LockThemeSettingsController::titleForHeaderInSection(UITableView&, int) {
    return std::nullopt;
}

int LockThemeSettingsController::numberOfRowsInSection(UITableView&, int section) {
    if (section != 0) return kGlobalSwitchRows;
    if (!masterDict_) return 0;
    return static_cast<int>(masterDict_->size()) + (showsResetRow() ? 1 : 0);
}

std::shared_ptr<UITableViewCell> LockThemeSettingsController::cellForRowAtIndexPath(
    UITableView& tableView, IndexPath indexPath) {
    const std::string identifier(kCellIdentifier);
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, identifier);
    // A reused cell still holds the controls of the row it showed before.
    cell->contentView()->removeAllSubviews();
    cell->setAccessoryView(nullptr);
    cell->setAccessoryType(UITableViewCellAccessoryType::None);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    if (cell->detailTextLabel()) cell->detailTextLabel()->setText("");
    if (isResetRow(indexPath)) {
        cell->setSelectionStyle(UITableViewCellSelectionStyle::Blue);
        cell->textLabel()->setText(std::string(kResetTitle));
    } else if (indexPath.section == 0) {
        fillEntryCell(*cell, indexPath.row);
    } else {
        fillGlobalSwitchCell(*cell, indexPath.row);
    }
    return cell;
}

void LockThemeSettingsController::fillEntryCell(UITableViewCell& cell, int row) {
    const OptionsEntry* entry = entryAt(row);
    if (!entry) {
        cell.textLabel()->setText("");
        return;
    }
    const std::string type = entryText(*entry, kEntryType);
    auto self = sharedFrom(this);
    if (type == kTypeSelect) {
        cell.setSelectionStyle(UITableViewCellSelectionStyle::Blue);
        cell.setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        if (cell.detailTextLabel()) cell.detailTextLabel()->setText(entryText(*entry, kEntryDefault));
    } else if (type == kTypeSwitch) {
        auto toggle = UISwitch::initWithFrame(controlFrame());
        toggle->setTag(row);
        toggle->setOn(defaultReadsAsOn(entryText(*entry, kEntryDefault)));
        toggle->addTarget(self, &LockThemeSettingsController::saveSwitchFlip,
                          "saveSwitchFlip:", UIControlEvents::ValueChanged);
        cell.setAccessoryView(toggle);
    } else if (type == kTypeEdit) {
        auto field = UITextField::initWithFrame(controlFrame());
        field->setTag(row);
        field->setTextColor(UIColor::blackColor());
        field->setTextAlignment(NSTextAlignment::Right);
        field->setText(entryText(*entry, kEntryDefault));
        field->setClearsOnBeginEditing(false);
        field->setDelegate(self);
        field->addTarget(self, &LockThemeSettingsController::saveTextEdit,
                         "saveTextEdit:", UIControlEvents::EditingChanged);
        cell.contentView()->addSubview(field);
    }
    cell.textLabel()->setText(entryText(*entry, kEntryLabel));
}

void LockThemeSettingsController::fillGlobalSwitchCell(UITableViewCell& cell, int row) {
    const std::string_view key = globalSwitchKey(row);
    auto preferences = readPlistDictionaryCached(kPreferencesPath);
    const plist::Value* stored = preferences ? preferences->find(key) : nullptr;
    auto toggle = UISwitch::initWithFrame(controlFrame());
    toggle->setTag(row);
    toggle->setOn(stored && stored->boolValue());
    toggle->addTarget(sharedFrom(this), &LockThemeSettingsController::saveSwitchFlipForSpecial,
                      "saveSwitchFlipForSpecial:", UIControlEvents::ValueChanged);
    cell.setAccessoryView(toggle);
    cell.textLabel()->setText(row != 0 ? "Disable User Interaction" : "Widget is Background");
}

void LockThemeSettingsController::didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
    if (isResetRow(indexPath)) {
        tableView.deselectRowAtIndexPath(indexPath, true);
        resetToThemeDefaults();
        return;
    }
    const OptionsEntry* entry = indexPath.section == 0 ? entryAt(indexPath.row) : nullptr;
    if (!entry || entryText(*entry, kEntryType) != kTypeSelect) return;
    presentPicker(indexPath.row);
    tableView.reloadData();
    tableView.deselectRowAtIndexPath(indexPath, true);
}

void LockThemeSettingsController::presentPicker(int row) {
    const OptionsEntry* entry = entryAt(row);
    const plist::Dictionary* options = entry ? entryOptions(*entry) : nullptr;
    controller_ = OptionsController::initForContentSize(kPickerContentSize,
                                                        options ? *options : plist::Dictionary(), row);
    const std::vector<std::string> labels = entry ? optionKeys(*entry) : std::vector<std::string>();
    const std::string chosen = entry ? entryText(*entry, kEntryDefault) : std::string();
    const auto current = std::find(labels.begin(), labels.end(), chosen);
    controller_->setSelection(static_cast<std::int32_t>(current - labels.begin()));
    navCtrl_ = UINavigationController::initWithRootViewController(controller_);
    auto done = UIBarButtonItem::initWithTitle("Done", UIBarButtonItemStyle::Done, sharedFrom(this),
                                               &LockThemeSettingsController::doneButtonTapped,
                                               "doneButtonTapped:");
    controller_->navigationItem()->setRightBarButtonItem(done, true);
    presentViewController(navCtrl_, true);
}

// ---- Control actions

void LockThemeSettingsController::saveTextEdit(UITextField& field) {
    if (OptionsEntry* entry = entryAt(field.tag()))
        entry->set(std::string(kEntryDefault), plist::Value(field.text()));
}

void LockThemeSettingsController::saveSwitchFlip(UISwitch& toggle) {
    if (OptionsEntry* entry = entryAt(toggle.tag()))
        entry->set(std::string(kEntryDefault), plist::Value(toggle.isOn() ? "true" : "false"));
}

void LockThemeSettingsController::saveSwitchFlipForSpecial(UISwitch& toggle) {
    const std::string key(globalSwitchKey(toggle.tag()));
    const bool on = toggle.isOn();
    // ignored: the store logs a failed save; the switch keeps showing the user's choice.
    (void)updatePlistFile(kPreferencesPath, WhenMissing::Create, [&](plist::Dictionary& preferences) {
        preferences.set(key, plist::Value(on));
        return true;
    });
}

std::optional<bool> LockThemeSettingsController::textFieldShouldReturn(UITextField& field) {
    field.resignFirstResponder();
    return false;
}

void LockThemeSettingsController::doneButtonTapped(UIBarButtonItem&) {
    if (!controller_) return;
    const std::int32_t row = controller_->returnIndex();
    const std::int32_t chosen = controller_->closingOptions();
    if (OptionsEntry* entry = entryAt(row)) {
        const std::vector<std::string> keys = optionKeys(*entry);
        if (chosen >= 0 && static_cast<std::size_t>(chosen) < keys.size())
            entry->set(std::string(kEntryDefault), plist::Value(keys[static_cast<std::size_t>(chosen)]));
    }
    reloadTable();
}

// ---- Storing

void LockThemeSettingsController::writeAllThatData() {
    std::vector<std::string> lines = declarationLines(masterDict_ ? *masterDict_ : OptionsList());
    // ignored: the store logs a failed save; the editor closes all the same.
    (void)storeDeclarationLines(filePath_, std::move(lines));
}

}  // namespace vx
