#pragma once
// Two small pages that exercise the Settings application until the bundle's own pages
// exist: a list page ("AppTestRoot") made of rows, and a page that builds its own table
// ("AppTestForm") with a text field, a switch, an alert, editing and row moves. Both write
// what the application does to them into one shared event log.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/ps_list_controller.h"
#include "host/ps_view_controller.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/switch.h"
#include "platform/ui/table_view.h"
#include "platform/ui/text_field.h"

namespace vx::test {

std::vector<std::string>& pageEvents();
// Registers "AppTestRoot" and "AppTestForm" and clears the event log.
void registerAppTestPages();

class AppTestRootPage : public PSListController, public UIAlertViewDelegate {
public:
    std::string className() const override { return "AppTestRoot"; }
    void loadView() override;
    SpecifierList specifiers() override;
    std::optional<plist::Value> readPreferenceValue(const SpecifierPtr& specifier) override;
    void setPreferenceValue(const plist::Value& value, const SpecifierPtr& specifier) override;
    void clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

    void warn(const SpecifierPtr& row);
    void present(const SpecifierPtr& row);
    void later(const SpecifierPtr& row);
    void doneButtonTapped(UIBarButtonItem& button);

    std::map<std::string, plist::Value> values;
    bool refuseSaves = false;  // each save fails as a full disk would
};

class AppTestFormPage : public PSViewController,
                        public UITableViewDataSource,
                        public UITableViewDelegate,
                        public UITextFieldDelegate,
                        public UIAlertViewDelegate {
public:
    std::string className() const override { return "AppTestForm"; }
    std::string title() const override { return "Form"; }
    void loadView() override;
    void viewWillAppear(bool animated) override;

    std::optional<int> numberOfSectionsInTableView(UITableView& tableView) override;
    int numberOfRowsInSection(UITableView& tableView, int section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                           IndexPath indexPath) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, int section) override;
    std::optional<bool> canMoveRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;
    void moveRowAtIndexPath(UITableView& tableView, IndexPath from, IndexPath to) override;
    bool implementsMoveRow() const override { return true; }
    void didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;

    void textFieldDidBeginEditing(UITextField& field) override;
    std::optional<bool> textFieldShouldReturn(UITextField& field) override;
    void clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

    void nameChanged(UITextField& field);
    void notifyFlipped(UISwitch& toggle);
    void editTapped(UIBarButtonItem& button);

    std::shared_ptr<UITableView> table;
    std::string name = "Al";
    bool notify = false;
    std::string choice = "One";
    std::vector<std::string> items{"Alpha", "Beta", "Gamma"};
    bool reloadOnEdit = false;  // rebuilds the table (and so the field) on each change
};

}  // namespace vx::test
