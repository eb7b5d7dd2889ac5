// Restyling after the segments (random colours by kind, random swatches,
// width, opacity) and the trail of copies (above, beneath, new layers).
#include "KestovaHost.h"

#include "core/Random.h"

namespace kestova_test {
namespace {

constexpr AIRealPoint kStart{200, 300};
constexpr int32_t kModePopup = 12;
constexpr int32_t kTrail = 23, kTrailNewLayer = 24, kTrailBeneath = 25, kFillR = 29, kFillSwatchR = 30,
                  kStrokeR = 31, kStrokeSwatchR = 32, kWidthR = 33, kOpacityR = 34;

// Ten swatches: "[None]", "[Registration]", then eight greys 0.1 .. 0.8.
std::string TenSwatches() {
    std::string s = R"([{"name": "[None]", "color": {"kind": "none", "values": []}},
        {"name": "[Registration]", "color": {"kind": "cmyk", "values": [1, 1, 1, 1]}})";
    for (int i = 1; i <= 8; ++i)
        s += R"(, {"name": "Grey )" + std::to_string(i) + R"(", "color": {"kind": "gray", "values": [0.)" +
             std::to_string(i) + "]}}";
    return s + "]";
}

// The first seed from 1 whose first draw satisfies `wanted`.
int32_t SeedWhoseFirstDraw(bool (*wanted)(float)) {
    for (int32_t seed = 1;; ++seed)
        if (easel::Random random(seed); wanted(random.next())) return seed;
}

class PointDragStyle : public ::testing::Test {
protected:
    void Open(const std::string& path, int32_t seed, const std::string& swatches = "") {
        host.reset();
        host = std::make_unique<KestovaHost>(documentJson(path, swatches), seed);
    }
    const AIPathStyle& Style() { return host->art(1)->style(); }
    void DragOnce() { host->drag({{kStart}, {{230, 320}}}); }
    std::unique_ptr<KestovaHost> host;
};

TEST_F(PointDragStyle, RandomColoursFollowTheColourKind) {
    const int32_t seed = 9;
    // Fill RGB (0.2, 0.4, 0.6), stroke CMYK (0.1, 0.2, 0.3, 0.5).
    Open(pathJson(1, 1), seed);
    host->setOptions({{kFillR, 1}, {kStrokeR, 1}});
    DragOnce();
    easel::Random random(seed);
    float r[7];
    for (float& x : r) x = random.next();
    const AIPathStyle& s = Style();
    EXPECT_EQ(s.fill.color.kind, kThreeColor);
    EXPECT_EQ(s.fill.color.c[0], r[0]);
    EXPECT_EQ(s.fill.color.c[1], r[1]);
    EXPECT_EQ(s.fill.color.c[2], r[2]);
    EXPECT_EQ(s.stroke.color.kind, kFourColor);
    EXPECT_EQ(s.stroke.color.c[0], r[3]);
    EXPECT_EQ(s.stroke.color.c[1], r[4]);
    EXPECT_EQ(s.stroke.color.c[2], r[5]);
    EXPECT_EQ(s.stroke.color.c[3], 0.5f * r[6]); // black scaled, not replaced
}

TEST_F(PointDragStyle, GreyTakesOneDrawAndColourlessKindsNone) {
    const int32_t seed = 4;
    Open(R"({"id": 1, "type": "path", "selected": true, "segments": [[100, 120, 90, 125, 110, 115, 1]],
             "fill": {"paint": true, "color": {"kind": "gray", "values": [0.5]}},
             "stroke": {"paint": false, "color": {"kind": "none", "values": []}, "width": 1}})",
         seed);
    host->setOptions({{kFillR, 1}, {kStrokeR, 1}, {kWidthR, 1}, {kOpacityR, 1}});
    DragOnce();
    easel::Random random(seed);
    const float grey = random.next(), width = random.next(), opacity = random.next();
    EXPECT_EQ(Style().fill.color.c[0], grey);
    EXPECT_EQ(Style().stroke.color.kind, kNoneColor);
    EXPECT_FLOAT_EQ(Style().stroke.width, width * 10.0f);
    EXPECT_EQ(host->art(1)->opacity(), opacity);
}

class PointDragSwatches : public PointDragStyle {
protected:
    // A path with neither fill nor stroke painted.
    void OpenUnpainted(int32_t seed, const std::string& swatches) {
        Open(R"({"id": 1, "type": "path", "selected": true, "segments": [[100, 120, 90, 125, 110, 115, 1]],
                 "fill": {"paint": false, "color": {"kind": "none", "values": []}},
                 "stroke": {"paint": false, "color": {"kind": "none", "values": []}, "width": 1}})",
             seed, swatches);
    }
};

TEST_F(PointDragSwatches, ALowDrawPicksTheFirstColourSwatchNotNoneOrRegistration) {
    // With 10 swatches a draw below 0.1 gives n = 1, which becomes 2.
    OpenUnpainted(SeedWhoseFirstDraw([](float r) { return r < 0.1f; }), TenSwatches());
    host->setOptions({{kFillSwatchR, 1}});
    DragOnce();
    EXPECT_TRUE(Style().fillPaint);
    EXPECT_EQ(Style().fill.color.kind, kGrayColor);
    EXPECT_FLOAT_EQ(Style().fill.color.c[0], 0.1f);
    EXPECT_FALSE(Style().strokePaint);
}

