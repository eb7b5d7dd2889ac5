// The eleven modes, the component gates and the source variants, each on a
// known path dragged from S = (200, 300) to E, with exact positions.
#include "KestovaHost.h"

namespace kestova_test {
namespace {

constexpr AIRealPoint kStart{200, 300};
constexpr AIRealPoint kCursor{250, 100}; // d = (50, -200): the factors 0.5 and -2 are exact
constexpr int32_t kModePopup = 12;

// Item ids of the check boxes used below.
constexpr int32_t kLocked = 3, kPreSwap = 6, kSwap = 5, kHorizontal = 8, kVertical = 9, kApplyIn = 10,
                  kApplyOut = 11;

struct ModeCase {
    int mode;
    AIPathSegment first;  // segment 0 after the drag (from P (100, 120), IN (90, 125), OUT (110, 115))
    AIPathSegment second; // segment 1 (from P (150, 130), IN (140, 135), OUT (160, 125))
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << "mode " << c.mode; }

class PointDragMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(PointDragMode, MovesAnchorsAndHandlesToTheirComputedPlaces) {
    const ModeCase& c = GetParam();
    KestovaHost host(documentJson(pathJson(1, 2)));
    host.setOptions({{kModePopup, c.mode}});
    host.drag({{kStart}, {kCursor}});
    EXPECT_TRUE(SegmentIs(host.segment(1, 0), c.first));
    EXPECT_TRUE(SegmentIs(host.segment(1, 1), c.second));
}

// Anchor, in-direction point, out-direction point.
constexpr AIPathSegment Seg(AIRealPoint p, AIRealPoint in, AIRealPoint out) { return {p, in, out, 1}; }

INSTANTIATE_TEST_SUITE_P(
    AllModes, PointDragMode,
    ::testing::Values(
        // 0: OUT to the cursor, IN to the start.
        ModeCase{0, Seg({100, 120}, {200, 300}, {250, 100}), Seg({150, 130}, {200, 300}, {250, 100})},
        // 1: both handles to the cursor.
        ModeCase{1, Seg({100, 120}, {250, 100}, {250, 100}), Seg({150, 130}, {250, 100}, {250, 100})},
        // 2: the anchor to the cursor; the handles keep their absolute places.
        ModeCase{2, Seg({250, 100}, {90, 125}, {110, 115}), Seg({250, 100}, {140, 135}, {160, 125})},
        // 3: the anchor moved by d.
        ModeCase{3, Seg({150, -80}, {90, 125}, {110, 115}), Seg({200, -70}, {140, 135}, {160, 125})},
        // 4: both handles moved by d.
        ModeCase{4, Seg({100, 120}, {140, -75}, {160, -85}), Seg({150, 130}, {190, -65}, {210, -75})},
        // 5: handle offsets times (0.5, -2).
        ModeCase{5, Seg({100, 120}, {95, 110}, {105, 130}), Seg({150, 130}, {145, 120}, {155, 140})},
        // 6: the anchor moved by d, the handles to the page corner.
        ModeCase{6, Seg({150, -80}, {0, 0}, {0, 0}), Seg({200, -70}, {0, 0}, {0, 0})},
        // 7: the anchor moved by d, the handles to the document centre (300, 400).
        ModeCase{7, Seg({150, -80}, {300, 400}, {300, 400}), Seg({200, -70}, {300, 400}, {300, 400})},
        // 8: the anchor to the corner, the handles moved by d.
        ModeCase{8, Seg({0, 0}, {140, -75}, {160, -85}), Seg({0, 0}, {190, -65}, {210, -75})},
        // 9: the anchor to the centre, the handles moved by d.
        ModeCase{9, Seg({300, 400}, {140, -75}, {160, -85}), Seg({300, 400}, {190, -65}, {210, -75})},
        // 10: OUT to the start, IN to the cursor.
        ModeCase{10, Seg({100, 120}, {250, 100}, {200, 300}), Seg({150, 130}, {250, 100}, {200, 300})}));

// Gates and variants on segment 0 (P (100, 120), IN (90, 125), OUT (110, 115)),
// dragged from (200, 300) to (250, 60): d = (50, -240).
struct GateCase {
    const char* name;
    Settings settings;
    AIPathSegment expected;
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class PointDragGates : public ::testing::TestWithParam<GateCase> {};

TEST_P(PointDragGates, LeaveSegmentZeroWhereTheGateSays) {
    KestovaHost host(documentJson(pathJson(1, 1)));
    host.setOptions(GetParam().settings);
    host.drag({{kStart}, {{250, 60}}});
    EXPECT_TRUE(SegmentIs(host.segment(1, 0), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PointDragGates,
    ::testing::Values(
        GateCase{"SwapTakesTheSourcesVerticalForHorizontal", {{kModePopup, 2}, {kSwap, 1}},
                 Seg({60, 250}, {90, 125}, {110, 115})},
        GateCase{"LockedTakesTheSourcesVerticalForBoth", {{kModePopup, 2}, {kLocked, 1}},
                 Seg({60, 60}, {90, 125}, {110, 115})},
        GateCase{"LockedWinsOverSwap", {{kModePopup, 2}, {kLocked, 1}, {kSwap, 1}},
                 Seg({60, 60}, {90, 125}, {110, 115})},
        GateCase{"HorizontalOffKeepsEveryHorizontalComponent", {{kModePopup, 2}, {kHorizontal, 0}},
                 Seg({100, 60}, {90, 125}, {110, 115})},
        GateCase{"VerticalOffKeepsEveryVerticalComponent", {{kModePopup, 1}, {kVertical, 0}},
                 Seg({100, 120}, {250, 125}, {250, 115})},
        // Mode 6 with the horizontal gate closed: the anchor moves down by
        // 240, the handles go to the corner's vertical only.
        GateCase{"FixedPointsAreSetOnlyInTheOpenComponents", {{kModePopup, 6}, {kHorizontal, 0}},
                 Seg({100, -120}, {90, 0}, {110, 0})},
        GateCase{"ApplyInOffKeepsTheInDirectionPoint", {{kModePopup, 1}, {kApplyIn, 0}},
                 Seg({100, 120}, {90, 125}, {250, 60})},
        GateCase{"ApplyOutOffKeepsTheOutDirectionPoint", {{kModePopup, 1}, {kApplyOut, 0}},
                 Seg({100, 120}, {250, 60}, {110, 115})},
        GateCase{"TheAnchorIgnoresTheApplyGates", {{kModePopup, 3}, {kApplyIn, 0}, {kApplyOut, 0}},
                 Seg({150, -120}, {90, 125}, {110, 115})},
        // d read as (-240, 50).
        GateCase{"SwapAppliesToTheDragVector", {{kModePopup, 4}, {kSwap, 1}},
                 Seg({100, 120}, {-150, 175}, {-130, 165})},
        // The anchor moves by the swapped d; the handles go to (300, 400), not (400, 300).
        GateCase{"TheDocumentCentreIsTakenAsItIs", {{kModePopup, 7}, {kSwap, 1}},
                 Seg({-140, 170}, {300, 400}, {300, 400})},
        // IN starts from the old OUT (110, 115), OUT from the old IN (90, 125).
        GateCase{"PreSwapExchangesTheHandlesBeforeTheMode", {{kModePopup, 4}, {kPreSwap, 1}},
                 Seg({100, 120}, {160, -125}, {140, -115})},
        GateCase{"PreSwapAloneExchangesTheHandles", {{kModePopup, 3}, {kPreSwap, 1}},
                 Seg({150, -120}, {110, 115}, {90, 125})}),
    [](const auto& gate) { return std::string(gate.param.name); });

TEST(PointDragFactor, ANegativeDragFlipsTheHandles) {
    // From (200, 300) to (100, 200): d = (-100, -100), offsets times -1.
    KestovaHost host(documentJson(pathJson(1, 1)));
    host.setOptions({{kModePopup, 5}});
    host.drag({{kStart}, {{100, 200}}});
    EXPECT_TRUE(SegmentIs(host.segment(1, 0), {100, 120}, {110, 115}, {90, 125}));
}

} // namespace
} // namespace kestova_test
