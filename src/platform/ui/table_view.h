#pragma once
// UITableView, headless. reloadData asks the data source for every section and row and
// keeps the cells it returns as the table's visible cells: subviews laid out top to bottom
// (table header view, then per section a header, the rows, a footer), so controls inside
// cells are in the view tree and convert like any view. The cells of the previous build go
// to the reuse pool first, where dequeueReusableCellWithIdentifier finds them.
//
// Data source and delegate are held weakly. Their optional operations have defaults that
// mean "not implemented" (an empty optional, or an empty body), and the table then behaves
// as UIKit does without them.
//
// The table loads itself on the first layout pass, or on the first question about its
// contents, if nobody called reloadData before. Row insertions, deletions, moves, selection
// and deselection are kept in a change log that tests and snapshots can read.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/index_path.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/table_view_cell.h"

namespace vx {

enum class UITableViewStyle : int { Plain = 0, Grouped = 1 };

enum class UITableViewCellEditingStyle : int { None = 0, Delete = 1, Insert = 2 };

enum class UITableViewRowAnimation : int {
    Fade = 0,
    Right = 1,
    Left = 2,
    Top = 3,
    Bottom = 4,
    None = 5,
    Middle = 6,
    Automatic = 100,
};

class UITableView;

// UITableViewDataSource. The two row operations are required; the others are optional.
class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;
    virtual int numberOfRowsInSection(UITableView& tableView, int section) = 0;
    // nullptr is a fault of the data source: the table logs it and shows an empty cell.
    virtual std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                                   IndexPath indexPath) = 0;
    // Not implemented: 1 section.
    virtual std::optional<int> numberOfSectionsInTableView(UITableView& tableView) {
        (void)tableView;
        return std::nullopt;
    }
    virtual std::optional<std::string> titleForHeaderInSection(UITableView& tableView, int section) {
        (void)tableView, (void)section;
        return std::nullopt;
    }
    virtual std::optional<std::string> titleForFooterInSection(UITableView& tableView, int section) {
        (void)tableView, (void)section;
        return std::nullopt;
    }
    // Not implemented: every row can be edited.
    virtual std::optional<bool> canEditRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
        (void)tableView, (void)indexPath;
        return std::nullopt;
    }
    // Not implemented: a row can be moved when the data source implements moveRowAtIndexPath.
    virtual std::optional<bool> canMoveRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
        (void)tableView, (void)indexPath;
        return std::nullopt;
    }
    // tableView:moveRowAtIndexPath:toIndexPath: — one finished drag. Data sources that
    // support reordering override it and also answer implementsMoveRow() with true.
    virtual void moveRowAtIndexPath(UITableView& tableView, IndexPath from, IndexPath to) {
        (void)tableView, (void)from, (void)to;
    }
    virtual bool implementsMoveRow() const { return false; }
};

// UITableViewDelegate; every operation optional.
class UITableViewDelegate {
public:
    virtual ~UITableViewDelegate() = default;
    virtual void didSelectRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
        (void)tableView, (void)indexPath;
    }
    virtual void accessoryButtonTappedForRowWithIndexPath(UITableView& tableView, IndexPath indexPath) {
        (void)tableView, (void)indexPath;
    }
    // Not implemented: Delete for editable rows.
    virtual std::optional<UITableViewCellEditingStyle> editingStyleForRowAtIndexPath(
        UITableView& tableView, IndexPath indexPath) {
        (void)tableView, (void)indexPath;
        return std::nullopt;
    }
    // Not implemented: rows are indented while editing.
    virtual std::optional<bool> shouldIndentWhileEditingRowAtIndexPath(UITableView& tableView,
                                                                       IndexPath indexPath) {
        (void)tableView, (void)indexPath;
        return std::nullopt;
    }
    // Not implemented: the table's rowHeight.
    virtual std::optional<double> heightForRowAtIndexPath(UITableView& tableView, IndexPath indexPath) {
        (void)tableView, (void)indexPath;
        return std::nullopt;
    }
};

