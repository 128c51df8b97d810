#pragma once
// WidgetCoordinatesController: one section per selected theme name, with a text field for
// Y (row 0) and X (row 1). Each keystroke stores the field's text, as typed, in the
// theme's entry of "WidgetCoordinates". A save replaces only the entries of the names this
// page shows and keeps every other entry of the stored dictionary.
#include <memory>
#include <string>
#include <string_view>

#include "host/ps_view_controller.h"
#include "platform/foundation/plist_value.h"
#include "platform/ui/page_table.h"
#include "platform/ui/table_view.h"
#include "platform/ui/text_field.h"

namespace vx {

class WidgetCoordinatesController : public PSViewController,
                                    public UITableViewDataSource,
                                    public FixedRowsTableDelegate,
                                    public UITextFieldDelegate {
public:
    static constexpr const char* kClassName = "WidgetCoordinatesController";
    static constexpr std::string_view kTitle = "Coordinates";
    static constexpr std::string_view kCellIdentifier = "FunctionCell";

    // init — the working copy of the selected names' coordinates, and the table.
    static std::shared_ptr<WidgetCoordinatesController> init();

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

    // saveTextEdit: — the field's tag is the row (1: "widgetX", else "widgetY") and its
    // layer's name the theme name.
    void saveTextEdit(UITextField& field);

    const plist::Dictionary& optionsDict() const { return optionsDict_; }
    void setOptionsDict(plist::Dictionary entries) { optionsDict_ = std::move(entries); }
    const std::shared_ptr<UITableView>& widgetTableView() const { return widgetTableView_; }
    void setWidgetTableView(std::shared_ptr<UITableView> table) { widgetTableView_ = std::move(table); }

    // The coordinate key of a row, and its label (the key without "widget").
    static std::string_view coordinateKeyForRow(int row);
    static std::string labelForRow(int row);

private:
    void loadCoordinates();
    void buildTable();
    std::shared_ptr<UITextField> makeField(const std::string& name, int row);

    plist::Dictionary optionsDict_;
    std::shared_ptr<UITableView> widgetTableView_;
};

}  // namespace vx
