// Checkerboard through the real plug-in: the board of twice the columns and
// rows, odd rows from column -1, the first cell turned and sized in place,
// strokes scaled once, the colour index of odd rows and locking.
#include "tests/brivane/DragFixture.h"

namespace brivane_test {
namespace {

class Checkerboard : public DragFixture {
protected:
    void SetUp() override {
        DragFixture::SetUp();
        G().checkerColumns = 2;
        G().checkerRows = 2;
    }
    // Centres of the eight cells of a 2 x 2 board for steps (sx, sy) from an
    // object centred at (5, 5).
    static std::vector<AIRealPoint> BoardCentres(float sx, float sy) {
        std::vector<AIRealPoint> out;
        for (int m = 0; m < 4; ++m)
            for (int k = 0; k < 2; ++k)
                out.push_back({5.0f + sx * static_cast<float>(2 * k + m % 2), 5.0f + sy * static_cast<float>(m)});
        return out;
    }
};

TEST_F(Checkerboard, TouchSizesEveryCellToTheBoardStepAndScalesStrokesOnce) {
    G().checkerTouch = 1;
    G().checkerSelected = 0;
    G().lineWidthMode = 1;
    Art* object = Square(0, 0, 10);
    Drag(kCheckerboard, {{0, 0}, {90, 60}}); // steps 30 and 20: factors 3 and 2
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 8u);
    EXPECT_EQ(ArtAt(5, 5), object) << "sized where it stands";
    for (AIRealPoint c : BoardCentres(30, 20)) {
        EXPECT_PIECE(c.h, c.v, 30, 20);
        if (Art* cell = ArtAt(c.h, c.v)) {
            EXPECT_NEAR(cell->style().stroke.width, 2.0f * std::sqrt(6.0f), 1e-4f) << c.h << ", " << c.v;
        }
    }
}

TEST_F(Checkerboard, OddRowsFromColumnMinusOneGetTheDistanceAsColourIndex) {
    G().fillMode = 1; // " To white"; default period (4 x 2 - 4) x (2 - 1) - 1 = 3
    Square(0, 0, 10);
    Drag(kCheckerboard, {{0, 0}, {90, 60}});
    // Row 1: columns -1 and 1, both index 1: 0.5 - 0.5 / 3.
    EXPECT_NEAR(Grey(ArtAt(35, 25)), 0.5f - 0.5f / 3.0f, 1e-6f);
    EXPECT_NEAR(Grey(ArtAt(95, 25)), 0.5f - 0.5f / 3.0f, 1e-6f);
    // Row 2: columns 0 and 2, indexes 0 and 4.
    EXPECT_FLOAT_EQ(Grey(ArtAt(5, 45)), 0.5f);
    EXPECT_FLOAT_EQ(Grey(ArtAt(65, 45)), 0.0f);
    // Row 3: column -1 has index 3, the end of the progression.
    EXPECT_FLOAT_EQ(Grey(ArtAt(35, 65)), 0.0f);
}

TEST_F(Checkerboard, ARotatedObjectIsCopiedByPureTranslations) {
    G().checkerRotation = 90.0f;
    G().checkerSelected = 0;
    Art* object = Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}}); // centre (10, 5)
    Drag(kCheckerboard, {{0, 0}, {90, 60}});
    ASSERT_EQ(TopLevelArt().size(), 8u);
    EXPECT_EQ(ArtAt(10, 5), object);
    for (AIRealPoint c : BoardCentres(30, 20)) EXPECT_PIECE(c.h + 5.0f, c.v, 10, 20);
}

TEST_F(Checkerboard, AHorizontalDragCollapsesTheBoardUnlessLocked) {
    Square(0, 0, 10);
    Drag(kCheckerboard, {{0, 0}, {90, 0}});
    auto art = TopLevelArt();
    ASSERT_EQ(art.size(), 8u);
    for (Art* a : art) EXPECT_FLOAT_EQ(Centre(a).v, 5.0f);
    doc->undo();

    G().checkerLocked = 1;
    Drag(kCheckerboard, {{0, 0}, {90, 0}});
    ASSERT_EQ(TopLevelArt().size(), 8u);
    for (AIRealPoint c : BoardCentres(30, 30)) EXPECT_PIECE(c.h, c.v, 10, 10);
}

} // namespace
} // namespace brivane_test
