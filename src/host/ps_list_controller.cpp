#include "host/ps_list_controller.h"

#include <algorithm>

#include "host/defaults_domain.h"
#include "host/plugin_entry.h"
#include "host/specifier_file.h"
#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"
#include "platform/services/class_registry.h"
#include "platform/ui/image.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/slider.h"
#include "platform/ui/switch.h"
#include "platform/ui/text_field.h"

namespace vx {
namespace {

constexpr CGRect kTextFieldFrame{{0, 0}, {180, 31}};

bool isTappable(PSCellType type) {
    return type == PSCellType::Link || type == PSCellType::LinkList || type == PSCellType::Segment ||
           type == PSCellType::Button;
}

bool opensChoicePage(PSCellType type) {
    return type == PSCellType::LinkList || type == PSCellType::Segment;
}

// How a stored value reads in a text field or a detail label.
std::string displayText(const plist::Value& value) {
    switch (value.type()) {
        case plist::Value::Type::String: return value.string();
        case plist::Value::Type::Integer: return std::to_string(value.integer());
        case plist::Value::Type::Real: return str::formatG(value.real());
        case plist::Value::Type::Boolean: return value.boolean() ? "1" : "0";
        default: return {};
    }
}

std::string describe(const SpecifierPtr& specifier) {
    return specifier ? "\"" + specifier->name() + "\"" : "(none)";
}

// The action of a row's control: stores the control's value (`valueOf`) as the row's value.
// The page and the row are held weakly; once either is gone the action does nothing.
template <class Control, class ValueOf>
TargetAction storeValueAction(const std::weak_ptr<PSListController>& page, std::string selector,
                              const SpecifierPtr& specifier, ValueOf valueOf) {
    std::weak_ptr<PSSpecifier> weakRow = specifier;
    return TargetAction(
        page, std::move(selector),
        [weakRow, valueOf](const std::shared_ptr<void>& target, Object& sender) {
            auto* control = dynamic_cast<Control*>(&sender);
            SpecifierPtr row = weakRow.lock();
            if (!target || !control || !row) return;
            static_cast<PSListController*>(target.get())->setValueForSpecifier(valueOf(*control), row);
        });
}

}  // namespace

std::shared_ptr<PSListController> PSListController::init() {
    return std::make_shared<PSListController>();
}

// ---- Rows

SpecifierList PSListController::specifiers() { return specifiers_.value_or(SpecifierList{}); }

SpecifierList& PSListController::cachedSpecifiers() {
    if (!specifiers_) specifiers_.emplace();
    groups_.reset();
    return *specifiers_;
}

void PSListController::setSpecifiers(SpecifierList specifiers) {
    specifiers_ = std::move(specifiers);
    groups_.reset();
}

const SpecifierList& PSListController::shownSpecifiers() const {
    static const SpecifierList kNone;
    return specifiers_ ? *specifiers_ : kNone;
}

void PSListController::reloadSpecifiers() {
    setSpecifiers(specifiers());
    if (table_) table_->reloadData();
}

void PSListController::viewWillAppear(bool animated) {
    PSViewController::viewWillAppear(animated);
    reloadSpecifiers();
}

SpecifierList PSListController::loadSpecifiersFromPlistName(std::string_view name,
                                                            std::weak_ptr<PSListController> target) {
    std::optional<std::string> path = bundle()->pathForResource(name, "plist");
    if (!path) {
        log::write("Specifier file " + std::string(name) + ".plist not found in " + bundlePath());
        return {};
    }
    SpecifierFile file = loadSpecifierFile(*path, target);
    if (file.title) setTitle(*file.title);
    for (const SpecifierPtr& row : file.specifiers) attachIconImage(*row, bundlePath());
    return std::move(file.specifiers);
}

const std::vector<PSListController::Group>& PSListController::groups() const {
    if (groups_) return *groups_;
    std::vector<Group>& groups = groups_.emplace();
    const SpecifierList& rows = shownSpecifiers();
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const SpecifierPtr& row = rows[index];
        if (row && row->cellType() == PSCellType::Group) {
            groups.push_back(Group{row, {}});
            continue;
        }
        if (groups.empty()) groups.push_back(Group{nullptr, {}});
        groups.back().rows.push_back(index);
    }
    return groups;
}

