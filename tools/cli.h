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

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

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

// Marks a command or sub-command that never touches a device: when it runs, no device root
// is chosen (so no demo device is made) and context.deviceRoot is empty.
void runsWithoutDevice(CLI::App& command);
// True when the chosen command, or a chosen sub-command of it, was so marked.
bool chosenRunsWithoutDevice(const CLI::App& command);

// Every registered command, in registration order (main sorts them by name).
std::vector<Command>& commandTable();

struct Registration {
    explicit Registration(Command command);
};

// "veltrix-settings: <message>" on standard error; returns kExitFailure.
int reportFailure(std::string_view message);

// The preferences file as the commands read it: a missing file is empty; one that cannot
// be read or parsed, or whose root is no dictionary, is a failure with the reason.
Result<plist::Dictionary> readPreferencesFile();

// The bytes of FILE, or of standard input for "-" (both capped at the property-list limit).
Result<std::string> readInput(const std::string& fileOrDash);
// FILE as messages name it: "standard input" for "-".
std::string inputName(const std::string& fileOrDash);
// The property list in FILE or standard input; a failure names the input.
Result<plist::Value> readPropertyListInput(const std::string& fileOrDash);
// Writes FILE atomically (a file that was there is replaced whole or left as it was), or
// standard output for "-".
Result<void> writeOutput(const std::string& fileOrDash, std::string_view bytes);

// The device root when no --root is given: "/" on a device (when "/var/mobile" exists),
// otherwise the demo device under the user's data folder, created on first use.
std::filesystem::path defaultDeviceRoot();

}  // namespace vx::cli
