// The coordinates page, the theme order page and the array operations behind its moves.
#include "themes/lock_theme_order_view_controller.h"
#include "themes/mutable_array_additions.h"
#include "themes/widget_coordinates_controller.h"
#include "themes_fixture.h"

namespace vx {
namespace {

using test::themeRecord;

plist::Dictionary clock() { return themeRecord("Clock", "/Library/Themes/Clock.theme", "Widget.html"); }
plist::Dictionary otherClock() {
    return themeRecord("Clock", "/var/mobile/Library/Veltrix/Clock.veltrix", "Widget.html");
}
plist::Dictionary moon() { return themeRecord("Moon", "/Library/Themes/Moon.theme", "Widget.html"); }

class CoordinatesTest : public test::ThemesFixture {
protected:
    std::shared_ptr<WidgetCoordinatesController> open() {
        page_ = WidgetCoordinatesController::init();
        page_->widgetTableView()->reloadData();
        return page_;
    }
    std::shared_ptr<UITextField> field(int section, int row) {
        auto cell = page_->widgetTableView()->cellForRowAtIndexPath({section, row});
        if (!cell || cell->contentView()->subviews().size() != 1) return nullptr;
        return std::dynamic_pointer_cast<UITextField>(cell->contentView()->subviews().front());
    }
    std::optional<plist::Value> storedEntry(std::string_view name) const {
        plist::Dictionary now = preferences();
        const plist::Value* entries = now.find("WidgetCoordinates");
        const plist::Value* entry = entries ? plist::lookup(*entries, name) : nullptr;
        return entry ? std::optional<plist::Value>(*entry) : std::nullopt;
    }

