#pragma once
// Two small pages that exercise the Settings application, and a fixture that opens them: a
// page that builds its own table ("AppTestForm") with a text field, a switch, an alert,
// editing and row moves, and a list page ("AppTestRoot") made of rows. Both write what the
// application does to them into one shared event log.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/settings_application.h"
#include "host/ps_list_controller.h"
#include "host/ps_view_controller.h"
#include "platform/foundation/run_loop.h"
#include "platform/foundation/save_watch.h"
#include "platform/services/class_registry.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/bar_button_item.h"
#include "platform/ui/label.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/screen.h"
#include "platform/ui/switch.h"
#include "platform/ui/table_view.h"
#include "platform/ui/text_field.h"
#include "support/temp_dir.h"

namespace vx::test {

inline std::vector<std::string>& pageEvents() {
    static std::vector<std::string> events;
    return events;
}

inline void note(std::string event) { pageEvents().push_back(std::move(event)); }

inline void showAlert(std::string title, std::string message, std::vector<std::string> buttons,
                      std::weak_ptr<UIAlertViewDelegate> delegate) {
    auto alert = UIAlertView::init();
    alert->setTitle(std::move(title));
    alert->setMessage(std::move(message));
    for (auto& button : buttons) alert->addButtonWithTitle(std::move(button));
    alert->setDelegate(std::move(delegate));
    alert->show();
}

class AppTestFormPage : public PSViewController,
                        public UITableViewDataSource,
                        public UITableViewDelegate,
                        public UITextFieldDelegate,
                        public UIAlertViewDelegate {
public:
    std::string className() const override { return "AppTestForm"; }
    std::string title() const override { return "Form"; }
    void loadView() override {
        note("form.loadView");
        table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
        table->setDataSource(std::weak_ptr<UITableViewDataSource>(self()));
        table->setDelegate(std::weak_ptr<UITableViewDelegate>(self()));
        navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithTitle(
            "Edit", UIBarButtonItemStyle::Plain, self(), &AppTestFormPage::editTapped, "editTapped:"));
        setView(table);
    }
    void viewWillAppear(bool animated) override {
        PSViewController::viewWillAppear(animated);
        note("form.willAppear");
    }

