#pragma once
// LockThemeViewController: the theme list. It scans the theme folders once when it is
// created, shows one row per theme (check mark when a selected record has the row's name),
// and a tap selects or deselects the theme in "ThemesSelected". A new selection offers to
// reset the widget coordinates and opens the theme's settings editor when it has one. The
// "Reorder" button presents the theme order page.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/ps_view_controller.h"
#include "platform/foundation/plist_value.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/bar_button_item.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/page_table.h"
#include "platform/ui/table_view.h"
#include "themes/widget_coordinates.h"

namespace vx {

class LockThemeViewController : public PSViewController,
                                public UITableViewDataSource,
                                public FixedRowsTableDelegate,
                                public UIAlertViewDelegate {
public:
    static constexpr const char* kClassName = "LockThemeViewController";
    static constexpr std::string_view kTitle = "Themes";
    static constexpr std::string_view kCellIdentifier = "FunctionCell";
    static constexpr std::string_view kResetTitle = "Reset Widget Coordinates";
    static constexpr std::string_view kResetMessage = "Would you like to reset the Widget Coordinates";

    // initForContentSize: — scans the folders and builds the page (the size is ignored).
    static std::shared_ptr<LockThemeViewController> initForContentSize(CGSize size);
    // init — a page with an empty theme map and no table.
    static std::shared_ptr<LockThemeViewController> init();
    // One page for the life of the process, made by init on first use.
    static std::shared_ptr<LockThemeViewController> sharedInstance();

    std::string className() const override { return kClassName; }
    std::string title() const override { return std::string(kTitle); }
    std::string navigationTitle() const override { return std::string(kTitle); }
    std::shared_ptr<UIView> view() override;

    // ---- Table
    std::optional<int> numberOfSectionsInTableView(UITableView& tableView) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, int section) override;
    int numberOfRowsInSection(UITableView& tableView, int section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                           IndexPath indexPath) override;
    void didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;
    void accessoryButtonTappedForRowWithIndexPath(UITableView& tableView, IndexPath indexPath) override;

    // ---- Widget position reset
    // getFrameForWidgetWithPath: — takes the theme's display name.
    WidgetPoint getFrameForWidgetWithPath(std::string_view name) const;
    // Puts up the reset alert unless both are 0.
    void resetWidgetSelectorWithX(double x, double y);
    // alertView:clickedButtonAtIndex: — "Reset" (0) sets the top-level "widgetX" and
    // "widgetY" to 0, creating the file when there is none; anything else does nothing.
    void clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

    // ---- Modal pages
    // Opens the theme's settings editor when it has a settings script or an options file.
    void presentOptionsMenuForTheme(std::string_view themePath);
    // Presents a fresh theme order page in its own container with a "Done" button.
    void segueReorderView();
    // The editor's "Done": it stores its values, and the editor is closed.
    void doneButtonTapped(UIBarButtonItem& sender);

    // ---- Properties
    const std::shared_ptr<UITableView>& tblView() const { return tblView_; }
    void setTblView(std::shared_ptr<UITableView> table) { tblView_ = std::move(table); }
    const plist::Dictionary& dict() const { return dict_; }
    void setDict(plist::Dictionary dict);
    const std::shared_ptr<UIViewController>& controller() const { return controller_; }
    const std::shared_ptr<UINavigationController>& navCtrl() const { return navCtrl_; }

    // The record shown on a row, or nullptr for a row that is not there.
    const plist::Dictionary* recordAtRow(int row) const;

private:
    void scanThemes();
    void buildNavigationItem();
    void buildTable();
    bool rowIsSelected(std::size_t row);

    std::shared_ptr<UITableView> tblView_;
    plist::Dictionary dict_;
    std::shared_ptr<UIViewController> controller_;
    std::shared_ptr<UINavigationController> navCtrl_;
    // The name each row shows, in row order, taken from the theme map when it is set.
    std::vector<std::string> rowNames_;
    // Whether each row's theme is selected, for one parsed state of the file; rebuilt when
    // the cached read hands out another state. The file is looked at once per load of the
    // table (a file saved a moment ago is parsed afresh on each read), never once per row.
    std::shared_ptr<const plist::Dictionary> selectionSource_;
    std::vector<bool> rowSelected_;
    bool selectionChecked_ = false;
};

}  // namespace vx
