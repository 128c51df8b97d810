#pragma once
// Registers the theme editor's page classes by name: the editor and the option picker.
namespace vx {

void registerThemeEditorClasses();

}  // namespace vx
