// Spiraled through the real plug-in: radius and size decay, half turns,
// Match, Reverse with Align, the selection pivot, arms and colour periods,
// Delete (also when every copy is skipped), a zero drag and Trail.
#include "RingsFixture.h"

namespace brivane_test {
namespace {

class Spiraled : public RingsFixture {
protected:
    void SetUp() override {
        RingsFixture::SetUp();
        G().spiralArms = 1;
        G().spiralCopies = 2;
    }
};

TEST_F(Spiraled, OneArmOfTwoCopiesHalfATurnApart) {
    Art* bar = Bar();
    Drag(kSpiraled, {{0, 0}, {30, 40}}); // R = 50
    ExpectNoErrors();
    EXPECT_FALSE(doc->isLive(bar)) << "Delete is on by default";
    ASSERT_EQ(TopLevelArt().size(), 2u);
    ExpectPiece(60, 5, 20, 10);
    // Copy 1: radius 50 x 0.9, size 0.99, half a turn on (and turned with it).
    ExpectPiece(10 - 45, 5, 19.8f, 9.9f);
}

TEST_F(Spiraled, MatchPutsCopyZeroOnTheObjectMovedByTheDrag) {
    G().spiralMatch = 1;
    Bar();
    Drag(kSpiraled, {{0, 0}, {0, 50}});
    ExpectPiece(10, 55, 20, 10);
    ExpectPiece(10, 5 - 45, 19.8f, 9.9f);
}

TEST_F(Spiraled, ReverseWindsCounterClockwiseAndAlignTurnsTheCopies) {
    G().spiralCopies = 4;
    Triangle(0, 0, 20, 10); // right angle at the origin, centre (10, 5)
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    // Clockwise: copy 1 a quarter turn below, yet turned counter-clockwise.
    Art* one = ExpectPiece(10, 5 - 45, 9.9f, 19.8f);
    ASSERT_NE(one, nullptr);
    EXPECT_NEAR(Anchor(one, 0).h, 10 + 4.95f, 1e-3);
    EXPECT_NEAR(Anchor(one, 0).v, 5 - 9.9f - 45, 1e-3);
    ExpectPiece(10 - 40.5f, 5, 19.602f, 9.801f);
    ExpectPiece(10, 5 + 36.45f, 9.70299f, 19.40598f);
    doc->undo();

    G().spiralReverse = 1;
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    one = ExpectPiece(10, 5 + 45, 9.9f, 19.8f);
    ASSERT_NE(one, nullptr);
    EXPECT_NEAR(Anchor(one, 0).h, 10 + 4.95f, 1e-3) << "the same turn, the other side";
    ExpectPiece(10, 5 - 36.45f, 9.70299f, 19.40598f);
}

TEST_F(Spiraled, DecayAboveHundredOpensOutward) {
    G().spiralCopies = 4;
    G().spiralDecay = 150;
    G().spiralScale = 100;
    G().spiralAlign = 0;
    Bar();
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    ExpectPiece(60, 5, 20, 10);
    ExpectPiece(10, 5 - 75, 20, 10);
    ExpectPiece(10 - 112.5f, 5, 20, 10);
    ExpectPiece(10, 5 + 168.75f, 20, 10);
}

TEST_F(Spiraled, SelectedTurnsAndScalesAboutTheSelectionCentre) {
    G().spiralScale = 50;
    Square(0, 0, 10);   // centre (5, 5)
    Square(100, 0, 10); // centre (105, 5); selection centre (55, 5)
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    // Copy 1 of the left square: half a turn and half size about (55, 5),
    // then 45 to the left.
    ExpectPiece(55 + 25 - 45, 5, 5, 5);
    ExpectPiece(55 - 25 - 45, 5, 5, 5);
    ExpectPiece(55, 5, 10, 10); // copy 0 of the left square
    ExpectPiece(155, 5, 10, 10);
}

TEST_F(Spiraled, ArmsMultiplyTheCopiesAndSetTheColourPeriod) {
    G().spiralArms = 3; // six copies, period 5
    G().spiralAlign = 0;
    G().fillMode = 2; // " To black"
    Bar();            // grey 0.5
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    ASSERT_EQ(TopLevelArt().size(), 6u);
    Art* one = ArtCentredAt(10 - 45, 5);
    Art* five = ArtCentredAt(10 - 50 * 0.59049f, 5);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(five, nullptr);
    EXPECT_FLOAT_EQ(one->style().fill.color.c[0], 0.6f);
    EXPECT_FLOAT_EQ(five->style().fill.color.c[0], 1.0f);
}

TEST_F(Spiraled, StandardLineScalingFollowsTheCopySize) {
    G().lineWidthMode = 1;
    Bar();
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    Art* one = ArtCentredAt(10 - 45, 5);
    ASSERT_NE(one, nullptr);
    EXPECT_FLOAT_EQ(one->style().stroke.width, 2.0f * 0.99f);
}

TEST_F(Spiraled, DeleteStillRemovesTheObjectWhenEveryCopyIsSkipped) {
    G().spiralCreate = 1;
    // A seed whose first two draws both skip.
    int seed = 1;
    while (seed < 100) {
        const auto r = Draws(seed, 2);
        if (r[0] > 0.5f && r[1] > 0.5f) break;
        ++seed;
    }
    ASSERT_LT(seed, 100);
    hostState().random.reseed(seed);
    Art* bar = Bar();
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    ExpectNoErrors();
    EXPECT_FALSE(doc->isLive(bar));
    EXPECT_TRUE(TopLevelArt().empty());
}

TEST_F(Spiraled, SkippedCopiesKeepTheirAngleButNotTheirDecay) {
    G().spiralCreate = 1;
    G().spiralCopies = 4;
    G().spiralAlign = 0;
    // Copy 0 skipped, copies 1 to 3 made.
    int seed = 1;
    while (seed < 200) {
        const auto r = Draws(seed, 4);
        if (r[0] > 0.5f && r[1] <= 0.5f && r[2] <= 0.5f && r[3] <= 0.5f) break;
        ++seed;
    }
    ASSERT_LT(seed, 200);
    hostState().random.reseed(seed);
    Bar();
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    ASSERT_EQ(TopLevelArt().size(), 3u);
    ExpectPiece(10, 5 - 45, 19.8f, 9.9f);
    ExpectPiece(10 - 40.5f, 5, 19.602f, 9.801f);
    ExpectPiece(10, 5 + 36.45f, 19.40598f, 9.70299f);
}

TEST_F(Spiraled, CursorOnTheStartDrawsAndDeletesNothing) {
    Art* bar = Bar();
    Drag(kSpiraled, {{3, 3}, {3, 3}});
    EXPECT_TRUE(doc->isLive(bar));
    EXPECT_EQ(TopLevelArt().size(), 1u);
}

TEST_F(Spiraled, TrailKeepsSpiralsAndTurnsDeleteOff) {
    G().spiralTrail = 1;
    Art* bar = Bar();
    Drag(kSpiraled, {{0, 0}, {50, 0}, {0, 30}});
    EXPECT_EQ(G().spiralDelete, 0);
    EXPECT_TRUE(doc->isLive(bar));
    EXPECT_EQ(TopLevelArt().size(), 5u);
}

TEST_F(Spiraled, AFailedDeleteFinishesTheSpiralsAndIsTheEventsResult) {
    // Object 1 is handled first and deleted; object 0's delete fails.
    auto [locked, open] = ObjectsOnLockedAndOpenLayers();
    Drag(kSpiraled, {{0, 0}, {50, 0}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], kLockedLayerErr);
    EXPECT_TRUE(doc->isLive(locked));
    EXPECT_FALSE(doc->isLive(open));
    EXPECT_EQ(TopLevelArt().size(), 5u);
}

} // namespace
} // namespace brivane_test
