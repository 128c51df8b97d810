#include "host/specifier_file.h"

#include <array>

#include "host/ps_list_controller.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/ui/image.h"

namespace vx {
namespace {

constexpr std::array<std::string_view, 12> kStringKeys{
    "cell",       "label", "key",    "defaults", "PostNotification", "detail",
    "footerText", "id",    "action", "icon",     "placeholder",      "title"};
constexpr std::array<std::string_view, 5> kNumberKeys{"enabled", "min", "max", "showValue",
                                                      "isContinuous"};

bool isNumberOrBoolean(const plist::Value& value) { return value.isNumber(); }

// The first key whose value has the wrong type, or nothing.
std::optional<std::string> mistypedKey(const plist::Dictionary& item) {
    for (std::string_view key : kStringKeys) {
        const plist::Value* value = item.find(key);
        if (value && !value->isString()) return std::string(key) + " is not a string";
    }
    for (std::string_view key : kNumberKeys) {
        const plist::Value* value = item.find(key);
        if (value && !isNumberOrBoolean(*value)) return std::string(key) + " is not a number";
    }
    return std::nullopt;
}

// validValues/validTitles: both or neither, arrays of equal length, titles strings.
Result<void> applyChoices(const plist::Dictionary& item, PSSpecifier& specifier) {
    const plist::Value* values = item.find("validValues");
    const plist::Value* titles = item.find("validTitles");
    if (!values && !titles) return {};
    if (!values || !titles) return fail("validValues and validTitles come together");
    if (!values->isArray() || !titles->isArray()) {
        return fail("validValues and validTitles must be arrays");
    }
    if (values->array().size() != titles->array().size()) {
        return fail("validValues and validTitles differ in length");
    }
    TitleDictionary dictionary;
    for (std::size_t i = 0; i < values->array().size(); ++i) {
        const plist::Value& title = titles->array()[i];
        if (!title.isString()) return fail("validTitles holds a value that is not a string");
        dictionary.setTitle(values->array()[i], title.string());
    }
    specifier.setValues(values->array());
    specifier.setTitleDictionary(std::move(dictionary));
    return {};
}

bool isChoiceCell(PSCellType type) {
    return type == PSCellType::LinkList || type == PSCellType::Segment;
}

}  // namespace

Result<SpecifierPtr> specifierFromItem(const plist::Value& item,
                                       const std::weak_ptr<PSListController>& target) {
    const plist::Dictionary* dictionary = item.asDictionary();
    if (!dictionary) return fail("not a dictionary");
    if (auto problem = mistypedKey(*dictionary)) return fail(*problem);
    const plist::Value* cellName = dictionary->find("cell");
    if (!cellName) return fail("no cell");
    std::optional<PSCellType> cell = PSTableCell::cellTypeFromString(cellName->string());
    if (!cell) return fail("unknown cell " + cellName->string());

    const plist::Value* label = dictionary->find("label");
    const plist::Value* detail = dictionary->find("detail");
    std::string detailClass = detail ? detail->string() : std::string();
    if (isChoiceCell(*cell) && detailClass.empty()) detailClass = std::string(kChoicePageClassName);

    const bool holdsValue = dictionary->contains("key");
    SpecifierPtr specifier = PSSpecifier::preferenceSpecifierNamed(
        label ? label->string() : std::string(), target,
        holdsValue ? &PSListController::setPreferenceValue : nullptr,
        holdsValue ? &PSListController::readPreferenceValue : nullptr, std::move(detailClass), *cell);
    for (const auto& [key, value] : *dictionary) specifier->setProperty(value, key);
    if (auto choices = applyChoices(*dictionary, *specifier); !choices) {
        return fail(choices.error());
    }
    return specifier;
}

SpecifierFile specifiersFromPlist(const plist::Dictionary& root,
                                  const std::weak_ptr<PSListController>& target,
                                  std::string_view source) {
    SpecifierFile file;
    if (const plist::Value* title = root.find("title")) {
        if (title->isString()) {
            file.title = title->string();
        } else {
            log::write("Specifier file " + std::string(source) + ": title is not a string");
        }
    }
    const plist::Value* items = root.find("items");
    if (!items || !items->isArray()) {
        log::write("Specifier file " + std::string(source) + ": no items array");
        return file;
    }
    for (std::size_t index = 0; index < items->array().size(); ++index) {
        Result<SpecifierPtr> specifier = specifierFromItem(items->array()[index], target);
        if (!specifier) {
            log::write("Specifier file " + std::string(source) + ": item " + std::to_string(index) +
                       " skipped: " + specifier.error());
            continue;
        }
        file.specifiers.push_back(std::move(specifier).value());
    }
    return file;
}

void attachIconImage(PSSpecifier& row, std::string_view bundlePath) {
    std::optional<std::string> icon = row.stringPropertyForKey("icon");
    if (!icon || icon->empty() || icon->find('/') != std::string::npos) return;
    if (auto image = UIImage::imageWithContentsOfFile(std::string(bundlePath) + "/" + *icon)) {
        row.setObject(image, "iconImage");
    }
}

SpecifierFile loadSpecifierFile(std::string_view devicePath,
                                const std::weak_ptr<PSListController>& target) {
    Result<plist::Value> root = plist::readFile(devicePath);
    if (!root) {
        log::write("Specifier file " + std::string(devicePath) + " not read: " + root.error());
        return {};
    }
    const plist::Dictionary* dictionary = root->asDictionary();
    if (!dictionary) {
        log::write("Specifier file " + std::string(devicePath) + ": root is not a dictionary");
        return {};
    }
    return specifiersFromPlist(*dictionary, target, devicePath);
}

}  // namespace vx
