// Saves by real processes: two writers at once, and writers killed at random moments of a
// save. The call order that makes this hold is pinned by the recording-disk tests; these
// check the outcome on a real file system.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "platform/foundation/device_root.h"
#include "platform/foundation/preferences_store.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFile = "/var/mobile/Library/Preferences/test.domain.plist";

PlistChange setKey(std::string key, plist::Value value) {
    return [key = std::move(key), value = std::move(value)](plist::Dictionary& dict) {
        dict.set(key, value);
        return true;
    };
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A device root on tmpfs when there is one: the many-save tests check locking and
// atomicity, not the disk, and real syncs would make them take minutes.
class FastDeviceRoot {
public:
    FastDeviceRoot() : previous_(DeviceRoot::current()) {
        std::string pattern = fs::is_directory("/dev/shm")
                                  ? "/dev/shm/vx-prefs-XXXXXX"
                                  : (fs::temp_directory_path() / "vx-prefs-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        DeviceRoot::setCurrent(path_);
    }
    ~FastDeviceRoot() {
        DeviceRoot::setCurrent(previous_);
        std::error_code ignored;  // ignored: best-effort clean-up of a test folder
        fs::remove_all(path_, ignored);
    }
    fs::path host(std::string_view devicePath) const { return DeviceRoot::resolveIn(path_, devicePath); }

private:
    fs::path path_;
    fs::path previous_;
};

TEST(PreferencesStore, TwoProcessesSavingAtOnceLoseNothing) {
    FastDeviceRoot root;
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
    FastDeviceRoot root;
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
    EXPECT_EQ(namesIn(root.host(kFile).parent_path()),
              (std::vector<std::string>{"test.domain.plist", "test.domain.plist.lock"}));
}

// A saver that keeps spoiling the file and saving over it (so every save backs up), killed:
// every backup left is whole (named by the hash of what it holds, so whole means one of the
// spoiled versions, complete), and the next save leaves no temporary file or placeholder.
TEST(PreferencesStore, SaverKilledWhileBackingUpLeavesOnlyWholeBackups) {
    FastDeviceRoot root;
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