    std::optional<int> numberOfSectionsInTableView(UITableView&) override { return 2; }
    int numberOfRowsInSection(UITableView&, int section) override {
        return section == 0 ? 3 : static_cast<int>(items.size());
    }
    std::optional<std::string> titleForHeaderInSection(UITableView&, int section) override {
        return section == 1 ? std::optional<std::string>("Items") : std::nullopt;
    }
    // Section 0: Name (a text field), Notify (a switch), Choice (opens an alert); section 1:
    // the items, the first checked.
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&, IndexPath path) override {
        auto cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, "FunctionCell");
        cell->setSelectionStyle(path.section == 1 || path.row == 2
                                    ? UITableViewCellSelectionStyle::Blue
                                    : UITableViewCellSelectionStyle::None);
        const char* labels[] = {"Name", "Notify", "Choice"};
        cell->textLabel()->setText(path.section == 1 ? items[static_cast<std::size_t>(path.row)]
                                                     : labels[path.row]);
        if (path.section == 1) {
            if (path.row == 0) cell->setAccessoryType(UITableViewCellAccessoryType::Checkmark);
        } else if (path.row == 0) {
            auto field = UITextField::initWithFrame(CGRectMake(10, 10, 280, 25));
            field->setText(name);
            field->setDelegate(std::weak_ptr<UITextFieldDelegate>(self()));
            field->addTarget(self(), &AppTestFormPage::nameChanged,
                             "nameChanged:", UIControlEvents::EditingChanged);
            cell->contentView()->addSubview(field);
        } else if (path.row == 1) {
            auto toggle = UISwitch::initWithFrame(CGRectMake(10, 10, 280, 25));
            toggle->setOn(notify);
            toggle->addTarget(self(), &AppTestFormPage::notifyFlipped,
                              "notifyFlipped:", UIControlEvents::ValueChanged);
            cell->setAccessoryView(toggle);
        } else {
            cell->detailTextLabel()->setText(choice);
            cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        }
        return cell;
    }
    std::optional<bool> canMoveRowAtIndexPath(UITableView&, IndexPath path) override {
        return path.section == 1;
    }
    void moveRowAtIndexPath(UITableView&, IndexPath from, IndexPath to) override {
        note("move " + std::to_string(from.row) + "->" + std::to_string(to.row));
        auto moved = items[static_cast<std::size_t>(from.row)];
        items.erase(items.begin() + from.row);
        items.insert(items.begin() + to.row, moved);
    }
    bool implementsMoveRow() const override { return true; }
    void didSelectRowAtIndexPath(UITableView& tableView, IndexPath path) override {
        tableView.deselectRowAtIndexPath(path, true);
        if (path.section == 0 && path.row == 2) showAlert("Pick", "Choose one", {"One", "Two"}, self());
    }

    void textFieldDidBeginEditing(UITextField&) override { note("form.beginEditing"); }
    std::optional<bool> textFieldShouldReturn(UITextField& field) override {
        note("form.return");
        field.resignFirstResponder();
        return false;
    }
    void clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override {
        note("form.pick " + std::to_string(buttonIndex));
        choice = alert.buttonTitleAtIndex(buttonIndex);
        if (table) table->reloadData();
    }

    void nameChanged(UITextField& field) {
        name = field.text();
        note("name=" + name);
        if (reloadOnEdit) table->reloadData();
    }
    void notifyFlipped(UISwitch& toggle) {
        notify = toggle.isOn();
        note(std::string("notify=") + (notify ? "on" : "off"));
    }
    void editTapped(UIBarButtonItem& button) {
        const bool editing = !table->isEditing();
        table->setEditing(editing, true);
        button.setTitle(editing ? "Stop" : "Edit");
    }

    std::shared_ptr<UITableView> table;
    std::string name = "Al";
    bool notify = false;
    std::string choice = "One";
    std::vector<std::string> items{"Alpha", "Beta", "Gamma"};
    bool reloadOnEdit = false;  // rebuilds the table (and so the field) on each change

private:
    std::shared_ptr<AppTestFormPage> self() {
        return std::static_pointer_cast<AppTestFormPage>(
            sharedFrom(static_cast<PSViewController*>(this)));
    }
};

