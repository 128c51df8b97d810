#pragma once
// The one way to change a property-list file that other processes read (the preferences
// file, any "<domain>.plist"): lock, re-read, apply only the caller's change, write a
// temporary file, sync, rename, sync the folder, unlock. And the two ways to read one:
// a fresh parse, and a cache that gives exactly what a fresh parse would.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx {

// What a save does when the file is not there. Pages whose rule is "no file, no write"
// skip; the generic row setter creates. An unparsable file counts as not there for Skip
// (nothing is replaced, so nothing needs a backup).
enum class WhenMissing { Skip, Create };

// WrittenFolderNotSynced: the new contents are in place (readers see them, notify them),
// but the folder could not be synced, so the change may not survive a power loss; front
// ends report it as a failure.
enum class SaveOutcome { Written, Unchanged, WrittenFolderNotSynced };

inline constexpr std::string_view kNotSyncedReason =
    "saved, but the folder could not be synced: the change may not survive a power loss";

// Changes the dictionary in place; returns false to leave the file as it is.
using PlistChange = std::function<bool(plist::Dictionary&)>;

// Long enough for the largest save (a file at the size limit, synced on a slow disk): a
// writer waits while another is busy and fails only when a holder is stuck.
inline constexpr std::chrono::milliseconds kSaveLockDeadline{15000};

// The write protocol. The change runs under the lock on what is on disk now, so two
// processes saving different keys never lose each other's. A file that exists but does not
// parse, or whose root is not a dictionary, is copied aside to "<name>.unreadable-<hash of
// its contents>" (logged; once per distinct content) before it is replaced. Text XML cannot
// carry that the change brings is refused (nothing written); such text that another program
// wrote into the file is read as U+FFFD and saved so, with one log line per key. The
// replaced file keeps its mode, owner and group. Everything resolves inside the device
// root. On any failure the old file is byte-identical, no temporary file is left, and the
// reason is logged and returned; leftovers of an interrupted save are removed by the next.
Result<SaveOutcome> updatePlistFile(std::string_view devicePath, WhenMissing whenMissing,
                                    const PlistChange& change,
                                    std::chrono::milliseconds lockDeadline = kSaveLockDeadline);

// Replaces the whole file with `contents` under the same protocol, first copying the file
// it replaces, whatever it holds, to "<name>.replaced-<hash of its contents>" beside it
// (written whole under a temporary name, logged). Returns
// the backup's host path, or nothing when there was no file. On failure the old file is
// byte-identical and no backup is left.
Result<std::optional<std::filesystem::path>> replacePlistFile(
    std::string_view devicePath, plist::Dictionary contents,
    std::chrono::milliseconds lockDeadline = kSaveLockDeadline);

// A fresh parse (text XML cannot carry reads as U+FFFD): nothing when the file is missing (silently) or
// cannot be read, does not parse, or is not a dictionary (each logged).
std::optional<plist::Dictionary> readPlistDictionary(std::string_view devicePath);

// The same fresh parse for a front end that reports why: a missing file is an empty
// dictionary; anything else that gives no dictionary is the failure (logged).
Result<plist::Dictionary> loadPlistDictionary(std::string_view devicePath);

// The same answer as readPlistDictionary, without parsing again while the file is
// unchanged. Null when readPlistDictionary would give nothing.
//
// Why it is exact: an entry is keyed by (device, inode, size, mtime and ctime in
// nanoseconds), taken with fstat on the descriptor that was read and checked again after
// reading. The kernel sets ctime to the current time on every change of an inode (content,
// rename into place, utimes), and nobody can set it by hand. An entry is kept only when its
// ctime lies kCacheSettleTime or more before the moment it was read, so any later change
// to that inode, or any file that later takes its place (even one that reuses the inode
// number), has a ctime at or after that moment and therefore a different key. Files
// changed more recently than that are parsed afresh on every read.
std::shared_ptr<const plist::Dictionary> readPlistDictionaryCached(std::string_view devicePath);

// Longer than any file system timestamp granularity and clock-tick lag we run on.
inline constexpr std::chrono::milliseconds kCacheSettleTime{2000};

// Statistics for tests and benchmarks: how many cached reads parsed the file.
std::size_t plistCacheParseCount();
void clearPlistCache();
// Tests move the clock that "settled" is judged by; nullptr restores the real clock.
void setPlistCacheClockForTesting(std::function<timespec()> clock);

}  // namespace vx
