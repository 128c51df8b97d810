#include "settings/veltrix_plugin_list_controller.h"

#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
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
    // A plugin that cannot be read (a path past the system's length limit, a bad file) is
    // dropped, with a line naming it.
    auto value = plist::readFile(fullPath);
    if (!value || !value->isDictionary()) {
        log::write("plugin " + fullPath +
                   " skipped: " + (value ? std::string("its root is not a dictionary") : value.error()));
        return {};
    }
    const plist::Dictionary* file = &value->dictionary();
    const plist::Value* entry = file->find("entry");
    if (entry == nullptr) return {};
    return specifiersFromEntry(*entry, str::stringByDeletingLastPathComponent(fullPath),
                               str::stringByDeletingPathExtension(str::lastPathComponent(relativePath)));
}

}  // namespace vx
