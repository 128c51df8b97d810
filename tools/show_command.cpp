// veltrix-settings show [--json] [ROW...]: opens the root page, taps each named row in turn
// (each on the screen the previous tap led to) and prints the screen.
#include <iostream>
#include <string>
#include <vector>

#include "app/row_ref.h"
#include "app/screen.h"
#include "app/settings_application.h"
#include "app_session.h"
#include "cli.h"
#include "platform/ui/application.h"

namespace vx::cli {

namespace {

struct ShowOptions {
    bool json = false;
    std::vector<std::string> rows;
};

// Addresses the pages handed to openURL (the documentation button): there is no browser
// here, so the user is told where it would have gone.
void reportOpenedURLs() {
    for (const std::string& url : UIApplication::sharedApplication().openedURLs())
        std::cerr << "veltrix-settings: opened " << url << "\n";
}

int runShow(const ShowOptions& options) {
    SettingsApplication app;
    if (auto opened = openRootPage(app); !opened) {
        return reportFailure(opened.error());
    }
    for (const std::string& row : options.rows) {
        if (auto tapped = app.tap(RowRef::parse(row)); !tapped) {
            return reportFailure("tap " + row + ": " + tapped.error());
        }
    }
    reportOpenedURLs();
    const Screen screen = app.screen();
    if (options.json) {
        std::cout << toJsonLine(screen) << "\n";
    } else {
        std::cout << toText(screen);
    }
    return kExitOk;
}

Action setUpShowCommand(CLI::App& command) {
    auto options = std::make_shared<ShowOptions>();
    command.add_flag("--json", options->json, "Print the screen as one JSON object");
    command.add_option("rows", options->rows, "Rows to tap in turn: a label, SECTION/LABEL, #N or #S.N");
    command.footer("See docs/app.md for the screen's text and JSON forms.");
    return [options](const Context&) { return runShow(*options); };
}

const Registration registration{
    {"show", "Open the settings, tap rows in turn and print the screen", setUpShowCommand}};

}  // namespace

}  // namespace vx::cli
