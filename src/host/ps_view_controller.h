#pragma once
// PSViewController: the Preferences framework's page base. Pages that build their own table
// derive from it directly; PSListController derives from it for pages made of rows. The
// host hands a page the row that opened it (setSpecifier) before showing it.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/ps_specifier.h"
#include "platform/ui/geometry.h"
#include "platform/ui/view_controller.h"

namespace vx {

class PSViewController : public UIViewController {
public:
    PSViewController() = default;
    explicit PSViewController(CGSize contentSize) : contentSize_(contentSize) {}

    // init and initForContentSize:
    static std::shared_ptr<PSViewController> init();
    static std::shared_ptr<PSViewController> initForContentSize(CGSize size);

    std::string className() const override { return "PSViewController"; }
    // Answers yes for "initForContentSize:" and "specifier" besides UIViewController's.
    bool respondsToSelector(std::string_view selector) const override;

    // The size the host offers the page's content (the main screen's bounds by default).
    CGSize contentSize() const;

    // The row whose tap opened this page; nullptr for a page opened otherwise.
    const SpecifierPtr& specifier() const { return specifier_; }
    virtual void setSpecifier(SpecifierPtr specifier) { specifier_ = std::move(specifier); }

private:
    std::optional<CGSize> contentSize_;
    SpecifierPtr specifier_;
};

}  // namespace vx
