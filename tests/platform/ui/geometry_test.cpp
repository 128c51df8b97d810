#include "platform/ui/geometry.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Geometry, EdgesEmptinessContainmentAndInsetsFollowCoreGraphics) {
    const CGRect flipped = CGRectMake(10, 50, -4, -20);
    EXPECT_EQ(CGRectGetMinY(flipped), 30);
    EXPECT_EQ(CGRectGetMaxY(flipped), 50);
    EXPECT_EQ(CGRectGetMinX(flipped), 6);
    EXPECT_EQ(CGRectGetHeight(flipped), 20);
    for (const CGRect& empty : {CGRectMake(5, 5, 0, 10), CGRectMake(5, 5, 10, 0), CGRectNull()})
        EXPECT_TRUE(CGRectIsEmpty(empty)) << empty;
    EXPECT_FALSE(CGRectIsEmpty(CGRectMake(0, 0, -1, 1)));
    EXPECT_TRUE(CGRectContainsPoint(CGRectMake(0, 0, 10, 10), {0, 0}));
    EXPECT_FALSE(CGRectContainsPoint(CGRectMake(0, 0, 10, 10), {10, 5}));
    EXPECT_EQ(UIEdgeInsetsInsetRect(CGRectMake(0, 0, 100, 100), UIEdgeInsetsMake(10, 5, 20, 5)),
              CGRectMake(5, 10, 90, 70));
    EXPECT_EQ(NSStringFromCGRect(CGRectMake(0, 12.5, 320, 44)), "{{0, 12.5}, {320, 44}}");
}

TEST(Geometry, UnionKeepsTheZeroRectanglesOriginAndIntersectionOfDisjointRectsIsNull) {
    // Content size from subview frames is a union from the zero rectangle: its origin counts.
    const struct {
        CGRect a, b, united, common;
    } cases[] = {
        {CGRectZero, CGRectMake(10, 20, 100, 30), CGRectMake(0, 0, 110, 50), CGRectNull()},
        {CGRectZero, CGRectMake(-10, -5, 50, 50), CGRectMake(-10, -5, 50, 50), CGRectZero},
        {CGRectNull(), CGRectMake(5, 5, 10, 10), CGRectMake(5, 5, 10, 10), CGRectNull()},
        {CGRectMake(0, 0, 10, 10), CGRectMake(5, 5, 10, 10), CGRectMake(0, 0, 15, 15),
         CGRectMake(5, 5, 5, 5)},
        {CGRectMake(0, 0, 10, 10), CGRectMake(20, 0, 5, 5), CGRectMake(0, 0, 25, 10), CGRectNull()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(NSStringFromCGRect(c.b));
        EXPECT_EQ(CGRectUnion(c.a, c.b), c.united);
        EXPECT_EQ(NSStringFromCGRect(CGRectIntersection(c.a, c.b)), NSStringFromCGRect(c.common));
    }
}

}  // namespace
}  // namespace vx