SpecifierPtr PSListController::specifierAtIndexPath(IndexPath indexPath) const {
    const std::vector<Group>& all = groups();
    if (indexPath.section < 0 || indexPath.section >= static_cast<int>(all.size())) return nullptr;
    const Group& group = all[indexPath.section];
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(group.rows.size())) return nullptr;
    return shownSpecifiers()[group.rows[indexPath.row]];
}

std::optional<IndexPath> PSListController::indexPathForSpecifier(const SpecifierPtr& specifier) const {
    if (!specifier) return std::nullopt;
    const std::vector<Group>& all = groups();
    for (std::size_t section = 0; section < all.size(); ++section) {
        const std::vector<std::size_t>& rows = all[section].rows;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (shownSpecifiers()[rows[row]] == specifier) {
                return IndexPath::indexPathForRow(static_cast<int>(row), static_cast<int>(section));
            }
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> PSListController::indexOfSpecifier(const SpecifierPtr& specifier) const {
    const SpecifierList& rows = shownSpecifiers();
    auto found = std::find(rows.begin(), rows.end(), specifier);
    if (!specifier || found == rows.end()) return std::nullopt;
    return static_cast<std::size_t>(found - rows.begin());
}

SpecifierPtr PSListController::specifierForID(std::string_view identifier) const {
    for (const SpecifierPtr& row : shownSpecifiers()) {
        if (row && row->identifier() == identifier) return row;
    }
    return nullptr;
}

void PSListController::insertSpecifier(SpecifierPtr specifier, const SpecifierPtr& after,
                                       bool animated) {
    if (!specifier || indexOfSpecifier(specifier)) {
        log::write("insertSpecifier: row " + describe(specifier) + " is missing or already shown");
        return;
    }
    std::optional<std::size_t> afterIndex = indexOfSpecifier(after);
    if (!afterIndex) {
        log::write("insertSpecifier: row " + describe(after) + " to insert after is not shown");
        return;
    }
    SpecifierList& rows = cachedSpecifiers();
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(*afterIndex + 1), specifier);
    std::optional<IndexPath> path = indexPathForSpecifier(specifier);
    tellTableAboutRow(specifier, true, path.value_or(IndexPath{}), animated);
}

void PSListController::removeSpecifier(const SpecifierPtr& specifier, bool animated) {
    std::optional<std::size_t> index = indexOfSpecifier(specifier);
    if (!index) return;
    std::optional<IndexPath> path = indexPathForSpecifier(specifier);
    SpecifierList& rows = cachedSpecifiers();
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(*index));
    tellTableAboutRow(specifier, false, path.value_or(IndexPath{}), animated);
}

// A row change reaches a table that has shown rows: a plain row as an (animated) row
// insertion or deletion, a group row, which reshapes the sections, as a reload.
void PSListController::tellTableAboutRow(const SpecifierPtr& specifier, bool inserted, IndexPath path,
                                         bool animated) {
    if (!table_ || !table_->hasLoaded()) return;
    if (specifier->cellType() == PSCellType::Group) {
        table_->reloadData();
        return;
    }
    const UITableViewRowAnimation animation = animated ? UITableViewRowAnimation::Fade
                                                       : UITableViewRowAnimation::None;
    if (inserted) {
        table_->insertRowsAtIndexPaths({path}, animation);
    } else {
        table_->deleteRowsAtIndexPaths({path}, animation);
    }
}

// ---- Values

std::optional<plist::Value> PSListController::readPreferenceValue(const SpecifierPtr& specifier) {
    if (!specifier) return std::nullopt;
    const plist::Value* fallback = specifier->propertyForKey("default");
    std::optional<std::string> domain = specifier->stringPropertyForKey("defaults");
    std::string key = specifier->key();
    if (!domain || key.empty()) {
        if (fallback) return *fallback;
        return std::nullopt;
    }
    return readDefaultsValue(*domain, key, fallback);
}

