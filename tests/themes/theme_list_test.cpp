// The theme list: check marks, the selection toggle, the reset offer and its answer, the
// removal of records no row produces, wrong-typed values, the settings editor it opens, the
// theme order page behind "Reorder", and a long list that reads the file once per load.
#include <algorithm>
#include <ctime>

#include "platform/foundation/log.h"
#include "platform/ui/navigation_controller.h"
#include "theme_editor/lock_theme_settings_controller.h"
#include "themes/lock_theme_order_view_controller.h"
#include "themes/lock_theme_view_controller.h"
#include "themes_fixture.h"

namespace vx {
namespace {

using test::clock;
using test::moon;
using test::otherClock;
using test::themeRecord;

constexpr std::string_view kVeltrix = "/var/mobile/Library/Veltrix";
constexpr std::string_view kThemes = "/Library/Themes";

class ThemeListTest : public test::ThemesFixture {
protected:
    ThemeListTest() {
        addEntry(kVeltrix, "Clock.theme");
        addEntry(kThemes, "Clock.veltrix", "LockBackground.html");
        addEntry(kThemes, "Moon.theme");
    }
    // Rows: 0 "Clock" (Clock.theme), 1 "Clock" (Clock.veltrix), 2 "Moon".

    std::shared_ptr<LockThemeViewController> open() {
        page_ = LockThemeViewController::initForContentSize({320, 480});
        page_->tblView()->reloadData();
        return page_;
    }
    void tap(int row) { ASSERT_TRUE(page_->tblView()->userTapRow({0, row})); }
    std::shared_ptr<LockThemeViewController> page_;
};

TEST_F(ThemeListTest, TapsToggleWholeRecordsAndKeepEverythingElseInTheFile) {
    using File = std::optional<plist::Dictionary>;  // nothing: no preferences file
    using D = plist::Dictionary;
    // Records no row produces: a folder gone, an entry shadowed by the later folder's entry
    // of the same name, and the listed theme's path with an html changed in place.
    const D gone = themeRecord("Moon", "/var/mobile/Library/Tandrel/Moon.theme", "Widget.html");
    const D shadowed = themeRecord("Moon", "/var/mobile/Library/Veltrix/Moon.theme", "Widget.html");
    const D changed = themeRecord("Moon", "/Library/Themes/Moon.theme", "LockBackground.html");
    const D sun = themeRecord("Sun", "/Library/Themes/Sun.theme", "Widget.html");
    const D pathOnly{{"path", "/x"}};
    const plist::Value moonAt3(D{{"Moon", D{{"widgetX", 3}}}});
    const D twice{{"ThemesSelected", plist::Array{moon(), "junk", 7, moon(), pathOnly}}};
    const D wrongTypes{{"ThemesSelected", "x"}, {"WidgetCoordinates", plist::Array{1}}, {"o", 1}};
    const D wrongEntry{{"WidgetCoordinates", D{{"Moon", "not an entry"}}}};
    const D orphans{{"ThemesSelected", plist::Array{gone, clock(), shadowed, moon(), changed, sun}},
                    {"WidgetCoordinates", moonAt3}};
    const D plain{{"ThemesSelected", plist::Array{clock()}}, {"WidgetCoordinates", moonAt3}};
    struct Case {
        const char* name;
        File file;
        std::string taps, marks;  // rows tapped; "x" for a row with a check mark
        plist::Array selected;
        bool alert = false;
    };
    const Case cases[] = {
        {"without a file a tap creates it", std::nullopt, "2", "--x", {moon()}},
        {"a second tap leaves an empty list", D{{"lockNote", "keep"}}, "22", "---", {}},
        // The stored "Clock" is listed (row 0): a tap on row 1 appends its own record, and a
        // tap on row 0 removes only row 0's.
        {"names share the mark, records are apart", std::nullopt, "010", "xx-", {otherClock()}},
        {"equal records go, non-records stay", twice, "2", "---", {"junk", 7, pathOnly}},
        // Coordinates of the wrong type read as 0: no alert.
        {"wrong types read as absent", wrongTypes, "0", "xx-", {clock()}},
        {"wrong-typed coordinates entry", wrongEntry, "2", "--x", {moon()}},
        // A checked row's tap removes its record and every orphan of its name (not of other
        // names); the mark the user saw goes away and nothing a selection offers comes up.
        {"orphans go with the record", orphans, "2", "xx-", {clock(), sun}},
        {"then a plain selection", plain, "2", "xxx", {clock(), moon()}, true},
    };
    addEntry(kVeltrix, "Moon.theme");  // shadowed by /Library/Themes' entry of that name
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(root_.host(kPreferencesPath));
        UIApplication::sharedApplication().reset();
        if (c.file) writePreferences(*c.file);
        open();
        for (char row : c.taps) tap(row - '0');
        EXPECT_EQ(checks(*page_->tblView()), c.marks);
        EXPECT_EQ(bool(frontAlert()), c.alert);
        EXPECT_FALSE(page_->presentedViewController() || page_->tblView()->indexPathForSelectedRow());
        // The list is replaced; every other key stays as it was.
        plist::Dictionary expected = c.file.value_or(plist::Dictionary());
        expected.set("ThemesSelected", plist::Value(c.selected));
        EXPECT_EQ(preferences(), expected);
    }
}

TEST_F(ThemeListTest, NonZeroCoordinatesOfANewSelectionOfferTheReset) {
    plist::Dictionary coordinates{{"Moon", plist::Dictionary{{"widgetX", "0"}, {"widgetY", "12"}}},
                                  {"Clock", plist::Dictionary{{"widgetX", "abc"}, {"widgetY", ""}}}};
    writePreferences({{"WidgetCoordinates", coordinates}, {"widgetX", 5}});
    open();
    tap(0);  // "abc" and "" read as 0
    tap(0);  // deselecting never offers it
    EXPECT_FALSE(frontAlert());
    tap(2);
    auto alert = frontAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "Would you like to reset the Widget Coordinates");
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Reset", "Cancel"}));
    EXPECT_EQ(*preferences().find("ThemesSelected"),
              plist::Value(plist::Array{moon()}));  // stored at once
    const std::string before = root_.readFile(kPreferencesPath);
    ASSERT_TRUE(alert->userPressButtonAtIndex(1));  // Cancel writes nothing
    EXPECT_EQ(root_.readFile(kPreferencesPath), before);

