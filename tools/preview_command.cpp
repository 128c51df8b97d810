// veltrix-settings preview (--html DIR | --png FILE [--width W --height H]): the lock-screen
// preview of the stored settings, as a folder any browser opens or as a PNG drawn by headless
// Chromium from that folder.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

#include "cli.h"
#include "platform/ui/screen.h"
#include "preview/preview_folder.h"

extern char** environ;

namespace vx::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultChromium = "/usr/bin/chromium";
constexpr std::chrono::seconds kChromiumDeadline{90};

struct PreviewOptions {
    std::string html;
    std::string png;
    int width = 0;
    int height = 0;
};

// The browser to draw with: $VELTRIX_CHROMIUM when set, else Debian's chromium.
std::string chromiumPath() {
    if (const char* chosen = std::getenv("VELTRIX_CHROMIUM"); chosen && *chosen) return chosen;
    return kDefaultChromium;
}

// A fresh private folder under the temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "veltrix-preview-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code error;
        if (!path_.empty()) fs::remove_all(path_, error);  // ignored: a leftover temporary folder
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    bool valid() const { return !path_.empty(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Runs the browser with its output going to `log`; the exit status, or -1 when it could not
// start or ran past the deadline (then it is killed).
int runBrowser(const std::vector<std::string>& arguments, const fs::path& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + kChromiumDeadline;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string lastLines(const fs::path& log) {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::string tail;
    for (std::size_t i = lines.size() > 5 ? lines.size() - 5 : 0; i < lines.size(); ++i)
        tail += "\n  " + lines[i];
    return tail;
}

int writePng(const PreviewOptions& options) {
    const std::string browser = chromiumPath();
    if (::access(browser.c_str(), X_OK) != 0)
        return reportFailure("preview --png needs Chromium, and " + browser +
                             " is missing (install the chromium package, or set VELTRIX_CHROMIUM)");
    ScratchFolder pages;
    ScratchFolder profile;
    if (!pages.valid() || !profile.valid()) return reportFailure("cannot create a temporary folder");
    if (auto written = preview::writePreviewFolder(pages.path() / "preview"); !written)
        return reportFailure(written.error());

    std::error_code error;
    const fs::path target = fs::absolute(options.png, error);
    fs::remove(target, error);  // ignored: a missing file is what we want; a failure shows below
    const std::vector<std::string> arguments{
        browser,
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--disable-quic",
        "--no-first-run",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--hide-scrollbars",
        "--force-device-scale-factor=1",
        "--virtual-time-budget=3000",
        "--user-data-dir=" + profile.path().string(),
        "--window-size=" + std::to_string(options.width) + "," + std::to_string(options.height),
        "--screenshot=" + target.string(),
        "file://" + (pages.path() / "preview" / "index.html").string()};
    const fs::path log = profile.path() / "chromium.log";
    const int status = runBrowser(arguments, log);
    if (status != 0 || !fs::is_regular_file(target, error))
        return reportFailure("Chromium did not write " + target.string() +
                             (status < 0 ? " (it did not start or did not finish in time)" : "") +
                             lastLines(log));
    std::cerr << "veltrix-settings: wrote " << target.string() << " (" << options.width << "x"
              << options.height << ")\n";
    return kExitOk;
}

int runPreview(const PreviewOptions& options) {
    if (!options.html.empty()) {
        if (auto written = preview::writePreviewFolder(options.html); !written)
            return reportFailure(written.error());
        std::cerr << "veltrix-settings: wrote " << (fs::path(options.html) / "index.html").string()
                  << "\n";
        return kExitOk;
    }
    return writePng(options);
}

Action setUpPreviewCommand(CLI::App& command) {
    auto options = std::make_shared<PreviewOptions>();
    const CGSize screen = UIScreen::mainScreen().bounds().size;
    options->width = static_cast<int>(screen.width);
    options->height = static_cast<int>(screen.height);
    CLI::Option* html = command.add_option(
        "--html", options->html,
        "Write the preview as a folder (index.html and copies of the "
        "selected themes' files); a new, empty or earlier preview folder");
    CLI::Option* png = command.add_option("--png", options->png,
                                          "Draw the preview into a PNG file with headless Chromium");
    html->type_name("DIR")->excludes(png);
    png->type_name("FILE");
    command.add_option("--width", options->width, "Width of the PNG in pixels")
        ->type_name("W")
        ->capture_default_str()
        ->check(CLI::Range(16, 8192))
        ->needs(png);
    command.add_option("--height", options->height, "Height of the PNG in pixels")
        ->type_name("H")
        ->capture_default_str()
        ->check(CLI::Range(16, 8192))
        ->needs(png);
    command.footer(
        "One of --html or --png is needed. The lock screen is the toolkit's screen (320 x 568 points), "
        "scaled to fit the PNG. See docs/preview.md.");
    return [options, html, png](const Context&) {
        if (html->count() == 0 && png->count() == 0) {
            std::cerr << "preview: give --html DIR or --png FILE (see --help)\n";
            return kExitUsage;
        }
        return runPreview(*options);
    };
}

const Registration registration{{"preview",
                                 "Show the lock screen the stored settings make, as a folder or a PNG",
                                 setUpPreviewCommand}};

}  // namespace

}  // namespace vx::cli
