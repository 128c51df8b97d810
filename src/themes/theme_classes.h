#pragma once
// Registers the theme library's page classes by name: the theme list, the coordinates page
// and the theme order page.
namespace vx {

void registerThemeClasses();

}  // namespace vx
