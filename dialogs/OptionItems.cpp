// The item tables of Brivane's option dialogs: the shared rows and buttons,
// then each tool's own items. Rectangles are left, top, right, bottom in
// pixels; every popup entry's id is its index.
#include "OptionItems.h"

namespace brivane::dialogs {

namespace {

constexpr FieldRef kNoField{nullptr, nullptr};

constexpr ItemSpec Label(ASInt32 id, ASRect rect, const char* text) {
    return {id, ItemKind::Label, rect, text, kNoField, 0, 0, false, nullptr, false};
}
constexpr ItemSpec Button(ASInt32 id, ASRect rect, const char* text) {
    return {id, ItemKind::Button, rect, text, kNoField, 0, 0, false, nullptr, false};
}
constexpr ItemSpec IntSpin(ASInt32 id, ASRect rect, ASInt32 BrivaneGlobals::*field, double min, double max) {
    return {id, ItemKind::IntSpin, rect, nullptr, {field, nullptr}, min, max, false, nullptr, false};
}
constexpr ItemSpec SwatchSpin(ASInt32 id, ASRect rect, ASInt32 BrivaneGlobals::*field) {
    return {id, ItemKind::IntSpin, rect, nullptr, {field, nullptr}, 0, 0, true, nullptr, false};
}
constexpr ItemSpec RealSpin(ASInt32 id, ASRect rect, AIReal BrivaneGlobals::*field, double min, double max) {
    return {id, ItemKind::RealSpin, rect, nullptr, {nullptr, field}, min, max, false, nullptr, false};
}
constexpr ItemSpec Check(ASInt32 id, ASRect rect, const char* text, ASInt32 BrivaneGlobals::*field) {
    return {id, ItemKind::CheckBox, rect, text, {field, nullptr}, 0, 0, false, nullptr, false};
}
constexpr ItemSpec Popup(ASInt32 id, ASRect rect, ASInt32 BrivaneGlobals::*field, const EntryList& entries) {
    return {id, ItemKind::Popup, rect, nullptr, {field, nullptr}, 0, 0, false, &entries, false};
}
// A popup created empty whose entries come at the end of the init procedure.
constexpr ItemSpec LatePopup(ASInt32 id, ASRect rect, ASInt32 BrivaneGlobals::*field, const EntryList& entries) {
    return {id, ItemKind::Popup, rect, nullptr, {field, nullptr}, 0, 0, false, &entries, true};
}

constexpr int kSingle = 0; // first > last: the run is one entry
constexpr EntryRun One(const char* text) { return {text, kSingle + 1, kSingle, ""}; }
constexpr EntryRun Numbered(const char* prefix, int first, int last, const char* suffix = "") {
    return {prefix, first, last, suffix};
}

template <int N>
constexpr EntryList List(const EntryRun (&runs)[N]) {
    return {runs, N};
}

// ---- shared popups ----

constexpr EntryRun kFillModeRuns[] = {
    One(" Fill color - Ignore"), One(" To white"),         One(" To black"),
    One(" Random colors"),       One(" Random swatches"),  One(" To white / midpoint"),
    One(" To swatch"),           One(" To half color"),    One(" To inverted"),
    One(" Alternate white"),     One(" Alternate black"),  One(" Alternate swatch"),
    One(" Alternate inverted"),  One(" To half color inverted"), One(" 10% reduction"),
};
constexpr EntryRun kStrokeModeRuns[] = {
    One(" Stroke color - Ignore"), One(" To white"),         One(" To black"),
    One(" Random colors"),         One(" Random swatches"),  One(" To white / midpoint"),
    One(" To swatch"),             One(" To half color"),    One(" To inverted"),
    One(" Alternate white"),       One(" Alternate black"),  One(" Alternate swatch"),
    One(" Alternate inverted"),    One(" To half color inverted"), One(" 10% reduction"),
};
constexpr EntryRun kPatternRuns[] = {
    One(" Pattern / tile - Ignore"), One(" Use document center"), One(" Use end point"),
    One(" Use start point"),         One(" Use original path"),
};
constexpr EntryRun kLineWidthRuns[] = {
    One(" Scaling line width - ignore"), One(" Standard scaling of stroke width"), One(" Alternate scaling"),
};
constexpr EntryRun kPlacementRuns[] = {
    One(" Place above"), One(" Place beneath"), One(" Alternate 1"), One(" Alternate 2"), One(" Random 1"),
    Numbered(" Alternate ", 1, 12, "/path"),
};

constexpr EntryList kFillModeEntries = List(kFillModeRuns);
constexpr EntryList kStrokeModeEntries = List(kStrokeModeRuns);
constexpr EntryList kPatternEntries = List(kPatternRuns);
constexpr EntryList kLineWidthEntries = List(kLineWidthRuns);
constexpr EntryList kPlacementEntries = List(kPlacementRuns);

// ---- tool popups ----

constexpr EntryRun kCheckerboardRuns[] = {One(" Ignore checkerboard"), Numbered(" Check ", 1, 9)};
constexpr EntryRun kTurnRuns[] = {One(" Ignore turn"), Numbered(" Turn ", 1, 4)};
constexpr EntryRun kHApplyRuns[] = {One(" Default horizontal apply"), Numbered(" Apply ", 1, 42)};
constexpr EntryRun kVApplyRuns[] = {One(" Default vertical apply"), Numbered(" Apply ", 1, 42)};
constexpr EntryRun kGapUnitRuns[] = {
    One(" Initial gap in points"), One(" Initial gap in centimetres"), One(" Initial gap in inches"),
};
constexpr EntryRun kEdgeRuns[] = {
    One(" Edge - Default"), One(" Edge - Turn 1"), One(" Edge - Turn 2"), One(" Edge - Flip"),
    One(" Edge - Randomized"),
};
constexpr EntryRun kUnitRuns[] = {
    One(" Measurements in points"), One(" Measurements in centimetres"), One(" Measurements in inches"),
};
constexpr EntryRun kWindmillApplyRuns[] = {One(" Default apply"), Numbered(" Apply ", 1, 55)};
constexpr EntryRun kScaledownApplyRuns[] = {
    One(" Default apply"),
    Numbered(" Apply ", 1, 16),
    Numbered(" Apply ", 17, 18, " (scale swap)"),
    Numbered(" Apply ", 19, 31),
};

constexpr EntryList kCheckerboardEntries = List(kCheckerboardRuns);
constexpr EntryList kTurnEntries = List(kTurnRuns);
constexpr EntryList kHApplyEntries = List(kHApplyRuns);
constexpr EntryList kVApplyEntries = List(kVApplyRuns);
constexpr EntryList kGapUnitEntries = List(kGapUnitRuns);
constexpr EntryList kEdgeEntries = List(kEdgeRuns);
constexpr EntryList kUnitEntries = List(kUnitRuns);
constexpr EntryList kWindmillApplyEntries = List(kWindmillApplyRuns);
constexpr EntryList kScaledownApplyEntries = List(kScaledownApplyRuns);

// ---- the rows and buttons of every dialog ----

constexpr ItemSpec kSharedItems[] = {
    Popup(10, {10, 280, 180, 300}, &BrivaneGlobals::fillMode, kFillModeEntries),
    SwatchSpin(12, {190, 280, 250, 300}, &BrivaneGlobals::fillSwatch),
    IntSpin(16, {260, 280, 320, 300}, &BrivaneGlobals::fillPeriod, 0, 1000),
    Popup(11, {10, 310, 180, 330}, &BrivaneGlobals::strokeMode, kStrokeModeEntries),
    SwatchSpin(13, {190, 310, 250, 330}, &BrivaneGlobals::strokeSwatch),
    IntSpin(17, {260, 310, 320, 330}, &BrivaneGlobals::strokePeriod, 0, 1000),
    Popup(15, {10, 340, 180, 360}, &BrivaneGlobals::patternCentre, kPatternEntries),
    Popup(18, {190, 340, 330, 360}, &BrivaneGlobals::lineWidthMode, kLineWidthEntries),
    Popup(6, {10, 370, 180, 390}, &BrivaneGlobals::placement, kPlacementEntries),
    Label(319, {10, 400, 185, 420}, "Slowdown"),
    IntSpin(9, {190, 400, 250, 420}, &BrivaneGlobals::slowdown, 0, 300),
    Check(8, {10, 430, 190, 444}, "Blend [R]", &BrivaneGlobals::randomBlend),
    Check(7, {191, 430, 370, 444}, "Opacity [R]", &BrivaneGlobals::randomOpacity),
    Check(5, {10, 447, 190, 461}, "Pressure", &BrivaneGlobals::usePressure),
    Check(4, {191, 447, 370, 461}, "Layer", &BrivaneGlobals::layerPerEvent),
    Check(14, {191, 464, 370, 478}, "Width [R]", &BrivaneGlobals::randomWidth),
    Button(1, {260, 10, 340, 30}, "OK"),
    Button(2, {260, 40, 340, 60}, "Cancel"),
    Button(3, {260, 70, 340, 90}, "Reset"),
};

// ---- each tool's own items ----

// Rows Columns (tool 0).
constexpr ItemSpec kRowsColumnsItems[] = {
    Label(310, {10, 10, 185, 30}, "Columns"),
    Label(311, {10, 32, 185, 52}, "Rows"),
    Label(312, {10, 54, 185, 74}, "Rotation (o)"),
    Label(313, {10, 76, 185, 96}, "Jitter (p)"),
    IntSpin(20, {190, 10, 250, 30}, &BrivaneGlobals::rcColumns, 1, 300),
    IntSpin(21, {190, 32, 250, 52}, &BrivaneGlobals::rcRows, 1, 300),
    RealSpin(22, {190, 54, 250, 74}, &BrivaneGlobals::rcRotation, -360, 360),
    RealSpin(23, {190, 76, 250, 96}, &BrivaneGlobals::rcJitter, 0, 1000),
    Popup(32, {10, 104, 180, 124}, &BrivaneGlobals::rcCheckerboard, kCheckerboardEntries),
    Popup(35, {190, 104, 330, 124}, &BrivaneGlobals::rcTurn, kTurnEntries),
    Popup(33, {10, 134, 180, 154}, &BrivaneGlobals::rcHApply, kHApplyEntries),
    Popup(34, {190, 134, 330, 154}, &BrivaneGlobals::rcVApply, kVApplyEntries),
    Check(24, {10, 162, 190, 176}, "Selected", &BrivaneGlobals::rcSelected),
    Check(25, {191, 162, 370, 176}, "Locked", &BrivaneGlobals::rcLocked),
    Check(26, {10, 179, 190, 193}, "Trail", &BrivaneGlobals::rcTrail),
    Check(27, {191, 179, 370, 193}, "Touch", &BrivaneGlobals::rcTouch),
    Check(28, {10, 196, 190, 210}, "Warp [R]", &BrivaneGlobals::rcWarp),
    Check(29, {191, 196, 370, 210}, "Create [R]", &BrivaneGlobals::rcCreate),
    Check(30, {10, 213, 190, 227}, "Rotation [R]", &BrivaneGlobals::rcRotationR),
    Check(31, {191, 213, 370, 227}, "Box", &BrivaneGlobals::rcBox),
    Check(36, {10, 230, 191, 244}, "Locked golden (h) ", &BrivaneGlobals::rcGoldenH),
    Check(37, {191, 230, 370, 244}, "Locked golden (v) ", &BrivaneGlobals::rcGoldenV),
};

// Drag (tool 1).
constexpr ItemSpec kDragItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Rotation (o)"),
    Label(312, {10, 54, 185, 74}, "Jitter (p) (Horz)"),
    Label(313, {10, 76, 185, 96}, "Jitter (p) (Vert)"),
    IntSpin(38, {190, 10, 250, 30}, &BrivaneGlobals::dragCopies, 2, 500),
    RealSpin(39, {190, 32, 250, 52}, &BrivaneGlobals::dragRotation, -360, 360),
    RealSpin(40, {190, 54, 250, 74}, &BrivaneGlobals::dragJitterH, 0, 1000),
    RealSpin(41, {190, 76, 250, 96}, &BrivaneGlobals::dragJitterV, 0, 1000),
    Check(42, {10, 100, 190, 114}, "Selected", &BrivaneGlobals::dragSelected),
    Check(43, {191, 100, 370, 114}, "Locked", &BrivaneGlobals::dragLocked),
    Check(44, {10, 117, 190, 131}, "Trail", &BrivaneGlobals::dragTrail),
    Check(45, {191, 117, 370, 131}, "Warp [R]", &BrivaneGlobals::dragWarp),
    Check(46, {10, 134, 190, 148}, "Create [R]", &BrivaneGlobals::dragCreate),
};

// Soft center (tool 2).
constexpr ItemSpec kSoftCenterItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Initial gap (p)"),
    Label(312, {10, 54, 185, 74}, "Jitter (p)"),
    IntSpin(50, {190, 10, 250, 30}, &BrivaneGlobals::softCopies, 2, 500),
    RealSpin(55, {190, 32, 250, 52}, &BrivaneGlobals::softGap, -200, 200),
    RealSpin(51, {190, 54, 250, 74}, &BrivaneGlobals::softJitter, 0, 1000),
    Popup(56, {10, 80, 185, 100}, &BrivaneGlobals::softGapUnit, kGapUnitEntries),
    Check(57, {10, 105, 190, 119}, "Locked", &BrivaneGlobals::softLocked),
    Check(58, {191, 105, 370, 119}, "Trail", &BrivaneGlobals::softTrail),
    Check(59, {10, 122, 190, 136}, "Warp [R]", &BrivaneGlobals::softWarp),
    Check(60, {191, 122, 370, 136}, "Create [R]", &BrivaneGlobals::softCreate),
};

