#include "support/demo_device.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

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

ProgramRun runShell(const std::string& command, const fs::path& scratch) {
    const fs::path out = scratch / "out";
    const fs::path err = scratch / "err";
    const std::string line = command + " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readHostFile(out), readHostFile(err)};
}

DemoDevice::DemoDevice() {
    fs::copy(fs::path(VX_SOURCE_DIR) / "examples" / "device", device(), fs::copy_options::recursive);
}

int DemoDevice::program(const std::string& arguments) { return shell(programOn(device()) + " " + arguments); }

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
