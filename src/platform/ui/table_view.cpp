#include "platform/ui/table_view.h"

#include <algorithm>

#include "platform/foundation/log.h"

namespace vx {

namespace {
constexpr int kMaxReloadPasses = 4;
}  // namespace

UITableView::UITableView(CGRect frame, UITableViewStyle style) : UIScrollView(frame), style_(style) {}

std::shared_ptr<UITableView> UITableView::initWithFrame(CGRect frame) {
    return std::make_shared<UITableView>(frame, UITableViewStyle::Plain);
}

std::shared_ptr<UITableView> UITableView::initWithFrame(CGRect frame, UITableViewStyle style) {
    return std::make_shared<UITableView>(frame, style);
}

void UITableView::setDataSource(std::weak_ptr<UITableViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
    loaded_ = false;
    setNeedsLayout();
}

void UITableView::setTableHeaderView(std::shared_ptr<UIView> view) {
    if (tableHeaderView_ && tableHeaderView_->superviewPointer() == this)
        tableHeaderView_->removeFromSuperview();
    tableHeaderView_ = std::move(view);
    layoutCells();
}

void UITableView::setTableFooterView(std::shared_ptr<UIView> view) {
    if (tableFooterView_ && tableFooterView_->superviewPointer() == this)
        tableFooterView_->removeFromSuperview();
    tableFooterView_ = std::move(view);
    layoutCells();
}

// ---- Loading

int UITableView::sectionCountFromSource(UITableViewDataSource& source) {
    return std::max(0, source.numberOfSectionsInTableView(*this).value_or(1));
}

std::shared_ptr<UITableViewCell> UITableView::makeCell(UITableViewDataSource& source, IndexPath path) {
    auto cell = source.cellForRowAtIndexPath(*this, path);
    if (!cell) {
        log::write("UITableView: the data source gave no cell for row " + std::to_string(path.row) +
                   " of section " + std::to_string(path.section));
        cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "");
    }
    cell->setEditing(editing_);
    if (!editing_) cell->setShowsReorderControl(false);  // what applyEditingToCells would set
    return cell;
}

UITableView::Section UITableView::buildSection(UITableViewDataSource& source, int section, int rows) {
    Section built;
    built.header = source.titleForHeaderInSection(*this, section);
    built.footer = source.titleForFooterInSection(*this, section);
    for (int row = 0; row < rows; ++row) built.cells.push_back(makeCell(source, {section, row}));
    return built;
}

void UITableView::recycle(const std::shared_ptr<UITableViewCell>& cell) {
    if (!cell) return;
    if (cell->superviewPointer() == this) cell->removeFromSuperview();
    cell->setSelected(false);
    if (!cell->reuseIdentifier().empty()) reusePool_[cell->reuseIdentifier()].push_back(cell);
}

// The cells leave the table last first, so each is near the end of the subview list (no
// long search, no shift); put at the front of the reuse pool in that order, they come out of
// it in table order.
void UITableView::recycleAllCells() {
    for (auto section = sections_.rbegin(); section != sections_.rend(); ++section) {
        for (auto cell = section->cells.rbegin(); cell != section->cells.rend(); ++cell) {
            if (!*cell) continue;
            if ((*cell)->superviewPointer() == this) (*cell)->removeFromSuperview();
            (*cell)->setSelected(false);
            if (!(*cell)->reuseIdentifier().empty())
                reusePool_[(*cell)->reuseIdentifier()].push_front(*cell);
        }
    }
}

void UITableView::reloadData() {
    if (reloading_) {
        reloadRequested_ = true;
        return;
    }
    auto keepAlive = sharedFrom(this);
    reloading_ = true;
    loaded_ = true;
    ++generation_;
    int passes = 0;
    do {
        reloadRequested_ = false;
        recycleAllCells();
        sections_.clear();
        selected_.reset();
        if (auto source = dataSource()) {
            const int count = sectionCountFromSource(*source);
            for (int s = 0; s < count; ++s) {
                const int rows = std::max(0, source->numberOfRowsInSection(*this, s));
                sections_.push_back(buildSection(*source, s, rows));
            }
        }
    } while (reloadRequested_ && ++passes < kMaxReloadPasses);
    if (reloadRequested_) log::write("UITableView: the data source keeps asking for reloads; stopped");
    reloadRequested_ = false;
    reloading_ = false;
    if (editing_) applyEditingToCells();  // out of editing, makeCell did it: one pass less
    layoutCells();
    log({TableChange::Kind::Reload, {}, UITableViewRowAnimation::None, false, false});
}

