#pragma once
// Registers the host's own page classes in the class registry: the choice page
// ("PSListItemsController") and the plugin items page ("PluginItemsListController"), plus
// the two base page classes. Called once by whoever starts the host (application, tests).

namespace vx {

void registerHostClasses();

}  // namespace vx
