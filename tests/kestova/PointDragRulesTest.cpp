// The small rules the drag relies on, checked at their edges: the swatch
// index, the random mode, the limit and the 0x200 interpolation step.
#include "pointdrag/PointDrag.h"

#include <gtest/gtest.h>

namespace {

using pointdrag::SwatchIndexFromRandom;

TEST(SwatchIndex, ListsWithoutAColourSwatchGiveNone) {
    EXPECT_EQ(SwatchIndexFromRandom(0.5f, 0), -1);
    EXPECT_EQ(SwatchIndexFromRandom(0.5f, 2), -1);
    EXPECT_EQ(SwatchIndexFromRandom(0.99f, 3), 2);
    // Ten swatches: the lowest draws map past None and Registration, the
    // highest stay on the last swatch.
    EXPECT_EQ(SwatchIndexFromRandom(0.0f, 10), 2);
    EXPECT_EQ(SwatchIndexFromRandom(0.99999994f, 10), 9);
}

TEST(RandomMode, CoversAllElevenModesAndNoMore) {
    EXPECT_EQ(pointdrag::ModeFromRandom(0.0f), 0);
    EXPECT_EQ(pointdrag::ModeFromRandom(0.5f), 5);
    EXPECT_EQ(pointdrag::ModeFromRandom(0.99999994f), 10);
}

TEST(Limit, ClampsEachComponentSeparately) {
    AIPathSegment s{{0, 0}, {-30, 5}, {4, 50}, 0};
    pointdrag::LimitHandles(s, 10);
    EXPECT_EQ(s.in.h, -10);
    EXPECT_EQ(s.in.v, 5);
    EXPECT_EQ(s.out.h, 4);
    EXPECT_EQ(s.out.v, 10);
}

TEST(InterpolationStep, WrapsPastOneHundredToZero) {
    KestovaGlobals g{};
    g.pdInterpIn = 100.0f;
    g.pdInterpOut = 99.0f;
    g.pdInterpPoint = 0.0f;
    pointdrag::StepInterpolation(g);
    EXPECT_EQ(g.pdInterpIn, 0.0f);
    EXPECT_EQ(g.pdInterpOut, 100.0f);
    EXPECT_EQ(g.pdInterpPoint, 1.0f);
}

} // namespace
