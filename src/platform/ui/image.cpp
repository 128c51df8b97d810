#include "platform/ui/image.h"

#include "platform/foundation/files.h"
#include "platform/ui/screen.h"

namespace vx {

std::shared_ptr<UIImage> UIImage::imageWithContentsOfFile(const std::string& devicePath) {
    if (devicePath.empty() || !files::fileExistsAtPath(devicePath) || files::isDirectory(devicePath)) {
        return nullptr;
    }
    return std::make_shared<UIImage>(devicePath, 1);
}

std::shared_ptr<UIImage> UIImage::_applicationIconImageForBundleIdentifier(
    const std::string& bundleIdentifier, int format, double scale) {
    (void)format;
    if (bundleIdentifier.empty()) return nullptr;
    return std::make_shared<UIImage>("icon:" + bundleIdentifier,
                                     scale > 0 ? scale : UIScreen::mainScreen().scale());
}

}  // namespace vx
