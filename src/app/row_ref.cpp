#include "app/row_ref.h"

#include <charconv>
#include <optional>

namespace vx {
namespace {

std::optional<int> parseNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

RowRef RowRef::parse(std::string_view text) {
    RowRef ref;
    ref.text = std::string(text);
    if (text.size() < 2 || text.front() != '#') {
        return ref;
    }
    std::string_view body = text.substr(1);
    auto dot = body.find('.');
    if (dot == std::string_view::npos) {
        if (auto row = parseNumber(body)) {
            ref.kind = Kind::Index;
            ref.row = *row;
        }
        return ref;
    }
    auto section = parseNumber(body.substr(0, dot));
    auto row = parseNumber(body.substr(dot + 1));
    if (section && row) {
        ref.kind = Kind::SectionIndex;
        ref.section = *section;
        ref.row = *row;
    }
    return ref;
}

RowRef RowRef::index(int flatRow) {
    RowRef ref;
    ref.kind = Kind::Index;
    ref.row = flatRow;
    ref.text = "#" + std::to_string(flatRow);
    return ref;
}

RowRef RowRef::at(int section, int row) {
    RowRef ref;
    ref.kind = Kind::SectionIndex;
    ref.section = section;
    ref.row = row;
    ref.text = "#" + std::to_string(section) + "." + std::to_string(row);
    return ref;
}

}  // namespace vx
