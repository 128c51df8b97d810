#pragma once
// PSSpecifier: one row of a list page. A name, a cell type, a properties dictionary (the
// keys of the specifier file: "key", "default", "PostNotification", "footerText", ...),
// the page that answers for it (target, held weakly), the value hooks called on that page,
// the page class a tap opens, and for choice rows the titles of the stored values.
#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/ps_table_cell.h"
#include "platform/foundation/plist_value.h"

namespace vx {

class PSListController;
class PSSpecifier;

using SpecifierPtr = std::shared_ptr<PSSpecifier>;
using SpecifierList = std::vector<SpecifierPtr>;

// Stored value → shown title, in the order of the file's validValues. Keys compare with
// Foundation's equality (1 == true == 1.0).
class TitleDictionary {
public:
    using Entry = std::pair<plist::Value, std::string>;

    TitleDictionary() = default;
    TitleDictionary(std::initializer_list<Entry> entries);

    // The title of a stored value; nullptr when the value has none.
    const std::string* titleForValue(const plist::Value& value) const;
    // Sets or replaces the title of a value (a replaced key keeps its place).
    void setTitle(plist::Value value, std::string title);
    std::vector<plist::Value> keys() const;

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    bool operator==(const TitleDictionary&) const = default;

private:
    std::vector<Entry> entries_;
};

class PSSpecifier {
public:
    // The row's value hooks, the framework's get: and set: selectors, called on the target:
    // normally &PSListController::readPreferenceValue and &PSListController::setPreferenceValue.
    using Getter = std::optional<plist::Value> (PSListController::*)(const SpecifierPtr&);
    using Setter = void (PSListController::*)(const plist::Value&, const SpecifierPtr&);

    // preferenceSpecifierNamed:target:set:get:detail:cell:edit:
    static SpecifierPtr preferenceSpecifierNamed(std::string name,
                                                 std::weak_ptr<PSListController> target, Setter setter,
                                                 Getter getter, std::string detailClassName,
                                                 PSCellType cell, std::string editClassName = {});

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    const plist::Dictionary& properties() const { return properties_; }
    plist::Dictionary& properties() { return properties_; }
    // propertyForKey: nullptr when the row has no such property.
    const plist::Value* propertyForKey(std::string_view key) const;
    // propertyForKey: as a string; nothing when absent or not a string.
    std::optional<std::string> stringPropertyForKey(std::string_view key) const;
    // setProperty:forKey:
    void setProperty(plist::Value value, std::string key);
    void removePropertyForKey(std::string_view key);

    // Properties that are not property-list values ("iconImage": an image object).
    void setObject(std::any object, std::string key);
    const std::any* objectForKey(std::string_view key) const;
    template <class T>
    const T* objectForKey(std::string_view key) const {
        const std::any* object = objectForKey(key);
        return object ? std::any_cast<T>(object) : nullptr;
    }

    // titleDictionary / setTitleDictionary: nothing when the row is not a choice row.
    const std::optional<TitleDictionary>& titleDictionary() const { return titleDictionary_; }
    void setTitleDictionary(std::optional<TitleDictionary> titles) {
        titleDictionary_ = std::move(titles);
    }
    // The stored values a choice row offers, in order (validValues).
    const plist::Array& values() const { return values_; }
    void setValues(plist::Array values) { values_ = std::move(values); }
    // The title shown for a stored value: its titleDictionary entry, else nothing.
    std::optional<std::string> titleForValue(const plist::Value& value) const;

    PSCellType cellType() const { return cellType_; }
    void setCellType(PSCellType type) { cellType_ = type; }
    // The page class (class registry name) a tap opens; "" for none.
    const std::string& detailClassName() const { return detailClassName_; }
    void setDetailClassName(std::string name) { detailClassName_ = std::move(name); }
    const std::string& editClassName() const { return editClassName_; }

    const std::weak_ptr<PSListController>& target() const { return target_; }
    void setTarget(std::weak_ptr<PSListController> target) { target_ = std::move(target); }
    Getter getter() const { return getter_; }
    Setter setter() const { return setter_; }
    void setValueHooks(Setter setter, Getter getter) {
        setter_ = setter;
        getter_ = getter;
    }

    // The row's identifier: its "id" property, else its name.
    std::string identifier() const;
    // The button action's name ("lauchDoc:"); "" for none.
    std::string actionName() const;
    // "enabled" false makes the row untappable; rows are enabled by default.
    bool isEnabled() const;
    // The preference key ("key"); "" for a row that holds no value.
    std::string key() const;

private:
    PSSpecifier() = default;

    std::string name_;
    plist::Dictionary properties_;
    std::map<std::string, std::any, std::less<>> objects_;
    std::optional<TitleDictionary> titleDictionary_;
    plist::Array values_;
    PSCellType cellType_ = PSCellType::StaticText;
    std::string detailClassName_;
    std::string editClassName_;
    std::weak_ptr<PSListController> target_;
    Getter getter_ = nullptr;
    Setter setter_ = nullptr;
};

}  // namespace vx