void UITableView::loadIfNeeded() {
    if (!loaded_) reloadData();
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(
    const std::string& identifier) {
    auto it = reusePool_.find(identifier);
    if (it == reusePool_.end() || it->second.empty()) return nullptr;
    auto cell = std::move(it->second.front());
    it->second.pop_front();
    cell->prepareForReuse();
    return cell;
}

std::size_t UITableView::reusePoolSize(const std::string& identifier) const {
    auto it = reusePool_.find(identifier);
    return it == reusePool_.end() ? 0 : it->second.size();
}

// ---- Contents

int UITableView::numberOfSections() {
    loadIfNeeded();
    return static_cast<int>(sections_.size());
}

int UITableView::numberOfRowsInSection(int section) {
    loadIfNeeded();
    if (section < 0 || section >= static_cast<int>(sections_.size())) return 0;
    return static_cast<int>(sections_[section].cells.size());
}

bool UITableView::validPath(IndexPath path) const {
    return path.section >= 0 && path.section < static_cast<int>(sections_.size()) && path.row >= 0 &&
           path.row < static_cast<int>(sections_[path.section].cells.size());
}

std::shared_ptr<UITableViewCell> UITableView::cellForRowAtIndexPath(IndexPath indexPath) {
    loadIfNeeded();
    if (!validPath(indexPath)) return nullptr;
    return sections_[indexPath.section].cells[indexPath.row];
}

std::optional<IndexPath> UITableView::indexPathForCell(const UITableViewCell* cell) {
    loadIfNeeded();
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const auto& cells = sections_[s].cells;
        for (std::size_t r = 0; r < cells.size(); ++r) {
            if (cells[r].get() == cell) return IndexPath{static_cast<int>(s), static_cast<int>(r)};
        }
    }
    return std::nullopt;
}

std::vector<std::shared_ptr<UITableViewCell>> UITableView::visibleCells() {
    loadIfNeeded();
    std::vector<std::shared_ptr<UITableViewCell>> out;
    for (const auto& section : sections_)
        out.insert(out.end(), section.cells.begin(), section.cells.end());
    return out;
}

std::optional<std::string> UITableView::headerTitleForSection(int section) {
    loadIfNeeded();
    if (section < 0 || section >= static_cast<int>(sections_.size())) return std::nullopt;
    return sections_[section].header;
}

std::optional<std::string> UITableView::footerTitleForSection(int section) {
    loadIfNeeded();
    if (section < 0 || section >= static_cast<int>(sections_.size())) return std::nullopt;
    return sections_[section].footer;
}

CGRect UITableView::rectForRowAtIndexPath(IndexPath indexPath) {
    auto cell = cellForRowAtIndexPath(indexPath);
    return cell ? cell->frame() : CGRectZero;
}

// ---- Layout

void UITableView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    if (!loaded_ && !dataSource_.expired()) {
        reloadData();
    } else {
        layoutCells();
    }
}

