#pragma once
// What the web host decides about a request before any route sees it, and how it reads a
// gesture's body: plain functions over the parts of the request they read, so that they are
// checked (and fuzzed, fuzz/web_request_fuzz.cpp) without a server. docs/web.md lists the
// rules.
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/result.h"

namespace vx::web {

// The parts of a request the checks read; an absent header is empty.
struct RequestFacts {
    std::string_view method;
    std::string_view path;  // decoded, without the query
    std::string_view host;
    std::string_view authorization;
    std::string_view cookies;
    std::optional<std::string_view> origin;      // when the header is present
    std::optional<std::string_view> tokenParam;  // the query's "token", when present
};

// Through to the route; refused with a status and a message; or, for the first page load
// with the right token in the address, the cookie is set and the page sent on to "/".
struct Admission {
    enum class Kind { Pass, Refuse, SetCookie };
    Kind kind = Kind::Pass;
    int status = 0;
    std::string message;
};

class RequestRules {
public:
    // `bind` is the address the server listens on, `port` its port (known once bound).
    RequestRules(std::string bind, int port, std::string token);

    // `admittedWithoutToken`: a route admits this GET path without the token (the Host
    // check still applies).
    Admission admit(const RequestFacts& request, bool admittedWithoutToken) const;
    // The cookie carries the port: cookies do not tell ports apart.
    std::string cookieName() const;
    std::string setCookieHeader() const;

private:
    bool hostIsOurs(std::string_view host) const;
    std::optional<std::string> givenToken(const RequestFacts& request) const;

    std::string bracketedBind_;  // an IPv6 address in brackets, as a Host header writes it
    int port_;
    std::string token_;
};

// The line of a gesture body {"line": "<one script line>"}, or why the body is refused.
Result<std::string> gestureLine(std::string_view body);

// {"error": MESSAGE} for an answer, with "screen": SCREEN (a JSON object) when one is given;
// bytes of the message that are not UTF-8 become U+FFFD.
std::string errorJson(std::string_view message, std::string_view screenJson = {});

// A client id as the page makes it: 1 to 64 letters, digits or '-'.
bool validClientId(std::string_view id);

// Whether an address is a loopback one: 127.0.0.0/8, ::1 or "localhost".
bool isLoopbackAddress(const std::string& address);

}  // namespace vx::web
