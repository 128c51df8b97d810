#pragma once
// The built program run through /bin/sh, and a copy of the demo device to run it on.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace vx::test {

inline constexpr std::string_view kPreferencesFile =
    "var/mobile/Library/Preferences/com.corvane.veltrix.plist";

struct ProgramRun {
    int status = -1;  // the exit status, or -1 when the command did not exit normally
    std::string out;
    std::string err;
};

// One word for /bin/sh, whatever characters it holds.
std::string shellQuoted(std::string_view word);
// The built program working on a device root: `'<program>' --root '<root>'`.
std::string programOn(const std::filesystem::path& root);
// The start of a command line that runs the rest under strace with the given `-e` options,
// to inject faults into real system calls. The program's leak check is turned off there:
// it cannot work under ptrace.
std::string underStrace(std::string_view options);
// Whether strace can inject faults on this machine (it may be missing, or ptrace refused).
bool straceCanInject();
// Runs a command line through /bin/sh; its output and errors pass through two files in
// `scratch` and are returned with the exit status.
ProgramRun runShell(const std::string& command, const std::filesystem::path& scratch);

// A simple command (program and arguments, e.g. `env VAR=x program args`) run in the
// background; /bin/sh execs it, so a signal reaches the program itself. Its output lines
// are read as they come, each with a deadline (tests never sleep). Killed if still running
// at the end.
class BackgroundRun {
public:
    explicit BackgroundRun(const std::string& command);
    ~BackgroundRun();
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // The next line of standard output (or error), without its line feed; nothing when
    // none comes before the deadline or the stream ends.
    std::optional<std::string> outputLine(std::chrono::milliseconds deadline);
    std::optional<std::string> errorLine(std::chrono::milliseconds deadline);
    // The exit status once it has ended (-1 when it did not exit normally).
    int wait();
    void signal(int number);

private:
    std::optional<std::string> lineFrom(int fd, std::string& buffered,
                                        std::chrono::milliseconds deadline);

    int pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outBuffered_;
    std::string errBuffered_;
};

// A copy of examples/device in a temporary folder, with the program's output kept from the
// last command run.
class DemoDevice {
public:
    DemoDevice();

    const std::filesystem::path& scratch() const { return dir_.path(); }
    std::filesystem::path device() const { return dir_.path() / "device"; }

    // Runs `veltrix-settings --root <device> <arguments>`; returns the exit status.
    int program(const std::string& arguments);
    // Runs a command line; returns the exit status.
    int shell(const std::string& command);
    // Runs a gesture script with `run <options>`; returns the exit status.
    int runScript(const std::string& script, const std::string& options = "--json");
    const std::string& output() const { return last_.out; }
    const std::string& errors() const { return last_.err; }
    // The JSON screens of the last output, one a line.
    std::vector<nlohmann::json> screensShown() const;
    // A property list of the device as Python's plistlib reads it, as JSON.
    nlohmann::json readPlist(std::string_view devicePath);

private:
    TempDir dir_;
    ProgramRun last_;
};

// A test on a fresh demo device that `init` has prepared.
class DemoDeviceTest : public ::testing::Test, protected DemoDevice {
protected:
    void SetUp() override { ASSERT_EQ(program("init"), 0) << errors(); }
};

}  // namespace vx::test
