// The write protocol and the two readers of property-list files that other processes read.
#include "platform/foundation/preferences_store.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <regex>

#include "platform/foundation/log.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "support/recording_disk.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using test::ScopedDeviceRoot;

constexpr std::string_view kFolder = "/var/mobile/Library/Preferences";
constexpr std::string_view kFile = "/var/mobile/Library/Preferences/test.domain.plist";

PlistChange setKey(std::string key, plist::Value value) {
    return [key = std::move(key), value = std::move(value)](plist::Dictionary& dict) {
        dict.set(key, value);
        return true;
    };
}

std::string xmlOf(const plist::Dictionary& dict) { return plist::writeXml(plist::Value(dict)); }

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string> kJustTheFile = {"test.domain.plist", "test.domain.plist.lock"};

// Only a caller that asks creates the file; a save keeps the other keys and the file's mode,
// removes what an interrupted save of this file left (and nothing of other files), and a
// declined change writes nothing.
TEST(PreferencesStore, SaveCreatesOnlyWhenAskedAndKeepsWhatItDoesNotChange) {
    ScopedDeviceRoot root;
    const fs::path host = root.host(kFile);
    for (bool folderThere : {false, true}) {  // the folder is looked at first, then the file
        if (folderThere) root.makeFolder(kFolder);
        auto skipped = updatePlistFile(kFile, WhenMissing::Skip, setKey("a", 1));
        ASSERT_TRUE(skipped.ok());
        EXPECT_EQ(*skipped, SaveOutcome::Unchanged);
        EXPECT_FALSE(fs::exists(host));
    }
    auto created = updatePlistFile(kFile, WhenMissing::Create, setKey("a", 1));
    ASSERT_TRUE(created.ok()) << created.error();
    EXPECT_EQ(*created, SaveOutcome::Written);
    EXPECT_EQ(namesIn(host.parent_path()), kJustTheFile);

    ::chmod(host.c_str(), 0640);
    test::writeHostFile(host.parent_path() / ".test.domain.plist.saving-AbC123", "half a fi");
    test::writeHostFile(host.parent_path() / ".other.plist.saving-AbC123", "someone else's");
    // An interrupted backup's temporary file, and the empty placeholder older versions made.
    test::writeHostFile(
        host.parent_path() / ".test.domain.plist.unreadable-0123456789abcdef.saving-AbC123", "x");
    test::writeHostFile(host.parent_path() / "test.domain.plist.unreadable-AbC123", "");
    const plist::Value list(plist::Array{plist::Dictionary{{"name", "A"}}});
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Skip, setKey("list", list)).ok());
    EXPECT_EQ(readPlistDictionary(kFile), (plist::Dictionary{{"a", 1}, {"list", list}}));
    struct stat info {};
    ::stat(host.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(namesIn(host.parent_path()),
              (std::vector<std::string>{".other.plist.saving-AbC123", "test.domain.plist",
                                        "test.domain.plist.lock"}));

    const std::string before = root.readFile(kFile);
    auto declined = updatePlistFile(kFile, WhenMissing::Skip, [](plist::Dictionary& dict) {
        dict.set("ignored", 1);
        return false;
    });
    ASSERT_TRUE(declined.ok());
    EXPECT_EQ(*declined, SaveOutcome::Unchanged);
    EXPECT_EQ(root.readFile(kFile), before);
}

std::vector<fs::path> backupsIn(const fs::path& folder) {
    std::vector<fs::path> backups;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".unreadable-") != std::string::npos)
            backups.push_back(entry.path());
    std::sort(backups.begin(), backups.end());
    return backups;
}

