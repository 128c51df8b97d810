#pragma once
// PSListItemsController: the choice page a link-list row opens. One row per stored value of
// the opening row (its validValues, titled by its titleDictionary), a check mark on the
// current value; a tap writes the chosen value through the opening row's setter on its own
// page (normally that page's setPreferenceValue) and moves the check mark.
#include <memory>
#include <string>

#include "host/ps_list_controller.h"

namespace vx {

class PSListItemsController : public PSListController {
public:
    std::string className() const override { return "PSListItemsController"; }

    SpecifierList specifiers() override;

    // The value a choice row stands for (nullptr for a row that is no choice).
    static const plist::Value* choiceValue(const PSSpecifier& row);

protected:
    void configureCell(UITableViewCell& cell, const SpecifierPtr& specifier) override;
    void activateSpecifier(const SpecifierPtr& specifier) override;

private:
    std::optional<plist::Value> currentValue();
};

}  // namespace vx
