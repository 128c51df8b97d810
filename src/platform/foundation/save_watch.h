#pragma once
// The pages only log a failed save; they show nothing, as on the device. A front end that
// must tell its user wraps one gesture in a SaveWatch: every save of a property-list file
// (updatePlistFile, plist::writeFileAtomically) that fails on this thread while the watch
// is in scope is noted in it, including a save whose folder could not be synced.
#include <string>
#include <vector>

namespace vx {

class SaveWatch {
public:
    SaveWatch();
    ~SaveWatch();
    SaveWatch(const SaveWatch&) = delete;
    SaveWatch& operator=(const SaveWatch&) = delete;

    // The reasons, in order; empty when every save succeeded.
    const std::vector<std::string>& failures() const { return failures_; }

    // Called by the savers: tells every watch in scope on this thread.
    static void note(const std::string& reason);

private:
    SaveWatch* outer_;
    std::vector<std::string> failures_;
};

}  // namespace vx
