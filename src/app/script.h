#pragma once
// Gesture scripts: one gesture per line, as a person would use the Settings application.
//
//   tap ROW | switch ROW on|off | slide ROW VALUE | type ROW TEXT | clear ROW | return | alert BUTTON
//   button TITLE | back | move FROM TO | keyboard show [HEIGHT] | keyboard hide
//   wait SECONDS | show
//
// "#" at the start of a word begins a comment, except "#N" and "#S.N" (row indices).
// Double quotes group words; inside them \" is a quote and \\ a backslash. The whole script
// is parsed before anything runs, so a typo never leaves half its effects behind.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "app/row_ref.h"
#include "platform/foundation/result.h"

namespace vx {

class SettingsApplication;

enum class GestureKind {
    Tap,
    Switch,
    Slide,
    Type,
    Clear,
    Return,
    Alert,
    Button,
    Back,
    Move,
    KeyboardShow,
    KeyboardHide,
    Wait,
    Show,
};

struct ScriptStep {
    GestureKind kind = GestureKind::Show;
    int line = 0;        // 1-based line of the script
    std::string source;  // the line as written, trimmed, for messages
    RowRef row;          // tap, switch, slide, type, clear; the source row of move
    RowRef destination;  // move
    std::string text;    // type: the text; alert, button: the title
    bool on = false;     // switch
    double number = 0;   // wait: seconds; keyboard show: height (0 = default); slide: value
};

struct Script {
    std::vector<ScriptStep> steps;
};

// Splits one line into words (quotes, escapes, comments). Fails on an unterminated quote.
Result<std::vector<std::string>> splitScriptLine(std::string_view line);

// Fails with "line N: TEXT: reason" on the first line that does not parse.
Result<Script> parseScript(std::string_view text);

struct ScriptOptions {
    bool json = false;  // `show` prints one JSON object per line instead of the text picture
};

// Runs the steps on an application that already shows its root page. `show` writes the
// screen to `out`. Stops at the first gesture that cannot apply, with
// "line N: TEXT: reason".
Result<void> runScript(SettingsApplication& app, const Script& script, std::ostream& out,
                       const ScriptOptions& options = {});

// Runs one step (the web host and tests drive single steps this way).
Result<void> runStep(SettingsApplication& app, const ScriptStep& step, std::ostream& out,
                     const ScriptOptions& options = {});

}  // namespace vx
