// Named notifications between processes.
#include "platform/darwin/darwin_notify.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "support/temp_dir.h"

namespace vx::darwin {
namespace {

namespace fs = std::filesystem;

class ScopedRendezvous {
public:
    ScopedRendezvous() { setRendezvousFolder(dir_.path() / "notify"); }
    ~ScopedRendezvous() { setRendezvousFolder(std::nullopt); }
    fs::path folder() const { return dir_.path() / "notify"; }

private:
    test::TempDir dir_;
};

std::size_t socketCount(const fs::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) count += entry.is_socket() ? 1 : 0;
    return count;
}

TEST(DarwinNotify, ListenerGetsEachPostOfItsNamesInOrderAndNothingElse) {
    ScopedRendezvous rendezvous;
    auto nobody = post("com.corvane.veltrix/changed");
    ASSERT_TRUE(nobody.ok());
    EXPECT_EQ(*nobody, 0u);

    auto listener = Listener::create({"a", "b"});
    ASSERT_TRUE(listener.ok()) << listener.error();
    auto other = Listener::create({"c"});
    ASSERT_TRUE(other.ok());
    auto every = Listener::createForEveryName();
    ASSERT_TRUE(every.ok());
    for (const char* name : {"a", "c", "b", "a"}) EXPECT_EQ(*post(name), 3u);
    EXPECT_EQ((*listener)->takePending(), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_EQ((*other)->takePending(), (std::vector<std::string>{"c"}));
    EXPECT_EQ((*every)->takePending(), (std::vector<std::string>{"a", "c", "b", "a"}));
    EXPECT_TRUE((*listener)->takePending().empty());
    every->reset();

    EXPECT_FALSE(post("").ok());
    EXPECT_FALSE(post(std::string(kMaxNameBytes + 1, 'x')).ok());
    listener->reset();
    other->reset();
    EXPECT_EQ(socketCount(rendezvous.folder()), 0u);
}

void bindDeadSocket(const fs::path& path) {
    int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

// A post removes the sockets of listeners that died, and nothing else: not a file that
// only has a socket's name, not what a link points to, nothing in a folder that is not a
// private folder of ours.
TEST(DarwinNotify, PostRemovesOnlyDeadSocketsInsideAPrivateFolder) {
    ScopedRendezvous rendezvous;
    auto live = Listener::create({"n"});
    ASSERT_TRUE(live.ok());
    fs::path dead = rendezvous.folder() / "999999-deadlisten.sock";
    bindDeadSocket(dead);
    test::TempDir elsewhere;
    bindDeadSocket(elsewhere.path() / "victim.sock");
    test::writeHostFile(elsewhere.path() / "file.sock", "data");
    test::writeHostFile(rendezvous.folder() / "file.sock", "data");
    fs::create_symlink(elsewhere.path() / "victim.sock", rendezvous.folder() / "link.sock");

    EXPECT_EQ(*post("n"), 1u);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(rendezvous.folder() / "file.sock"));
    EXPECT_TRUE(fs::exists(elsewhere.path() / "victim.sock"));
    EXPECT_EQ((*live)->takePending(), std::vector<std::string>{"n"});

    // The rendezvous folder as a link to another folder, or open to others: refused.
    fs::permissions(elsewhere.path(), fs::perms::owner_all);
    setRendezvousFolder(elsewhere.path() / "link");
    fs::create_directory_symlink(elsewhere.path(), elsewhere.path() / "link");
    EXPECT_FALSE(post("n").ok());
    EXPECT_TRUE(fs::exists(elsewhere.path() / "victim.sock"));
    setRendezvousFolder(rendezvous.folder());
    fs::permissions(rendezvous.folder(), fs::perms::owner_all | fs::perms::others_write);
    EXPECT_FALSE(post("n").ok());
    EXPECT_FALSE(Listener::create({"n"}).ok());
}

TEST(DarwinNotify, PostReachesListenersInOtherProcesses) {
    ScopedRendezvous rendezvous;
    const std::string kName = "com.corvane.veltrix.settingschanged";
    std::vector<std::pair<pid_t, int>> children;  // each child's pid and the end its reply comes from
    for (int i = 0; i < 2; ++i) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {  // listens, says it is ready, then writes back the name it got
            auto listener = Listener::create({kName});
            if (!listener || ::write(pipeFds[1], "r", 1) != 1) ::_exit(2);
            auto name = (*listener)->waitForNext(std::chrono::seconds(10));
            const bool told = name && ::write(pipeFds[1], name->data(), name->size()) ==
                                          static_cast<ssize_t>(name->size());
            ::_exit(told ? 0 : 3);
        }
        ::close(pipeFds[1]);
        char ready = 0;
        ASSERT_EQ(::read(pipeFds[0], &ready, 1), 1);
        children.emplace_back(child, pipeFds[0]);
    }
    EXPECT_EQ(post(kName).value(), children.size());
    for (const auto& [child, reply] : children) {
        char buffer[128] = {};
        ssize_t got = ::read(reply, buffer, sizeof buffer - 1);
        EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), kName);
        ::close(reply);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

}  // namespace
}  // namespace vx::darwin