TEST(PreferencesStore, UnparsableFileIsBackedUpOncePerContentBeforeItIsReplaced) {
    const std::string truncated = "<?xml version=\"1.0\"?><plist><dict><key>a</key>";
    for (const std::string& bad :
         {truncated, plist::writeXml(plist::Value(plist::Array{1, 2})), std::string()}) {
        ScopedDeviceRoot root;
        const fs::path folder = root.host(kFile).parent_path();
        root.writeFile(kFile, bad);
        log::Capture capture;

        EXPECT_FALSE(readPlistDictionary(kFile).has_value());
        EXPECT_FALSE(readPlistDictionary(kFile).has_value());
        EXPECT_EQ(capture.lines().size(), 1u) << "one line for one bad file, however often it is read";
        // A page that never creates the file leaves an unreadable one alone.
        ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Skip, setKey("x", 1)).ok());
        EXPECT_EQ(root.readFile(kFile), bad);

        ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Create, setKey("x", 1)).ok());
        EXPECT_EQ(readPlistDictionary(kFile), (plist::Dictionary{{"x", 1}}));
        auto backups = backupsIn(folder);
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(test::readHostFile(backups[0]), bad);
        EXPECT_TRUE(capture.contains(backups[0].filename().string()));

        // The same contents again make no second backup; other contents make one more.
        root.writeFile(kFile, bad);
        ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Create, setKey("x", 2)).ok());
        EXPECT_EQ(backupsIn(folder).size(), 1u);
        EXPECT_TRUE(capture.contains("were already saved to"));
        root.writeFile(kFile, bad + "more");
        ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Create, setKey("x", 3)).ok());
        EXPECT_EQ(backupsIn(folder).size(), 2u);
    }
}

// Text XML cannot carry: what another program wrote stays readable and is saved as U+FFFD
// with a line naming the key; what a change brings is refused and nothing is written.
TEST(PreferencesStore, TextXmlCannotCarryIsRepairedFromTheFileAndRefusedFromAChange) {
    ScopedDeviceRoot root;
    root.writeFile(kFile,
                   "<plist><dict><key>bad</key><string>caf\xE9 a\x01"
                   "b</string>"
                   "<key>list</key><array><string>&#x1;</string></array>"
                   "<key>good</key><integer>7</integer></dict></plist>");
    auto read = readPlistDictionary(kFile);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read->find("bad"), plist::Value("caf\uFFFD a\uFFFDb"));
    EXPECT_EQ(*read->find("good"), plist::Value(7));

    log::Capture capture;
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Skip, setKey("other", 1)).ok());
    EXPECT_TRUE(capture.contains("\"bad\" held text XML cannot carry"));
    EXPECT_TRUE(capture.contains("\"list\" held text XML cannot carry"));
    EXPECT_FALSE(capture.contains("\"good\""));
    const std::string saved = root.readFile(kFile);
    ASSERT_TRUE(plist::parseXml(saved).ok()) << saved;  // strict: valid UTF-8 throughout
    EXPECT_EQ(saved.find('\x01'), std::string::npos);

    for (const plist::Value& bad : {plist::Value(std::string("x\0y", 3)), plist::Value("\xEF\xBF\xBE"),
                                    plist::Value(plist::Dictionary{{"inner", "caf\xE9"}})}) {
        auto refused = updatePlistFile(kFile, WhenMissing::Skip, setKey("new", bad));
        EXPECT_FALSE(refused.ok());
        EXPECT_NE(refused.error().find("not saved"), std::string::npos) << refused.error();
        EXPECT_EQ(root.readFile(kFile), saved);
    }
    EXPECT_FALSE(updatePlistFile(kFile, WhenMissing::Skip, setKey("k\x02", 1)).ok());
}

