#include "preview/theme_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/foundation/device_root.h"
#include "platform/foundation/root_jail.h"

namespace vx::preview {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);  // ignored: read-only descriptor
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

Error failure(std::string_view folder, std::string_view relative, std::string_view reason) {
    return fail(std::string(folder) + "/" + std::string(relative) + ": " + std::string(reason));
}

// The regular file opened for reading, and its size.
Result<std::pair<Descriptor, std::size_t>> openBelow(std::string_view folder,
                                                     std::string_view relative) {
    // The theme folder itself resolves inside the device root (a link out of it finds nothing).
    auto top = jail::open(folder, O_RDONLY | O_DIRECTORY);
    if (!top) return failure(folder, relative, std::strerror(top.errorCode()));
    Descriptor current(top->release());
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = relative.find('/', start);
        const bool last = slash == std::string_view::npos;
        const std::string component(
            relative.substr(start, last ? std::string_view::npos : slash - start));
        const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC |
                          (last ? O_NONBLOCK | O_NOCTTY : O_DIRECTORY);
        Descriptor next(::openat(current.get(), component.c_str(), flags));
        if (!next.valid()) {
            const int error = errno;
            return failure(folder, relative,
                           error == ELOOP ? "a link, not followed" : std::strerror(error));
        }
        if (last) {
            struct stat info {};
            if (::fstat(next.get(), &info) != 0) return failure(folder, relative, std::strerror(errno));
            if (!S_ISREG(info.st_mode)) return failure(folder, relative, "not a regular file");
            return std::pair<Descriptor, std::size_t>(std::move(next),
                                                      static_cast<std::size_t>(info.st_size));
        }
        std::swap(current, next);
        start = slash + 1;
    }
}

}  // namespace

Result<std::string> readFileBelow(std::string_view folder, std::string_view relative,
                                  std::size_t maxBytes) {
    auto [file, size] = VX_TRY(openBelow(folder, relative));
    if (size > maxBytes)
        return failure(folder, relative, "larger than " + std::to_string(maxBytes) + " bytes");
    std::string data;
    data.reserve(size);
    char buffer[64 * 1024];
    while (true) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return failure(folder, relative, std::strerror(errno));
        if (count == 0) return data;
        if (data.size() + static_cast<std::size_t>(count) > maxBytes)
            return failure(folder, relative, "larger than " + std::to_string(maxBytes) + " bytes");
        data.append(buffer, static_cast<std::size_t>(count));
    }
}

bool isRegularFileBelow(std::string_view folder, std::string_view relative) {
    return openBelow(folder, relative).ok();
}

}  // namespace vx::preview