// One entry of the table's change log.
struct TableChange {
    enum class Kind {
        Reload,  // reloadData
        InsertRows,
        DeleteRows,
        InsertSections,  // indexPaths hold {section, 0}
        DeleteSections,
        MoveRow,  // indexPaths = {from, to}
        Select,
        Deselect,
        SetEditing,  // editing in `flag`
    };
    Kind kind = Kind::Reload;
    std::vector<IndexPath> indexPaths;
    UITableViewRowAnimation animation = UITableViewRowAnimation::None;
    bool animated = false;
    bool flag = false;
};

class UITableView : public UIScrollView {
public:
    static constexpr double kRowHeight = 44;
    static constexpr double kHeaderHeightWithTitle = 44;
    static constexpr double kFooterHeightWithTitle = 44;
    static constexpr double kGroupedSpacing = 18;  // grouped: above and below each section

    UITableView(CGRect frame, UITableViewStyle style);
    // initWithFrame: (plain) and initWithFrame:style:
    static std::shared_ptr<UITableView> initWithFrame(CGRect frame);
    static std::shared_ptr<UITableView> initWithFrame(CGRect frame, UITableViewStyle style);

    std::string className() const override { return "UITableView"; }

    UITableViewStyle style() const { return style_; }

    std::shared_ptr<UITableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<UITableViewDataSource> dataSource);
    std::shared_ptr<UITableViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UITableViewDelegate> delegate) { delegate_ = std::move(delegate); }

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height) { rowHeight_ = height; }

    // A view above the first section (it becomes a subview; its height counts).
    const std::shared_ptr<UIView>& tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UIView>& tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(std::shared_ptr<UIView> view);

    // ---- Loading
    // Puts the current cells into the reuse pool, asks the data source for everything,
    // keeps the new cells, lays them out and sets the content size. Clears the selection.
    // A call made while a reload is running (from the data source) is done afterwards.
    void reloadData();
    // reloadData unless it ran already since the data source was set.
    void loadIfNeeded();
    bool hasLoaded() const { return loaded_; }
    // dequeueReusableCellWithIdentifier: — a pooled cell (after its prepareForReuse) or
    // nullptr.
    std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    std::size_t reusePoolSize(const std::string& identifier) const;

    // ---- Contents as shown (loaded on first use)
    int numberOfSections();
    int numberOfRowsInSection(int section);
    // The cell shown at the path, or nullptr when there is no such row.
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(IndexPath indexPath);
    // The index path of a shown cell, or nothing.
    std::optional<IndexPath> indexPathForCell(const UITableViewCell* cell);
    std::vector<std::shared_ptr<UITableViewCell>> visibleCells();
    // The section titles the data source gave at the last load.
    std::optional<std::string> headerTitleForSection(int section);
    std::optional<std::string> footerTitleForSection(int section);
    // rectForRowAtIndexPath: in the table's content coordinates; CGRectZero when absent.
    CGRect rectForRowAtIndexPath(IndexPath indexPath);

    // ---- Changes that keep the shown rows in step with the data source
    // insertRowsAtIndexPaths:withRowAnimation: — the paths are positions after the change;
    // each new row's cell comes from the data source. deleteRowsAtIndexPaths:withRowAnimation:
    // — positions before the change; the removed cells go to the reuse pool. Both are
    // recorded. Paths that do not fit, or row counts that then disagree with the data
    // source, are logged and answered with a full reload instead of a crash.
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, UITableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, UITableViewRowAnimation animation);
    void insertSections(const std::vector<int>& sections, UITableViewRowAnimation animation);
    void deleteSections(const std::vector<int>& sections, UITableViewRowAnimation animation);
    // reloadRowsAtIndexPaths:withRowAnimation: — rebuilds those rows' cells.
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths, UITableViewRowAnimation animation);

    // ---- Selection
    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    // selectRowAtIndexPath:animated:scrollPosition: — no delegate call, as on the device.
    void selectRowAtIndexPath(IndexPath indexPath, bool animated);
    // deselectRowAtIndexPath:animated: — recorded even when the row was not selected.
    void deselectRowAtIndexPath(IndexPath indexPath, bool animated);
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    bool allowsSelectionDuringEditing() const { return allowsSelectionDuringEditing_; }
    void setAllowsSelectionDuringEditing(bool allows) { allowsSelectionDuringEditing_ = allows; }

    // ---- Editing
    bool isEditing() const { return editing_; }
    // setEditing:animated: — recorded; the cells follow.
    void setEditing(bool editing, bool animated);
    // What the table would show for a row in editing mode, from delegate and data source.
    UITableViewCellEditingStyle editingStyleForRow(IndexPath indexPath);
    bool shouldIndentWhileEditingRow(IndexPath indexPath);
    bool canEditRow(IndexPath indexPath);
    bool canMoveRow(IndexPath indexPath);

    // ---- What the user does (the application's gestures call these)
    // A tap on a row: unless selection is off (or editing without selection during
    // editing), selects it and calls the delegate's didSelectRowAtIndexPath. The cell's
    // selection style is the page's business. False when there is no such row or selection
    // is off.
    bool userTapRow(IndexPath indexPath);
    // A tap on a row's detail accessory button: the delegate's
    // accessoryButtonTappedForRowWithIndexPath.
    bool userTapAccessoryButton(IndexPath indexPath);
    // One finished drag of the reorder control: only in editing mode, for rows that can
    // move, to a valid destination. Tells the data source, moves the shown cell and records
    // the move. False (logged) otherwise.
    bool moveRow(IndexPath from, IndexPath to);

    // ---- Change log (newest last; the oldest are dropped beyond kMaxLogEntries)
    const std::deque<TableChange>& changeLog() const { return changeLog_; }
    void clearChangeLog() { changeLog_.clear(); }
    static constexpr std::size_t kMaxLogEntries = 1024;

    void layoutSubviews() override;

