#pragma once
// The pages only log a failed save; they show nothing, as on the device. A front end that
// must tell its user wraps one gesture in a SaveWatch: every save through updatePlistFile
// (the preferences file, a defaults domain) that fails on this thread while the watch is in
// scope is noted in it, including a save whose folder could not be synced, and so is a
// value plist::writeFileAtomically refuses for holding text XML cannot carry (no retry can
// save it). Other failures of writeFileAtomically are left to its caller, who may recover.
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