TEST(PreferencesStore, ReplacedFileKeepsItsOwnersAndANewLockTakesTheFolders) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can save a file that belongs to someone else";
    constexpr uid_t kUser = 4242;
    constexpr gid_t kGroup = 4343;
    ScopedDeviceRoot root;
    root.writeFile(kFile, xmlOf({{"a", 1}}));
    const fs::path host = root.host(kFile);
    ASSERT_EQ(::chown(host.parent_path().c_str(), kUser, kGroup), 0);
    ASSERT_EQ(::chown(host.c_str(), kUser, kGroup), 0);
    ASSERT_EQ(::chmod(host.c_str(), 0640), 0);
    constexpr std::string_view kNewFile = "/var/mobile/Library/Preferences/new.domain.plist";
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Skip, setKey("b", 2)).ok());
    ASSERT_TRUE(updatePlistFile(kNewFile, WhenMissing::Create, setKey("c", 3)).ok());
    for (const fs::path& path : {host, fs::path(host.string() + ".lock"), root.host(kNewFile),
                                 fs::path(root.host(kNewFile).string() + ".lock")}) {
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, kUser) << path;
        EXPECT_EQ(info.st_gid, kGroup) << path;
    }
    struct stat info {};
    ::stat(host.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(PreferencesStore, WholeReplacementKeepsWhatItReplacedBesideIt) {
    ScopedDeviceRoot root;
    auto first = replacePlistFile(kFile, plist::Dictionary{{"a", 1}});
    ASSERT_TRUE(first.ok()) << first.error();
    EXPECT_FALSE(first->has_value());  // nothing was there to keep
    for (const std::string& old : {root.readFile(kFile), std::string("not a plist")}) {
        root.writeFile(kFile, old);
        auto replaced = replacePlistFile(kFile, plist::Dictionary{{"b", 2}});
        ASSERT_TRUE(replaced.ok() && replaced->has_value());
        EXPECT_EQ(test::readHostFile(**replaced), old);
        EXPECT_EQ(readPlistDictionary(kFile), (plist::Dictionary{{"b", 2}}));
    }
}

TEST(PreferencesStore, FailuresLeaveTheFileAsItWasAndSayWhy) {
    ScopedDeviceRoot root;
    root.writeFile(kFile, xmlOf({{"a", 1}}));
    const std::string before = root.readFile(kFile);
    log::Capture capture;

    // Another process holds the lock past the deadline, even a shared one: saves exclude
    // each other (a save that took a shared lock would go ahead here).
    int holder = ::open((root.host(kFile).string() + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(holder, LOCK_SH), 0);
    auto locked = updatePlistFile(kFile, WhenMissing::Create, setKey("b", 2),
                                  std::chrono::milliseconds(20));
    EXPECT_FALSE(locked.ok());
    EXPECT_NE(locked.error().find("lock"), std::string::npos);
    ::close(holder);
    EXPECT_EQ(root.readFile(kFile), before);

    // A folder where the file should be; a file where its folder should be.
    root.makeFolder("/var/mobile/Library/Preferences/folder.plist");
    for (std::string_view path : {"/var/mobile/Library/Preferences/folder.plist",
                                  "/var/mobile/Library/Preferences/test.domain.plist/x.plist"})
        EXPECT_FALSE(updatePlistFile(path, WhenMissing::Create, setKey("b", 2)).ok()) << path;

    EXPECT_FALSE(capture.lines().empty());
}

// ---- the protocol's calls, on a recording disk -------------------------------------------

// The calls in order, a run of the same call shown once, temporary files shown as "temp"
// and the hash in a backup's name as "*".
std::vector<std::string> callsOf(const test::RecordingDisk& disk) {
    static const std::regex temporary(R"([^ ]*\.saving-[A-Za-z0-9]{6})"),
        hash(R"((replaced|unreadable)-[0-9a-f]{16})");
    std::vector<std::string> calls;
    for (const std::string& call : disk.calls()) {
        std::string shown = std::regex_replace(std::regex_replace(call, temporary, "temp"), hash,
                                               "$1-*");
        if (calls.empty() || calls.back() != shown) calls.push_back(shown);
    }
    return calls;
}

TEST(PreferencesStore, SavesWriteSyncAndRenameUnderTheLockThenSyncTheFolder) {
    // Lock, read, [keep the old file beside it,] write the new one, unlock; each file is
    // written whole under a temporary name, synced, renamed into place, and its folder synced.
    auto calls = [](std::vector<std::string> targets) {
        std::vector<std::string> all = {"create test.domain.plist.lock", "lock test.domain.plist.lock",
                                        "open test.domain.plist", "read test.domain.plist"};
        for (const std::string& target : targets)
            all.insert(all.end(), {"create temp", "write temp", "sync temp", "close temp",
                                   "rename temp " + target, "sync " + std::string(kFolder)});
        all.insert(all.end(), {"unlock test.domain.plist.lock", "close test.domain.plist.lock"});
        return all;
    };
    const plist::Dictionary ab{{"a", 1}, {"b", 2}};
    const struct {
        const char* name;
        std::string before;
        std::function<bool()> save;
        std::vector<std::string> calls;
        plist::Dictionary after;
    } cases[] = {
        {"update", xmlOf({{"a", 1}}),
         [] { return updatePlistFile(kFile, WhenMissing::Skip, setKey("b", 2)).ok(); },
         calls({"test.domain.plist"}), ab},
        {"replace", xmlOf({{"a", 1}}), [&] { return replacePlistFile(kFile, ab).ok(); },
         calls({"test.domain.plist.replaced-*", "test.domain.plist"}), ab},
        {"update over an unparsable file",
         "garbage",
         [] { return updatePlistFile(kFile, WhenMissing::Create, setKey("b", 2)).ok(); },
         calls({"test.domain.plist.unreadable-*", "test.domain.plist"}),
         {{"b", 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedDeviceRoot root;
        root.makeFolder(kFolder);
        test::RecordingDisk disk;
        disk.putFile(std::string(kFile), c.before);
        log::Capture quiet;
        ASSERT_TRUE(c.save());
        EXPECT_EQ(callsOf(disk), c.calls);
        EXPECT_EQ(*plist::parse(*disk.file(std::string(kFile))), plist::Value(c.after));
    }
}

// Another program writes the file in place while a save reads it: the save reads again
// and keeps what the other wrote, or, when the file never holds still, writes nothing.
TEST(PreferencesStore, FileThatChangesWhileItIsReadIsReadAgain) {
    const std::string other = xmlOf({{"a", 1}, {"other", 2}});
    for (int changes : {1, 1000}) {
        ScopedDeviceRoot root;
        root.makeFolder(kFolder);
        test::RecordingDisk disk;
        disk.putFile(std::string(kFile), xmlOf({{"a", 1}}));
        int left = changes;
        disk.afterRead = [&](const std::string& path) {
            if (left-- > 0) disk.putFile(path, other);
        };
        log::Capture capture;
        auto saved = updatePlistFile(kFile, WhenMissing::Skip, setKey("b", 2));
        if (changes == 1) {
            ASSERT_TRUE(saved.ok()) << saved.error();
            EXPECT_EQ(*plist::parse(*disk.file(std::string(kFile))),
                      plist::Value(plist::Dictionary{{"a", 1}, {"other", 2}, {"b", 2}}));
        } else {
            ASSERT_FALSE(saved.ok());
            EXPECT_NE(saved.error().find("kept changing"), std::string::npos) << saved.error();
            EXPECT_EQ(disk.file(std::string(kFile)), other);
        }
        // The plain reader (Options.plist, specifier files) reads again in the same way.
        disk.putFile(std::string(kFile), xmlOf({{"a", 1}}));
        left = changes;
        auto read = plist::readFile(kFile);
        if (changes == 1)
            EXPECT_EQ(read.value(), plist::Value(plist::Dictionary{{"a", 1}, {"other", 2}}));
        else
            EXPECT_NE(read.error().find("kept changing"), std::string::npos) << read.error();
    }
}

// A failed call leaves the old file and no temporary file; a failed sync is not retried.
// Only the folder's sync comes after the rename: the new contents stay, reported as such.
TEST(PreferencesStore, FailedCallLeavesTheFileAsItWas) {
    struct Case {
        const char* operation;
        int nth;
        int error;
    } cases[] = {{"open", 1, EACCES}, {"create", 2, EMFILE}, {"write", 1, ENOSPC}, {"sync", 1, EIO},
                 {"close", 1, EIO},   {"rename", 1, EXDEV},  {"sync", 2, EIO}};
    for (const Case& c : cases) {
        const std::string name = std::string(c.operation) + " #" + std::to_string(c.nth);
        ScopedDeviceRoot root;
        root.makeFolder(kFolder);
        test::RecordingDisk disk;
        const std::string before = xmlOf({{"a", 1}});
        disk.putFile(std::string(kFile), before);
        disk.failCall(c.operation, c.nth, c.error);
        log::Capture capture;
        auto saved = updatePlistFile(kFile, WhenMissing::Skip, setKey("b", 2));
        const auto calls = callsOf(disk);
        EXPECT_LE(std::count(calls.begin(), calls.end(), "sync temp"), 1) << name;
        EXPECT_EQ(disk.namesIn(std::string(kFolder)), kJustTheFile) << name;
        if (c.nth == 2 && std::string(c.operation) == "sync") {
            ASSERT_TRUE(saved.ok()) << saved.error();
            EXPECT_EQ(*saved, SaveOutcome::WrittenFolderNotSynced);
            continue;
        }
        EXPECT_FALSE(saved.ok()) << name;
        EXPECT_NE(saved.error().find(std::strerror(c.error)), std::string::npos) << saved.error();
        EXPECT_EQ(disk.file(std::string(kFile)), before) << name;
    }
}

TEST(PreferencesStore, CachedReadIsAFreshReadWhateverChanges) {
    ScopedDeviceRoot root;
    clearPlistCache();
    EXPECT_EQ(readPlistDictionaryCached(kFile), nullptr);
    root.writeFile(kFile, xmlOf({{"a", 1}}));
    auto first = readPlistDictionaryCached(kFile);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, (plist::Dictionary{{"a", 1}}));

    // Just written: not yet settled, so every read parses.
    std::size_t parses = plistCacheParseCount();
    (void)readPlistDictionaryCached(kFile);
    EXPECT_EQ(plistCacheParseCount(), parses + 1);

    // Let the file settle by dating its change back; ctime cannot be set by hand, so back-
    // date through the clock the cache compares with.
    setPlistCacheClockForTesting([] {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        now.tv_sec += 10;
        return now;
    });
    (void)readPlistDictionaryCached(kFile);
    parses = plistCacheParseCount();
    EXPECT_EQ(*readPlistDictionaryCached(kFile), (plist::Dictionary{{"a", 1}}));
    EXPECT_EQ(plistCacheParseCount(), parses) << "a settled, unchanged file is not parsed again";

    // Rewritten in place, same size, old mtime restored: only ctime tells, and it does.
    struct stat info {};
    ::stat(root.host(kFile).c_str(), &info);
    std::string same = xmlOf({{"a", 2}});
    ASSERT_EQ(same.size(), static_cast<std::size_t>(info.st_size));
    test::writeHostFile(root.host(kFile), same);
    timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(AT_FDCWD, root.host(kFile).c_str(), times, 0);
    EXPECT_EQ(*readPlistDictionaryCached(kFile), (plist::Dictionary{{"a", 2}}));

    // Replaced through the protocol, then removed, then unparsable.
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Skip, setKey("b", 3)).ok());
    EXPECT_EQ(*readPlistDictionaryCached(kFile), *readPlistDictionary(kFile));
    fs::remove(root.host(kFile));
    EXPECT_EQ(readPlistDictionaryCached(kFile), nullptr);
    root.writeFile(kFile, "garbage");
    EXPECT_EQ(readPlistDictionaryCached(kFile), nullptr);
    setPlistCacheClockForTesting(nullptr);
}

// Saves by real processes: the recording-disk tests pin the call order; these check the
// outcome on a real file system, with two writers at once and writers killed mid-save.
TEST(PreferencesStore, TwoProcessesSavingAtOnceLoseNothing) {
    ScopedDeviceRoot root(test::Storage::Memory);
    constexpr int kSaves = 1000;
    std::vector<pid_t> children;
    for (char prefix : {'a', 'b'}) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < kSaves; ++i)
                if (!updatePlistFile(kFile, WhenMissing::Create,
                                     setKey(std::string(1, prefix) + std::to_string(i), i)))
                    ::_exit(1);
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto saved = readPlistDictionary(kFile);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->size(), 2u * kSaves);
    for (int i = 0; i < kSaves; ++i) {
        for (const char* prefix : {"a", "b"}) {
            const plist::Value* value = saved->find(prefix + std::to_string(i));
            EXPECT_TRUE(value && *value == plist::Value(i)) << prefix << i;
        }
    }
}

