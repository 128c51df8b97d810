#pragma once
// Plugin entries: the row description that a plugin file holds under "entry", turned into
// rows the way the host's preference-loading extension does.
#include <memory>
#include <string_view>

#include "host/ps_specifier.h"
#include "platform/foundation/plist_value.h"

namespace vx {

// Class-registry name of the generic page that shows "<bundlePath>/<plistName>.plist".
inline constexpr std::string_view kPluginItemsPageClassName = "PluginItemsListController";
// Row properties that tell that page where its file is.
inline constexpr std::string_view kPluginBundlePathProperty = "bundlePath";
inline constexpr std::string_view kPluginPlistNameProperty = "plistName";

// An entry dictionary → one row with `target` (cell default PSLinkCell, label default
// `title`, "icon" → the row's "iconImage" from the plugin's folder). A link row opens the
// registered class named by "detail"; without one (or with an unknown one) it opens the
// generic items page. Nothing for an entry that is not a dictionary, has neither label nor
// title, or is malformed (logged).
SpecifierList specifiersFromPluginEntry(const plist::Value& entry, std::string_view bundlePath,
                                        std::string_view title,
                                        const std::weak_ptr<PSListController>& target);

}  // namespace vx
