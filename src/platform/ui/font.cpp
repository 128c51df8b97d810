#include "platform/ui/font.h"

namespace vx {

UIFont UIFont::fontWithName(std::string name, double size) { return UIFont(std::move(name), size); }
UIFont UIFont::systemFontOfSize(double size) { return UIFont(".SFUIText", size); }
UIFont UIFont::boldSystemFontOfSize(double size) { return UIFont(".SFUIText-Semibold", size); }

}  // namespace vx
