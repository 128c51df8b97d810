#include "web_host.h"

#include <poll.h>
#include <sys/random.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "app/script.h"
#include "app_session.h"
#include "embedded_files.h"
#include "platform/darwin/darwin_notify.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/root_jail.h"
#include "web_request.h"

namespace vx::web {

namespace {

constexpr auto kStreamKeepAlive = std::chrono::seconds(15);
constexpr int kTickMilliseconds = 200;
constexpr std::size_t kRequestThreads = 16;
constexpr const char* kClientHeader = "X-Veltrix-Client";
constexpr const char* kContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "connect-src 'self'; frame-src 'self'; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'";

std::vector<std::function<void(WebHost&)>>& routeTable() {
    static std::vector<std::function<void(WebHost&)>> table;
    return table;
}

std::string randomToken() {
    unsigned char bytes[16];
    std::size_t filled = 0;
    while (filled < sizeof bytes) {
        const ssize_t got = getrandom(bytes + filled, sizeof bytes - filled, 0);
        if (got > 0) filled += static_cast<std::size_t>(got);
    }
    static const char digits[] = "0123456789abcdef";
    std::string token;
    for (unsigned char byte : bytes) {
        token += digits[byte >> 4];
        token += digits[byte & 15];
    }
    return token;
}

// What identifies one version of the preferences file: a writer that posts nothing still
// replaces the file (a new inode) or changes its size or times.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

// Through the root jail, as the file is read: nothing on the way resolves out of the root.
FileIdentity preferencesIdentity() {
    auto info = jail::stat(kPreferencesPath);
    if (!info) return {};
    return {info->st_dev, info->st_ino, info->st_size, info->st_mtim, info->st_ctim};
}

// The change notifications the bundle's rows post, from the specifier files it carries.
std::set<std::string> postedNotificationNames() {
    std::set<std::string> names;
    std::function<void(const plist::Value&)> collect = [&](const plist::Value& value) {
        if (const auto* array = value.asArray()) {
            for (const auto& item : *array) collect(item);
        } else if (const auto* dictionary = value.asDictionary()) {
            for (const auto& [key, item] : *dictionary) {
                if (key == "PostNotification" && item.isString()) names.insert(item.string());
                collect(item);
            }
        }
    };
    for (const auto& resource : cli::bundleResources()) {
        if (!resource.path.ends_with(".plist")) continue;
        if (auto parsed = plist::parse(resource.bytes)) collect(*parsed);
    }
    return names;
}

double wallClockNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void refuse(httplib::Response& response, int status, const std::string& message) {
    response.status = status;
    response.set_header("Connection", "close");
    response.set_content(message + "\n", "text/plain; charset=utf-8");
}

const char* contentTypeOf(std::string_view path) {
    if (path.ends_with(".html")) return "text/html; charset=utf-8";
    if (path.ends_with(".css")) return "text/css; charset=utf-8";
    if (path.ends_with(".js")) return "text/javascript; charset=utf-8";
    if (path.ends_with(".svg")) return "image/svg+xml";
    return "application/octet-stream";
}

std::string regexEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

RouteRegistration::RouteRegistration(std::function<void(WebHost&)> addRoutes) {
    routeTable().push_back(std::move(addRoutes));
}

// ---- Screen changes to the open event streams

class ScreenBroadcaster {
public:
    struct Stream {
        std::string client;
        std::optional<std::string> pending;  // the newest screen this stream has not sent
    };

    std::shared_ptr<Stream> open(std::string client, std::string screen) {
        std::lock_guard lock(mutex_);
        if (streams_.size() >= WebHost::kMaxEventStreams) return nullptr;
        auto stream = std::make_shared<Stream>(Stream{std::move(client), std::move(screen)});
        streams_.push_back(stream);
        return stream;
    }

    void close(const std::shared_ptr<Stream>& stream) {
        std::lock_guard lock(mutex_);
        std::erase(streams_, stream);
    }

