#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/screen.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/text_view.h"

namespace vx {
namespace {

using nlohmann::json;

Screen sampleScreen() {
    using A = RowAccessory;
    const std::vector<ScreenRow> general{{"Enabled", "", A::None, SwitchControl{true}, false},
                                         {"Name", "", A::None, TextControl{"Zoë \"Z\""}, false},
                                         {"Mode", "Fast", A::Disclosure, std::monostate{}, true},
                                         {"Opacity", "0.5", A::None, SliderControl{0.5, 0, 1}, false}};
    const std::vector<ScreenRow> untitled{{"Clock", "", A::Checkmark, std::monostate{}, true, true},
                                          {"Dim", "", A::None, SwitchControl{false}, false}};
    return Screen{
        .title = "Theme Settings",
        .left = {"Cancel"},
        .right = {"Done"},
        .header = {"Veltrix", "by Corvane"},
        .sections = {{"General", "Applies at once", general}, {std::nullopt, std::nullopt, untitled}},
        .alert = ScreenAlert{"Reset Widget Coordinates", "Would you like to reset", {"Reset", "Cancel"}},
        .modal = true,
        .depth = 2,
        .scroll = ScreenScroll{{0, 0, 152, 0}, {0, 40.5}, {320, 700}},
        .back = "Themes",
        .keyboard = 216};
}

TEST(ScreenJson, EveryFieldHasItsContractNameAndType) {
    const json full = json::parse(toJsonLine(sampleScreen()));
    EXPECT_EQ(full, json::parse(R"({"title": "Theme Settings", "left": ["Cancel"], "right": ["Done"],
      "header": ["Veltrix", "by Corvane"], "sections": [
        {"title": "General", "footer": "Applies at once", "rows": [
          {"label": "Enabled", "detail": "", "accessory": "none",
           "control": {"kind": "switch", "on": true}, "selectable": false, "movable": false},
          {"label": "Name", "detail": "", "accessory": "none",
           "control": {"kind": "text", "text": "Zoë \"Z\""}, "selectable": false, "movable": false},
          {"label": "Mode", "detail": "Fast", "accessory": "disclosure", "control": null,
           "selectable": true, "movable": false},
          {"label": "Opacity", "detail": "0.5", "accessory": "none",
           "control": {"kind": "slider", "value": 0.5, "min": 0, "max": 1},
           "selectable": false, "movable": false}]},
        {"title": null, "footer": null, "rows": [
          {"label": "Clock", "detail": "", "accessory": "checkmark", "control": null,
           "selectable": true, "movable": true},
          {"label": "Dim", "detail": "", "accessory": "none", "control": {"kind": "switch", "on": false},
           "selectable": false, "movable": false}]}],
      "alert": {"title": "Reset Widget Coordinates", "message": "Would you like to reset",
                "buttons": ["Reset", "Cancel"]},
      "modal": true, "depth": 2, "back": "Themes", "keyboard": 216,
      "scroll": {"contentInset": [0, 0, 152, 0], "contentOffset": [0, 40.5], "contentSize": [320, 700]}
    })"));
    EXPECT_TRUE(full["depth"].is_number_integer());
    EXPECT_EQ(json::parse(toJsonLine(Screen{})), json::parse(R"({"title": "", "left": [], "right": [],
      "header": [], "sections": [], "alert": null, "modal": false, "depth": 0, "scroll": null,
      "back": null, "keyboard": null})"));

    Screen odd;  // one line, and invalid UTF-8 replaced rather than thrown on
    odd.title = std::string("Bad \xff byte");
    odd.header = {"two\nlines"};
    const std::string line = toJsonLine(odd);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(json::parse(line)["title"], "Bad \xEF\xBF\xBD byte");
    EXPECT_EQ(json::parse(line)["header"][0], "two\nlines");
}

// The pages' own screens are compared as text in the application's tests; here, the rest.
TEST(ScreenText, ShowsModalControlsAndAlert) {
    const std::string text = toText(sampleScreen());
    for (const char* line :
         {"== Theme Settings ==  (depth 2, modal)\n", "  #0.0  Enabled  [on]\n",
          "  #0.1  Name  [text \"Zoë \\\"Z\\\"\"]\n", "  #0.3  Opacity  | 0.5  [slider 0.5 of 0..1]\n",
          "  #1.1  Dim  [off]\n",
          "alert: Reset Widget Coordinates - Would you like to reset  [Reset] [Cancel]\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
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
