#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/Geometry.h"
#include "ModelTestSupport.h"

namespace easel {
namespace {

using test::rotation;
using test::smooth;
using test::translation;

constexpr float kPi = std::numbers::pi_v<float>;

TEST(Matrix, StepsTakeEffectInTheOrderTheyWereAdded) {
    const AIRealPoint p{1, 0};
    // Translate by (10, 0), then turn a quarter counter-clockwise about the origin.
    const AIRealPoint tr = transformPoint(concatMatrix(translation(10, 0), rotation(kPi / 2)), p);
    EXPECT_NEAR(tr.h, 0, 1e-5);
    EXPECT_NEAR(tr.v, 11, 1e-5);
    // Turn first, then translate: a different place.
    const AIRealPoint rt = transformPoint(concatMatrix(rotation(kPi / 2), translation(10, 0)), p);
    EXPECT_NEAR(rt.h, 10, 1e-5);
    EXPECT_NEAR(rt.v, 1, 1e-5);
}

TEST(BezierBounds, SCurveExtremaLieBetweenTheAnchors) {
    // Both anchors at v = 0; the curve swings up and down to +-100 / (2 sqrt 3),
    // well inside its direction points at +-100.
    const AIPathSegment segs[] = {smooth(0, 0, 0, 0, 0, 100), smooth(100, 0, 100, -100, 100, 0)};
    const AIRealRect r = bezierBounds(segs, 2, false);
    const float e = 100.0f / (2.0f * std::sqrt(3.0f));
    EXPECT_FLOAT_EQ(r.left, 0);
    EXPECT_FLOAT_EQ(r.right, 100);
    EXPECT_NEAR(r.top, e, 1e-4);
    EXPECT_NEAR(r.bottom, -e, 1e-4);
}

TEST(BezierBounds, ClosingCurveCountsOnlyWhenClosed) {
    // The closing curve from the last anchor back to the first bulges to v = 75.
    const AIPathSegment segs[] = {smooth(0, 0, 0, 100, 0, 0), smooth(100, 0, 100, 0, 100, 100)};
    const AIRealRect open = bezierBounds(segs, 2, false);
    EXPECT_FLOAT_EQ(open.top, 0);
    const AIRealRect closed = bezierBounds(segs, 2, true);
    EXPECT_NEAR(closed.top, 75, 1e-4);
    EXPECT_FLOAT_EQ(closed.bottom, 0);
}

TEST(BezierBounds, MatrixIsAppliedBeforeTheExtremaAreFound) {
    const AIPathSegment segs[] = {smooth(0, 0, 0, 0, 0, 100), smooth(100, 0, 100, -100, 100, 0)};
    // A quarter turn: the curve's vertical swing becomes horizontal.
    const AIRealMatrix m = rotation(kPi / 2);
    const AIRealRect r = bezierBounds(segs, 2, false, &m);
    const float e = 100.0f / (2.0f * std::sqrt(3.0f));
    EXPECT_NEAR(r.left, -e, 1e-3);
    EXPECT_NEAR(r.right, e, 1e-3);
    EXPECT_NEAR(r.top, 100, 1e-3);
    EXPECT_NEAR(r.bottom, 0, 1e-3);
}

TEST(BezierBounds, EmptyAndSinglePoint) {
    EXPECT_TRUE(isEmptyRect(bezierBounds(nullptr, 0, false)));
    const AIPathSegment one[] = {smooth(3, 4, -50, -50, 50, 50)};
    const AIRealRect r = bezierBounds(one, 1, false);
    EXPECT_FLOAT_EQ(r.left, 3);
    EXPECT_FLOAT_EQ(r.right, 3);
    EXPECT_FLOAT_EQ(r.top, 4);
    EXPECT_FLOAT_EQ(r.bottom, 4);
}

}  // namespace
}  // namespace easel
