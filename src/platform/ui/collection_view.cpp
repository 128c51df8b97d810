#include "platform/ui/collection_view.h"

namespace vx {

UICollectionView::UICollectionView(CGRect frame, std::shared_ptr<UICollectionViewLayout> layout)
    : UIScrollView(frame), layout_(std::move(layout)) {}

std::shared_ptr<UICollectionView> UICollectionView::initWithFrame(CGRect frame) {
    return std::make_shared<UICollectionView>(frame, std::make_shared<UICollectionViewLayout>());
}

std::shared_ptr<UICollectionView> UICollectionView::initWithFrame(
    CGRect frame, std::shared_ptr<UICollectionViewLayout> layout) {
    if (!layout) return nullptr;
    return std::make_shared<UICollectionView>(frame, std::move(layout));
}

void UICollectionView::setCollectionViewLayout(std::shared_ptr<UICollectionViewLayout> layout) {
    if (!layout) return;
    layout_ = std::move(layout);
    setNeedsLayout();
}

}  // namespace vx
