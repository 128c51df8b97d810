#pragma once
// VeltrixPluginListController: the page behind the root page's Plugins row. It shows the
// rows of "Plugins" followed by the rows that each plugin file describes: every file below
// the plugin folder, at any depth, whose extension is exactly "plist" and whose dictionary
// has an "entry", in listing order. The host turns each entry into rows. The page neither
// translates nor tints; its rows read and write as the host's list page makes them.
#include <memory>
#include <string>
#include <string_view>

#include "host/ps_list_controller.h"

namespace vx {

class VeltrixPluginListController : public PSListController {
public:
    static constexpr const char* kClassName = "VeltrixPluginListController";
    static constexpr std::string_view kPluginFolder =
        "/Library/PreferenceBundles/VeltrixSettings.bundle/Plugins";
    static constexpr std::string_view kSpecifierFile = "Plugins";

    static std::shared_ptr<VeltrixPluginListController> init();

    std::string className() const override { return kClassName; }

    // Built on the first call, plugin rows included, and returned unchanged afterwards.
    SpecifierList specifiers() override;

private:
    void appendPluginRows(SpecifierList& rows);
    SpecifierList rowsOfPluginFile(const std::string& relativePath);
};

}  // namespace vx
