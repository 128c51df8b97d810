// The lock-screen preview in the web host (docs/preview.md): the page at /preview, its
// events at /preview/events, the wallpaper, and the selected themes' files at
// /theme-files/<record id>/<path>. Everything passes the host's checks; a theme file also
// passes without the token when its record id is one the preview handed out, because a
// theme's sandboxed frame has an opaque origin and its requests carry no cookie.
#include <atomic>
#include <chrono>
#include <memory>
#include <regex>
#include <thread>

#include "preview/preview_service.h"
#include "web_host.h"

namespace vx::web {

namespace {

constexpr const char* kPreviewPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; connect-src 'self'; "
    "frame-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'self'";
// A theme is a web page of its own: inline scripts and styles, its own files, nothing from
// elsewhere, no requests of its own, and an opaque origin even when opened on its own.
constexpr const char* kThemePolicy =
    "sandbox allow-scripts; default-src 'self' data: blob: 'unsafe-inline' 'unsafe-eval'; connect-src "
    "'none'; "
    "form-action 'none'; frame-ancestors 'self'";
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr auto kKeepAlive = std::chrono::seconds(2);
constexpr int kMaxPreviewStreams = 8;
const std::regex kThemeFileAddress(R"(^/theme-files/([0-9a-f]{32})/(.+)$)");

void reply(httplib::Response& response, const preview::Reply& answer) {
    response.status = answer.status;
    response.set_content(answer.body, answer.contentType.c_str());
}

// One open preview page: the newest model it was sent, and when anything was last sent.
struct PreviewStream {
    std::string sent;
    std::chrono::steady_clock::time_point lastWrite{};
};

void addPreviewRoutes(WebHost& host) {
    auto service = std::make_shared<preview::PreviewService>();
    auto openStreams = std::make_shared<std::atomic<int>>(0);

    host.admitWithoutToken([service](const std::string& path) {
        std::smatch match;
        return std::regex_match(path, match, kThemeFileAddress) && service->isShownTheme(match[1].str());
    });

    host.get("/preview", [service](const httplib::Request&, httplib::Response& response) {
        response.set_content(service->page("/preview/events"), "text/html; charset=utf-8");
        response.set_header("Content-Security-Policy", kPreviewPolicy);
    });

    host.get(std::string(preview::kWallpaperAddress),
             [service](const httplib::Request&, httplib::Response& response) {
                 reply(response, service->wallpaper());
             });

    host.get(R"(/theme-files/([0-9a-f]{32})/(.+))",
             [service](const httplib::Request& request, httplib::Response& response) {
                 reply(response, service->themeFile(request.matches[1].str(), request.matches[2].str()));
                 response.set_header("Content-Security-Policy", kThemePolicy);
             });

    host.get("/preview/events",
             [service, openStreams](const httplib::Request&, httplib::Response& response) {
                 if (++*openStreams > kMaxPreviewStreams) {
                     --*openStreams;
                     response.status = 503;
                     response.set_content("too many open previews\n", "text/plain; charset=utf-8");
                     return;
                 }
                 auto stream = std::make_shared<PreviewStream>();
                 response.set_header("X-Accel-Buffering", "no");
                 response.set_chunked_content_provider(
                     "text/event-stream",
                     [service, stream](std::size_t, httplib::DataSink& sink) {
                         const auto now = std::chrono::steady_clock::now();
                         std::string model = service->modelJson();
                         if (model != stream->sent) {
                             const std::string event = "event: preview\ndata: " + model + "\n\n";
                             stream->sent = std::move(model);
                             stream->lastWrite = now;
                             return sink.write(event.data(), event.size());
                         }
                         if (now - stream->lastWrite >= kKeepAlive) {
                             stream->lastWrite = now;
                             static constexpr std::string_view kComment = ": keep-alive\n\n";
                             if (!sink.write(kComment.data(), kComment.size())) return false;
                         }
                         std::this_thread::sleep_for(kPollInterval);
                         return true;
                     },
                     [openStreams](bool) { --*openStreams; });
             });
}

const RouteRegistration registration{addPreviewRoutes};

}  // namespace

}  // namespace vx::web
