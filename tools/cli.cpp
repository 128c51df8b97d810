#include "cli.h"
#include "init_command.h"

#include <cstdlib>
#include <iostream>

namespace vx::cli {

namespace fs = std::filesystem;

std::vector<Command>& commandTable() {
    static std::vector<Command> table;
    return table;
}

Registration::Registration(Command command) { commandTable().push_back(std::move(command)); }

int reportFailure(std::string_view message) {
    std::cerr << "veltrix-settings: " << message << "\n";
    return kExitFailure;
}

namespace {

fs::path userDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return data;
    if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local" / "share";
    return fs::temp_directory_path();
}

}  // namespace

fs::path defaultDeviceRoot() {
    std::error_code error;
    if (fs::is_directory("/var/mobile", error)) return "/";
    const fs::path demo = userDataFolder() / "veltrix-settings" / "device";
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