// Framed (tool 3).
constexpr ItemSpec kFramedItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies / width"),
    Label(311, {10, 32, 185, 52}, "Copies / height"),
    Label(312, {10, 54, 185, 74}, "Rotation (o)"),
    Label(313, {10, 76, 185, 96}, "Jitter (p)"),
    Label(315, {10, 98, 185, 118}, "Scale (%)"),
    IntSpin(70, {190, 10, 250, 30}, &BrivaneGlobals::frameCopiesWide, 2, 300),
    IntSpin(71, {190, 32, 250, 52}, &BrivaneGlobals::frameCopiesHigh, 2, 300),
    RealSpin(72, {190, 54, 250, 74}, &BrivaneGlobals::frameRotation, -360, 360),
    RealSpin(73, {190, 76, 250, 96}, &BrivaneGlobals::frameJitter, 0, 1000),
    RealSpin(75, {190, 98, 250, 118}, &BrivaneGlobals::frameScale, 3, 120),
    Popup(79, {10, 125, 250, 145}, &BrivaneGlobals::frameEdge, kEdgeEntries),
    Check(74, {10, 150, 190, 164}, "Selected", &BrivaneGlobals::frameSelected),
    Check(77, {191, 150, 370, 164}, "Locked", &BrivaneGlobals::frameLocked),
    Check(78, {10, 167, 190, 181}, "Trail", &BrivaneGlobals::frameTrail),
    Check(76, {191, 167, 370, 181}, "Delete", &BrivaneGlobals::frameDelete),
    Check(80, {10, 184, 190, 198}, "Warp [R]", &BrivaneGlobals::frameWarp),
    Check(81, {191, 184, 370, 198}, "Create [R]", &BrivaneGlobals::frameCreate),
};

