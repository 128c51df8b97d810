#pragma once
// NSBundle for a settings bundle at a device path: its resources and its localised strings
// tables ("<bundle>/<language>.lproj/<table>.strings"). Each table is read once per bundle
// object and kept; a missing or unreadable table has no translations.
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/foundation/strings_table.h"

namespace vx {

class Bundle {
public:
    explicit Bundle(std::string devicePath);
    // bundleWithPath: — nullptr when there is no folder at the path.
    static std::shared_ptr<Bundle> bundleWithPath(std::string_view devicePath);

    // The language whose tables are read first, process-wide ("en" unless set).
    static void setPreferredLanguage(std::string language);
    static std::string preferredLanguage();

    const std::string& bundlePath() const { return path_; }
    // The device path of "<name>.<ext>" (or "<name>" when ext is empty) in the bundle
    // itself, else in the preferred language's folder, else in "en.lproj".
    std::optional<std::string> pathForResource(std::string_view name, std::string_view ext) const;
    // The translation of `key` from `table` ("Localizable" when empty) in the preferred
    // language, else in "en"; else `value`, or `key` when `value` is empty.
    std::string localizedStringForKey(std::string_view key, std::string_view value,
                                      std::string_view table = {}) const;

private:
    const StringsTable& tableFor(const std::string& language, const std::string& table) const;
    std::vector<std::string> searchLanguages() const;

    std::string path_;
    mutable std::mutex mutex_;
    mutable std::map<std::pair<std::string, std::string>, StringsTable> tables_;
};

}  // namespace vx
