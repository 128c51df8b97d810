#include "platform/ui/index_path.h"

#include <ostream>

namespace vx {

std::ostream& operator<<(std::ostream& out, const IndexPath& path) {
    return out << "[" << path.section << ", " << path.row << "]";
}

}  // namespace vx
