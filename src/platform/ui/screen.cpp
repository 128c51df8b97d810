#include "platform/ui/screen.h"

#include "platform/foundation/log.h"

namespace vx {

UIScreen& UIScreen::mainScreen() {
    static UIScreen screen;
    return screen;
}

void UIScreen::setBounds(CGSize size) {
    if (!(size.width > 0) || !(size.height > 0)) {
        log::write("UIScreen: refusing screen size " + NSStringFromCGSize(size));
        return;
    }
    bounds_ = CGRect{{0, 0}, size};
}

void UIScreen::setScale(double scale) {
    if (!(scale > 0)) {
        log::write("UIScreen: refusing non-positive scale");
        return;
    }
    scale_ = scale;
}

void UIScreen::reset() {
    bounds_ = CGRectMake(0, 0, 320, 568);
    scale_ = 2;
}

}  // namespace vx
