#include "app/screen.h"

#include <nlohmann/json.hpp>
#include <sstream>

#include "platform/foundation/strings.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/text_view.h"

namespace vx {
namespace {

using nlohmann::json;

json optionalText(const std::optional<std::string>& text) { return text ? json(*text) : json(nullptr); }

json controlJson(const RowControl& control) {
    if (auto* toggle = std::get_if<SwitchControl>(&control)) {
        return json{{"kind", "switch"}, {"on", toggle->on}};
    }
    if (auto* field = std::get_if<TextControl>(&control)) {
        return json{{"kind", "text"}, {"text", field->text}};
    }
    if (auto* slider = std::get_if<SliderControl>(&control)) {
        return json{
            {"kind", "slider"}, {"value", slider->value}, {"min", slider->min}, {"max", slider->max}};
    }
    return nullptr;
}

json rowJson(const ScreenRow& row) {
    return json{{"label", row.label},
                {"detail", row.detail},
                {"accessory", accessoryName(row.accessory)},
                {"control", controlJson(row.control)},
                {"selectable", row.selectable},
                {"movable", row.movable}};
}

json sectionJson(const ScreenSection& section) {
    json rows = json::array();
    for (const auto& row : section.rows) {
        rows.push_back(rowJson(row));
    }
    return json{{"title", optionalText(section.title)},
                {"footer", optionalText(section.footer)},
                {"rows", std::move(rows)}};
}

json alertJson(const std::optional<ScreenAlert>& alert) {
    if (!alert) {
        return nullptr;
    }
    return json{{"title", alert->title}, {"message", alert->message}, {"buttons", alert->buttons}};
}

// A string as a JSON literal: quoted, escaped, valid UTF-8 kept as it is.
std::string quoted(const std::string& text) {
    return json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string joinedButtons(const std::vector<std::string>& titles) {
    std::string out;
    for (const auto& title : titles) {
        out += (out.empty() ? "[" : " [") + title + "]";
    }
    return out;
}

void writeRow(std::ostringstream& out, std::size_t section, std::size_t index, const ScreenRow& row) {
    out << "  #" << section << '.' << index << "  " << row.label;
    if (!row.detail.empty()) {
        out << "  | " << row.detail;
    }
    if (auto* toggle = std::get_if<SwitchControl>(&row.control)) {
        out << (toggle->on ? "  [on]" : "  [off]");
    } else if (auto* field = std::get_if<TextControl>(&row.control)) {
        out << "  [text " << quoted(field->text) << "]";
    } else if (auto* slider = std::get_if<SliderControl>(&row.control)) {
        out << "  [slider " << str::formatG(slider->value) << " of " << str::formatG(slider->min) << ".."
            << str::formatG(slider->max) << "]";
    }
    if (row.accessory == RowAccessory::Checkmark) {
        out << "  (checked)";
    } else if (row.accessory == RowAccessory::Disclosure) {
        out << "  >";
    }
    out << '\n';
}

json scrollJson(const std::optional<ScreenScroll>& scroll) {
    if (!scroll) {
        return json(nullptr);
    }
    const auto& inset = scroll->contentInset;
    return json{{"contentInset", json::array({inset[0], inset[1], inset[2], inset[3]})},
                {"contentOffset", json::array({scroll->contentOffset[0], scroll->contentOffset[1]})},
                {"contentSize", json::array({scroll->contentSize[0], scroll->contentSize[1]})}};
}

}  // namespace

std::optional<ScreenScroll> scrollSnapshot(const std::shared_ptr<UIView>& view) {
    if (!view || view->isHidden()) {
        return std::nullopt;
    }
    auto scroll = std::dynamic_pointer_cast<UIScrollView>(view);
    if (scroll && !std::dynamic_pointer_cast<UITextView>(view)) {
        const UIEdgeInsets inset = scroll->contentInset();
        const CGPoint offset = scroll->contentOffset();
        const CGSize size = scroll->contentSize();
        return ScreenScroll{{inset.top, inset.left, inset.bottom, inset.right},
                            {offset.x, offset.y},
                            {size.width, size.height}};
    }
    for (const auto& subview : view->subviews()) {
        if (auto found = scrollSnapshot(subview)) {
            return found;
        }
    }
    return std::nullopt;
}

const char* accessoryName(RowAccessory accessory) {
    switch (accessory) {
        case RowAccessory::Checkmark: return "checkmark";
        case RowAccessory::Disclosure: return "disclosure";
        case RowAccessory::None: break;
    }
    return "none";
}

nlohmann::json toJson(const Screen& screen) {
    json sections = json::array();
    for (const auto& section : screen.sections) {
        sections.push_back(sectionJson(section));
    }
    return json{{"title", screen.title},
                {"left", screen.left},
                {"right", screen.right},
                {"header", screen.header},
                {"sections", std::move(sections)},
                {"alert", alertJson(screen.alert)},
                {"modal", screen.modal},
                {"depth", screen.depth},
                {"scroll", scrollJson(screen.scroll)},
                {"back", optionalText(screen.back)},
                {"keyboard", screen.keyboard ? json(*screen.keyboard) : json(nullptr)}};
}

std::string toJsonLine(const Screen& screen) {
    // Texts come from files on the device; invalid UTF-8 is replaced rather than thrown on.
    return toJson(screen).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string toText(const Screen& screen) {
    std::ostringstream out;
    out << "== " << screen.title << " ==  (depth " << screen.depth << (screen.modal ? ", modal)" : ")")
        << '\n';
    if (!screen.left.empty() || !screen.right.empty()) {
        out << "bar: " << joinedButtons(screen.left) << "  |  " << joinedButtons(screen.right) << '\n';
    }
    for (const auto& line : screen.header) {
        out << "header: " << line << '\n';
    }
    for (std::size_t s = 0; s < screen.sections.size(); ++s) {
        const auto& section = screen.sections[s];
        out << "-- " << section.title.value_or("") << (section.title ? " --" : "--") << '\n';
        for (std::size_t r = 0; r < section.rows.size(); ++r) {
            writeRow(out, s, r, section.rows[r]);
        }
        if (section.footer) {
            out << "  footer: " << *section.footer << '\n';
        }
    }
    if (screen.alert) {
        out << "alert: " << screen.alert->title << " - " << screen.alert->message << "  "
            << joinedButtons(screen.alert->buttons) << '\n';
    }
    return out.str();
}

}  // namespace vx
