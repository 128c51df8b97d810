#pragma once
// VXCollectionView: a collection view that keeps the edited text input above the keyboard,
// steps the focus on Return and dismisses the keyboard when a touch ends on it.
#include <memory>

#include "keyboard/avoiding_container.h"
#include "platform/ui/collection_view.h"

namespace vx {

class VXCollectionView : public VXAvoidingContainer<UICollectionView> {
public:
    // Prefer the factories: a view made with the constructor has no observers until
    // awakeFromNib (or setup) runs.
    using VXAvoidingContainer<UICollectionView>::VXAvoidingContainer;

    // initWithFrame: (with a default flow layout) and initWithFrame:collectionViewLayout:.
    // A missing layout gives nullptr, as the superclass does.
    static std::shared_ptr<VXCollectionView> initWithFrame(CGRect frame);
    static std::shared_ptr<VXCollectionView> initWithFrame(
        CGRect frame, std::shared_ptr<UICollectionViewLayout> layout);

    std::string className() const override { return "VXCollectionView"; }

    // The current size again changes nothing at all; any other size goes to the superclass
    // and the bottom inset is recomputed while the keyboard is up.
    void setContentSize(CGSize size) override;
};

}  // namespace vx