    tap(2);
    tap(2);  // deselect and select again: offered again; Reset zeroes the global pair
    ASSERT_TRUE(frontAlert());
    std::filesystem::remove(root_.host(kPreferencesPath));  // and creates a missing file
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_EQ(preferences(), (plist::Dictionary{{"widgetX", 0}, {"widgetY", 0}}));
    EXPECT_TRUE(preferences().find("widgetX")->isInteger());
}

// A selection opens the theme's settings editor on its settings script (the last qualifying
// name), or on its options file alone; a theme with neither opens nothing (the table above). This holds
// even when the save cannot happen (a folder stands at the file's place).
TEST_F(ThemeListTest, ASelectionOpensTheThemesSettingsEvenWhenItsSaveFails) {
    root_.writeFile("/Library/Themes/Moon.theme/main.js", "");
    root_.writeFile("/Library/Themes/Moon.theme/Settings.js", "");  // the last in byte order counts
    root_.writeFile("/Library/Themes/Moon.theme/config.js", "var a = 1;");
    root_.writeFile("/Library/Themes/Clock.veltrix/Options.plist", "<plist><array/></plist>");
    root_.makeFolder(kPreferencesPath);
    log::Capture quiet;
    open();
    for (const auto& [row, path, script] :
         {std::tuple{2, "/Library/Themes/Moon.theme", std::optional<std::string>("config.js")},
          std::tuple{1, "/Library/Themes/Clock.veltrix", std::optional<std::string>()}}) {
        tap(row);
        auto container = std::dynamic_pointer_cast<UINavigationController>(
            page_->presentedViewController());
        ASSERT_TRUE(container) << path;
        auto editor = std::dynamic_pointer_cast<LockThemeSettingsController>(
            container->topViewController());
        ASSERT_TRUE(editor) << path;
        EXPECT_EQ(editor->filePath(), path);
        EXPECT_EQ(editor->fileName(), script);
        page_->dismissViewControllerAnimated(false);
    }
}

