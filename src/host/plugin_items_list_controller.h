#pragma once
// The generic page a plugin's link row opens when the plugin names no page class of its
// own: the rows (and title) of "<bundlePath>/<plistName>.plist", both taken from the row
// that opened it. Its rows read and write their "defaults" domains through the base
// PSListController.
#include <string>

#include "host/ps_list_controller.h"

namespace vx {

class PluginItemsListController : public PSListController {
public:
    std::string className() const override { return "PluginItemsListController"; }

    SpecifierList specifiers() override;
    // The plugin's folder, from the opening row.
    std::string bundlePath() const override;
};

}  // namespace vx
