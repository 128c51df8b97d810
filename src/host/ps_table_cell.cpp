#include "host/ps_table_cell.h"

#include <array>
#include <utility>

namespace vx {
namespace {

constexpr std::array<std::pair<std::string_view, PSCellType>, 11> kCellNames{{
    {"PSGroupCell", PSCellType::Group},
    {"PSSwitchCell", PSCellType::Switch},
    {"PSLinkCell", PSCellType::Link},
    {"PSLinkListCell", PSCellType::LinkList},
    {"PSEditTextCell", PSCellType::EditText},
    {"PSSecureEditTextCell", PSCellType::SecureEditText},
    {"PSButtonCell", PSCellType::Button},
    {"PSStaticTextCell", PSCellType::StaticText},
    {"PSTitleValueCell", PSCellType::TitleValue},
    {"PSSliderCell", PSCellType::Slider},
    {"PSSegmentCell", PSCellType::Segment},
}};

}  // namespace

std::optional<PSCellType> PSTableCell::cellTypeFromString(std::string_view name) {
    for (const auto& [cellName, type] : kCellNames) {
        if (cellName == name) return type;
    }
    return std::nullopt;
}

std::string_view PSTableCell::stringFromCellType(PSCellType type) {
    for (const auto& [cellName, cellType] : kCellNames) {
        if (cellType == type) return cellName;
    }
    return {};
}

}  // namespace vx
