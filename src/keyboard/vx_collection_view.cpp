#include "keyboard/vx_collection_view.h"

namespace vx {

std::shared_ptr<VXCollectionView> VXCollectionView::initWithFrame(CGRect frame) {
    return initWithFrame(frame, std::make_shared<UICollectionViewLayout>());
}

std::shared_ptr<VXCollectionView> VXCollectionView::initWithFrame(
    CGRect frame, std::shared_ptr<UICollectionViewLayout> layout) {
    if (!layout) return nullptr;
    auto view = std::make_shared<VXCollectionView>(frame, std::move(layout));
    view->setup();
    return view;
}

void VXCollectionView::setContentSize(CGSize size) {
    const CGSize current = contentSize();
    if (size.width == current.width && size.height == current.height) return;
    UICollectionView::setContentSize(size);
    VX_updateContentInset(*this);
}

}  // namespace vx
