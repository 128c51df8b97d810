#include "host/ps_specifier.h"

namespace vx {

TitleDictionary::TitleDictionary(std::initializer_list<Entry> entries) {
    for (const auto& [value, title] : entries) setTitle(value, title);
}

const std::string* TitleDictionary::titleForValue(const plist::Value& value) const {
    for (const auto& [key, title] : entries_) {
        if (key == value) return &title;
    }
    return nullptr;
}

void TitleDictionary::setTitle(plist::Value value, std::string title) {
    for (auto& [key, existing] : entries_) {
        if (key == value) {
            existing = std::move(title);
            return;
        }
    }
    entries_.emplace_back(std::move(value), std::move(title));
}

std::vector<plist::Value> TitleDictionary::keys() const {
    std::vector<plist::Value> keys;
    keys.reserve(entries_.size());
    for (const auto& entry : entries_) keys.push_back(entry.first);
    return keys;
}

SpecifierPtr PSSpecifier::preferenceSpecifierNamed(std::string name,
                                                   std::weak_ptr<PSListController> target, Setter setter,
                                                   Getter getter, std::string detailClassName,
                                                   PSCellType cell, std::string editClassName) {
    SpecifierPtr specifier(new PSSpecifier());
    specifier->name_ = std::move(name);
    specifier->target_ = std::move(target);
    specifier->setter_ = setter;
    specifier->getter_ = getter;
    specifier->detailClassName_ = std::move(detailClassName);
    specifier->cellType_ = cell;
    specifier->editClassName_ = std::move(editClassName);
    return specifier;
}

const plist::Value* PSSpecifier::propertyForKey(std::string_view key) const {
    return properties_.find(key);
}

std::optional<std::string> PSSpecifier::stringPropertyForKey(std::string_view key) const {
    const plist::Value* value = properties_.find(key);
    if (!value || !value->isString()) return std::nullopt;
    return value->string();
}

void PSSpecifier::setProperty(plist::Value value, std::string key) {
    properties_.set(std::move(key), std::move(value));
}

void PSSpecifier::removePropertyForKey(std::string_view key) { properties_.erase(key); }

void PSSpecifier::setObject(std::any object, std::string key) {
    objects_.insert_or_assign(std::move(key), std::move(object));
}

const std::any* PSSpecifier::objectForKey(std::string_view key) const {
    auto found = objects_.find(key);
    return found == objects_.end() ? nullptr : &found->second;
}

std::optional<std::string> PSSpecifier::titleForValue(const plist::Value& value) const {
    if (!titleDictionary_) return std::nullopt;
    const std::string* title = titleDictionary_->titleForValue(value);
    if (!title) return std::nullopt;
    return *title;
}

std::string PSSpecifier::identifier() const { return stringPropertyForKey("id").value_or(name_); }

std::string PSSpecifier::actionName() const { return stringPropertyForKey("action").value_or(""); }

bool PSSpecifier::isEnabled() const {
    const plist::Value* enabled = properties_.find("enabled");
    return !enabled || enabled->boolValue();
}

std::string PSSpecifier::key() const { return stringPropertyForKey("key").value_or(""); }

}  // namespace vx
