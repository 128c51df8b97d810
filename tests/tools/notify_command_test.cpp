// `notify post` and `notify watch` across real processes, and `--version`.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <regex>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::shellQuoted;

constexpr auto kDeadline = 20s;

class NotifyCommandTest : public ::testing::Test {
protected:
    std::string program(const std::string& arguments) const {
        return "env VELTRIX_NOTIFY_DIR=" + shellQuoted((dir_.path() / "notify").string()) + " " +
               shellQuoted(VX_PROGRAM) + " " + arguments;
    }
    test::ProgramRun run(const std::string& arguments) {
        return test::runShell(program(arguments), dir_.path());
    }
    // Starts a watcher and waits until it listens.
    std::unique_ptr<test::BackgroundRun> watcher(const std::string& arguments) {
        auto started = std::make_unique<test::BackgroundRun>(program("notify watch " + arguments));
        auto ready = started->errorLine(kDeadline);
        EXPECT_TRUE(ready && ready->find("watching") != std::string::npos)
            << ready.value_or("(nothing)");
        return started;
    }
    std::size_t sockets() const {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(dir_.path() / "notify"))
            count += entry.is_socket();
        return count;
    }

    test::TempDir dir_;
};

TEST_F(NotifyCommandTest, WatchPrintsEachNameItWantsAsItArrivesAndStopsWhenTold) {
    auto named = watcher("a b --count 2");
    EXPECT_EQ(run("notify post c").status, 0);
    EXPECT_EQ(run("notify post a").status, 0);
    EXPECT_EQ(named->outputLine(kDeadline), "a");  // before b is even posted: flushed per name
    EXPECT_EQ(run("notify post b").status, 0);
    EXPECT_EQ(named->outputLine(kDeadline), "b");
    EXPECT_EQ(named->wait(), 0);

    auto every = watcher("--json");
    EXPECT_EQ(run("notify post 'com.corvane.veltrix/settingschanged'").status, 0);
    EXPECT_EQ(every->outputLine(kDeadline), R"({"name":"com.corvane.veltrix/settingschanged"})");
    every->signal(SIGINT);
    EXPECT_EQ(every->wait(), 0);
    EXPECT_EQ(sockets(), 0u);  // an interrupted watcher leaves no socket behind

    test::ProgramRun timedOut = run("notify watch --timeout 0.01");
    EXPECT_EQ(timedOut.status, 0);
    EXPECT_EQ(timedOut.out, "");
}

TEST_F(NotifyCommandTest, WrongCommandLinesExitWithTwoAndVersionNamesTheProgram) {
    for (const char* wrong : {"notify", "notify post", "notify post ''", "notify watch --count 0",
                              "notify watch --timeout -1", "notify shout x"})
        EXPECT_EQ(run(wrong).status, 2) << wrong;
    test::ProgramRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(
        std::regex_match(version.out, std::regex("veltrix-settings [0-9]+\\.[0-9]+\\.[0-9]+.*\n")))
        << version.out;
}

}  // namespace
}  // namespace vx
