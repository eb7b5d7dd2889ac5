// Bouncealong through the real host: shrinking and growing bounces, "Crunch",
// the colour index c x b, grid placement, the first made copy being the
// object itself, and the bounce counts that draw nothing.
#include "tests/brivane/DragFixture.h"

namespace brivane_test {
namespace {

class Bouncealong : public DragFixture {
protected:
    // Expects copy c of bounce b (ten copies a bounce, a step of 10 points)
    // at its place on the line with the given size.
    void ExpectCopy(int b, int c, float size) {
        EXPECT_PIECE(5 + 10.0f * static_cast<float>(b * 10 + c), 5, size, size);
    }
};

TEST_F(Bouncealong, CrunchOnlyShrinksWithinEachBounce) {
    G().bounceCrunch = 1;
    G().bounceBounces = 2;
    Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {190, 0}});
    float size = 10;
    for (int c = 0; c < 10; ++c, size *= 0.9f) ExpectCopy(0, c, size);
    size = 9;
    for (int c = 0; c < 10; ++c, size *= 0.9f) ExpectCopy(1, c, size);
}

TEST_F(Bouncealong, NoBounceDrawsNothing) {
    G().bounceBounces = 0;
    Art* object = Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {50, 0}});
    ExpectNoErrors();
    EXPECT_EQ(TopLevelArt().size(), 1u);
    EXPECT_FALSE(Tagged(object));
    EXPECT_FLOAT_EQ(Centre(object).h, 5);
}

TEST_F(Bouncealong, OneBounceOfTwoCopiesPutsOneScaledDuplicateAtTheEnd) {
    G().bounceBounces = 1;
    G().bounceCopies = 2;
    G().bounceScale = 50;
    Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {40, -30}});
    ASSERT_EQ(TopLevelArt().size(), 2u);
    EXPECT_PIECE(5, 5, 10, 10);
    EXPECT_PIECE(45, -25, 5, 5);
}

TEST_F(Bouncealong, TwoCopyBouncesShrinkFirstAndGrowBackFromTheSecondBounce) {
    G().bounceBounces = 3;
    G().bounceCopies = 2;
    G().bounceScale = 50;
    Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {50, 0}});
    // The first bounce's copy 0 is the object, unscaled; its duplicate shrinks.
    const float sizes[] = {10, 5, 5, 10, 5, 10};
    for (int n = 0; n < 6; ++n) EXPECT_PIECE(5 + 10 * n, 5, sizes[n], sizes[n]);
}

TEST_F(Bouncealong, CursorOnTheStartPointDrawsNothing) {
    Square(0, 0, 10);
    Drag(kBouncealong, {{7, 7}, {7, 7}});
    EXPECT_EQ(TopLevelArt().size(), 1u);
    EXPECT_FALSE(Tagged(TopLevelArt()[0]));
}

TEST_F(Bouncealong, LockedTurnsTheDiagonalVertical) {
    G().bounceLocked = 1;
    G().bounceBounces = 1;
    G().bounceCopies = 2;
    Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {-30, -30}});
    EXPECT_PIECE(5, -25, 9, 9);
    doc->undo();
    Drag(kBouncealong, {{0, 0}, {40, 39}});
    EXPECT_PIECE(45, 5, 9, 9);
}

TEST_F(Bouncealong, TheColourIndexIsCopyTimesBounce) {
    G().fillMode = 2; // " To black", default period (10 - 1) x (4 - 1) = 27
    Square(0, 0, 10);  // grey 0.5
    Drag(kBouncealong, {{0, 0}, {390, 0}});
    auto grey = [this](int b, int c) {
        Art* art = ArtAt(5 + 10.0f * static_cast<float>(b * 10 + c), 5);
        return art != nullptr ? art->style().fill.color.c[0] : -1.0f;
    };
    for (int c = 0; c < 10; ++c) EXPECT_FLOAT_EQ(grey(0, c), 0.5f) << "the first bounce keeps the colour";
    EXPECT_NEAR(grey(1, 2), 0.5f + 0.5f * 2 / 27, 1e-6f);
    EXPECT_NEAR(grey(2, 5), 0.5f + 0.5f * 10 / 27, 1e-6f);
    EXPECT_NEAR(grey(3, 9), 1.0f, 1e-6f) << "the last copy reaches the end of the period";
}

