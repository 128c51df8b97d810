// veltrix-settings run [--json] SCRIPT|-: opens the root page and runs a script of gestures
// (src/app/script.h) against the device root, printing the screen at each `show`.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
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

// A script is a list of gestures; nothing near this size is one.
constexpr std::size_t kMaxScriptBytes = 16u * 1024u * 1024u;

// The whole script, from a file, a FIFO (which may block until its writer comes) or
// standard input ("-"), at most kMaxScriptBytes.
Result<std::string> readScript(const std::string& path) {
    int fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail("cannot read the script " + path + ": " + std::strerror(errno));
    struct stat info {};
    std::string reason;
    if (::fstat(fd, &info) != 0)
        reason = std::strerror(errno);
    else if (S_ISDIR(info.st_mode))
        reason = "it is a folder";
    std::string text;
    char buffer[64 * 1024];
    while (reason.empty()) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) reason = std::strerror(errno);
        if (got <= 0) break;
        if (text.size() + static_cast<std::size_t>(got) > kMaxScriptBytes)
            reason = "it is larger than " + std::to_string(kMaxScriptBytes / (1024 * 1024)) + " MiB";
        else
            text.append(buffer, static_cast<std::size_t>(got));
    }
    if (fd != STDIN_FILENO) ::close(fd);  // ignored: read-only
    if (!reason.empty()) return fail("cannot read the script " + path + ": " + reason);
    return text;
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
    command
        .add_option("script", options->script,
                    "The script file (at most 16 MiB), or - for standard input")
        ->required();
    command.footer(
        "One gesture per line: tap ROW | switch ROW on|off | slide ROW VALUE | type ROW TEXT | "
        "clear ROW | return | alert BUTTON | button TITLE | back | move FROM TO | keyboard show "
        "[HEIGHT] | "
        "keyboard hide | wait SECONDS | show. ROW: a label, SECTION/LABEL, #N or #S.N. See "
        "docs/app.md.");
    return [options](const Context&) { return runRun(*options); };
}

const Registration registration{
    {"run", "Run a script of gestures on the settings pages", setUpRunCommand}};

}  // namespace

}  // namespace vx::cli
