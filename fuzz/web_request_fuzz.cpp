// The web host's own request handling: the checks every request passes, a gesture's body,
// an error answer, and a theme file's path below its folder. The input is one field a line
// (method, path, Host, Authorization, Cookie, Origin, token), the rest is the body; an
// Origin or token line is present when it is not empty and then holds its value after the
// first byte.
#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "preview/theme_file_path.h"
#include "web_request.h"

namespace {

constexpr std::string_view kToken = "0123456789abcdef0123456789abcdef";
constexpr int kPort = 8080;
constexpr std::string_view kThemeFiles = "/theme-files/";

using vx::fuzz::require;

// Percent escapes decoded once, as a second, careless decoding would.
std::string decodedOnce(std::string_view text) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A path a theme may be served from stays below its folder even after another decoding.
void checkThemePath(std::string_view requested) {
    auto path = vx::preview::themeRelativePath(requested);
    if (!path) return;
    require(*path == requested && !path->empty() && path->front() != '/');
    const std::string again = decodedOnce(*path);
    require(again.find('\0') == std::string::npos && again.find('\\') == std::string::npos);
    std::size_t start = 0;
    while (start <= again.size()) {
        std::size_t end = std::min(again.find('/', start), again.size());
        const std::string_view component = std::string_view(again).substr(start, end - start);
        require(component != ".." && component != ".");
        start = end + 1;
    }
    require(decodedOnce(vx::preview::urlPath(*path)) == *path);
}

void checkAdmission(const vx::web::RequestRules& rules, const vx::web::RequestFacts& request,
                    const std::vector<std::string>& ours) {
    const bool admittedWithoutToken = request.path.starts_with(kThemeFiles);
    const vx::web::Admission admission = rules.admit(request, admittedWithoutToken);
    const bool hostOk = std::find(ours.begin(), ours.end(), request.host) != ours.end();
    using Kind = vx::web::Admission::Kind;
    if (admission.kind == Kind::Refuse) {
        require(admission.status == 403 && !admission.message.empty());
        return;
    }
    require(hostOk);
    if (admission.kind == Kind::SetCookie) {
        require(request.path == "/" && request.tokenParam && *request.tokenParam == kToken);
        return;
    }
    if (request.method == "GET" && admittedWithoutToken) return;
    require(!(request.path == "/" && request.tokenParam));
    const std::string cookie = rules.cookieName() + "=" + std::string(kToken);
    const bool bearer = request.authorization.starts_with("Bearer ");
    require(bearer ? request.authorization.substr(7) == kToken
                   : request.cookies.find(cookie) != std::string_view::npos);
    if (request.method == "POST" && request.origin)
        require(*request.origin == "http://" + std::string(request.host));
}

void checkBody(std::string_view body) {
    auto line = vx::web::gestureLine(body);
    if (line) require(line->find_first_of("\r\n") == std::string::npos);
    // The answer is JSON whatever the message holds.
    const std::string answer = vx::web::errorJson(line ? *line : line.error(), "{}");
    auto parsed = nlohmann::json::parse(answer, nullptr, false);
    require(!parsed.is_discarded() && parsed.contains("error") && parsed["screen"].is_object());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest = vx::fuzz::bytesOf(data, size);
    std::vector<std::string_view> fields;
    while (fields.size() < 7) {
        const std::size_t end = rest.find('\n');
        fields.push_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    auto optional = [](std::string_view field) {
        return field.empty() ? std::nullopt : std::optional<std::string_view>(field.substr(1));
    };
    const vx::web::RequestFacts request{fields[0], fields[1],           fields[2],          fields[3],
                                        fields[4], optional(fields[5]), optional(fields[6])};
    const std::string port = ":" + std::to_string(kPort);
    checkAdmission(vx::web::RequestRules("127.0.0.1", kPort, std::string(kToken)), request,
                   {"127.0.0.1" + port, "localhost" + port, "[::1]" + port});
    checkAdmission(vx::web::RequestRules("::1", kPort, std::string(kToken)), request,
                   {"localhost" + port, "[::1]" + port});
    if (request.path.starts_with(kThemeFiles)) checkThemePath(request.path.substr(kThemeFiles.size()));
    checkBody(rest);
    return 0;
}
