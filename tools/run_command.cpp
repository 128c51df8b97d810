// veltrix-settings run [--json] SCRIPT|-: opens the root page and runs a script of gestures
// (src/app/script.h) against the device root, printing the screen at each `show`.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "app/script.h"
#include "app/settings_application.h"
#include "app_session.h"
#include "cli.h"
#include "platform/ui/application.h"

namespace vx::cli {

namespace {

struct RunOptions {
    bool json = false;
    std::string script;
};

Result<std::string> readScript(const std::string& path) {
    if (path == "-") {
        return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return fail("cannot read the script " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        return fail("cannot read the script " + path);
    }
    return text.str();
}

// Addresses the pages handed to openURL (the documentation button): there is no browser
// here, so the user is told where it would have gone.
void reportOpenedURLs() {
    for (const std::string& url : UIApplication::sharedApplication().openedURLs())
        std::cerr << "veltrix-settings: opened " << url << "\n";
}

int runRun(const RunOptions& options) {
    auto text = readScript(options.script);
    if (!text) {
        return reportFailure(text.error());
    }
    auto script = parseScript(*text);
    if (!script) {
        return reportFailure(script.error());
    }
    SettingsApplication app;
    if (auto opened = openRootPage(app); !opened) {
        return reportFailure(opened.error());
    }
    auto ran = runScript(app, *script, std::cout, ScriptOptions{options.json});
    reportOpenedURLs();
    if (!ran) {
        std::cout.flush();
        return reportFailure(ran.error());
    }
    return kExitOk;
}

Action setUpRunCommand(CLI::App& command) {
    auto options = std::make_shared<RunOptions>();
    command.add_flag("--json", options->json, "Print each `show` as one JSON object per line");
    command.add_option("script", options->script, "The script file, or - for standard input")->required();
    command.footer(
        "One gesture per line: tap ROW | switch ROW on|off | slide ROW VALUE | type ROW TEXT | "
        "clear ROW | return | alert BUTTON | button TITLE | back | move FROM TO | keyboard show [HEIGHT] | "
        "keyboard hide | wait SECONDS | show. ROW: a label, SECTION/LABEL, #N or #S.N. See docs/app.md.");
    return [options](const Context&) { return runRun(*options); };
}

const Registration registration{{"run", "Run a script of gestures on the settings pages", setUpRunCommand}};

}  // namespace

}  // namespace vx::cli
