// Modifier keys during a drag step the options of every tool by its rows;
// Alt pauses a trail, Ctrl carries the selection along.
#include "DragFixture.h"

namespace brivane_test {
namespace {

class ModifierKeys : public DragFixture {
protected:
    void SetUp() override {
        DragFixture::SetUp();
        Square(0, 0, 10);
    }
    // One drag of one event with the keys held.
    void Press(int tool, int32_t keys) { Drag(tool, {{0, 0}, {10, 10, keys}}); }
};

TEST_F(ModifierKeys, ShiftWalksTheDragCopiesAndEveryEventDrawsWithTheNewCount) {
    std::vector<Event> events{{0, 0}};
    for (int i = 1; i <= 32; ++i) events.push_back({static_cast<float>(3 * i), 0, kShift | (i % 2 ? kAlt : 0)});
    std::vector<int32_t> copies;
    std::vector<std::size_t> drawn;
    Drag(kDrag, events, [&](int) {
        copies.push_back(G().dragCopies);
        drawn.push_back(TopLevelArt().size());
    });
    std::vector<int32_t> expected;
    for (int c = 11; c <= 40; ++c) expected.push_back(c);
    expected.push_back(2);
    expected.push_back(3);
    EXPECT_EQ(copies, expected);
    EXPECT_EQ(drawn, std::vector<std::size_t>(expected.begin(), expected.end()));
}

TEST_F(ModifierKeys, ShiftAndAltWalkTheRowsColumnsColumns) {
    G().rcColumns = 39;
    std::vector<int32_t> seen;
    Drag(kRowsColumns, {{0, 0}, {1, 0, kShift | kAlt}, {2, 0, kShift | kAlt}, {3, 0, kShift | kAlt}},
         [&](int) { seen.push_back(G().rcColumns); });
    EXPECT_EQ(seen, (std::vector<int32_t>{40, 2, 3}));
    EXPECT_EQ(G().rcRows, 10);
}

// One row of the table: the tool, the keys, the field before and after one event.
struct RowCase {
    const char* name;
    int tool;
    int32_t keys;
    float BrivaneGlobals::* real;
    int32_t BrivaneGlobals::* integer;
    float before, after;
};
void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

class EveryToolsRows : public ModifierKeys, public ::testing::WithParamInterface<RowCase> {};

TEST_P(EveryToolsRows, StepsTheFieldAndWrapsPastItsLimit) {
    const RowCase& c = GetParam();
    if (c.real != nullptr)
        G().*c.real = c.before;
    else
        G().*c.integer = static_cast<int32_t>(c.before);
    Press(c.tool, c.keys);
    if (c.real != nullptr)
        EXPECT_FLOAT_EQ(G().*c.real, c.after);
    else
        EXPECT_EQ(G().*c.integer, static_cast<int32_t>(c.after));
}

using G_ = BrivaneGlobals;
const RowCase kRowCases[] = {
    {"RowsColumnsRows", kRowsColumns, kShift, nullptr, &G_::rcRows, 10, 11},
    {"RowsColumnsRotation", kRowsColumns, kCtrl, &G_::rcRotation, nullptr, 360, 0},
    {"RowsColumnsCtrlBeforeAlt", kRowsColumns, kCtrl | kAlt, &G_::rcRotation, nullptr, 10, 15},
    {"DragCopiesIgnoresAlt", kDrag, kShift | kAlt, nullptr, &G_::dragCopies, 40, 2},
    {"SoftCopies", kSoftCenter, kShift | kAlt, nullptr, &G_::softCopies, 10, 11},
    {"SoftGapPoints", kSoftCenter, kShift, &G_::softGap, nullptr, 98, -100},
    {"FramedRotation", kFramed, kShift | kAlt, &G_::frameRotation, nullptr, 5, 10},
    {"FramedWidth", kFramed, kShift, nullptr, &G_::frameCopiesWide, 40, 2},
    {"FramedHeight", kFramed, kShift, nullptr, &G_::frameCopiesHigh, 10, 11},
    {"FramedJitter", kFramed, kCtrl, &G_::frameJitter, nullptr, 200, 0},
    {"RimCopies", kRimRandom, kShift | kAlt, nullptr, &G_::rimCopies, 10, 11},
    {"WindmillRotation", kWindmill, kShift | kAlt, &G_::windmillRotation, nullptr, 0, 5},
    {"WindmillCopies", kWindmill, kShift, nullptr, &G_::windmillCopies, 10, 11},
    {"WindmillAltShift", kWindmill, kCtrl | kAlt, &G_::windmillAltShift, nullptr, 200, 0},
    {"WindmillRotateFactor", kWindmill, kCtrl, &G_::windmillRotateFactor, nullptr, 200, -100},
    {"ScaledownScaleH", kScaledown, kShift | kAlt, &G_::scaledownScaleH, nullptr, 30, 100},
    {"ScaledownScaleV", kScaledown, kShift | kAlt, &G_::scaledownScaleV, nullptr, 90, 89},
    {"ScaledownCopies", kScaledown, kShift, nullptr, &G_::scaledownCopies, 10, 11},
    {"ScaledownTwists", kScaledown, kCtrl, nullptr, &G_::scaledownTwists, 20, 0},
    {"BounceScale", kBouncealong, kShift | kAlt, &G_::bounceScale, nullptr, 30, 100},
    {"BounceCopies", kBouncealong, kShift, nullptr, &G_::bounceCopies, 10, 11},
    {"BounceBounces", kBouncealong, kCtrl, nullptr, &G_::bounceBounces, 20, 1},
    {"SpiralRotation", kSpiraled, kShift | kAlt, &G_::spiralRotation, nullptr, 358, 0},
    {"SpiralCopies", kSpiraled, kShift, nullptr, &G_::spiralCopies, 10, 11},
    {"SpiralArms", kSpiraled, kCtrl, nullptr, &G_::spiralArms, 30, 1},
    {"CheckerColumns", kCheckerboard, kShift | kAlt, nullptr, &G_::checkerColumns, 10, 11},
    {"CheckerRows", kCheckerboard, kShift, nullptr, &G_::checkerRows, 40, 2},
    {"CheckerRotation", kCheckerboard, kCtrl, &G_::checkerRotation, nullptr, 0, 5},
    {"PaintScaleH", kPaint, kShift | kAlt, &G_::paintScaleH, nullptr, 100, 99.99f},
    {"PaintScaleWraps", kPaint, kShift, &G_::paintScaleV, nullptr, 1.005f, 100},
    {"PaintJitter", kPaint, kCtrl, &G_::paintJitter, nullptr, 30, 0},
    {"BackgroundCopies", kBackground, kShift, nullptr, &G_::backCopies, 40, 2},
};

INSTANTIATE_TEST_SUITE_P(Table, EveryToolsRows, ::testing::ValuesIn(kRowCases),
                         [](const auto& rowCase) { return std::string(rowCase.param.name); });

TEST_F(ModifierKeys, SoftCenterGapStepsByOneInCentimetres) {
    G().softGapUnit = 1;
    G().softGap = 3;
    Press(kSoftCenter, kShift);
    EXPECT_FLOAT_EQ(G().softGap, 4.0f);
}

TEST_F(ModifierKeys, AltPausesATrailButNotAFreshArrangement) {
    G().dragTrail = 1;
    Drag(kDrag, {{0, 0}, {10, 0, kAlt}, {20, 0, kAlt}});
    EXPECT_EQ(TopLevelArt().size(), 1u) << "nothing drawn while paused";
    // With Slowdown 1 the first event is held back; a paused event still
    // counts for the gate, so the event after it draws.
    G().slowdown = 1;
    Drag(kDrag, {{0, 0}, {10, 0, kAlt}, {20, 0, kAlt}, {30, 0}});
    EXPECT_EQ(TopLevelArt().size(), 10u) << "paused events still count";
    G().slowdown = 0;
    doc->undo();
    G().dragTrail = 0;
    Drag(kDrag, {{0, 0}, {10, 0, kAlt}});
    EXPECT_EQ(TopLevelArt().size(), 10u);
}

TEST_F(ModifierKeys, CtrlWithTrailCarriesTheSelectionAlong) {
    G().dragTrail = 1;
    Art* object = TopLevelArt().front();
    Drag(kDrag, {{0, 0}, {10, 0, kCtrl}, {25, 5, kCtrl}});
    ASSERT_EQ(TopLevelArt().size(), 1u) << "carrying draws nothing";
    EXPECT_FLOAT_EQ(Centre(object).h, 30.0f);
    EXPECT_FLOAT_EQ(Centre(object).v, 10.0f);
    EXPECT_TRUE(Tagged(object));
    // Without Trail, Ctrl does nothing special: the row is drawn.
    G().dragTrail = 0;
    Drag(kDrag, {{0, 0}, {9, 0, kCtrl}});
    EXPECT_EQ(TopLevelArt().size(), 10u);
}

TEST_F(ModifierKeys, PaintCountsEventsThatReachTheLayoutAndTileWorksOnTwoByTwo) {
    Drag(kPaint, {{0, 0}, {1, 0}, {2, 0}, {3, 0, kAlt}});
    EXPECT_EQ(G().paintEventCount, 2) << "Paint's trail is always on, so Alt pauses";
    Drag(kTile, {{0, 0}, {1, 0}});
    EXPECT_EQ(G().tileRows, 2.0f);
    EXPECT_EQ(G().tileColumns, 2.0f);
}

} // namespace
} // namespace brivane_test
