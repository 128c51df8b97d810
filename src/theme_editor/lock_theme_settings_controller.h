#pragma once
// LockThemeSettingsController: the settings editor of one theme. It loads the theme's
// "Options.plist" into its options list, or, when there is none, asks whether to build one
// from the theme's settings script. The values it starts from are the ones the user stored
// for the theme under "ThemeOptions" (read back from the declaration lines), the file's
// defaults for names without a stored line. Its table shows one row per entry: a text
// field ("edit"), a switch ("switch") or a link to the option picker ("select"), and a last
// "Reset to Theme Defaults" button row that puts the file's defaults back on screen. Every
// edit changes the list in memory; writeAllThatData stores the declaration lines in the
// preferences file when the user is done.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/ps_view_controller.h"
#include "keyboard/vx_table_view.h"
#include "platform/ui/alert_view.h"
#include "platform/ui/bar_button_item.h"
#include "platform/ui/navigation_controller.h"
#include "platform/ui/page_table.h"
#include "platform/ui/switch.h"
#include "platform/ui/text_field.h"
#include "theme_editor/options_controller.h"
#include "theme_editor/options_file.h"

namespace vx {

class LockThemeSettingsController : public PSViewController,
                                    public UITableViewDataSource,
                                    public FixedRowsTableDelegate,
                                    public UIAlertViewDelegate,
                                    public UITextFieldDelegate {
public:
    static constexpr const char* kClassName = "LockThemeSettingsController";
    static constexpr std::string_view kTitle = "Theme Settings";
    static constexpr std::string_view kCellIdentifier = "FunctionCell";
    static constexpr std::string_view kOptimiseTitle = "Optimize for Veltrix";
    static constexpr std::string_view kOptimiseMessage =
        "Would You like to optimize for Veltrix, will break winterboard support for this theme.";
    static constexpr long kOptimiseAlertTag = 1;
    // The global switch rows of the second section (not shown: the table has one section).
    static constexpr std::string_view kBackgroundKey = "isBackground";
    static constexpr std::string_view kTouchDisabledKey = "touchDisabled";
    static constexpr std::string_view kResetTitle = "Reset to Theme Defaults";

    // initForContentSize:filePath:fileName: — loads "<folder>/Options.plist", or shows the
    // optimisation alert when nothing stands there, and builds the table. The size is
    // accepted and not used.
    static std::shared_ptr<LockThemeSettingsController> initForContentSize(
        CGSize size, std::string_view filePath, std::optional<std::string> fileName);
    // One editor for the life of the process, plainly constructed (no folder, no table).
    static std::shared_ptr<LockThemeSettingsController> sharedInstance();

    std::string className() const override { return kClassName; }
    std::string title() const override { return std::string(kTitle); }
    std::string navigationTitle() const override { return std::string(kTitle); }
    std::shared_ptr<UIView> view() override;

    // ---- Optimisation alert: "Yes" (0) builds the options file from the settings script,
    // anything else closes the editor. Alerts with another tag are ignored.
    void clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

    // ---- Table
    std::optional<int> numberOfSectionsInTableView(UITableView& tableView) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, int section) override;
    int numberOfRowsInSection(UITableView& tableView, int section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                           IndexPath indexPath) override;
    // A "select" row opens the option picker in its own container with a "Done" button,
    // checked on the entry's current option; the reset row restores the theme's defaults.
    void didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) override;

    // ---- Control actions; each finds its entry through the control's tag.
    void saveTextEdit(UITextField& field);
    void saveSwitchFlip(UISwitch& toggle);
    // The global switches: "touchDisabled" for a non-zero tag, else "isBackground"; stored
    // at once in the preferences file (created when missing).
    void saveSwitchFlipForSpecial(UISwitch& toggle);
    // Return only lets the keyboard go.
    std::optional<bool> textFieldShouldReturn(UITextField& field) override;

    // The picker's "Done": the chosen option label becomes the entry's "default". An entry
    // without options keeps its default.
    void doneButtonTapped(UIBarButtonItem& sender);

    // Stores one declaration line per entry under "ThemeOptions" → filePath.
    void writeAllThatData();

    // ---- Properties
    const std::string& filePath() const { return filePath_; }
    void setFilePath(std::string path) { filePath_ = std::move(path); }
    const std::optional<std::string>& fileName() const { return fileName_; }
    void setFileName(std::optional<std::string> name) { fileName_ = std::move(name); }
    // Absent until loaded or built; absent counts as empty. Replacing it makes the new list
    // the one "Reset to Theme Defaults" restores.
    const std::optional<OptionsList>& masterDict() const { return masterDict_; }
    void setMasterDict(std::optional<OptionsList> list) {
        themeDefaults_ = list.value_or(OptionsList());
        masterDict_ = std::move(list);
    }
    // "Reset to Theme Defaults": the values the options file (or the script) declared.
    void resetToThemeDefaults();
    const std::vector<std::string>& variableHolder() const { return variableHolder_; }
    void setVariableHolder(std::vector<std::string> names) { variableHolder_ = std::move(names); }
    const std::shared_ptr<VXTableView>& brandNewTableView() const { return brandNewTableView_; }
    void setBrandNewTableView(std::shared_ptr<VXTableView> table) {
        brandNewTableView_ = std::move(table);
    }
    const std::shared_ptr<OptionsController>& controller() const { return controller_; }
    const std::shared_ptr<UINavigationController>& navCtrl() const { return navCtrl_; }

private:
    void askToOptimise();
    void startFrom(std::optional<OptionsList> declared);
    bool showsResetRow() const;
    bool isResetRow(IndexPath indexPath) const;
    void optimise();
    void buildTable();
    void reloadTable();
    OptionsEntry* entryAt(long row);
    void fillEntryCell(UITableViewCell& cell, int row);
    void fillGlobalSwitchCell(UITableViewCell& cell, int row);
    void presentPicker(int row);

    std::string filePath_;
    std::optional<std::string> fileName_;
    std::optional<OptionsList> masterDict_;
    OptionsList themeDefaults_;
    std::vector<std::string> variableHolder_;
    std::shared_ptr<VXTableView> brandNewTableView_;
    std::shared_ptr<OptionsController> controller_;
    std::shared_ptr<UINavigationController> navCtrl_;
};

}  // namespace vx
