// veltrix-settings serve [--port N] [--bind ADDR] [--token T]: the settings pages as a local
// web page (tools/web_host.h, docs/web.md). Runs until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "cli.h"
#include "platform/foundation/bundle.h"
#include "web_host.h"

namespace vx::cli {

namespace {

struct ServeOptions {
    int port = 0;
    std::string bind = "127.0.0.1";
    std::string token;
};

bool validToken(const std::string& token) {
    if (token.size() > 256) return false;
    for (char c : token) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.' && c != '~')
            return false;
    }
    return true;
}

int runServe(const ServeOptions& options) {
    if (!validToken(options.token)) {
        std::cerr << "--token: at most 256 letters, digits, '-', '_', '.' or '~'\n";
        return kExitUsage;
    }
    // The signals are taken by one waiting thread, never by the server's threads.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGUSR1);  // sent by this program itself once the server has ended
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a page closed mid-answer is a failed write, not a death

    auto host = web::WebHost::create(
        {options.bind, options.port, options.token, Bundle::preferredLanguage()});
    if (!host) return reportFailure(host.error());
    if (auto bound = (*host)->bind(); !bound) return reportFailure(bound.error());
    if (!web::isLoopbackAddress(options.bind)) {
        std::cerr << "veltrix-settings: warning: listening on " << options.bind
                  << ", not a loopback address: anyone who has the token can change the settings\n";
    }

    std::atomic<bool> served{false};
    std::thread waiter([&] {
        for (int signalNumber = 0; !served;) {
            sigwait(&stopSignals, &signalNumber);
            if (signalNumber == SIGUSR1) continue;
            std::cerr << "veltrix-settings: stopping\n";
            (*host)->stop();
            return;
        }
    });
    std::cout << "Serving " << (*host)->address() << "?token=" << (*host)->token() << std::endl;
    (*host)->serve();
    served = true;
    pthread_kill(waiter.native_handle(), SIGUSR1);  // wakes the waiter when the server ended by itself
    waiter.join();
    return kExitOk;
}

Action setUpServeCommand(CLI::App& command) {
    auto options = std::make_shared<ServeOptions>();
    command.add_option("--port", options->port, "Port to listen on; 0 (the default) takes a free one")
        ->check(CLI::Range(0, 65535));
    command.add_option("--bind", options->bind,
                       "Address to listen on (default 127.0.0.1). Another than a loopback address lets "
                       "anyone on the network who has the token change the settings");
    command.add_option("--token", options->token, "The access token (default: a random 128-bit one)");
    command.footer(
        "Prints `Serving http://ADDR:PORT/?token=TOKEN` once it accepts connections, then logs to "
        "standard "
        "error; stops on SIGINT or SIGTERM after the request in flight. See docs/web.md.");
    return [options](const Context&) { return runServe(*options); };
}

const Registration registration{
    {"serve", "Serve the settings pages as a local web page", setUpServeCommand}};

}  // namespace

}  // namespace vx::cli
