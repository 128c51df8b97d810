// The coordinates page, and the array operations behind the theme order page's moves.
#include <tuple>

#include "themes/mutable_array_additions.h"
#include "themes/widget_coordinates_controller.h"
#include "themes_fixture.h"

namespace vx {
namespace {

using test::clock;
using test::moon;
using test::otherClock;

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
    std::shared_ptr<WidgetCoordinatesController> page_;
};

TEST_F(CoordinatesTest, OneSectionPerSelectedNameWithYAboveXShownWithPercentG) {
    writePreferences(
        {{"ThemesSelected", plist::Array{clock(), moon(), otherClock(), "junk"}},
         {"WidgetCoordinates",
          plist::Dictionary{{"Clock", plist::Dictionary{{"widgetX", "12.50"}, {"widgetY", 1000000}}}}}});
    auto& table = *open()->widgetTableView();
    ASSERT_EQ(table.numberOfSections(), 2);  // two records named "Clock" make one section
    EXPECT_EQ(table.headerTitleForSection(0), "Clock");
    EXPECT_EQ(table.headerTitleForSection(1), "Moon");
    EXPECT_EQ(labels(table, 0), (std::vector<std::string>{"Y", "X"}));
    EXPECT_EQ(field(0, 0)->text(), "1e+06");
    EXPECT_EQ(field(0, 1)->text(), "12.5");
    EXPECT_EQ(field(1, 0)->text(), "0");  // no entry yet: 0
    // A keystroke saves without a reload; a tap reloads the rows, formatted again.
    ASSERT_TRUE(field(0, 1)->userReplaceText("12.50"));
    EXPECT_EQ(field(0, 1)->text(), "12.50");
    ASSERT_TRUE(table.userTapRow({0, 0}));
    EXPECT_EQ(field(0, 1)->text(), "12.5");

    writePreferences({{"ThemesSelected", plist::Dictionary{}}});  // no list, no sections
    EXPECT_EQ(open()->widgetTableView()->numberOfSections(), 0);
}

// A keystroke stores the typed text in the entry of its section and row; entries of names
// not shown, other keys of an entry, and other keys of the file stay.
TEST_F(CoordinatesTest, KeystrokesSaveStringsAndKeepWhatThePageDoesNotOwn) {
    using D = plist::Dictionary;
    const D keep{{"widgetX", 40}, {"widgetY", "7"}, {"note", "mine"}};
    const plist::Value zero(D{{"widgetX", 0}, {"widgetY", 0}});
    const D clockY3{{"widgetY", 3}, {"z", 1}}, clockTyped{{"widgetY", 3}, {"z", 1}, {"widgetX", "12.5"}};
    const D many{{"Old", keep}, {"Weird", 5}, {"Clock", clockY3}};
    const D manyTyped{{"Old", keep}, {"Weird", 5}, {"Clock", clockTyped}, {"Moon", zero}};
    const D moonBlank{{"Clock", zero}, {"Moon", D{{"widgetX", 0}, {"widgetY", ""}}}};
    // Wrong-typed stores are replaced only where the page owns them.
    const D wrong{{"Moon", "garbage"}, {"Sun", "also"}};
    const D wrongTyped{{"Moon", D{{"widgetX", "-4"}, {"widgetY", 0}}}, {"Sun", "also"}};
    const D numberTyped{{"Moon", D{{"widgetX", 0}, {"widgetY", "9"}}}};
    struct Case {
        plist::Array selected;
        plist::Value stored;
        int section, row;
        std::string typed;
        D expected;
    };
    const Case cases[] = {
        {{clock(), moon()}, many, 0, 1, "12.5", manyTyped},
        {{clock(), moon()}, D{}, 1, 0, "", moonBlank},
        {{moon()}, wrong, 0, 1, "-4", wrongTyped},
        {{moon()}, 17, 0, 0, "9", numberTyped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        D file{{"ThemesSelected", c.selected}, {"WidgetCoordinates", c.stored}, {"other", true}};
        writePreferences(file);
        open();
        ASSERT_TRUE(field(c.section, c.row)->userReplaceText(c.typed));
        file.set("WidgetCoordinates", c.expected);
        EXPECT_EQ(preferences(), file);
    }
}

TEST(ArrayAdditions, MovesLandAtTheDestinationAndPastTheEndAppends) {
    const plist::Array abc{"A", "B", "C"};
    const std::tuple<std::size_t, std::size_t, plist::Array> cases[] = {
        {0, 2, {"B", "C", "A"}},
        {2, 0, {"C", "A", "B"}},
        {0, 5, {"B", "C", "A"}},
        {1, 1, abc},
        {7, 0, abc}};  // no such element: nothing moves
    for (auto [from, to, expected] : cases) {
        plist::Array array = abc;
        moveObjectFromIndex(array, from, to);
        EXPECT_EQ(array, expected) << from << " to " << to;
    }
    EXPECT_EQ(safeObjectAtIndex(plist::Array{}, 0), nullptr);
    EXPECT_EQ(safeObjectAtIndex(abc, 3), nullptr);
    EXPECT_EQ(*safeObjectAtIndex(abc, 2), plist::Value("C"));
}

}  // namespace
}  // namespace vx
