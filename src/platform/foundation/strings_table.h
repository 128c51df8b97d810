#pragma once
// .strings tables: `"KEY" = "value";` pairs as a localisation bundle holds them, read by the
// old-style property-list reader (comments, quoted and unquoted strings, the device's
// escapes), with `KEY;` meaning KEY = KEY, a repeated key keeping its last value, and every
// value a string. Input is UTF-16 with a byte-order mark, or UTF-8 with or without one.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/result.h"

namespace vx {

using StringsTable = std::map<std::string, std::string>;

// The table, or the reason (with its line number) why the text is not one. `notes` gets
// what was accepted but is likely a mistake (a /* comment never closed swallows the rest).
Result<StringsTable> parseStringsTable(std::string_view bytes,
                                       std::vector<std::string>* notes = nullptr);
// The table of a file at a device path; failures other than a missing file are logged.
Result<StringsTable> readStringsTable(std::string_view devicePath);

}  // namespace vx
