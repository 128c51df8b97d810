#include "themes/mutable_array_additions.h"

#include <iterator>
#include <utility>

namespace vx {

const plist::Value* safeObjectAtIndex(const plist::Array& array, std::size_t index) {
    return index < array.size() ? &array[index] : nullptr;
}

void moveObjectFromIndex(plist::Array& array, std::size_t from, std::size_t to) {
    if (from == to || !safeObjectAtIndex(array, from)) return;
    plist::Value moved = std::move(array[from]);
    array.erase(array.begin() + static_cast<std::ptrdiff_t>(from));
    if (to >= array.size()) {
        array.push_back(std::move(moved));
    } else {
        array.insert(array.begin() + static_cast<std::ptrdiff_t>(to), std::move(moved));
    }
}

}  // namespace vx
