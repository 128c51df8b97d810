#include "platform/ui/table_view.h"

#include <gtest/gtest.h>

#include "platform/foundation/log.h"
#include "platform/ui/switch.h"
#include "platform/ui/text_field.h"
#include "platform/ui/window.h"

namespace vx {
namespace {

// A page-like data source: one section per entry of `rows`, a text field in every cell of
// section 0, a checkmark on `checked`.
struct Rows : UITableViewDataSource, UITableViewDelegate {
    std::vector<std::vector<std::string>> rows{{"a", "b", "c"}};
    bool clearContentView = true;
    bool moves = false;
    int checked = -1;
    std::vector<std::pair<IndexPath, IndexPath>> moved;
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
        cell->setAccessoryType(path.row == checked ? UITableViewCellAccessoryType::Checkmark
                                                   : UITableViewCellAccessoryType::None);
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
        moved.emplace_back(from, to);
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

TEST(TableView, ReloadBuildsEveryRowAndLaysCellsOutAsSubviews) {
    auto source = std::make_shared<Rows>();
    source->rows = {{"a", "b"}, {"c"}};
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
    table->setDataSource(source);
    auto header = UIView::initWithFrame(CGRectMake(0, 0, 320, 95));
    table->setTableHeaderView(header);
    table->reloadData();

    EXPECT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    EXPECT_EQ(table->headerTitleForSection(0), "First");
    EXPECT_EQ(table->headerTitleForSection(1), std::nullopt);
    auto b = table->cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(b);
    EXPECT_EQ(b->textLabel()->text(), "b");
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2}), nullptr);
    EXPECT_EQ(b->superview(), table);
    // header view 95, section header 44, then rows of 44.
    EXPECT_EQ(b->frame(), CGRectMake(0, 95 + 44 + 44, 320, 44));
    EXPECT_EQ(table->contentSize(), CGSizeMake(320, 95 + 44 + 88 + 44));
    // A field inside a cell converts through the table.
    auto field = fieldsOf(b).at(0);
    EXPECT_EQ(field->convertRectToView(field->bounds(), table.get()).origin, CGPointMake(10, 193));
    EXPECT_EQ(table->indexPathForCell(b.get()), (IndexPath{0, 1}));
}

TEST(TableView, LoadsOnFirstLayoutWithoutAnExplicitReload) {
    auto source = std::make_shared<Rows>();
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
    table->setDataSource(source);
    EXPECT_FALSE(table->hasLoaded());
    table->layoutIfNeeded();
    EXPECT_TRUE(table->hasLoaded());
    EXPECT_EQ(table->visibleCells().size(), 3u);
}

TEST(TableView, ReusedCellsKeepNoStaleControlsWhenThePageClearsThem) {
    auto source = std::make_shared<Rows>();
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
    table->setDataSource(source);
    table->reloadData();
    auto first = table->cellForRowAtIndexPath({0, 0});
    table->reloadData();
    // The cells of the previous build came back through the pool…
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0}), first);
    EXPECT_EQ(table->reusePoolSize("FunctionCell"), 0u);
    // …and each holds exactly the one field the page put in this time.
    for (int row = 0; row < 3; ++row) {
        auto fields = fieldsOf(table->cellForRowAtIndexPath({0, row}));
        ASSERT_EQ(fields.size(), 1u);
        EXPECT_EQ(fields[0]->tag(), row);
    }
    // Fewer rows: the surplus cells wait in the pool, out of the view tree.
    source->rows = {{"z"}};
    table->reloadData();
    EXPECT_EQ(table->reusePoolSize("FunctionCell"), 2u);
    EXPECT_EQ(table->subviews().size(), 1u);
}

