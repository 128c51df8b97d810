#include "platform/ui/table_view_cell.h"

namespace vx {

namespace {
constexpr double kDefaultWidth = 320;
constexpr double kAccessoryTypeWidth = 33;
constexpr double kAccessoryMargin = 15;
}  // namespace

UITableViewCell::UITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UIView(CGRectMake(0, 0, kDefaultWidth, kDefaultHeight)),
      style_(style),
      reuseIdentifier_(std::move(reuseIdentifier)),
      textLabel_(std::make_shared<UILabel>()),
      contentView_(std::make_shared<UIView>(CGRectMake(0, 0, kDefaultWidth, kDefaultHeight))) {
    if (style_ != UITableViewCellStyle::Default) {
        detailTextLabel_ = std::make_shared<UILabel>();
        detailTextLabel_->setTextColor(UIColor::colorWithRed(0.556863, 0.556863, 0.576471, 1));
        if (style_ == UITableViewCellStyle::Value1)
            detailTextLabel_->setTextAlignment(NSTextAlignment::Right);
    }
    addSubview(contentView_);
}

std::shared_ptr<UITableViewCell> UITableViewCell::initWithStyle(UITableViewCellStyle style,
                                                                std::string reuseIdentifier) {
    return std::make_shared<UITableViewCell>(style, std::move(reuseIdentifier));
}

void UITableViewCell::setAccessoryView(std::shared_ptr<UIView> view) {
    if (view == accessoryView_) return;
    if (accessoryView_ && accessoryView_->superviewPointer() == this)
        accessoryView_->removeFromSuperview();
    accessoryView_ = std::move(view);
    if (accessoryView_) addSubview(accessoryView_);
    setNeedsLayout();
}

void UITableViewCell::setSelected(bool selected, bool animated) {
    (void)animated;
    selected_ = selected;
}

void UITableViewCell::setHighlighted(bool highlighted, bool animated) {
    (void)animated;
    highlighted_ = highlighted;
}

void UITableViewCell::setEditing(bool editing, bool animated) {
    (void)animated;
    editing_ = editing;
}

void UITableViewCell::prepareForReuse() {
    selected_ = false;
    highlighted_ = false;
    editing_ = false;
    showsReorderControl_ = false;
}

void UITableViewCell::layoutSubviews() {
    const CGSize size = bounds().size;
    double contentWidth = size.width;
    if (accessoryView_) {
        const CGSize accessory = accessoryView_->frame().size;
        const double x = size.width - kAccessoryMargin - accessory.width;
        const CGRect frame = CGRectMake(x, (size.height - accessory.height) / 2, accessory.width,
                                        accessory.height);
        if (accessoryView_->frame() != frame) accessoryView_->setFrame(frame);
        contentWidth = x;
    } else if (accessoryType_ != UITableViewCellAccessoryType::None) {
        contentWidth = size.width - kAccessoryTypeWidth;
    }
    const CGRect contentFrame = CGRectMake(0, 0, contentWidth, size.height);
    if (contentView_->frame() != contentFrame) contentView_->setFrame(contentFrame);
}

}  // namespace vx
