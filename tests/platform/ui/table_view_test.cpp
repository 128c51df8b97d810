#include "platform/ui/table_view.h"

#include <gtest/gtest.h>

#include "platform/foundation/log.h"
#include "platform/ui/switch.h"
#include "platform/ui/text_field.h"

namespace vx {
namespace {

// A page-like data source: one section per entry of `rows`, a text field in every cell of
// section 0.
struct Rows : UITableViewDataSource, UITableViewDelegate {
    std::vector<std::vector<std::string>> rows{{"a", "b", "c"}};
    bool clearContentView = true;
    bool moves = false;
    std::vector<IndexPath> selected;

    int numberOfRowsInSection(UITableView&, int section) override {
        return static_cast<int>(rows[section].size());
    }
    std::optional<int> numberOfSectionsInTableView(UITableView&) override {
        return static_cast<int>(rows.size());
    }
    std::optional<std::string> titleForHeaderInSection(UITableView&, int section) override {
        if (section == 0) return "First";
        return std::nullopt;
    }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, IndexPath path) override {
        auto cell = table.dequeueReusableCellWithIdentifier("FunctionCell");
        if (!cell) cell = UITableViewCell::initWithStyle(UITableViewCellStyle::Value1, "FunctionCell");
        if (clearContentView) cell->contentView()->removeAllSubviews();
        cell->textLabel()->setText(rows[path.section][path.row]);
        if (path.section == 0) {
            auto field = UITextField::initWithFrame(CGRectMake(10, 10, 280, 25));
            field->setTag(path.row);
            field->setText(rows[path.section][path.row]);
            cell->contentView()->addSubview(field);
        }
        return cell;
    }
    bool implementsMoveRow() const override { return moves; }
    void moveRowAtIndexPath(UITableView&, IndexPath from, IndexPath to) override {
        auto value = rows[from.section][from.row];
        rows[from.section].erase(rows[from.section].begin() + from.row);
        rows[to.section].insert(rows[to.section].begin() + to.row, value);
    }
    void didSelectRowAtIndexPath(UITableView&, IndexPath path) override { selected.push_back(path); }
    std::optional<UITableViewCellEditingStyle> editingStyleForRowAtIndexPath(UITableView&,
                                                                             IndexPath) override {
        return UITableViewCellEditingStyle::None;
    }
};

std::vector<std::shared_ptr<UITextField>> fieldsOf(const std::shared_ptr<UITableViewCell>& cell) {
    std::vector<std::shared_ptr<UITextField>> out;
    for (const auto& v : cell->contentView()->subviews()) {
        if (auto f = std::dynamic_pointer_cast<UITextField>(v)) out.push_back(f);
    }
    return out;
}

std::shared_ptr<UITableView> tableFor(const std::shared_ptr<Rows>& source,
                                      UITableViewStyle style = UITableViewStyle::Plain) {
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), style);
    table->setDataSource(source);
    table->setDelegate(source);
    return table;
}

std::string textAt(UITableView& table, IndexPath path) {
    return table.cellForRowAtIndexPath(path)->textLabel()->text();
}

TEST(TableView, FirstLayoutLoadsEveryRowAndLaysCellsOutAsSubviews) {
    auto source = std::make_shared<Rows>();
    source->rows = {{"a", "b"}, {"c"}};
    auto table = tableFor(source, UITableViewStyle::Grouped);
    table->setTableHeaderView(UIView::initWithFrame(CGRectMake(0, 0, 320, 95)));
    EXPECT_FALSE(table->hasLoaded());
    table->layoutIfNeeded();
    ASSERT_TRUE(table->hasLoaded());

    EXPECT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    EXPECT_EQ(table->headerTitleForSection(0), "First");
    EXPECT_EQ(table->headerTitleForSection(1), std::nullopt);
    auto b = table->cellForRowAtIndexPath({0, 1});
    EXPECT_EQ(b->textLabel()->text(), "b");
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2}), nullptr);
    EXPECT_EQ(b->superview(), table);
    // Header view 95, section header 44, rows of 44; grouped: 18 in place of a missing title.
    EXPECT_EQ(b->frame(), CGRectMake(0, 95 + 44 + 44, 320, 44));
    EXPECT_EQ(table->contentSize(), CGSizeMake(320, 95 + 44 + 88 + 18 + 18 + 44 + 18));
    auto field = fieldsOf(b).at(0);
    EXPECT_EQ(field->convertRectToView(field->bounds(), table.get()).origin, CGPointMake(10, 193));
    EXPECT_EQ(table->indexPathForCell(b.get()), (IndexPath{0, 1}));
}

