// Scaledown through the real host: running scales and fade, turns and
// twists, the apply pattern and its counter, copy 0 as the object itself,
// random creation and the "Object-copies" order.
#include "tests/brivane/DragFixture.h"

#include <map>

namespace brivane_test {
namespace {

class Scaledown : public DragFixture {
protected:
    // Two squares side by side: B at the right, A at the left above it. The
    // selection comes front to back, so A is list index 0 and B index 1.
    void TwoSquares() {
        b = Square(100, 0, 10);
        a = Square(0, 0, 10);
    }
    // Checks after the first drag event that A and B are entries 0 and 1.
    std::function<void(int)> ExpectOrderAB() {
        return [this](int event) {
            if (event != 1) return;
            const auto snapshot = Snapshot();
            ASSERT_EQ(snapshot.size(), 2u);
            EXPECT_EQ(snapshot[0], a->handle());
            EXPECT_EQ(snapshot[1], b->handle());
        };
    }
    Art* a = nullptr;
    Art* b = nullptr;
};

TEST_F(Scaledown, DefaultRunShrinksByNinetyPercentPerCopy) {
    Art* object = Square(0, 0, 10);
    Drag(kScaledown, {{0, 0}, {45, 10}, {90, 0}});
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 10u);
    float size = 10;
    for (int k = 0; k < 10; ++k, size *= 0.9f) EXPECT_PIECE(5 + 10.0f * static_cast<float>(k), 5, size, size);
    EXPECT_EQ(ArtAt(5, 5), object) << "copy 0 is the object itself";
    for (Art* art : TopLevelArt()) {
        EXPECT_TRUE(Tagged(art));
        EXPECT_FLOAT_EQ(art->opacity(), 1.0f) << "a fade of 100 leaves the opacity alone";
    }
}

TEST_F(Scaledown, TwoCopiesPutOneScaledDuplicateAtTheFullDragVector) {
    G().scaledownCopies = 2;
    G().scaledownScaleV = 50;
    Square(0, 0, 10);
    Drag(kScaledown, {{0, 0}, {37, -12}});
    ASSERT_EQ(TopLevelArt().size(), 2u);
    EXPECT_PIECE(5, 5, 10, 10);
    EXPECT_PIECE(42, -7, 9, 5);
}

TEST_F(Scaledown, CursorBackOnTheStartPointDrawsNothing) {
    Art* object = Square(0, 0, 10);
    G().scaledownLocked = 1;
    Drag(kScaledown, {{0, 0}, {20, 0}, {0, 0}});
    EXPECT_EQ(TopLevelArt().size(), 1u);
    EXPECT_FALSE(Tagged(object)) << "the object itself is left alone too";
}

TEST_F(Scaledown, LockedKeepsTheVerticalPartOnTheDiagonal) {
    G().scaledownLocked = 1;
    G().scaledownCopies = 2;
    Square(0, 0, 10);
    Drag(kScaledown, {{0, 0}, {30, 30}});
    EXPECT_PIECE(5, 35, 9, 9);
    doc->undo();
    Drag(kScaledown, {{0, 0}, {-30, 30}});
    EXPECT_PIECE(5, 35, 9, 9);
}

TEST_F(Scaledown, ApplyThirteenRestartsTheScaleEveryFifthCopy) {
    G().scaledownCopies = 8;
    G().scaledownApply = 13;
    Square(0, 0, 10);
    Drag(kScaledown, {{0, 0}, {70, 0}});
    const float sizes[] = {10, 9, 8.1f, 7.29f, 9, 5.9049f, 5.31441f, 4.782969f};
    for (int k = 0; k < 8; ++k) EXPECT_PIECE(5 + 10.0f * static_cast<float>(k), 5, sizes[k], sizes[k]);
}

TEST_F(Scaledown, ANegativeScaleMirrorsEveryOtherCopyAndLineWidthsScaleByItsSize) {
    G().scaledownCopies = 3;
    G().scaledownScaleH = -90;
    G().lineWidthMode = 1; // " Standard scaling of stroke width"
    Square(0, 0, 10);      // stroke width 2
    Drag(kScaledown, {{0, 0}, {40, 0}});
    ExpectNoErrors();
    EXPECT_PIECE(25, 5, 9, 9);
    EXPECT_PIECE(45, 5, 8.1f, 8.1f);
    // The first corner, lower left on the object, is lower right on copy 1
    // (horizontal scale -0.9) and lower left again on copy 2 (0.81).
    EXPECT_NEAR(FirstAnchor(ArtAt(25, 5)).h, 29.5f, 1e-4f);
    EXPECT_NEAR(FirstAnchor(ArtAt(45, 5)).h, 40.95f, 1e-4f);
    EXPECT_NEAR(ArtAt(5, 5)->style().stroke.width, 2.0f, 1e-5f);
    EXPECT_NEAR(ArtAt(25, 5)->style().stroke.width, 1.8f, 1e-5f);
    EXPECT_NEAR(ArtAt(45, 5)->style().stroke.width, 1.62f, 1e-5f);
}

TEST_F(Scaledown, TwistsTurnTheRunThroughWholeTurnsInEqualSteps) {
    G().scaledownCopies = 5;
    G().scaledownTwists = 1; // a quarter turn per copy
    Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
    Drag(kScaledown, {{0, 0}, {40, 0}});
    EXPECT_PIECE(10, 5, 20, 10);
    EXPECT_PIECE(20, 5, 9, 18);
    EXPECT_PIECE(30, 5, 16.2f, 8.1f);
    EXPECT_PIECE(40, 5, 7.29f, 14.58f);
    EXPECT_PIECE(50, 5, 13.122f, 6.561f);
    // A turn of 90 degrees per copy lands on the same shapes.
    doc->undo();
    G().scaledownTwists = 0;
    G().scaledownTurn = 90;
    Drag(kScaledown, {{0, 0}, {40, 0}});
    EXPECT_PIECE(20, 5, 9, 18);
    EXPECT_PIECE(50, 5, 13.122f, 6.561f);
}

TEST_F(Scaledown, FadeMultipliesTheOpacityAndStopsAtOne) {
    hostState().hasPressure = true;
    G().usePressure = 1;
    G().scaledownCopies = 4;
    G().scaledownOpacityFade = 150;
    Square(0, 0, 10);
    Drag(kScaledown, {{0, 0}, {Event{30, 0, 0, 100}}});
    const float pressure = 100 * 0.003921569f;
    EXPECT_FLOAT_EQ(ArtAt(5, 5)->opacity(), pressure);
    EXPECT_NEAR(ArtAt(15, 5)->opacity(), pressure * 1.5f, 1e-6f);
    EXPECT_NEAR(ArtAt(25, 5)->opacity(), pressure * 2.25f, 1e-6f);
    EXPECT_FLOAT_EQ(ArtAt(35, 5)->opacity(), 1.0f) << "1.32 is kept at full opacity";
    doc->undo();
    G().scaledownOpacityFade = 50;
    Drag(kScaledown, {{0, 0}, {Event{30, 0, 0, 100}}});
    EXPECT_NEAR(ArtAt(35, 5)->opacity(), pressure * 0.125f, 1e-6f);
}

TEST_F(Scaledown, SkippedCopiesDoNotAdvanceTheRunningScales) {
    G().scaledownCreate = 1;
    bool sawGap = false;
    for (int seed = 1; seed <= 6; ++seed) {
        doc = newDocument(400, 300);
        hostState().document = doc.get();
        hostState().random.reseed(seed);
        Art* object = Square(0, 0, 10);
        Drag(kScaledown, {{0, 0}, {90, 0}});
        std::map<int, Art*> made; // by copy number
        for (Art* art : TopLevelArt()) {
            if (!Tagged(art)) continue;
            const float k = (Centre(art).h - 5) / 10;
            ASSERT_NEAR(k, std::round(k), 1e-4f);
            made[static_cast<int>(std::round(k))] = art;
        }
        EXPECT_EQ(made.count(0) == 1, Tagged(object)) << "copy 0 is the object, made or not";
        float size = 10;
        int previous = 0;
        for (auto [k, art] : made) {
            if (k == 0) continue;
            size *= 0.9f;
            sawGap = sawGap || k > previous + 1;
            previous = k;
            EXPECT_NEAR(Size(art).h, size, 1e-3f) << "seed " << seed << ", copy " << k;
        }
    }
    EXPECT_TRUE(sawGap) << "some run skipped a copy before a made one";
}

TEST_F(Scaledown, ObjectCopiesAlternateTheObjectsAndShareTheScales) {
    G().scaledownCopies = 3;
    G().scaledownObjectCopies = 1;
    G().scaledownSelected = 0;
    TwoSquares();
    Drag(kScaledown, {{0, 0}, {0, 40}}, ExpectOrderAB());
    const auto art = TopLevelArt(); // bottom first
    ASSERT_EQ(art.size(), 6u);
    // B (the higher index) is visited first for every copy number.
    const float columns[] = {105, 5, 105, 5, 105, 5};
    const float sizes[] = {10, 10, 9, 9, 8.1f, 8.1f};
    for (std::size_t n = 0; n < 6; ++n) {
        EXPECT_NEAR(Centre(art[n]).h, columns[n], 1e-4f) << n;
        EXPECT_NEAR(Centre(art[n]).v, 5 + 20.0f * static_cast<float>(n / 2), 1e-4f) << n;
        EXPECT_NEAR(Size(art[n]).h, sizes[n], 1e-3f) << n;
    }
}

TEST_F(Scaledown, WithoutObjectCopiesEachObjectRunsOnItsOwn) {
    G().scaledownCopies = 3;
    G().scaledownSelected = 0;
    TwoSquares();
    Drag(kScaledown, {{0, 0}, {0, 40}}, ExpectOrderAB());
    const auto art = TopLevelArt();
    ASSERT_EQ(art.size(), 6u);
    const float columns[] = {105, 105, 105, 5, 5, 5};
    for (std::size_t n = 0; n < 6; ++n) EXPECT_NEAR(Centre(art[n]).h, columns[n], 1e-4f) << n;
    EXPECT_PIECE(5, 45, 8.1f, 8.1f);
    EXPECT_PIECE(105, 45, 8.1f, 8.1f);
}

TEST_F(Scaledown, ObjectCopiesStillAdvanceWhenTheLastEntryIsAnEmptiedMember) {
    G().scaledownCopies = 3;
    G().scaledownObjectCopies = 1;
    G().scaledownSelected = 0;
    // A compound path of two squares under the square; its members are
    // selected with it, come after it in the snapshot (front to back, the
    // compound before its members) and are emptied from it.
    Art* compound = nullptr;
    ASSERT_EQ(doc->newArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &compound), kNoErr);
    for (float left : {100.0f, 120.0f}) {
        Art* child = nullptr;
        ASSERT_EQ(doc->newArt(kPathArt, kPlaceInsideOnTop, compound, &child), kNoErr);
        AIPathSegment segs[4] = {{{left, 0}, {left, 0}, {left, 0}, 1},
                                 {{left + 10, 0}, {left + 10, 0}, {left + 10, 0}, 1},
                                 {{left + 10, 10}, {left + 10, 10}, {left + 10, 10}, 1},
                                 {{left, 10}, {left, 10}, {left, 10}, 1}};
        ASSERT_EQ(doc->setSegmentCount(child, 4), kNoErr);
        ASSERT_EQ(doc->setSegments(child, 0, 4, segs), kNoErr);
    }
    Art* square = Square(0, 0, 10);
    ASSERT_EQ(doc->setSelected(compound, true), kNoErr);
    Drag(kScaledown, {{0, 0}, {0, 40}}, [this](int event) {
        if (event != 1) return;
        const auto snapshot = Snapshot();
        ASSERT_GE(snapshot.size(), 3u);
        EXPECT_EQ(snapshot.back(), nullptr) << "the last entry is an emptied member";
    });
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 6u);
    EXPECT_PIECE(5, 5, 10, 10);
    EXPECT_PIECE(5, 25, 9, 9);
    EXPECT_PIECE(5, 45, 8.1f, 8.1f);
    EXPECT_PIECE(115, 25, 27, 9);
    EXPECT_PIECE(115, 45, 24.3f, 8.1f);
    EXPECT_EQ(ArtAt(5, 5), square);
}

