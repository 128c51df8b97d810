#pragma once
// UBClient: the privileged file mover that the theme editor asks to put a settings script
// aside. It moves one file within the device root: by rename on one file system, or by
// copy, sync and unlink across file systems. An existing file at the destination is
// replaced. Like the closed library it stands in for, it reports nothing to its caller;
// a failed move is written to the log and leaves the source where it was.
#include <memory>
#include <string_view>

#include "platform/foundation/object.h"

namespace vx {

class UBClient : public Object {
public:
    // The process-wide client.
    static std::shared_ptr<UBClient> sharedInstance();

    std::string className() const override { return "UBClient"; }

    // moveFile:toFile: with two device paths.
    void moveFile(std::string_view from, std::string_view to);
};

}  // namespace vx
