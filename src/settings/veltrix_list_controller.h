#pragma once
// VeltrixListController: what the nine list pages of the bundle (the root page and the
// eight feature sub-pages) share: the translation of row texts through the bundle's strings
// table, the switch tint set when the page loads its view, and the row read and write on
// the Veltrix preferences file.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/ps_list_controller.h"
#include "platform/ui/color.h"

namespace vx {

class VeltrixListController : public PSListController {
public:
    std::string className() const override { return "VeltrixListController"; }

    // The base's loadView, then setupTint.
    void loadView() override;

    // localizedString: — the translation of a text in the page's bundle; the text itself
    // when there is none.
    std::string localizedString(std::string_view text) const;
    // localizedSpecifiersWithSpecifiers: — translates each row's name, "footerText" and
    // titleDictionary values in place (keys stay) and returns the same list.
    const SpecifierList& localizedSpecifiersWithSpecifiers(const SpecifierList& specifiers) const;

    // setupTint: the on and off colours of the switches shown inside pages of this class.
    void setupTint();
    // The tint hooks; an empty answer means "the page does not answer this".
    virtual std::optional<bool> tintSwitches() const { return true; }
    virtual std::optional<UIColor> switchTintColor() const { return UIColor::blueColor(); }
    virtual std::optional<UIColor> switchOnTintColor() const { return UIColor::greenColor(); }
    virtual std::optional<UIColor> tintColor() const { return UIColor::blueColor(); }

    // Rows with a "key" read and write the Veltrix preferences file; the write posts the
    // row's "PostNotification" after it.
    std::optional<plist::Value> readPreferenceValue(const SpecifierPtr& specifier) override;
    void setPreferenceValue(const plist::Value& value, const SpecifierPtr& specifier) override;

protected:
    VeltrixListController() = default;

    // The cached row list, loaded from the specifier file on the first call only.
    SpecifierList& rowsLoadedOnceFrom(std::string_view plistName);
};

}  // namespace vx
