#include "platform/ui/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

#include "platform/foundation/strings.h"

namespace vx {

CGRect CGRectNull() {
    const double inf = std::numeric_limits<double>::infinity();
    return {{inf, inf}, {0, 0}};
}

bool CGRectIsNull(const CGRect& rect) { return std::isinf(rect.origin.x) || std::isinf(rect.origin.y); }

bool CGRectIsEmpty(const CGRect& rect) {
    return CGRectIsNull(rect) || rect.size.width == 0 || rect.size.height == 0;
}

double CGRectGetMinX(const CGRect& r) { return std::min(r.origin.x, r.origin.x + r.size.width); }
double CGRectGetMaxX(const CGRect& r) { return std::max(r.origin.x, r.origin.x + r.size.width); }
double CGRectGetMidX(const CGRect& r) { return r.origin.x + r.size.width / 2; }
double CGRectGetMinY(const CGRect& r) { return std::min(r.origin.y, r.origin.y + r.size.height); }
double CGRectGetMaxY(const CGRect& r) { return std::max(r.origin.y, r.origin.y + r.size.height); }
double CGRectGetMidY(const CGRect& r) { return r.origin.y + r.size.height / 2; }
double CGRectGetWidth(const CGRect& r) { return std::fabs(r.size.width); }
double CGRectGetHeight(const CGRect& r) { return std::fabs(r.size.height); }

CGRect CGRectStandardize(const CGRect& r) {
    if (CGRectIsNull(r)) return r;
    return CGRectMake(CGRectGetMinX(r), CGRectGetMinY(r), CGRectGetWidth(r), CGRectGetHeight(r));
}

CGRect CGRectUnion(const CGRect& a, const CGRect& b) {
    if (CGRectIsNull(a)) return CGRectStandardize(b);
    if (CGRectIsNull(b)) return CGRectStandardize(a);
    const double minX = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
    const double minY = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
    const double maxX = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    const double maxY = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

CGRect CGRectIntersection(const CGRect& a, const CGRect& b) {
    if (CGRectIsNull(a) || CGRectIsNull(b)) return CGRectNull();
    const double minX = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
    const double minY = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
    const double maxX = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    const double maxY = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (maxX < minX || maxY < minY) return CGRectNull();
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

bool CGRectContainsPoint(const CGRect& r, const CGPoint& p) {
    if (CGRectIsNull(r)) return false;
    return p.x >= CGRectGetMinX(r) && p.x < CGRectGetMaxX(r) && p.y >= CGRectGetMinY(r) &&
           p.y < CGRectGetMaxY(r);
}

bool CGRectEqualToRect(const CGRect& a, const CGRect& b) {
    return CGRectStandardize(a) == CGRectStandardize(b);
}

CGRect CGRectOffset(const CGRect& r, double dx, double dy) {
    return CGRectMake(r.origin.x + dx, r.origin.y + dy, r.size.width, r.size.height);
}

CGRect UIEdgeInsetsInsetRect(const CGRect& r, const UIEdgeInsets& i) {
    return CGRectMake(r.origin.x + i.left, r.origin.y + i.top, r.size.width - i.left - i.right,
                      r.size.height - i.top - i.bottom);
}

namespace {
std::string num(double v) { return str::formatG(v); }
}  // namespace

std::string NSStringFromCGPoint(const CGPoint& p) { return "{" + num(p.x) + ", " + num(p.y) + "}"; }
std::string NSStringFromCGSize(const CGSize& s) {
    return "{" + num(s.width) + ", " + num(s.height) + "}";
}
std::string NSStringFromCGRect(const CGRect& r) {
    return "{" + NSStringFromCGPoint(r.origin) + ", " + NSStringFromCGSize(r.size) + "}";
}
std::string NSStringFromUIEdgeInsets(const UIEdgeInsets& i) {
    return "{" + num(i.top) + ", " + num(i.left) + ", " + num(i.bottom) + ", " + num(i.right) + "}";
}

std::ostream& operator<<(std::ostream& out, const CGPoint& p) { return out << NSStringFromCGPoint(p); }
std::ostream& operator<<(std::ostream& out, const CGSize& s) { return out << NSStringFromCGSize(s); }
std::ostream& operator<<(std::ostream& out, const CGRect& r) { return out << NSStringFromCGRect(r); }
std::ostream& operator<<(std::ostream& out, const UIEdgeInsets& i) {
    return out << NSStringFromUIEdgeInsets(i);
}

}  // namespace vx