void UITableView::layoutCells() {
    const double width = bounds().size.width;
    const bool grouped = style_ == UITableViewStyle::Grouped;
    std::vector<std::shared_ptr<UIView>> ordered;
    double y = 0;
    auto place = [&](const std::shared_ptr<UIView>& view, double height) {
        const CGRect frame = CGRectMake(0, y, width, height);
        if (view->frame() != frame) view->setFrame(frame);
        ordered.push_back(view);
        y += height;
    };
    if (tableHeaderView_) place(tableHeaderView_, tableHeaderView_->frame().size.height);
    auto delegate = this->delegate();
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const auto& section = sections_[s];
        y += section.header ? kHeaderHeightWithTitle : (grouped ? kGroupedSpacing : 0);
        for (std::size_t r = 0; r < section.cells.size(); ++r) {
            const IndexPath path{static_cast<int>(s), static_cast<int>(r)};
            double height = rowHeight_;
            if (delegate) height = delegate->heightForRowAtIndexPath(*this, path).value_or(rowHeight_);
            place(section.cells[r], height);
        }
        y += section.footer ? kFooterHeightWithTitle : (grouped ? kGroupedSpacing : 0);
    }
    if (tableFooterView_) place(tableFooterView_, tableFooterView_->frame().size.height);
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        if (i < subviews().size() && subviews()[i] == ordered[i]) continue;
        insertSubview(ordered[i], i);
    }
    const CGSize size{width, y};
    if (contentSize() != size) setContentSize(size);
}

// ---- Changes

void UITableView::log(TableChange change) {
    changeLog_.push_back(std::move(change));
    if (changeLog_.size() > kMaxLogEntries) changeLog_.pop_front();
}

bool UITableView::countsAgreeWithSource() {
    auto source = dataSource();
    if (!source) return sections_.empty();
    if (sectionCountFromSource(*source) != static_cast<int>(sections_.size())) return false;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        if (std::max(0, source->numberOfRowsInSection(*this, static_cast<int>(s))) !=
            static_cast<int>(sections_[s].cells.size())) {
            return false;
        }
    }
    return true;
}

void UITableView::recoverWithReload(const std::string& reason) {
    log::write("UITableView: " + reason + "; reloading the whole table");
    reloadData();
}

void UITableView::shiftSelectionAfterInsert(IndexPath path) {
    if (selected_ && selected_->section == path.section && selected_->row >= path.row) ++selected_->row;
}

void UITableView::shiftSelectionAfterDelete(IndexPath path) {
    if (!selected_ || selected_->section != path.section) return;
    if (selected_->row == path.row) {
        selected_.reset();
    } else if (selected_->row > path.row) {
        --selected_->row;
    }
}

void UITableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& paths,
                                         UITableViewRowAnimation animation) {
    auto keepAlive = sharedFrom(this);
    log({TableChange::Kind::InsertRows, paths, animation, animation != UITableViewRowAnimation::None,
         false});
    auto source = dataSource();
    if (!loaded_ || !source) {
        reloadData();
        return;
    }
    auto sorted = paths;
    std::sort(sorted.begin(), sorted.end());
    for (const auto& path : sorted) {
        if (path.section < 0 || path.section >= static_cast<int>(sections_.size()) || path.row < 0 ||
            path.row > static_cast<int>(sections_[path.section].cells.size())) {
            recoverWithReload("row insertion outside the table");
            return;
        }
        auto cell = makeCell(*source, path);
        auto& cells = sections_[path.section].cells;
        cells.insert(cells.begin() + path.row, cell);
        shiftSelectionAfterInsert(path);
    }
    if (!countsAgreeWithSource()) {
        recoverWithReload("rows inserted do not match the data source");
        return;
    }
    applyEditingToCells();
    layoutCells();
}

void UITableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths,
                                         UITableViewRowAnimation animation) {
    auto keepAlive = sharedFrom(this);
    log({TableChange::Kind::DeleteRows, paths, animation, animation != UITableViewRowAnimation::None,
         false});
    if (!loaded_ || dataSource_.expired()) {
        reloadData();
        return;
    }
    auto sorted = paths;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (const auto& path : sorted) {
        if (!validPath(path)) {
            recoverWithReload("row deletion outside the table");
            return;
        }
    }
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        auto& cells = sections_[it->section].cells;
        recycle(cells[it->row]);
        cells.erase(cells.begin() + it->row);
        shiftSelectionAfterDelete(*it);
    }
    if (!countsAgreeWithSource()) {
        recoverWithReload("rows deleted do not match the data source");
        return;
    }
    layoutCells();
}

