#include "host/plugin_entry.h"

#include "host/specifier_file.h"
#include "platform/foundation/log.h"
#include "platform/services/class_registry.h"

namespace vx {
namespace {

// "label" as given, else the title; nothing when both are empty or the label is no string.
std::optional<std::string> entryLabel(const plist::Dictionary& entry, std::string_view title) {
    if (const plist::Value* label = entry.find("label")) {
        if (!label->isString()) return std::nullopt;
        if (!label->string().empty()) return label->string();
    }
    if (title.empty()) return std::nullopt;
    return std::string(title);
}

// The page class a link entry opens: its registered "detail", else the generic items page.
std::string entryDetailClass(const plist::Dictionary& entry, std::string_view title) {
    const plist::Value* detail = entry.find("detail");
    if (detail && detail->isString() && !detail->string().empty()) {
        if (ClassRegistry::shared().hasClass(detail->string())) return detail->string();
        log::write("Plugin " + std::string(title) + ": no page class \"" + detail->string() +
                   "\"; showing its items instead");
    }
    return std::string(kPluginItemsPageClassName);
}

}  // namespace

SpecifierList specifiersFromPluginEntry(const plist::Value& entry, std::string_view bundlePath,
                                        std::string_view title,
                                        const std::weak_ptr<PSListController>& target) {
    const plist::Dictionary* fields = entry.asDictionary();
    if (!fields) return {};
    std::optional<std::string> label = entryLabel(*fields, title);
    if (!label) return {};

    plist::Dictionary item = *fields;
    item.set("label", *label);
    if (!item.contains("cell")) item.set("cell", "PSLinkCell");
    const plist::Value* cell = item.find("cell");
    const bool isLink = cell->isString() && cell->string() == "PSLinkCell";
    if (isLink) {
        item.set("detail", entryDetailClass(*fields, title));
        item.set(std::string(kPluginBundlePathProperty), std::string(bundlePath));
        item.set(std::string(kPluginPlistNameProperty), std::string(title));
    }
    Result<SpecifierPtr> row = specifierFromItem(item, target);
    if (!row) {
        log::write("Plugin " + std::string(title) + ": entry skipped: " + row.error());
        return {};
    }
    attachIconImage(**row, bundlePath);
    return {std::move(row).value()};
}

}  // namespace vx
