#include "platform/foundation/files.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "platform/foundation/log.h"
#include "support/temp_dir.h"

namespace vx::files {
namespace {

namespace fs = std::filesystem;
using test::ScopedDeviceRoot;

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::size_t openDescriptors() {
    auto count = std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    return static_cast<std::size_t>(count);
}

constexpr const char* kLevel = "level-of-folder";  // 16 bytes a level with its "/"

// Makes, or removes, a chain of `depth` folders named kLevel below `top`, with *at calls so
// that paths longer than PATH_MAX are never needed. Removal walks down, then climbs with
// ".." removing each level.
void deepChain(const fs::path& top, int depth, bool make) {
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < depth; ++i) {
        if (make && ::mkdirat(fd, kLevel, 0755) != 0) throw std::runtime_error("mkdirat");
        int child = ::openat(fd, kLevel, O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = child;
    }
    for (int i = 0; i < (make ? 0 : depth); ++i) {
        int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = parent;
        ::unlinkat(fd, kLevel, AT_REMOVEDIR);
    }
    ::close(fd);
}

TEST(Files, ExistenceFollowsLinks) {
    ScopedDeviceRoot root;
    root.writeFile("/Library/Themes/A.theme/Info.plist", "x");
    fs::create_symlink("A.theme", root.host("/Library/Themes/Link"));
    fs::create_symlink("missing", root.host("/Library/Themes/Broken"));
    EXPECT_TRUE(fileExistsAtPath("/Library/Themes/A.theme/Info.plist"));
    EXPECT_TRUE(fileExistsAtPath("/Library/Themes/Link"));
    EXPECT_TRUE(isDirectory("/Library/Themes/Link"));
    EXPECT_FALSE(fileExistsAtPath("/Library/Themes/Broken"));
    EXPECT_FALSE(fileExistsAtPath("/Library/Themes/none"));
    EXPECT_FALSE(isDirectory("/Library/Themes/A.theme/Info.plist"));
}

TEST(Files, ListsDirectEntriesOnly) {
    ScopedDeviceRoot root;
    root.writeFile("/f/a", "");
    root.writeFile("/f/sub/b", "");
    root.writeFile("/f/with space \"quoted\"\nline", "");
    root.writeFile(std::string("/f/latin\xe9"), "");
    EXPECT_EQ(sorted(contentsOfDirectoryAtPath("/f")),
              (std::vector<std::string>{"a", "latin\xe9", "sub", "with space \"quoted\"\nline"}));
    log::Capture capture;
    EXPECT_TRUE(contentsOfDirectoryAtPath("/missing").empty());
    EXPECT_TRUE(contentsOfDirectoryAtPath("/f/a").empty());
    EXPECT_FALSE(listDirectory("/missing").ok());
    EXPECT_TRUE(capture.lines().empty());  // a missing folder is not worth a log line
}

TEST(Files, SubpathsArePreOrderAndFollowNoLinkBelowTheTop) {
    ScopedDeviceRoot root;
    root.writeFile("/t/b/x", "");
    root.writeFile("/t/a", "");
    root.makeFolder("/t/b/y");
    fs::create_symlink("..", root.host("/t/b/loop"));  // a loop back up
    fs::create_symlink("/", root.host("/t/b/root"));   // the whole machine
    fs::create_symlink("self", root.host("/t/self"));  // a link to itself
    fs::create_symlink("t", root.host("/alias"));      // only the top folder is opened through one
    for (const char* top : {"/t", "/alias"})
        EXPECT_EQ(subpathsOfDirectoryAtPath(top),
                  (std::vector<std::string>{"a", "b", "b/loop", "b/root", "b/x", "b/y", "self"}));
    EXPECT_TRUE(subpathsOfDirectoryAtPath("/nothing").empty());
    EXPECT_TRUE(subpathsOfDirectoryAtPath("/t/a").empty());
}

TEST(Files, UnreadableFolderIsListedNotEntered) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    ScopedDeviceRoot root;
    root.writeFile("/t/locked/secret", "");
    root.writeFile("/t/z", "");
    fs::permissions(root.host("/t/locked"), fs::perms::none);
    log::Capture capture;
    EXPECT_EQ(subpathsOfDirectoryAtPath("/t"), (std::vector<std::string>{"locked", "z"}));
    EXPECT_TRUE(capture.contains("locked"));
    fs::permissions(root.host("/t/locked"), fs::perms::owner_all);
}

TEST(Files, SubpathsOfADeepTree) {
    ScopedDeviceRoot root;
    // 300 levels make a path of 4,800 bytes (past PATH_MAX), and with only 16 spare file
    // descriptors a walk that kept one folder open per level would fail long before the
    // bottom. (Removing folders is slow on some disks, so the tree stays small.)
    constexpr int kDepth = 300;
    root.makeFolder("/deep");
    deepChain(root.host("/deep"), kDepth, true);
    std::size_t openBefore = openDescriptors();
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = openBefore + 16;
    ::setrlimit(RLIMIT_NOFILE, &tight);
    auto paths = subpathsOfDirectoryAtPath("/deep");
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(openDescriptors(), openBefore);  // none left behind
    deepChain(root.host("/deep"), kDepth, false);
    ASSERT_EQ(paths.size(), static_cast<std::size_t>(kDepth));
    EXPECT_EQ(paths.front(), "level-of-folder");
    EXPECT_EQ(paths[1], "level-of-folder/level-of-folder");
    EXPECT_EQ(paths.back().size(), 16u * kDepth - 1);
}

TEST(Files, ReadBytesRefusesWhatIsNotARegularFile) {
    ScopedDeviceRoot root;
    root.writeFile("/f/data.js", std::string("a\0b", 3));
    auto data = readBytes("/f/data.js");
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(*data, std::string("a\0b", 3));

    ASSERT_EQ(::mkfifo(root.host("/f/Settings.js").c_str(), 0644), 0);
    log::Capture capture;
    auto fifo = readBytes("/f/Settings.js");  // must return, not wait for a writer
    EXPECT_FALSE(fifo.ok());
    EXPECT_NE(fifo.error().find("not a regular file"), std::string::npos);
    EXPECT_TRUE(capture.contains("/f/Settings.js"));

    EXPECT_FALSE(readBytes("/f").ok());
    EXPECT_FALSE(readBytes("/f/missing").ok());
    EXPECT_FALSE(readBytes("/f/data.js", 2).ok());
    EXPECT_TRUE(readBytes("/f/data.js", 3).ok());
}

}  // namespace
}  // namespace vx::files