// Rim random (tool 4).
constexpr ItemSpec kRimRandomItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Scale (% Min)"),
    Label(312, {10, 54, 185, 74}, "Scale (% Max)"),
    Label(313, {10, 76, 185, 96}, "Jitter (p)"),
    IntSpin(90, {190, 10, 250, 30}, &BrivaneGlobals::rimCopies, 2, 300),
    RealSpin(91, {190, 32, 250, 52}, &BrivaneGlobals::rimScaleMin, 3, 200),
    RealSpin(92, {190, 54, 250, 74}, &BrivaneGlobals::rimScaleMax, 3, 200),
    RealSpin(93, {190, 76, 250, 96}, &BrivaneGlobals::rimJitter, 0, 1000),
    Check(94, {10, 100, 190, 114}, "Selected", &BrivaneGlobals::rimSelected),
    Check(96, {191, 100, 370, 114}, "Locked", &BrivaneGlobals::rimLocked),
    Check(97, {10, 117, 190, 131}, "Trail", &BrivaneGlobals::rimTrail),
    Check(98, {191, 117, 370, 131}, "Warp [R]", &BrivaneGlobals::rimWarp),
    Check(95, {10, 134, 190, 148}, "Apply", &BrivaneGlobals::rimApply),
    Check(99, {191, 134, 370, 148}, "Rotation [R]", &BrivaneGlobals::rimRotate),
};

