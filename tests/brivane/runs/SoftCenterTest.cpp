// Soft center through the real host: rows converging on the cursor, the
// initial gap in points, centimetres and inches, the jitter in the gap's
// unit, the lock by the drag direction.
#include "tests/brivane/DragFixture.h"

#include "core/Random.h"

namespace brivane_test {
namespace {

constexpr float kInch = 71.9467f;
constexpr float kCentimetre = 28.347f;

class SoftCenter : public DragFixture {};

TEST_F(SoftCenter, RowsOfEveryObjectConvergeOnTheCursor) {
    G().softCopies = 3;
    Art* a = Square(0, 0, 10);    // centre (5, 5)
    Art* b = Square(100, 100, 10); // centre (105, 105)
    Drag(kSoftCenter, {{0, 0}, {20, 20}, {55, 55}});
    ExpectNoErrors();
    EXPECT_EQ(TopLevelArt().size(), 6u);
    EXPECT_EQ(CountAt(55, 55), 2) << "both rows end on the cursor";
    EXPECT_PIECE(30, 30, 10, 10);
    EXPECT_PIECE(80, 80, 10, 10);
    EXPECT_EQ(ArtAt(5, 5), a) << "member 0 is the object itself";
    EXPECT_EQ(ArtAt(105, 105), b);
    for (Art* art : TopLevelArt()) EXPECT_TRUE(Tagged(art));
}

TEST_F(SoftCenter, TheGapRunsAlongTheCursorObjectLineAtAnyAngle) {
    G().softCopies = 2;
    G().softGap = 10; // points
    Square(0, 0, 10);
    // From (45, 35) the object's centre lies 50 away, down and to the left
    // (3-4-5): the row ends 10 points short, at (37, 29).
    Drag(kSoftCenter, {{0, 0}, {45, 35}});
    EXPECT_PIECE(37, 29, 10, 10);
}

TEST_F(SoftCenter, CentimetresConvertAtTwentyEightPointThreeFourSeven) {
    G().softCopies = 2;
    G().softGapUnit = 1;
    G().softGap = 2;
    Square(0, 0, 10);
    Drag(kSoftCenter, {{0, 0}, {105, 5}});
    EXPECT_PIECE(105 - 2 * kCentimetre, 5, 10, 10);
}

TEST_F(SoftCenter, JitterIsReadInTheGapsUnit) {
    G().softCopies = 2;
    G().softGapUnit = 2;
    G().softJitter = 0.5f; // half an inch
    Art* object = Square(0, 0, 10);
    Drag(kSoftCenter, {{0, 0}, {105, 5}});
    // Each member draws a vertical sign, a horizontal sign, then the
    // vertical and the horizontal magnitude.
    easel::Random draws(1);
    AIRealPoint offset[2]{};
    for (auto& o : offset) {
        const float s1 = draws.next() > 0.5f ? -1.0f : 1.0f;
        const float s2 = draws.next() > 0.5f ? -1.0f : 1.0f;
        o.v = draws.next() * 0.5f * s1 * kInch;
        o.h = draws.next() * 0.5f * s2 * kInch;
    }
    ASSERT_EQ(TopLevelArt().size(), 2u);
    EXPECT_NEAR(Centre(object).h, 5 + offset[0].h, 1e-3f);
    EXPECT_NEAR(Centre(object).v, 5 + offset[0].v, 1e-3f);
    // The duplicate copies the object after its own jitter, then gets its own.
    Art* member = TopLevelArt().back();
    EXPECT_NEAR(Centre(member).h, 105 + offset[0].h + offset[1].h, 1e-3f);
    EXPECT_NEAR(Centre(member).v, 5 + offset[0].v + offset[1].v, 1e-3f);
    EXPECT_GT(std::fabs(offset[0].h) + std::fabs(offset[0].v) + std::fabs(offset[1].h) + std::fabs(offset[1].v), 4.0f)
        << "the draws move the members by more than half a point";
}

TEST_F(SoftCenter, CursorOnAnObjectsCentreWithoutGapLeavesThatObjectWithoutARow) {
    Art* a = Square(0, 0, 10);
    Square(100, 0, 10);
    Drag(kSoftCenter, {{0, 0}, {5, 5}});
    EXPECT_EQ(TopLevelArt().size(), 11u) << "only the other object's row of ten";
    EXPECT_FALSE(Tagged(a));
    EXPECT_EQ(CountAt(5, 5), 2);
    for (int k = 1; k < 9; ++k) EXPECT_PIECE(105 - static_cast<float>(k) * 100 / 9, 5, 10, 10);
}

TEST_F(SoftCenter, LockedFollowsTheDragDirectionAndTheGapStillAddsItsCrossPart) {
    G().softCopies = 2;
    G().softLocked = 1;
    Square(0, 0, 10);
    // A shallow drag: rows are horizontal, whatever lies between the cursor and the object.
    Drag(kSoftCenter, {{0, 0}, {100, 20}});
    EXPECT_PIECE(100, 5, 10, 10);
    doc->undo();
    // With a gap of 10 points the row gains the gap's share along the
    // direction (-95, -15) / 96.17692 from the cursor to the object.
    G().softGap = 10;
    Drag(kSoftCenter, {{0, 0}, {100, 20}});
    EXPECT_PIECE(100 - 9.877633f, 5 - 1.559626f, 10, 10);
    doc->undo();
    // A steep drag locks every row vertical.
    G().softGap = 0;
    Drag(kSoftCenter, {{0, 0}, {20, 100}});
    EXPECT_PIECE(5, 100, 10, 10);
}

TEST_F(SoftCenter, AGapOfOneInchEitherWayIsSymmetricAboutTheCursor) {
    G().softCopies = 2;
    G().softGapUnit = 2;
    G().softGap = 1;
    Square(0, 0, 10);
    Drag(kSoftCenter, {{0, 0}, {105, 5}});
    ASSERT_EQ(TopLevelArt().size(), 2u);
    EXPECT_PIECE(5, 5, 10, 10);
    EXPECT_PIECE(105 - kInch, 5, 10, 10);
    doc->undo();
    G().softGap = -1;
    Drag(kSoftCenter, {{0, 0}, {105, 5}});
    EXPECT_PIECE(105 + kInch, 5, 10, 10);
}

} // namespace
} // namespace brivane_test
