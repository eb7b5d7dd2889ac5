// The fifteen styles as deformations of a box: identity, continuity,
// distinctness, the shape each name promises, distortion and the turn.
#include <cstring>
#include <string>

#include "WarpTestSupport.h"

namespace easel::test {
namespace {

constexpr int kStyles = 15;
const float kBends[] = {-1.0f, -0.5f, 0.5f, 1.0f};

// A box that is not square and not at the origin, so mixing up the axes or
// the centre shows.
class WarpFieldTest : public ::testing::Test {
protected:
    const AIRealRect box = rect(100, 50, 300, 130);  // 200 x 80, centre (200, 90)
    static constexpr double kCx = 200, kCy = 90, kW = 100, kH = 40;

    // A point given in box units: (-1, -1) bottom left, (1, 1) top right.
    static WarpPoint unit(double x, double y) { return {kCx + x * kW, kCy + y * kH}; }

    WarpPoint map(const EnvelopeWarp& w, double x, double y) const { return WarpField(w, box).map(unit(x, y)); }

    // Grid over the box and a margin around it.
    static std::vector<WarpPoint> grid(int n, double extent) {
        std::vector<WarpPoint> g;
        for (int i = 0; i <= n; ++i) {
            for (int j = 0; j <= n; ++j) {
                g.push_back(unit(extent * (2.0 * i / n - 1), extent * (2.0 * j / n - 1)));
            }
        }
        return g;
    }

