// The privileged file mover: rename within a file system, copy and unlink across them.
#include <sys/mount.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <filesystem>

#include "platform/foundation/log.h"
#include "platform/services/ub_client.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

TEST(UBClient, MovesAFileAndReplacesAnExistingDestination) {
    test::ScopedDeviceRoot root;
    root.writeFile("/Library/Themes/A.theme/settings.js", "var a = 1;");
    root.writeFile("/Library/Themes/A.theme/settings.js.bak", "old backup");
    log::Capture capture;
    UBClient::sharedInstance()->moveFile("/Library/Themes/A.theme/settings.js",
                                         "/Library/Themes/A.theme/settings.js.bak");
    EXPECT_FALSE(fs::exists(root.host("/Library/Themes/A.theme/settings.js")));
    EXPECT_EQ(root.readFile("/Library/Themes/A.theme/settings.js.bak"), "var a = 1;");
    EXPECT_TRUE(capture.lines().empty());
    // Device paths stay below the root: "/User" is "/var/mobile", ".." cannot climb out.
    root.writeFile("/var/mobile/x.js", "x");
    UBClient::sharedInstance()->moveFile("/User/x.js", "/../../y.js");
    EXPECT_EQ(root.readFile("/y.js"), "x");
}

TEST(UBClient, FailuresAreLoggedAndLeaveTheSourceInPlace) {
    test::ScopedDeviceRoot root;
    log::Capture capture;
    UBClient::sharedInstance()->moveFile("/missing.js", "/missing.js.bak");
    EXPECT_TRUE(capture.contains("UBClient"));
    EXPECT_FALSE(fs::exists(root.host("/missing.js.bak")));

    capture.clear();
    root.writeFile("/a/s.js", "keep");
    root.makeFolder("/a/s.js.bak");
    UBClient::sharedInstance()->moveFile("/a/s.js", "/a/s.js.bak");
    EXPECT_TRUE(capture.contains("a folder stands at"));
    EXPECT_EQ(root.readFile("/a/s.js"), "keep");
    EXPECT_TRUE(fs::is_directory(root.host("/a/s.js.bak")));
}

// A folder of the device root that lies on another file system (tmpfs), when there is one.
// A second file system inside the device root (links out of the root lead nowhere), made
// by mounting a tmpfs there; skipped where mounting is not allowed.
class CrossDevice : public ::testing::Test {
protected:
    void SetUp() override {
        root.makeFolder("/var/mobile/Other");
        other_ = root.host("/var/mobile/Other");
        if (::mount("tmpfs", other_.c_str(), "tmpfs", 0, "size=1m") != 0)
            GTEST_SKIP() << "cannot mount a second file system here: " << std::strerror(errno);
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(other_.c_str(), MNT_DETACH);  // ignored: a test folder
    }
    test::ScopedDeviceRoot root;
    fs::path other_;
    bool mounted_ = false;
};

TEST_F(CrossDevice, CopiesSyncsAndUnlinksKeepingTheMode) {
    root.writeFile("/Library/Themes/T/config.js", "var c = 2;");
    ::chmod(root.host("/Library/Themes/T/config.js").c_str(), 0600);
    log::Capture capture;
    UBClient::sharedInstance()->moveFile("/Library/Themes/T/config.js",
                                         "/var/mobile/Other/config.js.bak");
    EXPECT_TRUE(capture.lines().empty()) << capture.lines().front();
    EXPECT_FALSE(fs::exists(root.host("/Library/Themes/T/config.js")));
    EXPECT_EQ(test::readHostFile(other_ / "config.js.bak"), "var c = 2;");
    struct stat info {};
    ASSERT_EQ(::stat((other_ / "config.js.bak").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    // No temporary file is left beside the destination.
    EXPECT_EQ(std::distance(fs::directory_iterator(other_), fs::directory_iterator()), 1);

    // An existing destination is replaced across file systems too.
    root.writeFile("/Library/Themes/T/config.js", "second");
    UBClient::sharedInstance()->moveFile("/Library/Themes/T/config.js",
                                         "/var/mobile/Other/config.js.bak");
    EXPECT_EQ(test::readHostFile(other_ / "config.js.bak"), "second");
}

TEST_F(CrossDevice, ANonRegularSourceIsNotCopied) {
    root.makeFolder("/Library/Themes/T/folder.js");
    log::Capture capture;
    UBClient::sharedInstance()->moveFile("/Library/Themes/T/folder.js",
                                         "/var/mobile/Other/folder.js.bak");
    EXPECT_TRUE(capture.contains("not a regular file"));
    EXPECT_TRUE(fs::is_directory(root.host("/Library/Themes/T/folder.js")));
}

}  // namespace
}  // namespace vx