// Windmill (tool 5).
constexpr ItemSpec kWindmillItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Rotation (o)"),
    Label(312, {10, 54, 185, 74}, "Scale (%)"),
    Label(313, {10, 76, 185, 96}, "Alt. shift (p)"),
    Label(314, {10, 98, 185, 118}, "Initial (p)/scale(%)"),
    Label(315, {10, 120, 185, 140}, "Jitter (p)"),
    Label(316, {10, 142, 185, 162}, "Rotate factor(%)"),
    IntSpin(110, {190, 10, 250, 30}, &BrivaneGlobals::windmillCopies, 2, 300),
    RealSpin(113, {190, 32, 250, 52}, &BrivaneGlobals::windmillRotation, -360, 360),
    RealSpin(119, {190, 54, 250, 74}, &BrivaneGlobals::windmillScale, -120, 120),
    RealSpin(116, {190, 76, 250, 96}, &BrivaneGlobals::windmillAltShift, -500, 500),
    RealSpin(123, {190, 98, 250, 118}, &BrivaneGlobals::windmillInitial, 0, 1000),
    RealSpin(124, {260, 98, 320, 118}, &BrivaneGlobals::windmillInitialScale, 3, 110),
    RealSpin(114, {190, 120, 250, 140}, &BrivaneGlobals::windmillJitter, 0, 1000),
    RealSpin(128, {190, 142, 250, 162}, &BrivaneGlobals::windmillRotateFactor, -1000, 1000),
    LatePopup(117, {10, 170, 160, 190}, &BrivaneGlobals::windmillUnits, kUnitEntries),
    LatePopup(118, {165, 170, 315, 190}, &BrivaneGlobals::windmillApply, kWindmillApplyEntries),
    Check(111, {10, 200, 190, 214}, "Selected", &BrivaneGlobals::windmillSelected),
    Check(120, {191, 200, 370, 214}, "Delete", &BrivaneGlobals::windmillDelete),
    Check(112, {10, 217, 190, 231}, "Align", &BrivaneGlobals::windmillAlign),
    Check(121, {191, 217, 370, 231}, "Match", &BrivaneGlobals::windmillMatch),
    Check(122, {10, 234, 190, 248}, "Trail", &BrivaneGlobals::windmillTrail),
    Check(125, {191, 234, 370, 248}, "Warp [R]", &BrivaneGlobals::windmillWarp),
    Check(126, {10, 251, 190, 265}, "Create [R]", &BrivaneGlobals::windmillCreate),
    Check(127, {191, 251, 370, 265}, "Object-copies", &BrivaneGlobals::windmillObjectCopies),
};

