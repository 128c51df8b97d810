// The `prefs` command of the built program, including write faults injected with strace.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "support/demo_device.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

using test::ProgramRun;
using test::shellQuoted;

class PrefsCommandTest : public ::testing::Test {
protected:
    fs::path file() const { return dir_.path() / "device" / test::kPreferencesFile; }

    // Runs `prefix veltrix-settings --root <device> args...` in a shell.
    ProgramRun run(const std::vector<std::string>& args, const std::string& prefix = "") {
        fs::create_directories(dir_.path() / "device");
        std::string command = prefix + " " + test::programOn(dir_.path() / "device");
        for (const auto& arg : args) command += " " + shellQuoted(arg);
        return test::runShell(command, dir_.path());
    }

    test::TempDir dir_;
};

TEST_F(PrefsCommandTest, WriteReadAndDeleteLikeDefaults) {
    EXPECT_EQ(run({"prefs", "write", "count", "-int", "-42"}).status, 0);
    EXPECT_EQ(run({"prefs", "write", "enabled", "-bool", "YES"}).status, 0);
    EXPECT_EQ(run({"prefs", "write", "scale", "-float", "0.5"}).status, 0);
    EXPECT_EQ(run({"prefs", "write", "note", "two \"words\""}).status, 0);
    EXPECT_EQ(run({"prefs", "write", "digits", "-string", "007"}).status, 0);

    ProgramRun json = run({"prefs", "read", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(nlohmann::json::parse(json.out), nlohmann::json::parse(R"({"count": -42, "enabled": true,
        "scale": 0.5, "note": "two \"words\"", "digits": "007"})"));
    EXPECT_EQ(run({"prefs", "read"}).out,
              "{\n    count = -42;\n    digits = 007;\n    enabled = 1;\n"
              "    note = \"two \\\"words\\\"\";\n    scale = 0.5;\n}\n");
    EXPECT_EQ(run({"prefs", "read", "note"}).out, "two \"words\"\n");

    EXPECT_EQ(run({"prefs", "delete", "note"}).status, 0);
    ProgramRun missing = run({"prefs", "read", "note"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("\"note\" is not in"), std::string::npos);
    EXPECT_EQ(run({"prefs", "delete", "note"}).status, 1);
}

TEST_F(PrefsCommandTest, BadValuesAndBadFilesFailClearlyAndChangeNothing) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"k", "-int", "12abc"}, "is not an integer"},
        {{"k", "-int", "99999999999999999999"}, "is not an integer"},
        {{"k", "-bool", "maybe"}, "is not a boolean"},
        {{"k", "-float", "1e999"}, "is not a finite number"},
        {{"k", "-date", "today"}, "unknown type -date"},
        {{"k"}, "usage: prefs write"},
        {{"", "v"}, "the key must not be empty"},
        // Text a property list cannot carry, in a value or a key.
        {{"k", "caf\xE9"}, "byte 3 is not valid UTF-8"},
        {{"k", "-string", "a\001b"}, "U+0001"},
        {{"k\xEF\xBF\xBF", "v"}, "bad key: U+FFFF"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"prefs", "write"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        ProgramRun bad = run(args);
        EXPECT_EQ(bad.status, 1) << c.message;
        EXPECT_NE(bad.err.find("veltrix-settings: "), std::string::npos);
        EXPECT_NE(bad.err.find(c.message), std::string::npos) << bad.err;
        EXPECT_FALSE(fs::exists(file()));
    }
    EXPECT_EQ(run({"prefs", "frobnicate"}).status, 2);

    test::writeHostFile(file(), "<?xml version=\"1.0\"?><plist><dict><key>lost");
    ProgramRun unreadable = run({"prefs", "read"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(unreadable.err.find("cannot read"), std::string::npos);
    EXPECT_EQ(run({"prefs", "delete", "lost"}).status, 1);

    // A write keeps the unreadable file under a backup name and says where.
    ProgramRun write = run({"prefs", "write", "fresh", "-int", "1"});
    EXPECT_EQ(write.status, 0);
    EXPECT_NE(write.err.find(".unreadable-"), std::string::npos);
    EXPECT_EQ(run({"prefs", "read", "fresh"}).out, "1\n");
}

TEST_F(PrefsCommandTest, HelpNamesTheCommandsAndTheDefaultDevice) {
    // The commands of --help are checked against the man page with the install.
    const std::string program = shellQuoted(VX_PROGRAM);
    EXPECT_NE(test::runShell(program + " --help", dir_.path()).out.find("--root"), std::string::npos);
    EXPECT_NE(run({"prefs", "write", "--help"}).out.find("-bool|-int|-float|-string"),
              std::string::npos);

    if (fs::exists("/var/mobile")) GTEST_SKIP() << "this machine looks like a device";
    std::string data = (dir_.path() / "data").string();
    ProgramRun demo = test::runShell(
        "XDG_DATA_HOME=" + shellQuoted(data) + " " + program + " prefs write k v", dir_.path());
    EXPECT_EQ(demo.status, 0) << demo.err;
    EXPECT_NE(demo.err.find(data + "/veltrix-settings/device"), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(data) / "veltrix-settings/device" / test::kPreferencesFile));
}

TEST_F(PrefsCommandTest, ImportReplacesTheFileKeepingTheOldOneAndPostsOnceExportReadsItBack) {
    const std::string notify = "env VELTRIX_NOTIFY_DIR=" +
                               shellQuoted((dir_.path() / "notify").string());
    ASSERT_EQ(run({"prefs", "write", "kept", "-int", "1"}).status, 0);
    const std::string before = test::readHostFile(file());
    const fs::path saved = dir_.path() / "saved.plist";
    ASSERT_EQ(run({"prefs", "export", saved.string()}).status, 0);
    EXPECT_EQ(test::readHostFile(saved), before);
    EXPECT_EQ(run({"prefs", "export", "-"}).out, before);

    // Inputs that are refused change nothing and leave no backup.
    test::writeHostFile(dir_.path() / "array.plist", "<plist><array/></plist>");
    test::writeHostFile(dir_.path() / "broken.plist", "<plist><dict><key>x</key></dict>");
    test::writeHostFile(dir_.path() / "control.plist",
                        "<plist><dict><key>x</key><string>a&#1;b</string></dict></plist>");
    for (const char* bad : {"array.plist", "broken.plist", "missing.plist", "control.plist"}) {
        ProgramRun refused = run({"prefs", "import", (dir_.path() / bad).string()});
        EXPECT_EQ(refused.status, 1) << bad;
        EXPECT_NE(refused.err.find(bad), std::string::npos) << refused.err;
    }
    ProgramRun huge = run({"prefs", "import", "-"}, "head -c 67108865 /dev/zero |");  // 64 MiB + 1
    EXPECT_NE(huge.err.find("standard input is larger than 67108864 bytes"), std::string::npos)
        << huge.err;
    EXPECT_EQ(test::readHostFile(file()), before);

    test::BackgroundRun watcher(notify + " " + shellQuoted(VX_PROGRAM) + " notify watch");
    ASSERT_TRUE(watcher.errorLine(std::chrono::seconds(20)));
    // A binary property list from stdin is read like any other.
    ProgramRun imported = run({"prefs", "import", "-"},
                              "python3 -c 'import plistlib,sys; sys.stdout.buffer.write(plistlib.dumps("
                              "{\"fresh\": True}, fmt=plistlib.FMT_BINARY))' | " +
                                  notify);
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(run({"prefs", "read"}).out, "{\n    fresh = 1;\n}\n");
    const auto named = imported.out.find("kept as ");
    ASSERT_NE(named, std::string::npos) << imported.out;
    EXPECT_EQ(test::readHostFile(imported.out.substr(named + 8, imported.out.size() - named - 9)),
              before);
    ASSERT_EQ(
        test::runShell(notify + " " + shellQuoted(VX_PROGRAM) + " notify post end", dir_.path()).status,
        0);
    EXPECT_EQ(watcher.outputLine(std::chrono::seconds(20)), "com.corvane.veltrix/settingschanged");
    EXPECT_EQ(watcher.outputLine(std::chrono::seconds(20)), "end");  // posted once, not twice
}

TEST_F(PrefsCommandTest, InjectedWriteFaultsLeaveTheOldFileAndReportTheReason) {
    if (!test::straceCanInject()) GTEST_SKIP() << "strace cannot inject faults here";

    ASSERT_EQ(run({"prefs", "write", "kept", "-int", "1"}).status, 0);
    // Past the rename, the value is in place: the message says so, and the status is 1.
    ProgramRun unsynced = run({"prefs", "write", "synced", "-int", "2"},
                              test::underStrace("-e trace=fsync -e inject=fsync:error=EIO:when=2"));
    EXPECT_EQ(unsynced.status, 1);
    EXPECT_NE(unsynced.err.find("saved, but the folder could not be synced"), std::string::npos)
        << unsynced.err;
    EXPECT_EQ(run({"prefs", "read", "synced"}).out, "2\n");
    ASSERT_EQ(run({"prefs", "delete", "synced"}).status, 0);

    const std::string rename = "-e trace=rename,renameat,renameat2 -e inject=rename,renameat,renameat2";
    std::vector<std::pair<std::string, std::string>> faults{
        // strace's -e options, the reason
        {"-e trace=fsync -e inject=fsync:error=EIO:when=1", "Input/output error"},
        {rename + ":error=EACCES", "Permission denied"},
        {rename + ":error=EROFS", "Read-only file system"},
        {rename + ":error=EXDEV", "Invalid cross-device link"},
    };
    // The sanitizer runtime probes memory with write() before main, so under ASan the first
    // write is not the save's; the write fault is then left to the plain build.
#if !defined(__SANITIZE_ADDRESS__)
    faults.emplace_back("-e trace=write -e inject=write:error=ENOSPC:when=1", "No space left on device");
#endif
    const std::string before = test::readHostFile(file());
    for (const auto& [options, reason] : faults) {
        ProgramRun failed = run({"prefs", "write", "new", "value"}, test::underStrace(options));
        EXPECT_EQ(failed.status, 1) << options;
        EXPECT_NE(failed.err.find(reason), std::string::npos) << failed.err;
        EXPECT_NE(failed.err.find("cannot save new"), std::string::npos) << failed.err;
        EXPECT_EQ(test::readHostFile(file()), before) << options;
        for (const auto& entry : fs::directory_iterator(file().parent_path()))
            EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos) << options;
    }
}

}  // namespace
}  // namespace vx
