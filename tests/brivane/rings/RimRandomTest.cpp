// Rim random through the real plug-in, with every place and size worked out
// from the host's draws: the max(draw x maximum, minimum) scale, Locked,
// Apply, the turn, the box of half the drag, selection blocks and their
// placement, and carrying the sources with Trail.
//
// Per copy the tool draws two scale candidates, the turn (with "Rotation
// [R]"), the vertical and then the horizontal place in the box. It makes
// the duplicates 1 .. n-1 first and copy 0 (the object itself) last, so
// every copy is made from the object as it was.
#include "RingsFixture.h"

#include <algorithm>

namespace brivane_test {
namespace {

class RimRandom : public RingsFixture {
protected:
    void SetUp() override {
        RingsFixture::SetUp();
        G().rimRotate = 0;
    }
};

float AtLeast(float value, float minimum) { return value < minimum ? minimum : value; }

TEST_F(RimRandom, ScaleIsTheDrawTimesTheMaximumRaisedToTheMinimum) {
    G().rimCopies = 6;
    Bar();
    Drag(kRimRandom, {{0, 0}, {40, 20}}); // box (20, 10)
    ExpectNoErrors();
    const auto r = Draws(1, 24);
    std::vector<Expected> pieces;
    int atMinimum = 0;
    for (std::size_t p = 0; p < 6; ++p) {
        const float a = AtLeast(r[4 * p] * 103, 97);
        const float b = AtLeast(r[4 * p + 1] * 103, 97);
        atMinimum += (a == 97) + (b == 97);
        pieces.push_back({10 + r[4 * p + 3] * 20, 5 + r[4 * p + 2] * 10, 20 * a * 0.01f, 10 * b * 0.01f});
    }
    ExpectPieces(pieces);
    EXPECT_GT(atMinimum, 6) << "most factors are exactly the minimum";
}

TEST_F(RimRandom, MinimumAboveMaximumGivesTheMinimumEverywhere) {
    G().rimCopies = 3;
    G().rimScaleMin = 150;
    G().rimScaleMax = 100;
    Art* bar = Bar();
    Drag(kRimRandom, {{0, 0}, {40, 20}});
    const auto r = Draws(1, 12);
    std::vector<Expected> pieces;
    for (std::size_t p = 0; p < 3; ++p) pieces.push_back({10 + r[4 * p + 3] * 20, 5 + r[4 * p + 2] * 10, 30, 15});
    ExpectPieces(pieces);
    // The object itself is copy 0, made last: the last draws place it.
    EXPECT_NEAR(BoxOf(bar).H(), pieces[2].h, 1e-3);
    EXPECT_NEAR(BoxOf(bar).V(), pieces[2].v, 1e-3);
}

TEST_F(RimRandom, LockedUsesTheSecondFactorOnBothAxes) {
    G().rimCopies = 4;
    G().rimLocked = 1;
    G().rimScaleMin = 20;
    G().rimScaleMax = 200;
    Bar();
    Drag(kRimRandom, {{0, 0}, {40, 20}});
    const auto r = Draws(1, 16);
    std::vector<Expected> pieces;
    for (std::size_t p = 0; p < 4; ++p) {
        const float b = AtLeast(r[4 * p + 1] * 200, 20);
        pieces.push_back({10 + r[4 * p + 3] * 20, 5 + r[4 * p + 2] * 10, 20 * b * 0.01f, 10 * b * 0.01f});
    }
    ExpectPieces(pieces);
}

TEST_F(RimRandom, ApplyOffLeavesEveryCopyItsSize) {
    G().rimCopies = 5;
    G().rimApply = 0;
    G().rimScaleMin = 150;
    G().rimScaleMax = 200;
    Bar();
    Drag(kRimRandom, {{0, 0}, {-40, -20}}); // box (-20, -10): copies go left and down
    const auto r = Draws(1, 20);
    std::vector<Expected> pieces;
    for (std::size_t p = 0; p < 5; ++p) pieces.push_back({10 - r[4 * p + 3] * 20, 5 - r[4 * p + 2] * 10, 20, 10});
    ExpectPieces(pieces);
}

TEST_F(RimRandom, AHorizontalDragKeepsEveryCopyOnTheObjectsRow) {
    G().rimCopies = 8;
    Bar();
    Drag(kRimRandom, {{0, 0}, {100, 0}});
    ASSERT_EQ(TopLevelArt().size(), 8u);
    for (const Box& b : Boxes()) {
        EXPECT_FLOAT_EQ(b.V(), 5.0f);
        EXPECT_GE(b.H(), 10.0f);
        EXPECT_LT(b.H(), 60.0f);
    }
}

TEST_F(RimRandom, RotationTurnsEachCopyByItsDrawTimes6283) {
    G().rimCopies = 2;
    G().rimRotate = 1;
    G().rimApply = 0;
    Triangle(0, 0, 20, 10); // right angle at the origin, centre (10, 5)
    Drag(kRimRandom, {{0, 0}, {40, 20}});
    // Per copy: two scale draws, the turn, then the place.
    const auto r = Draws(1, 10);
    for (std::size_t p = 0; p < 2; ++p) {
        const float turn = r[5 * p + 2] * 6.283f;
        const float h = 10 + std::cos(turn) * -10 - std::sin(turn) * -5 + r[5 * p + 4] * 20;
        const float v = 5 + std::sin(turn) * -10 + std::cos(turn) * -5 + r[5 * p + 3] * 10;
        bool found = false;
        for (Art* a : TopLevelArt())
            if (std::fabs(Anchor(a, 0).h - h) < 1e-3f && std::fabs(Anchor(a, 0).v - v) < 1e-3f) found = true;
        EXPECT_TRUE(found) << "copy at position " << p;
    }
}

class RimRandomSelection : public RimRandom {
protected:
    void SetUp() override {
        RimRandom::SetUp();
        G().rimCopies = 5;
        G().rimSelected = 1;
        objects = {Square(0, 0, 10), Square(40, 0, 10), Square(0, 30, 10)}; // selection centre (25, 20)
    }
    std::vector<Art*> objects;
    // Index in the stacking order (bottom first) of the first source object.
    std::size_t FirstSourcePosition() const {
        const auto all = TopLevelArt();
        return static_cast<std::size_t>(std::find(all.begin(), all.end(), objects[0]) - all.begin());
    }
};

TEST_F(RimRandomSelection, EachCopyIsABlockWithOneSharedTransformation) {
    Drag(kRimRandom, {{0, 0}, {40, 20}});
    ExpectNoErrors();
    const auto r = Draws(1, 20);
    const AIRealPoint centres[] = {{5, 5}, {45, 5}, {5, 35}};
    std::vector<Expected> pieces;
    for (std::size_t p = 0; p < 5; ++p) {
        const float a = AtLeast(r[4 * p] * 103, 97) * 0.01f;
        const float b = AtLeast(r[4 * p + 1] * 103, 97) * 0.01f;
        for (AIRealPoint c : centres)
            pieces.push_back({25 + (c.h - 25) * a + r[4 * p + 3] * 20, 20 + (c.v - 20) * b + r[4 * p + 2] * 10,
                              10 * a, 10 * b});
    }
    ExpectPieces(pieces);
}

TEST_F(RimRandomSelection, PerPathPlacementTreatsTheBlockAsObjectZero) {
    G().placement = 7; // " Alternate 3/path": beneath when the copy and the object are even
    Drag(kRimRandom, {{0, 0}, {40, 20}});
    // Copies 2 and 4, each a whole block of three, went beneath all art.
    EXPECT_EQ(FirstSourcePosition(), 6u);
    doc->undo();
    G().rimSelected = 0;
    Drag(kRimRandom, {{0, 0}, {40, 20}});
    EXPECT_EQ(FirstSourcePosition(), 4u) << "object by object only the copies 2 and 4 of objects 0 and 2";
}

TEST_F(RimRandomSelection, OriginalPathPatternTilesEachPieceAboutItsOwnObject) {
    G().rimCopies = 2;
    G().rimApply = 0;
    G().patternCentre = 4; // " Use original path"
    Drag(kRimRandom, {{0, 0}, {40, 0}}); // a horizontal box: pieces stay on their objects' rows
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 24u) << "six pieces, each with three mirror images";
    const AIRealPoint centres[] = {{5, 5}, {45, 5}, {5, 35}};
    // Every piece has a mirror image across its own object's vertical axis;
    // the pieces of an object lie within 20 points of it.
    for (const Box& b : boxes) {
        const AIRealPoint* own = nullptr;
        for (const AIRealPoint& c : centres)
            if (std::fabs(b.V() - c.v) < 1e-3f && std::fabs(b.H() - c.h) <= 20.0f + 1e-3f) own = &c;
        ASSERT_NE(own, nullptr) << "piece at " << b.H() << ", " << b.V();
        const float mirror = 2 * own->h - b.H();
        const bool found = std::any_of(boxes.begin(), boxes.end(), [&](const Box& o) {
            return std::fabs(o.H() - mirror) < 1e-3f && std::fabs(o.V() - own->v) < 1e-3f;
        });
        EXPECT_TRUE(found) << "piece at " << b.H() << ", " << b.V();
    }
}

TEST_F(RimRandom, CtrlWithTrailCarriesTheSourcesThenScattersFromThere) {
    G().rimTrail = 1;
    G().rimCopies = 3;
    Art* bar = Bar();
    Drag(kRimRandom, {{0, 0}, {30, 0, kCtrl}, {50, 20}}, [&](int event) {
        if (event == 1) {
            EXPECT_FLOAT_EQ(BoxOf(bar).H(), 40.0f);
            EXPECT_EQ(TopLevelArt().size(), 1u) << "carrying draws nothing";
        }
    });
    EXPECT_TRUE(Tagged(bar));
    // The second event scatters in the box of half of (20, 20) from (30, 0).
    ASSERT_EQ(TopLevelArt().size(), 3u);
    for (const Box& b : Boxes()) {
        EXPECT_GE(b.H(), 40.0f - 1e-3f);
        EXPECT_LE(b.H(), 50.0f);
        EXPECT_GE(b.V(), 5.0f - 1e-3f);
        EXPECT_LE(b.V(), 15.0f);
    }
}

} // namespace
} // namespace brivane_test
