#pragma once
// VXTableView: a table view that keeps the edited text input above the keyboard, steps the
// focus on Return and dismisses the keyboard when a touch ends on it.
#include <memory>

#include "keyboard/avoiding_container.h"
#include "platform/ui/table_view.h"

namespace vx {

class VXTableView : public VXAvoidingContainer<UITableView> {
public:
    // Prefer the factories: a table made with the constructor has no observers until
    // awakeFromNib (or setup) runs.
    using VXAvoidingContainer<UITableView>::VXAvoidingContainer;

    // initWithFrame: (plain style) and initWithFrame:style:.
    static std::shared_ptr<VXTableView> initWithFrame(CGRect frame);
    static std::shared_ptr<VXTableView> initWithFrame(CGRect frame, UITableViewStyle style);

    std::string className() const override { return "VXTableView"; }

    // Superclass first, then the bottom inset is recomputed while the keyboard is up.
    void setContentSize(CGSize size) override;
};

}  // namespace vx
