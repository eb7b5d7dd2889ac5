// Paint through the real host: one copy per object per drawn event along the
// cursor's path, the running scale and fade, "Follow", the fill intensity,
// the painting state reset at mouse down and the Alt pause.
#include "tests/brivane/DragFixture.h"

namespace brivane_test {
namespace {

class Paint : public DragFixture {
protected:
    void SetUp() override {
        DragFixture::SetUp();
        G().paintFollow = 0; // the tests that turn copies switch it on
    }
    static AIColor Fill(const Art* art) { return art->style().fill.color; }
};

TEST_F(Paint, EveryEventAddsACopyWhereTheCursorCarriedTheObject) {
    G().paintFollow = 1; // the default; a square turned half round looks the same
    Art* object = Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {10, 0}, {20, 0}, {30, 0}});
    ExpectNoErrors();
    ASSERT_EQ(TopLevelArt().size(), 4u) << "nothing is undone between events";
    EXPECT_PIECE(15, 5, 10, 10);
    EXPECT_PIECE(25, 5, 10, 10);
    EXPECT_PIECE(35, 5, 10, 10);
    EXPECT_FALSE(Tagged(object)) << "the object itself is never moved";
    for (Art* art : TopLevelArt()) EXPECT_FLOAT_EQ(art->opacity(), 1.0f);
}

TEST_F(Paint, CursorStillOnTheStartPutsTheFirstCopyOnTheObject) {
    Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {0, 0}});
    EXPECT_EQ(CountAt(5, 5), 2);
}

TEST_F(Paint, ScaleAndFadeRunFromEventToEvent) {
    G().paintScaleH = 50;
    G().paintOpacityFade = 50;
    Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {20, 0}, {40, 0}, {60, 0}});
    EXPECT_PIECE(25, 5, 10, 10);
    EXPECT_PIECE(45, 5, 5, 10);
    EXPECT_PIECE(65, 5, 2.5f, 10);
    EXPECT_FLOAT_EQ(ArtAt(25, 5)->opacity(), 1.0f);
    EXPECT_FLOAT_EQ(ArtAt(45, 5)->opacity(), 0.5f);
    EXPECT_FLOAT_EQ(ArtAt(65, 5)->opacity(), 0.25f);
    EXPECT_FLOAT_EQ(G().paintRunScaleH, 0.125f) << "the state after the third event";
    EXPECT_FLOAT_EQ(G().paintRunOpacity, 0.125f);
}

TEST_F(Paint, PressureMultipliesTheFadedOpacity) {
    hostState().hasPressure = true;
    G().usePressure = 1;
    G().paintOpacityFade = 50;
    Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {10, 0, 0, 51}, {20, 0, 0, 51}});
    EXPECT_FLOAT_EQ(ArtAt(15, 5)->opacity(), 0.2f);
    EXPECT_FLOAT_EQ(ArtAt(25, 5)->opacity(), 0.1f);
}

TEST_F(Paint, AFadeAboveOneHundredStopsAtFullOpacity) {
    hostState().hasPressure = true;
    G().usePressure = 1;
    G().paintOpacityFade = 200;
    Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {10, 0, 0, 51}, {20, 0, 0, 51}, {30, 0, 0, 51}});
    // Running opacity 1, 2, 4: full opacity for the second and third, then pressure 0.2.
    EXPECT_FLOAT_EQ(ArtAt(15, 5)->opacity(), 0.2f);
    EXPECT_FLOAT_EQ(ArtAt(25, 5)->opacity(), 0.2f);
    EXPECT_FLOAT_EQ(ArtAt(35, 5)->opacity(), 0.2f);
    G().usePressure = 0;
    Drag(kPaint, {{0, 0}, {10, 50}, {20, 50}});
    EXPECT_FLOAT_EQ(ArtAt(25, 55)->opacity(), 1.0f);
}

TEST_F(Paint, IntensityTenLightensThreeColourFillsAndDarkensProcessFillsPerEvent) {
    G().paintIntensity = 10;
    Square(0, 0, 10, {kThreeColor, {0.5f, 0.2f, 0.1f, 0}, 0});
    Square(0, 100, 10, {kFourColor, {0.2f, 0.4f, 0.6f, 0.1f}, 0});
    std::vector<Event> events{{0, 0}};
    for (int e = 1; e <= 11; ++e) events.push_back({20.0f * static_cast<float>(e), 0});
    Drag(kPaint, events);
    for (int e = 1; e <= 11; ++e) {
        const float h = 5 + 20.0f * static_cast<float>(e);
        const float k = 1 + static_cast<float>(e) / 10;
        Art* rgb = ArtAt(h, 5);
        Art* cmyk = ArtAt(h, 105);
        ASSERT_NE(rgb, nullptr);
        ASSERT_NE(cmyk, nullptr);
        EXPECT_EQ(Fill(rgb).kind, kThreeColor);
        EXPECT_NEAR(Fill(rgb).c[0], std::min(0.5f * k, 1.0f), 1e-6f) << "event " << e;
        EXPECT_NEAR(Fill(rgb).c[1], 0.2f * k, 1e-6f);
        EXPECT_NEAR(Fill(rgb).c[2], 0.1f * k, 1e-6f);
        EXPECT_NEAR(Fill(cmyk).c[0], 0.2f * k, 1e-6f);
        EXPECT_NEAR(Fill(cmyk).c[1], 0.4f * k, 1e-6f);
        EXPECT_NEAR(Fill(cmyk).c[2], std::min(0.6f * k, 1.0f), 1e-6f);
        EXPECT_NEAR(Fill(cmyk).c[3], 0.1f * k, 1e-6f);
    }
    EXPECT_FLOAT_EQ(Fill(ArtAt(205, 5)).c[0], 1.0f) << "event 10 doubles the red to exactly 1";
}

