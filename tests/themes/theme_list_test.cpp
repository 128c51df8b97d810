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
    std::vector<bool> checks() {
        auto& table = *page_->tblView();
        std::vector<bool> marks;
        for (int row = 0; row < table.numberOfRowsInSection(0); ++row)
            marks.push_back(table.cellForRowAtIndexPath({0, row})->accessoryType() ==
                            UITableViewCellAccessoryType::Checkmark);
        return marks;
    }

    std::shared_ptr<LockThemeViewController> page_;
};

TEST_F(ThemeListTest, ATapSelectsTheWholeRecordAndASecondTapLeavesAnEmptyList) {
    writePreferences({{"lockNote", "keep me"}});
    open();
    EXPECT_EQ(page_->title(), "Themes");
    ASSERT_TRUE(page_->navigationItem()->rightBarButtonItem());
    EXPECT_EQ(page_->navigationItem()->rightBarButtonItem()->title(), "Reorder");
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, false}));

    tap(2);
    EXPECT_EQ(selected(), (plist::Array{moon()}));
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(page_->tblView()->indexPathForSelectedRow());

    tap(2);
    auto now = preferences();
    ASSERT_TRUE(now.find("ThemesSelected"));
    EXPECT_EQ(*now.find("ThemesSelected"), plist::Value(plist::Array{}));
    EXPECT_EQ(*now.find("lockNote"), plist::Value("keep me"));
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, false}));
}

TEST_F(ThemeListTest, ThemesSharingANameShareTheCheckMarkButAreSelectedApart) {
    open();
    tap(0);
    EXPECT_EQ(checks(), (std::vector<bool>{true, true, false}));
    tap(1);  // the stored "Clock" is listed (row 0): the tap appends this one
    EXPECT_EQ(selected(), (plist::Array{clock(), otherClock()}));
    tap(0);  // removes only its own record
    EXPECT_EQ(selected(), (plist::Array{otherClock()}));
    EXPECT_EQ(checks(), (std::vector<bool>{true, true, false}));
}

TEST_F(ThemeListTest, EqualRecordsGoTogetherAndNonRecordsStay) {
    writePreferences({{"ThemesSelected",
                       plist::Array{moon(), "junk", 7, moon(), plist::Dictionary{{"path", "/x"}}}}});
    open();
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, true}));
    tap(2);
    EXPECT_EQ(selected(), (plist::Array{"junk", 7, plist::Dictionary{{"path", "/x"}}}));
}

TEST_F(ThemeListTest, WithoutAFileATapCreatesItHoldingTheSelection) {
    open();
    ASSERT_FALSE(preferencesExist());
    tap(2);
    EXPECT_EQ(preferences(), (plist::Dictionary{{"ThemesSelected", plist::Array{moon()}}}));
}

TEST_F(ThemeListTest, WrongTypesReadAsAbsentAndTheTapReplacesOnlyTheList) {
    writePreferences(
        {{"ThemesSelected", "not a list"}, {"WidgetCoordinates", plist::Array{1, 2}}, {"other", 1}});
    open();
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, false}));
    tap(0);  // coordinates of the wrong type read as 0: no alert
    EXPECT_FALSE(frontAlert());
    auto now = preferences();
    EXPECT_EQ(*now.find("ThemesSelected"), plist::Value(plist::Array{clock()}));
    EXPECT_EQ(*now.find("WidgetCoordinates"), plist::Value(plist::Array{1, 2}));
    EXPECT_EQ(*now.find("other"), plist::Value(1));

    writePreferences({{"WidgetCoordinates", plist::Dictionary{{"Moon", "not an entry"}}}});
    tap(2);
    EXPECT_FALSE(frontAlert());
}

TEST_F(ThemeListTest, ATapOnACheckedRowRemovesItsRecordAndEveryOrphanOfItsName) {
    // Records no row produces: a folder gone, an entry shadowed by the later folder's entry
    // of the same name, and the listed theme's path with an html changed in place.
    addEntry(kVeltrix, "Moon.theme");
    plist::Dictionary gone = themeRecord("Moon", "/var/mobile/Library/Tandrel/Moon.theme",
                                         "Widget.html");
    plist::Dictionary shadowed = themeRecord("Moon", "/var/mobile/Library/Veltrix/Moon.theme",
                                             "Widget.html");
    plist::Dictionary changed = themeRecord("Moon", "/Library/Themes/Moon.theme", "LockBackground.html");
    writePreferences(
        {{"ThemesSelected", plist::Array{gone, clock(), shadowed, moon(), changed}},
         {"WidgetCoordinates", plist::Dictionary{{"Moon", plist::Dictionary{{"widgetX", 3}}}}}});
    open();
    EXPECT_EQ(checks(), (std::vector<bool>{true, true, true}));

    tap(2);  // the check mark the user saw goes away, and nothing a selection offers comes up
    EXPECT_EQ(selected(), (plist::Array{clock()}));
    EXPECT_EQ(checks(), (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(frontAlert());
    tap(2);  // now a plain selection
    EXPECT_EQ(selected(), (plist::Array{clock(), moon()}));
    EXPECT_TRUE(frontAlert());
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
}

TEST_F(ThemeListTest, ResetAfterTheFileWentAwayCreatesIt) {
    writePreferences(
        {{"WidgetCoordinates", plist::Dictionary{{"Moon", plist::Dictionary{{"widgetX", 3}}}}}});
    open();
    tap(2);
    ASSERT_TRUE(frontAlert());
    std::filesystem::remove(root_.host(kPreferencesPath));
    ASSERT_TRUE(frontAlert()->userPressButtonAtIndex(0));
    EXPECT_EQ(preferences(), (plist::Dictionary{{"widgetX", 0}, {"widgetY", 0}}));
}

TEST_F(ThemeListTest, ReorderPresentsAFreshOrderPageInAContainerWithDone) {
    writePreferences({{"ThemesSelected", plist::Array{moon()}}});
    open();
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
    ASSERT_TRUE(container);
    auto second = std::dynamic_pointer_cast<LockThemeOrderViewController>(
        container->topViewController());
    ASSERT_TRUE(second);
    EXPECT_NE(second, order);
}

TEST_F(ThemeListTest, AThemeWithNothingToSetOpensNothingAndTheSelectionIsStored) {
    open();
    tap(2);
    EXPECT_FALSE(page_->presentedViewController());
    EXPECT_FALSE(page_->controller());
    EXPECT_EQ(selected(), (plist::Array{moon()}));
}

}  // namespace
}  // namespace vx
