// veltrix-settings: one program, one table of commands (tools/cli.h).
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>

#include "cli.h"
#include "platform/foundation/bundle.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"
#include "version.h"

namespace {

using namespace vx::cli;

// The root must be a folder we can use: a clear message, never an exception.
int checkRoot(const std::string& root, bool initialising) {
    std::error_code error;
    bool folder = std::filesystem::is_directory(root, error);
    if (error && error != std::errc::no_such_file_or_directory)
        return reportFailure("cannot use the device root " + root + ": " + error.message());
    if (!folder && !initialising) {
        std::cerr << "--root: Directory does not exist: " << root
                  << " (`veltrix-settings --root DIR init` creates one)\n";
        return kExitUsage;
    }
    if (folder && ::access(root.c_str(), X_OK) != 0)
        return reportFailure("cannot use the device root " + root + ": " + std::strerror(errno));
    return kExitOk;
}

int runMain(int argc, char** argv) {
    vx::log::setProgramName("veltrix-settings");

    CLI::App app{
        "veltrix-settings: the settings bundle of the Veltrix lock-screen add-on, "
        "run over a device root folder"};
    app.require_subcommand(1);
    std::string root;
    app.add_option("--root", root,
                   "Device root folder (give it before the command). Default: \"/\" on a device "
                   "(when /var/mobile exists), otherwise a demo device under "
                   "$XDG_DATA_HOME/veltrix-settings/device")
        ->check(CLI::ExistingDirectory | CLI::NonexistentPath);
    std::string language = "en";
    app.add_option("--lang", language,
                   "Language of the settings' texts: en or de (a language without a strings "
                   "table shows the English texts). Default: en");

    app.set_version_flag("--version", std::string(vx::cli::kVersionText),
                         "Print the program's version and exit");

    auto table = commandTable();
    std::sort(table.begin(), table.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    std::map<CLI::App*, Action> actions;
    for (const Command& command : table) {
        CLI::App* sub = app.add_subcommand(command.name, command.description);
        actions[sub] = command.setup(*sub);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error);
        return status == 0 ? kExitOk : kExitUsage;
    }

    // An empty --root would silently mean the default device, which on a device is "/".
    if (app.count("--root") > 0 && root.empty()) {
        std::cerr << "--root: must not be empty (give a folder)\n";
        return kExitUsage;
    }
    // `init` creates the root it is given; every other command needs an existing one.
    if (!root.empty()) {
        if (int status = checkRoot(root, app.got_subcommand("init")); status != kExitOk) return status;
    }
    vx::Bundle::setPreferredLanguage(language);
    for (auto& [sub, action] : actions) {
        if (!sub->parsed() || !action) continue;
        Context context;
        if (!chosenRunsWithoutDevice(*sub)) {
            context.deviceRoot = root.empty() ? defaultDeviceRoot() : std::filesystem::path(root);
            vx::DeviceRoot::setCurrent(context.deviceRoot);
        }
        return action(context);
    }
    return reportFailure("no command given (see --help)");
}

}  // namespace

int main(int argc, char** argv) {
    vx::log::setProgramName("veltrix-settings");
    try {
        return runMain(argc, argv);
    } catch (const std::exception& error) {
        return reportFailure(std::string("unexpected error: ") + error.what());
    } catch (...) {
        return reportFailure("unexpected error");
    }
}