    std::shared_ptr<WidgetCoordinatesController> page_;
};

TEST_F(CoordinatesTest, OneSectionPerSelectedNameWithYAboveXShownWithPercentG) {
    writePreferences(
        {{"ThemesSelected", plist::Array{clock(), moon(), otherClock(), "junk"}},
         {"WidgetCoordinates",
          plist::Dictionary{{"Clock", plist::Dictionary{{"widgetX", "12.50"}, {"widgetY", 1000000}}}}}});
    open();
    auto& table = *page_->widgetTableView();
    EXPECT_EQ(page_->title(), "Coordinates");
    ASSERT_EQ(table.numberOfSections(), 2);  // two records named "Clock" make one section
    EXPECT_EQ(table.headerTitleForSection(0), "Clock");
    EXPECT_EQ(table.headerTitleForSection(1), "Moon");
    EXPECT_EQ(labels(table, 0), (std::vector<std::string>{"Y", "X"}));

    auto y = field(0, 0), x = field(0, 1);
    ASSERT_TRUE(x && y);
    EXPECT_EQ(y->text(), "1e+06");
    EXPECT_EQ(x->text(), "12.5");
    EXPECT_EQ(x->tag(), 1);
    EXPECT_EQ(x->layer().name(), "Clock");
    ASSERT_TRUE(field(1, 0));
    EXPECT_EQ(field(1, 0)->text(), "0");  // no entry yet: 0
    EXPECT_EQ(page_->optionsDict().find("Moon")->dictionary(),
              (plist::Dictionary{{"widgetX", 0}, {"widgetY", 0}}));

    writePreferences({{"ThemesSelected", plist::Dictionary{}}});  // no list, no sections
    EXPECT_EQ(open()->widgetTableView()->numberOfSections(), 0);
}

TEST_F(CoordinatesTest, KeystrokesSaveStringsAndKeepEntriesOfNamesNotShown) {
    plist::Dictionary keep{{"widgetX", 40}, {"widgetY", "7"}, {"note", "mine"}};
    writePreferences(
        {{"ThemesSelected", plist::Array{clock(), moon()}},
         {"WidgetCoordinates",
          plist::Dictionary{
              {"Old", keep}, {"Weird", 5}, {"Clock", plist::Dictionary{{"widgetY", 3}, {"z", 1}}}}},
         {"other", true}});
    open();
    auto x = field(0, 1);
    ASSERT_TRUE(x);
    ASSERT_TRUE(x->userReplaceText("12.50"));
    EXPECT_EQ(storedEntry("Clock"),
              plist::Value(plist::Dictionary{{"widgetY", 3}, {"z", 1}, {"widgetX", "12.50"}}));
    EXPECT_EQ(storedEntry("Moon"), plist::Value(plist::Dictionary{{"widgetX", 0}, {"widgetY", 0}}));
    EXPECT_EQ(storedEntry("Old"), plist::Value(keep));
    EXPECT_EQ(storedEntry("Weird"), plist::Value(5));
    EXPECT_EQ(*preferences().find("other"), plist::Value(true));
    EXPECT_EQ(x->text(), "12.50");  // no reload on save

    auto moonY = field(1, 0);
    ASSERT_TRUE(moonY);
    ASSERT_TRUE(moonY->userReplaceText(""));
    EXPECT_EQ(storedEntry("Moon"), plist::Value(plist::Dictionary{{"widgetX", 0}, {"widgetY", ""}}));

    // A tap reloads the rows from the working copy, formatted again.
    ASSERT_TRUE(page_->widgetTableView()->userTapRow({0, 0}));
    EXPECT_EQ(field(0, 1)->text(), "12.5");
    EXPECT_EQ(field(1, 0)->text(), "0");
}

TEST_F(CoordinatesTest, WrongTypedStoresAreReplacedOnlyWhereThePageOwnsThem) {
    writePreferences({{"ThemesSelected", plist::Array{moon()}},
                      {"WidgetCoordinates", plist::Dictionary{{"Moon", "garbage"}, {"Sun", "also"}}}});
    open();
    EXPECT_EQ(field(0, 1)->text(), "0");
    ASSERT_TRUE(field(0, 1)->userReplaceText("-4"));
    EXPECT_EQ(storedEntry("Moon"), plist::Value(plist::Dictionary{{"widgetX", "-4"}, {"widgetY", 0}}));
    EXPECT_EQ(storedEntry("Sun"), plist::Value("also"));

    writePreferences({{"ThemesSelected", plist::Array{moon()}}, {"WidgetCoordinates", 17}});
    open();
    ASSERT_TRUE(field(0, 0)->userReplaceText("9"));
    EXPECT_EQ(storedEntry("Moon"), plist::Value(plist::Dictionary{{"widgetX", 0}, {"widgetY", "9"}}));
}

TEST(ArrayAdditions, MovesLandAtTheDestinationAndPastTheEndAppends) {
    const plist::Array abc{"A", "B", "C"};
    auto moved = [&](std::size_t from, std::size_t to) {
        plist::Array array = abc;
        moveObjectFromIndex(array, from, to);
        return array;
    };
    EXPECT_EQ(moved(0, 2), (plist::Array{"B", "C", "A"}));
    EXPECT_EQ(moved(2, 0), (plist::Array{"C", "A", "B"}));
    EXPECT_EQ(moved(0, 5), (plist::Array{"B", "C", "A"}));
    EXPECT_EQ(moved(1, 1), abc);
    EXPECT_EQ(moved(7, 0), abc);  // no such element: nothing moves
    EXPECT_EQ(safeObjectAtIndex(plist::Array{}, 0), nullptr);
    EXPECT_EQ(safeObjectAtIndex(abc, 3), nullptr);
    EXPECT_EQ(*safeObjectAtIndex(abc, 2), plist::Value("C"));
}

class ThemeOrderTest : public test::ThemesFixture {};

TEST_F(ThemeOrderTest, DragsChangeOnlyTheCopyUntilDoneStoresTheOrderWithDuplicates) {
    writePreferences({{"ThemesSelected", plist::Array{clock(), moon(), clock(), 42}}, {"other", "x"}});
    auto page = LockThemeOrderViewController::init();
    auto& table = *page->tableView();
    EXPECT_EQ(page->title(), "Theme Order");
    EXPECT_TRUE(table.isEditing());
    EXPECT_EQ(labels(table), (std::vector<std::string>{"Clock", "Moon", "Clock", ""}));
    EXPECT_EQ(table.editingStyleForRow({0, 0}), UITableViewCellEditingStyle::None);
    EXPECT_FALSE(table.shouldIndentWhileEditingRow({0, 0}));
    EXPECT_TRUE(table.canMoveRow({0, 3}));

    ASSERT_TRUE(table.moveRow({0, 0}, {0, 3}));
    EXPECT_EQ(page->themeArray(), (plist::Array{moon(), clock(), 42, clock()}));
    EXPECT_EQ(selected(), (plist::Array{clock(), moon(), clock(), 42}));  // nothing stored yet

    UIBarButtonItem done("Done", UIBarButtonItemStyle::Done, {});
    page->doneButtonTapped(done);
    auto now = preferences();
    EXPECT_EQ(*now.find("ThemesSelected"), plist::Value(plist::Array{moon(), clock(), 42, clock()}));
    EXPECT_EQ(*now.find("other"), plist::Value("x"));
}

TEST_F(ThemeOrderTest, WithoutAListTheOrderIsEmptyAndDoneCreatesTheFile) {
    writePreferences({{"ThemesSelected", "not a list"}});
    EXPECT_TRUE(LockThemeOrderViewController::init()->themeArray().empty());
    std::filesystem::remove(root_.host(kPreferencesPath));
    auto page = LockThemeOrderViewController::init();
    EXPECT_EQ(page->tableView()->numberOfRowsInSection(0), 0);
    UIBarButtonItem done("Done", UIBarButtonItemStyle::Done, {});
    page->doneButtonTapped(done);
    EXPECT_EQ(preferences(), (plist::Dictionary{{"ThemesSelected", plist::Array{}}}));
}

}  // namespace
}  // namespace vx