// Scaledown (tool 6).
constexpr ItemSpec kScaledownItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Scale (% Horz)"),
    Label(312, {10, 54, 185, 74}, "Scale (% Vert)"),
    Label(313, {10, 76, 185, 96}, "Jitter (p)"),
    Label(314, {10, 98, 185, 118}, "Twists"),
    Label(315, {10, 120, 185, 140}, "Opacity fade (%)"),
    Label(316, {10, 142, 185, 162}, "Turn (o)"),
    IntSpin(140, {190, 10, 250, 30}, &BrivaneGlobals::scaledownCopies, 2, 500),
    RealSpin(142, {190, 32, 250, 52}, &BrivaneGlobals::scaledownScaleH, -120, 120),
    RealSpin(143, {190, 54, 250, 74}, &BrivaneGlobals::scaledownScaleV, -120, 120),
    RealSpin(145, {190, 76, 250, 96}, &BrivaneGlobals::scaledownJitter, 0, 1000),
    IntSpin(144, {190, 98, 250, 118}, &BrivaneGlobals::scaledownTwists, 0, 50),
    RealSpin(152, {190, 120, 250, 140}, &BrivaneGlobals::scaledownOpacityFade, 0, 200),
    RealSpin(154, {190, 142, 250, 162}, &BrivaneGlobals::scaledownTurn, -360, 360),
    Popup(153, {10, 166, 185, 186}, &BrivaneGlobals::scaledownApply, kScaledownApplyEntries),
    Check(141, {10, 192, 190, 206}, "Selected", &BrivaneGlobals::scaledownSelected),
    Check(147, {191, 192, 370, 206}, "Locked", &BrivaneGlobals::scaledownLocked),
    Check(148, {10, 209, 190, 223}, "Trail", &BrivaneGlobals::scaledownTrail),
    Check(150, {191, 209, 370, 223}, "Warp [R]", &BrivaneGlobals::scaledownWarp),
    Check(151, {10, 226, 190, 240}, "Create [R]", &BrivaneGlobals::scaledownCreate),
    Check(155, {191, 226, 370, 240}, "Object-copies", &BrivaneGlobals::scaledownObjectCopies),
};

