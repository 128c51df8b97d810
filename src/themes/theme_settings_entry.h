#pragma once
// The way from a theme into its settings editor: which JavaScript file of a theme folder is
// its settings script, whether the theme has anything to set, and the two points where the
// theme list meets the editor (building it, and having it store its values on "Done").
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/geometry.h"

namespace vx {

class UIViewController;

inline constexpr std::string_view kOptionsFileName = "Options.plist";
// The content size the editor is built for.
inline constexpr CGSize kThemeSettingsContentSize{320, 480};

// What the editor is opened with: the theme folder path as given, and the settings
// script's bare file name (nothing when the theme has none and only an options file).
struct ThemeSettingsFiles {
    std::string folderPath;
    std::optional<std::string> scriptName;
    bool operator==(const ThemeSettingsFiles&) const = default;
};

// A settings script's name: extension exactly "js", and "sett", "setup", "config" or
// "option" anywhere in the name, in any case.
bool isSettingsScriptName(std::string_view entry);
// The last qualifying direct entry of the folder, in byte order of the names (a folder
// that cannot be listed has none).
std::optional<std::string> findSettingsScript(std::string_view folderPath);
// The files to open the editor with, or nothing when the theme has neither a settings
// script nor "<folder>/Options.plist".
std::optional<ThemeSettingsFiles> findThemeSettings(std::string_view folderPath);

// initForContentSize:filePath:fileName: of the theme settings editor.
std::shared_ptr<UIViewController> makeThemeSettingsEditor(const ThemeSettingsFiles& files);
// writeAllThatData: the editor stores its values (nothing for another kind of page).
void saveThemeSettingsEditor(UIViewController& editor);

}  // namespace vx
