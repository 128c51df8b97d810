#include "cli.h"
#include "init_command.h"
#include "platform/foundation/atomic_file.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/preferences_store.h"

#include <cstdlib>
#include <iostream>
#include <set>

namespace vx::cli {

namespace fs = std::filesystem;

std::vector<Command>& commandTable() {
    static std::vector<Command> table;
    return table;
}

Registration::Registration(Command command) { commandTable().push_back(std::move(command)); }

namespace {

std::set<const CLI::App*>& deviceFreeCommands() {
    static std::set<const CLI::App*> commands;
    return commands;
}

}  // namespace

void runsWithoutDevice(CLI::App& command) { deviceFreeCommands().insert(&command); }

bool chosenRunsWithoutDevice(const CLI::App& command) {
    if (deviceFreeCommands().count(&command)) return true;
    for (const CLI::App* sub : command.get_subcommands())
        if (sub->parsed() && chosenRunsWithoutDevice(*sub)) return true;
    return false;
}

int reportFailure(std::string_view message) {
    std::cerr << "veltrix-settings: " << message << "\n";
    return kExitFailure;
}

// Read as the pages read it: text another program wrote that XML cannot carry shows as
// U+FFFD, and the rest of the file stays readable. A missing file is empty.
Result<plist::Dictionary> readPreferencesFile() {
    auto dictionary = loadPlistDictionary(kPreferencesPath);
    if (!dictionary)
        return fail("cannot read " + DeviceRoot::resolve(kPreferencesPath).string() + ": " +
                    dictionary.error());
    return dictionary;
}

Result<std::string> readInput(const std::string& fileOrDash) {
    if (fileOrDash != "-") {
        WholeFile whole = readWholeHostFile(fileOrDash, plist::kMaxInputBytes);
        if (whole.status == WholeFile::Status::Missing)
            return fail("cannot read " + fileOrDash + ": no such file");
        if (whole.status == WholeFile::Status::Failed)
            return fail("cannot read " + fileOrDash + ": " + whole.reason);
        return std::move(whole.bytes);
    }
    std::string bytes;
    char buffer[65536];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
        if (bytes.size() > plist::kMaxInputBytes)
            return fail("standard input is larger than " + std::to_string(plist::kMaxInputBytes) +
                        " bytes");
    }
    if (std::cin.bad()) return fail("cannot read standard input");
    return bytes;
}

std::string inputName(const std::string& fileOrDash) {
    return fileOrDash == "-" ? "standard input" : fileOrDash;
}

Result<plist::Value> readPropertyListInput(const std::string& fileOrDash) {
    const std::string bytes = VX_TRY(readInput(fileOrDash));
    auto value = plist::parse(bytes);
    if (!value) return fail(inputName(fileOrDash) + " is not a property list: " + value.error());
    return value;
}

Result<void> writeOutput(const std::string& fileOrDash, std::string_view bytes) {
    if (fileOrDash != "-") {
        auto written = replaceHostFileAtomically(fileOrDash, bytes);
        if (!written) return fail("cannot write " + fileOrDash + ": " + written.error());
        return {};
    }
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    if (!std::cout) return fail("cannot write to standard output");
    return {};
}

namespace {

fs::path userDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return data;
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share";
    return fs::temp_directory_path();
}

}  // namespace

fs::path defaultDeviceRoot() {
    std::error_code error;
    if (fs::is_directory("/var/mobile", error)) return "/";
    fs::path demo = userDataFolder() / "veltrix-settings" / "device";
    if (!fs::exists(demo, error)) {
        if (auto laidOut = layOutDeviceRoot(demo); !laidOut) {
            reportFailure("cannot create the demo device " + demo.string() + ": " + laidOut.error());
        } else {
            std::cerr << "veltrix-settings: created a demo device at " << demo.string() << "\n";
        }
    }
    std::cerr << "veltrix-settings: using the demo device " << demo.string()
              << " (--root DIR to choose another)\n";
    return demo;
}

}  // namespace vx::cli
