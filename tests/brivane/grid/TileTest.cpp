// Tile through the real plug-in: the four mirror tiles, mirroring about the
// centre of the whole selection, locking, the colour index r + q and jitter.
#include "tests/brivane/DragFixture.h"

namespace brivane_test {
namespace {

class Tile : public DragFixture {
protected:
    // A right triangle with its right angle (first anchor) at (left, bottom).
    Art* Triangle(float left, float bottom) { return Path({{left, bottom}, {left + 10, bottom}, {left, bottom + 10}}); }
    void ExpectCorner(float h, float v, AIRealPoint corner) {
        Art* a = ArtAt(h, v);
        ASSERT_NE(a, nullptr) << h << ", " << v;
        EXPECT_NEAR(FirstAnchor(a).h, corner.h, 1e-4f) << h << ", " << v;
        EXPECT_NEAR(FirstAnchor(a).v, corner.v, 1e-4f) << h << ", " << v;
    }
};

TEST_F(Tile, TheTileGrowsAwayFromTheDragMirroredEachWay) {
    Art* object = Triangle(0, 0); // centre (5, 5)
    Drag(kTile, {{0, 0}, {40, 30}});
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 4u);
    EXPECT_EQ(ArtAt(5, 5), object);
    ExpectCorner(5, 5, {0, 0});
    ExpectCorner(-35, 5, {-30, 0});   // left to right
    ExpectCorner(5, -25, {0, -20});   // top to bottom
    ExpectCorner(-35, -25, {-30, -20}); // half a turn
    for (Art* a : TopLevelArt()) EXPECT_TRUE(Tagged(a));
}

TEST_F(Tile, SeveralObjectsMirrorAboutTheCentreOfTheWholeSelection) {
    Square(0, 0, 10);
    Square(90, 0, 10); // selection centre (50, 5)
    Drag(kTile, {{0, 0}, {20, 30}});
    ASSERT_EQ(TopLevelArt().size(), 8u);
    for (AIRealPoint c : {AIRealPoint{5, 5}, AIRealPoint{75, 5}, AIRealPoint{5, -25}, AIRealPoint{75, -25},
                          AIRealPoint{95, 5}, AIRealPoint{-15, 5}, AIRealPoint{95, -25}, AIRealPoint{-15, -25}})
        EXPECT_PIECE(c.h, c.v, 10, 10);
}

TEST_F(Tile, AHorizontalDragStacksTheRowsUnlessLocked) {
    Square(0, 0, 10);
    Drag(kTile, {{0, 0}, {30, 0}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    int onObject = 0, onMirror = 0;
    for (Art* a : TopLevelArt()) {
        const AIRealPoint c = Centre(a);
        EXPECT_FLOAT_EQ(c.v, 5.0f);
        if (std::fabs(c.h - 5.0f) < 1e-4f) ++onObject;
        if (std::fabs(c.h + 25.0f) < 1e-4f) ++onMirror;
    }
    EXPECT_EQ(onObject, 2);
    EXPECT_EQ(onMirror, 2);
    doc->undo();

    G().tileLocked = 1;
    Drag(kTile, {{0, 0}, {30, 0}});
    for (AIRealPoint c : {AIRealPoint{5, 5}, AIRealPoint{-25, 5}, AIRealPoint{5, -25}, AIRealPoint{-25, -25}})
        EXPECT_PIECE(c.h, c.v, 10, 10);
}

TEST_F(Tile, TheColourIndexIsRowPlusColumn) {
    G().fillMode = 10; // " Alternate black": odd indexes become black
    Square(0, 0, 10);
    Drag(kTile, {{0, 0}, {40, 30}});
    EXPECT_FLOAT_EQ(Grey(ArtAt(5, 5)), 0.5f);
    EXPECT_FLOAT_EQ(Grey(ArtAt(-35, 5)), 1.0f);
    EXPECT_FLOAT_EQ(Grey(ArtAt(5, -25)), 1.0f);
    EXPECT_FLOAT_EQ(Grey(ArtAt(-35, -25)), 0.5f);
}

TEST_F(Tile, JitterMovesTheObjectAndEachMirrorOnTopOfIt) {
    G().tileJitter = 2.0f;
    Art* object = Square(0, 0, 10);
    Drag(kTile, {{0, 0}, {40, 30}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    // The object is jittered in place; the mirrors reflect that jitter and
    // add their own.
    const AIRealPoint o = Centre(object);
    EXPECT_LE(std::fabs(o.h - 5.0f), 2.0f);
    EXPECT_LE(std::fabs(o.v - 5.0f), 2.0f);
    EXPECT_TRUE(std::fabs(o.h - 5.0f) > 1e-3f || std::fabs(o.v - 5.0f) > 1e-3f);
    const AIRealPoint places[] = {{-35, 5}, {5, -25}, {-35, -25}};
    for (Art* a : TopLevelArt()) {
        if (a == object) continue;
        const AIRealPoint c = Centre(a);
        bool near = false;
        for (AIRealPoint p : places) near = near || (std::fabs(c.h - p.h) <= 4.0f && std::fabs(c.v - p.v) <= 4.0f);
        EXPECT_TRUE(near) << c.h << ", " << c.v;
    }
}

} // namespace
} // namespace brivane_test
