// Rows Columns through the real plug-in: the default grid, the first cell,
// the checkerboard and turn popups at work, "Touch", "Box", "Locked" and the
// golden steps, the apply factors of a cell and their line widths, the row index for the
// colour rules, jitter, "Trail", a single column, the order of several
// objects and the refusal of a locked layer.
#include "tests/brivane/DragFixture.h"

namespace brivane_test {
namespace {

class RowsColumns : public DragFixture {
protected:
    void Grid(int columns, int rows) {
        G().rcColumns = columns;
        G().rcRows = rows;
    }
};

TEST_F(RowsColumns, ADragOfZeroLengthDrawsNothing) {
    Square(0, 0, 10);
    Drag(kRowsColumns, {{3, 3}, {3, 3}});
    ASSERT_EQ(TopLevelArt().size(), 1u);
    EXPECT_FALSE(Tagged(TopLevelArt()[0]));
    EXPECT_FLOAT_EQ(Centre(TopLevelArt()[0]).h, 5.0f);
}

TEST_F(RowsColumns, WithCellZeroLeftOutTheFirstMadeCellTurnsTheObjectWhereItIs) {
    Grid(3, 3);
    G().rcCheckerboard = 6; // " Check 6": cells with i + j even are left out
    G().rcRotation = 90.0f;
    G().rcSelected = 0;
    Art* object = Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}}); // 20 x 10, centre (10, 5)
    Drag(kRowsColumns, {{0, 0}, {60, 60}});                     // steps of 30
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 4u);
    // Cell (0, 1) is the object itself, turned in place and not moved by its offset.
    EXPECT_EQ(ArtAt(10, 5), object);
    EXPECT_EQ(ArtAt(40, 5), nullptr);
    // The duplicates carry the object's turn and sit at their cells.
    EXPECT_PIECE(10, 5, 10, 20);
    EXPECT_PIECE(10, 35, 10, 20);
    EXPECT_PIECE(70, 35, 10, 20);
    EXPECT_PIECE(40, 65, 10, 20);
}

TEST_F(RowsColumns, TurnOneTurnsTheDuplicatesWhereRowPlusColumnIsOdd) {
    Grid(2, 2);
    G().rcTurn = 1;
    Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
    Drag(kRowsColumns, {{0, 0}, {100, 100}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    EXPECT_PIECE(10, 5, 20, 10);
    EXPECT_PIECE(110, 5, 10, 20);
    EXPECT_PIECE(10, 105, 10, 20);
    EXPECT_PIECE(110, 105, 20, 10);
}

TEST_F(RowsColumns, TouchSizesEveryCellToOneStepAndScalesStrokesOnce) {
    Grid(3, 3);
    G().rcTouch = 1;
    G().rcSelected = 0;
    G().lineWidthMode = 1; // standard scaling
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {40, 20}}); // steps 20 and 10: factors 2 and 1
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 9u);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const float h = 5.0f + 20.0f * static_cast<float>(j), v = 5.0f + 10.0f * static_cast<float>(i);
            EXPECT_PIECE(h, v, 20, 10);
            if (Art* cell = ArtAt(h, v)) {
                EXPECT_NEAR(cell->style().stroke.width, 2.0f * std::sqrt(2.0f), 1e-5f);
            }
        }
}

TEST_F(RowsColumns, BoxFramesTheGridBeneathAllArtWithoutFill) {
    Grid(3, 3);
    G().rcBox = 1;
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {40, 40}});
    ExpectNoErrors();
    const auto art = TopLevelArt();
    ASSERT_EQ(art.size(), 10u);
    // Last cell 40..50 each way; the gap is ((50 - 0) - 3 x 10) / 4 = 5.
    Art* box = art.front();
    const AIRealRect r = Bounds(box);
    EXPECT_FLOAT_EQ(r.left, -5.0f);
    EXPECT_FLOAT_EQ(r.bottom, -5.0f);
    EXPECT_FLOAT_EQ(r.right, 55.0f);
    EXPECT_FLOAT_EQ(r.top, 55.0f);
    EXPECT_EQ(box->style().fillPaint, 0);
    EXPECT_EQ(box->style().fill.color.kind, 0);
    EXPECT_FALSE(Tagged(box));
}

