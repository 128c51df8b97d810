#pragma once
// LockThemeOrderViewController: the selected themes in a table that stands in reordering
// mode. Drags change a working copy of "ThemesSelected"; "Done" stores the copy in its new
// order (creating the file when there is none) and closes the page.
#include <memory>
#include <string>
#include <string_view>

#include "host/ps_view_controller.h"
#include "platform/foundation/plist_value.h"
#include "platform/ui/bar_button_item.h"
#include "platform/ui/page_table.h"
#include "platform/ui/table_view.h"

namespace vx {

class LockThemeOrderViewController : public PSViewController,
                                     public UITableViewDataSource,
                                     public FixedRowsTableDelegate {
public:
    static constexpr const char* kClassName = "LockThemeOrderViewController";
    static constexpr std::string_view kTitle = "Theme Order";
    static constexpr std::string_view kCellIdentifier = "FunctionCell";

    // init — reads the stored list and builds the table in editing mode.
    static std::shared_ptr<LockThemeOrderViewController> init();
    static std::shared_ptr<LockThemeOrderViewController> sharedInstance();

    std::string className() const override { return kClassName; }
    std::string title() const override { return std::string(kTitle); }
    std::string navigationTitle() const override { return std::string(kTitle); }
    std::shared_ptr<UIView> view() override;

    // ---- Table
    void moveRowAtIndexPath(UITableView& tableView, IndexPath from, IndexPath to) override;
    bool implementsMoveRow() const override { return true; }
    std::optional<bool> canMoveRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;
    std::optional<int> numberOfSectionsInTableView(UITableView& tableView) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, int section) override;
    int numberOfRowsInSection(UITableView& tableView, int section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                           IndexPath indexPath) override;
    void didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;
    std::optional<bool> canEditRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;

    void doneButtonTapped(UIBarButtonItem& sender);

    const std::shared_ptr<UITableView>& tableView() const { return tableView_; }
    void setTableView(std::shared_ptr<UITableView> table) { tableView_ = std::move(table); }
    const plist::Array& themeArray() const { return themeArray_; }
    void setThemeArray(plist::Array themes) { themeArray_ = std::move(themes); }

private:
    void buildTable();

    plist::Array themeArray_;
    std::shared_ptr<UITableView> tableView_;
};

}  // namespace vx
