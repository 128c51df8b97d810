#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/screen.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/text_view.h"

namespace vx {
namespace {

using nlohmann::json;

Screen sampleScreen() {
    Screen screen;
    screen.title = "Theme Settings";
    screen.left = {"Cancel"};
    screen.right = {"Done"};
    screen.header = {"Veltrix", "by Corvane"};
    ScreenSection first;
    first.title = "General";
    first.footer = "Applies at once";
    first.rows.push_back({"Enabled", "", RowAccessory::None, SwitchControl{true}, false});
    first.rows.push_back({"Name", "", RowAccessory::None, TextControl{"Zoë \"Z\""}, false});
    first.rows.push_back({"Mode", "Fast", RowAccessory::Disclosure, std::monostate{}, true});
    first.rows.push_back({"Opacity", "0.5", RowAccessory::None, SliderControl{0.5, 0, 1}, false});
    ScreenSection second;
    second.rows.push_back({"Clock", "", RowAccessory::Checkmark, std::monostate{}, true, true});
    second.rows.push_back({"Dim", "", RowAccessory::None, SwitchControl{false}, false});
    screen.sections = {first, second};
    screen.alert = ScreenAlert{
        "Reset Widget Coordinates", "Would you like to reset", {"Reset", "Cancel"}};
    screen.modal = true;
    screen.depth = 2;
    screen.scroll = ScreenScroll{{0, 0, 152, 0}, {0, 40.5}, {320, 700}};
    screen.back = "Themes";
    screen.keyboard = 216;
    return screen;
}

TEST(ScreenJson, EveryFieldHasItsContractNameAndType) {
    const json full = json::parse(toJsonLine(sampleScreen()));
    const json empty = json::parse(toJsonLine(Screen{}));
    const json alert = {{"title", "Reset Widget Coordinates"},
                        {"message", "Would you like to reset"},
                        {"buttons", {"Reset", "Cancel"}}};
    const json scroll = json::parse(
        R"({"contentInset": [0, 0, 152, 0], "contentOffset": [0, 40.5], "contentSize": [320, 700]})");
    const struct {
        const char* field;
        json full, empty;
    } fields[] = {
        {"title", "Theme Settings", ""},
        {"left", json::array({"Cancel"}), json::array()},
        {"right", json::array({"Done"}), json::array()},
        {"header", json::array({"Veltrix", "by Corvane"}), json::array()},
        {"alert", alert, nullptr},
        {"modal", true, false},
        {"depth", 2, 0},
        {"scroll", scroll, nullptr},
        {"back", "Themes", nullptr},
        {"keyboard", 216, nullptr},
    };
    EXPECT_EQ(full.size(), std::size(fields) + 1);  // and "sections"
    for (const auto& f : fields) {
        EXPECT_EQ(full[f.field], f.full) << f.field;
        EXPECT_EQ(empty[f.field], f.empty) << f.field;
    }
    EXPECT_TRUE(full["depth"].is_number_integer());
    EXPECT_EQ(empty["sections"], json::array());

    const json& sections = full["sections"];
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0]["title"], "General");
    EXPECT_EQ(sections[0]["footer"], "Applies at once");
    EXPECT_TRUE(sections[1]["title"].is_null());
    EXPECT_TRUE(sections[1]["footer"].is_null());
    const json& rows = sections[0]["rows"];
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], json::parse(R"({"label": "Enabled", "detail": "", "accessory": "none",
        "control": {"kind": "switch", "on": true}, "selectable": false, "movable": false})"));
    EXPECT_EQ(rows[1]["control"], (json{{"kind", "text"}, {"text", "Zoë \"Z\""}}));
    EXPECT_EQ(rows[2], json::parse(R"({"label": "Mode", "detail": "Fast", "accessory": "disclosure",
        "control": null, "selectable": true, "movable": false})"));
    EXPECT_EQ(rows[3]["control"],
              json::parse(R"({"kind": "slider", "value": 0.5, "min": 0, "max": 1})"));
    EXPECT_EQ(sections[1]["rows"][0]["accessory"], "checkmark");
    EXPECT_EQ(sections[1]["rows"][0]["movable"], true);
    EXPECT_EQ(sections[1]["rows"][1]["control"], (json{{"kind", "switch"}, {"on", false}}));
}

TEST(ScreenJson, OneLineAndInvalidUtf8DoesNotThrow) {
    Screen screen;
    screen.title = std::string("Bad \xff byte");
    screen.header = {"two\nlines"};
    std::string line;
    ASSERT_NO_THROW(line = toJsonLine(screen));
    EXPECT_EQ(line.find('\n'), std::string::npos);
    json parsed = json::parse(line);
    EXPECT_EQ(parsed["header"][0], "two\nlines");
    EXPECT_EQ(parsed["title"], "Bad \xEF\xBF\xBD byte");
}

TEST(ScreenText, ShowsRowsControlsAccessoriesAndAlert) {
    std::string text = toText(sampleScreen());
    EXPECT_NE(text.find("== Theme Settings ==  (depth 2, modal)"), std::string::npos) << text;
    EXPECT_NE(text.find("bar: [Cancel]  |  [Done]"), std::string::npos) << text;
    EXPECT_NE(text.find("header: by Corvane"), std::string::npos);
    EXPECT_NE(text.find("-- General --"), std::string::npos);
    EXPECT_NE(text.find("#0.0  Enabled  [on]"), std::string::npos);
    EXPECT_NE(text.find("#0.1  Name  [text \"Zoë \\\"Z\\\"\"]"), std::string::npos) << text;
    EXPECT_NE(text.find("#0.2  Mode  | Fast  >"), std::string::npos);
    EXPECT_NE(text.find("footer: Applies at once"), std::string::npos);
    EXPECT_NE(text.find("#1.0  Clock  (checked)"), std::string::npos);
    EXPECT_NE(text.find("#1.1  Dim  [off]"), std::string::npos) << text;
    EXPECT_NE(text.find("alert: Reset Widget Coordinates - Would you like to reset  [Reset] [Cancel]"),
              std::string::npos);
}

TEST(ScreenScrollSnapshot, TakesTheFirstVisibleScrollViewThatIsNoTextView) {
    EXPECT_FALSE(scrollSnapshot(nullptr).has_value());
    auto page = UIView::initWithFrame(CGRectMake(0, 0, 320, 416));
    EXPECT_FALSE(scrollSnapshot(page).has_value());

    auto hidden = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    hidden->setHidden(true);
    page->addSubview(hidden);
    page->addSubview(UITextView::initWithFrame(CGRectMake(0, 0, 320, 100)));
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    scroll->setContentInset(UIEdgeInsetsMake(1, 2, 152, 4));
    scroll->setContentOffset(CGPointMake(0, 40.5));
    scroll->setContentSize(CGSizeMake(320, 700));
    page->addSubview(scroll);
    EXPECT_EQ(scrollSnapshot(page), (ScreenScroll{{1, 2, 152, 4}, {0, 40.5}, {320, 700}}));
}

}  // namespace
}  // namespace vx
