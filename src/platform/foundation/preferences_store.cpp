#include "platform/foundation/preferences_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/disk.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/root_jail.h"
#include "platform/foundation/save_watch.h"
#include "platform/foundation/strings.h"
#include "platform/foundation/unique_fd.h"

namespace vx {

namespace {

constexpr int kReadAttempts = 3;

using log::failAndLog;

// ---- the lock beside the file ------------------------------------------------------------

// A held lock; unlocked and closed when it goes.
class LockFile {
public:
    LockFile(Disk& disk, int fd) : disk_(disk), fd_(fd) {}
    LockFile(LockFile&& other) noexcept : disk_(other.disk_), fd_(std::exchange(other.fd_, -1)) {}
    LockFile& operator=(LockFile&&) = delete;
    ~LockFile() {
        if (fd_ < 0) return;
        disk_.lock(fd_, LOCK_UN);  // ignored: closing releases the lock in any case
        disk_.close(fd_);          // ignored: nothing was written through this descriptor
    }

private:
    Disk& disk_;
    int fd_;
};

// Opens "<name>.lock" in the folder, never through a link. A new lock file takes the owner
// of the folder, so that a save made as root leaves a lock its user can still open.
Result<UniqueFd> openLockFile(Disk& disk, int folder, const std::string& lockName,
                              std::string_view shownAs) {
    int fd = disk.openAt(folder, lockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
        struct stat folderInfo {};
        if (::geteuid() == 0 && disk.stat(folder, folderInfo) == 0)
            disk.setOwner(fd, folderInfo.st_uid,
                          folderInfo.st_gid);  // ignored: the lock works whoever owns it
        return UniqueFd(fd);
    }
    if (errno == EEXIST) fd = disk.openAt(folder, lockName, O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0)
        return failAndLog("cannot open the lock " + std::string(shownAs) +
                          ".lock: " + std::strerror(errno));
    return UniqueFd(fd);
}

// A blocking flock, given up after the deadline. The kernel wakes a blocked waiter as soon
// as the holder unlocks, so a busy writer cannot starve another the way polling did. The
// wait runs on a helper thread that owns the descriptor: if the caller gives up, the helper
// releases the lock as soon as it gets it.
Result<LockFile> waitForLock(Disk& disk, UniqueFd fd, std::chrono::milliseconds deadline,
                             std::string_view shownAs) {
    if (disk.lock(fd.get(), LOCK_EX | LOCK_NB) == 0) return LockFile(disk, fd.release());
    if (errno != EWOULDBLOCK && errno != EINTR)
        return failAndLog("cannot lock " + std::string(shownAs) + ".lock: " + std::strerror(errno));
    struct Wait {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        int error = 0;
        int fd = -1;
    };
    auto wait = std::make_shared<Wait>();
    wait->fd = fd.release();
    std::thread([wait, &disk] {
        int rc;
        do rc = disk.lock(wait->fd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        int error = rc == 0 ? 0 : errno;
        std::lock_guard guard(wait->mutex);
        if (wait->abandoned) {
            disk.close(wait->fd);  // ignored: closing releases the lock nobody waits for any more
            return;
        }
        wait->finished = true;
        wait->error = error;
        wait->done.notify_one();
    }).detach();
    std::unique_lock guard(wait->mutex);
    if (!wait->done.wait_for(guard, deadline, [&] { return wait->finished; })) {
        wait->abandoned = true;
        return failAndLog("gave up waiting for the lock " + std::string(shownAs) + ".lock after " +
                          std::to_string(deadline.count()) + " ms; nothing was written");
    }
    if (wait->error != 0) {
        disk.close(wait->fd);  // ignored: nothing was written through this descriptor
        return failAndLog("cannot lock " + std::string(shownAs) +
                          ".lock: " + std::strerror(wait->error));
    }
    return LockFile(disk, wait->fd);
}

// ---- names of our own beside the file ----------------------------------------------------

constexpr std::string_view kBackupInfix = ".unreadable-";
constexpr std::string_view kReplacedInfix = ".replaced-";
constexpr std::size_t kOldBackupSuffixLength = 6;  // "XXXXXX" of the mkstemp placeholders

// "<name><infix>" + 16 hex digits of the content's hash: one copy per content.
std::string backupNameFor(const std::string& target, std::string_view bytes,
                          std::string_view infix = kBackupInfix) {
    std::uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return target + std::string(infix) + hex;
}

// Leftovers of an interrupted save of `target`: its temporary files, the temporary files
// of its backups, and the empty backup placeholders that older versions made first.
bool isLeftoverOf(Disk& disk, int folder, std::string_view candidate, const std::string& target) {
    if (isAtomicTempNameOf(candidate, target)) return true;
    for (std::string_view copyInfix : {kBackupInfix, kReplacedInfix}) {
        const std::string copyPrefix = target + std::string(copyInfix);
        if (candidate.size() > copyPrefix.size() + 1 && candidate[0] == '.' &&
            candidate.substr(1, copyPrefix.size()) == copyPrefix) {
            std::size_t infix = candidate.rfind(kAtomicTempInfix);
            return infix != std::string_view::npos &&
                   isAtomicTempNameOf(candidate, candidate.substr(1, infix - 1));
        }
    }
    const std::string backupPrefix = target + std::string(kBackupInfix);
    if (candidate.size() == backupPrefix.size() + kOldBackupSuffixLength &&
        candidate.substr(0, backupPrefix.size()) == backupPrefix) {
        struct stat info {};
        return disk.statAt(folder, std::string(candidate), info) == 0 && S_ISREG(info.st_mode) &&
               info.st_size == 0;
    }
    return false;
}

// Only called under the lock, when no other locked writer can be between its temporary
// file and its rename.
// A folder that cannot be listed has no leftovers to remove (the save itself reports a
// folder it cannot use).
void removeLeftovers(Disk& disk, int folder, const std::string& target, std::string_view shownFolder) {
    for (const std::string& name : disk.list(folder))
        if (isLeftoverOf(disk, folder, name, target) && disk.removeAt(folder, name) == 0)
            log::write("removed " + std::string(shownFolder) + "/" + name +
                       ", left by an interrupted save");
}

// ---- reading -----------------------------------------------------------------------------

struct LoadedFile {
    enum class Status { Missing, Dictionary, Unparsable, Unreadable };
    Status status = Status::Missing;
    plist::Dictionary dictionary;
    WholeFile file;
    std::string reason;
    // Top-level keys whose text another program wrote in a form XML cannot carry; the
    // dictionary holds them repaired (U+FFFD).
    std::vector<std::string> repairedKeys;
};

// What this process last wrote to a file, kept for its next save there: a save re-reads the
// file under the lock, and when the bytes are exactly these, parsing them would give back
// `dictionary` (the writer said so), so the parse is skipped. Anything else on disk, from
// any writer, is parsed as usual.
struct LastWritten {
    std::string bytes;
    plist::Dictionary dictionary;
};

LoadedFile loadFile(std::string_view devicePath, LastWritten* lastWritten = nullptr) {
    const std::string shown = DeviceRoot::normalise(devicePath);
    LoadedFile loaded;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        loaded.file = readWholeFile(devicePath, plist::kMaxInputBytes);
        if (loaded.file.status != WholeFile::Status::Read || loaded.file.stable) break;
    }
    switch (loaded.file.status) {
        case WholeFile::Status::Missing: loaded.status = LoadedFile::Status::Missing; return loaded;
        case WholeFile::Status::Failed:
            loaded.status = LoadedFile::Status::Unreadable;
            loaded.reason = loaded.file.reason;
            return loaded;
        case WholeFile::Status::Read: break;
    }
    if (!loaded.file.stable) {
        loaded.status = LoadedFile::Status::Unreadable;
        loaded.reason = shown + " kept changing while it was read";
        return loaded;
    }
    if (lastWritten && lastWritten->bytes == loaded.file.bytes) {
        loaded.status = LoadedFile::Status::Dictionary;
        loaded.dictionary = std::move(lastWritten->dictionary);
        return loaded;
    }
    auto parsed = plist::parseLenient(loaded.file.bytes);
    if (!parsed) {
        loaded.status = LoadedFile::Status::Unparsable;
        loaded.reason = shown + " is not a property list: " + parsed.error();
    } else if (!parsed->value.isDictionary()) {
        loaded.status = LoadedFile::Status::Unparsable;
        loaded.reason = shown + " is a property list whose root is not a dictionary";
    } else {
        loaded.status = LoadedFile::Status::Dictionary;
        loaded.dictionary = std::move(parsed->value.dictionary());
        loaded.repairedKeys = std::move(parsed->repairedKeys);
    }
    return loaded;
}

// Every row of a page reads the file; one bad file is worth one line, not one per row.
// The same reason for the same unchanged file (inode, size, times) is logged once.
void logReadFailureOnce(const LoadedFile& loaded) {
    static std::mutex mutex;
    static std::string lastLine;
    const struct stat& id = loaded.file.identity;
    std::string line = loaded.reason + "|" + std::to_string(id.st_dev) + ":" +
                       std::to_string(id.st_ino) + ":" + std::to_string(id.st_size) + ":" +
                       std::to_string(id.st_mtim.tv_sec) + "." + std::to_string(id.st_mtim.tv_nsec) +
                       ":" + std::to_string(id.st_ctim.tv_nsec);
    std::lock_guard guard(mutex);
    if (line == lastLine) return;
    lastLine = std::move(line);
    log::write(loaded.reason);
}

std::optional<plist::Dictionary> dictionaryOrLog(LoadedFile& loaded) {
    if (loaded.status == LoadedFile::Status::Dictionary) return std::move(loaded.dictionary);
    if (loaded.status != LoadedFile::Status::Missing) logReadFailureOnce(loaded);
    return std::nullopt;
}

// ---- backups beside the file -------------------------------------------------------------

// Copies the bytes that were read (under the lock) beside the file, under a name made from
// their hash: a backup is written whole under a temporary name and renamed into place, and
// the same contents are never backed up twice. The original stays in place until the new
// contents replace it in one step.
struct CopyBeside {
    std::string name;
    bool madeNow = false;  // false: a copy of the same contents was already there
};

Result<CopyBeside> copyBeside(int folder, const std::string& target, std::string_view bytes,
                              std::string_view infix, std::string_view shownFolder) {
    CopyBeside copy{backupNameFor(target, bytes, infix)};
    const std::string shown = std::string(shownFolder) + "/" + copy.name;
    struct stat existing {};
    if (currentDisk().statAt(folder, copy.name, existing) == 0 && S_ISREG(existing.st_mode) &&
        static_cast<std::size_t>(existing.st_size) == bytes.size())
        return copy;
    auto copied = replaceFileAtomicallyAt(folder, copy.name, bytes, 0600, shown);
    if (!copied)
        return failAndLog("cannot keep a copy of the file: " + copied.error() + "; nothing was written");
    copy.madeNow = true;
    return copy;
}

Result<void> backUpUnparsable(int folder, const std::string& target, std::string_view shownFolder,
                              const LoadedFile& loaded) {
    auto copy = copyBeside(folder, target, loaded.file.bytes, kBackupInfix, shownFolder);
    if (!copy) return fail(copy.error());
    log::write(loaded.reason + "; its contents " +
               (copy->madeNow ? "were saved to " : "were already saved to ") + std::string(shownFolder) +
               "/" + copy->name + " before it was replaced");
    return {};
}

// Text XML cannot carry is refused where it comes in: a change that brings some is not
// saved. (What was already in the file was repaired when it was loaded.)
Result<std::string> serialise(const plist::Value& value, std::string_view shown,
                              bool* readsBackExactly = nullptr) {
    auto xml = plist::writeXmlChecked(value, readsBackExactly);
    if (!xml) return failAndLog("not saved to " + std::string(shown) + ": " + xml.error());
    return xml;
}

// Files this process saved, by host path. Each entry is taken out by the save that uses it
// (saves of one file are serialised by its lock) and put back only after a write that
// succeeded, so a failed or refused save leaves nothing stale behind.
class LastWrittenFiles {
public:
    std::optional<LastWritten> take(const std::string& hostPath) {
        std::lock_guard guard(mutex_);
        auto found = entries_.find(hostPath);
        if (found == entries_.end()) return std::nullopt;
        LastWritten taken = std::move(found->second);
        entries_.erase(found);
        return taken;
    }
    void keep(const std::string& hostPath, LastWritten written) {
        std::lock_guard guard(mutex_);
        if (entries_.size() >= kMaxFiles) entries_.clear();  // a few files are saved often
        entries_.insert_or_assign(hostPath, std::move(written));
    }

private:
    static constexpr std::size_t kMaxFiles = 4;
    std::mutex mutex_;
    std::map<std::string, LastWritten> entries_;
};

LastWrittenFiles& lastWrittenFiles() {
    static LastWrittenFiles files;
    return files;
}

Result<SaveOutcome> saveUnderLock(const jail::Parent& parent, std::string_view devicePath,
                                  WhenMissing whenMissing, const PlistChange& change) {
    const std::string shown = DeviceRoot::normalise(devicePath);
    const std::string shownFolder = str::stringByDeletingLastPathComponent(shown);
    removeLeftovers(currentDisk(), parent.folder.get(), parent.name, shownFolder);
    const std::string hostPath = DeviceRoot::resolve(devicePath).string();
    std::optional<LastWritten> lastWritten = lastWrittenFiles().take(hostPath);
    LoadedFile loaded = loadFile(devicePath, lastWritten ? &*lastWritten : nullptr);
    lastWritten.reset();
    switch (loaded.status) {
        case LoadedFile::Status::Unreadable: return failAndLog(loaded.reason + "; nothing was written");
        case LoadedFile::Status::Missing:
            if (whenMissing == WhenMissing::Skip) return SaveOutcome::Unchanged;
            break;
        case LoadedFile::Status::Unparsable:
            if (whenMissing == WhenMissing::Skip) {
                log::write(loaded.reason + "; left as it is");
                return SaveOutcome::Unchanged;
            }
            break;
        case LoadedFile::Status::Dictionary: break;
    }
    if (!change(loaded.dictionary)) return SaveOutcome::Unchanged;
    plist::Value changed(std::move(loaded.dictionary));
    bool readsBackExactly = false;
    auto xml = serialise(changed, shown, &readsBackExactly);
    if (!xml) return fail(xml.error());
    if (loaded.status == LoadedFile::Status::Unparsable) {
        if (auto backup = backUpUnparsable(parent.folder.get(), parent.name, shownFolder, loaded);
            !backup)
            return fail(backup.error());
    }
    for (const std::string& key : loaded.repairedKeys) {
        std::string line = shown;
        line += ": the value of \"";
        line += key;
        line += "\" held text XML cannot carry; it was saved with U+FFFD in its place";
        log::write(line);
    }
    auto written = replaceFileAtomicallyAt(parent.folder.get(), parent.name, *xml, 0644, shown);
    if (!written) return fail(written.error());
    if (readsBackExactly)
        lastWrittenFiles().keep(hostPath, LastWritten{std::move(*xml), std::move(changed.dictionary())});
    return *written == Durability::Synced ? SaveOutcome::Written : SaveOutcome::WrittenFolderNotSynced;
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

// The folder that holds the file, open, with the lock beside the file held.
struct Locked {
    jail::Parent parent;
    LockFile lock;
};

Result<Locked> openAndLock(const std::string& shown, std::chrono::milliseconds lockDeadline) {
    Disk& disk = currentDisk();
    auto parent = disk.openParent(shown);
    if (!parent) return failAndLog("cannot save " + shown + ": " + parent.error());
    auto lockFd = openLockFile(disk, parent->folder.get(), parent->name + ".lock", shown);
    if (!lockFd) return fail(lockFd.error());
    auto lock = waitForLock(disk, std::move(lockFd.value()), lockDeadline, shown);
    if (!lock) return fail(lock.error());
    return Locked{std::move(parent.value()), std::move(lock.value())};
}

Result<SaveOutcome> lockAndSave(std::string_view devicePath, WhenMissing whenMissing,
                                const PlistChange& change, std::chrono::milliseconds lockDeadline) {
    const std::string shown = DeviceRoot::normalise(devicePath);
    const std::string folder = str::stringByDeletingLastPathComponent(shown);
    if (whenMissing == WhenMissing::Create) {
        if (auto made = jail::createFolders(folder); !made)
            return failAndLog("cannot save " + shown + ": " + made.error());
    } else if (auto info = jail::stat(folder); !info || !S_ISDIR(info->st_mode)) {
        return SaveOutcome::Unchanged;  // no folder, so no file: nothing to change
    }
    auto locked = openAndLock(shown, lockDeadline);
    if (!locked) return fail(locked.error());
    return saveUnderLock(locked->parent, shown, whenMissing, change);
}

}  // namespace

Result<std::optional<std::filesystem::path>> replacePlistFile(std::string_view devicePath,
                                                              plist::Dictionary contents,
                                                              std::chrono::milliseconds lockDeadline) {
    const std::string shown = DeviceRoot::normalise(devicePath);
    const std::string folder = str::stringByDeletingLastPathComponent(shown);
    auto xml = serialise(plist::Value(std::move(contents)), shown);
    if (!xml) return fail(xml.error());
    if (auto made = jail::createFolders(folder); !made)
        return failAndLog("cannot save " + shown + ": " + made.error());
    auto locked = openAndLock(shown, lockDeadline);
    if (!locked) return fail(locked.error());
    const int folderFd = locked->parent.folder.get();
    removeLeftovers(currentDisk(), folderFd, locked->parent.name, folder);
    LoadedFile loaded = loadFile(shown);
    if (loaded.status == LoadedFile::Status::Unreadable)
        return failAndLog(loaded.reason + "; nothing was written");
    std::optional<CopyBeside> copy;
    if (loaded.status != LoadedFile::Status::Missing) {
        auto copied = copyBeside(folderFd, locked->parent.name, loaded.file.bytes, kReplacedInfix,
                                 folder);
        if (!copied) return fail(copied.error());
        copy = std::move(copied.value());
    }
    auto written = replaceFileAtomicallyAt(folderFd, locked->parent.name, *xml, 0644, shown);
    if (!written) {
        if (copy && copy->madeNow)
            currentDisk().removeAt(folderFd, copy->name);  // ignored: the old file is in place
        return fail(written.error());
    }
    if (!copy) return std::optional<std::filesystem::path>();
    std::filesystem::path kept = DeviceRoot::resolve(folder) / copy->name;
    log::write("replaced " + shown + "; the old file was kept as " + kept.string());
    return std::optional<std::filesystem::path>(kept);
}

Result<SaveOutcome> updatePlistFile(std::string_view devicePath, WhenMissing whenMissing,
                                    const PlistChange& change, std::chrono::milliseconds lockDeadline) {
    auto saved = lockAndSave(devicePath, whenMissing, change, lockDeadline);
    if (!saved)
        SaveWatch::note(saved.error());
    else if (*saved == SaveOutcome::WrittenFolderNotSynced)
        SaveWatch::note(std::string(kNotSyncedReason));
    return saved;
}

std::optional<plist::Dictionary> readPlistDictionary(std::string_view devicePath) {
    LoadedFile loaded = loadFile(devicePath);
    return dictionaryOrLog(loaded);
}

Result<plist::Dictionary> loadPlistDictionary(std::string_view devicePath) {
    LoadedFile loaded = loadFile(devicePath);
    if (loaded.status == LoadedFile::Status::Missing) return plist::Dictionary{};
    if (loaded.status == LoadedFile::Status::Dictionary) return std::move(loaded.dictionary);
    return failAndLog(loaded.reason);
}

std::shared_ptr<const plist::Dictionary> readPlistDictionaryCached(std::string_view devicePath) {
    const std::string hostPath = DeviceRoot::resolve(devicePath).string();
    Cache& shared = cache();
    if (auto info = jail::stat(devicePath); info) {
        std::lock_guard guard(shared.mutex);
        auto found = shared.entries.find(hostPath);
        if (found != shared.entries.end() && found->second.key == CacheKey::of(*info))
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
    LoadedFile loaded = loadFile(devicePath);
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