TEST_F(RowsColumns, ASingleColumnKeepsTouchAndBoxFinite) {
    Grid(1, 3);
    G().rcTouch = 1;
    G().rcBox = 1;
    G().rcSelected = 0;
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {30, 40}}); // vertical step 20: factors 1 and 2
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_PIECE(5, 5 + 20.0f * static_cast<float>(i), 10, 20);
    // No gap across a single column; along the rows ((55 - 0) - 3 x 20) / 4.
    const AIRealRect r = Bounds(TopLevelArt().front());
    EXPECT_FLOAT_EQ(r.left, 0.0f);
    EXPECT_FLOAT_EQ(r.right, 10.0f);
    EXPECT_FLOAT_EQ(r.bottom, 1.25f);
    EXPECT_FLOAT_EQ(r.top, 53.75f);
}

TEST_F(RowsColumns, ASingleRowWithAHorizontalDragIsALine) {
    Grid(4, 1);
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {30, 0}});
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 4u);
    for (int j = 0; j < 4; ++j) EXPECT_PIECE(5 + 10.0f * static_cast<float>(j), 5, 10, 10);
}

TEST_F(RowsColumns, TheRowIndexDrivesTheColourRules) {
    Grid(3, 3);
    G().fillMode = 2; // " To black", period rows - 1 = 2
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {40, 40}});
    ASSERT_NE(ArtAt(25, 5), nullptr);
    EXPECT_FLOAT_EQ(Grey(ArtAt(25, 5)), 0.5f);
    EXPECT_FLOAT_EQ(Grey(ArtAt(5, 25)), 0.75f);
    EXPECT_FLOAT_EQ(Grey(ArtAt(45, 25)), 0.75f);
    EXPECT_FLOAT_EQ(Grey(ArtAt(25, 45)), 1.0f);
}

TEST_F(RowsColumns, ApplyPatternsScaleLineWidthsByTheCellsScale) {
    Grid(2, 2);
    G().rcHApply = 1;
    G().rcVApply = 1;
    G().lineWidthMode = 1;
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {40, 40}});
    EXPECT_PIECE(45, 45, 2.5f, 2.5f);
    EXPECT_FLOAT_EQ(ArtAt(45, 45)->style().stroke.width, 0.5f);
    EXPECT_FLOAT_EQ(ArtAt(45, 5)->style().stroke.width, 1.0f);
    EXPECT_FLOAT_EQ(ArtAt(5, 5)->style().stroke.width, 2.0f);
}

TEST_F(RowsColumns, AlternateLineScalingOnlyScalesCellsWithEvenRowAndColumn) {
    Grid(3, 2);
    G().rcHApply = 1; // 1, 1/2, 1 over the columns
    G().lineWidthMode = 2;
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {40, 40}});
    EXPECT_PIECE(25, 5, 5, 5);
    EXPECT_FLOAT_EQ(ArtAt(25, 5)->style().stroke.width, 2.0f) << "column 1 is odd";
    EXPECT_PIECE(25, 45, 5, 5);
    EXPECT_FLOAT_EQ(ArtAt(25, 45)->style().stroke.width, 2.0f);
}

TEST_F(RowsColumns, JitterMovesTheObjectWithinItsReachAndDuplicatesCarryThatToo) {
    Grid(3, 3);
    G().rcJitter = 3.0f;
    Art* object = Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {40, 40}});
    const auto art = TopLevelArt();
    ASSERT_EQ(art.size(), 9u);
    // The object is jittered in place; each duplicate copies it and is
    // jittered again, so it lies within twice the reach of its cell.
    const AIRealPoint o = Centre(object);
    EXPECT_LE(std::fabs(o.h - 5.0f), 3.0f);
    EXPECT_LE(std::fabs(o.v - 5.0f), 3.0f);
    int moved = 0;
    for (Art* a : art) {
        const AIRealPoint c = Centre(a);
        const float j = std::round((c.h - 5.0f) / 20.0f), i = std::round((c.v - 5.0f) / 20.0f);
        const float offH = c.h - (5.0f + 20.0f * j), offV = c.v - (5.0f + 20.0f * i);
        EXPECT_LE(std::fabs(offH), 6.0f);
        EXPECT_LE(std::fabs(offV), 6.0f);
        const float ownH = c.h - o.h - 20.0f * j, ownV = c.v - o.v - 20.0f * i;
        if (a != object) {
            EXPECT_LE(std::fabs(ownH), 3.0f) << "own jitter";
            EXPECT_LE(std::fabs(ownV), 3.0f) << "own jitter";
        }
        if (std::fabs(ownH) > 1e-3f || std::fabs(ownV) > 1e-3f) ++moved;
    }
    EXPECT_GT(moved, 4);
}

