#pragma once
// Specifier files: a property list whose root dictionary holds an "items" array (one
// dictionary per row) and an optional "title". Turns each item into a PSSpecifier; an item
// that is malformed is skipped with a log line, so one bad row never hides the others.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/ps_specifier.h"
#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx {

// The class-registry name of the host's choice page, the detail of choice rows.
inline constexpr std::string_view kChoicePageClassName = "PSListItemsController";

struct SpecifierFile {
    std::optional<std::string> title;
    SpecifierList specifiers;
};

// One item of a specifier file as a row with the given target, or the reason it is not one.
Result<SpecifierPtr> specifierFromItem(const plist::Value& item,
                                       const std::weak_ptr<PSListController>& target);

// The rows of a parsed specifier file; `source` names the file in log lines.
SpecifierFile specifiersFromPlist(const plist::Dictionary& root,
                                  const std::weak_ptr<PSListController>& target,
                                  std::string_view source);

// A row's "icon" (a file name in the bundle folder) as its "iconImage" object; nothing when
// the row names no icon, a path, or a file that is not there.
void attachIconImage(PSSpecifier& row, std::string_view bundlePath);

// Reads the specifier file at a device path. A missing or unreadable file, or one whose root
// is not a dictionary, gives no rows (logged).
SpecifierFile loadSpecifierFile(std::string_view devicePath,
                                const std::weak_ptr<PSListController>& target);

}  // namespace vx
