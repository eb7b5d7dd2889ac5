// Warping Bezier contours: the error bound against the exact image, smooth
// curves instead of polygons, corners kept, finiteness and determinism.
#include "WarpTestSupport.h"

namespace easel::test {
namespace {

struct Shape {
    const char* name;
    std::vector<AIPathSegment> segs;
    bool closed;
};

class WarpContourTest : public ::testing::Test {
protected:
    static std::vector<Shape> shapes() {
        return {
            {"square", squareSegments(0, 0, 100), true},
            {"circle", circleSegments(50, 50, 50), true},
            // An open S curve with one retracted direction point and a corner.
            {"s-curve",
             {smooth(0, 20, 0, 20, 40, 120), AIPathSegment{{60, 50}, {20, 60}, {90, 40}, 1},
              smooth(100, 80, 70, 0, 120, 100)},
             false},
        };
    }

    static WarpChain chainFor(const EnvelopeWarp& w, const AIRealRect& box) {
        WarpChain c;
        c.push(WarpField(w, box));
        return c;
    }

    // The largest distance between the warped contour and the exact image of
    // the original (sampled on the original and measured to the warped
    // pieces), and back (sampled on the warped pieces and measured to the
    // exact image).
    static double error(const WarpChain& chain, const Shape& s, const std::vector<AIPathSegment>& warped) {
        const std::vector<Piece> original = piecesOf(s.segs, s.closed);
        const std::vector<Piece> pieces = piecesOf(warped, s.closed);
        double worst = 0;
        for (const Piece& o : original) {
            for (int i = 0; i <= 48; ++i) {
                const WarpPoint q = chain.map(o.at(i / 48.0));
                worst = std::max(worst, distanceToPieces(q, pieces));
            }
        }
        for (const Piece& p : pieces) {
            for (int i = 1; i < 8; ++i) {
                const WarpPoint q = p.at(i / 8.0);
                double best = INFINITY;
                for (const Piece& o : original) {
                    best = std::min(best, distanceToCurve(q, [&](double t) { return chain.map(o.at(t)); }, 64));
                }
                worst = std::max(worst, best);
            }
        }
        return worst;
    }
};

TEST_F(WarpContourTest, StaysWithinTheToleranceOfTheExactImage) {
    const AIRealRect box = rect(0, 0, 120, 120);
    for (const Shape& s : shapes()) {
        for (int style = 1; style <= 15; ++style) {
            for (float b : {-1.0f, 0.5f}) {
                const WarpChain chain = chainFor(warpOf(style, b, 0.3f, -0.6f, style % 3 == 0), box);
                std::vector<AIPathSegment> out;
                ASSERT_TRUE(warpContour(chain, s.segs.data(), s.segs.size(), s.closed, out));
                EXPECT_LE(error(chain, s, out), kWarpTolerance + 1e-3)
                    << s.name << " style " << style << " bend " << b;
            }
        }
    }
}

TEST_F(WarpContourTest, ATighterToleranceIsMetWithMoreSegments) {
    const Shape s = shapes()[1];
    const WarpChain chain = chainFor(warpOf(9, 1), rect(0, 0, 100, 100));
    std::vector<AIPathSegment> coarse, fine;
    ASSERT_TRUE(warpContour(chain, s.segs.data(), s.segs.size(), true, coarse, 1.0));
    ASSERT_TRUE(warpContour(chain, s.segs.data(), s.segs.size(), true, fine, 0.002));
    EXPECT_GT(fine.size(), coarse.size());
    EXPECT_LE(error(chain, s, coarse), 1.0 + 1e-3);
    EXPECT_LE(error(chain, s, fine), 0.002 + 1e-3);
    // The same inputs give the same segments, bit for bit.
    std::vector<AIPathSegment> again;
    ASSERT_TRUE(warpContour(chainFor(warpOf(9, 1), rect(0, 0, 100, 100)), s.segs.data(), s.segs.size(), true, again,
                            0.002));
    EXPECT_TRUE(sameSegments(again, fine));
}

TEST_F(WarpContourTest, StraightEdgesBecomeCurvesNotPolygons) {
    const Shape s = shapes()[0];
    const WarpChain chain = chainFor(warpOf(5, 1), rect(0, 0, 100, 100));  // bulge
    std::vector<AIPathSegment> out;
    ASSERT_TRUE(warpContour(chain, s.segs.data(), s.segs.size(), true, out));
    // Each original corner is still a corner, in order, and the top edge
    // bows: its direction points leave the chord between its anchors.
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](const AIPathSegment& g) { return g.corner != 0; }), 4);
    EXPECT_EQ(out.front().p.h, 0.0f);
    EXPECT_NEAR(out.front().p.v, 0.0f, 1e-4);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(),
                            [](const AIPathSegment& g) { return g.out.v > 100.5f || g.in.v > 100.5f; }));
    // The anchor at the middle of the top edge (if subdivided) or the curve
    // itself reaches above the box.
    const AIRealRect b = bezierBounds(out.data(), out.size(), true);
    EXPECT_GT(b.top, 120.0f);
    EXPECT_LT(b.bottom, -20.0f);
}

