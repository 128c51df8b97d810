#include "support/demo_device.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

extern char** environ;

namespace vx::test {

namespace fs = std::filesystem;

std::string shellQuoted(std::string_view word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string programOn(const fs::path& root) {
    return shellQuoted(VX_PROGRAM) + " --root " + shellQuoted(root.string());
}

std::string underStrace(std::string_view options) {
    return "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -o /dev/null " +
           std::string(options) + " ";
}

bool straceCanInject() {
    return std::system((underStrace("-e trace=fsync -e inject=fsync:error=EIO:when=1") +
                        "/bin/true >/dev/null 2>&1")
                           .c_str()) == 0;
}

ProgramRun runShell(const std::string& command, const fs::path& scratch) {
    const fs::path out = scratch / "out";
    const fs::path err = scratch / "err";
    const std::string line = command + " >" + shellQuoted(out.string()) + " 2>" +
                             shellQuoted(err.string());
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readHostFile(out), readHostFile(err)};
}

BackgroundRun::BackgroundRun(const std::string& command) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    const std::string line = "exec " + command;
    const char* argv[] = {"/bin/sh", "-c", line.c_str(), nullptr};
    if (::posix_spawn(&pid_, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
}

BackgroundRun::~BackgroundRun() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
    ::close(out_);
    ::close(err_);
}

std::optional<std::string> BackgroundRun::outputLine(std::chrono::milliseconds deadline) {
    return lineFrom(out_, outBuffered_, deadline);
}

std::optional<std::string> BackgroundRun::errorLine(std::chrono::milliseconds deadline) {
    return lineFrom(err_, errBuffered_, deadline);
}

std::optional<std::string> BackgroundRun::lineFrom(int fd, std::string& buffered,
                                                   std::chrono::milliseconds deadline) {
    const auto giveUpAt = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (auto end = buffered.find('\n'); end != std::string::npos) {
            std::string line = buffered.substr(0, end);
            buffered.erase(0, end + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            giveUpAt - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[4096];
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got <= 0) return std::nullopt;
        buffered.append(chunk, static_cast<std::size_t>(got));
    }
}

int BackgroundRun::wait() {
    if (pid_ <= 0) return -1;
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    pid_ = -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

void BackgroundRun::signal(int number) {
    if (pid_ > 0) ::kill(pid_, number);
}

DemoDevice::DemoDevice() {
    fs::copy(fs::path(VX_SOURCE_DIR) / "examples" / "device", device(), fs::copy_options::recursive);
}

int DemoDevice::program(const std::string& arguments) {
    return shell(programOn(device()) + " " + arguments);
}

int DemoDevice::shell(const std::string& command) {
    last_ = runShell(command, scratch());
    return last_.status;
}

int DemoDevice::runScript(const std::string& script, const std::string& options) {
    writeHostFile(scratch() / "script", script);
    return program("run " + options + " " + shellQuoted((scratch() / "script").string()));
}

std::vector<nlohmann::json> DemoDevice::screensShown() const {
    std::vector<nlohmann::json> screens;
    std::istringstream lines(output());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) screens.push_back(nlohmann::json::parse(line));
    }
    return screens;
}

nlohmann::json DemoDevice::readPlist(std::string_view devicePath) {
    writeHostFile(scratch() / "read.py",
                  "import json, plistlib, sys\n"
                  "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb'))))\n");
    EXPECT_EQ(shell("python3 " + shellQuoted((scratch() / "read.py").string()) + " " +
                    shellQuoted((device() / devicePath).string())),
              0)
        << errors();
    return nlohmann::json::parse(output());
}

}  // namespace vx::test