    // Largest distance between the images of the grid under two warps.
    double difference(const EnvelopeWarp& a, const EnvelopeWarp& b) const {
        const WarpField fa(a, box), fb(b, box);
        double d = 0;
        for (const WarpPoint& p : grid(16, 1)) d = std::max(d, dist(fa.map(p), fb.map(p)));
        return d;
    }
};

TEST_F(WarpFieldTest, ZeroBendWithoutDistortionIsTheIdentityForEveryStyleAndTurn) {
    for (int s = 0; s <= kStyles; ++s) {
        for (bool turn : {false, true}) {
            const EnvelopeWarp w = warpOf(s, 0, 0, 0, turn);
            EXPECT_TRUE(isIdentityWarp(w));
            const WarpField f(w, box);
            EXPECT_TRUE(f.identity());
            for (const WarpPoint& p : grid(8, 1.5)) {
                const WarpPoint q = f.map(p);
                EXPECT_EQ(q.h, p.h);
                EXPECT_EQ(q.v, p.v);
            }
        }
    }
    // Style 0 is no warp whatever the parameters.
    EXPECT_TRUE(isIdentityWarp(warpOf(0, 1, 1, 1, true)));
    EXPECT_FALSE(isIdentityWarp(warpOf(4, 0, 0.5f, 0)));
}

TEST_F(WarpFieldTest, TinyBendsMoveTinyDistances) {
    // Continuity in the bend, across the special case at 0 (arc radius
    // tending to infinity).
    for (int s = 1; s <= kStyles; ++s) {
        for (bool turn : {false, true}) {
            for (float b : {1e-4f, -1e-4f}) {
                const WarpField f(warpOf(s, b, 0, 0, turn), box);
                ASSERT_FALSE(f.identity());
                for (const WarpPoint& p : grid(8, 1)) EXPECT_LT(dist(f.map(p), p), 0.05) << "style " << s;
            }
        }
    }
}

TEST_F(WarpFieldTest, NeighbouringPointsStayNeighbours) {
    // No tear anywhere in the box or a margin around it: a step of a
    // hundredth of a point moves the image by well under a point, for every
    // style, bend, turn and the strongest distortions.
    const double step = 0.01;
    for (int s = 1; s <= kStyles; ++s) {
        for (float b : kBends) {
            for (bool turn : {false, true}) {
                for (float d : {0.0f, 1.0f, -1.0f}) {
                    const WarpField f(warpOf(s, b, d, -d, turn), box);
                    double worst = 0;
                    for (const WarpPoint& p : grid(60, 1.2)) {
                        const WarpPoint q = f.map(p);
                        worst = std::max(worst, dist(q, f.map({p.h + step, p.v})));
                        worst = std::max(worst, dist(q, f.map({p.h, p.v + step})));
                    }
                    EXPECT_LT(worst, 50 * step) << "style " << s << " bend " << b << " turn " << turn;
                }
            }
        }
    }
}

TEST_F(WarpFieldTest, EveryStyleDiffersFromEveryOther) {
    for (float b : kBends) {
        for (bool turn : {false, true}) {
            for (int s = 1; s <= kStyles; ++s) {
                EXPECT_GT(difference(warpOf(s, b, 0, 0, turn), warpOf(0, 0)), 5) << "style " << s;
                for (int t = s + 1; t <= kStyles; ++t) {
                    EXPECT_GT(difference(warpOf(s, b, 0, 0, turn), warpOf(t, b, 0, 0, turn)), 3)
                        << "styles " << s << " and " << t << " at bend " << b;
                }
            }
        }
    }
}

TEST_F(WarpFieldTest, OppositeBendsAndTheTurnGiveDifferentShapes) {
    for (int s = 1; s <= kStyles; ++s) {
        EXPECT_GT(difference(warpOf(s, 0.5f), warpOf(s, -0.5f)), 5) << "style " << s;
        // Fisheye, inflate and twist look the same along either axis.
        const bool symmetric = s == 12 || s == 13 || s == 15;
        const double turned = difference(warpOf(s, 0.5f), warpOf(s, 0.5f, 0, 0, true));
        if (symmetric) {
            EXPECT_LT(turned, 1e-9) << "style " << s;
        } else {
            EXPECT_GT(turned, 5) << "style " << s;
        }
    }
}

TEST_F(WarpFieldTest, FarPointsAndOutOfRangeParametersStayFiniteAndRepeatBitForBit) {
    for (int s = 1; s <= kStyles; ++s) {
        const bool turn = s % 2 == 0;
        const WarpField f(warpOf(s, 7, -9, 12, turn), box);  // clamped to -1..1
        const WarpField g(warpOf(s, 1, -1, 1, turn), box);
        const WarpField again(warpOf(s, 7, -9, 12, turn), box);
        for (const WarpPoint& p : grid(10, 50)) {
            const WarpPoint q = f.map(p), r = g.map(p), t = again.map(p);
            EXPECT_TRUE(std::isfinite(q.h) && std::isfinite(q.v)) << "style " << s;
            EXPECT_EQ(q.h, r.h);
            EXPECT_EQ(q.v, r.v);
            EXPECT_EQ(std::memcmp(&q, &t, sizeof q), 0);
        }
    }
}

TEST_F(WarpFieldTest, FlatAndEmptyBoxes) {
    // A horizontal line still bends: the box gets some height.
    const WarpField line(warpOf(4, 1), rect(0, 10, 100, 10));
    EXPECT_FALSE(line.identity());
    EXPECT_GT(line.map({50, 10}).v, 10.5);
    // A point or an empty box has nothing to deform.
    EXPECT_TRUE(WarpField(warpOf(4, 1), rect(5, 5, 5, 5)).identity());
    EXPECT_TRUE(WarpField(warpOf(4, 1), kEmptyRect).identity());
}

// ---- what each name promises ----

TEST_F(WarpFieldTest, ArcBendsTheBoxRoundACircle) {
    const EnvelopeWarp w = warpOf(1, 0.5f);
    // The middle stays, the ends come down and lean inwards, like a rainbow.
    EXPECT_NEAR(map(w, 0, 1).v, unit(0, 1).v, 1e-9);
    EXPECT_LT(map(w, -1, 0).v, kCy - 5);
    EXPECT_LT(map(w, 1, 0).v, kCy - 5);
    // Points of one horizontal stay at one distance from a common centre.
    const WarpPoint a = map(w, -1, 0), b = map(w, 0, 0), c = map(w, 0.6, 0);
    // Centre on the vertical through the middle: equidistant from a and b.
    const double cy = (a.h * a.h - 2 * a.h * b.h + b.h * b.h + a.v * a.v - b.v * b.v) / (2 * (a.v - b.v));
    const WarpPoint centre{b.h, cy};
    EXPECT_NEAR(dist(centre, a), dist(centre, c), 1e-6);
    // A negative bend turns it the other way.
    EXPECT_GT(map(warpOf(1, -0.5f), 1, 0).v, kCy + 5);
}

TEST_F(WarpFieldTest, ArcLowerAndUpperMoveOneEdgeOnly) {
    for (double x : {-1.0, -0.3, 0.5}) {
        const WarpPoint top = map(warpOf(2, 1), x, 1);
        EXPECT_NEAR(top.v, unit(x, 1).v, 1e-9);
        const WarpPoint bottom = map(warpOf(3, 1), x, -1);
        EXPECT_NEAR(bottom.v, unit(x, -1).v, 1e-9);
    }
    EXPECT_LT(map(warpOf(2, 1), 0, -1).v, unit(0, -1).v - 20);  // lower edge bows down
    EXPECT_GT(map(warpOf(3, 1), 0, 1).v, unit(0, 1).v + 20);    // upper edge bows up
}

TEST_F(WarpFieldTest, ArchKeepsVerticalsUprightAndBulgeKeepsTheMiddleLine) {
    for (double x : {-0.8, 0.0, 0.4}) {
        const double h0 = map(warpOf(4, 0.7f), x, -1).h;
        EXPECT_NEAR(map(warpOf(4, 0.7f), x, 1).h, h0, 1e-9);
        // Top and bottom move up by the same amount.
        EXPECT_NEAR(map(warpOf(4, 0.7f), x, 1).v - unit(x, 1).v, map(warpOf(4, 0.7f), x, -1).v - unit(x, -1).v, 1e-9);
        EXPECT_NEAR(map(warpOf(5, 0.7f), x, 0).v, kCy, 1e-9);
    }
    EXPECT_GT(map(warpOf(5, 1), 0, 1).v, unit(0, 1).v + 10);
    EXPECT_LT(map(warpOf(5, 1), 0, -1).v, unit(0, -1).v - 10);
}

TEST_F(WarpFieldTest, ShellsFanOutTheirBowedEdge) {
    const double base = unit(1, -1).h;
    EXPECT_GT(map(warpOf(6, 1), 1, -1).h, base + 10);  // lower corners spread
    EXPECT_NEAR(map(warpOf(6, 1), 1, 1).h, unit(1, 1).h, 1e-9);
    EXPECT_GT(map(warpOf(7, 1), 1, 1).h, base + 10);   // upper corners spread
    EXPECT_NEAR(map(warpOf(7, 1), 1, -1).h, base, 1e-9);
}

TEST_F(WarpFieldTest, FlagWavesEveryHeightAlikeAndWaveShiftsWithHeight) {
    for (double x : {-0.5, 0.25}) {
        const double d1 = map(warpOf(8, 1), x, 1).v - unit(x, 1).v;
        const double d2 = map(warpOf(8, 1), x, -1).v - unit(x, -1).v;
        EXPECT_NEAR(d1, d2, 1e-9);
        EXPECT_GT(std::abs(d1), 5);
    }
    // Flag: up on one half, down on the other.
    EXPECT_LT(map(warpOf(8, 1), -0.5, 0).v, kCy - 5);
    EXPECT_GT(map(warpOf(8, 1), 0.5, 0).v, kCy + 5);
    // Wave: the displacement depends on the height.
    const double top = map(warpOf(9, 1), 0.1, 1).v - unit(0.1, 1).v;
    const double bottom = map(warpOf(9, 1), 0.1, -1).v - unit(0.1, -1).v;
    EXPECT_GT(std::abs(top - bottom), 5);
}

TEST_F(WarpFieldTest, FishIsFullOnOneSideAndNarrowOnTheOther) {
    const double leftHeight = map(warpOf(10, 1), -0.33, 1).v - map(warpOf(10, 1), -0.33, -1).v;
    const double rightHeight = map(warpOf(10, 1), 1, 1).v - map(warpOf(10, 1), 1, -1).v;
    EXPECT_GT(leftHeight, 2 * kH * 1.3);
    EXPECT_LT(rightHeight, 2 * kH * 0.7);
}

TEST_F(WarpFieldTest, RiseLiftsTheRightSideKeepingHeights) {
    const EnvelopeWarp w = warpOf(11, 1);
    EXPECT_LT(map(w, -1, 0).v, kCy - 10);
    EXPECT_GT(map(w, 1, 0).v, kCy + 10);
    for (double x : {-1.0, 0.3, 1.0}) EXPECT_NEAR(map(w, x, 1).v - map(w, x, -1).v, 2 * kH, 1e-9);
}

TEST_F(WarpFieldTest, FisheyeMagnifiesTheMiddleAndLeavesTheEdges) {
    const EnvelopeWarp w = warpOf(12, 1);
    EXPECT_GT(map(w, 0.3, 0).h - kCx, 0.3 * kW * 1.2);
    for (const auto& [x, y] : {std::pair{1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {-1.0, -1.0}}) {
        EXPECT_NEAR(dist(map(w, x, y), unit(x, y)), 0, 1e-9);
    }
}

TEST_F(WarpFieldTest, InflateSwellsAndSqueezePinchesTheSides) {
    EXPECT_GT(map(warpOf(13, 1), 1, 0).h, unit(1, 0).h + 10);
    EXPECT_GT(map(warpOf(13, 1), 0, 1).v, unit(0, 1).v + 5);
    EXPECT_LT(map(warpOf(14, 1), 1, 0).h, unit(1, 0).h - 10);
    EXPECT_GT(map(warpOf(14, 1), 0, 1).v, unit(0, 1).v + 5);
}

TEST_F(WarpFieldTest, TwistTurnsTheMiddleAndHoldsTheCorners) {
    const EnvelopeWarp w = warpOf(15, 1);
    for (const auto& [x, y] : {std::pair{1.0, 1.0}, {-1.0, 1.0}, {1.0, -1.0}}) {
        EXPECT_NEAR(dist(map(w, x, y), unit(x, y)), 0, 1e-9);
    }
    // A point near the centre is turned by almost a quarter turn, distance kept.
    const WarpPoint q = map(w, 0.05, 0);
    EXPECT_NEAR(dist(q, unit(0, 0)), 0.05 * kW, 1e-9);
    EXPECT_GT(q.v - kCy, 0.045 * kW);
}

// ---- distortion and the turn ----

TEST_F(WarpFieldTest, DistortionsActAsPerspective) {
    // Horizontal: the right side taller than the left, corners on the lines
    // of a trapezoid, the left and right edges in place.
    const EnvelopeWarp h = warpOf(4, 0, 1, 0);
    const double right = map(h, 1, 1).v - map(h, 1, -1).v;
    const double left = map(h, -1, 1).v - map(h, -1, -1).v;
    EXPECT_NEAR(right / left, 7.0 / 3, 1e-9);
    EXPECT_NEAR(map(h, 1, 0.3).h, unit(1, 0).h, 1e-9);
    EXPECT_NEAR(map(h, -1, 0.3).h, unit(-1, 0).h, 1e-9);
    // Equal steps along the width shrink towards the small side.
    const double far = map(h, -0.5, 0).h - map(h, -1, 0).h;
    const double near = map(h, 1, 0).h - map(h, 0.5, 0).h;
    EXPECT_LT(far, near);
    // A straight line stays straight (a projective map).
    const WarpPoint a = map(h, -1, 0.5), b = map(h, 0, 0.5), c = map(h, 1, 0.5);
    EXPECT_NEAR((b.h - a.h) * (c.v - a.v) - (b.v - a.v) * (c.h - a.h), 0, 1e-6);
    // Vertical: the top wider than the bottom.
    const EnvelopeWarp v = warpOf(4, 0, 0, 1);
    EXPECT_NEAR((map(v, 1, 1).h - map(v, -1, 1).h) / (map(v, 1, -1).h - map(v, -1, -1).h), 7.0 / 3, 1e-9);
    // Negative values mirror.
    const EnvelopeWarp n = warpOf(4, 0, -1, 0);
    EXPECT_NEAR((map(n, -1, 1).v - map(n, -1, -1).v) / (map(n, 1, 1).v - map(n, 1, -1).v), 7.0 / 3, 1e-9);
}

TEST_F(WarpFieldTest, TheTurnMovesTheWarpToTheOtherAxis) {
    // An arch turned: horizontals stay level, verticals bow sideways.
    const EnvelopeWarp w = warpOf(4, 1, 0, 0, true);
    for (double y : {-0.7, 0.0, 0.9}) {
        EXPECT_NEAR(map(w, -1, y).v, map(w, 1, y).v, 1e-9);
    }
    EXPECT_GT(std::abs(map(w, 0, 0).h - kCx), 10);
    EXPECT_NEAR(map(w, 0, 1).h, kCx, 1e-9);  // the ends of the turned axis stay
}

}  // namespace
}  // namespace easel::test
