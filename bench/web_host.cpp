// The web host over loopback HTTP, against the built program (`veltrix-settings serve`):
//
//   RootRoundTrip   2,000 gestures on the root page (the Enabled switch, on and off), each
//                   from request to response on one keep-alive connection: p50 and p99.
//                   Target: p99 <= 10 ms.
//   RootNoSave      the same with `keyboard show`/`keyboard hide`, which save nothing: what
//                   the server and the screen cost without the save's two fsyncs; and
//                   ThemesNoSave the same on the 1,000-theme list (500 gestures).
//   ThemesRoundTrip the same on a theme list of 1,000 themes (a theme tapped, so selected or
//                   deselected, and the list's 1,000 rows in the answer). Target: p99 <= 40 ms,
//                   and the server's resident memory <= 40 MB after the 2,000 gestures.
//   EightClients    8 clients x 500 random gestures at once: no crash, every answer valid
//                   JSON, and the preferences file parses after every save.
//
// Prints one table; the exit status is 1 when a target or a check fails.
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kToken = "bench-token";

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The demo device, plus `themes` plain themes in /Library/Themes.
fs::path makeDevice(const fs::path& base, int themes) {
    fs::path device = base / ("device-" + std::to_string(themes));
    fs::create_directories(base);
    fs::copy(fs::path(VX_SOURCE_DIR) / "examples" / "device", device, fs::copy_options::recursive);
    for (int i = 0; i < themes; ++i) {
        writeFile(vx::DeviceRoot::resolveIn(
                      device, "/Library/Themes/Theme " + std::to_string(i) + ".theme/Widget.html"),
                  "<html></html>");
    }
    const std::string init = std::string("'") + VX_PROGRAM + "' --root '" + device.string() +
                             "' init >/dev/null";
    if (std::system(init.c_str()) != 0) std::cerr << "init failed\n";
    return device;
}

struct Server {
    pid_t pid = -1;
    int port = 0;
};

// Starts `serve` and reads its address line (the child's standard output through a pipe).
Server startServer(const fs::path& device) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        if (std::freopen("/dev/null", "w", stderr) == nullptr) _exit(126);
        close(pipeFds[0]);
        execl(VX_PROGRAM, VX_PROGRAM, "--root", device.c_str(), "serve", "--token", kToken, nullptr);
        _exit(127);
    }
    close(pipeFds[1]);
    std::string line;
    char c = 0;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n') line += c;
    close(pipeFds[0]);
    const auto colon = line.rfind(':');
    return {pid, colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1)};
}

void stopServer(const Server& server) {
    kill(server.pid, SIGTERM);
    int status = 0;
    waitpid(server.pid, &status, 0);
}

double residentMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return -1;
}

httplib::Client client(int port) {
    httplib::Client http("127.0.0.1", port);
    http.set_keep_alive(true);
    http.set_tcp_nodelay(true);
    http.set_default_headers({{"Authorization", std::string("Bearer ") + kToken}});
    return http;
}

std::optional<nlohmann::json> gesture(httplib::Client& http, const std::string& line) {
    auto response = http.Post("/api/gesture", nlohmann::json{{"line", line}}.dump(), "application/json");
    if (!response) return std::nullopt;
    auto body = nlohmann::json::parse(response->body, nullptr, false);
    if (body.is_discarded() || !body.contains("screen")) return std::nullopt;
    return body;
}

struct Percentiles {
    double p50 = 0, p99 = 0;
};

Percentiles percentiles(std::vector<double> millis) {
    std::sort(millis.begin(), millis.end());
    return {millis[millis.size() / 2], millis[millis.size() * 99 / 100]};
}

// `count` gestures made by `next(i)`, each timed from request to response.
std::vector<double> timed(httplib::Client& http, int count, const std::function<std::string(int)>& next,
                          bool& ok) {
    std::vector<double> millis;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        ok = gesture(http, next(i)).has_value() && ok;
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return millis;
}

bool preferencesParse(const fs::path& device) {
    std::ifstream file(vx::DeviceRoot::resolveIn(device, vx::kPreferencesPath), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return vx::plist::parse(bytes.str()).ok();
}

}  // namespace

