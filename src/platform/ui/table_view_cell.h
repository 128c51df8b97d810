#pragma once
// UITableViewCell in the default and "value 1" styles: a text label, a detail text label
// (value 1 and other detail styles only; nullptr in the default style, as on the device), a
// content view for the page's own controls, an accessory type or view, a selection style
// and the reuse identifier.
//
// The two labels are owned by the cell and are not among the content view's subviews, so a
// page that clears the content view of a reused cell removes only its own controls.
// prepareForReuse resets the selected, highlighted and editing state only: text, detail
// text, accessory and content view stay as the previous row left them, as on the device,
// so a page must set every one of them again.
#include <memory>
#include <string>

#include "platform/ui/label.h"
#include "platform/ui/view.h"

namespace vx {

enum class UITableViewCellStyle : int { Default = 0, Value1 = 1, Value2 = 2, Subtitle = 3 };

enum class UITableViewCellAccessoryType : int {
    None = 0,
    DisclosureIndicator = 1,
    DetailDisclosureButton = 2,
    Checkmark = 3,
    DetailButton = 4,
};

enum class UITableViewCellSelectionStyle : int { None = 0, Blue = 1, Gray = 2, Default = 3 };

class UITableViewCell : public UIView {
public:
    static constexpr double kDefaultHeight = 44;

    UITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier);
    // initWithStyle:reuseIdentifier:
    static std::shared_ptr<UITableViewCell> initWithStyle(UITableViewCellStyle style,
                                                          std::string reuseIdentifier);

    std::string className() const override { return "UITableViewCell"; }

    UITableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }

    const std::shared_ptr<UILabel>& textLabel() const { return textLabel_; }
    // nullptr in the default style.
    const std::shared_ptr<UILabel>& detailTextLabel() const { return detailTextLabel_; }
    const std::shared_ptr<UIView>& contentView() const { return contentView_; }

    UITableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(UITableViewCellAccessoryType type) { accessoryType_ = type; }
    // A view shown in the accessory place (it replaces the accessory type while set). It
    // becomes a subview of the cell.
    const std::shared_ptr<UIView>& accessoryView() const { return accessoryView_; }
    void setAccessoryView(std::shared_ptr<UIView> view);
    UITableViewCellAccessoryType editingAccessoryType() const { return editingAccessoryType_; }
    void setEditingAccessoryType(UITableViewCellAccessoryType type) { editingAccessoryType_ = type; }

    UITableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(UITableViewCellSelectionStyle style) { selectionStyle_ = style; }

    bool isSelected() const { return selected_; }
    void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted, bool animated = false);
    bool isEditing() const { return editing_; }
    void setEditing(bool editing, bool animated = false);
    // Whether the table shows a reorder control on this row (set by the table).
    bool showsReorderControl() const { return showsReorderControl_; }
    void setShowsReorderControl(bool shows) { showsReorderControl_ = shows; }

    // Called by dequeueReusableCellWithIdentifier before handing the cell out again.
    virtual void prepareForReuse();

    // Places the content view and the accessory view inside the cell's bounds.
    void layoutSubviews() override;

private:
    UITableViewCellStyle style_;
    std::string reuseIdentifier_;
    std::shared_ptr<UILabel> textLabel_;
    std::shared_ptr<UILabel> detailTextLabel_;
    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UIView> accessoryView_;
    UITableViewCellAccessoryType accessoryType_ = UITableViewCellAccessoryType::None;
    UITableViewCellAccessoryType editingAccessoryType_ = UITableViewCellAccessoryType::None;
    UITableViewCellSelectionStyle selectionStyle_ = UITableViewCellSelectionStyle::Blue;
    bool selected_ = false;
    bool highlighted_ = false;
    bool editing_ = false;
    bool showsReorderControl_ = false;
};

}  // namespace vx
