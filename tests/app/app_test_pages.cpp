#include "app_test_pages.h"

#include "platform/foundation/run_loop.h"
#include "platform/foundation/save_watch.h"
#include "platform/services/class_registry.h"
#include "platform/ui/bar_button_item.h"
#include "platform/ui/label.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/switch.h"

namespace vx::test {

std::vector<std::string>& pageEvents() {
    static std::vector<std::string> events;
    return events;
}

void registerAppTestPages() {
    ClassRegistry::shared().registerClass<AppTestRootPage>("AppTestRoot");
    ClassRegistry::shared().registerClass<AppTestFormPage>("AppTestForm");
    pageEvents().clear();
}

namespace {

void note(std::string event) { pageEvents().push_back(std::move(event)); }

std::shared_ptr<UILabel> labelAt(double y, std::string text) {
    auto label = UILabel::initWithFrame(CGRectMake(0, y, 320, 20));
    label->setText(std::move(text));
    return label;
}

}  // namespace

// ---- AppTestRootPage

void AppTestRootPage::loadView() {
    note("root.loadView");
    PSListController::loadView();
    auto header = UIView::initWithFrame(CGRectMake(0, 0, 320, 60));
    // Added bottom first: the snapshot orders header labels by position, not by adding.
    header->addSubview(labelAt(30, "by Veltrix"));
    auto inner = UIView::initWithFrame(CGRectMake(0, 0, 320, 30));
    inner->addSubview(labelAt(0, "Veltrix Test"));
    header->addSubview(inner);
    auto hidden = labelAt(45, "hidden");
    hidden->setHidden(true);
    header->addSubview(hidden);
    table()->setTableHeaderView(header);
}

SpecifierList AppTestRootPage::specifiers() {
    note("root.specifiers");
    std::weak_ptr<PSListController> self = weakFrom(static_cast<PSListController*>(this));
    auto row = [&](std::string name, PSCellType type, std::string detail = {}) {
        return PSSpecifier::preferenceSpecifierNamed(
            std::move(name), self, &PSListController::setPreferenceValue,
            &PSListController::readPreferenceValue, std::move(detail), type);
    };
    auto general = row("General", PSCellType::Group);
    general->setProperty("Footer text", "footerText");
    auto enabled = row("Enabled", PSCellType::Switch);
    enabled->setProperty("enabled", "key");
    auto nickname = row("Nickname", PSCellType::EditText);
    nickname->setProperty("nickname", "key");
    auto actions = row("Actions", PSCellType::Group);
    auto warn = row("Warn", PSCellType::Button);
    warn->setProperty("warn:", "action");
    auto present = row("Present", PSCellType::Button);
    present->setProperty("present:", "action");
    auto later = row("Later", PSCellType::Button);
    later->setProperty("later:", "action");
    SpecifierList list{general,
                       enabled,
                       nickname,
                       row("Form", PSCellType::Link, "AppTestForm"),
                       row("On/Off", PSCellType::StaticText),
                       actions,
                       warn,
                       present,
                       later,
                       row("Enabled", PSCellType::StaticText),
                       row("Again", PSCellType::Link, "AppTestRoot")};
    registerAction("warn:", &AppTestRootPage::warn);
    registerAction("present:", &AppTestRootPage::present);
    registerAction("later:", &AppTestRootPage::later);
    setSpecifiers(list);
    return list;
}

std::optional<plist::Value> AppTestRootPage::readPreferenceValue(const SpecifierPtr& specifier) {
    auto found = values.find(specifier->key());
    return found == values.end() ? std::nullopt : std::optional(found->second);
}

void AppTestRootPage::setPreferenceValue(const plist::Value& value, const SpecifierPtr& specifier) {
    if (refuseSaves) return SaveWatch::note("the disk is full");
    values[specifier->key()] = value;
    note("set " + specifier->key() + "=" +
         (value.isString() ? value.string() : (value.boolValue() ? "true" : "false")));
}

void AppTestRootPage::warn(const SpecifierPtr&) {
    auto alert = UIAlertView::init();
    alert->setTitle("Warning");
    alert->setMessage("Careful");
    alert->addButtonWithTitle("OK");
    alert->addButtonWithTitle("Cancel");
    alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(
        std::static_pointer_cast<AppTestRootPage>(sharedFrom(static_cast<PSListController*>(this)))));
    alert->show();
}

void AppTestRootPage::clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    note("root.alert " + alert.title() + " " + std::to_string(buttonIndex));
}

void AppTestRootPage::present(const SpecifierPtr&) {
    auto self = std::static_pointer_cast<AppTestRootPage>(
        sharedFrom(static_cast<PSListController*>(this)));
    auto form = std::make_shared<AppTestFormPage>();
    auto navigation = UINavigationController::initWithRootViewController(form);
    form->navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitle("Done", UIBarButtonItemStyle::Done, self,
                                       &AppTestRootPage::doneButtonTapped, "doneButtonTapped:"),
        true);
    presentViewController(navigation, true);
}

void AppTestRootPage::doneButtonTapped(UIBarButtonItem&) {
    note("root.done");
    dismissViewControllerAnimated(true);
}

void AppTestRootPage::later(const SpecifierPtr&) {
    std::weak_ptr<PSListController> self = weakFrom(static_cast<PSListController*>(this));
    RunLoop::main().performAfterDelay(1.0, [self] {
        if (self.lock()) note("later.fired");
    });
    RunLoop::main().performAfterDelay(0.0, [self] {
        if (self.lock()) note("soon.fired");
    });
}

