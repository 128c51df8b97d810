#pragma once
// The table a page builds for itself: grouped, over the page's area below the navigation
// bar, with the page as its data source and delegate.
#include <memory>
#include <optional>

#include "platform/foundation/object.h"
#include "platform/ui/geometry.h"
#include "platform/ui/table_view.h"

namespace vx {

inline constexpr CGRect kPageTableFrame{{0, 0}, {320, 416}};

// `Table` is UITableView or a subclass with the same initWithFrame:style:.
template <class Table = UITableView, class Page>
std::shared_ptr<Table> groupedTableServedBy(Page* page) {
    auto table = Table::initWithFrame(kPageTableFrame, UITableViewStyle::Grouped);
    auto self = sharedFrom(page);
    table->setDataSource(self);
    table->setDelegate(self);
    return table;
}

// The delegate of a page whose rows are never deleted, inserted or indented: every row
// answers "no editing style" and "no indent".
class FixedRowsTableDelegate : public UITableViewDelegate {
public:
    std::optional<UITableViewCellEditingStyle> editingStyleForRowAtIndexPath(UITableView&,
                                                                             IndexPath) override {
        return UITableViewCellEditingStyle::None;
    }
    std::optional<bool> shouldIndentWhileEditingRowAtIndexPath(UITableView&, IndexPath) override {
        return false;
    }
};

}  // namespace vx
