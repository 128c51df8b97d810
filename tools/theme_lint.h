#pragma once
// `theme lint`: checks a theme folder the way the pages will read it, through the same
// functions (theme discovery, the options-file reader, the settings-script finder and the
// optimisation's extraction), and says, like a compiler, what they will make of it.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vx::cli {

enum class LintSeverity { Note, Warning, Error };

struct LintMessage {
    std::string file;                 // the folder as given, or "<folder>/<file>"
    std::optional<std::size_t> line;  // where the file has one
    LintSeverity severity = LintSeverity::Note;
    std::string text;
};

struct LintReport {
    std::string folder;  // as given
    std::vector<LintMessage> messages;
    std::size_t count(LintSeverity severity) const;
};

// Never changes a file. Switches the current device root while it reads.
LintReport lintThemeFolder(const std::string& givenPath);

// A name that can stand after "var" in the theme's script: ECMAScript identifier
// characters and not a reserved word.
bool isJavaScriptIdentifier(const std::string& name);

}  // namespace vx::cli
