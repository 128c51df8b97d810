#include "platform/foundation/preferences_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"

namespace vx {

namespace {

namespace fs = std::filesystem;

constexpr int kReadAttempts = 3;

Error failAndLog(std::string reason) {
    log::write(reason);
    return fail(std::move(reason));
}

// ---- the lock beside the file ------------------------------------------------------------

class LockFile {
public:
    explicit LockFile(int fd) : fd_(fd) {}
    LockFile(LockFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    LockFile& operator=(LockFile&&) = delete;
    ~LockFile() {
        if (fd_ < 0) return;
        ::flock(fd_, LOCK_UN);  // ignored: closing releases the lock in any case
        ::close(fd_);           // ignored: nothing was written through this descriptor
    }

private:
    int fd_;
};

// The lock is a separate "<file>.lock": the file itself is replaced by rename, so a lock on
// its inode would protect nothing. A dead holder's lock is released by the kernel.
Result<LockFile> lockBeside(const fs::path& hostPath, std::chrono::milliseconds deadline) {
    fs::path lockPath = hostPath;
    lockPath += ".lock";
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return failAndLog("cannot open the lock " + lockPath.string() + ": " + std::strerror(errno));
    LockFile lock(fd);
    auto giveUpAt = std::chrono::steady_clock::now() + deadline;
    auto pause = std::chrono::microseconds(200);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return lock;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK)
            return failAndLog("cannot lock " + lockPath.string() + ": " + std::strerror(errno));
        if (std::chrono::steady_clock::now() >= giveUpAt)
            return failAndLog("gave up waiting for the lock " + lockPath.string() + " after " +
                              std::to_string(deadline.count()) + " ms; nothing was written");
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
}

// Temporary files of writers that died mid-save. Only called under the lock, when no
// other locked writer can be between its mkstemp and its rename.
void removeStaleTemporaries(const fs::path& hostPath) {
    const fs::path folder = hostPath.parent_path();
    const std::string target = hostPath.filename().string();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;  // ignored: the save itself will report a folder it cannot use
    while (dirent* entry = ::readdir(dir)) {
        if (!isAtomicTempNameOf(entry->d_name, target)) continue;
        fs::path stale = folder / entry->d_name;
        if (::unlink(stale.c_str()) == 0)
            log::write("removed " + stale.string() + ", left by an interrupted save");
    }
    ::closedir(dir);
}

// ---- reading -----------------------------------------------------------------------------

struct LoadedFile {
    enum class Status { Missing, Dictionary, Unparsable, Unreadable };
    Status status = Status::Missing;
    plist::Dictionary dictionary;
    WholeFile file;
    std::string reason;
};

LoadedFile loadFile(const fs::path& hostPath) {
    LoadedFile loaded;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        loaded.file = readWholeFile(hostPath, plist::kMaxInputBytes);
        if (loaded.file.status != WholeFile::Status::Read || loaded.file.stable) break;
    }
    switch (loaded.file.status) {
        case WholeFile::Status::Missing:
            loaded.status = LoadedFile::Status::Missing;
            return loaded;
        case WholeFile::Status::Failed:
            loaded.status = LoadedFile::Status::Unreadable;
            loaded.reason = loaded.file.reason;
            return loaded;
        case WholeFile::Status::Read:
            break;
    }
    if (!loaded.file.stable) {
        loaded.status = LoadedFile::Status::Unreadable;
        loaded.reason = hostPath.string() + " kept changing while it was read";
        return loaded;
    }
    auto parsed = plist::parse(loaded.file.bytes);
    if (!parsed) {
        loaded.status = LoadedFile::Status::Unparsable;
        loaded.reason = hostPath.string() + " is not a property list: " + parsed.error();
    } else if (!parsed->isDictionary()) {
        loaded.status = LoadedFile::Status::Unparsable;
        loaded.reason = hostPath.string() + " is a property list whose root is not a dictionary";
    } else {
        loaded.status = LoadedFile::Status::Dictionary;
        loaded.dictionary = std::move(parsed->dictionary());
    }
    return loaded;
}

std::optional<plist::Dictionary> dictionaryOrLog(LoadedFile& loaded) {
    if (loaded.status == LoadedFile::Status::Dictionary) return std::move(loaded.dictionary);
    if (loaded.status != LoadedFile::Status::Missing) log::write(loaded.reason);
    return std::nullopt;
}

// ---- backups beside the file -------------------------------------------------------------

// Copies the bytes that were read (under the lock) to a new unique name
// "<file><infix>XXXXXX" beside the file. The original stays in place until the new
// contents replace it in one step.
Result<fs::path> copyBeside(const fs::path& hostPath, const LoadedFile& loaded, std::string_view infix) {
    std::string pattern = hostPath.string() + std::string(infix) + "XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return failAndLog("cannot make a backup name beside " + hostPath.string() + ": " +
                          std::strerror(errno) + "; nothing was written");
    ::close(fd);  // ignored: the empty placeholder is replaced below
    fs::path backup = pattern;
    auto copied = replaceFileAtomically(backup, loaded.file.bytes, 0600);
    if (!copied) {
        ::unlink(backup.c_str());  // ignored: best effort removal of the empty placeholder
        return failAndLog("cannot back up " + hostPath.string() + ": " + copied.error() +
                          "; nothing was written");
    }
    return backup;
}