// Bouncealong (tool 7).
constexpr ItemSpec kBouncealongItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Scale (%)"),
    Label(312, {10, 54, 185, 74}, "Jitter (p)"),
    Label(314, {10, 76, 185, 96}, "Bounce"),
    IntSpin(180, {190, 10, 250, 30}, &BrivaneGlobals::bounceCopies, 2, 500),
    RealSpin(182, {190, 32, 250, 52}, &BrivaneGlobals::bounceScale, 3, 120),
    RealSpin(184, {190, 54, 250, 74}, &BrivaneGlobals::bounceJitter, 0, 1000),
    IntSpin(183, {190, 76, 250, 96}, &BrivaneGlobals::bounceBounces, 0, 50),
    Check(181, {10, 100, 190, 114}, "Selected", &BrivaneGlobals::bounceSelected),
    Check(186, {191, 100, 370, 114}, "Locked", &BrivaneGlobals::bounceLocked),
    Check(187, {10, 117, 190, 131}, "Trail", &BrivaneGlobals::bounceTrail),
    Check(188, {191, 117, 370, 131}, "Warp [R]", &BrivaneGlobals::bounceWarp),
    Check(189, {10, 134, 190, 148}, "Create [R]", &BrivaneGlobals::bounceCreate),
    Check(185, {191, 134, 370, 148}, "Crunch", &BrivaneGlobals::bounceCrunch),
};

