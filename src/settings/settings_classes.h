#pragma once
// Registers the settings bundle's classes by name, as loading the bundle makes them known
// to the host: the root page, the eight feature sub-pages, the plugin page and MyLocation.
// The host creates pages from these names (link rows' "detail", the bundle's root class).
namespace vx {

void registerSettingsClasses();

}  // namespace vx
