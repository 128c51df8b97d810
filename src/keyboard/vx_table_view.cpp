#include "keyboard/vx_table_view.h"

namespace vx {

std::shared_ptr<VXTableView> VXTableView::initWithFrame(CGRect frame) {
    return initWithFrame(frame, UITableViewStyle::Plain);
}

std::shared_ptr<VXTableView> VXTableView::initWithFrame(CGRect frame, UITableViewStyle style) {
    auto table = std::make_shared<VXTableView>(frame, style);
    table->setup();
    return table;
}

void VXTableView::setContentSize(CGSize size) {
    UITableView::setContentSize(size);
    VX_updateContentInset(*this);
}

}  // namespace vx