    // The origin's own stream gets nothing and forgets what it had not sent yet: the
    // gesture's response carries a newer screen.
    void publish(const std::string& screen, const std::string& origin) {
        {
            std::lock_guard lock(mutex_);
            for (auto& stream : streams_) {
                if (!origin.empty() && stream->client == origin) {
                    stream->pending.reset();
                } else {
                    stream->pending = screen;
                }
            }
        }
        wake_.notify_all();
    }

    // The next screen for the stream; nothing after `timeout`; `closed` once shutting down.
    std::optional<std::string> next(Stream& stream, std::chrono::seconds timeout, bool& closed) {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, timeout, [&] { return closing_ || stream.pending.has_value(); });
        closed = closing_;
        std::optional<std::string> screen;
        screen.swap(stream.pending);
        return screen;
    }

    void shutDown() {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        wake_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::shared_ptr<Stream>> streams_;
    bool closing_ = false;
};

// ---- The one application, used under one lock

struct WebHost::Application {
    std::mutex lock;
    SettingsApplication app;
    Screen published;
    FileIdentity seenFile;
    std::unique_ptr<darwin::Listener> listener;

    // A change of the preferences file by someone else: the visible page shows it.
    bool catchUpWithFile() {
        FileIdentity now = preferencesIdentity();
        if (now == seenFile) return false;
        seenFile = now;
        app.refreshAfterOutsideChange();
        return true;
    }
};

WebHost::WebHost(HostOptions options)
    : options_(std::move(options)),
      app_(std::make_unique<Application>()),
      broadcaster_(std::make_unique<ScreenBroadcaster>()) {}

WebHost::~WebHost() {
    stop();
    if (ticker_.joinable()) ticker_.join();
}

Result<std::unique_ptr<WebHost>> WebHost::create(HostOptions options) {
    if (options.token.empty()) options.token = randomToken();
    std::unique_ptr<WebHost> host(new WebHost(std::move(options)));
    if (auto opened = cli::openRootPage(host->app_->app); !opened) return fail(opened.error());
    host->app_->published = host->app_->app.screen();
    host->app_->seenFile = preferencesIdentity();
    if (auto listener = darwin::Listener::create(postedNotificationNames())) {
        host->app_->listener = std::move(*listener);
    } else {
        // ignored: the file's identity is checked on every tick anyway, only a little later.
        std::cerr << "veltrix-settings: not listening for change notifications: " << listener.error()
                  << "\n";
    }
    host->installChecks();
    host->installRoutes();
    for (const auto& addRoutes : routeTable()) addRoutes(*host);
    return host;
}

void WebHost::get(const std::string& pattern, Handler handler) {
    server_.Get(pattern, std::move(handler));
}

// The body is read here, capped: a chunked body carries no length that the server could
// refuse up front.
void WebHost::post(const std::string& pattern, Handler handler) {
    server_.Post(pattern, [handler = std::move(handler)](const httplib::Request& request,
                                                         httplib::Response& response,
                                                         const httplib::ContentReader& reader) {
        httplib::Request read = request;
        bool tooLarge = false;
        reader([&](const char* data, std::size_t length) {
            tooLarge = read.body.size() + length > kMaxBodyBytes;
            if (!tooLarge) read.body.append(data, length);
            return !tooLarge;
        });
        if (tooLarge) {
            refuse(response, 413,
                   "Payload Too Large: at most " + std::to_string(kMaxBodyBytes) + " bytes");
            return;
        }
        handler(read, response);
    });
}

void WebHost::admitWithoutToken(std::function<bool(const std::string& path)> admits) {
    admittedWithoutToken_.push_back(std::move(admits));
}

void WebHost::withApplication(const std::function<void(SettingsApplication&)>& use) {
    std::lock_guard lock(app_->lock);
    use(app_->app);
}

void WebHost::publishScreenIfChanged() {
    std::lock_guard lock(app_->lock);
    Screen screen = app_->app.screen();
    if (screen == app_->published) return;
    app_->published = screen;
    broadcaster_->publish(toJsonLine(screen), "");
}

void WebHost::installChecks() {
    server_.set_payload_max_length(kMaxBodyBytes);
    server_.set_tcp_nodelay(true);  // an answer goes out in two writes; no waiting for an ACK
    server_.set_keep_alive_max_count(100000);
    server_.new_task_queue = [] { return new httplib::ThreadPool(kMaxEventStreams + kRequestThreads); };

    server_.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            const std::string host = request.get_header_value("Host");
            const std::string authorization = request.get_header_value("Authorization");
            const std::string cookies = request.get_header_value("Cookie");
            const std::string origin = request.get_header_value("Origin");
            const std::string token = request.get_param_value("token");
            RequestFacts facts{request.method, request.path, host,        authorization,
                               cookies,        std::nullopt, std::nullopt};
            if (request.has_header("Origin")) facts.origin = origin;
            if (request.has_param("token")) facts.tokenParam = token;
            bool admitted = false;
            if (request.method == "GET") {
                for (const auto& admits : admittedWithoutToken_)
                    admitted = admitted || admits(request.path);
            }
            const Admission admission = rules_->admit(facts, admitted);
            switch (admission.kind) {
                case Admission::Kind::Pass: return httplib::Server::HandlerResponse::Unhandled;
                case Admission::Kind::Refuse:
                    refuse(response, admission.status, admission.message);
                    break;
                case Admission::Kind::SetCookie:
                    response.status = admission.status;
                    response.set_header("Location", "/");
                    response.set_header("Set-Cookie", rules_->setCookieHeader());
                    break;
            }
            return httplib::Server::HandlerResponse::Handled;
        });

