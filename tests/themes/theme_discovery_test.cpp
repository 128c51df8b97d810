// The scan of the theme folders, the folder switches, and the settings-script look-up.
#include "themes/theme_discovery.h"

#include "platform/foundation/log.h"

#include "themes/lock_theme_view_controller.h"
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

TEST_F(ThemeDiscoveryTest, SuffixesAreStrippedCaseSensitivelyAndOnlyTheLastExtension) {
    for (const auto& [entry, name] :
         std::vector<std::pair<std::string, std::string>>{{"Clock.theme", "Clock"},
                                                          {"Clock.veltrix", "Clock"},
                                                          {"Clock.bundle", "Clock"},
                                                          {"Clock.old.theme", "Clock.old"},
                                                          {"Clock.THEME", "Clock.THEME"},
                                                          {"Foo.zip", "Foo.zip"},
                                                          {"Clock", "Clock"}})
        EXPECT_EQ(themeNameForEntry(entry), name) << entry;

    addEntry("/var/mobile/Library/Veltrix", "Clock.theme");
    addEntry("/var/mobile/Library/Veltrix", "Plain", "LockBackground.html");
    // A name that is not text a property list can carry is not offered, and said once.
    addEntry("/var/mobile/Library/Veltrix", "Caf\xE9.theme");
    log::Capture capture;
    auto map = scan();
    EXPECT_EQ(capture.lines().size(), 1u);
    EXPECT_TRUE(capture.contains("Caf\uFFFD.theme is not listed"));
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(
        *map.find("Clock.theme"),
        plist::Value(themeRecord("Clock", "/var/mobile/Library/Veltrix/Clock.theme", "Widget.html")));
    EXPECT_EQ(*map.find("Plain"), plist::Value(themeRecord("Plain", "/var/mobile/Library/Veltrix/Plain",
                                                           "LockBackground.html")));
}

TEST_F(ThemeDiscoveryTest, LockBackgroundWinsAndOnlyTheWidgetsFolderMarksBareEntriesAsPlugins) {
    addEntry("/Library/Themes", "Both.theme", "LockBackground.html");
    addEntry("/Library/Themes", "Both.theme", "Widget.html");
    addEntry("/Library/Themes", "Foo.zip", "readme.txt");
    addEntry("/Library/Widgets", "Foo.zip", "readme.txt");
    root_.writeFile("/Library/Widgets/loose-file", "not a folder");
    auto map = scan();
    EXPECT_EQ(*map.find("Both.theme"),
              plist::Value(themeRecord("Both", "/Library/Themes/Both.theme", "LockBackground.html")));
    // The entry of /Library/Themes is no theme; the one of /Library/Widgets is a plugin.
    EXPECT_EQ(*map.find("Foo.zip"),
              plist::Value(themeRecord("Foo.zip", "/Library/Widgets/Foo.zip", "Plugin")));
    EXPECT_EQ(*map.find("loose-file"),
              plist::Value(themeRecord("loose-file", "/Library/Widgets/loose-file", "Plugin")));
    EXPECT_EQ(map.size(), 3u);
}

TEST_F(ThemeDiscoveryTest, TheLaterFolderWinsAndRowsComeInByteOrderOfEntryNames) {
    addEntry("/var/mobile/Library/Veltrix", "Clock.theme");
    addEntry("/Library/Themes", "Clock.theme", "LockBackground.html");
    addEntry("/var/mobile/Library/GroovyLock", "Alpha");
    addEntry("/Library/Widgets", "zeta.bundle");
    addEntry("/var/mobile/Library/Tandrel", "Clock.veltrix");
    auto map = scan();
    EXPECT_EQ(map.keys(),
              (std::vector<std::string>{"Alpha", "Clock.theme", "Clock.veltrix", "zeta.bundle"}));
    EXPECT_EQ(*map.find("Clock.theme"),
              plist::Value(themeRecord("Clock", "/Library/Themes/Clock.theme", "LockBackground.html")));

    auto page = LockThemeViewController::initForContentSize({320, 480});
    EXPECT_EQ(labels(*page->tblView()), (std::vector<std::string>{"Alpha", "Clock", "Clock", "zeta"}));
}

TEST_F(ThemeDiscoveryTest, FolderSwitchesLeaveFoldersOutAndVeltrixThemesGovernsTwo) {
    addEntry("/Library/Widgets", "W");
    addEntry("/var/mobile/Library/Veltrix", "V");
    addEntry("/var/mobile/Library/Tandrel", "T");
    addEntry("/Library/Themes", "L");
    addEntry("/var/mobile/Library/iWidgets", "I");
    addEntry("/var/mobile/Library/GroovyLock", "G");
    EXPECT_EQ(scan().keys(), (std::vector<std::string>{"G", "I", "L", "T", "V", "W"}));

    writePreferences({{"veltrixThemes", true}, {"tandrelThemes", false}});
    EXPECT_EQ(scan().keys(), (std::vector<std::string>{"G", "I", "L", "T"}));

    // A string that reads as true switches too; values that read as false do not.
    writePreferences(
        {{"winterboardThemes", "YES"}, {"iwidgetThemes", 0}, {"groovyThemes", plist::Array{}}});
    EXPECT_EQ(scan().keys(), (std::vector<std::string>{"G", "I", "T", "V", "W"}));

    writePreferences({{"veltrixThemes", true},
                      {"tandrelThemes", true},
                      {"winterboardThemes", true},
                      {"iwidgetThemes", true},
                      {"groovyThemes", true}});
    EXPECT_TRUE(scan().empty());
    auto page = LockThemeViewController::initForContentSize({320, 480});
    EXPECT_EQ(page->numberOfSectionsInTableView(*page->tblView()), 1);
    EXPECT_EQ(page->tblView()->numberOfRowsInSection(0), 0);
}

TEST_F(ThemeDiscoveryTest, TheSettingsScriptIsTheLastQualifyingJsFile) {
    for (const char* script : {"config.js", "MySETTINGS.js", "Options.js", "setup.js"})
        EXPECT_TRUE(isSettingsScriptName(script)) << script;
    // The extension test is case-sensitive.
    for (const char* other : {"Setup.JS", "settings.js.bak", "main.js"})
        EXPECT_FALSE(isSettingsScriptName(other)) << other;

    const std::string theme = "/var/mobile/Library/Veltrix/Clock.theme";
    root_.writeFile(theme + "/main.js", "");
    root_.writeFile(theme + "/config.js", "");
    EXPECT_EQ(findThemeSettings(theme), (ThemeSettingsFiles{theme, "config.js"}));

    root_.writeFile(theme + "/Settings.js", "");
    root_.writeFile(theme + "/options.js", "");
    EXPECT_EQ(findSettingsScript(theme), "options.js");  // "Settings.js" sorts before it

    const std::string bare = "/Library/Themes/Bare.theme";
    root_.writeFile(bare + "/Setup.JS", "");
    root_.writeFile(bare + "/settings.js.bak", "");
    EXPECT_EQ(findThemeSettings(bare), std::nullopt);
    root_.writeFile(bare + "/Options.plist", "<plist><array/></plist>");
    EXPECT_EQ(findThemeSettings(bare), (ThemeSettingsFiles{bare, std::nullopt}));
    EXPECT_EQ(findThemeSettings("/no/such/folder"), std::nullopt);
}

}  // namespace
}  // namespace vx
