// The device root as a jail: links and ".." that lead out of it find nothing and write
// nothing outside, by openat2 and by the component walk alike.
#include "platform/foundation/root_jail.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "support/temp_dir.h"

namespace vx::jail {
namespace {

namespace fs = std::filesystem;

class RootJail : public testing::TestWithParam<bool> {
protected:
    RootJail() {
        forceComponentWalkForTesting(GetParam());
        test::writeHostFile(outside_.path() / "secret", "outside");
        root_.writeFile("/var/in.txt", "inside");
        root_.makeFolder("/links");
        // Every way out: an absolute link, a relative one that climbs past the root, a
        // link to the machine's "/", a loop; and an absolute link meant inside the root.
        std::string climb;
        for (int i = 0; i < 40; ++i) climb += "../";
        fs::create_symlink(outside_.path(), root_.host("/links/absolute"));
        fs::create_symlink(climb + outside_.path().relative_path().string(),
                           root_.host("/links/climbing"));
        fs::create_symlink("/", root_.host("/links/machine"));
        fs::create_symlink("loop", root_.host("/links/loop"));
        fs::create_symlink("/var/in.txt", root_.host("/links/inside"));
        fs::create_symlink("../../../var", root_.host("/links/up"));
    }
    ~RootJail() override { forceComponentWalkForTesting(false); }

    std::string outsideSecret() const { return test::readHostFile(outside_.path() / "secret"); }

    test::TempDir outside_;
    test::ScopedDeviceRoot root_;
};

TEST_P(RootJail, LinksResolveAsInAChroot) {
    const std::string secretFromOutside = "/links/absolute/secret";
    const std::string secretByClimbing = "/links/climbing/secret";
    const std::string secretThroughMachine = "/links/machine" + (outside_.path() / "secret").string();
    log::Capture capture;
    for (const std::string& path : {secretFromOutside, secretByClimbing, secretThroughMachine}) {
        EXPECT_FALSE(files::readBytes(path).ok()) << path;
        EXPECT_FALSE(files::fileExistsAtPath(path)) << path;
        EXPECT_FALSE(replaceFileAtomically(path, "stolen").ok()) << path;
    }
    EXPECT_FALSE(files::readBytes("/links/loop").ok());
    EXPECT_TRUE(capture.contains("leads out of the device root"));
    EXPECT_TRUE(capture.contains("too many links"));
    EXPECT_TRUE(files::contentsOfDirectoryAtPath("/links/absolute").empty());
    EXPECT_EQ(outsideSecret(), "outside");

    // Links that stay inside, absolute or climbing to the root and down again, work.
    EXPECT_EQ(files::readBytes("/links/inside").value(), "inside");
    EXPECT_EQ(files::readBytes("/links/up/in.txt").value(), "inside");
    EXPECT_TRUE(files::isDirectory("/links/machine/var"));
}

TEST_P(RootJail, WritesNeverLeaveTheRoot) {
    log::Capture capture;
    // Opening a link for writing is refused; replacing it replaces the link, not its target.
    auto opened = open("/links/inside", O_WRONLY);
    EXPECT_FALSE(opened.ok());
    EXPECT_EQ(opened.errorCode(), ELOOP);
    EXPECT_FALSE(open("/links/inside", O_WRONLY | O_CREAT | O_EXCL, 0644).ok());
    ASSERT_TRUE(replaceFileAtomically("/links/inside", "replaced").ok());
    EXPECT_EQ(root_.readFile("/var/in.txt"), "inside");
    EXPECT_EQ(root_.readFile("/links/inside"), "replaced");

    EXPECT_FALSE(createFolders("/links/absolute/made").ok());
    EXPECT_FALSE(rename("/var/in.txt", "/links/absolute/moved").ok());
    EXPECT_FALSE(unlink("/links/absolute/secret").ok());
    EXPECT_FALSE(fs::exists(outside_.path() / "made"));
    EXPECT_FALSE(fs::exists(outside_.path() / "moved"));
    EXPECT_EQ(outsideSecret(), "outside");

    // Through the link to the machine's "/", the root's own folders are reached.
    ASSERT_TRUE(createFolders("/links/machine/var/new/deeper").ok());
    EXPECT_TRUE(fs::is_directory(root_.host("/var/new/deeper")));
    ASSERT_TRUE(rename("/var/in.txt", "/links/machine/var/new/in.txt").ok());
    EXPECT_EQ(root_.readFile("/var/new/in.txt"), "inside");
}

INSTANTIATE_TEST_SUITE_P(Openat2AndWalk, RootJail, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "ComponentWalk" : "Openat2";
                         });

}  // namespace
}  // namespace vx::jail
