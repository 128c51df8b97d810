#pragma once
// UIViewController: a lazily loaded view, a title, a navigation item, the link to the
// navigation container it is in, and modal presentation with UIKit's links:
//
// - presentViewController on a controller inside a container is carried out by the
//   outermost container (the presentation context), as on the device;
// - A.presentedViewController() is the controller presented by A or by one of its
//   ancestors; B.presentingViewController() is the controller that presented B (or B's
//   outermost container);
// - dismissViewControllerAnimated on a presenting controller closes what it presented
//   (and everything presented on top); on a presented controller, or any controller inside
//   one, it asks the presenter to close it.
//
// When the presenter's view is in a window, the presented controller's view is put in front
// in that window, and taken out again on dismissal. Completions run at once, after the
// links have changed (nothing is animated); whether a transition was asked to animate is
// kept for inspection.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/object.h"
#include "platform/ui/navigation_item.h"
#include "platform/ui/view.h"

namespace vx {

class UINavigationController;

class UIViewController : public Object {
public:
    UIViewController() = default;
    ~UIViewController() override;
    // init
    static std::shared_ptr<UIViewController> init();

    std::string className() const override { return "UIViewController"; }
    // Answers yes for "setView:", "view", "title", "navigationTitle", "loadView".
    bool respondsToSelector(std::string_view selector) const override;

    // ---- The view
    // The view, loaded on first use: loadView, then viewDidLoad. Pages that keep their own
    // view (a table) override it. The returned view knows this controller as its owner.
    virtual std::shared_ptr<UIView> view();
    virtual void setView(std::shared_ptr<UIView> view);
    bool isViewLoaded() const { return view_ != nullptr; }
    // Creates the view: a plain view covering the main screen.
    virtual void loadView();
    virtual void viewDidLoad() {}
    // view() with the owner link made sure of; the containers and the application use it.
    std::shared_ptr<UIView> displayedView();

    // ---- Appearance hooks, called by containers and presentation.
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }

    // ---- Titles
    // The title; "" means none.
    virtual std::string title() const { return title_; }
    virtual void setTitle(std::string title);
    // The text shown in the navigation bar: by default the navigation item's title, else
    // title().
    virtual std::string navigationTitle() const;

    // Created on first use.
    std::shared_ptr<UINavigationItem> navigationItem();

    // ---- Containment
    // The nearest navigation container among this controller's ancestors (nullptr when
    // none).
    std::shared_ptr<UINavigationController> navigationController() const;
    std::shared_ptr<UIViewController> parentViewController() const { return parent_.lock(); }
    // Set by containers.
    void setParentViewController(std::weak_ptr<UIViewController> parent) { parent_ = std::move(parent); }

    // ---- Modal presentation
    // presentViewController:animated:completion:. Refused (logged, completion not run) when
    // the presentation context already presents something, or `controller` is null or
    // already presented.
    void presentViewController(std::shared_ptr<UIViewController> controller, bool animated,
                               std::function<void()> completion = {});
    // dismissViewControllerAnimated:completion:. Does nothing (completion not run) when
    // there is nothing to close.
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
    std::shared_ptr<UIViewController> presentedViewController() const;
    std::shared_ptr<UIViewController> presentingViewController() const;
    // This controller itself (not one of its ancestors) was presented and is still up.
    bool isBeingPresentedModally() const { return !presenting_.expired(); }
    // Whether the last presentation from / dismissal of this controller was animated.
    bool lastPresentationAnimated() const { return lastPresentationAnimated_; }
    bool lastDismissalAnimated() const { return lastDismissalAnimated_; }

protected:
    // The outermost ancestor (the presentation context).
    std::shared_ptr<UIViewController> rootAncestor();
    std::shared_ptr<const UIViewController> rootAncestor() const;

private:
    void closePresented(bool animated);

    std::shared_ptr<UIView> view_;
    std::string title_;
    std::shared_ptr<UINavigationItem> navigationItem_;
    std::weak_ptr<UIViewController> parent_;
    std::shared_ptr<UIViewController> presented_;
    std::weak_ptr<UIViewController> presenting_;
    bool lastPresentationAnimated_ = false;
    bool lastDismissalAnimated_ = false;
};

}  // namespace vx
