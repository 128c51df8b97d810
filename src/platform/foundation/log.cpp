#include "platform/foundation/log.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace vx::log {

namespace {

std::mutex& logMutex() {
    static std::mutex m;
    return m;
}
std::string& programName() {
    static std::string name = "veltrix-settings";
    return name;
}
Capture*& activeCapture() {
    static Capture* capture = nullptr;
    return capture;
}

std::string timestamp() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
                  1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    char result[80];
    std::snprintf(result, sizeof result, "%s.%03d", buffer, static_cast<int>(millis));
    return result;
}

}  // namespace

void setProgramName(std::string name) {
    std::lock_guard lock(logMutex());
    programName() = std::move(name);
}

void write(std::string_view message) {
    std::lock_guard lock(logMutex());
    if (Capture* capture = activeCapture()) {
        capture->lines_.emplace_back(message);
        return;
    }
    std::string line = timestamp() + " " + programName() + "[" + std::to_string(getpid()) + "] ";
    line.append(message);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
}

Capture::Capture() {
    std::lock_guard lock(logMutex());
    previous_ = activeCapture();
    activeCapture() = this;
}

Capture::~Capture() {
    std::lock_guard lock(logMutex());
    activeCapture() = previous_;
}

std::vector<std::string> Capture::lines() const {
    std::lock_guard lock(logMutex());
    return lines_;
}

bool Capture::contains(std::string_view fragment) const {
    std::lock_guard lock(logMutex());
    for (const auto& line : lines_)
        if (line.find(fragment) != std::string::npos) return true;
    return false;
}

void Capture::clear() {
    std::lock_guard lock(logMutex());
    lines_.clear();
}

Error failAndLog(std::string reason) {
    write(reason);
    return fail(std::move(reason));
}

}  // namespace vx::log
