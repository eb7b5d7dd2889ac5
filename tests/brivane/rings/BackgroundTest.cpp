// Background through the real plug-in, with places worked out from the
// host's draws: the whole rectangle at "Frame (%)" 50, bands below it, the
// sides at 0, selection blocks, the hidden delete flag with a zero drag,
// Trail, and copy 0 being a duplicate too.
//
// Per copy the tool draws two scale candidates, then the place: at 50 the
// horizontal and the vertical offset; below 50 the horizontal and vertical
// band depth, the band kind, the side, and the place along the band; then
// the turn (with "Rotation [R]").
#include "RingsFixture.h"

#include <algorithm>

namespace brivane_test {
namespace {

class Background : public RingsFixture {
protected:
    void SetUp() override {
        RingsFixture::SetUp();
        G().backRotate = 0;
        G().backApply = 0;
    }
    // The offsets the draws r[at ...] give in a W x H rectangle.
    static AIRealPoint BandOffset(const std::vector<float>& r, std::size_t at, float band, float w, float h) {
        const float fx = r[at] * band * w * 0.01f;
        const float fy = r[at + 1] * band * h * 0.01f;
        if (r[at + 2] <= 0.5f) return {r[at + 4] * w, r[at + 3] <= 0.5f ? h - fy : fy};
        return {r[at + 3] <= 0.5f ? w - fx : fx, r[at + 4] * h};
    }
    void ExpectCentres(const std::vector<AIRealPoint>& centres, float w, float h) {
        EXPECT_EQ(TopLevelArt().size(), centres.size());
        for (AIRealPoint c : centres) ExpectPiece(c.h, c.v, w, h);
    }
};

TEST_F(Background, FiftyPercentSpreadsOverTheWholeRectangle) {
    G().backCopies = 4;
    Art* bar = Bar();
    Drag(kBackground, {{0, 0}, {100, 60}});
    ExpectNoErrors();
    EXPECT_FALSE(doc->isLive(bar)) << "the hidden delete flag is on";
    const auto r = Draws(1, 16);
    std::vector<AIRealPoint> centres;
    for (std::size_t k = 0; k < 4; ++k) centres.push_back({10 + r[4 * k + 2] * 100, 5 + r[4 * k + 3] * 60});
    ExpectCentres(centres, 20, 10);
}

TEST_F(Background, JustBelowFiftyPercentUsesFourBands) {
    G().backCopies = 8;
    G().backFrame = 49.99f;
    Bar();
    Drag(kBackground, {{0, 0}, {100, 60}});
    const auto r = Draws(1, 56);
    std::vector<AIRealPoint> centres;
    int horizontal = 0;
    for (std::size_t k = 0; k < 8; ++k) {
        const AIRealPoint o = BandOffset(r, 7 * k + 2, 49.99f, 100, 60);
        horizontal += r[7 * k + 4] <= 0.5f;
        centres.push_back({10 + o.h, 5 + o.v});
    }
    ExpectCentres(centres, 20, 10);
    EXPECT_GT(horizontal, 0) << "these draws pick both kinds of band";
    EXPECT_LT(horizontal, 8);
}

TEST_F(Background, ZeroPercentPutsEveryCopyOnASide) {
    G().backCopies = 20;
    G().backFrame = 0;
    Bar();
    Drag(kBackground, {{0, 0}, {-100, 60}}); // the rectangle lies to the left
    ASSERT_EQ(TopLevelArt().size(), 20u);
    for (const Box& b : Boxes()) {
        const float ox = b.H() - 10, oy = b.V() - 5;
        const bool leftOrRight = std::fabs(ox) < 1e-3f || std::fabs(ox + 100) < 1e-3f;
        const bool topOrBottom = std::fabs(oy) < 1e-3f || std::fabs(oy - 60) < 1e-3f;
        EXPECT_TRUE(leftOrRight || topOrBottom) << ox << ", " << oy;
        EXPECT_LE(ox, 1e-3f);
        EXPECT_GE(ox, -100 - 1e-3f);
        EXPECT_GE(oy, -1e-3f);
        EXPECT_LE(oy, 60 + 1e-3f);
    }
}

TEST_F(Background, ScaleAndTurnFollowTheirDraws) {
    G().backCopies = 2;
    G().backApply = 1;
    G().backRotate = 1;
    G().backScaleMin = 50;
    G().backScaleMax = 50;
    G().lineWidthMode = 1;
    Triangle(0, 0, 20, 10); // right angle at the origin, centre (10, 5)
    Drag(kBackground, {{0, 0}, {100, 60}});
    const auto r = Draws(1, 10);
    for (std::size_t k = 0; k < 2; ++k) {
        const float turn = r[5 * k + 4] * 6.283f;
        // (-10, -5) from the centre, turned, then halved.
        const float h = 10 + 0.5f * (std::cos(turn) * -10 - std::sin(turn) * -5) + r[5 * k + 2] * 100;
        const float v = 5 + 0.5f * (std::sin(turn) * -10 + std::cos(turn) * -5) + r[5 * k + 3] * 60;
        bool found = false;
        for (Art* a : TopLevelArt()) {
            if (std::fabs(Anchor(a, 0).h - h) < 1e-3f && std::fabs(Anchor(a, 0).v - v) < 1e-3f) {
                found = true;
                EXPECT_FLOAT_EQ(a->style().stroke.width, 1.0f) << "line width halved with the copy";
            }
        }
        EXPECT_TRUE(found) << "copy " << k;
    }
}

TEST_F(Background, SelectionModeKeepsTheArrangementInsideEachBlock) {
    G().backCopies = 3;
    G().backApply = 1; // factors 97 .. 103 %
    Square(0, 0, 10);  // centres (5, 5) and (45, 25); selection centre (25, 15)
    Square(40, 20, 10);
    Drag(kBackground, {{0, 0}, {100, 60}});
    ExpectNoErrors();
    const auto r = Draws(1, 12);
    ASSERT_EQ(TopLevelArt().size(), 6u);
    for (std::size_t k = 0; k < 3; ++k) {
        const float a = std::max(r[4 * k] * 103, 97.0f) * 0.01f;
        const float b = std::max(r[4 * k + 1] * 103, 97.0f) * 0.01f;
        for (AIRealPoint c : {AIRealPoint{5, 5}, AIRealPoint{45, 25}}) {
            const float h = 25 + (c.h - 25) * a + r[4 * k + 2] * 100;
            const float v = 15 + (c.v - 15) * b + r[4 * k + 3] * 60;
            Art* piece = ArtCentredAt(h, v);
            ASSERT_NE(piece, nullptr) << "block " << k;
            EXPECT_NEAR(BoxOf(piece).Width(), 10 * a, 1e-3);
            EXPECT_NEAR(BoxOf(piece).Height(), 10 * b, 1e-3);
        }
    }
}

TEST_F(Background, AZeroDragMakesNoCopiesButDeletesTheSelection) {
    Art* one = Bar();
    Art* two = Square(50, 50, 10);
    Drag(kBackground, {{7, 7}, {7, 7}});
    ExpectNoErrors();
    EXPECT_FALSE(doc->isLive(one));
    EXPECT_FALSE(doc->isLive(two));
    EXPECT_TRUE(TopLevelArt().empty());
}

TEST_F(Background, CopyZeroIsADuplicateSoTheObjectStaysUntouched) {
    G().backCopies = 3;
    G().backDelete = 0;
    G().backApply = 1;
    G().backRotate = 1;
    Art* bar = Bar();
    Drag(kBackground, {{0, 0}, {100, 60}});
    EXPECT_EQ(TopLevelArt().size(), 4u);
    EXPECT_FALSE(Tagged(bar));
    const Box b = BoxOf(bar);
    EXPECT_FLOAT_EQ(b.left, 0);
    EXPECT_FLOAT_EQ(b.bottom, 0);
    EXPECT_FLOAT_EQ(b.right, 20);
    EXPECT_FLOAT_EQ(b.top, 10);
}

TEST_F(Background, TrailKeepsTheSelectionAndEveryBackground) {
    G().backCopies = 2;
    G().backTrail = 1;
    Art* bar = Bar();
    Drag(kBackground, {{0, 0}, {100, 60}, {50, 50}});
    EXPECT_EQ(G().backDelete, 0);
    EXPECT_TRUE(doc->isLive(bar));
    EXPECT_EQ(TopLevelArt().size(), 5u);
    G().backTrail = 0;
    Drag(kBackground, {{0, 0}, {100, 60}});
    EXPECT_TRUE(doc->isLive(bar)) << "turning Trail off does not bring the delete flag back";
}

TEST_F(Background, AFailedDeleteIsReportedAfterTheOthersAreDeleted) {
    G().backCopies = 2;
    G().backSelected = 0;
    auto [locked, open] = ObjectsOnLockedAndOpenLayers();
    Drag(kBackground, {{0, 0}, {100, 60}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], kLockedLayerErr);
    EXPECT_TRUE(doc->isLive(locked));
    EXPECT_FALSE(doc->isLive(open));
    EXPECT_EQ(TopLevelArt().size(), 5u);
}

} // namespace
} // namespace brivane_test
