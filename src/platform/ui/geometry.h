#pragma once
// CoreGraphics geometry: points, sizes, rectangles (y grows downwards) and UIKit's edge
// insets, all in points as doubles, with the CGRect functions the pages use.
#include <iosfwd>
#include <string>

namespace vx {

struct CGPoint {
    double x = 0;
    double y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    double width = 0;
    double height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

// Top, left, bottom, right.
struct UIEdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    bool operator==(const UIEdgeInsets&) const = default;
};

inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr CGRect CGRectZero{};
inline constexpr UIEdgeInsets UIEdgeInsetsZero{};

constexpr CGPoint CGPointMake(double x, double y) { return {x, y}; }
constexpr CGSize CGSizeMake(double width, double height) { return {width, height}; }
constexpr CGRect CGRectMake(double x, double y, double width, double height) {
    return {{x, y}, {width, height}};
}
constexpr UIEdgeInsets UIEdgeInsetsMake(double top, double left, double bottom, double right) {
    return {top, left, bottom, right};
}

// The null rectangle (no rectangle at all): the result of intersecting disjoint rectangles.
// CGRectUnion ignores it; the zero rectangle, by contrast, is the point (0, 0).
CGRect CGRectNull();
bool CGRectIsNull(const CGRect& rect);

// Empty: width or height is 0 (or the rectangle is null).
bool CGRectIsEmpty(const CGRect& rect);

// Min/Max are taken over origin and origin + size, so negative sizes work as on the device.
double CGRectGetMinX(const CGRect& rect);
double CGRectGetMaxX(const CGRect& rect);
double CGRectGetMidX(const CGRect& rect);
double CGRectGetMinY(const CGRect& rect);
double CGRectGetMaxY(const CGRect& rect);
double CGRectGetMidY(const CGRect& rect);
double CGRectGetWidth(const CGRect& rect);   // absolute width
double CGRectGetHeight(const CGRect& rect);  // absolute height

// The same rectangle with a non-negative width and height.
CGRect CGRectStandardize(const CGRect& rect);
// The smallest rectangle holding both. A null rectangle is ignored; an empty one (the zero
// rectangle included) still counts as its origin point.
CGRect CGRectUnion(const CGRect& a, const CGRect& b);
// The common part, or CGRectNull when they do not meet.
CGRect CGRectIntersection(const CGRect& a, const CGRect& b);
bool CGRectContainsPoint(const CGRect& rect, const CGPoint& point);
bool CGRectEqualToRect(const CGRect& a, const CGRect& b);
CGRect CGRectOffset(const CGRect& rect, double dx, double dy);
// The rectangle shrunk by the insets (UIEdgeInsetsInsetRect).
CGRect UIEdgeInsetsInsetRect(const CGRect& rect, const UIEdgeInsets& insets);

// "{{x, y}, {w, h}}" as NSStringFromCGRect writes it; used in logs and test messages.
std::string NSStringFromCGPoint(const CGPoint& point);
std::string NSStringFromCGSize(const CGSize& size);
std::string NSStringFromCGRect(const CGRect& rect);
std::string NSStringFromUIEdgeInsets(const UIEdgeInsets& insets);

std::ostream& operator<<(std::ostream& out, const CGPoint& point);
std::ostream& operator<<(std::ostream& out, const CGSize& size);
std::ostream& operator<<(std::ostream& out, const CGRect& rect);
std::ostream& operator<<(std::ostream& out, const UIEdgeInsets& insets);

}  // namespace vx
