#include <cmath>

#include "SuiteTestSupport.h"

namespace easel::test {
namespace {

constexpr float kPi = 3.14159265358979f;

class RealMath : public SuiteTest {
protected:
    AIRealPoint apply(const AIRealMatrix& m, AIRealPoint p) {
        AIRealPoint r{};
        EXPECT_EQ(math->AIRealMatrixXformPoint(&m, &p, &r), kNoErr);
        return r;
    }
};

TEST_F(RealMath, ConcatStepsTakeEffectInTheOrderTheyWereAdded) {
    AIRealMatrix m{};
    ASSERT_EQ(math->AIRealMatrixSetTranslate(&m, 10, 0), kNoErr);
    ASSERT_EQ(math->AIRealMatrixConcatRotate(&m, kPi / 2), kNoErr);
    // Moved to (10, 0) first, then turned a quarter counter-clockwise (a
    // positive angle) about the origin.
    AIRealPoint p = apply(m, {0, 0});
    EXPECT_NEAR(p.h, 0.0f, 1e-5f);
    EXPECT_NEAR(p.v, 10.0f, 1e-5f);

    AIRealMatrix r{};
    ASSERT_EQ(math->AIRealMatrixSetIdentity(&r), kNoErr);
    ASSERT_EQ(math->AIRealMatrixConcatRotate(&r, kPi / 2), kNoErr);
    ASSERT_EQ(math->AIRealMatrixConcatTranslate(&r, 10, 0), kNoErr);
    p = apply(r, {0, 0});
    EXPECT_NEAR(p.h, 10.0f, 1e-5f);
    EXPECT_NEAR(p.v, 0.0f, 1e-5f);
}

TEST_F(RealMath, ScaleAfterTranslateScalesTheTranslation) {
    AIRealMatrix m{};
    ASSERT_EQ(math->AIRealMatrixSetTranslate(&m, 1, 2), kNoErr);
    ASSERT_EQ(math->AIRealMatrixConcatScale(&m, 2, 3), kNoErr);
    AIRealPoint p = apply(m, {1, 1});
    EXPECT_FLOAT_EQ(p.h, 4.0f);
    EXPECT_FLOAT_EQ(p.v, 9.0f);
}

TEST_F(RealMath, ConcatOfTwoMatricesAppliesTheFirstThenTheSecond) {
    AIRealMatrix a{}, b{}, ab{};
    math->AIRealMatrixSetTranslate(&a, 5, -3);
    math->AIRealMatrixSetIdentity(&b);
    math->AIRealMatrixConcatScale(&b, 2, -1);
    math->AIRealMatrixConcatRotate(&b, 0.3f);
    ASSERT_EQ(math->AIRealMatrixConcat(&a, &b, &ab), kNoErr);
    AIRealPoint q = apply(b, apply(a, {7, 11}));
    AIRealPoint p = apply(ab, {7, 11});
    EXPECT_NEAR(p.h, q.h, 1e-4f);
    EXPECT_NEAR(p.v, q.v, 1e-4f);
}

TEST_F(RealMath, PointAngleIsTheDirectionFromPToQ) {
    AIRealPoint p{1, 1}, up{1, 5}, left{-3, 1};
    AIReal a = 0;
    ASSERT_EQ(math->AIRealPointAngle(&p, &up, &a), kNoErr);
    EXPECT_FLOAT_EQ(a, kPi / 2);
    ASSERT_EQ(math->AIRealPointAngle(&up, &p, &a), kNoErr);
    EXPECT_FLOAT_EQ(a, -kPi / 2);
    ASSERT_EQ(math->AIRealPointAngle(&p, &left, &a), kNoErr);
    EXPECT_FLOAT_EQ(a, kPi);
}

TEST_F(RealMath, PointInterpolateStartsAtQAndReachesPAtOne) {
    AIRealPoint p{10, 20}, q{2, 4}, r{};
    ASSERT_EQ(math->AIRealPointInterpolate(&p, &q, 0.25f, &r), kNoErr);
    EXPECT_FLOAT_EQ(r.h, 4.0f);
    EXPECT_FLOAT_EQ(r.v, 8.0f);
    ASSERT_EQ(math->AIRealPointInterpolate(&p, &q, 1.0f, &r), kNoErr);
    EXPECT_FLOAT_EQ(r.h, 10.0f);
    EXPECT_FLOAT_EQ(r.v, 20.0f);
}

TEST_F(RealMath, AnglesAndRoots) {
    AIReal r = 0;
    ASSERT_EQ(math->DegreesToRadians(180, &r), kNoErr);
    EXPECT_EQ(r, 180.0f * kPi / 180.0f);
    ASSERT_EQ(math->RadiansToDegrees(kPi / 4, &r), kNoErr);
    EXPECT_FLOAT_EQ(r, 45.0f);
    ASSERT_EQ(math->AIRealSqrt(2.25f, &r), kNoErr);
    EXPECT_EQ(r, 1.5f);
    ASSERT_EQ(math->AIRealSin(kPi / 6, &r), kNoErr);
    EXPECT_FLOAT_EQ(r, 0.5f);
    ASSERT_EQ(math->AIRealCos(0, &r), kNoErr);
    EXPECT_EQ(r, 1.0f);
    AIRealPoint a{0, 0}, b{3, 4};
    ASSERT_EQ(math->AIRealPointLength(&a, &b, &r), kNoErr);
    EXPECT_FLOAT_EQ(r, 5.0f);
}

TEST_F(RealMath, InvertUndoesTheMatrixAndRefusesSingularOnes) {
    AIRealMatrix m{}, inv{};
    math->AIRealMatrixSetTranslate(&m, 3, 4);
    math->AIRealMatrixConcatRotate(&m, 0.7f);
    math->AIRealMatrixConcatScale(&m, 2, 0.5f);
    ASSERT_EQ(math->AIRealMatrixInvert(&m, &inv), kNoErr);
    AIRealPoint p = apply(inv, apply(m, {-6, 9}));
    EXPECT_NEAR(p.h, -6.0f, 1e-4f);
    EXPECT_NEAR(p.v, 9.0f, 1e-4f);

    AIRealMatrix flat{1, 2, 2, 4, 0, 0};
    AIRealMatrix untouched{9, 9, 9, 9, 9, 9};
    EXPECT_EQ(math->AIRealMatrixInvert(&flat, &untouched), kBadParameterErr);
    EXPECT_EQ(untouched.a, 9.0f);
}

TEST_F(RealMath, NonFiniteAndMissingArgumentsAreRefused) {
    const float nan = std::nanf("");
    const float inf = INFINITY;
    AIReal r = 7;
    EXPECT_EQ(math->AIRealSqrt(-1, &r), kBadParameterErr);
    EXPECT_EQ(math->AIRealSqrt(nan, &r), kBadParameterErr);
    EXPECT_EQ(math->AIRealSin(inf, &r), kBadParameterErr);
    EXPECT_EQ(math->DegreesToRadians(nan, &r), kBadParameterErr);
    EXPECT_EQ(r, 7.0f);
    EXPECT_EQ(math->AIRealCos(0, nullptr), kBadParameterErr);

    AIRealMatrix m{};
    math->AIRealMatrixSetTranslate(&m, 1, 1);
    EXPECT_EQ(math->AIRealMatrixConcatRotate(&m, nan), kBadParameterErr);
    EXPECT_EQ(math->AIRealMatrixConcatScale(&m, inf, 1), kBadParameterErr);
    EXPECT_EQ(math->AIRealMatrixConcatTranslate(&m, 0, nan), kBadParameterErr);
    // Overflow to infinity is refused and leaves the matrix as it was.
    EXPECT_EQ(math->AIRealMatrixConcatScale(&m, 3e38f, 3e38f), kNoErr);
    EXPECT_EQ(math->AIRealMatrixConcatScale(&m, 3e38f, 1), kBadParameterErr);
    EXPECT_TRUE(std::isfinite(m.a));
    EXPECT_EQ(math->AIRealMatrixSetIdentity(nullptr), kBadParameterErr);

    AIRealPoint p{nan, 0}, q{1, 1}, out{};
    EXPECT_EQ(math->AIRealPointAngle(&p, &q, &r), kBadParameterErr);
    EXPECT_EQ(math->AIRealPointInterpolate(&q, &q, nan, &out), kBadParameterErr);
    EXPECT_EQ(math->AIRealMatrixXformPoint(&m, nullptr, &out), kBadParameterErr);
}

}  // namespace
}  // namespace easel::test
