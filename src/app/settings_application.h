#pragma once
// The Settings application, headless: it opens the bundle's root page, keeps the navigation
// stack, the modal presentations, the alert queue, the first responder and the keyboard,
// and turns one user gesture at a time into the calls the pages expect. Every front end
// (command line, scripts, web host, tests) drives the pages through this class and draws
// the screen from its snapshot; none of them holds page logic.
#include <memory>
#include <string>
#include <string_view>

#include "app/row_ref.h"
#include "app/screen.h"
#include "host/bundle_path.h"
#include "platform/foundation/result.h"

namespace vx {

class UIViewController;
class UINavigationController;
class UIWindow;
class UITableView;
class UITextField;
class UIAlertView;

class SettingsApplication {
public:
    static constexpr std::string_view kBundlePath = kDefaultBundlePath;
    static constexpr std::string_view kRootPageClass = "VeltrixSettingsListController";
    static constexpr double kDefaultKeyboardHeight = 216.0;

    SettingsApplication();
    ~SettingsApplication();
    SettingsApplication(const SettingsApplication&) = delete;
    SettingsApplication& operator=(const SettingsApplication&) = delete;

    // Creates the page class from the registry and shows it as the root of a navigation
    // container. Fails when the bundle is not installed under the device root or the class
    // is unknown. Opening again replaces everything shown before.
    Result<void> open(std::string_view pageClass = kRootPageClass);

    // Gestures. Each runs the run loop's due calls afterwards.
    Result<void> tap(const RowRef& row);
    Result<void> setSwitch(const RowRef& row, bool on);
    // Drags the row's slider to the value, clamped to its range.
    Result<void> slide(const RowRef& row, double value);
    Result<void> type(const RowRef& row, std::string_view text);
    Result<void> clear(const RowRef& row);
    Result<void> pressReturn();
    // By title; a title that no button has but that is a number ("1" or "#1") is an index.
    Result<void> pressAlertButton(std::string_view titleOrIndex);
    Result<void> pressAlertButton(int index);
    Result<void> pressBarButton(std::string_view title);
    Result<void> goBack();
    Result<void> moveRow(const RowRef& from, const RowRef& to);
    Result<void> showKeyboard(double height = kDefaultKeyboardHeight);
    Result<void> hideKeyboard();
    Result<void> wait(double seconds);

    // The run loop follows the wall clock (a server calls this as time passes): runs the
    // delayed calls due by `now` (seconds since 1970), then settles. Never moves time back,
    // so after a `wait` the clock stands still until the wall clock catches up. Returns
    // whether any delayed call ran.
    bool followClock(double now);
    // The preferences file changed under the visible page (another process wrote it): the
    // page shows its rows afresh. While the user types (a text field has the focus and the
    // keyboard is up) this waits until the keyboard goes or the focus leaves the field, so
    // the text under the user's fingers is never replaced.
    void refreshAfterOutsideChange();

    Screen screen() const;

    // What is on screen, for tests and front ends that look deeper than the snapshot.
    std::shared_ptr<UIViewController> visiblePage() const;
    // Redraws the visible page's rows from what is stored: after a gesture whose save
    // failed, the control shows the stored value again.
    void showStoredValues();
    std::shared_ptr<UINavigationController> visibleContainer() const;
    std::shared_ptr<UINavigationController> rootContainer() const;
    std::shared_ptr<UIAlertView> frontAlert() const;
    std::shared_ptr<UITextField> firstResponderField() const;
    std::shared_ptr<UIWindow> window() const;
    bool keyboardVisible() const;
    double keyboardHeight() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vx
