#include "keyboard/vx_scroll_view.h"

namespace vx {

std::shared_ptr<VXScrollView> VXScrollView::initWithFrame(CGRect frame) {
    auto view = std::make_shared<VXScrollView>(frame);
    view->setup();
    return view;
}

void VXScrollView::setContentSize(CGSize size) {
    UIScrollView::setContentSize(size);
    VX_updateFromContentSizeChange(*this);
}

void VXScrollView::contentSizeToFit() {
    setContentSize(VX_calculatedContentSizeFromSubviewFrames(*this));
}

}  // namespace vx
