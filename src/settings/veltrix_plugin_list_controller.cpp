#include "settings/veltrix_plugin_list_controller.h"

#include "platform/foundation/files.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/strings.h"

namespace vx {

std::shared_ptr<VeltrixPluginListController> VeltrixPluginListController::init() {
    return std::make_shared<VeltrixPluginListController>();
}

SpecifierList VeltrixPluginListController::specifiers() {
    if (!hasSpecifiers()) {
        SpecifierList rows = loadSpecifiersFromPlistName(kSpecifierFile, weakFrom(this));
        appendPluginRows(rows);
        setSpecifiers(std::move(rows));
    }
    return cachedSpecifiers();
}

void VeltrixPluginListController::appendPluginRows(SpecifierList& rows) {
    for (const std::string& path : files::subpathsOfDirectoryAtPath(kPluginFolder)) {
        if (str::pathExtension(path) != "plist") continue;  // case-sensitive, as the device
        SpecifierList pluginRows = rowsOfPluginFile(path);
        rows.insert(rows.end(), pluginRows.begin(), pluginRows.end());
    }
}

SpecifierList VeltrixPluginListController::rowsOfPluginFile(const std::string& relativePath) {
    const std::string fullPath = std::string(kPluginFolder) + "/" + relativePath;
    std::optional<plist::Dictionary> file = plist::dictionaryWithContentsOfFile(fullPath);
    if (!file) return {};
    const plist::Value* entry = file->find("entry");
    if (entry == nullptr) return {};
    return specifiersFromEntry(*entry, str::stringByDeletingLastPathComponent(fullPath),
                               str::stringByDeletingPathExtension(
                                   str::lastPathComponent(relativePath)));
}

}  // namespace vx
