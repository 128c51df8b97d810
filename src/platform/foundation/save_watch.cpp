#include "platform/foundation/save_watch.h"

namespace vx {

namespace {
thread_local SaveWatch* innermost = nullptr;
}

SaveWatch::SaveWatch() : outer_(innermost) { innermost = this; }

SaveWatch::~SaveWatch() { innermost = outer_; }

void SaveWatch::note(const std::string& reason) {
    for (SaveWatch* watch = innermost; watch; watch = watch->outer_) watch->failures_.push_back(reason);
}

}  // namespace vx
