#include "web_request.h"

#include <arpa/inet.h>

#include <cctype>
#include <nlohmann/json.hpp>

namespace vx::web {

namespace {

// Compares without leaking through timing how much of the token was right.
bool sameSecret(std::string_view given, std::string_view token) {
    unsigned char difference = given.size() == token.size() ? 0 : 1;
    for (std::size_t i = 0; i < token.size(); ++i) {
        difference |= static_cast<unsigned char>(token[i] ^ (i < given.size() ? given[i] : 0));
    }
    return difference == 0;
}

std::optional<std::string_view> cookieValue(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        const std::size_t end = header.find(';');
        std::string_view pair = header.substr(0, end);
        header = end == std::string_view::npos ? std::string_view{} : header.substr(end + 1);
        const std::size_t start = pair.find_first_not_of(' ');
        if (start == std::string_view::npos) continue;
        pair.remove_prefix(start);
        if (pair.size() > name.size() && pair.starts_with(name) && pair[name.size()] == '=') {
            return pair.substr(name.size() + 1);
        }
    }
    return std::nullopt;
}

Admission refusal(int status, std::string message) {
    return {Admission::Kind::Refuse, status, std::move(message)};
}

}  // namespace

RequestRules::RequestRules(std::string bind, int port, std::string token)
    : bracketedBind_(bind.find(':') != std::string::npos ? "[" + bind + "]" : std::move(bind)),
      port_(port),
      token_(std::move(token)) {}

std::string RequestRules::cookieName() const { return "veltrix_token_" + std::to_string(port_); }

std::string RequestRules::setCookieHeader() const {
    return cookieName() + "=" + token_ + "; HttpOnly; SameSite=Strict; Path=/";
}

bool RequestRules::hostIsOurs(std::string_view host) const {
    const std::string port = ":" + std::to_string(port_);
    for (const std::string& name : {bracketedBind_, std::string("localhost"), std::string("[::1]")}) {
        if (host == name + port) return true;
    }
    return false;
}

// A Bearer header wins over the cookie; an empty token counts as none.
std::optional<std::string> RequestRules::givenToken(const RequestFacts& request) const {
    if (request.authorization.starts_with("Bearer ")) {
        std::string_view bearer = request.authorization.substr(7);
        if (!bearer.empty()) return std::string(bearer);
        return std::nullopt;
    }
    if (auto cookie = cookieValue(request.cookies, cookieName()); cookie && !cookie->empty()) {
        return std::string(*cookie);
    }
    return std::nullopt;
}

Admission RequestRules::admit(const RequestFacts& request, bool admittedWithoutToken) const {
    if (!hostIsOurs(request.host)) {
        return refusal(403, "Forbidden: this server answers only to its own address");
    }
    if (request.method == "GET" && admittedWithoutToken) return {};
    if (request.path == "/" && request.tokenParam) {
        if (!sameSecret(*request.tokenParam, token_)) return refusal(403, "Forbidden: wrong token");
        return {Admission::Kind::SetCookie, 303, {}};
    }
    const std::optional<std::string> given = givenToken(request);
    if (!given) return refusal(403, "Forbidden: no token");
    if (!sameSecret(*given, token_)) return refusal(403, "Forbidden: wrong token");
    if (request.method == "POST" && request.origin &&
        *request.origin != "http://" + std::string(request.host)) {
        return refusal(403, "Forbidden: a request from another site");
    }
    return {};
}

Result<std::string> gestureLine(std::string_view body) {
    using nlohmann::json;
    json parsed;
    try {
        parsed = json::parse(body);
    } catch (const json::exception& error) {  // a syntax error, or a number out of range
        return fail(std::string("the body is not JSON: ") + error.what());
    }
    const auto line = parsed.is_object() ? parsed.find("line") : parsed.end();
    if (!parsed.is_object() || line == parsed.end() || !line->is_string()) {
        return fail("the body must be {\"line\": \"<one script line>\"}");
    }
    std::string text = line->get<std::string>();
    if (text.find_first_of("\r\n") != std::string::npos) {
        return fail("one script line, without line breaks");
    }
    return text;
}

std::string errorJson(std::string_view message, std::string_view screenJson) {
    std::string body = "{\"error\":" + nlohmann::json(message).dump(
                                           -1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!screenJson.empty()) body.append(",\"screen\":").append(screenJson);
    return body + "}";
}

bool validClientId(std::string_view id) {
    if (id.empty() || id.size() > 64) return false;
    for (char c : id) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
    }
    return true;
}

bool isLoopbackAddress(const std::string& address) {
    if (address == "localhost") return true;
    in_addr v4{};
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    return inet_pton(AF_INET6, address.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

}  // namespace vx::web
