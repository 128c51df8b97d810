// The scan of the theme folders, the folder switches, and the settings-script look-up.
#include "themes/theme_discovery.h"

#include <array>

#include "platform/foundation/log.h"
#include "themes/theme_settings_entry.h"
#include "themes_fixture.h"

namespace vx {
namespace {

using test::themeRecord;

class ThemeDiscoveryTest : public test::ThemesFixture {
protected:
    plist::Dictionary scan() const {
        return scanThemeFolders(enabledThemeFolders(readPreferencesCached().get()));
    }
};

TEST(ThemeName, OnlyTheLastOfTheKnownSuffixesIsStrippedCaseSensitively) {
    const std::pair<const char*, const char*> cases[] = {
        {"Clock.theme", "Clock"}, {"Clock.veltrix", "Clock"},     {"Clock.bundle", "Clock"},
        {"A.old.theme", "A.old"}, {"Clock.THEME", "Clock.THEME"}, {"Foo.zip", "Foo.zip"}};
    for (const auto& [entry, name] : cases) EXPECT_EQ(themeNameForEntry(entry), name) << entry;
}

// Entries in byte order of their names; for an entry name in two folders the later folder
// wins; LockBackground.html before Widget.html; a bare entry is a plugin only in /Library/Widgets.
TEST_F(ThemeDiscoveryTest, TheScanGivesOneRecordPerEntryName) {
    addEntry("/var/mobile/Library/Veltrix", "Clock.theme");
    addEntry("/Library/Themes", "Clock.theme", "LockBackground.html");
    addEntry("/Library/Themes", "Both.theme", "LockBackground.html");
    addEntry("/Library/Themes", "Both.theme", "Widget.html");
    addEntry("/Library/Widgets", "Foo.zip", "readme.txt");
    addEntry("/Library/Themes", "Foo.zip", "readme.txt");
    root_.writeFile("/Library/Widgets/loose", "not a folder");
    addEntry("/var/mobile/Library/Veltrix", "Plain", "LockBackground.html");
    addEntry("/var/mobile/Library/GroovyLock", "Alpha");
    addEntry("/var/mobile/Library/Tandrel", "Clock.veltrix");
    addEntry("/Library/Widgets", "zeta.bundle");
    // A name that is not text a property list can carry is not offered, and said once.
    addEntry("/var/mobile/Library/Veltrix", "Caf\xE9.theme");
    const std::vector<std::array<const char*, 3>> expected{
        {"Alpha", "/var/mobile/Library/GroovyLock/Alpha", "Widget.html"},
        {"Both", "/Library/Themes/Both.theme", "LockBackground.html"},
        {"Clock", "/Library/Themes/Clock.theme", "LockBackground.html"},
        {"Clock", "/var/mobile/Library/Tandrel/Clock.veltrix", "Widget.html"},
        {"Foo.zip", "/Library/Widgets/Foo.zip", "Plugin"},
        {"Plain", "/var/mobile/Library/Veltrix/Plain", "LockBackground.html"},
        {"loose", "/Library/Widgets/loose", "Plugin"},
        {"zeta", "/Library/Widgets/zeta.bundle", "Widget.html"}};
    log::Capture capture;
    plist::Array records;
    for (const auto& [entry, record] : scan()) records.push_back(record);
    EXPECT_EQ(capture.lines().size(), 1u);
    EXPECT_TRUE(capture.contains("Caf\uFFFD.theme is not listed"));
    plist::Array wanted;
    for (const auto& [name, path, html] : expected) wanted.push_back(themeRecord(name, path, html));
    EXPECT_EQ(records, wanted);
}

TEST_F(ThemeDiscoveryTest, FolderSwitchesLeaveFoldersOutAndVeltrixThemesGovernsTwo) {
    for (const char* folder :
         {"/Library/Widgets/W", "/var/mobile/Library/Veltrix/V", "/var/mobile/Library/Tandrel/T",
          "/Library/Themes/L", "/var/mobile/Library/iWidgets/I", "/var/mobile/Library/GroovyLock/G"})
        root_.writeFile(std::string(folder) + "/Widget.html", "");
    const std::vector<std::pair<plist::Dictionary, std::vector<std::string>>> cases{
        {{}, {"G", "I", "L", "T", "V", "W"}},
        {{{"veltrixThemes", true}, {"tandrelThemes", false}}, {"G", "I", "L", "T"}},
        // A string that reads as true switches too; values that read as false do not.
        {{{"winterboardThemes", "YES"}, {"iwidgetThemes", 0}, {"groovyThemes", plist::Array{}}},
         {"G", "I", "T", "V", "W"}},
        {{{"veltrixThemes", 1},
          {"tandrelThemes", 1},
          {"winterboardThemes", 1},
          {"iwidgetThemes", 1},
          {"groovyThemes", 1}},
         {}}};
    for (const auto& [preferences, keys] : cases) {
        writePreferences(preferences);
        EXPECT_EQ(scan().keys(), keys);
    }
}

// (Which script a theme's editor opens on is checked with the theme list.)
TEST(SettingsScript, NamesAJsFileWithAMark) {
    for (const char* script : {"config.js", "MySETTINGS.js", "Options.js", "setup.js"})
        EXPECT_TRUE(isSettingsScriptName(script)) << script;
    // The extension test is case-sensitive; "set" alone is no mark.
    for (const char* other : {"Setup.JS", "settings.js.bak", "main.js", "reset.js"})
        EXPECT_FALSE(isSettingsScriptName(other)) << other;
}

}  // namespace
}  // namespace vx
