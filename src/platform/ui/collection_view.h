#pragma once
// UICollectionView, as far as the system needs it: a scroll view created with a layout.
// No page shows items in one, so there is no data source.
#include <memory>

#include "platform/foundation/object.h"
#include "platform/ui/scroll_view.h"

namespace vx {

// UICollectionViewLayout / UICollectionViewFlowLayout: the item size and spacing only.
class UICollectionViewLayout : public Object {
public:
    std::string className() const override { return "UICollectionViewFlowLayout"; }
    CGSize itemSize{50, 50};
    double minimumLineSpacing = 10;
    double minimumInteritemSpacing = 10;
};

class UICollectionView : public UIScrollView {
public:
    UICollectionView(CGRect frame, std::shared_ptr<UICollectionViewLayout> layout);
    // initWithFrame: (with a default flow layout) and initWithFrame:collectionViewLayout:.
    // A missing layout gives nullptr, as on the device.
    static std::shared_ptr<UICollectionView> initWithFrame(CGRect frame);
    static std::shared_ptr<UICollectionView> initWithFrame(
        CGRect frame, std::shared_ptr<UICollectionViewLayout> layout);

    std::string className() const override { return "UICollectionView"; }

    const std::shared_ptr<UICollectionViewLayout>& collectionViewLayout() const { return layout_; }
    void setCollectionViewLayout(std::shared_ptr<UICollectionViewLayout> layout);

private:
    std::shared_ptr<UICollectionViewLayout> layout_;
};

}  // namespace vx
