#include "platform/foundation/device_root.h"

#include <vector>

namespace vx {

namespace {

std::filesystem::path& currentRoot() {
    static std::filesystem::path root = "/";
    return root;
}

std::vector<std::string> normalisedComponents(std::string_view devicePath) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= devicePath.size()) {
        std::size_t next = devicePath.find('/', pos);
        if (next == std::string_view::npos) next = devicePath.size();
        std::string_view part = devicePath.substr(pos, next - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        pos = next + 1;
    }
    if (!parts.empty() && parts.front() == "User") {
        parts.front() = "mobile";
        parts.insert(parts.begin(), "var");
    }
    return parts;
}

}  // namespace

void DeviceRoot::setCurrent(std::filesystem::path hostFolder) { currentRoot() = std::move(hostFolder); }

const std::filesystem::path& DeviceRoot::current() { return currentRoot(); }

std::filesystem::path DeviceRoot::resolve(std::string_view devicePath) {
    return resolveIn(currentRoot(), devicePath);
}

std::filesystem::path DeviceRoot::resolveIn(const std::filesystem::path& root,
                                            std::string_view devicePath) {
    std::filesystem::path result = root;
    for (const auto& part : normalisedComponents(devicePath)) result /= part;
    return result;
}

std::string DeviceRoot::normalise(std::string_view devicePath) {
    std::string result;
    for (const auto& part : normalisedComponents(devicePath)) result += "/" + part;
    return result.empty() ? "/" : result;
}

}  // namespace vx