int main() {
    const fs::path base = fs::temp_directory_path() / ("vx-bench-web-" + std::to_string(getpid()));
    bool passed = true;
    std::printf("%-16s %10s %10s %10s %12s\n", "case", "p50 ms", "p99 ms", "target", "RSS MB");

    {
        const fs::path device = makeDevice(base, 0);
        const Server server = startServer(device);
        auto http = client(server.port);
        bool ok = true;
        auto root = percentiles(timed(
            http, 2000, [](int i) { return std::string("switch Enabled ") + (i % 2 ? "on" : "off"); },
            ok));
        std::printf("%-16s %10.2f %10.2f %10s %12.1f\n", "RootRoundTrip", root.p50, root.p99, "p99<=10",
                    residentMegabytes(server.pid));
        passed = passed && ok && root.p99 <= 10;
        // The same page with gestures that save nothing: the server's own share, without
        // the two fsyncs of each save.
        auto keyboard = percentiles(timed(
            http, 2000, [](int i) { return std::string("keyboard ") + (i % 2 ? "hide" : "show"); }, ok));
        std::printf("%-16s %10.2f %10.2f %10s %12.1f\n", "RootNoSave", keyboard.p50, keyboard.p99, "-",
                    residentMegabytes(server.pid));
        stopServer(server);
    }
    {
        const fs::path device = makeDevice(base, 1000);
        const Server server = startServer(device);
        auto http = client(server.port);
        bool ok = gesture(http, "tap Themes").has_value();
        auto themes = percentiles(timed(
            http, 2000, [](int i) { return "tap \"Theme " + std::to_string(i % 50 * 20) + "\""; }, ok));
        auto keyboard = percentiles(timed(
            http, 500, [](int i) { return std::string("keyboard ") + (i % 2 ? "hide" : "show"); }, ok));
        std::printf("%-16s %10.2f %10.2f %10s %12.1f\n", "ThemesNoSave", keyboard.p50, keyboard.p99, "-",
                    residentMegabytes(server.pid));
        const double rss = residentMegabytes(server.pid);
        std::printf("%-16s %10.2f %10.2f %10s %12.1f\n", "ThemesRoundTrip", themes.p50, themes.p99,
                    "p99<=40", rss);
        passed = passed && ok && themes.p99 <= 40 && rss <= 40;

        // Eight clients at once, each with its own connection and random gestures.
        const char* lines[] = {"tap Themes",        "back",
                               "tap \"Theme 3\"",   "tap \"Theme 7\"",
                               "switch Enabled on", "switch Enabled off",
                               "tap Battery",       "button Reorder",
                               "button Done",       "alert Reset",
                               "tap Nowhere",       "keyboard show",
                               "keyboard hide",     "show"};
        std::atomic<int> invalid{0}, unparsable{0}, answered{0};
        std::vector<std::thread> clients;
        clients.reserve(8);
        for (int c = 0; c < 8; ++c) {
            clients.emplace_back([&, c] {
                auto own = client(server.port);
                std::mt19937 random(c);
                for (int i = 0; i < 500; ++i) {
                    auto response = own.Post(
                        "/api/gesture",
                        nlohmann::json{{"line", lines[random() % std::size(lines)]}}.dump(),
                        "application/json");
                    if (!response ||
                        nlohmann::json::parse(response->body, nullptr, false).is_discarded())
                        ++invalid;
                    if (!preferencesParse(device)) ++unparsable;
                    ++answered;
                }
            });
        }
        const auto start = Clock::now();
        for (auto& thread : clients) thread.join();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const bool alive = kill(server.pid, 0) == 0;
        std::printf(
            "%-16s %d answers in %.1f s, %d invalid, %d unparsable reads, server %s, RSS %.1f MB\n",
            "EightClients", answered.load(), seconds, invalid.load(), unparsable.load(),
            alive ? "alive" : "GONE", residentMegabytes(server.pid));
        passed = passed && alive && invalid == 0 && unparsable == 0;
        stopServer(server);
    }
    std::error_code ignored;
    fs::remove_all(base, ignored);
    std::printf("%s\n", passed ? "all targets met" : "TARGET MISSED");
    return passed ? 0 : 1;
}
