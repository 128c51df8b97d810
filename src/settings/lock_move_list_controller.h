#pragma once
// LockMoveListController: the widget-actions page. Its row "SHOW_WITH_BATTERY_TEXT" (the
// hidden cell) is shown only while the value of its row "FADE_WHILE_CHARGING" (the battery
// cell) is on: it is left out when the page opens with the value off, and inserted after
// the battery cell or removed, animated, whenever that very row is written.
#include <memory>
#include <string>
#include <string_view>

#include "settings/veltrix_list_controller.h"

namespace vx {

class LockMoveListController : public VeltrixListController {
public:
    static constexpr const char* kClassName = "LockMoveListController";
    static constexpr std::string_view kSpecifierFile = "LockMoveSettings";
    static constexpr std::string_view kTitleKey = "WIDGET_ACTIONS_TITLE";
    static constexpr std::string_view kHiddenRowName = "SHOW_WITH_BATTERY_TEXT";
    static constexpr std::string_view kBatteryRowName = "FADE_WHILE_CHARGING";

    std::string className() const override { return kClassName; }

    SpecifierList specifiers() override;
    // The write, then checkBatteryCellStatusChanged when the row is the battery cell itself.
    void setPreferenceValue(const plist::Value& value, const SpecifierPtr& specifier) override;
    void checkBatteryCellStatusChanged();

    const SpecifierPtr& hiddenCell() const { return hiddenCell_; }
    void setHiddenCell(SpecifierPtr cell) { hiddenCell_ = std::move(cell); }
    const SpecifierPtr& batteryCell() const { return batteryCell_; }
    void setBatteryCell(SpecifierPtr cell) { batteryCell_ = std::move(cell); }

private:
    // The battery cell's value as a boolean; no value (or no battery cell) counts as off.
    bool batteryCellIsOn();
    void findDependentRows(const SpecifierList& rows);

    SpecifierPtr hiddenCell_;
    SpecifierPtr batteryCell_;
};

}  // namespace vx
