#pragma once
// A theme's "Options.plist": an array of options entries, each a dictionary with "name",
// "label", "type" ("edit", "switch", "select" or anything else), "default" and, for
// "select", "options" (option label → text written for the variable). The entries are
// read as they stand, except that a "default" or an option value stored as a number or a
// boolean is taken as its text, as the device formats an object into a string: booleans
// "1"/"0", integers in decimal, reals in their shortest round-trip form. Any other field
// of the wrong type reads as absent.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/plist_value.h"
#include "platform/foundation/result.h"

namespace vx {

using OptionsEntry = plist::Dictionary;
using OptionsList = std::vector<OptionsEntry>;

inline constexpr std::string_view kOptionsFile = "Options.plist";
inline constexpr std::string_view kEntryName = "name";
inline constexpr std::string_view kEntryLabel = "label";
inline constexpr std::string_view kEntryType = "type";
inline constexpr std::string_view kEntryDefault = "default";
inline constexpr std::string_view kEntryOptions = "options";
inline constexpr std::string_view kTypeEdit = "edit";
inline constexpr std::string_view kTypeSwitch = "switch";
inline constexpr std::string_view kTypeSelect = "select";

// "<folder>/Options.plist".
std::string optionsFilePath(std::string_view folderPath);

// The options file's root array as it stands, in any property-list encoding, or why it
// cannot be used: the reader's reason (with its line) or a root that is not an array.
Result<plist::Array> readOptionsFile(std::string_view folderPath);
// One entry as the editor takes it: a number or boolean "default" or option value becomes
// its text form.
OptionsEntry withTextValues(OptionsEntry entry);
// The entries of the options file in file order, each as withTextValues gives it; nothing
// when the file cannot be read or its root is not an array (logged). Elements that are not
// dictionaries are skipped, each with a log line.
std::optional<OptionsList> loadOptionsFile(std::string_view folderPath);
// The entries of an options file's array; `source` names the file in log lines. Elements
// that are not dictionaries are skipped (logged).
OptionsList optionsListFromArray(const plist::Array& elements, std::string_view source);
// The text a number or a boolean stands for in a string (%@), a string itself; nothing for
// any other value.
std::optional<std::string> textForm(const plist::Value& value);
// The list as a property-list array, for writing.
plist::Array toPlistArray(const OptionsList& list);

// A string field, or nullptr when it is missing or not a string.
const std::string* entryString(const OptionsEntry& entry, std::string_view key);
// The same, with "" for absent.
std::string entryText(const OptionsEntry& entry, std::string_view key);
// The "options" dictionary, or nullptr when it is missing or not a dictionary.
const plist::Dictionary* entryOptions(const OptionsEntry& entry);
// The option labels in the order the file holds them: the picker lists them in this order
// and the picker's answer is mapped back through it.
std::vector<std::string> optionKeys(const OptionsEntry& entry);
// The text an option stands for, or nothing when the label is no key of "options" or its
// value is not a string.
std::optional<std::string> optionValue(const OptionsEntry& entry, std::string_view label);

// How a switch reads a "default" text: after leading white space, an optional sign and
// leading zeros, on when the next character is y, Y, t, T or a digit 1–9; off otherwise
// (empty and absent texts too).
bool defaultReadsAsOn(std::string_view text);

}  // namespace vx