TEST(TableView, ReuseComesBackInTableOrderAndResetsOnlyTheSelection) {
    // As on the device, prepareForReuse resets only the selection state: a page that does not
    // clear the content view or the accessory shows the old row's.
    auto source = std::make_shared<Rows>();
    auto table = tableFor(source);
    table->reloadData();
    table->selectRowAtIndexPath({0, 0}, false);
    auto first = table->cellForRowAtIndexPath({0, 0});
    first->setAccessoryView(UISwitch::initWithFrame(CGRectZero));
    first->detailTextLabel()->setText("detail");
    table->reloadData();
    ASSERT_EQ(table->cellForRowAtIndexPath({0, 0}), first);
    EXPECT_EQ(table->reusePoolSize("FunctionCell"), 0u);
    for (int row = 0; row < 3; ++row) {
        auto fields = fieldsOf(table->cellForRowAtIndexPath({0, row}));
        ASSERT_EQ(fields.size(), 1u);
        EXPECT_EQ(fields[0]->tag(), row);
    }
    EXPECT_NE(first->accessoryView(), nullptr);
    EXPECT_EQ(first->detailTextLabel()->text(), "detail");
    EXPECT_FALSE(first->isSelected());
    EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt);
    source->clearContentView = false;
    table->reloadData();
    EXPECT_EQ(fieldsOf(first).size(), 2u);

    // Fewer rows: the surplus cells wait in the pool, out of the view tree.
    source->rows = {{"z"}};
    table->reloadData();
    EXPECT_EQ(table->reusePoolSize("FunctionCell"), 2u);
    EXPECT_EQ(table->subviews().size(), 1u);
}

TEST(TableView, RowAndSectionChangesAreRecordedAppliedAndCheckedAgainstTheSource) {
    auto source = std::make_shared<Rows>();
    auto table = tableFor(source);
    table->reloadData();
    table->selectRowAtIndexPath({0, 0}, false);
    table->selectRowAtIndexPath({0, 1}, false);
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 0})->isSelected());
    table->clearChangeLog();

    source->rows[0].insert(source->rows[0].begin() + 1, "new");
    table->insertRowsAtIndexPaths({{0, 1}}, UITableViewRowAnimation::Fade);
    EXPECT_EQ(textAt(*table, {0, 1}), "new");
    EXPECT_EQ(textAt(*table, {0, 2}), "b");
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 2}));  // the selection follows its row
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 3})->frame().origin.y, 44 + 3 * 44);
    source->rows[0].erase(source->rows[0].begin());
    table->deleteRowsAtIndexPaths({{0, 0}}, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(textAt(*table, {0, 0}), "new");
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 1}));
    EXPECT_EQ(table->reusePoolSize("FunctionCell"), 1u);
    const auto& log = table->changeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, TableChange::Kind::InsertRows);
    EXPECT_EQ(log[0].indexPaths, (std::vector<IndexPath>{{0, 1}}));
    EXPECT_EQ(log[0].animation, UITableViewRowAnimation::Fade);
    EXPECT_EQ(log[1].kind, TableChange::Kind::DeleteRows);

    // A new section builds only its own rows; the rows after it move down with the selection.
    auto shown = table->cellForRowAtIndexPath({0, 0});
    source->rows.insert(source->rows.begin(), {"x"});
    table->insertSections({0}, UITableViewRowAnimation::Fade);
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 0}), shown);
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{1, 1}));
    source->rows.erase(source->rows.begin());
    table->deleteSections({0}, UITableViewRowAnimation::Fade);
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->reusePoolSize("FunctionCell"), 1u);
    source->rows[0][1] = "b2";
    table->reloadRowsAtIndexPaths({{0, 1}}, UITableViewRowAnimation::None);
    EXPECT_EQ(textAt(*table, {0, 1}), "b2");
    EXPECT_EQ(table->reusePoolSize("FunctionCell"), 1u);  // the old cell went to the pool and came back

    // A change the data source does not agree with is answered by a full reload, not a crash.
    log::Capture capture;
    table->insertRowsAtIndexPaths({{0, 0}}, UITableViewRowAnimation::Fade);
    EXPECT_TRUE(capture.contains("do not match the data source"));
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    table->deleteRowsAtIndexPaths({{5, 0}}, UITableViewRowAnimation::Fade);
    EXPECT_TRUE(capture.contains("outside the table"));
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);
}

