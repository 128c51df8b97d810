#include <ostream>

#include "app/screen.h"
#include "app/script.h"
#include "app/settings_application.h"
#include "platform/foundation/save_watch.h"

namespace vx {
namespace {

std::string located(const ScriptStep& step, const std::string& reason) {
    return "line " + std::to_string(step.line) + ": " + step.source + ": " + reason;
}

void printScreen(SettingsApplication& app, std::ostream& out, const ScriptOptions& options) {
    Screen screen = app.screen();
    if (options.json) {
        out << toJsonLine(screen) << '\n';
    } else {
        out << toText(screen);
    }
    out.flush();
}

Result<void> runGesture(SettingsApplication& app, const ScriptStep& step, std::ostream& out,
                        const ScriptOptions& options) {
    Result<void> done;
    switch (step.kind) {
        case GestureKind::Tap: done = app.tap(step.row); break;
        case GestureKind::Switch: done = app.setSwitch(step.row, step.on); break;
        case GestureKind::Slide: done = app.slide(step.row, step.number); break;
        case GestureKind::Type: done = app.type(step.row, step.text); break;
        case GestureKind::Clear: done = app.clear(step.row); break;
        case GestureKind::Return: done = app.pressReturn(); break;
        case GestureKind::Alert: done = app.pressAlertButton(step.text); break;
        case GestureKind::Button: done = app.pressBarButton(step.text); break;
        case GestureKind::Back: done = app.goBack(); break;
        case GestureKind::Move: done = app.moveRow(step.row, step.destination); break;
        case GestureKind::KeyboardShow:
            done = step.number > 0 ? app.showKeyboard(step.number) : app.showKeyboard();
            break;
        case GestureKind::KeyboardHide: done = app.hideKeyboard(); break;
        case GestureKind::Wait: done = app.wait(step.number); break;
        case GestureKind::Show: printScreen(app, out, options); break;
    }
    return done;
}

}  // namespace

// A gesture whose save fails stops the script: the pages only log it, so the failure is
// caught by a SaveWatch, and the visible rows are redrawn from what is stored.
Result<void> runStep(SettingsApplication& app, const ScriptStep& step, std::ostream& out,
                     const ScriptOptions& options) {
    SaveWatch watch;
    Result<void> done = runGesture(app, step, out, options);
    if (!done) {
        return fail(located(step, done.error()));
    }
    if (!watch.failures().empty()) {
        app.showStoredValues();
        return fail(located(step, "not saved: " + watch.failures().front()));
    }
    return {};
}

Result<void> runScript(SettingsApplication& app, const Script& script, std::ostream& out,
                       const ScriptOptions& options) {
    for (const auto& step : script.steps) {
        if (auto done = runStep(app, step, out, options); !done) {
            return done;
        }
    }
    return {};
}

}  // namespace vx
