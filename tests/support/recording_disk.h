#pragma once
// An in-memory disk for the write protocol (see platform/foundation/disk.h): files by
// device path, every call that changes, syncs, locks or reads a file recorded in order,
// any call made to fail, and a hook that runs after each read so that a test can change a
// file while it is being read. It puts itself in place of the real disk while it lives.
// Its descriptors are real ones (of /dev/null), so code that closes them directly is safe.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/disk.h"

namespace vx::test {

class RecordingDisk final : public Disk {
public:
    RecordingDisk();
    ~RecordingDisk() override;
    RecordingDisk(const RecordingDisk&) = delete;
    RecordingDisk& operator=(const RecordingDisk&) = delete;

    // "operation name", e.g. "rename .x.plist.saving-AbC123 x.plist"; a folder is named by
    // its device path. Operations: create, open, read, write, sync, close, rename, remove,
    // lock, unlock.
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    // Writes a file in place (as another program would), moving its times on.
    void putFile(const std::string& devicePath, std::string bytes);
    std::optional<std::string> file(const std::string& devicePath) const;
    std::vector<std::string> namesIn(const std::string& folderDevicePath) const;

    // The nth call of `operation` from now on (1 = the next) fails with `error`.
    void failCall(std::string operation, int nth, int error);
    // Runs after every read of a file, with its device path.
    std::function<void(const std::string& devicePath)> afterRead;

    Result<UniqueFd> open(std::string_view devicePath, int flags) override;
    Result<jail::Parent> openParent(std::string_view devicePath) override;
    int openAt(int folder, const std::string& name, int flags, mode_t mode) override;
    int statAt(int folder, const std::string& name, struct stat& info) override;
    int stat(int fd, struct stat& info) override;
    ssize_t read(int fd, char* buffer, std::size_t size) override;
    ssize_t write(int fd, const char* bytes, std::size_t size) override;
    int setOwner(int fd, uid_t owner, gid_t group) override;
    int setMode(int fd, mode_t mode) override;
    int sync(int fd) override;
    int close(int fd) override;
    int renameAt(int folder, const std::string& from, const std::string& to) override;
    int removeAt(int folder, const std::string& name) override;
    std::vector<std::string> list(int folder) override;
    int lock(int fd, int operation) override;

private:
    struct Node {
        std::string bytes;
        mode_t mode = 0644;
        uid_t owner = 0;
        gid_t group = 0;
        ino_t inode = 0;
        long changed = 0;  // mtime and ctime, in seconds of the fake clock
    };
    struct Open {
        std::string path;  // device path of the file, or of the folder
        bool folder = false;
        std::size_t offset = 0;
    };

    // Records the call; false (errno set) when it is one the test made fail.
    bool record(const std::string& operation, const std::string& name);
    int newDescriptor(Open open);
    Open* opened(int fd);
    Node* node(const std::string& path);
    static int statOf(const Node* file, struct stat& info);
    void touch(Node& node) { node.changed = ++clock_; }
    std::string nameOf(const Open& open) const;

    std::map<std::string, Node> files_;
    std::map<int, Open> open_;
    std::vector<std::string> calls_;
    struct Failure {
        std::string operation;
        int remaining;
        int error;
    };
    std::vector<Failure> failures_;
    long clock_ = 1'000'000;
    ino_t nextInode_ = 100;
};

}  // namespace vx::test