TEST_F(Bouncealong, PlacementUsesTheGridFormWithCopyAndBounce) {
    G().placement = 3; // " Alternate 2": beneath when both are odd
    G().bounceBounces = 2;
    G().bounceCopies = 2;
    Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {30, 0}});
    const auto art = TopLevelArt(); // bottom first
    ASSERT_EQ(art.size(), 4u);
    EXPECT_FLOAT_EQ(Centre(art[0]).h, 35) << "copy 1 of bounce 1 goes beneath";
    EXPECT_FLOAT_EQ(Centre(art[1]).h, 5) << "the object stays where it stands";
    EXPECT_FLOAT_EQ(Centre(art[2]).h, 15);
    EXPECT_FLOAT_EQ(Centre(art[3]).h, 25);
}

TEST_F(Bouncealong, WhenTheFirstCopyIsSkippedTheObjectTakesTheFirstMadePlace) {
    G().bounceCreate = 1;
    G().bounceBounces = 1;
    bool sawMoved = false;
    for (int seed = 1; seed <= 8; ++seed) {
        doc = newDocument(400, 300);
        hostState().document = doc.get();
        hostState().random.reseed(seed);
        Art* object = Square(0, 0, 10);
        Drag(kBouncealong, {{0, 0}, {90, 0}});
        const auto art = TopLevelArt();
        if (art.size() == 1u && !Tagged(object)) continue; // nothing made
        EXPECT_TRUE(Tagged(object)) << "seed " << seed;
        float leftmost = 1e9f;
        for (Art* a : art) leftmost = std::min(leftmost, Centre(a).h);
        EXPECT_FLOAT_EQ(Centre(object).h, leftmost) << "seed " << seed;
        EXPECT_NEAR(Size(object).h, 10, 1e-4f) << "the object keeps its size";
        sawMoved = sawMoved || Centre(object).h > 5.5f;
    }
    EXPECT_TRUE(sawMoved) << "some seed skipped the first copy";
}

TEST_F(Bouncealong, AZeroScaleGrowsNothingBackAndRaisesNoError) {
    G().bounceScale = 0; // only Globals can hold it; the dialog stops at 3
    G().bounceBounces = 1;
    G().bounceCopies = 4;
    Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {30, 0}});
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 4u);
    EXPECT_PIECE(5, 5, 10, 10);
    for (float h : {15.0f, 25.0f, 35.0f}) EXPECT_PIECE(h, 5, 0, 0);
}

TEST_F(Bouncealong, TheDefaultsShrinkAndGrowBackOverFourBouncesOfTen) {
    Square(0, 0, 10);
    Drag(kBouncealong, {{0, 0}, {195, 0}, {390, 0}});
    ASSERT_EQ(TopLevelArt().size(), 40u);
    // The first bounce starts from the object itself and grows past it.
    const float first[] = {1, 0.9f, 0.81f, 0.729f, 0.6561f, 0.729f, 0.81f, 0.9f, 1, 1 / 0.9f};
    const float later[] = {0.9f, 0.81f, 0.729f, 0.6561f, 0.59049f, 0.6561f, 0.729f, 0.81f, 0.9f, 1};
    for (int c = 0; c < 10; ++c) ExpectCopy(0, c, 10 * first[c]);
    for (int b = 1; b < 4; ++b)
        for (int c = 0; c < 10; ++c) ExpectCopy(b, c, 10 * later[c]);
}

} // namespace
} // namespace brivane_test
