// Windmill through the real plug-in: the ring's places and turns, rotate
// factor, alternate shift, units, scale and mirror, the apply pattern, the
// initial radius, the running scale, Trail and Delete, the loop orders and a
// host error in the middle of a ring.
#include "RingsFixture.h"

#include <algorithm>

namespace brivane_test {
namespace {

class Windmill : public RingsFixture {};

TEST_F(Windmill, FourCopiesStandAtQuarterTurnsAndTurnWithTheirAngle) {
    G().windmillCopies = 4;
    Art* bar = Bar();
    Drag(kWindmill, {{0, 0}, {30, 40}}); // radius 50
    ExpectNoErrors();
    EXPECT_FALSE(doc->isLive(bar)) << "Delete is on by default";
    ASSERT_EQ(TopLevelArt().size(), 4u);
    ExpectPiece(60, 5, 20, 10);
    ExpectPiece(10, 55, 10, 20);
    ExpectPiece(-40, 5, 20, 10);
    ExpectPiece(10, -45, 10, 20);
}

TEST_F(Windmill, RotateFactorFiftySpansHalfTheCircle) {
    G().windmillCopies = 4;
    G().windmillRotateFactor = 50;
    Bar();
    Drag(kWindmill, {{0, 0}, {30, 40}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    const float d = 50.0f * std::sqrt(0.5f); // 35.3553
    const float diagonal = 30.0f * std::sqrt(0.5f); // a 20 x 10 box turned by 45 degrees
    ExpectPiece(60, 5, 20, 10);
    ExpectPiece(10 + d, 5 + d, diagonal, diagonal);
    ExpectPiece(10, 55, 10, 20);
    ExpectPiece(10 - d, 5 + d, diagonal, diagonal);
}

TEST_F(Windmill, AlternateShiftMovesEvenCopiesOutward) {
    G().windmillCopies = 4;
    G().windmillAltShift = 20;
    G().windmillAlign = 0;
    Bar();
    Drag(kWindmill, {{0, 0}, {50, 0}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    ExpectPiece(80, 5, 20, 10);  // k = 0 at 70
    ExpectPiece(10, 55, 20, 10); // k = 1 at 50
    ExpectPiece(-60, 5, 20, 10); // k = 2 at 70
    ExpectPiece(10, -45, 20, 10);
}

TEST_F(Windmill, CentimetresScaleTheRadiusAndTheShift) {
    G().windmillCopies = 2;
    G().windmillUnits = 1;
    G().windmillAltShift = 2;
    Bar();
    Drag(kWindmill, {{0, 0}, {3, 4}}); // 5 cm
    ASSERT_EQ(TopLevelArt().size(), 2u);
    ExpectPiece(10 + 141.735f + 56.694f, 5, 20, 10, 2e-3f);
    ExpectPiece(10 - 141.735f, 5, 20, 10, 2e-3f);
}

TEST_F(Windmill, JitterInInchesFollowsTheDraws) {
    G().windmillCopies = 2;
    G().windmillUnits = 2;
    G().windmillJitter = 0.5f; // 35.97335 points
    G().windmillAlign = 0;
    Bar();
    Drag(kWindmill, {{0, 0}, {1, 0}}); // radius 71.9467
    // Per copy: a sign for the vertical part, one for the horizontal part,
    // then the vertical and the horizontal magnitude.
    const auto r = Draws(1, 8);
    const float amount = 0.5f * 71.9467f;
    for (int k = 0; k < 2; ++k) {
        const auto at = [&](int i) { return r[static_cast<std::size_t>(4 * k + i)]; };
        const float dv = at(2) * amount * (at(0) > 0.5f ? -1.0f : 1.0f);
        const float dh = at(3) * amount * (at(1) > 0.5f ? -1.0f : 1.0f);
        const float ring = k == 0 ? 71.9467f : -71.9467f;
        ExpectPiece(10 + ring + dh, 5 + dv, 20, 10, 2e-3f);
    }
}

TEST_F(Windmill, ScaleMinusHundredMirrorsThroughThePivotAndKeepsLineWidth) {
    G().windmillCopies = 2;
    G().windmillScale = -100;
    G().windmillAlign = 0;
    G().lineWidthMode = 1; // standard scaling of stroke width
    Triangle(0, 0, 20, 10); // right angle at the origin, centre (10, 5)
    Drag(kWindmill, {{0, 0}, {50, 0}});
    ExpectNoErrors();
    Art* copy = ArtCentredAt(60, 5);
    ASSERT_NE(copy, nullptr);
    // Mirrored through (10, 5), then moved 50 to the right.
    EXPECT_NEAR(Anchor(copy, 0).h, 70, 1e-4);
    EXPECT_NEAR(Anchor(copy, 0).v, 10, 1e-4);
    EXPECT_NEAR(Anchor(copy, 1).h, 50, 1e-4);
    EXPECT_NEAR(Anchor(copy, 1).v, 10, 1e-4);
    EXPECT_NEAR(Anchor(copy, 2).h, 70, 1e-4);
    EXPECT_NEAR(Anchor(copy, 2).v, 0, 1e-4);
    EXPECT_FLOAT_EQ(copy->style().stroke.width, 2.0f) << "the line factor uses the scale's size";
}

TEST_F(Windmill, StandardLineScalingFollowsTheCopySize) {
    G().windmillCopies = 2;
    G().windmillScale = 50;
    G().lineWidthMode = 1;
    Bar();
    Drag(kWindmill, {{0, 0}, {50, 0}});
    for (Art* a : TopLevelArt()) EXPECT_FLOAT_EQ(a->style().stroke.width, 1.0f);
    doc->undo();
    G().lineWidthMode = 2; // alternate: odd copies keep their width
    Drag(kWindmill, {{0, 0}, {50, 0}});
    ASSERT_NE(ArtCentredAt(60, 5), nullptr);
    ASSERT_NE(ArtCentredAt(-40, 5), nullptr);
    EXPECT_FLOAT_EQ(ArtCentredAt(60, 5)->style().stroke.width, 1.0f);
    EXPECT_FLOAT_EQ(ArtCentredAt(-40, 5)->style().stroke.width, 2.0f);
}

TEST_F(Windmill, MixedApplyEntriesLookAtTheObjectsIndex) {
    G().windmillCopies = 2;
    G().windmillAlign = 0;
    G().windmillSelected = 0;
    G().windmillApply = 51;
    Triangle(200, 0, 20, 10); // object 1, at the back
    Triangle(0, 0, 20, 10);   // object 0, in front (the selection comes front to back)
    Drag(kWindmill, {{0, 0}, {50, 0}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    // Copy 1 of object 0 (mixed parity) is flipped upside down about (10, 5).
    Art* flipped = ArtCentredAt(-40, 5);
    ASSERT_NE(flipped, nullptr);
    EXPECT_NEAR(Anchor(flipped, 0).h, -50, 1e-4);
    EXPECT_NEAR(Anchor(flipped, 0).v, 10, 1e-4);
    // Copy 0 of object 0 (same parity) is not; copy 0 of object 1 is.
    Art* upright = ArtCentredAt(60, 5);
    ASSERT_NE(upright, nullptr);
    EXPECT_NEAR(Anchor(upright, 0).v, 0, 1e-4);
    Art* second = ArtCentredAt(260, 5);
    ASSERT_NE(second, nullptr);
    EXPECT_NEAR(Anchor(second, 0).v, 10, 1e-4);
}

TEST_F(Windmill, ApplyEntryNineSizesCopiesByTheirNumber) {
    G().windmillCopies = 5;
    G().windmillApply = 9;
    G().windmillAlign = 0;
    Bar();
    Drag(kWindmill, {{0, 0}, {100, 0}});
    std::vector<std::pair<float, float>> sizes;
    for (const Box& b : Boxes()) sizes.emplace_back(b.Width(), b.Height());
    ASSERT_EQ(sizes.size(), 5u);
    auto count = [&](float w, float h) {
        return std::count_if(sizes.begin(), sizes.end(), [&](auto s) {
            return std::fabs(s.first - w) < 1e-4f && std::fabs(s.second - h) < 1e-4f;
        });
    };
    EXPECT_EQ(count(20, 10), 1);                          // k = 0
    EXPECT_EQ(count(5, 10 * 0.16666667f), 3);             // k = 1, 2, 3: a quarter by a sixth
    EXPECT_EQ(count(20 * 0.33333334f, 2.5f), 1);          // k = 4: a third by a quarter
    ExpectPiece(110, 5, 20, 10);                          // k = 0 on the ring
}

TEST_F(Windmill, DragShorterThanTheInitialRadiusDrawsNothing) {
    G().windmillCopies = 3;
    G().windmillInitial = 60;
    G().windmillInitialScale = 50;
    Art* bar = Bar();
    Drag(kWindmill, {{0, 0}, {30, 40}}); // 50 < 60
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 1u);
    EXPECT_TRUE(doc->isLive(bar)) << "nothing drawn, nothing deleted";
    EXPECT_FLOAT_EQ(G().windmillScaleState, 100.0f) << "an event that draws nothing keeps the running scale";

    // In centimetres the same drag is 141.7 points long: past 60.
    G().windmillUnits = 1;
    G().windmillCopies = 2;
    Drag(kWindmill, {{0, 0}, {3, 4}});
    EXPECT_EQ(TopLevelArt().size(), 2u);
}

TEST_F(Windmill, RunningScaleShrinksTheRingFromEventToEvent) {
    G().windmillCopies = 2;
    G().windmillInitialScale = 50;
    G().windmillAlign = 0;
    Bar();
    Drag(kWindmill, {{0, 0}, {50, 0}, {50, 0}, {50, 0}});
    // The third drawn event uses 100 x 0.5 x 0.5 = 25 %.
    ExpectPiece(60, 5, 5, 2.5f);
    ExpectPiece(-40, 5, 5, 2.5f);
    EXPECT_FLOAT_EQ(G().windmillScaleState, 12.5f);
    doc->undo();
    // Every mouse down starts again at 100 %.
    Drag(kWindmill, {{0, 0}, {50, 0}});
    ExpectPiece(60, 5, 20, 10);
}

TEST_F(Windmill, TrailKeepsEveryRingAndTurnsDeleteOffForGood) {
    G().windmillCopies = 2;
    G().windmillTrail = 1;
    Art* bar = Bar();
    Drag(kWindmill, {{0, 0}, {50, 0}, {0, 30}});
    EXPECT_EQ(G().windmillDelete, 0);
    EXPECT_TRUE(doc->isLive(bar));
    EXPECT_EQ(TopLevelArt().size(), 5u) << "two rings of two and the object";
    G().windmillTrail = 0;
    Drag(kWindmill, {{0, 0}, {50, 0}});
    EXPECT_TRUE(doc->isLive(bar)) << "Delete stays off after Trail";
}

TEST_F(Windmill, ObjectCopiesMakesTheCopiesNumberByNumber) {
    G().windmillCopies = 2;
    G().windmillSelected = 0;
    Square(200, 0, 10); // object 1, centre (205, 5), at the back
    Square(0, 0, 10);   // object 0, centre (5, 5), in front
    auto order = [&] {
        std::vector<float> h;
        for (const Box& b : Boxes()) h.push_back(std::round(b.H()));
        return h;
    };
    Drag(kWindmill, {{0, 0}, {50, 0}});
    EXPECT_EQ(order(), (std::vector<float>{255, 155, 55, -45})) << "object by object, the last entry (the back object) first";
    doc->undo();
    G().windmillObjectCopies = 1;
    Drag(kWindmill, {{0, 0}, {50, 0}});
    EXPECT_EQ(order(), (std::vector<float>{255, 55, 155, -45})) << "copy 0 of both, then copy 1 of both";
}

TEST_F(Windmill, MatchStartsTheRingInTheDragDirection) {
    G().windmillCopies = 4;
    G().windmillMatch = 1;
    Bar();
    Drag(kWindmill, {{0, 0}, {0, 50}});
    // Copy 0 lands on the object moved by the drag, turned by its ring angle 0.
    ExpectPiece(10, 55, 20, 10);
    ExpectPiece(-40, 5, 10, 20);
}

TEST_F(Windmill, HostErrorEndsTheEventAndKeepsTheObject) {
    G().windmillCopies = 3;
    Art* bar = Bar();
    Layer* top = nullptr;
    ASSERT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
    ASSERT_EQ(doc->setLayerLocked(top, true), kNoErr);
    Drag(kWindmill, {{0, 0}, {50, 0}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], kLockedLayerErr);
    EXPECT_TRUE(doc->isLive(bar)) << "an interrupted ring does not delete its object";
    EXPECT_FLOAT_EQ(G().windmillScaleState, 100.0f);
}

TEST_F(Windmill, AFailedDeleteFinishesTheRingsAndIsTheEventsResult) {
    G().windmillCopies = 2;
    G().windmillInitialScale = 50;
    auto [locked, open] = ObjectsOnLockedAndOpenLayers();
    Drag(kWindmill, {{0, 0}, {50, 0}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], kLockedLayerErr);
    EXPECT_TRUE(doc->isLive(locked));
    EXPECT_FALSE(doc->isLive(open));
    EXPECT_EQ(TopLevelArt().size(), 5u) << "both rings made";
    EXPECT_FLOAT_EQ(G().windmillScaleState, 50.0f) << "the event drew";
}

} // namespace
} // namespace brivane_test
