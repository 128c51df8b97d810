#pragma once
// The web host: one SettingsApplication behind a local HTTP server (docs/web.md).
//
// Every request passes the same checks before any route sees it: the Host header names this
// server (DNS rebinding), the token comes as the page's cookie or a Bearer header, a POST's
// Origin (when present) is the page's own, and bodies are capped. Every response carries the
// security headers. Gestures and every other use of the application run one at a time under
// one lock, in arrival order.
//
// More routes join behind the same checks from their own file, with one static
// registration that is called once the host exists and before it accepts connections:
//
//     static const vx::web::RouteRegistration previewRoutes{[](vx::web::WebHost& host) {
//         host.get("/preview", [&host](const httplib::Request&, httplib::Response& response) {
//             host.withApplication([&](vx::SettingsApplication& app) { ... });
//             response.set_content(html, "text/html; charset=utf-8");
//         });
//     }};
//
// A route may set its own Content-Security-Policy; the default one is added otherwise.
#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/settings_application.h"
#include "platform/foundation/result.h"
#include "web_request.h"

namespace vx::web {

struct HostOptions {
    std::string bind = "127.0.0.1";
    int port = 0;                 // 0: any free port
    std::string token;            // empty: a random 128-bit token
    std::string language = "en";  // the page's own words
};

// Fans screen changes out to the open event streams. A change made by a client's own
// gesture is not sent back to that client (its response carries the screen).
class ScreenBroadcaster;

class WebHost {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    static constexpr std::size_t kMaxBodyBytes = 64 * 1024;
    static constexpr std::size_t kMaxEventStreams = 32;

    // Opens the root page of the bundle under the current device root.
    static Result<std::unique_ptr<WebHost>> create(HostOptions options);
    ~WebHost();
    WebHost(const WebHost&) = delete;
    WebHost& operator=(const WebHost&) = delete;

    // Routes behind the checks; `pattern` is a regular expression over the path, as in
    // cpp-httplib (captures are in request.matches).
    void get(const std::string& pattern, Handler handler);
    void post(const std::string& pattern, Handler handler);
    // GET requests for a path that `admits` accepts pass without the token (the Host check
    // still applies): for addresses that are capabilities themselves, handed out only behind
    // the token, such as the files of a theme by their unguessable record id. Call before
    // serving.
    void admitWithoutToken(std::function<bool(const std::string& path)> admits);

    // Runs `use` on the application while no gesture or clock tick runs.
    void withApplication(const std::function<void(SettingsApplication&)>& use);
    // Tells the open pages about the screen if it changed since they were last told
    // (call after changing the application outside a gesture).
    void publishScreenIfChanged();

    // Binds; the address is known afterwards. Fails when the address cannot be bound.
    Result<void> bind();
    std::string address() const;  // "http://127.0.0.1:PORT/"
    const std::string& token() const { return options_.token; }
    int port() const { return port_; }
    // Serves until stop(); returns after the requests in flight have finished.
    void serve();
    // Safe from any thread.
    void stop();

private:
    explicit WebHost(HostOptions options);
    struct Application;

    void installChecks();
    void installRoutes();
    void followClockAndFile();

    HostOptions options_;
    int port_ = 0;
    httplib::Server server_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<ScreenBroadcaster> broadcaster_;
    std::optional<RequestRules> rules_;  // once bound: the checks know the port
    std::vector<std::function<bool(const std::string&)>> admittedWithoutToken_;
    std::atomic<bool> stopping_{false};
    std::mutex tickMutex_;
    std::condition_variable tickWake_;
    std::thread ticker_;
};

// One static object per file that adds routes (see the top of this file).
struct RouteRegistration {
    explicit RouteRegistration(std::function<void(WebHost&)> addRoutes);
};

}  // namespace vx::web
