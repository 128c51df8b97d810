// veltrix-settings: one program, one table of commands (tools/cli.h).
#include <algorithm>
#include <iostream>
#include <map>
#include <optional>

#include "cli.h"
#include "version.h"
#include "platform/foundation/bundle.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/log.h"

int main(int argc, char** argv) {
    using namespace vx::cli;
    vx::log::setProgramName("veltrix-settings");

    CLI::App app{"veltrix-settings: the settings bundle of the Veltrix lock-screen add-on, "
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

    // `init` creates the root it is given; every other command needs an existing one.
    if (!root.empty() && !std::filesystem::is_directory(root) && !app.got_subcommand("init")) {
        std::cerr << "--root: Directory does not exist: " << root
                  << " (`veltrix-settings --root DIR init` creates one)\n";
        return kExitUsage;
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
