// The theme list: check marks, the selection toggle, the reset offer and its answer, the
// removal of records no row produces, wrong-typed values, and the "Reorder" button.
#include "themes/lock_theme_view_controller.h"

#include "platform/ui/navigation_controller.h"
#include "themes/lock_theme_order_view_controller.h"
#include "themes_fixture.h"

namespace vx {
namespace {

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
    plist::Dictionary clock() const {
        return themeRecord("Clock", "/var/mobile/Library/Veltrix/Clock.theme", "Widget.html");
    }
    plist::Dictionary otherClock() const {
        return themeRecord("Clock", "/Library/Themes/Clock.veltrix", "LockBackground.html");
    }
    plist::Dictionary moon() const {
        return themeRecord("Moon", "/Library/Themes/Moon.theme", "Widget.html");
    }

    std::shared_ptr<LockThemeViewController> open() {
        page_ = LockThemeViewController::initForContentSize({320, 480});
        page_->tblView()->reloadData();
        return page_;
    }
    void tap(int row) { ASSERT_TRUE(page_->tblView()->userTapRow({0, row})); }
    std::string checks() {
        auto& table = *page_->tblView();
        std::string marks;
        for (int row = 0; row < table.numberOfRowsInSection(0); ++row)
            marks += table.cellForRowAtIndexPath({0, row})->accessoryType() ==
                             UITableViewCellAccessoryType::Checkmark
                         ? 'x'
                         : '-';
        return marks;
    }

