#pragma once
// UIView, headless: a frame in the superview's coordinates, bounds whose origin shifts the
// content (a scroll view's content offset), subviews from back to front, the responder
// operations, layout passes and rectangle conversion. Views are owned by std::shared_ptr:
// a superview owns its subviews; a subview knows its superview without owning it.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/object.h"
#include "platform/ui/animation.h"
#include "platform/ui/color.h"
#include "platform/ui/geometry.h"

namespace vx {

class UIViewController;
class UIWindow;

// The part of CALayer that the pages use: a name.
class CALayer {
public:
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

private:
    std::string name_;
};

// One finger of a touch, in window coordinates, and the view it started on.
struct UITouch {
    CGPoint locationInWindow;
    std::weak_ptr<UIView> view;
};
using UITouchSet = std::vector<UITouch>;
struct UIEvent {};

class UIView : public Object {
public:
    using Ptr = std::shared_ptr<UIView>;

    explicit UIView(CGRect frame = CGRectZero);
    ~UIView() override;

    // initWithFrame:
    static std::shared_ptr<UIView> initWithFrame(CGRect frame);

    std::string className() const override { return "UIView"; }
    // Answers yes for the responder selectors ("isFirstResponder", "becomeFirstResponder",
    // "resignFirstResponder", "canBecomeFirstResponder") and "setFrame:".
    bool respondsToSelector(std::string_view selector) const override;

    // ---- Geometry
    CGRect frame() const { return frame_; }
    // Sets the frame; the bounds take its size and keep their origin. Marks the view for
    // layout when the size changes. Recorded as "frame".
    virtual void setFrame(CGRect frame);
    CGRect bounds() const { return bounds_; }
    // Sets the bounds; the frame takes its size. Recorded as "bounds".
    virtual void setBounds(CGRect bounds);
    CGPoint center() const;

    // convertRect:toView: — from this view's coordinates into `view`'s; nullptr means the
    // window (screen coordinates): at each level up to the root, the bounds origin is
    // subtracted and the frame origin added.
    CGRect convertRectToView(CGRect rect, const UIView* view) const;
    CGRect convertRectToView(CGRect rect, const std::shared_ptr<const UIView>& view) const {
        return convertRectToView(rect, view.get());
    }
    // convertRect:fromView: — from `view`'s coordinates (nullptr: the window) into this view's.
    CGRect convertRectFromView(CGRect rect, const UIView* view) const;
    CGRect convertRectFromView(CGRect rect, const std::shared_ptr<const UIView>& view) const {
        return convertRectFromView(rect, view.get());
    }
    CGPoint convertPointToView(CGPoint point, const UIView* view) const;
    CGPoint convertPointFromView(CGPoint point, const UIView* view) const;

    // ---- Hierarchy
    const std::vector<Ptr>& subviews() const { return subviews_; }
    // nullptr at the root, and while the superview is being destroyed.
    Ptr superview() const;
    UIView* superviewPointer() const { return superview_; }
    // Appends `view` in front of the other subviews, taking it from its old superview
    // first. Adding a view to itself or to one of its own subviews is refused (logged).
    void addSubview(const Ptr& view);
    // Inserts at `index` (clamped to the subview count).
    void insertSubview(const Ptr& view, std::size_t index);
    // Takes the view out of its superview. If the window's first responder is this view or
    // beneath it, that responder resigns first. No-op at the root.
    void removeFromSuperview();
    // Removes every subview (a convenience for pages that clear a cell's content view).
    void removeAllSubviews();
    bool isDescendantOfView(const UIView* view) const;
    // viewWithTag: — this view or the first view beneath it, depth first, with the tag.
    Ptr viewWithTag(long tag);
    // The window at the root of this view's tree, or nullptr.
    std::shared_ptr<UIWindow> window() const;

    // Hooks around hierarchy changes. willMoveToSuperview runs before the change (nullptr
    // when the view is being removed), didMoveToSuperview after it.
    virtual void willMoveToSuperview(UIView* newSuperview);
    virtual void didMoveToSuperview();
    virtual void didAddSubview(UIView* subview);
    virtual void willRemoveSubview(UIView* subview);

    // ---- Appearance and state
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }
    double alpha() const { return alpha_; }
    void setAlpha(double alpha) { alpha_ = alpha; }
    const std::optional<UIColor>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<UIColor> color) { backgroundColor_ = std::move(color); }
    CALayer& layer() { return layer_; }
    const CALayer& layer() const { return layer_; }

    // ---- Responders. The window keeps the one first responder.
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    // Fails when the view cannot become first responder, is not in a window, or the
    // current first responder refuses to resign. Succeeds at once when already first.
    virtual bool becomeFirstResponder();
    // Succeeds when the view is not first responder. Calls didResignFirstResponder.
    virtual bool resignFirstResponder();
    virtual bool isFirstResponder() const;
    // endEditing: — makes the first responder beneath this view (or this view) resign.
    bool endEditing(bool force);

    // ---- Layout
    void setNeedsLayout() { needsLayout_ = true; }
    bool needsLayout() const { return needsLayout_; }
    // Runs layoutSubviews when the view was marked, then does the same for every subview
    // (the front ends call it on the window after each gesture, as the run loop would).
    void layoutIfNeeded();
    virtual void layoutSubviews() {}
    // sizeThatFits: — the default keeps the current size.
    virtual CGSize sizeThatFits(CGSize size) const;
    void sizeToFit();

    // ---- Touches: the default passes the touch on to the superview.
    virtual void touchesEnded(const UITouchSet& touches, const UIEvent* event);
    // hitTest:withEvent: — the frontmost visible, interaction-enabled view beneath this one
    // that contains the point (in this view's coordinates), or nullptr.
    Ptr hitTest(CGPoint point);

    // ---- The view controller whose view this is (set by UIViewController), or nullptr.
    std::shared_ptr<UIViewController> owningViewController() const;
    void setOwningViewController(std::weak_ptr<UIViewController> controller);

    // ---- Animation blocks (class functions of UIView), recorded by AnimationRecorder.
    // beginAnimations:context: — opens a block with the default curve and 0.2 seconds.
    static void beginAnimations(const std::string& name = {}, const void* context = nullptr);
    static void setAnimationCurve(int curve);
    static void setAnimationDuration(double seconds);
    static void commitAnimations();
    // animateWithDuration:animations:(completion:) — runs `animations` inside a block with the
    // default curve; `completion(true)` runs on the main run loop after `duration`.
    static void animateWithDuration(double duration, const std::function<void()>& animations,
                                    std::function<void(bool)> completion = {});

protected:
    // Called after the view became or stopped being first responder.
    virtual void didBecomeFirstResponder() {}
    virtual void didResignFirstResponder() {}
    // Asked before becoming first responder (a text field asks its delegate); false refuses.
    virtual bool shouldBecomeFirstResponder() { return true; }
    // Reports a property change to the animation recorder.
    void recordChange(std::string property, AnimatedValue value, bool animatedSetter = false) const;

private:
    friend class UIWindow;
    void detachFromSuperview();
    void resignFirstResponderBeneath();
    CGPoint offsetToWindow() const;

    CGRect frame_;
    CGRect bounds_;
    std::vector<Ptr> subviews_;
    UIView* superview_ = nullptr;  // cleared by the superview's destructor
    bool hidden_ = false;
    bool userInteractionEnabled_ = true;
    long tag_ = 0;
    double alpha_ = 1;
    std::optional<UIColor> backgroundColor_;
    CALayer layer_;
    bool needsLayout_ = true;
    std::weak_ptr<UIViewController> owningViewController_;
};

}  // namespace vx