// Spiraled (tool 8).
constexpr ItemSpec kSpiraledItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Scale (%)"),
    Label(312, {10, 54, 185, 74}, "Rotation (o)"),
    Label(313, {10, 76, 185, 96}, "Arms"),
    Label(314, {10, 98, 185, 118}, "Decay (%)"),
    Label(315, {10, 120, 185, 140}, "Jitter (p)"),
    IntSpin(200, {190, 10, 250, 30}, &BrivaneGlobals::spiralCopies, 2, 500),
    RealSpin(206, {190, 32, 250, 52}, &BrivaneGlobals::spiralScale, 3, 120),
    RealSpin(203, {190, 54, 250, 74}, &BrivaneGlobals::spiralRotation, -360, 360),
    IntSpin(207, {190, 76, 250, 96}, &BrivaneGlobals::spiralArms, 1, 50),
    RealSpin(208, {190, 98, 250, 118}, &BrivaneGlobals::spiralDecay, 3, 150),
    RealSpin(204, {190, 120, 250, 140}, &BrivaneGlobals::spiralJitter, 0, 1000),
    Check(201, {10, 145, 190, 159}, "Selected", &BrivaneGlobals::spiralSelected),
    Check(211, {191, 145, 370, 159}, "Delete", &BrivaneGlobals::spiralDelete),
    Check(202, {10, 162, 190, 176}, "Align", &BrivaneGlobals::spiralAlign),
    Check(212, {191, 162, 370, 176}, "Match", &BrivaneGlobals::spiralMatch),
    Check(213, {10, 179, 190, 193}, "Reverse", &BrivaneGlobals::spiralReverse),
    Check(214, {191, 179, 370, 193}, "Trail", &BrivaneGlobals::spiralTrail),
    Check(215, {10, 196, 190, 210}, "Warp [R]", &BrivaneGlobals::spiralWarp),
    Check(216, {191, 196, 370, 210}, "Create [R]", &BrivaneGlobals::spiralCreate),
};

// Checkerboard (tool 9).
constexpr ItemSpec kCheckerboardItems[] = {
    Label(310, {10, 10, 185, 30}, "Columns"),
    Label(311, {10, 32, 185, 52}, "Rows"),
    Label(312, {10, 54, 185, 74}, "Rotation (o)"),
    Label(313, {10, 76, 185, 96}, "Jitter (p)"),
    IntSpin(230, {190, 10, 250, 30}, &BrivaneGlobals::checkerColumns, 2, 300),
    IntSpin(231, {190, 32, 250, 52}, &BrivaneGlobals::checkerRows, 2, 300),
    RealSpin(235, {190, 54, 250, 74}, &BrivaneGlobals::checkerRotation, -360, 360),
    RealSpin(236, {190, 76, 250, 96}, &BrivaneGlobals::checkerJitter, 0, 1000),
    Check(232, {10, 100, 190, 114}, "Selected", &BrivaneGlobals::checkerSelected),
    Check(233, {191, 100, 370, 114}, "Locked", &BrivaneGlobals::checkerLocked),
    Check(234, {10, 117, 190, 131}, "Touch", &BrivaneGlobals::checkerTouch),
    Check(238, {191, 117, 370, 131}, "Warp [R]", &BrivaneGlobals::checkerWarp),
    Check(239, {10, 134, 190, 148}, "Create [R]", &BrivaneGlobals::checkerCreate),
};

// Paint (tool 10).
constexpr ItemSpec kPaintItems[] = {
    Label(310, {10, 10, 185, 30}, "Scale (% Horz)"),
    Label(311, {10, 32, 185, 52}, "Scale (% Vert)"),
    Label(312, {10, 54, 185, 74}, "Opacity fade (%)"),
    Label(313, {10, 76, 185, 96}, "Intensity color"),
    Label(314, {10, 98, 185, 118}, "Jitter (p)"),
    RealSpin(250, {190, 10, 250, 30}, &BrivaneGlobals::paintScaleH, 1, 120),
    RealSpin(251, {190, 32, 250, 52}, &BrivaneGlobals::paintScaleV, 1, 120),
    RealSpin(252, {190, 54, 250, 74}, &BrivaneGlobals::paintOpacityFade, 0, 200),
    RealSpin(254, {190, 76, 250, 96}, &BrivaneGlobals::paintIntensity, -100, 100),
    RealSpin(253, {190, 98, 250, 118}, &BrivaneGlobals::paintJitter, 0, 1000),
    Check(255, {10, 125, 190, 139}, "Follow", &BrivaneGlobals::paintFollow),
    Check(256, {191, 125, 370, 139}, "Warp [R]", &BrivaneGlobals::paintWarp),
    Check(258, {10, 142, 190, 156}, "Create [R]", &BrivaneGlobals::paintCreate),
    Check(257, {191, 142, 370, 156}, "Rotation [R]", &BrivaneGlobals::paintRotationR),
};