TEST_F(PointDragSwatches, AHighDrawPicksTheLastSwatchNotOnePastTheEnd) {
    // A draw of 0.9 or more gives n = 10, one past the last swatch (9).
    OpenUnpainted(SeedWhoseFirstDraw([](float r) { return r >= 0.9f; }), TenSwatches());
    host->setOptions({{kStrokeSwatchR, 1}});
    DragOnce();
    EXPECT_TRUE(Style().strokePaint);
    EXPECT_EQ(Style().stroke.color.kind, kGrayColor);
    EXPECT_FLOAT_EQ(Style().stroke.color.c[0], 0.8f);
    EXPECT_FALSE(Style().fillPaint);
}

TEST_F(PointDragSwatches, AMiddleDrawPicksItsOwnSwatch) {
    // 0.5 <= r < 0.6 gives n = 6: "Grey 5".
    OpenUnpainted(SeedWhoseFirstDraw([](float r) { return r >= 0.5f && r < 0.6f; }), TenSwatches());
    host->setOptions({{kFillSwatchR, 1}});
    DragOnce();
    EXPECT_FLOAT_EQ(Style().fill.color.c[0], 0.5f);
}

TEST_F(PointDragSwatches, AListOfNoneAndRegistrationOnlyLeavesTheColour) {
    OpenUnpainted(1, R"([{"name": "[None]", "color": {"kind": "none", "values": []}},
                         {"name": "[Registration]", "color": {"kind": "cmyk", "values": [1, 1, 1, 1]}}])");
    host->setOptions({{kFillSwatchR, 1}});
    const auto results = host->drag({{kStart}, {{230, 320}}});
    EXPECT_EQ(results, std::vector<ASErr>{kNoErr});
    EXPECT_FALSE(Style().fillPaint);
    EXPECT_EQ(Style().fill.color.kind, kNoneColor);
}

class PointDragTrail : public PointDragStyle {
protected:
    void SetUp() override { Open(pathJson(1, 1), 1); }
    // Three events of mode 3 with the trail: each moves the path on by 10 points.
    void DragThree(const Settings& trail) {
        Settings settings{{kModePopup, 3}, {kTrail, 1}};
        settings.insert(settings.end(), trail.begin(), trail.end());
        host->setOptions(settings);
        host->drag({{kStart}, {{210, 300}}, {{220, 300}}, {{230, 300}}});
    }
    // The anchor's h of a copy or the path.
    static float AnchorH(easel::Art* a) { return a->segment(0).p.h; }
};

TEST_F(PointDragTrail, CopiesPileUpBelowThePath) {
    DragThree({});
    const auto layers = host->artByLayer();
    ASSERT_EQ(layers.size(), 1u);
    ASSERT_EQ(layers[0].size(), 4u);
    // Moves of 10, 20 and 30 from where the path already was: 110, 130, 160.
    EXPECT_EQ(AnchorH(layers[0][0]), 110);
    EXPECT_EQ(AnchorH(layers[0][1]), 130);
    EXPECT_EQ(AnchorH(layers[0][2]), 160);
    EXPECT_EQ(layers[0][3], host->art(1)); // the path itself on top
    EXPECT_EQ(AnchorH(layers[0][3]), 160);
    EXPECT_FALSE(layers[0][0]->selected());
}

TEST_F(PointDragTrail, BeneathPutsThePathAtTheBottomUnderTheCopies) {
    DragThree({{kTrailBeneath, 1}});
    const auto layers = host->artByLayer();
    ASSERT_EQ(layers.size(), 1u);
    ASSERT_EQ(layers[0].size(), 4u);
    EXPECT_EQ(layers[0][0], host->art(1));
    EXPECT_EQ(AnchorH(layers[0][1]), 160);
    EXPECT_EQ(AnchorH(layers[0][2]), 130);
    EXPECT_EQ(AnchorH(layers[0][3]), 110);
}

TEST_F(PointDragTrail, NewLayerOpensALayerOnTopAfterEveryEvent) {
    DragThree({{kTrailNewLayer, 1}});
    const auto layers = host->artByLayer();
    // Layer 1: the first copy; each new layer: the next copy, the path
    // following up; the last new layer is still empty.
    ASSERT_EQ(layers.size(), 4u);
    ASSERT_EQ(layers[0].size(), 1u);
    EXPECT_EQ(AnchorH(layers[0][0]), 110);
    ASSERT_EQ(layers[1].size(), 1u);
    EXPECT_EQ(AnchorH(layers[1][0]), 130);
    ASSERT_EQ(layers[2].size(), 2u);
    EXPECT_EQ(AnchorH(layers[2][0]), 160);
    EXPECT_EQ(layers[2][1], host->art(1));
    EXPECT_TRUE(layers[3].empty());
}

TEST_F(PointDragTrail, BeneathWinsOverNewLayer) {
    DragThree({{kTrailNewLayer, 1}, {kTrailBeneath, 1}});
    const auto layers = host->artByLayer();
    ASSERT_EQ(layers.size(), 1u);
    EXPECT_EQ(layers[0].size(), 4u);
}

TEST_F(PointDragTrail, TheWholeTrailIsOneUserStep) {
    DragThree({});
    ASSERT_TRUE(host->doc().undo());
    const auto layers = host->artByLayer();
    ASSERT_EQ(layers[0].size(), 1u);
    EXPECT_TRUE(SegmentIs(host->segment(1, 0), pathSegment(0)));
}

TEST_F(PointDragTrail, ALockedTrailLayerStopsTheEventWithItsError) {
    host->doc().setLayerLocked(host->doc().topLayer(), true);
    host->setOptions({{kModePopup, 3}, {kTrail, 1}});
    const auto results = host->drag({{kStart}, {{210, 300}}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NE(results[0], kNoErr);
}

} // namespace
} // namespace kestova_test
