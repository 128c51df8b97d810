#pragma once
// OptionsController: the option picker of a "select" entry. It lists the option labels in
// the order the entry's "options" hold them, with a check mark on the chosen one (the one
// the editor sets when it opens the picker, else the first); a tap moves the mark. The editor that
// presents it puts a "Done" button on its bar and reads the answer through returnIndex and
// closingOptions.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/ps_view_controller.h"
#include "platform/foundation/plist_value.h"
#include "platform/ui/page_table.h"
#include "platform/ui/table_view.h"

namespace vx {

class OptionsController : public PSViewController,
                          public UITableViewDataSource,
                          public FixedRowsTableDelegate {
public:
    static constexpr const char* kClassName = "OptionsController";
    static constexpr std::string_view kTitle = "Theme Settings";
    static constexpr std::string_view kCellIdentifier = "FunctionCell";

    // initForContentSize:withDict:atIndex: — the size is accepted and not used.
    static std::shared_ptr<OptionsController> initForContentSize(CGSize size, plist::Dictionary options,
                                                                 std::int32_t rowIndex);
    // One picker for the life of the process, plainly constructed (no table).
    static std::shared_ptr<OptionsController> sharedInstance();

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

    // ---- The answer
    // The editor's row this picker was opened for.
    std::int32_t returnIndex() const { return rowIndex_; }
    // Closes the picker, then gives the chosen position among the listed labels.
    std::int32_t closingOptions();
    std::int32_t selection() const { return selection_; }
    // Where the check mark starts: the position of the current value's option. A position
    // outside the list leaves the first option checked.
    void setSelection(std::int32_t position);

    // ---- Properties
    const plist::Dictionary& optionsDict() const { return optionsDict_; }
    void setOptionsDict(plist::Dictionary options) { optionsDict_ = std::move(options); }
    const std::shared_ptr<UITableView>& optionsTableView() const { return optionsTableView_; }
    void setOptionsTableView(std::shared_ptr<UITableView> table) {
        optionsTableView_ = std::move(table);
    }

private:
    void buildTable();

    plist::Dictionary optionsDict_;
    std::shared_ptr<UITableView> optionsTableView_;
    std::int32_t rowIndex_ = 0;
    std::int32_t selection_ = 0;
};

}  // namespace vx
