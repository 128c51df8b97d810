#include "platform/ui/view.h"

#include <algorithm>
#include <array>

#include "platform/foundation/log.h"
#include "platform/foundation/run_loop.h"
#include "platform/ui/view_controller.h"
#include "platform/ui/window.h"

namespace vx {

UIView::UIView(CGRect frame) : frame_(frame), bounds_{{0, 0}, frame.size} {}

UIView::~UIView() {
    for (auto& subview : subviews_) {
        if (subview->superview_ == this) subview->superview_ = nullptr;
    }
}

std::shared_ptr<UIView> UIView::initWithFrame(CGRect frame) { return std::make_shared<UIView>(frame); }

bool UIView::respondsToSelector(std::string_view selector) const {
    static constexpr std::array<std::string_view, 7> kSelectors{
        "isFirstResponder", "becomeFirstResponder", "resignFirstResponder",   "canBecomeFirstResponder",
        "setFrame:",        "layoutSubviews",       "touchesEnded:withEvent:"};
    return std::find(kSelectors.begin(), kSelectors.end(), selector) != kSelectors.end() ||
           Object::respondsToSelector(selector);
}

// ---- Geometry

void UIView::setFrame(CGRect frame) {
    const bool resized = frame.size != frame_.size;
    frame_ = frame;
    bounds_.size = frame.size;
    if (resized) setNeedsLayout();
    recordChange("frame", frame);
}

void UIView::setBounds(CGRect bounds) {
    const bool resized = bounds.size != bounds_.size;
    bounds_ = bounds;
    frame_.size = bounds.size;
    if (resized) setNeedsLayout();
    recordChange("bounds", bounds);
}

CGPoint UIView::center() const {
    return {frame_.origin.x + frame_.size.width / 2, frame_.origin.y + frame_.size.height / 2};
}

CGPoint UIView::offsetToWindow() const {
    CGPoint offset;
    for (const UIView* level = this; level != nullptr; level = level->superview_) {
        offset.x += level->frame_.origin.x - level->bounds_.origin.x;
        offset.y += level->frame_.origin.y - level->bounds_.origin.y;
    }
    return offset;
}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const {
    const CGPoint from = offsetToWindow();
    const CGPoint to = view ? view->offsetToWindow() : CGPoint{};
    return {point.x + from.x - to.x, point.y + from.y - to.y};
}

CGPoint UIView::convertPointFromView(CGPoint point, const UIView* view) const {
    const CGPoint from = view ? view->offsetToWindow() : CGPoint{};
    const CGPoint to = offsetToWindow();
    return {point.x + from.x - to.x, point.y + from.y - to.y};
}

CGRect UIView::convertRectToView(CGRect rect, const UIView* view) const {
    if (CGRectIsNull(rect)) return rect;
    return {convertPointToView(rect.origin, view), rect.size};
}

CGRect UIView::convertRectFromView(CGRect rect, const UIView* view) const {
    if (CGRectIsNull(rect)) return rect;
    return {convertPointFromView(rect.origin, view), rect.size};
}

// ---- Hierarchy

std::shared_ptr<UIView> UIView::superview() const { return sharedFrom(superview_); }

void UIView::addSubview(const Ptr& view) { insertSubview(view, subviews_.size()); }

void UIView::insertSubview(const Ptr& viewArgument, std::size_t index) {
    // Copied on purpose: the argument may live in the old superview's list.
    Ptr view = viewArgument;  // NOLINT(performance-unnecessary-copy-initialization)
    if (!view) return;
    if (view.get() == this || isDescendantOfView(view.get())) {
        log::write("UIView: refusing to add a view inside itself");
        return;
    }
    if (view->superview_ == this) {
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        subviews_.erase(it);
        subviews_.insert(subviews_.begin() + static_cast<long>(std::min(index, subviews_.size())), view);
        return;
    }
    const auto oldWindow = view->window();
    if (oldWindow && oldWindow != window()) view->resignFirstResponderBeneath();
    view->willMoveToSuperview(this);
    view->detachFromSuperview();
    view->superview_ = this;
    subviews_.insert(subviews_.begin() + static_cast<long>(std::min(index, subviews_.size())), view);
    view->didMoveToSuperview();
    didAddSubview(view.get());
    setNeedsLayout();
}

void UIView::detachFromSuperview() {
    UIView* parent = superview_;
    if (parent == nullptr) return;
    parent->willRemoveSubview(this);
    auto& siblings = parent->subviews_;
    // From the back: views mostly leave last first (a table's reload), so the search is short.
    auto it = std::find_if(siblings.rbegin(), siblings.rend(),
                           [this](const Ptr& v) { return v.get() == this; });
    superview_ = nullptr;
    if (it != siblings.rend()) siblings.erase(std::next(it).base());
    parent->setNeedsLayout();
}

void UIView::removeFromSuperview() {
    if (superview_ == nullptr) return;
    auto keepAlive = sharedFrom(this);
    resignFirstResponderBeneath();
    willMoveToSuperview(nullptr);
    detachFromSuperview();
    didMoveToSuperview();
}

void UIView::removeAllSubviews() {
    while (!subviews_.empty()) {
        Ptr last = subviews_.back();
        last->removeFromSuperview();
        if (!subviews_.empty() && subviews_.back() == last) subviews_.pop_back();  // not shared: drop
    }
}

bool UIView::isDescendantOfView(const UIView* view) const {
    if (view == nullptr) return false;
    for (const UIView* level = this; level != nullptr; level = level->superview_) {
        if (level == view) return true;
    }
    return false;
}

std::shared_ptr<UIView> UIView::viewWithTag(long tag) {
    if (tag_ == tag) return sharedFrom(this);
    for (const auto& subview : subviews_) {
        if (auto found = subview->viewWithTag(tag)) return found;
    }
    return nullptr;
}

std::shared_ptr<UIWindow> UIView::window() const {
    const UIView* root = this;
    while (root->superview_ != nullptr) root = root->superview_;
    auto* window = dynamic_cast<const UIWindow*>(root);
    if (window == nullptr) return nullptr;
    return sharedFrom(const_cast<UIWindow*>(window));
}

void UIView::willMoveToSuperview(UIView* newSuperview) { (void)newSuperview; }
void UIView::didMoveToSuperview() {}
void UIView::didAddSubview(UIView* subview) { (void)subview; }
void UIView::willRemoveSubview(UIView* subview) { (void)subview; }

// ---- Responders

bool UIView::isFirstResponder() const {
    auto window = this->window();
    return window && window->firstResponder_.lock().get() == this;
}

bool UIView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    auto window = this->window();
    auto self = sharedFrom(this);
    if (!window || !self) return false;
    if (!shouldBecomeFirstResponder()) return false;
    if (auto current = window->firstResponder()) {
        if (!current->resignFirstResponder()) return false;
    }
    window->setFirstResponder(self);
    didBecomeFirstResponder();
    return true;
}

