// `prefs`: read and change the preferences file from the command line, like `defaults`.
//   prefs read [KEY] [--json]
//   prefs write KEY [-bool|-int|-float|-string] VALUE
//   prefs delete KEY
//   prefs export FILE|-
//   prefs import FILE|-
#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>

#include "cli.h"
#include "platform/darwin/darwin_notify.h"
#include "platform/foundation/device_root.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/preferences_store.h"
#include "platform/foundation/root_jail.h"
#include "platform/foundation/text.h"
#include "settings/preferences_file.h"

namespace vx::cli {

namespace {

// ---- reading -----------------------------------------------------------------------------

std::string formatReal(double real) {
    if (!std::isfinite(real)) return std::isnan(real) ? "nan" : (real > 0 ? "inf" : "-inf");
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, real);
    return ec == std::errc() ? std::string(buffer, end) : std::to_string(real);
}

std::string formatDate(const plist::Date& date) {
    std::time_t seconds = static_cast<std::time_t>(std::floor(date.sinceReferenceDate)) +
                          plist::Date::kReferenceUnixSeconds;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return buffer;
}

bool isBareWord(const std::string& text) {
    if (text.empty()) return false;
    for (unsigned char c : text)
        if (!std::isalnum(c) && c != '_' && c != '.' && c != '/' && c != '-') return false;
    return true;
}

std::string quoted(const std::string& text) {
    if (isBareWord(text)) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::vector<const plist::Dictionary::Entry*> sortedEntries(const plist::Dictionary& dict) {
    std::vector<const plist::Dictionary::Entry*> entries;
    for (const auto& entry : dict) entries.push_back(&entry);
    std::sort(entries.begin(), entries.end(), [](auto* a, auto* b) { return a->first < b->first; });
    return entries;
}

// The readable old-style property-list form that `defaults read` prints.
void writeText(std::ostream& out, const plist::Value& value, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    const std::string inner(static_cast<std::size_t>(depth + 1) * 4, ' ');
    switch (value.type()) {
        case plist::Value::Type::Boolean: out << (value.boolean() ? 1 : 0); break;
        case plist::Value::Type::Integer: out << value.integer(); break;
        case plist::Value::Type::Real: out << formatReal(value.real()); break;
        case plist::Value::Type::String: out << quoted(value.string()); break;
        case plist::Value::Type::Date: out << '"' << formatDate(value.date()) << '"'; break;
        case plist::Value::Type::Data: {
            out << "{length = " << value.data().size() << ", bytes = 0x";
            char hex[3];
            for (auto byte : value.data()) {
                std::snprintf(hex, sizeof hex, "%02x", byte);
                out << hex;
            }
            out << "}";
            break;
        }
        case plist::Value::Type::Array: {
            out << "(\n";
            const auto& array = value.array();
            for (std::size_t i = 0; i < array.size(); ++i) {
                out << inner;
                writeText(out, array[i], depth + 1);
                out << (i + 1 < array.size() ? ",\n" : "\n");
            }
            out << indent << ")";
            break;
        }
        case plist::Value::Type::Dictionary: {
            out << "{\n";
            for (const auto* entry : sortedEntries(value.dictionary())) {
                out << inner << quoted(entry->first) << " = ";
                writeText(out, entry->second, depth + 1);
                out << ";\n";
            }
            out << indent << "}";
            break;
        }
    }
}

// JSON: dates as "YYYY-MM-DD hh:mm:ss +0000", data as base64 strings, non-finite reals null.
nlohmann::json toJson(const plist::Value& value) {
    switch (value.type()) {
        case plist::Value::Type::Boolean: return value.boolean();
        case plist::Value::Type::Integer: return value.integer();
        case plist::Value::Type::Real:
            return std::isfinite(value.real()) ? nlohmann::json(value.real()) : nlohmann::json();
        case plist::Value::Type::String: return value.string();
        case plist::Value::Type::Date: return formatDate(value.date());
        case plist::Value::Type::Data: {
            std::string base64;
            plist::appendBase64(base64, value.data());
            return base64;
        }
        case plist::Value::Type::Array: {
            nlohmann::json array = nlohmann::json::array();
            for (const auto& item : value.array()) array.push_back(toJson(item));
            return array;
        }
        case plist::Value::Type::Dictionary: {
            nlohmann::json object = nlohmann::json::object();
            for (const auto& [key, item] : value.dictionary()) object[key] = toJson(item);
            return object;
        }
    }
    return nullptr;
}

int printValue(const plist::Value& value, bool json, bool rawString) {
    if (json) {
        std::cout << toJson(value).dump(4, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else if (rawString && value.isString()) {
        std::cout << value.string() << "\n";  // `defaults read DOMAIN KEY` prints strings bare
    } else {
        writeText(std::cout, value, 0);
        std::cout << "\n";
    }
    return kExitOk;
}

int runRead(const std::string& key, bool json) {
    auto preferences = readPreferencesFile();
    if (!preferences) return reportFailure(preferences.error());
    if (key.empty()) return printValue(plist::Value(*preferences), json, false);
    const plist::Value* value = preferences->find(key);
    if (!value)
        return reportFailure("the key \"" + key + "\" is not in " +
                             DeviceRoot::resolve(kPreferencesPath).string());
    return printValue(*value, json, true);
}

// ---- writing -----------------------------------------------------------------------------

std::string lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

Result<plist::Value> parseTypedValue(const std::string& type, const std::string& text) {
    if (type == "-string") return plist::Value(text);
    if (type == "-bool" || type == "-boolean") {
        std::string word = lowercase(text);
        if (word == "true" || word == "yes" || word == "1") return plist::Value(true);
        if (word == "false" || word == "no" || word == "0") return plist::Value(false);
        return fail("\"" + text + "\" is not a boolean (true, false, yes, no, 1 or 0)");
    }
    if (type == "-int" || type == "-integer") {
        std::int64_t number = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size())
            return fail("\"" + text + "\" is not an integer that fits in 64 bits");
        return plist::Value(number);
    }
    if (type == "-float") {
        char* end = nullptr;
        errno = 0;
        double number = std::strtod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE ||
            !std::isfinite(number) || std::isspace(static_cast<unsigned char>(text.front())))
            return fail("\"" + text + "\" is not a finite number");
        return plist::Value(number);
    }
    return fail("unknown type " + type + " (use -bool, -int, -float or -string)");
}

// The value is on disk either way; a folder that could not be synced is still exit 1, so
// that scripts notice.
int reportDurability(SaveOutcome outcome, const std::string& key) {
    if (outcome != SaveOutcome::WrittenFolderNotSynced) return kExitOk;
    return reportFailure(key + ": " + std::string(kNotSyncedReason));
}

int runWrite(const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3)
        return reportFailure("usage: prefs write KEY [-bool|-int|-float|-string] VALUE");
    const std::string& key = args[0];
    if (key.empty()) return reportFailure("the key must not be empty");
    if (auto checked = text::checkXmlText(key); !checked)
        return reportFailure("bad key: " + checked.error() + "; nothing was saved");
    auto value = args.size() == 2 ? Result<plist::Value>(plist::Value(args[1]))
                                  : parseTypedValue(args[1], args[2]);
    if (!value) return reportFailure("bad value for " + key + ": " + value.error());
    if (auto checked = plist::checkText(*value); !checked)
        return reportFailure("bad value for " + key + ": " + checked.error() + "; nothing was saved");
    auto saved = updatePreferences(
        [&](plist::Dictionary& preferences) {
            preferences.set(key, *value);
            return true;
        },
        WhenMissing::Create);
    if (!saved) return reportFailure("cannot save " + key + ": " + saved.error());
    return reportDurability(*saved, key);
}

int runDelete(const std::string& key) {
    bool readable = false;
    bool found = false;
    auto saved = updatePreferences(
        [&](plist::Dictionary& preferences) {
            readable = true;
            found = preferences.erase(key);
            return found;
        },
        WhenMissing::Skip);
    const std::string path = DeviceRoot::resolve(kPreferencesPath).string();
    if (!saved) return reportFailure("cannot delete " + key + ": " + saved.error());
    if (*saved == SaveOutcome::WrittenFolderNotSynced) return reportDurability(*saved, key);
    if (!readable && jail::stat(kPreferencesPath))
        return reportFailure("cannot read " + path + " (see the log line above)");
    if (!found) return reportFailure("the key \"" + key + "\" is not in " + path);
    return kExitOk;
}

// ---- export and import -------------------------------------------------------------------

int runExport(const std::string& destination) {
    auto preferences = readPreferencesFile();
    if (!preferences) return reportFailure(preferences.error());
    auto written = writeOutput(destination, plist::writeXml(plist::Value(std::move(*preferences))));
    if (!written) return reportFailure(written.error());
    return kExitOk;
}

int runImport(const std::string& source) {
    const std::string shown = inputName(source);
    auto value = readPropertyListInput(source);
    if (!value) return reportFailure(value.error());
    if (!value->isDictionary())
        return reportFailure(shown +
                             " is a property list whose root is not a dictionary; nothing was imported");
    auto replaced = replacePlistFile(kPreferencesPath, std::move(value->dictionary()));
    if (!replaced) return reportFailure("cannot import " + shown + ": " + replaced.error());
    std::cout << "imported " << shown << " into " << DeviceRoot::resolve(kPreferencesPath).string()
              << "\n";
    if (*replaced) std::cout << "the replaced file is kept as " << (*replaced)->string() << "\n";
    // ignored: the file is in place; post logs its own failure
    (void)darwin::post(kSettingsChangedNotification);
    return kExitOk;
}

// ---- the command -------------------------------------------------------------------------

Action setUpPrefsCommand(CLI::App& prefs) {
    prefs.require_subcommand(1);
    prefs.footer(
        "The file is <root>/var/mobile/Library/Preferences/com.corvane.veltrix.plist. "
        "Exit status 1: missing key, bad value, unreadable or unwritable file.");
    struct Options {
        std::string readKey;
        bool json = false;
        std::string deleteKey;
        std::string exportTo;
        std::string importFrom;
    };
    auto options = std::make_shared<Options>();

    CLI::App* read = prefs.add_subcommand("read", "Print the whole file, or the value of KEY");
    read->add_option("KEY", options->readKey, "The top-level key to print");
    read->add_flag("--json", options->json, "Print JSON instead of the old-style property-list text");

    CLI::App* write = prefs.add_subcommand(
        "write",
        "Store VALUE under KEY: prefs write KEY [-bool|-int|-float|-string] VALUE "
        "(a string without a type flag)");
    // KEY, the single-dash type flag and VALUE are read by hand: CLI11 would take "-bool"
    // for a bundle of short options.
    write->prefix_command();
    write->allow_extras();

    CLI::App* erase = prefs.add_subcommand("delete", "Remove KEY from the file");
    erase->add_option("KEY", options->deleteKey, "The top-level key to remove")->required();

    CLI::App* exporting = prefs.add_subcommand("export", "Write the whole file as an XML property list");
    exporting->add_option("FILE", options->exportTo, "Where to write it (- for standard output)")
        ->required();

    CLI::App* importing = prefs.add_subcommand(
        "import",
        "Replace the whole file with FILE, a property list whose root is a dictionary "
        "(XML or binary), through the locked save; the replaced file is kept beside it "
        "(named in the output) and com.corvane.veltrix/settingschanged is posted once");
    importing->add_option("FILE", options->importFrom, "What to read (- for standard input)")
        ->required();

    return [options, read, write, erase, exporting, importing](const Context&) {
        if (read->parsed()) return runRead(options->readKey, options->json);
        if (write->parsed()) return runWrite(write->remaining());
        if (erase->parsed()) return runDelete(options->deleteKey);
        if (exporting->parsed()) return runExport(options->exportTo);
        if (importing->parsed()) return runImport(options->importFrom);
        return reportFailure("prefs needs read, write, delete, export or import");
    };
}

const Registration registration{
    {"prefs", "Read and change the preferences file, like defaults", setUpPrefsCommand}};

}  // namespace

}  // namespace vx::cli
