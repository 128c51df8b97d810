#pragma once
// VXScrollView: a scroll view that keeps the edited text input above the keyboard. Unlike the
// table and collection containers, it also saves its content size when the keyboard comes
// up (computing one from its subviews when it has none) and restores it when it goes.
#include <memory>

#include "keyboard/avoiding_container.h"
#include "platform/ui/scroll_view.h"

namespace vx {

class VXScrollView : public VXAvoidingContainer<UIScrollView> {
public:
    // Prefer initWithFrame: a container made with the constructor has no observers until
    // awakeFromNib (or setup) runs.
    using VXAvoidingContainer<UIScrollView>::VXAvoidingContainer;

    static std::shared_ptr<VXScrollView> initWithFrame(CGRect frame);

    std::string className() const override { return "VXScrollView"; }

    // Superclass first; while the keyboard is up, the new size becomes the one restored on
    // hide and the bottom inset is recomputed.
    void setContentSize(CGSize size) override;

    // Sets the content size (through setContentSize) to the one computed from the subviews.
    void contentSizeToFit();
};

}  // namespace vx