    server_.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) {
            response.set_content(std::to_string(response.status) + "\n", "text/plain; charset=utf-8");
        }
    });

    server_.set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.has_header("Content-Security-Policy")) {
            response.set_header("Content-Security-Policy", kContentSecurityPolicy);
        }
        response.set_header("X-Content-Type-Options", "nosniff");
        response.set_header("Referrer-Policy", "no-referrer");
        if (!response.has_header("Cache-Control")) response.set_header("Cache-Control", "no-store");
    });

    server_.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        // One write per line: requests are answered on several threads.
        std::cerr << ("veltrix-settings: " + request.method + " " + request.path + " " +
                      std::to_string(response.status) + "\n");
    });
}

void WebHost::installRoutes() {
    for (const auto& asset : webAssets()) {
        const bool page = asset.path == "index.html";
        const std::string pattern = page ? "/" : "/" + regexEscaped(asset.path);
        std::string bytes(asset.bytes);
        if (page) {
            // The page's own words follow the language the settings are shown in.
            const auto at = bytes.find("lang=\"en\"");
            if (at != std::string::npos) bytes.replace(at, 9, "lang=\"" + options_.language + "\"");
        }
        const std::string type = contentTypeOf(asset.path);
        server_.Get(pattern, [bytes, type](const httplib::Request&, httplib::Response& response) {
            response.set_content(bytes, type.c_str());
        });
    }

    server_.Get("/api/screen", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard lock(app_->lock);
        response.set_content(toJsonLine(app_->app.screen()), "application/json");
    });

    post("/api/gesture", [this](const httplib::Request& request, httplib::Response& response) {
        auto line = gestureLine(request.body);
        if (!line) {
            response.status = 400;
            response.set_content(errorJson(line.error()), "application/json");
            return;
        }
        std::string client = request.get_header_value(kClientHeader);
        if (!validClientId(client)) client.clear();

        std::lock_guard lock(app_->lock);
        app_->catchUpWithFile();
        Result<void> done;
        if (auto script = parseScript(*line); !script) {
            done = fail(script.error());
        } else {
            std::ostringstream discarded;  // `show` prints nothing here: the response is the screen
            done = runScript(app_->app, *script, discarded);  // a failed save fails it, as in `run`
        }
        app_->seenFile = preferencesIdentity();  // this gesture's own save is no outside change
        Screen screen = app_->app.screen();
        const std::string screenJson = toJsonLine(screen);
        if (!(screen == app_->published)) {
            app_->published = std::move(screen);
            broadcaster_->publish(screenJson, client);
        }
        if (done) {
            response.set_content("{\"screen\":" + screenJson + "}", "application/json");
        } else {
            response.status = 422;
            response.set_content(errorJson(done.error(), screenJson), "application/json");
        }
    });

    server_.Get("/api/events", [this](const httplib::Request& request, httplib::Response& response) {
        std::string client = request.get_param_value("client");
        if (!validClientId(client)) client.clear();
        std::string screen;
        withApplication([&](SettingsApplication& app) { screen = toJsonLine(app.screen()); });
        auto stream = broadcaster_->open(client, screen);
        if (!stream) {
            response.status = 503;
            response.set_content("too many open pages\n", "text/plain; charset=utf-8");
            return;
        }
        response.set_header("X-Accel-Buffering", "no");
        response.set_chunked_content_provider(
            "text/event-stream",
            [this, stream](std::size_t, httplib::DataSink& sink) {
                bool closed = false;
                auto next = broadcaster_->next(*stream, kStreamKeepAlive, closed);
                if (closed) {
                    sink.done();
                    return true;
                }
                const std::string event = next ? "event: screen\ndata: " + *next + "\n\n"
                                               : ": keep-alive\n\n";
                return sink.write(event.data(), event.size());
            },
            [this, stream](bool) { broadcaster_->close(stream); });
    });
}

