#include "host/ps_view_controller.h"

#include "platform/ui/screen.h"

namespace vx {

std::shared_ptr<PSViewController> PSViewController::init() {
    return std::make_shared<PSViewController>();
}

std::shared_ptr<PSViewController> PSViewController::initForContentSize(CGSize size) {
    return std::make_shared<PSViewController>(size);
}

bool PSViewController::respondsToSelector(std::string_view selector) const {
    return selector == "initForContentSize:" || selector == "specifier" ||
           UIViewController::respondsToSelector(selector);
}

CGSize PSViewController::contentSize() const {
    return contentSize_.value_or(UIScreen::mainScreen().bounds().size);
}

}  // namespace vx