void PSListController::setPreferenceValue(const plist::Value& value, const SpecifierPtr& specifier) {
    if (!specifier) return;
    std::optional<std::string> domain = specifier->stringPropertyForKey("defaults");
    std::string key = specifier->key();
    if (!domain || key.empty()) {
        log::write("setPreferenceValue: row " + describe(specifier) +
                   " names no key and defaults domain; nothing stored");
        return;
    }
    // ignored: writeDefaultsValue logs its failures; a page has nobody to tell.
    (void)writeDefaultsValue(*domain, key, value,
                             specifier->stringPropertyForKey("PostNotification").value_or(""));
}

std::optional<plist::Value> PSListController::valueForSpecifier(const SpecifierPtr& specifier) {
    if (!specifier || !specifier->getter()) return std::nullopt;
    std::shared_ptr<PSListController> target = specifier->target().lock();
    if (!target) return std::nullopt;
    return ((*target).*(specifier->getter()))(specifier);
}

void PSListController::setValueForSpecifier(const plist::Value& value, const SpecifierPtr& specifier) {
    if (!specifier || !specifier->setter()) return;
    std::shared_ptr<PSListController> target = specifier->target().lock();
    if (!target) {
        log::write("Row " + describe(specifier) + " has lost its page; value not stored");
        return;
    }
    ((*target).*(specifier->setter()))(value, specifier);
}

// ---- Bundle, table, title

std::string PSListController::bundlePath() const { return bundlePath_; }

void PSListController::setBundlePath(std::string devicePath) {
    bundlePath_ = std::move(devicePath);
    bundle_.reset();
}

std::shared_ptr<Bundle> PSListController::bundle() const {
    const std::string path = bundlePath();
    if (!bundle_ || bundle_->bundlePath() != path) bundle_ = std::make_shared<Bundle>(path);
    return bundle_;
}

void PSListController::loadView() {
    const CGSize size = contentSize();
    table_ = UITableView::initWithFrame(CGRect{{0, 0}, size}, UITableViewStyle::Grouped);
    std::shared_ptr<PSListController> self = sharedFrom(this);
    table_->setDataSource(std::weak_ptr<UITableViewDataSource>(self));
    table_->setDelegate(std::weak_ptr<UITableViewDelegate>(self));
    setView(table_);
}

void PSListController::setSpecifier(SpecifierPtr specifier) {
    if (specifier) setTitle(specifier->name());
    PSViewController::setSpecifier(std::move(specifier));
}

// ---- Button actions

std::optional<PSListController::Action> PSListController::actionForName(std::string_view name) const {
    auto found = actions_.find(name);
    if (found == actions_.end()) return std::nullopt;
    return found->second;
}

bool PSListController::performAction(std::string_view name, const SpecifierPtr& specifier) {
    std::optional<Action> action = actionForName(name);
    if (!action) {
        log::write("Button " + describe(specifier) + ": " + className() + " has no action \"" +
                   std::string(name) + "\"");
        return false;
    }
    (*action)(*this, specifier);
    return true;
}

// ---- Plugin entries

SpecifierList PSListController::specifiersFromEntry(const plist::Value& entry,
                                                    std::string_view bundlePath,
                                                    std::string_view title) {
    return specifiersFromPluginEntry(entry, bundlePath, title, weakFrom(this));
}

// ---- Data source

// The table asks this first on every load: a page shown before anyone asked for its rows
// builds them now.
std::optional<int> PSListController::numberOfSectionsInTableView(UITableView&) {
    if (!hasSpecifiers()) setSpecifiers(specifiers());
    return static_cast<int>(groups().size());
}

int PSListController::numberOfRowsInSection(UITableView&, int section) {
    const std::vector<Group>& all = groups();
    if (section < 0 || section >= static_cast<int>(all.size())) return 0;
    return static_cast<int>(all[section].rows.size());
}