TEST_F(Scaledown, ApplyTwentyTwoHalvesTheObjectItself) {
    G().scaledownCopies = 3;
    G().scaledownApply = 22;
    Square(0, 0, 10);
    Drag(kScaledown, {{0, 0}, {40, 0}});
    ASSERT_EQ(TopLevelArt().size(), 3u);
    EXPECT_PIECE(5, 5, 5, 5); // copy 0: (1, 1) halved
    // Copy 1 mirrors the halved object at 0.9; copy 2 halves it at 0.81.
    EXPECT_PIECE(25, 5, 4.5f, 4.5f);
    EXPECT_PIECE(45, 5, 2.025f, 2.025f);
    ASSERT_NE(ArtAt(25, 5), nullptr);
    EXPECT_NEAR(FirstAnchor(ArtAt(25, 5)).h, 27.25f, 1e-4f);
    EXPECT_NEAR(FirstAnchor(ArtAt(25, 5)).v, 7.25f, 1e-4f);
}

TEST_F(Scaledown, ApplyTwentyNineHalvesEvenObjectsAndMirrorsOddOnes) {
    G().scaledownCopies = 2;
    G().scaledownApply = 29;
    G().scaledownSelected = 0;
    TwoSquares();
    Drag(kScaledown, {{0, 0}, {0, 50}});
    ASSERT_EQ(TopLevelArt().size(), 4u);
    EXPECT_PIECE(5, 5, 5, 5);
    EXPECT_PIECE(105, 5, 10, 10);
    EXPECT_NEAR(FirstAnchor(b).h, 110, 1e-4f) << "mirrored through its centre";
    EXPECT_PIECE(5, 55, 4.5f, 4.5f);
    EXPECT_PIECE(105, 55, 4.5f, 4.5f);
}

} // namespace
} // namespace brivane_test
