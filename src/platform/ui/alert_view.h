#pragma once
// UIAlertView: a title, a message, buttons in the order they were added, a tag and a weak
// delegate. show() hands the alert to the application's alert queue, which keeps it alive
// while it is up; a press (userPressButtonAtIndex) takes it off the queue and then tells the
// delegate which button it was.
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/object.h"

namespace vx {

class UIAlertView;

class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = default;
    // alertView:clickedButtonAtIndex:
    virtual void clickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
        (void)alert, (void)buttonIndex;
    }
};

class UIAlertView : public Object {
public:
    UIAlertView() = default;
    // init
    static std::shared_ptr<UIAlertView> init();

    std::string className() const override { return "UIAlertView"; }

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::string& message() const { return message_; }
    void setMessage(std::string message) { message_ = std::move(message); }
    long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }

    std::shared_ptr<UIAlertViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UIAlertViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // addButtonWithTitle: — the new button's index (0, 1, 2… in order of adding).
    int addButtonWithTitle(std::string title);
    int numberOfButtons() const { return static_cast<int>(buttons_.size()); }
    // The title of a button, or "" for an index out of range.
    std::string buttonTitleAtIndex(int index) const;
    const std::vector<std::string>& buttonTitles() const { return buttons_; }
    int cancelButtonIndex() const { return cancelButtonIndex_; }
    void setCancelButtonIndex(int index) { cancelButtonIndex_ = index; }

    // Puts the alert on the application's alert queue (once; showing it again while it is
    // up does nothing).
    void show();
    bool isVisible() const;

    // A press on a button: takes the alert off the queue, then calls the delegate's
    // clickedButtonAtIndex (if the delegate is still there). False, and nothing happens,
    // for an index out of range or an alert that is not up.
    bool userPressButtonAtIndex(int index);
    // dismissWithClickedButtonIndex:animated: — takes the alert off the queue without
    // telling the delegate of a click.
    void dismissWithClickedButtonIndex(int index, bool animated);

private:
    std::string title_;
    std::string message_;
    long tag_ = 0;
    std::weak_ptr<UIAlertViewDelegate> delegate_;
    std::vector<std::string> buttons_;
    int cancelButtonIndex_ = -1;
};

}  // namespace vx
