#include "platform/ui/geometry.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Geometry, MinMaxAndEmptyFollowCoreGraphics) {
    const CGRect flipped = CGRectMake(10, 50, -4, -20);
    EXPECT_EQ(CGRectGetMinY(flipped), 30);
    EXPECT_EQ(CGRectGetMaxY(flipped), 50);
    EXPECT_EQ(CGRectGetMinX(flipped), 6);
    EXPECT_EQ(CGRectGetHeight(flipped), 20);
    EXPECT_TRUE(CGRectIsEmpty(CGRectMake(5, 5, 0, 10)));
    EXPECT_TRUE(CGRectIsEmpty(CGRectMake(5, 5, 10, 0)));
    EXPECT_FALSE(CGRectIsEmpty(CGRectMake(0, 0, -1, 1)));
    EXPECT_TRUE(CGRectIsEmpty(CGRectZero));
    EXPECT_TRUE(CGRectIsEmpty(CGRectNull()));
}

TEST(Geometry, UnionWithTheZeroRectangleKeepsTheOrigin) {
    // Content size from subview frames: union from the zero rectangle, then +10 in height.
    CGRect u = CGRectUnion(CGRectZero, CGRectMake(10, 20, 100, 30));
    u = CGRectUnion(u, CGRectMake(0, 300, 320, 44));
    EXPECT_EQ(u, CGRectMake(0, 0, 320, 344));

    const CGRect negative = CGRectUnion(CGRectZero, CGRectMake(-10, -5, 50, 50));
    EXPECT_EQ(negative.size, CGSizeMake(50, 50));
    EXPECT_EQ(negative.origin, CGPointMake(-10, -5));

    // The null rectangle is ignored, unlike the zero rectangle.
    EXPECT_EQ(CGRectUnion(CGRectNull(), CGRectMake(5, 5, 10, 10)), CGRectMake(5, 5, 10, 10));
    EXPECT_EQ(CGRectUnion(CGRectMake(5, 5, 10, 10), CGRectZero), CGRectMake(0, 0, 15, 15));
}

TEST(Geometry, IntersectionContainmentAndInsets) {
    EXPECT_TRUE(CGRectIsNull(CGRectIntersection(CGRectMake(0, 0, 10, 10), CGRectMake(20, 20, 5, 5))));
    EXPECT_EQ(CGRectIntersection(CGRectMake(0, 0, 10, 10), CGRectMake(5, 5, 10, 10)),
              CGRectMake(5, 5, 5, 5));
    EXPECT_TRUE(CGRectContainsPoint(CGRectMake(0, 0, 10, 10), {0, 0}));
    EXPECT_FALSE(CGRectContainsPoint(CGRectMake(0, 0, 10, 10), {10, 5}));
    EXPECT_EQ(UIEdgeInsetsInsetRect(CGRectMake(0, 0, 100, 100), UIEdgeInsetsMake(10, 5, 20, 5)),
              CGRectMake(5, 10, 90, 70));
    EXPECT_EQ(NSStringFromCGRect(CGRectMake(0, 12.5, 320, 44)), "{{0, 12.5}, {320, 44}}");
}

}  // namespace
}  // namespace vx
