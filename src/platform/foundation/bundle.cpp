#include "platform/foundation/bundle.h"

#include <vector>

#include "platform/foundation/device_root.h"
#include "platform/foundation/files.h"

namespace vx {

namespace {

constexpr std::string_view kDevelopmentLanguage = "en";
constexpr std::string_view kDefaultTable = "Localizable";

std::mutex& languageMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& preferred() {
    static std::string language(kDevelopmentLanguage);
    return language;
}

}  // namespace

Bundle::Bundle(std::string devicePath) : path_(DeviceRoot::normalise(devicePath)) {}

std::shared_ptr<Bundle> Bundle::bundleWithPath(std::string_view devicePath) {
    if (!files::isDirectory(devicePath)) return nullptr;
    return std::make_shared<Bundle>(std::string(devicePath));
}

void Bundle::setPreferredLanguage(std::string language) {
    std::lock_guard lock(languageMutex());
    preferred() = language.empty() ? std::string(kDevelopmentLanguage) : std::move(language);
}

std::string Bundle::preferredLanguage() {
    std::lock_guard lock(languageMutex());
    return preferred();
}

std::vector<std::string> Bundle::searchLanguages() const {
    std::vector<std::string> languages{preferredLanguage()};
    if (languages.front() != kDevelopmentLanguage) languages.emplace_back(kDevelopmentLanguage);
    return languages;
}

std::optional<std::string> Bundle::pathForResource(std::string_view name, std::string_view ext) const {
    if (name.empty()) return std::nullopt;
    std::string file(name);
    if (!ext.empty()) file += "." + std::string(ext);
    std::vector<std::string> candidates{path_ + "/" + file};
    for (const auto& language : searchLanguages()) {
        std::string candidate = path_ + "/";
        candidate.append(language).append(".lproj/").append(file);
        candidates.push_back(std::move(candidate));
    }
    for (const auto& candidate : candidates)
        if (files::fileExistsAtPath(candidate)) return candidate;
    return std::nullopt;
}

const StringsTable& Bundle::tableFor(const std::string& language, const std::string& table) const {
    auto key = std::make_pair(language, table);
    auto found = tables_.find(key);
    if (found != tables_.end()) return found->second;
    // ignored: a missing or broken table means no translations (reader logs the reason)
    auto loaded = readStringsTable(path_ + "/" + language + ".lproj/" + table + ".strings");
    return tables_.emplace(std::move(key), loaded ? std::move(loaded.value()) : StringsTable{})
        .first->second;
}

std::string Bundle::localizedStringForKey(std::string_view key, std::string_view value,
                                          std::string_view table) const {
    std::string tableName(table.empty() ? kDefaultTable : table);
    std::string keyText(key);
    {
        std::lock_guard lock(mutex_);
        for (const auto& language : searchLanguages()) {
            const StringsTable& strings = tableFor(language, tableName);
            auto found = strings.find(keyText);
            if (found != strings.end()) return found->second;
        }
    }
    return std::string(value.empty() ? key : value);
}

}  // namespace vx
