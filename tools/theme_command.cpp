// `theme`: the themes of a device, for theme authors and for users who script their settings.
//   theme list [--json]
//   theme lint PATH... [--json]
//   theme export NAME [FILE|-]
//   theme import FILE|- [--force]
//   theme reset NAME
// Everything goes through the theme library's own functions: the rows are the theme list's
// rows, and every change goes through the locked save of the preferences file.
#include <nlohmann/json.hpp>

#include <iomanip>
#include <iostream>
#include <memory>

#include "cli.h"
#include "platform/darwin/darwin_notify.h"
#include "platform/foundation/files.h"
#include "platform/foundation/plist_codec.h"
#include "platform/foundation/strings.h"
#include "settings/preferences_file.h"
#include "theme_editor/variable_writing.h"
#include "theme_lint.h"
#include "themes/theme_discovery.h"
#include "themes/theme_selection.h"
#include "themes/theme_settings_entry.h"
#include "themes/widget_coordinates.h"

namespace vx::cli {

namespace {

using json = nlohmann::ordered_json;

constexpr std::string_view kExportTheme = "Theme";
constexpr std::string_view kExportPosition = "position";
constexpr std::string_view kExportRecord = "record";

// ---- the rows of the theme list ----------------------------------------------------------

struct ThemeRow {
    std::string entry;
    plist::Dictionary record;
    std::string name() const { return *recordName(plist::Value(record)); }
    std::string path() const { return *recordString(plist::Value(record), "path"); }
    std::string folder() const { return str::stringByDeletingLastPathComponent(path()); }
};

// The rows the theme list shows on this device now, in its order.
std::vector<ThemeRow> themeRows(const plist::Dictionary& preferences) {
    std::vector<ThemeRow> rows;
    for (const auto& [entry, record] : scanThemeFolders(enabledThemeFolders(&preferences)))
        if (const plist::Dictionary* dict = record.asDictionary()) rows.push_back({entry, *dict});
    return rows;
}

// 1-based positions of the stored elements equal to the record.
std::vector<std::int64_t> selectedPositions(const plist::Dictionary& preferences,
                                            const plist::Dictionary& record) {
    std::vector<std::int64_t> positions;
    const plist::Array& selected = selectedThemes(&preferences);
    for (std::size_t i = 0; i < selected.size(); ++i)
        if (selected[i] == plist::Value(record)) positions.push_back(static_cast<std::int64_t>(i + 1));
    return positions;
}

const plist::Dictionary* themeOptionsOf(const plist::Dictionary& preferences) {
    const plist::Value* value = preferences.find(kThemeOptionsKey);
    return value ? value->asDictionary() : nullptr;
}

const plist::Array* storedLines(const plist::Dictionary& preferences, const std::string& path) {
    const plist::Dictionary* options = themeOptionsOf(preferences);
    const plist::Value* lines = options ? options->find(path) : nullptr;
    return lines ? lines->asArray() : nullptr;
}

std::optional<std::string> optionsSource(const std::string& path) {
    auto settings = findThemeSettings(path);
    if (!settings) return std::nullopt;
    if (!settings->scriptName) return std::string(kOptionsFileName);
    return files::fileExistsAtPath(path + "/" + std::string(kOptionsFileName))
               ? std::string(kOptionsFileName)
               : *settings->scriptName;
}

// The one row NAME means: an entry name, else a display name that only one row has.
Result<ThemeRow> findRow(const std::vector<ThemeRow>& rows, const std::string& name) {
    std::vector<const ThemeRow*> byName;
    for (const ThemeRow& row : rows) {
        if (row.entry == name) return row;
        if (row.name() == name) byName.push_back(&row);
    }
    if (byName.size() == 1) return *byName.front();
    if (byName.empty()) return fail("no theme named \"" + name + "\" on this device (see `theme list`)");
    std::string entries;
    for (const ThemeRow* row : byName)
        entries += (entries.empty() ? "" : ", ") + row->entry + " (" + row->path() + ")";
    return fail("\"" + name + "\" names " + std::to_string(byName.size()) + " themes: " + entries +
                "; give the entry name instead");
}

// ---- list --------------------------------------------------------------------------------

json recordJson(const plist::Value& element) {
    json record = json::object();
    if (const plist::Dictionary* dict = element.asDictionary())
        for (const auto& [key, value] : *dict)
            if (const std::string* text = value.asString()) record[key] = *text;
    return record;
}

json listJson(const plist::Dictionary& preferences, const std::vector<ThemeRow>& rows) {
    json themes = json::array();
    for (const ThemeRow& row : rows) {
        json theme{{"entry", row.entry},
                   {"name", row.name()},
                   {"folder", row.folder()},
                   {"path", row.path()},
                   {"html", *recordString(plist::Value(row.record), "html")}};
        auto positions = selectedPositions(preferences, row.record);
        theme["selected"] = !positions.empty();
        theme["position"] = positions.empty() ? json() : json(positions.front());
        theme["checked"] = containsThemeName(selectedThemes(&preferences), row.name());
        const plist::Dictionary* coordinates = storedCoordinateEntry(&preferences, row.name());
        theme["coordinates"] = coordinates ? json{{"x", coordinateValue(*coordinates, kWidgetXKey)},
                                                  {"y", coordinateValue(*coordinates, kWidgetYKey)}}
                                           : json();
        auto source = optionsSource(row.path());
        theme["options"] = source ? json(*source) : json();
        const plist::Array* lines = storedLines(preferences, row.path());
        theme["storedLines"] = lines ? lines->size() : 0;
        themes.push_back(std::move(theme));
    }
    json stale = json::array();
    const plist::Array& selected = selectedThemes(&preferences);
    for (std::size_t i = 0; i < selected.size(); ++i) {
        bool produced = false;
        for (const ThemeRow& row : rows) produced = produced || selected[i] == plist::Value(row.record);
        if (!produced) stale.push_back({{"position", i + 1}, {"record", recordJson(selected[i])}});
    }
    return {{"themes", std::move(themes)}, {"stale", std::move(stale)}};
}

std::string coordinateText(const json& coordinates) {
    if (coordinates.is_null()) return "-";
    std::ostringstream out;
    out << coordinates["x"].get<double>() << "," << coordinates["y"].get<double>();
    return out.str();
}

void printList(const json& list) {
    std::vector<std::array<std::string, 8>> table{
        {"ENTRY", "NAME", "HTML", "SELECTED", "X,Y", "OPTIONS", "LINES", "PATH"}};
    for (const json& theme : list["themes"]) {
        std::string selected = theme["selected"] ? "#" + std::to_string(theme["position"].get<int>())
                                                 : (theme["checked"] ? "(by name)" : "-");
        table.push_back({theme["entry"], theme["name"], theme["html"], selected,
                         coordinateText(theme["coordinates"]),
                         theme["options"].is_null() ? "-" : theme["options"].get<std::string>(),
                         std::to_string(theme["storedLines"].get<std::size_t>()), theme["path"]});
    }
    std::array<std::size_t, 8> widths{};
    for (const auto& line : table)
        for (std::size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], line[c].size());
    for (const auto& line : table) {
        for (std::size_t c = 0; c + 1 < line.size(); ++c)
            std::cout << std::left << std::setw(static_cast<int>(widths[c] + 2)) << line[c];
        std::cout << line.back() << "\n";
    }
    for (const json& stale : list["stale"]) {
        const json& record = stale["record"];
        std::cout << "stale #" << stale["position"].get<std::size_t>() << ": "
                  << (record.contains("name") ? record["name"].get<std::string>()
                                              : std::string("(no name)"))
                  << " "
                  << (record.contains("path") ? record["path"].get<std::string>()
                                              : std::string("(no path)"))
                  << " (no row of the theme list produces this record)\n";
    }
}

int runList(bool asJson) {
    auto preferences = readPreferencesFile();
    if (!preferences) return reportFailure(preferences.error());
    json list = listJson(*preferences, themeRows(*preferences));
    if (asJson)
        std::cout << list.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
    else
        printList(list);
    return kExitOk;
}

// ---- lint --------------------------------------------------------------------------------

const char* severityName(LintSeverity severity) {
    switch (severity) {
        case LintSeverity::Note: return "note";
        case LintSeverity::Warning: return "warning";
        case LintSeverity::Error: return "error";
    }
    return "note";
}

int runLint(const std::vector<std::string>& paths, bool asJson) {
    json reports = json::array();
    bool problems = false;
    for (const std::string& path : paths) {
        LintReport report = lintThemeFolder(path);
        const std::size_t errors = report.count(LintSeverity::Error);
        const std::size_t warnings = report.count(LintSeverity::Warning);
        problems = problems || errors || warnings;
        if (asJson) {
            json messages = json::array();
            for (const LintMessage& m : report.messages)
                messages.push_back({{"file", m.file},
                                    {"line", m.line ? json(*m.line) : json()},
                                    {"severity", severityName(m.severity)},
                                    {"message", m.text}});
            reports.push_back(
                {{"path", path}, {"errors", errors}, {"warnings", warnings}, {"messages", messages}});
            continue;
        }
        for (const LintMessage& m : report.messages)
            std::cout << m.file << (m.line ? ":" + std::to_string(*m.line) : std::string()) << ": "
                      << severityName(m.severity) << ": " << m.text << "\n";
        if (!errors && !warnings)
            std::cout << path << ": OK\n";
        else
            std::cout << path << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
                      << (warnings == 1 ? " warning" : " warnings") << "\n";
    }
    if (asJson)
        std::cout << json{{"themes", reports}}.dump(2, ' ', false, json::error_handler_t::replace)
                  << "\n";
    return problems ? kExitFailure : kExitOk;
}

// ---- export and import -------------------------------------------------------------------

int runExport(const std::string& name, const std::string& destination) {
    auto preferences = readPreferencesFile();
    if (!preferences) return reportFailure(preferences.error());
    auto row = findRow(themeRows(*preferences), name);
    if (!row) return reportFailure(row.error());
    plist::Dictionary exported{{std::string(kExportTheme), row->record}};
    plist::Array selection;
    for (std::int64_t position : selectedPositions(*preferences, row->record))
        selection.push_back(plist::Dictionary{{std::string(kExportPosition), position},
                                              {std::string(kExportRecord), row->record}});
    exported.set(std::string(kThemesSelectedKey), std::move(selection));
    if (const plist::Dictionary* coordinates = storedCoordinateEntry(&*preferences, row->name()))
        exported.set(std::string(kWidgetCoordinatesKey), *coordinates);
    if (const plist::Array* lines = storedLines(*preferences, row->path()))
        exported.set(std::string(kThemeOptionsKey), *lines);
    auto written = writeOutput(destination, plist::writeXml(plist::Value(std::move(exported))));
    if (!written) return reportFailure(written.error());
    return kExitOk;
}

struct ThemeExport {
    plist::Dictionary record;
    std::vector<std::int64_t> positions;  // 1-based, ascending
    std::optional<plist::Dictionary> coordinates;
    std::optional<plist::Array> lines;
};

Result<ThemeExport> parseExport(const plist::Value& value, const std::string& shown) {
    const plist::Dictionary* root = value.asDictionary();
    const plist::Value* theme = root ? root->find(kExportTheme) : nullptr;
    const plist::Dictionary* record = theme ? theme->asDictionary() : nullptr;
    if (!record || !recordName(*theme) || !recordString(*theme, "path") || !recordString(*theme, "html"))
        return fail(shown +
                    " is not a theme export: it needs a \"Theme\" record with name, path and html");
    ThemeExport parsed{*record, {}, {}, {}};
    if (const plist::Value* selection = root->find(kThemesSelectedKey)) {
        if (!selection->asArray()) return fail(shown + ": \"ThemesSelected\" is not an array");
        for (const plist::Value& item : *selection->asArray()) {
            const plist::Value* position = plist::lookup(item, kExportPosition);
            if (!position || !position->isInteger() || position->integer() < 1)
                return fail(shown + ": every \"ThemesSelected\" item needs a position of 1 or more");
            parsed.positions.push_back(position->integer());
        }
        std::sort(parsed.positions.begin(), parsed.positions.end());
    }
    if (const plist::Value* coordinates = root->find(kWidgetCoordinatesKey)) {
        if (!coordinates->asDictionary())
            return fail(shown + ": \"WidgetCoordinates\" is not a dictionary");
        parsed.coordinates = *coordinates->asDictionary();
    }
    if (const plist::Value* lines = root->find(kThemeOptionsKey)) {
        const plist::Array* array = lines->asArray();
        if (!array || !std::all_of(array->begin(), array->end(),
                                   [](const plist::Value& v) { return v.isString(); }))
            return fail(shown + ": \"ThemeOptions\" is not an array of texts");
        parsed.lines = *array;
    }
    return parsed;
}

// A dictionary member of the preferences, made a dictionary when it is missing or of
// another type (the pages read a wrong type as missing, too).
plist::Dictionary& dictionaryMember(plist::Dictionary& preferences, std::string_view key) {
    plist::Value* value = preferences.find(key);
    if (!value || !value->asDictionary()) {
        preferences.set(std::string(key), plist::Dictionary{});
        value = preferences.find(key);
    }
    return value->dictionary();
}

// Makes the stored keys of one theme what the export holds.
void applyExport(plist::Dictionary& preferences, const ThemeExport& exported,
                 const plist::Dictionary& record) {
    const std::string name = *recordName(plist::Value(record));
    const std::string path = *recordString(plist::Value(record), "path");
    plist::Array selected = selectedThemes(&preferences);
    std::erase_if(selected, [&](const plist::Value& element) {
        return element == plist::Value(record) || element == plist::Value(exported.record);
    });
    for (std::int64_t position : exported.positions) {
        auto at = std::min<std::size_t>(static_cast<std::size_t>(position - 1), selected.size());
        selected.insert(selected.begin() + static_cast<std::ptrdiff_t>(at), plist::Value(record));
    }
    preferences.set(std::string(kThemesSelectedKey), std::move(selected));
    plist::Dictionary& coordinates = dictionaryMember(preferences, kWidgetCoordinatesKey);
    if (exported.coordinates)
        coordinates.set(name, *exported.coordinates);
    else
        coordinates.erase(name);
    plist::Dictionary& options = dictionaryMember(preferences, kThemeOptionsKey);
    if (exported.lines)
        options.set(path, *exported.lines);
    else
        options.erase(path);
}

int runImport(const std::string& source, bool force) {
    const std::string shown = inputName(source);
    auto value = readPropertyListInput(source);
    if (!value) return reportFailure(value.error());
    auto exported = parseExport(*value, shown);
    if (!exported) return reportFailure(exported.error());
    auto preferences = readPreferencesFile();
    if (!preferences) return reportFailure(preferences.error());

    const plist::Value exportedRecord(exported->record);
    const std::string name = *recordName(exportedRecord);
    const std::string path = *recordString(exportedRecord, "path");
    const std::string folder = str::stringByDeletingLastPathComponent(path);
    std::optional<plist::Dictionary> target;
    for (const ThemeRow& row : themeRows(*preferences)) {
        if (row.name() != name || row.folder() != folder) continue;
        if (!target || row.path() == path) target = row.record;
    }
    if (!target && !force)
        return reportFailure("the theme \"" + name + "\" of " + folder +
                             " is not on this device; nothing was imported (--force imports it anyway)");
    const plist::Dictionary record = target ? *target : exported->record;

    auto saved = updatePreferences(
        [&](plist::Dictionary& stored) {
            applyExport(stored, *exported, record);
            return true;
        },
        WhenMissing::Create);
    if (!saved) return reportFailure("cannot import " + shown + ": " + saved.error());
    std::cout << "imported " << name << " (" << *recordString(plist::Value(record), "path") << "): "
              << (exported->positions.empty()
                      ? std::string("not selected")
                      : "selected at " + std::to_string(exported->positions.front()))
              << ", " << (exported->coordinates ? "coordinates" : "no coordinates") << ", "
              << (exported->lines ? exported->lines->size() : 0) << " stored lines\n";
    // ignored: the file is in place; post logs its own failure
    (void)darwin::post(kThemesChangedNotification);
    return kExitOk;
}

// ---- reset -------------------------------------------------------------------------------

int runReset(const std::string& name) {
    auto preferences = readPreferencesFile();
    if (!preferences) return reportFailure(preferences.error());
    auto row = findRow(themeRows(*preferences), name);
    if (!row) return reportFailure(row.error());
    std::vector<std::string> removed;
    auto saved = updatePreferences(
        [&](plist::Dictionary& stored) {
            removed.clear();
            if (const plist::Dictionary* entry = storedCoordinateEntry(&stored, row->name())) {
                std::ostringstream coordinates;
                coordinates << "the coordinates of " << row->name() << " (x "
                            << coordinateValue(*entry, kWidgetXKey) << ", y "
                            << coordinateValue(*entry, kWidgetYKey) << ")";
                removed.push_back(coordinates.str());
                dictionaryMember(stored, kWidgetCoordinatesKey).erase(row->name());
            }
            if (const plist::Array* lines = storedLines(stored, row->path())) {
                removed.push_back(std::to_string(lines->size()) + " stored lines of " + row->path());
                dictionaryMember(stored, kThemeOptionsKey).erase(row->path());
            }
            return !removed.empty();
        },
        WhenMissing::Skip);
    if (!saved) return reportFailure("cannot reset " + name + ": " + saved.error());
    if (removed.empty()) {
        std::cout << "nothing stored for " << row->entry << "; nothing removed\n";
        return kExitOk;
    }
    for (const std::string& what : removed) std::cout << "removed " << what << "\n";
    // ignored: the file is in place; post logs its own failure
    (void)darwin::post(kThemesChangedNotification);
    return kExitOk;
}

// ---- the command -------------------------------------------------------------------------

Action setUpThemeCommand(CLI::App& theme) {
    theme.require_subcommand(1);
    theme.footer(
        "NAME is a theme's entry name (Clock.theme) or its name (Clock) when only one theme "
        "has it. Exit status 1: unknown theme, unreadable file, a problem found.");
    struct Options {
        bool json = false;
        std::vector<std::string> lintPaths;
        std::string name;
        std::string file = "-";
        bool force = false;
    };
    auto options = std::make_shared<Options>();

    CLI::App* list = theme.add_subcommand(
        "list",
        "Every theme the theme list shows, in its order: entry, name, html, selection, "
        "coordinates, where its options come from, its stored lines; then stale selections");
    list->add_flag("--json", options->json, "Print JSON");

    CLI::App* lint = theme.add_subcommand(
        "lint",
        "Check theme folders the way the pages read them; print PATH/FILE:LINE: error|warning|note: "
        "message lines, then PATH: OK or PATH: N errors, M warnings (exit status 1 when "
        "there is any). Changes nothing");
    lint->add_option("PATH", options->lintPaths, "Theme folders")->required();
    lint->add_flag("--json", options->json, "Print JSON");
    runsWithoutDevice(*lint);

    CLI::App* exporting = theme.add_subcommand(
        "export",
        "Write what the preferences file keeps for one theme (selection and position, "
        "coordinates, stored lines) as an XML property list");
    exporting->add_option("NAME", options->name, "The theme")->required();
    exporting->add_option("FILE", options->file, "Where to write it (default -, standard output)");

    CLI::App* importing = theme.add_subcommand(
        "import",
        "Put back what `theme export` wrote, through the locked save, matching the theme "
        "by name and folder; posts com.corvane.veltrix/themeschanged once");
    importing->add_option("FILE", options->file, "What to read (- for standard input)")->required();
    importing->add_flag("--force", options->force, "Import even when the theme is not on this device");

    CLI::App* reset = theme.add_subcommand(
        "reset",
        "Remove a theme's stored coordinates and stored lines (not its selection) and say what went");
    reset->add_option("NAME", options->name, "The theme")->required();

    return [=](const Context&) {
        if (list->parsed()) return runList(options->json);
        if (lint->parsed()) return runLint(options->lintPaths, options->json);
        if (exporting->parsed()) return runExport(options->name, options->file);
        if (importing->parsed()) return runImport(options->file, options->force);
        if (reset->parsed()) return runReset(options->name);
        return reportFailure("theme needs list, lint, export, import or reset");
    };
}

const Registration registration{
    {"theme", "List, check, export, import and reset themes", setUpThemeCommand}};

}  // namespace

}  // namespace vx::cli