TEST_F(Paint, NegativeIntensityFadesGreyFillsAndNeverGoesBelowZero) {
    G().paintIntensity = -60;
    Square(0, 0, 10, {kGrayColor, {0.5f, 0, 0, 0}, 0});
    Drag(kPaint, {{0, 0}, {20, 0}, {40, 0}});
    EXPECT_NEAR(Fill(ArtAt(25, 5)).c[0], 0.2f, 1e-6f);
    EXPECT_FLOAT_EQ(Fill(ArtAt(45, 5)).c[0], 0.0f) << "factor -0.2 stops at 0";
}

TEST_F(Paint, FollowAtTheFirstEventLooksBackToTheDragStart) {
    G().paintFollow = 1;
    // 20 wide and 10 high, centred at (10, 5), first corner at the lower left.
    Path({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
    Drag(kPaint, {{0, 0}, {0, 30}, {30, 30}});
    // Event 1: from (0, 30) back to (0, 0) points straight down, -90 degrees.
    EXPECT_PIECE(10, 35, 10, 20);
    AIRealPoint corner = FirstAnchor(ArtAt(10, 35));
    EXPECT_NEAR(corner.h, 5, 1e-4f);
    EXPECT_NEAR(corner.v, 45, 1e-4f);
    // Event 2: from (30, 30) back to (0, 30) points left, a half turn.
    EXPECT_PIECE(40, 35, 20, 10);
    corner = FirstAnchor(ArtAt(40, 35));
    EXPECT_NEAR(corner.h, 50, 1e-4f);
    EXPECT_NEAR(corner.v, 40, 1e-4f);
}

TEST_F(Paint, MouseDownStartsTheStateAfresh) {
    G().paintScaleV = 50;
    G().paintOpacityFade = 50;
    Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {20, 0}, {40, 0}});
    Drag(kPaint, {{0, 0}, {0, 50}});
    EXPECT_PIECE(5, 55, 10, 10);
    EXPECT_FLOAT_EQ(ArtAt(5, 55)->opacity(), 1.0f);
    EXPECT_EQ(G().paintEventCount, 1);
    EXPECT_FLOAT_EQ(G().paintLastY, 50);
}

TEST_F(Paint, AltPausesWithoutAdvancingTheState) {
    G().paintScaleH = 50;
    G().paintIntensity = 50;
    Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {10, 0}, {20, 0, kAlt}, {30, 0}});
    ASSERT_EQ(TopLevelArt().size(), 3u);
    EXPECT_EQ(ArtAt(25, 5), nullptr);
    EXPECT_PIECE(15, 5, 10, 10);
    EXPECT_PIECE(35, 5, 5, 10); // the second painted event's scale, not the third's
    EXPECT_NEAR(Fill(ArtAt(35, 5)).c[0], 1.0f, 1e-6f) << "intensity of event 2: 0.5 x 2";
    EXPECT_NEAR(Fill(ArtAt(15, 5)).c[0], 0.75f, 1e-6f);
}

TEST_F(Paint, CompoundPathsArePaintedMemberByMember) {
    G().paintIntensity = 100;
    Art* compound = nullptr;
    ASSERT_EQ(doc->newArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &compound), kNoErr);
    for (float left : {0.0f, 20.0f}) {
        Art* child = nullptr;
        ASSERT_EQ(doc->newArt(kPathArt, kPlaceInsideOnTop, compound, &child), kNoErr);
        AIPathSegment segs[4] = {{{left, 0}, {left, 0}, {left, 0}, 1},
                                 {{left + 10, 0}, {left + 10, 0}, {left + 10, 0}, 1},
                                 {{left + 10, 10}, {left + 10, 10}, {left + 10, 10}, 1},
                                 {{left, 10}, {left, 10}, {left, 10}, 1}};
        ASSERT_EQ(doc->setSegmentCount(child, 4), kNoErr);
        ASSERT_EQ(doc->setSegments(child, 0, 4, segs), kNoErr);
        AIPathStyle style{};
        style.fillPaint = 1;
        style.fill.color = {kGrayColor, {0.3f, 0, 0, 0}, 0};
        ASSERT_EQ(doc->setStyle(child, style), kNoErr);
    }
    ASSERT_EQ(doc->setSelected(compound, true), kNoErr);
    Drag(kPaint, {{0, 0}, {0, 40}});
    ExpectNoErrors();
    Art* copy = ArtAt(15, 45);
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(Tagged(copy));
    int children = 0;
    for (Art* c = copy->firstChild(); c != nullptr; c = c->next(), ++children) {
        EXPECT_TRUE(Tagged(c));
        EXPECT_NEAR(c->style().fill.color.c[0], 0.6f, 1e-6f);
    }
    EXPECT_EQ(children, 2);
}

TEST_F(Paint, AFailedEventKeepsItsCopiesAndLeavesTheStateAsItWas) {
    G().paintScaleH = 50;
    Square(0, 0, 10);
    Drag(kPaint, {{0, 0}, {10, 0}, {20, 0}}, [this](int event) {
        if (event == 1) {
            EXPECT_EQ(doc->setLayerLocked(doc->layerFromBottom(0), true), kNoErr);
        }
    });
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0], kNoErr);
    EXPECT_EQ(results[1], kLockedLayerErr);
    EXPECT_FLOAT_EQ(G().paintRunScaleH, 0.5f) << "only the first event advanced the scale";
    EXPECT_FLOAT_EQ(G().paintLastX, 10.0f);
}

} // namespace
} // namespace brivane_test
