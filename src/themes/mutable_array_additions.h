#pragma once
// Two operations on a property-list array: a bounds-checked read and the move that the
// theme order page makes for each finished drag.
#include <cstddef>

#include "platform/foundation/plist_value.h"

namespace vx {

// safeObjectAtIndex: the element, or nullptr when the index is not below the count.
const plist::Value* safeObjectAtIndex(const plist::Array& array, std::size_t index);

// moveObjectFromIndex:toIndex: the element at `from` ends up at index `to` of the result;
// a `to` at or past the end of what is left appends it. Nothing happens when from == to
// or `from` is no element.
void moveObjectFromIndex(plist::Array& array, std::size_t from, std::size_t to);

}  // namespace vx