Result<fs::path> backUpUnparsable(const fs::path& hostPath, const LoadedFile& loaded) {
    auto backup = copyBeside(hostPath, loaded, ".unreadable-");
    if (backup)
        log::write(loaded.reason + "; its contents were saved to " + backup->string() +
                   " before it was replaced");
    return backup;
}

Result<SaveOutcome> saveUnderLock(const fs::path& hostPath, WhenMissing whenMissing,
                                  const PlistChange& change) {
    removeStaleTemporaries(hostPath);
    LoadedFile loaded = loadFile(hostPath);
    switch (loaded.status) {
        case LoadedFile::Status::Unreadable:
            return failAndLog(loaded.reason + "; nothing was written");
        case LoadedFile::Status::Missing:
            if (whenMissing == WhenMissing::Skip) return SaveOutcome::Unchanged;
            break;
        case LoadedFile::Status::Unparsable:
            if (whenMissing == WhenMissing::Skip) {
                log::write(loaded.reason + "; left as it is");
                return SaveOutcome::Unchanged;
            }
            break;
        case LoadedFile::Status::Dictionary:
            break;
    }
    if (!change(loaded.dictionary)) return SaveOutcome::Unchanged;
    if (loaded.status == LoadedFile::Status::Unparsable) {
        auto backup = backUpUnparsable(hostPath, loaded);
        if (!backup) return fail(backup.error());
    }
    auto written = replaceFileAtomically(hostPath, plist::writeXml(plist::Value(loaded.dictionary)));
    if (!written) return fail(written.error());
    return SaveOutcome::Written;
}

// ---- the cache ---------------------------------------------------------------------------