// Starts a child that runs `saver(kill, tellReady)` for ever, waits until it says it is
// under way, and kills it after a random amount of work, which lands the signal anywhere
// in a save; `afterKill(kill)` then checks what it left. 200 times.
void killSaversAtRandomMoments(unsigned seed,
                               const std::function<void(int, const std::function<void()>&)>& saver,
                               const std::function<void(int)>& afterKill) {
    std::mt19937 random(seed);
    for (int kill = 0; kill < 200; ++kill) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            bool told = false;
            saver(kill, [&] {
                if (!told) told = ::write(ready[1], "r", 1) == 1;
            });
            ::_exit(0);
        }
        ::close(ready[1]);
        char byte;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        volatile unsigned spin = 0;
        for (unsigned i = random() % 1000000; i > 0; --i) spin = spin + 1;
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        afterKill(kill);
    }
}

// A saver of a growing counter, killed: the file parses as one whole version, and the next
// save leaves no temporary file.
TEST(PreferencesStore, SaverKilledAtRandomMomentsLeavesAWholeVersion) {
    ScopedDeviceRoot root(test::Storage::Memory);
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Create, setKey("counter", 0)).ok());
    int lastSeen = 0;
    auto save = [](int, const std::function<void()>& tellReady) {
        for (;;) {
            (void)updatePlistFile(kFile, WhenMissing::Create, [](plist::Dictionary& dict) {
                const plist::Value* counter = dict.find("counter");
                std::int64_t next = counter ? counter->intValue() + 1 : 1;
                dict.set("counter", next);
                // Padding that grows with the counter, so that a torn file shows.
                dict.set("padding", std::string(static_cast<std::size_t>(next % 5000), 'x'));
                return true;
            });
            tellReady();
        }
    };
    killSaversAtRandomMoments(20240611, save, [&](int kill) {
        auto saved = readPlistDictionary(kFile);
        ASSERT_TRUE(saved) << "after kill " << kill;
        int counter = static_cast<int>(saved->find("counter")->intValue());
        EXPECT_GE(counter, lastSeen);
        if (counter > 0) {
            EXPECT_EQ(saved->find("padding")->string().size(), static_cast<std::size_t>(counter % 5000));
        }
        lastSeen = counter;
    });
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Skip, setKey("done", true)).ok());
    EXPECT_EQ(namesIn(root.host(kFile).parent_path()), kJustTheFile);
}

