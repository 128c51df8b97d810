#include "support/temp_dir.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/foundation/device_root.h"

namespace vx::test {

TempDir::TempDir(Storage storage) {
    const bool memory = storage == Storage::Memory && std::filesystem::is_directory("/dev/shm");
    std::string pattern = ((memory ? std::filesystem::path("/dev/shm")
                                   : std::filesystem::temp_directory_path()) /
                           "vx-test-XXXXXX")
                              .string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;  // ignored: a test may have made parts unreadable; best effort
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

ScopedDeviceRoot::ScopedDeviceRoot(Storage storage) : dir_(storage), previous_(DeviceRoot::current()) {
    DeviceRoot::setCurrent(dir_.path());
}

ScopedDeviceRoot::~ScopedDeviceRoot() { DeviceRoot::setCurrent(previous_); }

std::filesystem::path ScopedDeviceRoot::host(std::string_view devicePath) const {
    return DeviceRoot::resolveIn(dir_.path(), devicePath);
}

void ScopedDeviceRoot::writeFile(std::string_view devicePath, std::string_view contents) const {
    writeHostFile(host(devicePath), contents);
}

std::string ScopedDeviceRoot::readFile(std::string_view devicePath) const {
    return readHostFile(host(devicePath));
}

void ScopedDeviceRoot::makeFolder(std::string_view devicePath) const {
    std::filesystem::create_directories(host(devicePath));
}

std::string readHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeHostFile(const std::filesystem::path& path, std::string_view contents) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

}  // namespace vx::test