struct CacheKey {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};

    static CacheKey of(const struct stat& info) {
        return CacheKey{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    bool operator==(const CacheKey& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               mtime.tv_sec == other.mtime.tv_sec && mtime.tv_nsec == other.mtime.tv_nsec &&
               ctime.tv_sec == other.ctime.tv_sec && ctime.tv_nsec == other.ctime.tv_nsec;
    }
};

struct CacheEntry {
    CacheKey key;
    std::shared_ptr<const plist::Dictionary> dictionary;
};

struct Cache {
    std::mutex mutex;
    std::function<timespec()> clock;
    std::map<std::string, CacheEntry> entries;
    std::size_t parses = 0;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

// The ctime lies far enough in the past that any later change gets a later ctime.
bool settled(const timespec& ctime, const timespec& readAt) {
    auto toNanos = [](const timespec& t) {
        return static_cast<long double>(t.tv_sec) * 1e9L + static_cast<long double>(t.tv_nsec);
    };
    auto settle = std::chrono::duration_cast<std::chrono::nanoseconds>(kCacheSettleTime).count();
    return toNanos(readAt) - toNanos(ctime) >= static_cast<long double>(settle);
}

}  // namespace

Result<std::optional<fs::path>> replacePlistFile(std::string_view devicePath, plist::Dictionary contents,
                                                 std::chrono::milliseconds lockDeadline) {
    const fs::path hostPath = DeviceRoot::resolve(devicePath);
    std::error_code error;
    fs::create_directories(hostPath.parent_path(), error);
    if (error)
        return failAndLog("cannot create the folder " + hostPath.parent_path().string() + ": " +
                          error.message());
    auto lock = lockBeside(hostPath, lockDeadline);
    if (!lock) return fail(lock.error());
    removeStaleTemporaries(hostPath);
    LoadedFile loaded = loadFile(hostPath);
    if (loaded.status == LoadedFile::Status::Unreadable)
        return failAndLog(loaded.reason + "; nothing was written");
    std::optional<fs::path> backup;
    if (loaded.status != LoadedFile::Status::Missing) {
        auto copied = copyBeside(hostPath, loaded, ".replaced-");
        if (!copied) return fail(copied.error());
        backup = *copied;
    }
    auto written = replaceFileAtomically(hostPath, plist::writeXml(plist::Value(std::move(contents))));
    if (!written) {
        if (backup) ::unlink(backup->c_str());  // ignored: the old file is still in place
        return fail(written.error());
    }
    if (backup) log::write("replaced " + hostPath.string() + "; the old file was kept as " + backup->string());
    return backup;
}

Result<SaveOutcome> updatePlistFile(std::string_view devicePath, WhenMissing whenMissing,
                                    const PlistChange& change,
                                    std::chrono::milliseconds lockDeadline) {
    const fs::path hostPath = DeviceRoot::resolve(devicePath);
    const fs::path folder = hostPath.parent_path();
    std::error_code error;
    if (whenMissing == WhenMissing::Create) {
        fs::create_directories(folder, error);
        if (error)
            return failAndLog("cannot create the folder " + folder.string() + ": " + error.message());
    } else if (!fs::is_directory(folder, error)) {
        return SaveOutcome::Unchanged;  // no folder, so no file: nothing to change
    }
    auto lock = lockBeside(hostPath, lockDeadline);
    if (!lock) return fail(lock.error());
    return saveUnderLock(hostPath, whenMissing, change);
}

std::optional<plist::Dictionary> readPlistDictionary(std::string_view devicePath) {
    LoadedFile loaded = loadFile(DeviceRoot::resolve(devicePath));
    return dictionaryOrLog(loaded);
}

std::shared_ptr<const plist::Dictionary> readPlistDictionaryCached(std::string_view devicePath) {
    const std::string hostPath = DeviceRoot::resolve(devicePath).string();
    Cache& shared = cache();
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) == 0) {
        std::lock_guard guard(shared.mutex);
        auto found = shared.entries.find(hostPath);
        if (found != shared.entries.end() && found->second.key == CacheKey::of(info))
            return found->second.dictionary;
    }
    timespec readAt{};
    {
        std::lock_guard guard(shared.mutex);
        if (shared.clock)
            readAt = shared.clock();
        else
            ::clock_gettime(CLOCK_REALTIME, &readAt);
    }
    LoadedFile loaded = loadFile(hostPath);
    auto dictionary = dictionaryOrLog(loaded);
    std::lock_guard guard(shared.mutex);
    ++shared.parses;
    shared.entries.erase(hostPath);
    if (!dictionary) return nullptr;
    auto result = std::make_shared<const plist::Dictionary>(std::move(*dictionary));
    if (settled(loaded.file.identity.st_ctim, readAt))
        shared.entries[hostPath] = CacheEntry{CacheKey::of(loaded.file.identity), result};
    return result;
}

std::size_t plistCacheParseCount() {
    std::lock_guard guard(cache().mutex);
    return cache().parses;
}

void setPlistCacheClockForTesting(std::function<timespec()> clock) {
    std::lock_guard guard(cache().mutex);
    cache().clock = std::move(clock);
}

void clearPlistCache() {
    std::lock_guard guard(cache().mutex);
    cache().entries.clear();
    cache().parses = 0;
}

}  // namespace vx