void UITableView::insertSections(const std::vector<int>& sections, UITableViewRowAnimation animation) {
    auto keepAlive = sharedFrom(this);
    std::vector<IndexPath> logged;
    logged.reserve(sections.size());
    for (int s : sections) logged.push_back({s, 0});
    log({TableChange::Kind::InsertSections, logged, animation,
         animation != UITableViewRowAnimation::None, false});
    auto source = dataSource();
    if (!loaded_ || !source) {
        reloadData();
        return;
    }
    auto sorted = sections;
    std::sort(sorted.begin(), sorted.end());
    for (int s : sorted) {
        if (s < 0 || s > static_cast<int>(sections_.size())) {
            recoverWithReload("section insertion outside the table");
            return;
        }
        const int rows = std::max(0, source->numberOfRowsInSection(*this, s));
        sections_.insert(sections_.begin() + s, buildSection(*source, s, rows));
        if (selected_ && selected_->section >= s) ++selected_->section;
    }
    if (!countsAgreeWithSource()) {
        recoverWithReload("sections inserted do not match the data source");
        return;
    }
    applyEditingToCells();
    layoutCells();
}

void UITableView::deleteSections(const std::vector<int>& sections, UITableViewRowAnimation animation) {
    auto keepAlive = sharedFrom(this);
    std::vector<IndexPath> logged;
    logged.reserve(sections.size());
    for (int s : sections) logged.push_back({s, 0});
    log({TableChange::Kind::DeleteSections, logged, animation,
         animation != UITableViewRowAnimation::None, false});
    if (!loaded_ || dataSource_.expired()) {
        reloadData();
        return;
    }
    auto sorted = sections;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int s : sorted) {
        if (s < 0 || s >= static_cast<int>(sections_.size())) {
            recoverWithReload("section deletion outside the table");
            return;
        }
    }
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        for (auto& cell : sections_[*it].cells) recycle(cell);
        sections_.erase(sections_.begin() + *it);
        if (selected_ && selected_->section == *it) {
            selected_.reset();
        } else if (selected_ && selected_->section > *it) {
            --selected_->section;
        }
    }
    if (!countsAgreeWithSource()) {
        recoverWithReload("sections deleted do not match the data source");
        return;
    }
    layoutCells();
}

void UITableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths,
                                         UITableViewRowAnimation animation) {
    auto keepAlive = sharedFrom(this);
    log({TableChange::Kind::Reload, paths, animation, animation != UITableViewRowAnimation::None,
         false});
    auto source = dataSource();
    if (!loaded_ || !source) {
        reloadData();
        return;
    }
    for (const auto& path : paths) {
        if (!validPath(path)) {
            recoverWithReload("row reload outside the table");
            return;
        }
    }
    for (const auto& path : paths) {
        auto& slot = sections_[path.section].cells[path.row];
        recycle(slot);
        slot = makeCell(*source, path);
        if (selected_ == path) slot->setSelected(true);
    }
    applyEditingToCells();
    layoutCells();
}

// ---- Selection

void UITableView::selectRowAtIndexPath(IndexPath indexPath, bool animated) {
    loadIfNeeded();
    if (!validPath(indexPath)) return;
    if (selected_ && *selected_ != indexPath && validPath(*selected_)) {
        sections_[selected_->section].cells[selected_->row]->setSelected(false, animated);
    }
    selected_ = indexPath;
    sections_[indexPath.section].cells[indexPath.row]->setSelected(true, animated);
    log({TableChange::Kind::Select, {indexPath}, UITableViewRowAnimation::None, animated, false});
}

void UITableView::deselectRowAtIndexPath(IndexPath indexPath, bool animated) {
    if (selected_ == indexPath) {
        selected_.reset();
        if (validPath(indexPath))
            sections_[indexPath.section].cells[indexPath.row]->setSelected(false, animated);
    }
    log({TableChange::Kind::Deselect, {indexPath}, UITableViewRowAnimation::None, animated, false});
}

// ---- Editing

void UITableView::setEditing(bool editing, bool animated) {
    editing_ = editing;
    applyEditingToCells();
    log({TableChange::Kind::SetEditing, {}, UITableViewRowAnimation::None, animated, editing});
}