bool UIView::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    if (!canResignFirstResponder()) return false;
    auto keepAlive = sharedFrom(this);
    if (auto window = this->window()) window->setFirstResponder({});
    didResignFirstResponder();
    return true;
}

bool UIView::endEditing(bool force) {
    auto window = this->window();
    if (!window) return false;
    auto current = window->firstResponder();
    if (!current || !current->isDescendantOfView(this)) return true;
    if (current->resignFirstResponder()) return true;
    if (!force) return false;
    window->setFirstResponder({});
    current->didResignFirstResponder();
    return true;
}

void UIView::resignFirstResponderBeneath() {
    auto window = this->window();
    if (!window) return;
    auto current = window->firstResponder();
    if (!current || !current->isDescendantOfView(this)) return;
    if (current->resignFirstResponder()) return;
    window->setFirstResponder({});  // leaving the window: the focus goes whatever it says
    current->didResignFirstResponder();
}

// ---- Layout

void UIView::layoutIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    const auto children = subviews_;  // layout may change the list
    for (const auto& child : children) child->layoutIfNeeded();
}

CGSize UIView::sizeThatFits(CGSize size) const {
    (void)size;
    return bounds_.size;
}

void UIView::sizeToFit() {
    CGRect frame = frame_;
    frame.size = sizeThatFits(frame.size);
    setFrame(frame);
}

// ---- Touches

void UIView::touchesEnded(const UITouchSet& touches, const UIEvent* event) {
    if (superview_ != nullptr) superview_->touchesEnded(touches, event);
}

std::shared_ptr<UIView> UIView::hitTest(CGPoint point) {
    if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01) return nullptr;
    if (!CGRectContainsPoint(bounds_, point)) return nullptr;
    const auto children = subviews_;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const auto& child = *it;
        const CGPoint inChild{point.x - child->frame_.origin.x + child->bounds_.origin.x,
                              point.y - child->frame_.origin.y + child->bounds_.origin.y};
        if (auto hit = child->hitTest(inChild)) return hit;
    }
    return sharedFrom(this);
}

// ---- Owner

std::shared_ptr<UIViewController> UIView::owningViewController() const {
    return owningViewController_.lock();
}

void UIView::setOwningViewController(std::weak_ptr<UIViewController> controller) {
    owningViewController_ = std::move(controller);
}

// ---- Animation blocks

void UIView::beginAnimations(const std::string& name, const void* context) {
    (void)name, (void)context;
    AnimationRecorder::shared().openBlock(AnimationBlock::Kind::BeginCommit,
                                          UIViewAnimationCurveEaseInOut, 0.2);
}

void UIView::setAnimationCurve(int curve) { AnimationRecorder::shared().setCurveOfOpenBlock(curve); }

void UIView::setAnimationDuration(double seconds) {
    AnimationRecorder::shared().setDurationOfOpenBlock(seconds);
}

void UIView::commitAnimations() {
    if (!AnimationRecorder::shared().closeBlock()) log::write("UIView: commitAnimations without begin");
}

void UIView::animateWithDuration(double duration, const std::function<void()>& animations,
                                 std::function<void(bool)> completion) {
    auto& recorder = AnimationRecorder::shared();
    recorder.openBlock(AnimationBlock::Kind::AnimateWithDuration, UIViewAnimationCurveEaseInOut,
                       duration);
    if (animations) animations();
    recorder.closeBlock();
    if (completion) {
        RunLoop::main().performAfterDelay(duration > 0 ? duration : 0.0,
                                          [completion = std::move(completion)] { completion(true); });
    }
}

void UIView::recordChange(std::string property, AnimatedValue value, bool animatedSetter) const {
    AnimationRecorder::shared().recordChange(*this, std::move(property), value, animatedSetter);
}

}  // namespace vx