// "Reorder" on the theme list presents a fresh order page each time; drags change only the
// page's copy until "Done" stores it, duplicates and non-records included.
TEST_F(ThemeListTest, ReorderOpensAFreshPageWhoseDragsChangeOnlyItsCopyUntilDone) {
    writePreferences({{"ThemesSelected", plist::Array{clock(), moon(), clock(), 42}}, {"other", "x"}});
    auto list = open();
    auto reorder = list->navigationItem()->rightBarButtonItem();
    auto openOrder = [&] {
        EXPECT_TRUE(reorder->userTap());
        auto container = std::dynamic_pointer_cast<UINavigationController>(
            list->presentedViewController());
        return std::dynamic_pointer_cast<LockThemeOrderViewController>(
            container ? container->topViewController() : nullptr);
    };
    auto page = openOrder();
    ASSERT_TRUE(page);
    auto& table = *page->tableView();
    EXPECT_TRUE(table.isEditing());
    EXPECT_EQ(labels(table), (std::vector<std::string>{"Clock", "Moon", "Clock", ""}));
    EXPECT_EQ(table.editingStyleForRow({0, 0}), UITableViewCellEditingStyle::None);
    const std::string before = root_.readFile(kPreferencesPath);
    ASSERT_TRUE(table.moveRow({0, 0}, {0, 3}));
    EXPECT_EQ(root_.readFile(kPreferencesPath), before);                           // nothing stored yet
    writePreferences({{"ThemesSelected", plist::Array{moon()}}, {"other", "x"}});  // changed meanwhile
    ASSERT_TRUE(page->navigationItem()->rightBarButtonItem()->userTap());
    EXPECT_FALSE(list->presentedViewController());
    EXPECT_EQ(preferences(),
              (plist::Dictionary{{"ThemesSelected", plist::Array{moon(), clock(), 42, clock()}},
                                 {"other", "x"}}));
    auto again = openOrder();
    EXPECT_TRUE(again && again != page);

    // Without a list the order is empty, and "Done" creates the missing file.
    writePreferences({{"ThemesSelected", "not a list"}});
    EXPECT_TRUE(LockThemeOrderViewController::init()->themeArray().empty());
    std::filesystem::remove(root_.host(kPreferencesPath));
    UIBarButtonItem done("Done", UIBarButtonItemStyle::Done, {});
    LockThemeOrderViewController::init()->doneButtonTapped(done);
    EXPECT_EQ(preferences(), (plist::Dictionary{{"ThemesSelected", plist::Array{}}}));
}

// Building every row of a long list reads the preferences file once per load.
class RowsAtScaleTest : public test::ThemesFixture {
protected:
    // The cache judges "settled" by a clock ten seconds ahead, so files written by the
    // test count as old enough to keep.
    RowsAtScaleTest() {
        setPlistCacheClockForTesting([] {
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            now.tv_sec += 10;
            return now;
        });
    }
    ~RowsAtScaleTest() override { setPlistCacheClockForTesting(nullptr); }

    static std::string entryName(int i) {
        std::string digits = std::to_string(i);
        return "T" + std::string(4 - digits.size(), '0') + digits + ".theme";
    }
    static long checked(UITableView& table) { return std::ranges::count(checks(table), 'x'); }
};

TEST_F(RowsAtScaleTest, AThousandRowsParseTheFileOnceAndFollowEveryChange) {
    constexpr int kRows = 1000;
    plist::Array every10th;
    for (int i = 0; i < kRows; ++i) {
        addEntry("/Library/Themes", entryName(i));
        if (i % 10 == 0) {
            std::string name = entryName(i).substr(0, 5);
            every10th.push_back(themeRecord(name, "/Library/Themes/" + entryName(i), "Widget.html"));
        }
    }
    writePreferences({{"ThemesSelected", every10th}});
    clearPlistCache();

    auto page = LockThemeViewController::initForContentSize({320, 480});
    auto& table = *page->tblView();
    table.reloadData();
    ASSERT_EQ(table.numberOfRowsInSection(0), kRows);
    EXPECT_EQ(checked(table), kRows / 10);
    EXPECT_EQ(plistCacheParseCount(), 1u);  // the scan's read; every row reused it
    table.reloadData();
    EXPECT_EQ(plistCacheParseCount(), 1u);

    writePreferences({{"ThemesSelected", plist::Array{every10th.back()}}});
    table.reloadData();
    EXPECT_EQ(checked(table), 1);
    EXPECT_EQ(plistCacheParseCount(), 2u);

    // Just saved, the file is too fresh for the cache to keep: still one parse per load.
    setPlistCacheClockForTesting(nullptr);
    writePreferences({{"ThemesSelected", plist::Array{every10th[0], every10th[1]}}});
    table.reloadData();
    EXPECT_EQ(checked(table), 2);
    EXPECT_EQ(plistCacheParseCount(), 3u);
}

}  // namespace
}  // namespace vx