private:
    struct Section {
        std::optional<std::string> header;
        std::optional<std::string> footer;
        std::vector<std::shared_ptr<UITableViewCell>> cells;
    };

    std::shared_ptr<UITableViewCell> makeCell(UITableViewDataSource& source, IndexPath path);
    Section buildSection(UITableViewDataSource& source, int section, int rows);
    int sectionCountFromSource(UITableViewDataSource& source);
    void recycle(const std::shared_ptr<UITableViewCell>& cell);
    void recycleAllCells();
    void layoutCells();
    bool validPath(IndexPath path) const;
    bool countsAgreeWithSource();
    void recoverWithReload(const std::string& reason);
    void log(TableChange change);
    void shiftSelectionAfterInsert(IndexPath path);
    void shiftSelectionAfterDelete(IndexPath path);
    void applyEditingToCells();

    UITableViewStyle style_;
    std::weak_ptr<UITableViewDataSource> dataSource_;
    std::weak_ptr<UITableViewDelegate> delegate_;
    double rowHeight_ = kRowHeight;
    std::shared_ptr<UIView> tableHeaderView_;
    std::shared_ptr<UIView> tableFooterView_;
    std::vector<Section> sections_;
    std::map<std::string, std::deque<std::shared_ptr<UITableViewCell>>> reusePool_;  // oldest first
    std::optional<IndexPath> selected_;
    bool allowsSelection_ = true;
    bool allowsSelectionDuringEditing_ = false;
    bool editing_ = false;
    bool loaded_ = false;
    bool reloading_ = false;
    bool reloadRequested_ = false;
    std::uint64_t generation_ = 0;  // counts reloads
    std::deque<TableChange> changeLog_;
};

}  // namespace vx