class AppTestRootPage : public PSListController, public UIAlertViewDelegate {
public:
    std::string className() const override { return "AppTestRoot"; }
    // A header of three labels: added bottom first and one nested, for the screen orders them
    // by position; the hidden one is not shown.
    void loadView() override {
        note("root.loadView");
        PSListController::loadView();
        auto header = UIView::initWithFrame(CGRectMake(0, 0, 320, 60));
        header->addSubview(labelAt(30, "by Veltrix"));
        auto inner = UIView::initWithFrame(CGRectMake(0, 0, 320, 30));
        inner->addSubview(labelAt(0, "Veltrix Test"));
        header->addSubview(inner);
        auto hidden = labelAt(45, "hidden");
        hidden->setHidden(true);
        header->addSubview(hidden);
        table()->setTableHeaderView(header);
    }
    SpecifierList specifiers() override {
        note("root.specifiers");
        std::weak_ptr<PSListController> page = weakFrom(static_cast<PSListController*>(this));
        // A row, with one property (its key, action or footer) when `property` is given.
        auto row = [&](std::string name, PSCellType type, std::string detail = {},
                       const char* property = nullptr, const char* value = nullptr) {
            auto specifier = PSSpecifier::preferenceSpecifierNamed(
                std::move(name), page, &PSListController::setPreferenceValue,
                &PSListController::readPreferenceValue, std::move(detail), type);
            if (property) specifier->setProperty(value, property);
            return specifier;
        };
        SpecifierList list{row("General", PSCellType::Group, {}, "footerText", "Footer text"),
                           row("Enabled", PSCellType::Switch, {}, "key", "enabled"),
                           row("Nickname", PSCellType::EditText, {}, "key", "nickname"),
                           row("Form", PSCellType::Link, "AppTestForm"),
                           row("On/Off", PSCellType::StaticText),
                           row("Actions", PSCellType::Group),
                           row("Warn", PSCellType::Button, {}, "action", "warn:"),
                           row("Present", PSCellType::Button, {}, "action", "present:"),
                           row("Later", PSCellType::Button, {}, "action", "later:"),
                           row("Enabled", PSCellType::StaticText),
                           row("Again", PSCellType::Link, "AppTestRoot")};
        registerAction("warn:", &AppTestRootPage::warn);
        registerAction("present:", &AppTestRootPage::present);
        registerAction("later:", &AppTestRootPage::later);
        setSpecifiers(list);
        return list;
    }
    std::optional<plist::Value> readPreferenceValue(const SpecifierPtr& specifier) override {
        auto found = values.find(specifier->key());
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void setPreferenceValue(const plist::Value& value, const SpecifierPtr& specifier) override {
        if (refuseSaves) return SaveWatch::note("the disk is full");
        values[specifier->key()] = value;
        note("set " + specifier->key() + "=" +
             (value.isString() ? value.string() : (value.boolValue() ? "true" : "false")));
    }
    void clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override {
        note("root.alert " + alert.title() + " " + std::to_string(buttonIndex));
    }

    void warn(const SpecifierPtr&) { showAlert("Warning", "Careful", {"OK", "Cancel"}, self()); }
    // The form in a navigation container of its own, presented over the stack with "Done".
    void present(const SpecifierPtr&) {
        auto form = std::make_shared<AppTestFormPage>();
        auto navigation = UINavigationController::initWithRootViewController(form);
        form->navigationItem()->setRightBarButtonItem(
            UIBarButtonItem::initWithTitle("Done", UIBarButtonItemStyle::Done, self(),
                                           &AppTestRootPage::doneButtonTapped, "doneButtonTapped:"),
            true);
        presentViewController(navigation, true);
    }
    void doneButtonTapped(UIBarButtonItem&) {
        note("root.done");
        dismissViewControllerAnimated(true);
    }
    // A call due in a second, and one due at once.
    void later(const SpecifierPtr&) {
        std::weak_ptr<PSListController> page = weakFrom(static_cast<PSListController*>(this));
        RunLoop::main().performAfterDelay(1.0, [page] {
            if (page.lock()) note("later.fired");
        });
        RunLoop::main().performAfterDelay(0.0, [page] {
            if (page.lock()) note("soon.fired");
        });
    }

    std::map<std::string, plist::Value> values;
    bool refuseSaves = false;  // each save fails as a full disk would

private:
    static std::shared_ptr<UILabel> labelAt(double y, std::string text) {
        auto label = UILabel::initWithFrame(CGRectMake(0, y, 320, 20));
        label->setText(std::move(text));
        return label;
    }
    std::shared_ptr<AppTestRootPage> self() {
        return std::static_pointer_cast<AppTestRootPage>(
            sharedFrom(static_cast<PSListController*>(this)));
    }
};

// A Settings application on a fresh device root that holds the bundle folder, with the test
// pages registered, the event log cleared and the run loop and the screen started afresh.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().reset(1000);
        UIScreen::mainScreen().reset();
        root.makeFolder(SettingsApplication::kBundlePath);
        ClassRegistry::shared().registerClass<AppTestRootPage>("AppTestRoot");
        ClassRegistry::shared().registerClass<AppTestFormPage>("AppTestForm");
        pageEvents().clear();
    }

    // Opens the test list page as the first page.
    void open() {
        auto opened = app.open("AppTestRoot");
        ASSERT_TRUE(opened.ok()) << opened.error();
    }

    ScopedDeviceRoot root;
    SettingsApplication app;
};

}  // namespace vx::test
