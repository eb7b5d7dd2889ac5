// Affine matrices, points and exact Bezier bounds, in 32-bit floats as the
// ABI carries them (intermediate sums in double so results do not depend on
// evaluation order).
#pragma once

#include <cmath>
#include <cstddef>

#include "host/ASTypes.h"

namespace easel {

constexpr AIRealMatrix kIdentityMatrix{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

inline bool isFinite(float v) { return std::isfinite(v); }
bool isFinite(const AIRealPoint& p);
// 0 * x is NaN for an infinite or NaN x and a zero for any other, so one
// comparison checks all six entries (a grid checks each copy's matrices).
inline bool isFinite(const AIRealMatrix& m) {
    return 0.0f * m.a + 0.0f * m.b + 0.0f * m.c + 0.0f * m.d + 0.0f * m.tx + 0.0f * m.ty == 0.0f;
}
bool isFinite(const AIPathSegment& s);

bool isIdentity(const AIRealMatrix& m);

// The matrix that applies `first`, then `then`.
AIRealMatrix concatMatrix(const AIRealMatrix& first, const AIRealMatrix& then);

AIRealPoint transformPoint(const AIRealMatrix& m, const AIRealPoint& p);
AIPathSegment transformSegment(const AIRealMatrix& m, const AIPathSegment& s);

// An empty rectangle: left > right. Union with it yields the other operand.
constexpr AIRealRect kEmptyRect{INFINITY, -INFINITY, -INFINITY, INFINITY};
inline bool isEmptyRect(const AIRealRect& r) { return r.left > r.right; }
// Vertical axis up: top is the larger v.
AIRealRect unionRect(const AIRealRect& a, const AIRealRect& b);
AIRealRect pointRect(const AIRealPoint& p);
void includePoint(AIRealRect& r, const AIRealPoint& p);

// The exact bounds of a Bezier path: anchors plus the extrema of every curve
// (not its direction points). A closed path includes the closing curve from
// the last segment back to the first. With `m`, bounds of the transformed
// path (an affine map of a Bezier curve is the Bezier of the mapped points).
AIRealRect bezierBounds(const AIPathSegment* segs, size_t count, bool closed,
                        const AIRealMatrix* m = nullptr);

// Bounds of the four corners of `box` mapped by m.
AIRealRect transformedBox(const AIRealRect& box, const AIRealMatrix& m);

}  // namespace easel
