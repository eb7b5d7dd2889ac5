// The drag event: which segments are written, blending, the limit, the
// modifier keys, undo between events, pressure and the random choices.
#include "KestovaHost.h"

#include "core/Random.h"

namespace kestova_test {
namespace {

constexpr AIRealPoint kStart{200, 300};
constexpr int32_t kModePopup = 12, kInterpIn = 18, kInterpOut = 19, kInterpPoint = 20, kLimit = 21;
constexpr int32_t kRandomApply = 4, kAlternate = 7, kPressure = 17, kAnchorDirectionR = 26,
                  kTypePerPointR = 28, kTypePerPathR = 27, kTrail = 23;

AIPathSegment Moved(int i, AIRealPoint d) {
    AIPathSegment s = pathSegment(i);
    s.p.h += d.h;
    s.p.v += d.v;
    return s;
}

class PointDragEvent : public ::testing::Test {
protected:
    void Open(int segments, const std::string& extra = "", int32_t seed = 1) {
        host.reset(); // one session at a time
        host = std::make_unique<KestovaHost>(documentJson(pathJson(1, segments, extra)), seed);
    }
    AIPathSegment Seg(size_t i) { return host->segment(1, i); }
    std::unique_ptr<KestovaHost> host;
};

TEST_F(PointDragEvent, AlternatingPointsChangesSegmentsZeroTwoFourOnly) {
    Open(6);
    host->setOptions({{kModePopup, 3}, {kAlternate, 1}});
    host->drag({{kStart}, {{230, 320}}});
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(SegmentIs(Seg(i), i % 2 == 0 ? Moved(i, {30, 20}) : pathSegment(i))) << "segment " << i;
}

TEST_F(PointDragEvent, UnselectedSegmentsAreNeverWrittenInAnyMode) {
    Open(4, R"("selectedSegments": [1, [2, 4]])");
    for (int mode = 0; mode <= 10; ++mode) {
        host->setOptions({{kModePopup, mode}});
        host->drag({{kStart}, {{230, 320}}});
        EXPECT_TRUE(SegmentIs(Seg(0), pathSegment(0))) << "mode " << mode;
        EXPECT_TRUE(SegmentIs(Seg(3), pathSegment(3))) << "mode " << mode;
        host->doc().undo();
    }
    // The selected ones (a whole point and an out-direction point alone) do change.
    host->setOptions({{kModePopup, 3}});
    host->drag({{kStart}, {{230, 320}}});
    EXPECT_TRUE(SegmentIs(Seg(1), Moved(1, {30, 20})));
    EXPECT_TRUE(SegmentIs(Seg(2), Moved(2, {30, 20})));
}

TEST_F(PointDragEvent, InterpolationZeroLeavesThePathAsItWas) {
    Open(2);
    host->setOptions({{kModePopup, 7}, {kInterpIn, 0}, {kInterpOut, 0}, {kInterpPoint, 0}});
    host->drag({{kStart}, {{250, 60}}});
    EXPECT_TRUE(SegmentIs(Seg(0), pathSegment(0)));
    EXPECT_TRUE(SegmentIs(Seg(1), pathSegment(1)));
}

TEST_F(PointDragEvent, InterpolationBlendsEachPointByItsOwnOption) {
    Open(1);
    // Mode 7 from (200, 300) to (240, 340): P moves by (40, 40), both handles to (300, 400).
    host->setOptions({{kModePopup, 7}, {kInterpIn, 50}, {kInterpOut, 25}, {kInterpPoint, 75}});
    host->drag({{kStart}, {{240, 340}}});
    // IN (90, 125) half way to (300, 400); OUT (110, 115) a quarter; P three quarters of (40, 40).
    EXPECT_TRUE(SegmentIs(Seg(0), {130, 150}, {195, 262.5f}, {157.5f, 186.25f}));
}

TEST_F(PointDragEvent, BlendingStartsFromTheSegmentAsReadBeforeThePreSwap) {
    Open(1);
    // Pre-swap with mode 3 and the handle interpolations at 0: the handles
    // stay where they were read, not where the pre-swap put them.
    host->setOptions({{kModePopup, 3}, {6, 1}, {kInterpIn, 0}, {kInterpOut, 0}});
    host->drag({{kStart}, {{230, 320}}});
    EXPECT_TRUE(SegmentIs(Seg(0), Moved(0, {30, 20})));
}

TEST_F(PointDragEvent, LimitZeroPullsEveryHandleOntoItsAnchor) {
    Open(2);
    host->setOptions({{kModePopup, 2}, {kLimit, 0}});
    host->drag({{kStart}, {{250, 60}}});
    EXPECT_TRUE(SegmentIs(Seg(0), {250, 60}, {250, 60}, {250, 60}));
    EXPECT_TRUE(SegmentIs(Seg(1), {250, 60}, {250, 60}, {250, 60}));
}

TEST_F(PointDragEvent, LimitKeepsEachHandleComponentWithinReachOfTheAnchor) {
    Open(1);
    // Mode 3 moves P to (150, -120); the handles stay at (90, 125) and (110, 115).
    host->setOptions({{kModePopup, 3}, {kLimit, 10}});
    host->drag({{kStart}, {{250, 60}}});
    EXPECT_TRUE(SegmentIs(Seg(0), {150, -120}, {140, -110}, {140, -110}));
}

TEST_F(PointDragEvent, ControlKeyTurnsInterpolationOneHundredIntoZero) {
    Open(1);
    host->setOptions({{kModePopup, 3}, {kInterpOut, 50}});
    host->drag({{kStart}, {{250, 60}, 0x200}});
    // The key stepped 100 to 0 before the blend: the anchor stays.
    EXPECT_TRUE(SegmentIs(Seg(0), pathSegment(0)));
    // And for good: the dialog shows the stepped values.
    EXPECT_EQ(host->shown(kInterpIn), 0);
    EXPECT_EQ(host->shown(kInterpOut), 51);
    EXPECT_EQ(host->shown(kInterpPoint), 0);
}

TEST_F(PointDragEvent, EachEventUndoesThePreviousOne) {
    Open(1);
    host->setOptions({{kModePopup, 3}});
    host->drag({{kStart}, {{210, 310}}, {{220, 330}}, {{230, 320}}});
    EXPECT_TRUE(SegmentIs(Seg(0), Moved(0, {30, 20})));
    // The whole drag is one user step.
    ASSERT_TRUE(host->doc().undo());
    EXPECT_TRUE(SegmentIs(Seg(0), pathSegment(0)));
}

TEST_F(PointDragEvent, ADragBackToTheStartRestoresTheShapeOfMouseDown) {
    Open(2);
    host->setOptions({{kModePopup, 9}});
    const auto results = host->drag({{kStart}, {{250, 60}}, {{230, 320}}, {kStart}});
    EXPECT_EQ(results, (std::vector<ASErr>{kNoErr, kNoErr, kNoErr}));
    EXPECT_EQ(host->lastMouseUp(), kNoErr);
    EXPECT_TRUE(SegmentIs(Seg(0), pathSegment(0)));
    EXPECT_TRUE(SegmentIs(Seg(1), pathSegment(1)));
}

TEST_F(PointDragEvent, ShiftReanchorsTheDragWithoutUndoing) {
    Open(1);
    host->setOptions({{kModePopup, 3}});
    // The second event moves P by (30, 20); Shift at (240, 310) re-anchors
    // without undoing it; the last event undoes it and moves P by (5, 5)
    // from the new start.
    host->drag({{kStart}, {{230, 320}}, {{240, 310}, 0x20}, {{245, 315}}});
    EXPECT_TRUE(SegmentIs(Seg(0), Moved(0, {5, 5})));

    // A drag that ends on a Shift event keeps the shape of the event before.
    host->drag({{kStart}, {{230, 320}}, {{240, 310}, 0x20}});
    EXPECT_TRUE(SegmentIs(Seg(0), Moved(0, {35, 25})));
}

TEST_F(PointDragEvent, AltPausesOnlyTheTrail) {
    Open(1);
    host->setOptions({{kModePopup, 3}});
    // Without the trail Alt changes nothing.
    host->drag({{kStart}, {{230, 320}, 0x40}});
    EXPECT_TRUE(SegmentIs(Seg(0), Moved(0, {30, 20})));
    host->doc().undo();
    // With it, the Alt event lays no copy and moves nothing.
    host->setOptions({{kTrail, 1}});
    host->drag({{kStart}, {{210, 300}}, {{220, 300}, 0x40}, {{230, 300}}});
    const auto layers = host->artByLayer();
    ASSERT_EQ(layers.size(), 1u);
    EXPECT_EQ(layers[0].size(), 3u); // two copies and the path
    EXPECT_TRUE(SegmentIs(Seg(0), Moved(0, {40, 0}))); // 10, then 30 more from there
}

TEST_F(PointDragEvent, RandomApplyWritesTheSegmentsWhoseDrawIsAtMostOneHalf) {
    const int32_t seed = 7;
    Open(8, "", seed);
    host->setOptions({{kModePopup, 3}, {kRandomApply, 1}});
    host->drag({{kStart}, {{230, 320}}});
    easel::Random random(seed);
    int written = 0;
    for (int i = 0; i < 8; ++i) {
        const bool write = random.next() <= 0.5f;
        written += write ? 1 : 0;
        EXPECT_TRUE(SegmentIs(Seg(i), write ? Moved(i, {30, 20}) : pathSegment(i))) << "segment " << i;
    }
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 8);
}

TEST_F(PointDragEvent, RandomHandleShorteningScalesEachComponentByItsOwnDraw) {
    const int32_t seed = 3;
    Open(1, "", seed);
    host->setOptions({{kModePopup, 3}, {kAnchorDirectionR, 1}});
    host->drag({{kStart}, {{230, 320}}});
    easel::Random random(seed);
    const AIPathSegment s = Moved(0, {30, 20}); // P (130, 140), handles unmoved
    const float r1 = random.next(), r2 = random.next(), r3 = random.next(), r4 = random.next();
    const AIPathSegment got = Seg(0);
    EXPECT_FLOAT_EQ(got.in.h, (s.in.h - s.p.h) * r1 + s.p.h);
    EXPECT_FLOAT_EQ(got.in.v, (s.in.v - s.p.v) * r2 + s.p.v);
    EXPECT_FLOAT_EQ(got.out.h, (s.out.h - s.p.h) * r3 + s.p.h);
    EXPECT_FLOAT_EQ(got.out.v, (s.out.v - s.p.v) * r4 + s.p.v);
    EXPECT_EQ(got.p.h, 130);
    EXPECT_EQ(got.p.v, 140);
}

// The result of a fixed mode for segment i, as a reference.
AIPathSegment WithMode(int mode, int segments, size_t i) {
    KestovaHost reference(documentJson(pathJson(1, segments)));
    reference.setOptions({{kModePopup, mode}});
    reference.drag({{kStart}, {{250, 60}}});
    return reference.segment(1, i);
}

TEST_F(PointDragEvent, TypePerPointDrawsAModeForEverySegment) {
    const int32_t seed = 11;
    // Segment 1 is not selected: it still draws, and is left alone.
    Open(5, R"("selectedSegments": [0, 2, 3, 4])", seed);
    host->setOptions({{kTypePerPointR, 1}});
    host->drag({{kStart}, {{250, 60}}});
    std::vector<AIPathSegment> got;
    for (size_t i = 0; i < 5; ++i) got.push_back(Seg(i));
    host.reset(); // one session at a time

    easel::Random random(seed);
    std::vector<int> modes;
    for (int i = 0; i < 5; ++i) modes.push_back(static_cast<int>(random.next() * 11.0f));
    EXPECT_TRUE(SegmentIs(got[1], pathSegment(1)));
    for (size_t i : {0u, 2u, 3u, 4u})
        EXPECT_TRUE(SegmentIs(got[i], WithMode(modes[i], 5, i))) << "segment " << i << " mode " << modes[i];
}

TEST_F(PointDragEvent, TypePerPathDrawsOneModeForEachPathFromTheLast) {
    const int32_t seed = 5;
    host = std::make_unique<KestovaHost>(documentJson(pathJson(1, 2) + ", " + pathJson(2, 2)), seed);
    host->setOptions({{kTypePerPathR, 1}});
    host->drag({{kStart}, {{250, 60}}});
    const AIPathSegment got[2][2] = {{host->segment(1, 0), host->segment(1, 1)},
                                     {host->segment(2, 0), host->segment(2, 1)}};
    host.reset(); // one session at a time

    easel::Random random(seed);
    // The selection comes front to back: path 1, at the back, is the last entry and comes first.
    const int first = static_cast<int>(random.next() * 11.0f);
    const int second = static_cast<int>(random.next() * 11.0f);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(SegmentIs(got[1][i], WithMode(second, 2, i))) << "mode " << second;
        EXPECT_TRUE(SegmentIs(got[0][i], WithMode(first, 2, i))) << "mode " << first;
    }
}

