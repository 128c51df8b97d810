#include "platform/ui/appearance.h"

namespace vx {

UIAppearance& UIAppearance::shared() {
    static UIAppearance appearance;
    return appearance;
}

SwitchAppearanceProxy& UIAppearance::switchProxy(const std::string& containerClass) {
    return switchProxies_[containerClass];
}

const SwitchAppearanceProxy* UIAppearance::findSwitchProxy(const std::string& containerClass) const {
    auto it = switchProxies_.find(containerClass);
    return it == switchProxies_.end() ? nullptr : &it->second;
}

void UIAppearance::reset() { switchProxies_.clear(); }

}  // namespace vx