// A saver that keeps spoiling the file and saving over it (so every save backs up), killed:
// every backup left is whole (named by the hash of what it holds, so whole means one of the
// spoiled versions, complete), and the next save leaves no temporary file or placeholder.
TEST(PreferencesStore, SaverKilledWhileBackingUpLeavesOnlyWholeBackups) {
    ScopedDeviceRoot root(test::Storage::Memory);
    const fs::path host = root.host(kFile);
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Create, setKey("counter", 0)).ok());
    constexpr std::size_t kSpoiledSize = 20000;
    auto spoiled = [](int kill, int round) {
        std::string text = "<plist><dict><key>" + std::to_string(kill) + "-" + std::to_string(round) +
                           "</key>";
        text.resize(kSpoiledSize, 'x');
        return text;
    };
    auto save = [&](int kill, const std::function<void()>& tellReady) {
        for (int round = 0;; ++round) {
            test::writeHostFile(host, spoiled(kill, round));
            (void)updatePlistFile(kFile, WhenMissing::Create, setKey("counter", round));
            tellReady();
        }
    };
    killSaversAtRandomMoments(20240612, save, [](int) {});
    test::writeHostFile(host, spoiled(-1, 0));  // a kill may have cut the child's own spoiling short
    ASSERT_TRUE(updatePlistFile(kFile, WhenMissing::Create, setKey("done", true)).ok());
    std::size_t backups = 0;
    for (const std::string& name : namesIn(host.parent_path())) {
        if (name == "test.domain.plist" || name == "test.domain.plist.lock") continue;
        ASSERT_EQ(name.rfind("test.domain.plist.unreadable-", 0), 0u) << "left over: " << name;
        EXPECT_EQ(test::readHostFile(host.parent_path() / name).size(), kSpoiledSize) << name;
        ++backups;
    }
    EXPECT_GE(backups, 200u);
}

}  // namespace
}  // namespace vx