    std::shared_ptr<LockThemeViewController> page_;
};

TEST_F(ThemeListTest, TapsToggleWholeRecordsAndKeepEverythingElseInTheFile) {
    // Records no row produces: a folder gone, an entry shadowed by the later folder's entry
    // of the same name, and the listed theme's path with an html changed in place.
    const plist::Dictionary gone = themeRecord("Moon", "/var/mobile/Library/Tandrel/Moon.theme",
                                               "Widget.html");
    const plist::Dictionary shadowed = themeRecord("Moon", "/var/mobile/Library/Veltrix/Moon.theme",
                                                   "Widget.html");
    const plist::Dictionary changed = themeRecord("Moon", "/Library/Themes/Moon.theme",
                                                  "LockBackground.html");
    const plist::Dictionary pathOnly{{"path", "/x"}};
    const plist::Value moonAt3(plist::Dictionary{{"Moon", plist::Dictionary{{"widgetX", 3}}}});
    struct Case {
        const char* name;
        std::optional<plist::Dictionary> file;  // nothing: no preferences file
        std::string taps, marks;                // rows tapped; "x" for a row with a check mark
        plist::Array selected;
        bool alert = false;
    };
    const Case cases[] = {
        {"without a file a tap creates it", std::nullopt, "2", "--x", {moon()}},
        {"a second tap leaves an empty list", plist::Dictionary{{"lockNote", "keep"}}, "22", "---", {}},
        // The stored "Clock" is listed (row 0): a tap on row 1 appends its own record, and a
        // tap on row 0 removes only row 0's.
        {"names share the mark, records are apart", std::nullopt, "010", "xx-", {otherClock()}},
        {"equal records go together, non-records stay",
         plist::Dictionary{{"ThemesSelected", plist::Array{moon(), "junk", 7, moon(), pathOnly}}}, "2",
         "---", plist::Array{"junk", 7, pathOnly}},
        // Coordinates of the wrong type read as 0: no alert.
        {"wrong types read as absent",
         plist::Dictionary{
             {"ThemesSelected", "x"}, {"WidgetCoordinates", plist::Array{1}}, {"other", 1}},
         "0",
         "xx-",
         {clock()}},
        {"wrong-typed coordinates entry",
         plist::Dictionary{{"WidgetCoordinates", plist::Dictionary{{"Moon", "not an entry"}}}},
         "2",
         "--x",
         {moon()}},
        // A checked row's tap removes its record and every orphan of its name; the mark the
        // user saw goes away and nothing a selection offers comes up. Then a plain selection.
        {"orphans go with the record",
         plist::Dictionary{{"ThemesSelected", plist::Array{gone, clock(), shadowed, moon(), changed}},
                           {"WidgetCoordinates", moonAt3}},
         "2",
         "xx-",
         {clock()}},
        {"then a plain selection",
         plist::Dictionary{{"ThemesSelected", plist::Array{clock()}}, {"WidgetCoordinates", moonAt3}},
         "2", "xxx", plist::Array{clock(), moon()}, true},
    };
    addEntry(kVeltrix, "Moon.theme");  // shadowed by /Library/Themes' entry of that name
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(root_.host(kPreferencesPath));
        UIApplication::sharedApplication().reset();
        if (c.file) writePreferences(*c.file);
        open();
        for (char row : c.taps) tap(row - '0');
        EXPECT_EQ(checks(), c.marks);
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
    EXPECT_EQ(page_->getFrameForWidgetWithPath("Moon"), (WidgetPoint{0, 12}));
    EXPECT_EQ(page_->getFrameForWidgetWithPath("Clock"), (WidgetPoint{0, 0}));
    EXPECT_EQ(page_->getFrameForWidgetWithPath("None"), (WidgetPoint{0, 0}));

    tap(0);  // "abc" and "" read as 0
    EXPECT_FALSE(frontAlert());
    tap(0);  // deselecting never offers it
    EXPECT_FALSE(frontAlert());

    tap(2);
    auto alert = frontAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Reset Widget Coordinates");
    EXPECT_EQ(alert->message(), "Would you like to reset the Widget Coordinates");
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Reset", "Cancel"}));
    EXPECT_EQ(alert->tag(), 1);
    // The selection is stored while the alert is up.
    EXPECT_EQ(selected(), (plist::Array{moon()}));

    const std::string before = root_.readFile(kPreferencesPath);
    ASSERT_TRUE(alert->userPressButtonAtIndex(1));  // Cancel writes nothing
    EXPECT_EQ(root_.readFile(kPreferencesPath), before);

    tap(2);
    tap(2);  // deselect and select again: offered again
    ASSERT_TRUE(frontAlert());
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    auto now = preferences();
    EXPECT_EQ(*now.find("widgetX"), plist::Value(0));
    EXPECT_EQ(*now.find("widgetY"), plist::Value(0));
    EXPECT_TRUE(now.find("widgetX")->isInteger());
    EXPECT_EQ(*now.find("WidgetCoordinates"), plist::Value(coordinates));
    EXPECT_EQ(*now.find("ThemesSelected"), plist::Value(plist::Array{moon()}));

    // A reset after the file went away creates it.
    tap(2);
    tap(2);
    ASSERT_TRUE(frontAlert());
    std::filesystem::remove(root_.host(kPreferencesPath));
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_EQ(preferences(), (plist::Dictionary{{"widgetX", 0}, {"widgetY", 0}}));
}

TEST_F(ThemeListTest, ReorderPresentsAFreshOrderPageInAContainerWithDone) {
    writePreferences({{"ThemesSelected", plist::Array{moon()}}});
    open();
    EXPECT_EQ(page_->title(), "Themes");
    EXPECT_EQ(page_->navigationItem()->rightBarButtonItem()->title(), "Reorder");
    ASSERT_TRUE(page_->navigationItem()->rightBarButtonItem()->userTap());
    auto container = std::dynamic_pointer_cast<UINavigationController>(page_->presentedViewController());
    ASSERT_TRUE(container);
    auto order = std::dynamic_pointer_cast<LockThemeOrderViewController>(container->topViewController());
    ASSERT_TRUE(order);
    EXPECT_EQ(order->themeArray(), (plist::Array{moon()}));
    auto done = order->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->title(), "Done");
    EXPECT_EQ(done->style(), UIBarButtonItemStyle::Done);

    writePreferences({{"ThemesSelected", plist::Array{moon(), clock()}}});
    ASSERT_TRUE(done->userTap());
    EXPECT_FALSE(page_->presentedViewController());
    EXPECT_EQ(selected(), (plist::Array{moon()}));  // the page's copy was stored

    ASSERT_TRUE(page_->navigationItem()->rightBarButtonItem()->userTap());
    container = std::dynamic_pointer_cast<UINavigationController>(page_->presentedViewController());
    EXPECT_NE(container->topViewController(), order);  // a fresh page each time
}

}  // namespace
}  // namespace vx