Result<void> WebHost::bind() {
    if (options_.port == 0) {
        port_ = server_.bind_to_any_port(options_.bind);
    } else {
        port_ = server_.bind_to_port(options_.bind, options_.port) ? options_.port : -1;
    }
    if (port_ <= 0) {
        return fail("cannot listen on " + options_.bind +
                    (options_.port ? ":" + std::to_string(options_.port) : "") + ": " +
                    std::strerror(errno));
    }
    rules_.emplace(options_.bind, port_, options_.token);
    return {};
}

std::string WebHost::address() const {
    const std::string host = options_.bind.find(':') != std::string::npos ? "[" + options_.bind + "]"
                                                                          : options_.bind;
    return "http://" + host + ":" + std::to_string(port_) + "/";
}

void WebHost::followClockAndFile() {
    std::lock_guard lock(app_->lock);
    const bool ran = app_->app.followClock(wallClockNow());
    const bool changed = app_->catchUpWithFile();
    if (!ran && !changed) return;
    Screen screen = app_->app.screen();
    if (screen == app_->published) return;
    app_->published = screen;
    broadcaster_->publish(toJsonLine(screen), "");
}

void WebHost::serve() {
    ticker_ = std::thread([this] {
        while (!stopping_) {
            if (app_->listener) {
                pollfd wait{app_->listener->fd(), POLLIN, 0};
                if (poll(&wait, 1, kTickMilliseconds) > 0) {
                    (void)
                        app_->listener->takePending();  // ignored: the file's identity says what changed
                }
            } else {
                std::unique_lock lock(tickMutex_);
                tickWake_.wait_for(lock, std::chrono::milliseconds(kTickMilliseconds),
                                   [this] { return stopping_.load(); });
            }
            if (!stopping_) followClockAndFile();
        }
    });
    if (!stopping_) server_.listen_after_bind();  // a stop before listening would be lost
    stop();
    if (ticker_.joinable()) ticker_.join();
}

void WebHost::stop() {
    stopping_ = true;
    tickWake_.notify_all();
    broadcaster_->shutDown();
    server_.stop();
}

}  // namespace vx::web
