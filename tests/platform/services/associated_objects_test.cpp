#include "platform/services/associated_objects.h"

#include <gtest/gtest.h>

#include "platform/ui/scroll_view.h"

namespace vx {
namespace {

struct State {
    bool keyboardVisible = false;
};
const char kStateKey = 0;
const char kOtherKey = 0;

TEST(AssociatedObjects, RetainedValuesLiveAndDieWithTheirOwner) {
    std::weak_ptr<State> weakState;
    {
        auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
        EXPECT_EQ(objc_getAssociatedObject(*scroll, &kStateKey), nullptr);
        {
            auto state = std::make_shared<State>();
            weakState = state;
            objc_setAssociatedObject(*scroll, &kStateKey, state, AssociationPolicy::RetainNonatomic);
        }
        auto state = associatedObject<State>(*scroll, &kStateKey);
        ASSERT_TRUE(state);  // the owner keeps it
        state->keyboardVisible = true;
        EXPECT_TRUE(associatedObject<State>(*scroll, &kStateKey)->keyboardVisible);
        EXPECT_EQ(objc_getAssociatedObject(*scroll, &kOtherKey), nullptr);  // keys are addresses
    }
    EXPECT_TRUE(weakState.expired());  // released with the scroll view
}

TEST(AssociatedObjects, ReplacingRemovingAndAssign) {
    Object owner;
    auto first = std::make_shared<State>();
    std::weak_ptr<State> weakFirst = first;
    AssociatedObjects::set(owner, &kStateKey, std::move(first));
    AssociatedObjects::set(owner, &kStateKey, std::make_shared<State>());
    EXPECT_TRUE(weakFirst.expired());  // the replaced value is released
    AssociatedObjects::set(owner, &kStateKey, nullptr);
    EXPECT_EQ(AssociatedObjects::count(owner), 0u);

    auto held = std::make_shared<State>();
    AssociatedObjects::set(owner, &kOtherKey, held, AssociationPolicy::Assign);
    EXPECT_EQ(AssociatedObjects::get(owner, &kOtherKey), held);
    held.reset();
    EXPECT_EQ(AssociatedObjects::get(owner, &kOtherKey), nullptr);  // not kept alive
}

}  // namespace
}  // namespace vx
