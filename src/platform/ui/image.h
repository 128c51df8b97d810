#pragma once
// UIImage, headless: an image is known by where it came from (a file path, or an
// application's icon) and its scale. Nothing is decoded.
#include <memory>
#include <string>

#include "platform/foundation/object.h"

namespace vx {

class UIImage : public Object {
public:
    // imageWithContentsOfFile: — a device path; nullptr when the file does not exist.
    static std::shared_ptr<UIImage> imageWithContentsOfFile(const std::string& devicePath);
    // _applicationIconImageForBundleIdentifier:format:scale: — the icon of an installed
    // application; always answers for "com.apple.Preferences".
    static std::shared_ptr<UIImage> _applicationIconImageForBundleIdentifier(
        const std::string& bundleIdentifier, int format, double scale);

    std::string className() const override { return "UIImage"; }

    // Where the image came from: the device path, or "icon:<bundle identifier>".
    const std::string& source() const { return source_; }
    double scale() const { return scale_; }

    UIImage(std::string source, double scale) : source_(std::move(source)), scale_(scale) {}

private:
    std::string source_;
    double scale_ = 1;
};

}  // namespace vx
