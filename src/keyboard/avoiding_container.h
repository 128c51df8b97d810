#pragma once
// VXAvoidingContainer<Base>: what the three keyboard-avoiding containers (VXScrollView,
// VXTableView, VXCollectionView) share. It subscribes the container to the keyboard and
// text-editing notifications, re-runs the inset computation when the frame changes, sets up
// the text fields beneath it shortly after layout, steps the focus on Return and dismisses
// the keyboard when a touch ends on the container. Each container adds its own
// setContentSize and factories.
#include <memory>
#include <optional>

#include "keyboard/scroll_view_vx_additions.h"
#include "platform/foundation/log.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/run_loop.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/text_field.h"
#include "platform/ui/text_view.h"

namespace vx {

// Delay of the merged text-field set-up pass after the last layout pass.
inline constexpr double kVXTextDelegateSetupDelay = 0.1;
// The selector that identifies the pending set-up pass for cancellation.
inline constexpr const char* kVXTextDelegateSetupSelector = "VX_assignTextDelegateForViewsBeneathView:";

template <class Base>
class VXAvoidingContainer : public Base, public UITextFieldDelegate, public UITextViewDelegate {
public:
    using Base::Base;

    // Removes the observers (and any pending set-up pass) before the base class goes.
    ~VXAvoidingContainer() override {
        NotificationCenter::defaultCenter().removeObserver(identity());
        RunLoop::main().cancelPreviousPerformRequests(identity(), kVXTextDelegateSetupSelector,
                                                      identity());
    }

    // Registers the four observers, for notifications from any sender. Runs once per
    // factory call (or awakeFromNib); nothing guards against a second registration.
    void setup() {
        std::shared_ptr<Object> owner = this->weak_from_this().lock();
        if (!owner) {
            log::write("VXAvoidingContainer setup: the container has no shared owner");
            return;
        }
        std::weak_ptr<VXAvoidingContainer> weakSelf = std::static_pointer_cast<VXAvoidingContainer>(
            owner);
        auto& center = NotificationCenter::defaultCenter();
        const std::weak_ptr<void> observer = owner;
        center.addObserver(observer, std::string(UIKeyboardWillShowNotification),
                           [weakSelf](const Notification& notification) {
                               if (auto self = weakSelf.lock()) VX_keyboardWillShow(*self, notification);
                           });
        center.addObserver(observer, std::string(UIKeyboardWillHideNotification),
                           [weakSelf](const Notification& notification) {
                               if (auto self = weakSelf.lock()) VX_keyboardWillHide(*self, notification);
                           });
        center.addObserver(observer, std::string(UITextViewTextDidBeginEditingNotification),
                           [weakSelf](const Notification&) {
                               if (auto self = weakSelf.lock()) self->scrollToActiveTextField();
                           });
        center.addObserver(observer, std::string(UITextFieldTextDidBeginEditingNotification),
                           [weakSelf](const Notification&) {
                               if (auto self = weakSelf.lock()) self->scrollToActiveTextField();
                           });
    }

    // For a container built with its constructor rather than a factory (as an interface
    // file would): runs setup.
    void awakeFromNib() { setup(); }

    void setFrame(CGRect frame) override {
        Base::setFrame(frame);
        VX_updateContentInset(*this);
    }

    virtual bool focusNextTextField() { return VX_focusNextTextField(*this); }
    virtual void scrollToActiveTextField() { VX_scrollToActiveTextField(*this); }

    void willMoveToSuperview(UIView* newSuperview) override {
        Base::willMoveToSuperview(newSuperview);
        if (newSuperview == nullptr) cancelTextDelegateSetup();
    }

    // Lets the keyboard go when a touch ends on the container, then handles the touch as
    // the base class does.
    void touchesEnded(const UITouchSet& touches, const UIEvent* event) override {
        if (auto firstResponder = VX_findFirstResponderBeneathView(*this, *this))
            firstResponder->resignFirstResponder();
        Base::touchesEnded(touches, event);
    }

    // Return steps to the next input, or lets the keyboard go after the last one.
    std::optional<bool> textFieldShouldReturn(UITextField& textField) override {
        if (!focusNextTextField()) textField.resignFirstResponder();
        return true;
    }

    // Every layout pass replaces the pending set-up pass with one 0.1 seconds later, so a
    // burst of layout passes costs one walk over the tree.
    void layoutSubviews() override {
        Base::layoutSubviews();
        cancelTextDelegateSetup();
        std::weak_ptr<Object> weakOwner = this->weak_from_this();
        RunLoop::main().performAfterDelay(
            kVXTextDelegateSetupDelay,
            [weakOwner] {
                auto owner = weakOwner.lock();
                if (!owner) return;
                auto& self = static_cast<VXAvoidingContainer&>(*owner);
                VX_assignTextDelegateForViewsBeneathView(self, self);
            },
            identity(), kVXTextDelegateSetupSelector, identity());
    }

protected:
    // The container's identity for the notification centre and the run loop: the address of
    // its Object part, which is also what a shared_ptr<Object> points at.
    const void* identity() const { return static_cast<const Object*>(this); }

private:
    void cancelTextDelegateSetup() {
        RunLoop::main().cancelPreviousPerformRequests(identity(), kVXTextDelegateSetupSelector,
                                                      identity());
    }
};

}  // namespace vx
