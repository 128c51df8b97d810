#pragma once
// Temporary folders for tests, and a device root that lives as long as the test.
#include <filesystem>
#include <string>
#include <string_view>

namespace vx::test {

// Memory: on tmpfs (/dev/shm) when there is one, for tests that save thousands of times and
// check locking or atomicity rather than the disk; real syncs would make them take minutes.
enum class Storage { Disk, Memory };

class TempDir {
public:
    explicit TempDir(Storage storage = Storage::Disk);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A fresh, empty device root made current for the test's lifetime; the previous root
// comes back afterwards.
class ScopedDeviceRoot {
public:
    explicit ScopedDeviceRoot(Storage storage = Storage::Disk);
    ~ScopedDeviceRoot();

    const std::filesystem::path& path() const { return dir_.path(); }
    // Host path of a device path under this root.
    std::filesystem::path host(std::string_view devicePath) const;
    // Writes a file (creating its folders) at a device path.
    void writeFile(std::string_view devicePath, std::string_view contents) const;
    std::string readFile(std::string_view devicePath) const;
    void makeFolder(std::string_view devicePath) const;

private:
    TempDir dir_;
    std::filesystem::path previous_;
};

// The whole of a host file, or "" when it cannot be read.
std::string readHostFile(const std::filesystem::path& path);
void writeHostFile(const std::filesystem::path& path, std::string_view contents);

}  // namespace vx::test
