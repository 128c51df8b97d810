#include "theme_editor/optimisation.h"

#include <unistd.h>

#include <algorithm>

#include "platform/foundation/files.h"
#include "platform/foundation/log.h"
#include "platform/foundation/plist_file.h"
#include "platform/foundation/scanner.h"
#include "platform/foundation/strings.h"
#include "platform/foundation/text.h"
#include "platform/services/ub_client.h"
#include "theme_editor/javascript_string.h"

namespace vx {
namespace {

constexpr std::size_t kLoggedDeclarationBytes = 80;

// The start of a declaration, for a log line: at most kLoggedDeclarationBytes, cut on a
// character boundary.
std::string excerpt(std::string_view text) {
    if (text.size() <= kLoggedDeclarationBytes) return std::string(text);
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t next = end + str::codePointAt(text, end).length;
        if (next > kLoggedDeclarationBytes) break;
        end = next;
    }
    return std::string(text.substr(0, end)) + "…";
}

std::string withoutDoubleQuotes(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

}  // namespace

std::vector<DeclarationText> extractDeclarations(std::string text) {
    Scanner scanner(std::move(text));
    std::vector<DeclarationText> declarations;
    scanner.scanUpToString("var");
    while (!scanner.isAtEnd()) {
        scanner.scanString("var ");
        std::string declaration;
        if (scanner.scanUpToString(";", &declaration)) {
            const std::size_t start = scanner.scanLocation() - declaration.size();
            declarations.push_back({std::move(declaration), start});
        }
        scanner.scanUpToString("var");
    }
    return declarations;
}

std::vector<std::string> extractDeclarationTexts(std::string text) {
    std::vector<std::string> texts;
    for (DeclarationText& declaration : extractDeclarations(std::move(text)))
        texts.push_back(std::move(declaration.text));
    return texts;
}

std::optional<OptionsEntry> optionsEntryFromDeclaration(std::string_view declaration) {
    const std::size_t firstEquals = declaration.find('=');
    if (firstEquals == std::string_view::npos) {
        log::write("Theme optimisation: no \"=\" in the declaration \"" + excerpt(declaration) +
                   "\"; skipped");
        return std::nullopt;
    }
    std::string_view rest = declaration.substr(firstEquals + 1);
    rest = rest.substr(0, rest.find('='));
    std::string name = str::trimWhitespace(declaration.substr(0, firstEquals));
    std::string value = str::trimWhitespace(rest);
    // A value written in double quotes is a string literal: its escapes stand for the
    // characters the script meant.
    if (value.find('"') != std::string::npos)
        value = decodeJavaScriptString(withoutDoubleQuotes(std::move(value)));
    const std::string lowered = str::lowercase(value);
    const bool isBoolean = lowered == "true" || lowered == "false";
    OptionsEntry entry;
    entry.reserve(4);
    entry.set(std::string(kEntryLabel), plist::Value(name));
    entry.set(std::string(kEntryName), plist::Value(std::move(name)));
    entry.set(std::string(kEntryType), plist::Value(isBoolean ? kTypeSwitch : kTypeEdit));
    entry.set(std::string(kEntryDefault), plist::Value(std::move(value)));
    return entry;
}

ExtractedOptions extractOptions(std::string scriptText) {
    ExtractedOptions extracted;
    for (const std::string& declaration : extractDeclarationTexts(std::move(scriptText))) {
        std::optional<OptionsEntry> entry = optionsEntryFromDeclaration(declaration);
        if (!entry) continue;
        extracted.names.push_back(entryText(*entry, kEntryName));
        extracted.entries.push_back(std::move(*entry));
    }
    return extracted;
}

std::string settingsScriptPath(std::string_view folderPath, std::string_view scriptName) {
    return std::string(folderPath) + "/" + std::string(scriptName);
}

std::string settingsScriptBackupPath(std::string_view folderPath, std::string_view scriptName) {
    return settingsScriptPath(folderPath, scriptName) + ".bak";
}

Result<std::string> readSettingsScript(std::string_view folderPath,
                                       const std::optional<std::string>& scriptName) {
    if (!scriptName || scriptName->empty())
        return fail("the theme " + std::string(folderPath) + " has no settings script");
    auto decoded = text::readTextFile(settingsScriptPath(folderPath, *scriptName));
    if (!decoded) return fail(decoded.error());
    return std::move(decoded->text);
}

Result<void> writeOptionsFile(std::string_view folderPath, const OptionsList& entries) {
    const std::string path = optionsFilePath(folderPath);
    const plist::Value list(toPlistArray(entries));
    auto written = plist::writeFileAtomically(path, list);
    if (written) return written;
    // A theme folder only the privileged mover may change: the file is made beside the
    // preferences and moved into place by it.
    log::write("Theme optimisation: cannot write " + path + " (" + written.error() +
               "); asking the file mover");
    const std::string staged = std::string(kStagingFolder) + "/Options-" + std::to_string(::getpid()) +
                               ".plist";
    if (auto made = plist::writeFileAtomically(staged, list); !made)
        return fail("cannot write " + path + ": " + written.error());
    UBClient::sharedInstance()->moveFile(staged, path);
    if (files::fileExistsAtPath(staged)) {
        (void)files::removeFile(
            staged);  // ignored: a leftover in the staging folder is logged and harms nothing
        return fail("cannot write " + path + ": " + written.error() +
                    ", and the file mover could not place it");
    }
    return {};
}

Result<ExtractedOptions> optimiseTheme(std::string_view folderPath,
                                       const std::optional<std::string>& scriptName) {
    auto script = readSettingsScript(folderPath, scriptName);
    if (!script) {
        std::string reason = "Theme optimisation stopped, nothing moved or written: " + script.error();
        log::write(reason);
        return fail(std::move(reason));
    }
    ExtractedOptions extracted = extractOptions(std::move(script.value()));
    const std::string scriptPath = settingsScriptPath(folderPath, *scriptName);
    const std::string backupPath = settingsScriptBackupPath(folderPath, *scriptName);
    log::write("CORVANELOG: Old Path = " + scriptPath);
    log::write("CORVANELOG: Old Path = " + backupPath);
    // The options file first: were the script moved and the write then refused, the theme
    // would hold neither and its editor would never open again.
    if (auto written = writeOptionsFile(folderPath, extracted.entries); !written) {
        log::write("Theme optimisation: the settings script stays where it is: " + written.error());
        return extracted;
    }
    UBClient::sharedInstance()->moveFile(scriptPath, backupPath);
    if (files::fileExistsAtPath(scriptPath))
        log::write("Theme optimisation: " + scriptPath +
                   " could not be moved aside; it stays beside Options.plist");
    return extracted;
}

}  // namespace vx