TEST(TableView, MovesNeedEditingModeAndReachTheDataSource) {
    auto source = std::make_shared<Rows>();
    auto table = tableFor(source, UITableViewStyle::Grouped);
    table->setEditing(true, true);
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 0})->showsReorderControl()) << "no moves";
    source->moves = true;
    table->setEditing(false, false);
    log::Capture capture;
    EXPECT_FALSE(table->moveRow({0, 0}, {0, 2}));  // not editing
    table->setEditing(true, true);
    table->reloadData();  // a reload while editing keeps the reorder controls
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 0})->showsReorderControl());
    table->selectRowAtIndexPath({0, 0}, false);
    EXPECT_EQ(table->editingStyleForRow({0, 0}), UITableViewCellEditingStyle::None);
    EXPECT_FALSE(table->moveRow({0, 0}, {0, 3}));  // past the end
    EXPECT_TRUE(table->moveRow({0, 0}, {0, 2}));
    EXPECT_EQ(source->rows[0], (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(textAt(*table, {0, 2}), "a");
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 2}));
    EXPECT_EQ(table->changeLog().back().kind, TableChange::Kind::MoveRow);

    // In editing mode a tap selects nothing unless allowed.
    EXPECT_FALSE(table->userTapRow({0, 1}));
    table->setEditing(false, false);
    EXPECT_TRUE(table->userTapRow({0, 1}));
    EXPECT_EQ(source->selected, (std::vector<IndexPath>{{0, 1}}));
    table->deselectRowAtIndexPath({0, 1}, true);
    EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt);
    EXPECT_TRUE(table->changeLog().back().animated);
}

TEST(TableView, AGoneDataSourceIsNotCalledAndANullCellIsLoggedAndReplaced) {
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
    {
        auto source = std::make_shared<Rows>();
        table->setDataSource(source);
        table->setDelegate(source);
        EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    }
    EXPECT_EQ(table->delegate(), nullptr);
    EXPECT_TRUE(table->userTapRow({0, 0}));  // the shown row is selected; nobody is told
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 0);
    EXPECT_FALSE(table->userTapRow({0, 0}));

    struct Broken : UITableViewDataSource {
        int numberOfRowsInSection(UITableView&, int) override { return 1; }
        std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&, IndexPath) override {
            return nullptr;
        }
    };
    auto broken = std::make_shared<Broken>();
    table->setDataSource(broken);
    log::Capture capture;
    table->layoutIfNeeded();
    EXPECT_TRUE(capture.contains("gave no cell"));
    ASSERT_NE(table->cellForRowAtIndexPath({0, 0}), nullptr);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->detailTextLabel(), nullptr) << "default style";
}

}  // namespace
}  // namespace vx
