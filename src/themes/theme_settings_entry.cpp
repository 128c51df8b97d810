#include "themes/theme_settings_entry.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/foundation/files.h"
#include "platform/foundation/strings.h"
#include "platform/ui/view_controller.h"
#include "theme_editor/lock_theme_settings_controller.h"

namespace vx {
namespace {

constexpr std::array<std::string_view, 4> kScriptNameMarks{"sett", "setup", "config", "option"};

}  // namespace

bool isSettingsScriptName(std::string_view entry) {
    if (str::pathExtension(entry) != "js") return false;
    return std::any_of(kScriptNameMarks.begin(), kScriptNameMarks.end(),
                       [&](std::string_view mark) { return str::containsCaseInsensitive(entry, mark); });
}

std::optional<std::string> findSettingsScript(std::string_view folderPath) {
    std::vector<std::string> entries = files::contentsOfDirectoryAtPath(folderPath);
    std::sort(entries.begin(), entries.end());
    std::optional<std::string> script;
    for (std::string& entry : entries) {
        if (isSettingsScriptName(entry)) script = std::move(entry);
    }
    return script;
}

std::optional<ThemeSettingsFiles> findThemeSettings(std::string_view folderPath) {
    ThemeSettingsFiles found{std::string(folderPath), findSettingsScript(folderPath)};
    if (!found.scriptName &&
        !files::fileExistsAtPath(found.folderPath + "/" + std::string(kOptionsFileName)))
        return std::nullopt;
    return found;
}

std::shared_ptr<UIViewController> makeThemeSettingsEditor(const ThemeSettingsFiles& files) {
    return LockThemeSettingsController::initForContentSize(kThemeSettingsContentSize, files.folderPath,
                                                           files.scriptName);
}

void saveThemeSettingsEditor(UIViewController& editor) {
    if (auto* settings = dynamic_cast<LockThemeSettingsController*>(&editor))
        settings->writeAllThatData();
}

}  // namespace vx