class PointDragPressure : public PointDragEvent {
protected:
    void SetUp() override { Open(1); }
    AIRealPoint AnchorAfter(bool option, bool device, int16_t pressure) {
        host->setOptions({{kModePopup, 3}, {kPressure, option ? 1 : 0}});
        easel::hostState().hasPressure = device;
        host->drag({{kStart}, {{302, 300}, 0, pressure}});
        const AIRealPoint p = Seg(0).p;
        host->doc().undo();
        return p;
    }
};

TEST_F(PointDragPressure, WithTheOptionOnAndAPenThePressureScalesTheMove) {
    // d = (102, 0); at pressure 51 the points go 51 / 255 = a fifth of the way.
    EXPECT_FLOAT_EQ(AnchorAfter(true, true, 51).h, 100 + 102.0f / 5.0f);
    EXPECT_EQ(AnchorAfter(true, true, 255).h, 202);
    EXPECT_EQ(AnchorAfter(true, true, 0).h, 100);
}

TEST_F(PointDragPressure, WithoutTheOptionOrWithoutAPenPressureIsIgnored) {
    EXPECT_EQ(AnchorAfter(false, true, 51).h, 202);
    EXPECT_EQ(AnchorAfter(true, false, 51).h, 202);
}

} // namespace
} // namespace kestova_test
