#pragma once
// NSIndexPath for tables: a section and a row, ordered by section then row.
#include <compare>
#include <iosfwd>

namespace vx {

struct IndexPath {
    int section = 0;
    int row = 0;

    // indexPathForRow:inSection:
    static constexpr IndexPath indexPathForRow(int row, int section) { return {section, row}; }

    // NOLINTNEXTLINE(modernize-use-nullptr): clang-tidy 14 misreads a defaulted <=>
    auto operator<=>(const IndexPath&) const = default;
    bool operator==(const IndexPath&) const = default;
};

std::ostream& operator<<(std::ostream& out, const IndexPath& path);

}  // namespace vx