std::optional<std::string> PSListController::titleForHeaderInSection(UITableView&, int section) {
    const std::vector<Group>& all = groups();
    if (section < 0 || section >= static_cast<int>(all.size())) return std::nullopt;
    const SpecifierPtr& group = all[section].groupSpecifier;
    if (!group || group->name().empty()) return std::nullopt;
    return group->name();
}

std::optional<std::string> PSListController::titleForFooterInSection(UITableView&, int section) {
    const std::vector<Group>& all = groups();
    if (section < 0 || section >= static_cast<int>(all.size())) return std::nullopt;
    const SpecifierPtr& group = all[section].groupSpecifier;
    if (!group) return std::nullopt;
    return group->stringPropertyForKey("footerText");
}

std::optional<bool> PSListController::canEditRowAtIndexPath(UITableView&, IndexPath) { return false; }

std::shared_ptr<UITableViewCell> PSListController::cellForRowAtIndexPath(UITableView& tableView,
                                                                         IndexPath indexPath) {
    SpecifierPtr specifier = specifierAtIndexPath(indexPath);
    const std::string identifier(
        PSTableCell::stringFromCellType(specifier ? specifier->cellType() : PSCellType::StaticText));
    std::shared_ptr<UITableViewCell> cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, identifier);
    if (specifier) configureCell(*cell, specifier);
    return cell;
}

// Sets every part of the cell, since a reused cell still shows its previous row.
void PSListController::configureCell(UITableViewCell& cell, const SpecifierPtr& specifier) {
    const bool enabled = specifier->isEnabled();
    cell.textLabel()->setText(specifier->name());
    if (const auto& detail = cell.detailTextLabel()) detail->setText("");
    cell.setAccessoryView(nullptr);
    cell.setAccessoryType(UITableViewCellAccessoryType::None);
    cell.contentView()->removeAllSubviews();
    cell.setSelectionStyle(enabled && isTappable(specifier->cellType())
                               ? UITableViewCellSelectionStyle::Blue
                               : UITableViewCellSelectionStyle::None);
    switch (specifier->cellType()) {
        case PSCellType::Switch: configureSwitch(cell, specifier); break;
        case PSCellType::EditText:
        case PSCellType::SecureEditText: configureTextField(cell, specifier); break;
        case PSCellType::Link:
            cell.setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
            break;
        case PSCellType::LinkList:
        case PSCellType::Segment:
            cell.setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
            configureValueDetail(cell, specifier);
            break;
        case PSCellType::TitleValue: configureValueDetail(cell, specifier); break;
        case PSCellType::Slider:
            configureValueDetail(cell, specifier);
            configureSlider(cell, specifier);
            break;
        case PSCellType::Group:
        case PSCellType::Button:
        case PSCellType::StaticText: break;
    }
}

void PSListController::configureSwitch(UITableViewCell& cell, const SpecifierPtr& specifier) {
    auto control = UISwitch::initWithFrame(CGRect{{0, 0}, UISwitch::kSize});
    std::optional<plist::Value> value = valueForSpecifier(specifier);
    control->setOn(value && value->boolValue());
    control->setEnabled(specifier->isEnabled());
    auto isOn = [](const UISwitch& toggled) { return plist::Value(toggled.isOn()); };
    control->addTarget(storeValueAction<UISwitch>(weakFrom(this), "setSwitchValue:", specifier, isOn),
                       UIControlEvents::ValueChanged);
    cell.setAccessoryView(control);
}

void PSListController::configureTextField(UITableViewCell& cell, const SpecifierPtr& specifier) {
    auto field = UITextField::initWithFrame(kTextFieldFrame);
    std::optional<plist::Value> value = valueForSpecifier(specifier);
    field->setText(value ? displayText(*value) : std::string());
    field->setPlaceholder(specifier->stringPropertyForKey("placeholder").value_or(""));
    field->setSecureTextEntry(specifier->cellType() == PSCellType::SecureEditText);
    field->setEnabled(specifier->isEnabled());
    auto text = [](const UITextField& edited) { return plist::Value(edited.text()); };
    field->addTarget(storeValueAction<UITextField>(weakFrom(this), "setTextValue:", specifier, text),
                     UIControlEvents::EditingChanged);
    cell.setAccessoryView(field);
}

