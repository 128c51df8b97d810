#include "host/ps_list_items_controller.h"

#include "platform/foundation/log.h"
#include "platform/foundation/strings.h"

namespace vx {
namespace {

constexpr std::string_view kChoiceValueProperty = "value";

std::string fallbackTitle(const plist::Value& value) {
    if (value.isString()) return value.string();
    if (value.isInteger()) return std::to_string(value.integer());
    if (value.isReal()) return str::formatG(value.real());
    if (value.isBoolean()) return value.boolean() ? "1" : "0";
    return {};
}

}  // namespace

const plist::Value* PSListItemsController::choiceValue(const PSSpecifier& row) {
    return row.propertyForKey(kChoiceValueProperty);
}

SpecifierList PSListItemsController::specifiers() {
    if (hasSpecifiers()) return cachedSpecifiers();
    SpecifierList rows;
    if (const SpecifierPtr& owner = specifier()) {
        for (const plist::Value& value : owner->values()) {
            SpecifierPtr row = PSSpecifier::preferenceSpecifierNamed(
                owner->titleForValue(value).value_or(fallbackTitle(value)), weakFrom(this), nullptr,
                nullptr, "", PSCellType::Button);
            row->setProperty(value, std::string(kChoiceValueProperty));
            rows.push_back(std::move(row));
        }
    }
    setSpecifiers(rows);
    return rows;
}

std::optional<plist::Value> PSListItemsController::currentValue() {
    return valueForSpecifier(specifier());
}

void PSListItemsController::configureCell(UITableViewCell& cell, const SpecifierPtr& row) {
    PSListController::configureCell(cell, row);
    const plist::Value* value = choiceValue(*row);
    std::optional<plist::Value> current = currentValue();
    const bool chosen = value && current && *value == *current;
    cell.setAccessoryType(chosen ? UITableViewCellAccessoryType::Checkmark
                                 : UITableViewCellAccessoryType::None);
}

void PSListItemsController::activateSpecifier(const SpecifierPtr& row) {
    const plist::Value* value = choiceValue(*row);
    const SpecifierPtr& owner = specifier();
    if (!value || !owner) return;
    if (!owner->setter()) {
        log::write("Choice row \"" + owner->name() + "\" stores no value");
        return;
    }
    setValueForSpecifier(*value, owner);
    if (table()) table()->reloadData();
}

}  // namespace vx
