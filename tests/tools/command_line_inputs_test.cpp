// Hostile command-line inputs and a device without the bundle: each ends in a clear message and the
// right exit status, never in an uncaught exception or a command run somewhere else.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using test::shellQuoted;

TEST(CommandLineInputs, BadRootsAndScriptsFailClearly) {
    test::TempDir dir;
    const fs::path device = dir.path() / "device";
    fs::create_directories(device);
    fs::create_symlink("loop", dir.path() / "loop");
    fs::create_directories(dir.path() / "folder");
    const std::string big = (dir.path() / "big.script").string();
    test::writeHostFile(big, "show\n");
    test::writeHostFile(dir.path() / "bad.script", "show\nfly away\n");
    ASSERT_EQ(::truncate(big.c_str(), 16 * 1024 * 1024 + 1), 0);  // sparse: no real 16 MiB
    const std::string program = shellQuoted(VX_PROGRAM);
    const std::string onDevice = test::programOn(device);
    struct Case {
        std::string command;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {program + " --root '' prefs read", 2, "--root: must not be empty"},
        {program + " --root " + shellQuoted((dir.path() / "loop/x").string()) + " prefs read", 1,
         "cannot use the device root"},
        {onDevice + " run " + shellQuoted((dir.path() / "folder").string()), 1, "it is a folder"},
        {onDevice + " run " + shellQuoted((dir.path() / "big.script").string()), 1,
         "larger than 16 MiB"},
        {onDevice + " run /dev/zero", 1, "larger than 16 MiB"},
        {onDevice + " run " + shellQuoted((dir.path() / "missing").string()), 1,
         "cannot read the script"},
        // A script that does not parse runs no line, before the bundle is even looked for.
        {onDevice + " run " + shellQuoted((dir.path() / "bad.script").string()), 1,
         "veltrix-settings: line 2: fly away: unknown gesture \"fly\""},
        {onDevice + " show", 1,
         "VeltrixSettings.bundle does not exist (`veltrix-settings init` lays out a device root"},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // A root below a folder the user cannot search (the test folder is private to root).
    if (::geteuid() == 0 && std::system("command -v setpriv >/dev/null") == 0)
        all.push_back({"setpriv --reuid=65534 --regid=65534 --clear-groups " + onDevice + " prefs read",
                       1, "cannot use the device root"});
    for (const auto& c : all) {
        test::ProgramRun run = test::runShell(c.command, dir.path());
        EXPECT_EQ(run.status, c.status) << c.command << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.command << "\n" << run.err;
    }
}

}  // namespace
}  // namespace vx