// The slider spans "min" to "max" (0 to 1 by default) and stores its value as a real, as
// the device's slider does; the detail label follows the thumb when the row shows its value.
void PSListController::configureSlider(UITableViewCell& cell, const SpecifierPtr& specifier) {
    auto slider = UISlider::initWithFrame(kTextFieldFrame);
    const plist::Value* minimum = specifier->propertyForKey("min");
    const plist::Value* maximum = specifier->propertyForKey("max");
    const plist::Value* continuous = specifier->propertyForKey("isContinuous");
    slider->setMinimumValue(minimum ? minimum->doubleValue() : 0.0);
    slider->setMaximumValue(maximum ? maximum->doubleValue() : 1.0);
    slider->setContinuous(!continuous || continuous->boolValue());
    std::optional<plist::Value> value = valueForSpecifier(specifier);
    slider->setValue(value ? value->doubleValue() : slider->minimumValue());
    slider->setEnabled(specifier->isEnabled());
    const plist::Value* shows = specifier->propertyForKey("showValue");
    std::weak_ptr<UILabel> detail;
    if (shows && shows->boolValue()) detail = cell.detailTextLabel();
    auto position = [detail](const UISlider& slid) {
        plist::Value stored(slid.value());
        if (auto label = detail.lock()) label->setText(displayText(stored));
        return stored;
    };
    slider->addTarget(storeValueAction<UISlider>(weakFrom(this), "setSliderValue:", specifier, position),
                      UIControlEvents::ValueChanged);
    cell.setAccessoryView(slider);
}

// The current value's title (choice rows), else the value itself.
void PSListController::configureValueDetail(UITableViewCell& cell, const SpecifierPtr& specifier) {
    const auto& detail = cell.detailTextLabel();
    if (!detail) return;
    std::optional<plist::Value> value = valueForSpecifier(specifier);
    if (!value) return;
    if (specifier->cellType() == PSCellType::Slider) {
        const plist::Value* shows = specifier->propertyForKey("showValue");
        if (!shows || !shows->boolValue()) return;
    }
    detail->setText(specifier->titleForValue(*value).value_or(displayText(*value)));
}

// ---- Delegate

void PSListController::didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    SpecifierPtr specifier = specifierAtIndexPath(indexPath);
    if (!specifier || !specifier->isEnabled()) return;
    activateSpecifier(specifier);
}

void PSListController::activateSpecifier(const SpecifierPtr& specifier) {
    const PSCellType type = specifier->cellType();
    if (type == PSCellType::Link || opensChoicePage(type)) {
        openDetailOf(specifier);
        return;
    }
    if (type != PSCellType::Button) return;
    std::shared_ptr<PSListController> target = specifier->target().lock();
    if (!target) {
        log::write("Button " + describe(specifier) + " has lost its page");
        return;
    }
    target->performAction(specifier->actionName(), specifier);
}

void PSListController::openDetailOf(const SpecifierPtr& specifier) {
    const std::string& className = specifier->detailClassName();
    if (className.empty()) return;
    auto page = ClassRegistry::shared().instantiateAs<UIViewController>(className);
    if (!page) {
        log::write("Row " + describe(specifier) + ": no page class \"" + className + "\"");
        return;
    }
    if (auto settingsPage = std::dynamic_pointer_cast<PSViewController>(page)) {
        settingsPage->setSpecifier(specifier);
    }
    std::shared_ptr<UINavigationController> navigation = navigationController();
    if (!navigation) {
        log::write("Row " + describe(specifier) + ": page is in no navigation container");
        return;
    }
    navigation->pushViewController(page, true);
}

}  // namespace vx