// Tile (tool 11).
constexpr ItemSpec kTileItems[] = {
    Label(310, {10, 10, 185, 30}, "Jitter (p)"),
    RealSpin(270, {190, 10, 250, 30}, &BrivaneGlobals::tileJitter, 0, 1000),
    Check(271, {10, 33, 190, 47}, "Locked", &BrivaneGlobals::tileLocked),
};

// Background (tool 12). Its delete flag has no control: OK leaves it as it is.
constexpr ItemSpec kBackgroundItems[] = {
    Label(310, {10, 10, 185, 30}, "Copies"),
    Label(311, {10, 32, 185, 52}, "Scale (%Min)"),
    Label(312, {10, 54, 185, 74}, "Scale (%Max)"),
    Label(313, {10, 76, 185, 96}, "Frame (%)"),
    IntSpin(290, {190, 10, 250, 30}, &BrivaneGlobals::backCopies, 2, 300),
    RealSpin(291, {190, 32, 250, 52}, &BrivaneGlobals::backScaleMin, 3, 200),
    RealSpin(292, {190, 54, 250, 74}, &BrivaneGlobals::backScaleMax, 3, 200),
    RealSpin(293, {190, 76, 250, 96}, &BrivaneGlobals::backFrame, 0, 50),
    Check(294, {10, 100, 190, 114}, "Selected", &BrivaneGlobals::backSelected),
    Check(296, {191, 100, 370, 114}, "Locked", &BrivaneGlobals::backLocked),
    Check(295, {10, 117, 190, 131}, "Apply", &BrivaneGlobals::backApply),
    Check(297, {191, 117, 370, 131}, "Trail", &BrivaneGlobals::backTrail),
    Check(298, {10, 134, 190, 148}, "Warp [R]", &BrivaneGlobals::backWarp),
    Check(299, {191, 134, 370, 148}, "Rotation [R]", &BrivaneGlobals::backRotate),
};
template <int N>
constexpr ItemTable Table(const ItemSpec (&items)[N]) {
    return {items, N};
}

constexpr ItemTable kToolTables[kToolCount] = {
    Table(kRowsColumnsItems), Table(kDragItems),      Table(kSoftCenterItems), Table(kFramedItems),
    Table(kRimRandomItems),   Table(kWindmillItems),  Table(kScaledownItems),  Table(kBouncealongItems),
    Table(kSpiraledItems),    Table(kCheckerboardItems), Table(kPaintItems),   Table(kTileItems),
    Table(kBackgroundItems),
};

} // namespace

ItemTable ToolItems(int tool) {
    if (tool < 0 || tool >= kToolCount) return {nullptr, 0};
    return kToolTables[tool];
}

ItemTable SharedItems() { return Table(kSharedItems); }

int EntryCount(const EntryList& list) {
    int count = 0;
    for (int r = 0; r < list.runCount; ++r) {
        const EntryRun& run = list.runs[r];
        count += run.first > run.last ? 1 : run.last - run.first + 1;
    }
    return count;
}

// " To swatch" and " Alternate swatch" take their colour from the swatch spin.
bool ColourModeUsesSwatch(ASInt32 mode) { return mode == 6 || mode == 11; }

// The modes that blend towards a target over a period: " To white",
// " To black", " To white / midpoint", " To swatch", " To half color",
// " To inverted" and " To half color inverted".
bool ColourModeUsesPeriod(ASInt32 mode) {
    switch (mode) {
    case 1: case 2: case 5: case 6: case 7: case 8: case 13:
        return true;
    default:
        return false;
    }
}

} // namespace brivane::dialogs
