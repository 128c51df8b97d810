#pragma once
// The plain feature sub-pages below the root page. Each shows the rows of its own specifier
// file and, except for the status-bar page, which keeps the title the host gives it, sets
// its title to the translation of its title key on every call of specifiers.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/veltrix_list_controller.h"

namespace vx {

class FeatureListController : public VeltrixListController {
public:
    SpecifierList specifiers() override;

    std::string_view specifierFileName() const { return specifierFile_; }
    const std::optional<std::string_view>& titleKey() const { return titleKey_; }

protected:
    FeatureListController(std::string_view specifierFile, std::optional<std::string_view> titleKey)
        : specifierFile_(specifierFile), titleKey_(titleKey) {}

private:
    std::string_view specifierFile_;
    std::optional<std::string_view> titleKey_;
};

// One class per page; the host opens them by class name.

class LockNoteListController : public FeatureListController {
public:
    static constexpr const char* kClassName = "LockNoteListController";
    LockNoteListController() : FeatureListController("LockNoteSettings", "NOTIFICATIONS_TITLE") {}
    std::string className() const override { return kClassName; }
};

class VeltrixHideListController : public FeatureListController {
public:
    static constexpr const char* kClassName = "VeltrixHideListController";
    VeltrixHideListController() : FeatureListController("LockHideSettings", "HIDE_SETTINGS_TITLE") {}
    std::string className() const override { return kClassName; }
};

// Sets no title: the page keeps the one the host gives it (the tapped row's name).
class LockBarListController : public FeatureListController {
public:
    static constexpr const char* kClassName = "LockBarListController";
    LockBarListController() : FeatureListController("LockBarSettings", std::nullopt) {}
    std::string className() const override { return kClassName; }
};

class LockAdvancedController : public FeatureListController {
public:
    static constexpr const char* kClassName = "LockAdvancedController";
    LockAdvancedController() : FeatureListController("Advanced", "ADVANCED_TITLE") {}
    std::string className() const override { return kClassName; }
};

class LockBatteryListController : public FeatureListController {
public:
    static constexpr const char* kClassName = "LockBatteryListController";
    LockBatteryListController() : FeatureListController("LockBatterySettings", "BATTERYVIEW_TITLE") {}
    std::string className() const override { return kClassName; }
};

class LockMiscListController : public FeatureListController {
public:
    static constexpr const char* kClassName = "LockMiscListController";
    LockMiscListController() : FeatureListController("MiscSettings", "MISC_TITLE") {}
    std::string className() const override { return kClassName; }
};

class VeltrixStringListController : public FeatureListController {
public:
    static constexpr const char* kClassName = "VeltrixStringListController";
    VeltrixStringListController()
        : FeatureListController("LockStringSettings", "CUSTOM_STRINGS_TITLE") {}
    std::string className() const override { return kClassName; }
};

}  // namespace vx