void UITableView::applyEditingToCells() {
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        for (std::size_t r = 0; r < sections_[s].cells.size(); ++r) {
            auto& cell = sections_[s].cells[r];
            cell->setEditing(editing_);
            cell->setShowsReorderControl(editing_ &&
                                         canMoveRow({static_cast<int>(s), static_cast<int>(r)}));
        }
    }
}

bool UITableView::canEditRow(IndexPath indexPath) {
    auto source = dataSource();
    if (!source) return false;
    return source->canEditRowAtIndexPath(*this, indexPath).value_or(true);
}

UITableViewCellEditingStyle UITableView::editingStyleForRow(IndexPath indexPath) {
    if (!canEditRow(indexPath)) return UITableViewCellEditingStyle::None;
    auto delegate = this->delegate();
    if (!delegate) return UITableViewCellEditingStyle::Delete;
    return delegate->editingStyleForRowAtIndexPath(*this, indexPath)
        .value_or(UITableViewCellEditingStyle::Delete);
}

bool UITableView::shouldIndentWhileEditingRow(IndexPath indexPath) {
    auto delegate = this->delegate();
    if (!delegate) return true;
    return delegate->shouldIndentWhileEditingRowAtIndexPath(*this, indexPath).value_or(true);
}

bool UITableView::canMoveRow(IndexPath indexPath) {
    auto source = dataSource();
    if (!source || !source->implementsMoveRow() || !canEditRow(indexPath)) return false;
    return source->canMoveRowAtIndexPath(*this, indexPath).value_or(true);
}

// ---- The user's gestures

bool UITableView::userTapRow(IndexPath indexPath) {
    auto keepAlive = sharedFrom(this);
    loadIfNeeded();
    if (!validPath(indexPath)) return false;
    if (editing_ ? !allowsSelectionDuringEditing_ : !allowsSelection_) return false;
    selectRowAtIndexPath(indexPath, false);
    if (auto delegate = this->delegate()) delegate->didSelectRowAtIndexPath(*this, indexPath);
    return true;
}

bool UITableView::userTapAccessoryButton(IndexPath indexPath) {
    auto keepAlive = sharedFrom(this);
    loadIfNeeded();
    if (!validPath(indexPath)) return false;
    auto delegate = this->delegate();
    if (!delegate) return false;
    delegate->accessoryButtonTappedForRowWithIndexPath(*this, indexPath);
    return true;
}

bool UITableView::moveRow(IndexPath from, IndexPath to) {
    auto keepAlive = sharedFrom(this);
    loadIfNeeded();
    auto refuse = [](const char* why) {
        log::write(std::string("UITableView: row move refused: ") + why);
        return false;
    };
    if (!editing_) return refuse("the table is not in editing mode");
    if (!validPath(from)) return refuse("no such source row");
    if (to.section < 0 || to.section >= static_cast<int>(sections_.size()))
        return refuse("no such section");
    int limit = static_cast<int>(sections_[to.section].cells.size());
    if (to.section == from.section) --limit;  // positions after taking the row out
    if (to.row < 0 || to.row > limit) return refuse("no such destination row");
    if (!canMoveRow(from)) return refuse("the row cannot move");
    auto source = dataSource();
    const auto selectedCell = selected_ ? cellForRowAtIndexPath(*selected_) : nullptr;
    const auto generation = generation_;
    source->moveRowAtIndexPath(*this, from, to);
    if (generation != generation_) {  // the data source reloaded: the table shows its state already
        log({TableChange::Kind::MoveRow, {from, to}, UITableViewRowAnimation::None, false, false});
        return true;
    }
    auto& fromCells = sections_[from.section].cells;
    auto cell = fromCells[from.row];
    fromCells.erase(fromCells.begin() + from.row);
    auto& toCells = sections_[to.section].cells;
    toCells.insert(toCells.begin() + std::min<std::size_t>(to.row, toCells.size()), cell);
    if (selectedCell) selected_ = indexPathForCell(selectedCell.get());
    log({TableChange::Kind::MoveRow, {from, to}, UITableViewRowAnimation::None, false, false});
    layoutCells();
    return true;
}

}  // namespace vx
