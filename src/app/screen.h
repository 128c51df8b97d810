#pragma once
// The visible screen as plain data: what a person would see on the top page (title, bar
// buttons, table header, sections and rows) and the front alert. Every front end prints or
// serves this one picture; its JSON form is a fixed contract (docs/app.md).
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vx {

class UIView;

enum class RowAccessory { None, Checkmark, Disclosure };

struct SwitchControl {
    bool on = false;
    bool operator==(const SwitchControl&) const = default;
};

struct TextControl {
    std::string text;
    bool operator==(const TextControl&) const = default;
};

struct SliderControl {
    double value = 0;
    double min = 0;
    double max = 1;
    bool operator==(const SliderControl&) const = default;
};

// std::monostate: the row has no control.
using RowControl = std::variant<std::monostate, SwitchControl, TextControl, SliderControl>;

struct ScreenRow {
    std::string label;
    std::string detail;
    RowAccessory accessory = RowAccessory::None;
    RowControl control;
    bool selectable = true;
    bool movable = false;  // the table is being edited and this row can be dragged elsewhere
    bool operator==(const ScreenRow&) const = default;
};

struct ScreenSection {
    std::optional<std::string> title;
    std::optional<std::string> footer;
    std::vector<ScreenRow> rows;
    bool operator==(const ScreenSection&) const = default;
};

struct ScreenAlert {
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
    bool operator==(const ScreenAlert&) const = default;
};

// The visible page's scroll view: what the keyboard covers (the bottom inset) and where the
// content has scrolled to.
struct ScreenScroll {
    double contentInset[4] = {0, 0, 0, 0};  // top, left, bottom, right
    double contentOffset[2] = {0, 0};       // x, y
    double contentSize[2] = {0, 0};         // width, height
    bool operator==(const ScreenScroll&) const = default;
};

struct Screen {
    std::string title;
    std::vector<std::string> left;    // left bar button titles
    std::vector<std::string> right;   // right bar button titles
    std::vector<std::string> header;  // texts of the table header's labels, top to bottom
    std::vector<ScreenSection> sections;
    std::optional<ScreenAlert> alert;
    bool modal = false;                  // the visible page is in a presented container
    int depth = 0;                       // pages on the navigation stack of the visible container
    std::optional<ScreenScroll> scroll;  // nothing when the visible page has no scroll view
    std::optional<std::string> back;     // title of the page a back gesture returns to
    std::optional<double> keyboard;      // height of the on-screen keyboard while it is up
    bool operator==(const Screen&) const = default;
};

const char* accessoryName(RowAccessory accessory);

// The first visible scroll view at or beneath a page's view, depth first (text views are
// inputs, not the page's scroll view), as the snapshot shows it; nothing when there is none.
std::optional<ScreenScroll> scrollSnapshot(const std::shared_ptr<UIView>& view);

// The JSON contract; a front end may add fields to the object, never change these.
nlohmann::json toJson(const Screen& screen);
// One line of JSON, no trailing newline.
std::string toJsonLine(const Screen& screen);
// A readable picture for a terminal, one row per line, ending with a newline.
std::string toText(const Screen& screen);

}  // namespace vx
