#pragma once
// Property-list files by device path: dictionaryWithContentsOfFile:, arrayWithContentsOfFile:
// and atomic writes (temporary file, sync, rename, sync the folder).
#include <optional>
#include <string_view>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx::plist {

Result<Value> readFile(std::string_view devicePath);
// Nothing when the file is missing, unreadable, not a property list or of another root type.
std::optional<Dictionary> dictionaryWithContentsOfFile(std::string_view devicePath);
std::optional<Array> arrayWithContentsOfFile(std::string_view devicePath);
// writeToFile:atomically:YES in the XML form; the old file stays whole on any failure.
// A value holding text XML cannot carry is refused (plist::checkText) and nothing is written.
Result<void> writeFileAtomically(std::string_view devicePath, const Value& value);

}  // namespace vx::plist
