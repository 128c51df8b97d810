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

TEST_F(AnimationTest, ChangesAreAttributedToTheBlockThatWasOpen) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    auto& recorder = AnimationRecorder::shared();

    scroll->setFrame(CGRectMake(0, 0, 320, 300));  // outside any block
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

    const auto inside = recorder.changesInBlock(block.id);
    ASSERT_EQ(inside.size(), 4u);  // contentOffset also moves the bounds
    EXPECT_EQ(inside[0].property, "contentInset");
    EXPECT_EQ(std::get<UIEdgeInsets>(inside[0].value).bottom, 216);
    EXPECT_EQ(inside[1].property, "bounds");
    EXPECT_EQ(inside[2].property, "contentOffset");
    EXPECT_EQ(std::get<CGPoint>(inside[2].value), CGPointMake(0, 120));
    EXPECT_EQ(inside[3].property, "scrollIndicatorInsets");

    const auto frames = recorder.changesOf(scroll.get(), "frame");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].blockId.has_value());
    EXPECT_FALSE(recorder.changesOf(scroll.get(), "contentSize").at(0).blockId.has_value());
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(0, 120));
}

TEST_F(AnimationTest, AnimateWithDurationUsesTheDefaultCurveAndCompletesOnTheRunLoop) {
    auto scroll = UIScrollView::initWithFrame(CGRectMake(0, 0, 320, 416));
    bool finished = false;
    UIView::animateWithDuration(
        0.25,
        [&] {
            scroll->setContentOffset({0, 40});
        },
        [&](bool done) { finished = done; });
    const auto* block = AnimationRecorder::shared().lastBlock();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->kind, AnimationBlock::Kind::AnimateWithDuration);
    EXPECT_EQ(block->curve, UIViewAnimationCurveEaseInOut);
    EXPECT_EQ(AnimationRecorder::shared().changesOf(scroll.get(), "contentOffset").at(0).blockId,
              block->id);
    EXPECT_FALSE(finished);
    RunLoop::main().advance(0.25);
    EXPECT_TRUE(finished);
    EXPECT_FALSE(AnimationRecorder::shared().insideBlock());
}

}  // namespace
}  // namespace vx