TEST_F(RowsColumns, TrailKeepsTheGridsOfEarlierEvents) {
    Grid(2, 2);
    G().rcTrail = 1;
    G().rcLocked = 1;
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {20, 0}, {40, 0}});
    EXPECT_EQ(TopLevelArt().size(), 7u);
    EXPECT_NE(ArtAt(25, 25), nullptr);
    EXPECT_NE(ArtAt(45, 45), nullptr);
}

TEST_F(RowsColumns, ALockedTopLayerEndsTheEventWithItsError) {
    Square(0, 0, 10);
    Layer* top = nullptr;
    ASSERT_EQ(doc->insertLayer(nullptr, kPlaceAboveAll, &top, "locked"), kNoErr);
    ASSERT_EQ(doc->setLayerLocked(top, true), kNoErr);
    Grid(2, 2);
    Drag(kRowsColumns, {{0, 0}, {40, 40}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], static_cast<ASErr>(kLockedLayerErr));
}

// The defaults: a ten by ten grid over the drag, steps of 100 / 9 across and
// 50 / 9 down for a drag to (100, -50).
TEST_F(RowsColumns, TheDefaultsLayATenByTenGridOverTheDrag) {
    Art* object = Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {50, -25}, {100, -50}});
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 100u);
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) EXPECT_PIECE(5 + j * 100.0 / 9, 5 - i * 50.0 / 9, 10, 10);
    EXPECT_EQ(ArtAt(5, 5), object) << "cell (0, 0) is the object in place";
}

TEST_F(RowsColumns, LockedMakesTheVerticalStepTheHorizontalOne) {
    G().rcLocked = 1;
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {100, -50}});
    ASSERT_EQ(TopLevelArt().size(), 100u);
    EXPECT_PIECE(5 + 100.0 / 9, 5 + 100.0 / 9, 10, 10);
    EXPECT_PIECE(105, 105, 10, 10);
}

TEST_F(RowsColumns, LockedGoldenHorizontalTakesTheShortGoldenSide) {
    G().rcGoldenH = 1;
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {100, -50}});
    ASSERT_EQ(TopLevelArt().size(), 100u);
    EXPECT_PIECE(5, 5 + 61.8034 / 9, 10, 10);
    EXPECT_PIECE(105, 5 + 61.8034, 10, 10);
}

TEST_F(RowsColumns, TheColumnsAndTheRowsApplyFactorsMultiply) {
    G().rcHApply = 9; // columns 0, 1: 1, (1/4, 1/6)
    G().rcVApply = 1; // rows 0, 1: 1, 1/2
    Square(0, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {100, -50}});
    ASSERT_EQ(TopLevelArt().size(), 100u);
    EXPECT_PIECE(5, 5, 10, 10);
    EXPECT_PIECE(5 + 100.0 / 9, 5, 2.5, 10.0 / 6);
    EXPECT_PIECE(5, 5 - 50.0 / 9, 5, 5);
    EXPECT_PIECE(5 + 100.0 / 9, 5 - 50.0 / 9, 1.25, 10.0 / 12);
}

TEST_F(RowsColumns, TheFrontObjectIsLaidOutLastSoItsCopiesStayInFront) {
    Art* first = Square(0, 0, 10);
    Art* second = Square(200, 0, 10);
    Drag(kRowsColumns, {{0, 0}, {100, -50}});
    const auto art = TopLevelArt(); // bottom first
    ASSERT_EQ(art.size(), 200u);
    // The two objects, then the duplicates of the first (back), then those of the second (front).
    EXPECT_EQ(art[0], first);
    EXPECT_EQ(art[1], second);
    for (std::size_t k = 2; k < 101; ++k) EXPECT_LT(Bounds(art[k]).left, 200.0f) << k;
    for (std::size_t k = 101; k < 200; ++k) EXPECT_GE(Bounds(art[k]).left, 200.0f) << k;
    // Each object is its own first cell.
    EXPECT_EQ(ArtAt(5, 5), first);
    EXPECT_EQ(ArtAt(205, 5), second);
}

} // namespace
} // namespace brivane_test
