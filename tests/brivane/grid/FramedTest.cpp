// Framed through the real plug-in: border cells only, the edge turns and
// their direction, the corner rule, scale and line scale, the i x j colour
// index, untagged copies, "Delete", "Trail" and "Locked".
#include "tests/brivane/DragFixture.h"

namespace brivane_test {
namespace {

class Framed : public DragFixture {
protected:
    void SetUp() override {
        DragFixture::SetUp();
        G().frameCopiesWide = 3;
        G().frameCopiesHigh = 3;
    }
    // Cell (i, j) of a frame with steps of 30 from an object centred at c.
    static AIRealPoint At(AIRealPoint c, int i, int j) {
        return {c.h + 30.0f * static_cast<float>(j), c.v + 30.0f * static_cast<float>(i)};
    }
    bool Border(int i, int j) {
        return i == 0 || j == 0 || i == G().frameCopiesHigh - 1 || j == G().frameCopiesWide - 1;
    }
};

TEST_F(Framed, OnlyTheBorderCellsAreMadeAndDeleteRemovesTheObject) {
    Art* object = Square(0, 0, 10);
    Drag(kFramed, {{0, 0}, {60, 60}});
    ExpectNoErrors();
    EXPECT_FALSE(doc->isLive(object));
    ASSERT_EQ(TopLevelArt().size(), 8u);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const AIRealPoint c = At({5, 5}, i, j);
            if (Border(i, j)) {
                EXPECT_PIECE(c.h, c.v, 10, 10);
            } else {
                EXPECT_EQ(ArtAt(c.h, c.v), nullptr);
            }
        }
    for (Art* a : TopLevelArt()) EXPECT_FALSE(Tagged(a)) << "the frame's copies carry no tag";
}

TEST_F(Framed, TurnTwoTurnsTheTopClockwiseTheLeftSideBackAndCornersFollowTheirRow) {
    G().frameEdge = 2;
    // Right angle at (0, 0); a quarter turn about (5, 5) clockwise takes it
    // to (0, 10), counter-clockwise to (10, 0).
    Path({{0, 0}, {10, 0}, {0, 10}});
    Drag(kFramed, {{0, 0}, {60, 60}});
    struct Expect {
        int i, j;
        AIRealPoint corner; // before the cell's offset
    };
    const Expect cells[] = {
        {0, 0, {0, 10}}, {0, 1, {0, 10}}, {0, 2, {0, 10}}, // row 0: clockwise, corners too
        {1, 0, {10, 0}}, {1, 2, {0, 0}},                    // column 0 counter-clockwise, last column none
        {2, 0, {0, 0}},  {2, 1, {0, 0}},  {2, 2, {0, 0}},   // last row: none, corners too
    };
    for (const Expect& e : cells) {
        const AIRealPoint c = At({5, 5}, e.i, e.j);
        Art* a = ArtAt(c.h, c.v);
        ASSERT_NE(a, nullptr) << e.i << ", " << e.j;
        EXPECT_NEAR(FirstAnchor(a).h, e.corner.h + 30.0f * static_cast<float>(e.j), 1e-4f) << e.i << ", " << e.j;
        EXPECT_NEAR(FirstAnchor(a).v, e.corner.v + 30.0f * static_cast<float>(e.i), 1e-4f) << e.i << ", " << e.j;
    }
}

TEST_F(Framed, ScaleShrinksEveryCopyAndStandardScalingItsStroke) {
    G().frameScale = 50.0f;
    G().lineWidthMode = 1;
    Square(0, 0, 10);
    Drag(kFramed, {{0, 0}, {60, 60}});
    ASSERT_EQ(TopLevelArt().size(), 8u);
    for (Art* a : TopLevelArt()) {
        EXPECT_NEAR(Size(a).h, 5.0f, 1e-4f);
        EXPECT_FLOAT_EQ(a->style().stroke.width, 1.0f);
    }
}

TEST_F(Framed, AlternateScalingOnlyScalesStrokesOfEvenRowAndColumn) {
    G().frameScale = 50.0f;
    G().lineWidthMode = 2;
    Square(0, 0, 10);
    Drag(kFramed, {{0, 0}, {60, 60}});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            if (!Border(i, j)) continue;
            const AIRealPoint c = At({5, 5}, i, j);
            Art* a = ArtAt(c.h, c.v);
            ASSERT_NE(a, nullptr);
            EXPECT_FLOAT_EQ(a->style().stroke.width, i % 2 == 0 && j % 2 == 0 ? 1.0f : 2.0f) << i << ", " << j;
        }
}

TEST_F(Framed, TheColourIndexIsRowTimesColumn) {
    G().frameCopiesWide = 4;
    G().frameCopiesHigh = 4;
    G().fillMode = 10; // " Alternate black": odd i x j becomes black
    Square(0, 0, 10);
    Drag(kFramed, {{0, 0}, {90, 90}});
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            if (!Border(i, j)) continue;
            const AIRealPoint c = At({5, 5}, i, j);
            Art* a = ArtAt(c.h, c.v);
            ASSERT_NE(a, nullptr);
            EXPECT_FLOAT_EQ(Grey(a), (i * j) % 2 != 0 ? 1.0f : 0.5f) << i << ", " << j;
        }
}

TEST_F(Framed, TrailKeepsTheFramesAndSwitchesDeleteOff) {
    G().frameCopiesWide = 2;
    G().frameCopiesHigh = 2;
    G().frameTrail = 1;
    Art* object = Square(0, 0, 10);
    Drag(kFramed, {{0, 0}, {20, 20}, {40, 40}});
    EXPECT_EQ(G().frameDelete, 0);
    EXPECT_TRUE(doc->isLive(object));
    EXPECT_EQ(TopLevelArt().size(), 9u);
    EXPECT_NE(ArtAt(25, 25), nullptr);
    EXPECT_NE(ArtAt(45, 45), nullptr);
}

TEST_F(Framed, LockedGrowsTheFrameUpwardByTheHorizontalDistance) {
    G().frameCopiesWide = 2;
    G().frameCopiesHigh = 2;
    G().frameLocked = 1;
    Square(0, 0, 10);
    Drag(kFramed, {{0, 0}, {40, -40}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    for (AIRealPoint c : {AIRealPoint{5, 5}, AIRealPoint{45, 5}, AIRealPoint{5, 45}, AIRealPoint{45, 45}})
        EXPECT_PIECE(c.h, c.v, 10, 10);
}

TEST_F(Framed, ALockedTopLayerEndsTheEventWithItsErrorAndKeepsTheObject) {
    Art* object = Square(0, 0, 10);
    Layer* top = nullptr;
    ASSERT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &top, "locked"), kNoErr);
    ASSERT_EQ(doc->setLayerLocked(top, true), kNoErr);
    Drag(kFramed, {{0, 0}, {60, 60}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], static_cast<ASErr>(kLockedLayerErr));
    EXPECT_TRUE(doc->isLive(object));
}

} // namespace
} // namespace brivane_test