TEST_F(WarpContourTest, OpenEndsKeepTheirOuterDirectionPointsWarped) {
    const Shape s = shapes()[2];
    const WarpChain chain = chainFor(warpOf(11, 1), rect(0, 0, 120, 120));
    std::vector<AIPathSegment> out;
    ASSERT_TRUE(warpContour(chain, s.segs.data(), s.segs.size(), false, out));
    ASSERT_GE(out.size(), 3u);
    // The first segment's retracted in direction stays on its anchor; the
    // last segment's out direction follows the warp, off its anchor.
    EXPECT_EQ(out.front().in.h, out.front().p.h);
    EXPECT_EQ(out.front().in.v, out.front().p.v);
    EXPECT_GT(std::hypot(out.back().out.h - out.back().p.h, out.back().out.v - out.back().p.v), 10.0f);
    // The corner in the middle is kept; subdivision anchors are smooth.
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](const AIPathSegment& g) { return g.corner != 0; }), 1);
}

TEST_F(WarpContourTest, IdentityCopiesExactly) {
    for (const Shape& s : shapes()) {
        std::vector<AIPathSegment> out;
        ASSERT_TRUE(warpContour(WarpChain{}, s.segs.data(), s.segs.size(), s.closed, out));
        EXPECT_TRUE(sameSegments(out, s.segs));
    }
    std::vector<AIPathSegment> out{corner(1, 1)};
    EXPECT_TRUE(warpContour(chainFor(warpOf(4, 1), rect(0, 0, 1, 1)), nullptr, 0, true, out));
    EXPECT_TRUE(out.empty());
}

TEST_F(WarpContourTest, ChainsApplyTheInnerWarpFirst) {
    const AIRealRect box = rect(0, 0, 100, 100);
    const WarpField inner(warpOf(4, 1), box);
    const WarpField outer(warpOf(15, 1), rect(0, 0, 100, 200));
    WarpChain chain;
    chain.push(inner);
    chain.push(outer);
    const WarpPoint p{30, 40};
    const WarpPoint expected = outer.map(inner.map(p));
    EXPECT_EQ(chain.map(p).h, expected.h);
    EXPECT_EQ(chain.map(p).v, expected.v);
    const WarpPoint other = inner.map(outer.map(p));
    EXPECT_GT(dist(chain.map(p), other), 1);
    EXPECT_TRUE(WarpChain{}.identity());
    WarpChain skipped;
    skipped.push(WarpField{});
    EXPECT_TRUE(skipped.identity());
}

TEST_F(WarpContourTest, NonFiniteResultsAreRefused) {
    // Coordinates near the float limit inflate past it.
    const std::vector<AIPathSegment> big = rectSegments(-3e38f, -3e38f, 3e38f, 3e38f);
    const WarpChain chain = chainFor(warpOf(13, 1), rect(-3e38f, -3e38f, 3e38f, 3e38f));
    std::vector<AIPathSegment> out;
    EXPECT_FALSE(warpContour(chain, big.data(), big.size(), true, out));
}

}  // namespace
}  // namespace easel::test
