// The lock-screen preview's assembly: which frames, in which order, where, with which
// document, and which theme-file paths are served.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/foundation/bundle.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_value.h"
#include "platform/foundation/preferences_store.h"
#include "preview/lock_screen_preview.h"
#include "preview/preview_service.h"
#include "preview/theme_file_path.h"
#include "support/temp_dir.h"

namespace vx::preview {
namespace {

namespace fs = std::filesystem;

plist::Dictionary record(std::string name, std::string path, std::string html) {
    return plist::Dictionary{
        {"name", std::move(name)}, {"path", std::move(path)}, {"html", std::move(html)}};
}

class Preview : public ::testing::Test {
protected:
    Preview() {
        root.writeFile("/Library/Themes/Clock.theme/LockBackground.html", "<html><head></head></html>");
        root.writeFile("/var/mobile/Library/Veltrix/Battery.theme/Widget.html", "<p>battery</p>");
        root.writeFile("/var/mobile/Library/Preferences/Stray.theme/Widget.html", "<p>stray</p>");
    }
    LockScreenPreview assemble(const plist::Dictionary& preferences) {
        return assembleLockScreenPreview(&preferences, ids);
    }

    test::ScopedDeviceRoot root;
    RecordIds ids{[next = 0]() mutable { return "id" + std::to_string(++next); }};
};

TEST_F(Preview, FramesComeInStoredOrderWithKindsPositionsAndOptions) {
    const plist::Dictionary clock = record("Clock", "/Library/Themes/Clock.theme",
                                           "LockBackground.html");
    plist::Dictionary preferences{
        {"ThemesSelected",
         plist::Array{
             clock, record("Battery", "/User/Library/Veltrix/Battery.theme", "Widget.html"),
             record("Shortcuts", "/Library/Widgets/Shortcuts", "Plugin"),
             record("Gone", "/Library/Themes/Gone.theme", "Widget.html"),
             record("Stray", "/var/mobile/Library/Preferences/Stray.theme", "Widget.html"),
             record("Sneaky", "/Library/Themes/Clock.theme", "../Clock.theme/LockBackground.html"),
             plist::Value("not a record"), clock}},
        {"WidgetCoordinates",
         plist::Dictionary{{"Clock", plist::Dictionary{{"widgetX", "12.5px"}, {"widgetY", -40}}},
                           {"Shortcuts", plist::Dictionary{{"widgetY", "7"}}},
                           {"Gone", "not an entry"}}},
        {"widgetX", "3"},
        {"widgetY", 4},
        {"ThemeOptions", plist::Dictionary{{"/Library/Themes/Clock.theme",
                                            plist::Array{"var a = \"x\" ;", 5, "var b = true;"}}}}};

    const LockScreenPreview preview = assemble(preferences);

    using K = FrameKind;
    const std::tuple<std::string, FrameKind, WidgetPoint> expected[] = {
        {"Clock", K::Theme, {12.5, -40}}, {"Battery", K::Theme, {3, 4}},
        {"Shortcuts", K::Plugin, {0, 7}}, {"Gone", K::Missing, {3, 4}},
        {"Stray", K::Missing, {3, 4}},    {"Sneaky", K::Missing, {3, 4}},
        {"Clock", K::Theme, {12.5, -40}},
    };
    ASSERT_EQ(preview.frames.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const PreviewFrame& frame = preview.frames[i];
        EXPECT_EQ(std::tie(frame.name, frame.kind, frame.position), expected[i]) << i;
        EXPECT_EQ(frame.kind == FrameKind::Theme, frame.note.empty()) << i;
    }
    EXPECT_EQ(preview.frames[0].optionLines,
              (std::vector<std::string>{"var a = \"x\" ;", "var b = true;"}));
    EXPECT_TRUE(preview.frames[1].optionLines.empty());
    EXPECT_EQ(preview.frames[0].recordId, preview.frames[6].recordId);
    EXPECT_NE(preview.frames[0].key, preview.frames[6].key);
    EXPECT_FALSE(preview.hasWallpaper);
    EXPECT_EQ(themeFrameWithId(preview, preview.frames[1].recordId), &preview.frames[1]);
    EXPECT_EQ(themeFrameWithId(preview, preview.frames[2].recordId), nullptr);

    Bundle::setPreferredLanguage("de");
    EXPECT_EQ(assemble(preferences).frames[2].note, "Widget-Plug-in: nicht in der Vorschau");
    Bundle::setPreferredLanguage("en");

    EXPECT_EQ(widgetPosition(nullptr, "Clock"), (WidgetPoint{0, 0}));
    EXPECT_TRUE(assembleLockScreenPreview(nullptr, ids).frames.empty());
}

TEST(PreviewInjection, TheBlockGoesWhereTheParserOpensTheHead) {
    const struct {
        const char* document;
        const char* expected;
    } cases[] = {
        {"<html><HEAD lang=\"a>b\"><title>t</title>", "<html><HEAD lang=\"a>b\">#<title>t</title>"},
        {"<!doctype html>\n<!-- <head> --><html><body>x",
         "<!doctype html>\n<!-- <head> --><html>#<body>x"},
        {"<?xml version=\"1.0\"?><script>go()</script><head>",
         "<?xml version=\"1.0\"?>#<script>go()</script><head>"},
        {"<header>h</header>", "#<header>h</header>"},
        {"plain text", "#plain text"},
        {"  <html>", "  <html>#"},
        {"", "#"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(injectAtStartOfHead(c.document, "#"), c.expected) << c.document;

    EXPECT_EQ(scriptSafe("a </SCRIPT b <!-- c \xE2\x80\xA9 </scrip"),
              "a <\\/SCRIPT b <\\!-- c \\u2029 </scrip");
    EXPECT_EQ(injectedBlock({}, ""), "<meta charset=\"utf-8\">");
    EXPECT_EQ(injectedBlock({}, "a\"b"), "<meta charset=\"utf-8\"><base href=\"a&quot;b\">");
}

TEST(PreviewPaths, OnlyPlainPathsBelowTheFolderPass) {
    for (const char* good : {"Widget.html", "img/bg.png", "a b/c%20d.css", ".hidden", "x..y"})
        EXPECT_EQ(themeRelativePath(good), std::optional<std::string>(good)) << good;
    const std::string nul("a\0b", 3);
    const std::string longName(256, 'a');
    const std::string longPath(kMaxThemePathBytes + 1, 'a');
    std::string deep;
    for (std::size_t i = 0; i <= kMaxThemePathComponents; ++i) deep += "d/";
    deep += "f";
    for (const std::string& bad : std::vector<std::string>{
             "", "..", "../x", "a/../../x", "a/./b", "/etc/passwd", "a//b", "a/", "%2e%2e/x", "%2E./x",
             "a%2fb", "a%5Cb", "a%00", "..\\x", "a\nb", nul, longName, longPath, deep})
        EXPECT_FALSE(themeRelativePath(bad)) << bad;

    EXPECT_EQ(contentTypeForPath("a/B.PNG"), "image/png");
    EXPECT_EQ(contentTypeForPath("Widget.html"), "text/html; charset=utf-8");
    EXPECT_EQ(contentTypeForPath("dir.js/noext"), "application/octet-stream");
    EXPECT_EQ(urlPath("a b/ü?.html"), "a%20b/%C3%BC%3F.html");
}

// The service reads the preferences file; the document carries the options as one safe
// script at the start of its head, and no file is read through a link or outside the folder.
TEST_F(Preview, TheServiceServesOnlyTheShownThemesFilesByTheirIds) {
    root.writeFile(
        "/Library/Themes/Clock.theme/LockBackground.html",
        "<!DOCTYPE html><html><head><title>Caf\xE9</title><script>run()</script></head></html>");
    root.writeFile("/Library/Themes/Clock.theme/img/bg.png", "png");
    root.writeFile("/Library/Themes/Other.theme/secret.txt", "secret");
    const fs::path clock = root.host("/Library/Themes/Clock.theme");
    fs::create_symlink("../Other.theme/secret.txt", clock / "sibling.txt");
    fs::create_symlink("/var/mobile/Library/Preferences", clock / "prefs");
    fs::create_symlink("/", clock / "root");
    fs::create_symlink(root.host("/Library/Themes/Other.theme"), clock / "hostlink");
    fs::create_directory(clock / "folder");
    const std::vector<std::string> options{"var a = \"</script><script>alert(1)</script>\" ;",
                                           "var b = \"<!--<script>\" ;", "var c = \"\xE2\x80\xA8\" ;"};
    root.writeFile(
        kPreferencesPath,
        plist::writeXml(plist::Value(plist::Dictionary{
            {"ThemesSelected",
             plist::Array{record("Clock", "/Library/Themes/Clock.theme", "LockBackground.html"),
                          record("Shortcuts", "/Library/Widgets/Shortcuts", "Plugin")}},
            {"ThemeOptions", plist::Dictionary{{"/Library/Themes/Clock.theme",
                                                plist::Array(options.begin(), options.end())}}}})));
    clearPlistCache();
    PreviewService service;
    const nlohmann::json model = nlohmann::json::parse(service.modelJson());
    const std::string src = model["frames"][0]["src"];
    ASSERT_EQ(src.rfind("/theme-files/", 0), 0u) << src;
    const std::string id = src.substr(13, 32);
    EXPECT_EQ(src.substr(45), "/LockBackground.html?v=" + optionsVersion(options));
    EXPECT_TRUE(service.isShownTheme(id));
    EXPECT_FALSE(service.isShownTheme(std::string(32, '0')));

    const Reply document = service.themeFile(id, "LockBackground.html");
    EXPECT_EQ(document.contentType, "text/html; charset=utf-8");
    EXPECT_EQ(document.body,
              "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><base href=\"/theme-files/" + id +
                  "/\"><script>\n"
                  "var a = \"<\\/script><script>alert(1)<\\/script>\" ;\n"
                  "var b = \"<\\!--<script>\" ;\n"
                  "var c = \"\\u2028\" ;\n"
                  "</script><title>Caf\xC3\xA9</title><script>run()</script></head></html>");
    EXPECT_EQ(service.themeFile(id, "img/bg.png").body, "png");
    for (const char* refused :
         {"sibling.txt", "prefs/com.corvane.veltrix.plist", "root/etc/hostname", "hostlink/secret.txt",
          "../Other.theme/secret.txt", "folder", "missing.png"})
        EXPECT_EQ(service.themeFile(id, refused).status, 404) << refused;
    EXPECT_EQ(service.themeFile(std::string(32, '0'), "img/bg.png").status, 404);
    EXPECT_EQ(service.wallpaper().status, 404);
    root.writeFile(std::string(kWallpaperFolder) + "/" + std::string(kWallpaperFile), "jpeg");
    EXPECT_EQ(service.wallpaper().body, "jpeg");
    EXPECT_FALSE(nlohmann::json::parse(service.modelJson())["wallpaper"].is_null());
}

// The page itself (its script, the frames' sandbox) is checked in the browser.
TEST(PreviewPage, TheModelCannotEndItsDataBlock) {
    const std::string page = previewPageHtml({{"name", "</script><script>alert(1)//"}},
                                             PageOptions{"/preview/", "/events"});
    EXPECT_EQ(page.find("</script><script>alert"), std::string::npos);
    EXPECT_NE(page.find("\\u003c/script>\\u003cscript>alert(1)//"), std::string::npos);
}

}  // namespace
}  // namespace vx::preview
