#pragma once
// The command table of veltrix-settings. Each command lives in its own file
// tools/<name>_command.cpp and adds itself to the table with one static Registration:
//
//     static const vx::cli::Registration registration{
//         {"prefs", "Read and change the preferences file", setUpPrefsCommand}};
//
// main.cpp never names a command. A setup function declares the command's options and
// sub-commands on the CLI11 App it is given and returns the action to run when the command
// was chosen; the action gets the device root (already made current) and returns the exit
// status.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // missing key, bad value, bad or unwritable file
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

struct Context {
    std::filesystem::path deviceRoot;
};

using Action = std::function<int(const Context&)>;

struct Command {
    std::string name;
    std::string description;
    std::function<Action(CLI::App& command)> setup;
};

// Every registered command, in registration order (main sorts them by name).
std::vector<Command>& commandTable();

struct Registration {
    explicit Registration(Command command);
};

// "veltrix-settings: <message>" on standard error; returns kExitFailure.
int reportFailure(std::string_view message);

// The device root when no --root is given: "/" on a device (when "/var/mobile" exists),
// otherwise the demo device under the user's data folder, created on first use.
std::filesystem::path defaultDeviceRoot();

}  // namespace vx::cli