TEST(TableView, ReuseKeepsWhatThePageDoesNotSetAgain) {
    // As on the device, prepareForReuse resets only the selection state: a page that
    // forgets to clear the content view or the accessory shows the old row's.
    auto source = std::make_shared<Rows>();
    source->clearContentView = false;
    source->checked = 0;
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
    table->setDataSource(source);
    table->reloadData();
    table->selectRowAtIndexPath({0, 0}, false);
    auto cell = table->cellForRowAtIndexPath({0, 0});
    cell->setAccessoryView(UISwitch::initWithFrame(CGRectZero));
    cell->detailTextLabel()->setText("detail");
    table->reloadData();
    ASSERT_EQ(table->cellForRowAtIndexPath({0, 0}), cell);
    EXPECT_EQ(fieldsOf(cell).size(), 2u);
    EXPECT_NE(cell->accessoryView(), nullptr);
    EXPECT_EQ(cell->detailTextLabel()->text(), "detail");
    EXPECT_FALSE(cell->isSelected());
    EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt);
}

TEST(TableView, InsertAndDeleteAreRecordedAppliedAndCheckedAgainstTheSource) {
    auto source = std::make_shared<Rows>();
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
    table->setDataSource(source);
    table->reloadData();
    table->selectRowAtIndexPath({0, 2}, false);
    table->clearChangeLog();

    source->rows[0].insert(source->rows[0].begin() + 1, "new");
    table->insertRowsAtIndexPaths({{0, 1}}, UITableViewRowAnimation::Fade);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->textLabel()->text(), "new");
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2})->textLabel()->text(), "b");
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 3}));  // the selection follows its row
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 3})->frame().origin.y, 44 + 3 * 44);

    source->rows[0].erase(source->rows[0].begin());
    table->deleteRowsAtIndexPaths({{0, 0}}, UITableViewRowAnimation::Automatic);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->textLabel()->text(), "new");
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 2}));

    const auto& log = table->changeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, TableChange::Kind::InsertRows);
    EXPECT_EQ(log[0].indexPaths, (std::vector<IndexPath>{{0, 1}}));
    EXPECT_EQ(log[0].animation, UITableViewRowAnimation::Fade);
    EXPECT_EQ(log[1].kind, TableChange::Kind::DeleteRows);

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
    source->moves = true;
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
    table->setDataSource(source);
    table->setDelegate(source);
    table->reloadData();
    log::Capture capture;
    EXPECT_FALSE(table->moveRow({0, 0}, {0, 2}));  // not editing
    table->setEditing(true, true);
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 0})->showsReorderControl());
    EXPECT_EQ(table->editingStyleForRow({0, 0}), UITableViewCellEditingStyle::None);
    EXPECT_FALSE(table->moveRow({0, 0}, {0, 3}));  // past the end
    EXPECT_TRUE(table->moveRow({0, 0}, {0, 2}));
    EXPECT_EQ(source->rows[0], (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2})->textLabel()->text(), "a");
    ASSERT_EQ(source->moved.size(), 1u);
    EXPECT_EQ(source->moved[0], std::make_pair(IndexPath{0, 0}, IndexPath{0, 2}));
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

TEST(TableView, AGoneDataSourceOrDelegateIsNotCalled) {
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
    {
        auto source = std::make_shared<Rows>();
        table->setDataSource(source);
        table->setDelegate(source);
        table->reloadData();
        EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    }
    EXPECT_EQ(table->delegate(), nullptr);
    EXPECT_TRUE(table->userTapRow({0, 0}));  // the shown row is selected; nobody is told
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 0);
    EXPECT_FALSE(table->userTapRow({0, 0}));
}

TEST(TableView, ANullCellIsLoggedAndReplaced) {
    struct Broken : UITableViewDataSource {
        int numberOfRowsInSection(UITableView&, int) override { return 1; }
        std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&, IndexPath) override {
            return nullptr;
        }
    };
    auto source = std::make_shared<Broken>();
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
    table->setDataSource(source);
    log::Capture capture;
    table->reloadData();
    EXPECT_TRUE(capture.contains("gave no cell"));
    EXPECT_NE(table->cellForRowAtIndexPath({0, 0}), nullptr);
}

}  // namespace
}  // namespace vx
