#include "platform/ui/label.h"

namespace vx {

UILabel::UILabel(CGRect frame) : UIView(frame) {}

std::shared_ptr<UILabel> UILabel::initWithFrame(CGRect frame) {
    return std::make_shared<UILabel>(frame);
}

}  // namespace vx
