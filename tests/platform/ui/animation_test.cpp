#include "platform/ui/animation.h"

#include <gtest/gtest.h>

#include "platform/foundation/run_loop.h"
#include "platform/ui/scroll_view.h"

namespace vx {
namespace {

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        AnimationRecorder::shared().clear();
        RunLoop::main().reset(0);
    }
    void TearDown() override { AnimationRecorder::shared().clear(); }
};

TEST_F(AnimationTest, ChangesBelongToTheOpenBlockAndAnimateWithDurationCompletesOnTheRunLoop) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto& recorder = AnimationRecorder::shared();
    UIView::beginAnimations();
    UIView::setAnimationCurve(7);
    UIView::setAnimationDuration(0.25f);
    scroll->setContentInset(UIEdgeInsetsMake(0, 0, 216, 0));
    scroll->setContentOffset({0, 120}, false);
    scroll->setScrollIndicatorInsets(UIEdgeInsetsMake(0, 0, 216, 0));
    UIView::commitAnimations();
    scroll->setContentSize({320, 900});

    ASSERT_EQ(recorder.blocks().size(), 1u);
    const auto& block = recorder.blocks().front();
    EXPECT_EQ(block.kind, AnimationBlock::Kind::BeginCommit);
    EXPECT_EQ(block.curve, 7);
    EXPECT_DOUBLE_EQ(block.duration, 0.25);
    EXPECT_TRUE(block.committed);
    std::vector<std::string> inside;
    for (const auto& change : recorder.changesInBlock(block.id)) inside.push_back(change.property);
    EXPECT_EQ(inside,
              (std::vector<std::string>{"contentInset", "bounds", "contentOffset",
                                        "scrollIndicatorInsets"}));  // the offset moves the bounds
    EXPECT_EQ(std::get<CGPoint>(recorder.changesOf(scroll.get(), "contentOffset").at(0).value),
              CGPointMake(0, 120));
    EXPECT_FALSE(recorder.changesOf(scroll.get(), "contentSize").at(0).blockId.has_value());
    EXPECT_TRUE(recorder.changesOf(nullptr, "contentSize").empty()) << "another view's";

    bool finished = false;
    UIView::animateWithDuration(
        0.25,
        [&] {
            scroll->setContentOffset({0, 40});
        },
        [&](bool done) { finished = done; });
    const auto* last = recorder.lastBlock();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->kind, AnimationBlock::Kind::AnimateWithDuration);
    EXPECT_EQ(last->curve, UIViewAnimationCurveEaseInOut);
    EXPECT_EQ(recorder.changesOf(scroll.get(), "contentOffset").at(1).blockId, last->id);
    EXPECT_FALSE(finished);
    RunLoop::main().advance(0.25);
    EXPECT_TRUE(finished);
    EXPECT_FALSE(recorder.insideBlock());
}

}  // namespace
}  // namespace vx
