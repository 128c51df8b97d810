#pragma once
// The file operations of a save and of a whole-file read, behind one small interface (the
// idea of Ninja's DiskInterface): the real disk goes through the root jail and the kernel;
// a test puts a recording fake in its place to check the order of write, sync, rename and
// folder sync, to fail any one call, or to change a file while it is read. Each call
// behaves as its system call does: -1 with errno set on failure (open and openParent give
// a failed Result whose errorCode() is the errno).
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"
#include "platform/foundation/root_jail.h"
#include "platform/foundation/unique_fd.h"

namespace vx {

class Disk {
public:
    virtual ~Disk() = default;

    // jail::open and jail::openParent under the current device root.
    virtual Result<UniqueFd> open(std::string_view devicePath, int flags) = 0;
    virtual Result<jail::Parent> openParent(std::string_view devicePath) = 0;
    // openat(2) and fstatat(2) of a name in an open folder (callers add O_NOFOLLOW).
    virtual int openAt(int folder, const std::string& name, int flags, mode_t mode) = 0;
    virtual int statAt(int folder, const std::string& name, struct stat& info) = 0;
    virtual int stat(int fd, struct stat& info) = 0;
    virtual ssize_t read(int fd, char* buffer, std::size_t size) = 0;
    virtual ssize_t write(int fd, const char* bytes, std::size_t size) = 0;
    virtual int setOwner(int fd, uid_t owner, gid_t group) = 0;
    virtual int setMode(int fd, mode_t mode) = 0;
    virtual int sync(int fd) = 0;  // a file or a folder
    virtual int close(int fd) = 0;
    virtual int renameAt(int folder, const std::string& from, const std::string& to) = 0;
    virtual int removeAt(int folder, const std::string& name) = 0;
    // The names in an open folder, without "." and ".."; empty when it cannot be listed.
    virtual std::vector<std::string> list(int folder) = 0;
    virtual int lock(int fd, int operation) = 0;  // flock(2)
};

// The kernel, through the root jail.
Disk& realDisk();
// What saves and whole-file reads of device paths go through: the real disk unless a test
// put another in its place (nullptr puts the real one back).
Disk& currentDisk();
void setDiskForTesting(Disk* disk);

}  // namespace vx