// ---- AppTestFormPage

void AppTestFormPage::loadView() {
    note("form.loadView");
    table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
    auto self = std::static_pointer_cast<AppTestFormPage>(
        sharedFrom(static_cast<PSViewController*>(this)));
    table->setDataSource(std::weak_ptr<UITableViewDataSource>(self));
    table->setDelegate(std::weak_ptr<UITableViewDelegate>(self));
    navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithTitle(
        "Edit", UIBarButtonItemStyle::Plain, self, &AppTestFormPage::editTapped, "editTapped:"));
    setView(table);
}

void AppTestFormPage::viewWillAppear(bool animated) {
    PSViewController::viewWillAppear(animated);
    note("form.willAppear");
}

std::optional<int> AppTestFormPage::numberOfSectionsInTableView(UITableView&) { return 2; }

int AppTestFormPage::numberOfRowsInSection(UITableView&, int section) {
    return section == 0 ? 3 : static_cast<int>(items.size());
}

std::optional<std::string> AppTestFormPage::titleForHeaderInSection(UITableView&, int section) {
    return section == 1 ? std::optional<std::string>("Items") : std::nullopt;
}

std::shared_ptr<UITableViewCell> AppTestFormPage::cellForRowAtIndexPath(UITableView& tableView,
                                                                        IndexPath path) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("FunctionCell");
    if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, "FunctionCell");
    cell->contentView()->removeAllSubviews();
    cell->setAccessoryView(nullptr);
    cell->setAccessoryType(UITableViewCellAccessoryType::None);
    cell->detailTextLabel()->setText("");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto self = std::static_pointer_cast<AppTestFormPage>(
        sharedFrom(static_cast<PSViewController*>(this)));
    if (path.section == 1) {
        cell->textLabel()->setText(items[static_cast<std::size_t>(path.row)]);
        cell->setSelectionStyle(UITableViewCellSelectionStyle::Blue);
        if (path.row == 0) cell->setAccessoryType(UITableViewCellAccessoryType::Checkmark);
        return cell;
    }
    if (path.row == 0) {
        cell->textLabel()->setText("Name");
        auto field = UITextField::initWithFrame(CGRectMake(10, 10, 280, 25));
        field->setText(name);
        field->setDelegate(std::weak_ptr<UITextFieldDelegate>(self));
        field->addTarget(self, &AppTestFormPage::nameChanged,
                         "nameChanged:", UIControlEvents::EditingChanged);
        cell->contentView()->addSubview(field);
    } else if (path.row == 1) {
        cell->textLabel()->setText("Notify");
        auto toggle = UISwitch::initWithFrame(CGRectMake(10, 10, 280, 25));
        toggle->setOn(notify);
        toggle->addTarget(self, &AppTestFormPage::notifyFlipped,
                          "notifyFlipped:", UIControlEvents::ValueChanged);
        cell->setAccessoryView(toggle);
    } else {
        cell->textLabel()->setText("Choice");
        cell->detailTextLabel()->setText(choice);
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        cell->setSelectionStyle(UITableViewCellSelectionStyle::Blue);
    }
    return cell;
}

std::optional<bool> AppTestFormPage::canMoveRowAtIndexPath(UITableView&, IndexPath path) {
    return path.section == 1;
}

void AppTestFormPage::moveRowAtIndexPath(UITableView&, IndexPath from, IndexPath to) {
    note("move " + std::to_string(from.row) + "->" + std::to_string(to.row));
    auto moved = items[static_cast<std::size_t>(from.row)];
    items.erase(items.begin() + from.row);
    items.insert(items.begin() + to.row, moved);
}

void AppTestFormPage::didSelectRowAtIndexPath(UITableView& tableView, IndexPath path) {
    tableView.deselectRowAtIndexPath(path, true);
    if (path.section == 0 && path.row == 2) {
        auto alert = UIAlertView::init();
        alert->setTitle("Pick");
        alert->setMessage("Choose one");
        alert->addButtonWithTitle("One");
        alert->addButtonWithTitle("Two");
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<AppTestFormPage>(
            sharedFrom(static_cast<PSViewController*>(this)))));
        alert->show();
    }
}

void AppTestFormPage::textFieldDidBeginEditing(UITextField&) { note("form.beginEditing"); }

std::optional<bool> AppTestFormPage::textFieldShouldReturn(UITextField& field) {
    note("form.return");
    field.resignFirstResponder();
    return false;
}

void AppTestFormPage::clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    note("form.pick " + std::to_string(buttonIndex));
    choice = alert.buttonTitleAtIndex(buttonIndex);
    if (table) table->reloadData();
}

void AppTestFormPage::nameChanged(UITextField& field) {
    name = field.text();
    note("name=" + name);
    if (reloadOnEdit) table->reloadData();
}

void AppTestFormPage::notifyFlipped(UISwitch& toggle) {
    notify = toggle.isOn();
    note(std::string("notify=") + (notify ? "on" : "off"));
}

void AppTestFormPage::editTapped(UIBarButtonItem& button) {
    const bool editing = !table->isEditing();
    table->setEditing(editing, true);
    button.setTitle(editing ? "Stop" : "Edit");
}

}  // namespace vx::test
