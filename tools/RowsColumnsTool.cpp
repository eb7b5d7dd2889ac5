// Rows Columns: every selected object laid out as a grid of Columns x Rows
// cells spanning the drag vector. The cell in row 0, column 0 is the object
// itself, the last cell is moved by the whole drag vector. Cells can be
// scaled by the apply patterns of their column and row, left out by a
// checkerboard pattern or at random, turned, rotated at random and jittered;
// "Box" draws a frame round each object's grid.
#include "Tools.h"

#include "Jitter.h"
#include "Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

constexpr AIReal kGoldenShort = 0.618034f;
constexpr AIReal kGoldenLong = 1.618034f;
constexpr AIReal kQuarterTurn = 1.5707964f;

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, IntStep(&BrivaneGlobals::rcColumns, 1, 40, 2)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::rcRows, 1, 40, 2)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::rcRotation, 5.0f, 360.0f, 0.0f)),
    TrailPauseRow(kAltKey),
};

struct Factor {
    AIReal h, v;
};

constexpr AIReal kHalf = 0.5f;
constexpr AIReal kThird = 1.0f / 3.0f;
constexpr AIReal kQuarter = 0.25f;
constexpr AIReal kFifth = 1.0f / 5.0f;
constexpr AIReal kSixth = 1.0f / 6.0f;
constexpr AIReal kSeventh = 1.0f / 7.0f;
constexpr AIReal kEighth = 0.125f;

// Looks a repeating sequence up at index n (n >= 0).
template <std::size_t N>
AIReal Cycle(const AIReal (&values)[N], ASInt32 n) {
    return values[static_cast<std::size_t>(n) % N];
}

AIReal Reciprocal(ASInt32 n) { return 1.0f / static_cast<AIReal>(n); }

// The scale pattern `entry` at index n (a column for the horizontal popup, a
// row for the vertical one); r is the cell's random draw for the entries
// that have one.
Factor ApplyFactor(ASInt32 entry, ASInt32 n, AIReal r) {
    if (n < 0) n = 0;
    auto both = [](AIReal x) { return Factor{x, x}; };
    switch (entry) {
    case 1: case 6: case 13: { static const AIReal s[] = {1, kHalf}; return both(Cycle(s, n)); }
    case 2: case 7: { static const AIReal s[] = {1, kHalf, kHalf}; return both(Cycle(s, n)); }
    case 3: { static const AIReal s[] = {1, kHalf, kHalf, kHalf}; return both(Cycle(s, n)); }
    case 4: { static const AIReal s[] = {1, kQuarter}; return both(Cycle(s, n)); }
    case 5: { static const AIReal s[] = {1, kEighth}; return both(Cycle(s, n)); }
    case 8: return both(Reciprocal(n + 1));
    case 9:
        if (n % 12 == 0) return both(1);
        if (n % 4 != 0) return {kQuarter, kSixth};
        return {kThird, kQuarter};
    case 10:
        if (n % 30 == 0) return both(1);
        if (n % 5 != 0) return both(kSixth);
        if (n % 2 != 0) return both(kFifth);
        return both(kQuarter); // a multiple of 10 but not of 30
    case 11: return both(Reciprocal(n + 2));
    case 12: return both(Reciprocal(n + 3));
    case 14: { static const AIReal s[] = {1, kHalf, kThird}; return both(Cycle(s, n)); }
    case 15: { static const AIReal s[] = {1, kHalf, kThird, kQuarter}; return both(Cycle(s, n)); }
    case 16: { static const AIReal s[] = {kHalf, 1}; return both(Cycle(s, n)); }
    case 17: return both(n % 10 == 0 ? 1.0f : kHalf);
    case 18: return both(n % 6 == 0 ? 1.0f : kHalf);
    case 19: case 23: return both(n % 6 == 0 ? 1.0f : kThird);
    case 20: return both(n % 6 == 0 ? Reciprocal(n + 1) : kThird);
    case 21: return both(n % 6 == 0 ? 1.0f : kQuarter);
    case 22: return both(n % 15 == 0 ? 1.0f : kHalf);
    case 24: return both(n % 12 == 5 ? 1.0f : kHalf);
    case 25: return both(n % 20 == 17 ? 1.0f : kThird);
    case 26: return both(n % 20 == 18 ? 1.0f : kQuarter);
    case 27: return both(n % 2 == 0 ? 1.0f : r);
    case 28: return both(n % 3 == 0 ? 1.0f : r);
    case 29: { static const AIReal s[] = {1, kHalf, kThird, kQuarter, kFifth}; return both(Cycle(s, n)); }
    case 30: { static const AIReal s[] = {kFifth, kQuarter, kThird, kHalf, 1}; return both(Cycle(s, n)); }
    case 31: {
        static const AIReal s[] = {1, kHalf, kThird, kQuarter, kFifth, kSixth, kSeventh};
        return both(Cycle(s, n));
    }
    case 32: {
        static const AIReal s[] = {1, 4.0f / 5.0f, 3.0f / 5.0f, 2.0f / 5.0f, kFifth};
        return both(Cycle(s, n));
    }
    case 33: {
        static const AIReal s[] = {1, 5.0f / 6.0f, 2.0f / 3.0f, kHalf, kThird, kSixth};
        return both(Cycle(s, n));
    }
    case 34: { static const AIReal s[] = {kHalf, 1, kHalf, 1, kQuarter, 1}; return both(Cycle(s, n)); }
    case 35: {
        static const AIReal s[] = {kHalf, 1, 1, kHalf, 1, 1, kQuarter, 1, 1, kHalf, 1, 1, kHalf, 1, 1};
        return both(Cycle(s, n));
    }
    case 36: { static const AIReal s[] = {1, kSixth, 1, kThird}; return both(Cycle(s, n)); }
    case 37: {
        static const AIReal s[] = {1, kHalf, kThird, kQuarter, kThird, kHalf, 1};
        return both(Cycle(s, n));
    }
    case 38: {
        static const AIReal s[] = {kFifth, kQuarter, kThird, kHalf, 1, kHalf, kThird, kQuarter};
        return both(Cycle(s, n));
    }
    case 39: {
        static const AIReal s[] = {kSixth, kQuarter, kHalf, 1, kHalf, kQuarter, kSixth};
        return both(Cycle(s, n));
    }
    case 40: {
        static const AIReal s[] = {kEighth, kSixth, kFifth, kThird, 1, kThird, kFifth, kSixth, kEighth};
        return both(Cycle(s, n));
    }
    case 41: {
        static const AIReal s[] = {kQuarter, kHalf, kQuarter, 1, kQuarter, kHalf, kQuarter};
        return both(Cycle(s, n));
    }
    case 42: {
        static const AIReal s[] = {1, kHalf, kThird, 1, kThird, kHalf, 1};
        return both(Cycle(s, n));
    }
    default: return both(1); // entry 0 and anything outside the popup
    }
}

// The apply entries whose factors come from a draw per cell.
bool DrawsPerCell(ASInt32 entry) { return entry == 27 || entry == 28; }

// Checkerboard popup: whether cell (row i, column j) is left out.
bool LeftOut(ASInt32 entry, ASInt32 i, ASInt32 j) {
    const ASInt32 i3 = i % 3, j3 = j % 3, i4 = i % 4, j4 = j % 4;
    switch (entry) {
    case 1: return (i + j) % 2 != 0;
    case 2: return (i4 < 2) != (j4 < 2);
    case 3: return (i % 6 < 3) != (j % 6 < 3);
    case 4: return (i3 == 0 && j3 == 1) || (i3 == 1 && j3 == 0);
    case 5: return (i3 == 0 && j3 == 2) || (i3 == 2 && j3 == 0);
    case 6: return (i + j) % 2 == 0;
    case 7: return (i3 == 0 && j3 == 0) || (i3 == 1 && j3 == 1);
    case 8: return (i4 == 0 && j4 == 0) || (i4 == 1 && j4 == 1);
    case 9: return (i4 == 0 && j4 == 1) || (i4 == 1 && j4 == 0);
    default: return false;
    }
}

// Turn popup: whether a duplicate in cell (i, j) gets a quarter turn.
bool Turned(ASInt32 entry, ASInt32 i, ASInt32 j) {
    switch (entry) {
    case 1: return (i + j) % 2 != 0;
    case 2: return (i % 3 == 0 && j % 3 == 1) || (i % 3 == 1 && j % 3 == 0);
    case 3: return j % 2 != 0;
    case 4: return i % 2 != 0;
    default: return false;
    }
}

bool Even(ASInt32 x) { return x % 2 == 0; }

struct Grid {
    AIReal stepH, stepV;
    bool hasStepH, hasStepV; // more than one column / row
    AIReal rotation;
    ASInt32 fillPeriod, strokePeriod;
};

ASErr Bounds(AIArtHandle art, AIRealRect* r) { return Art()->GetArtBounds(art, r); }

// The frame round an object's grid: from the object's lower left corner to
// the last cell's upper right one, widened by half the gap between cells,
// beneath all art and without fill.
ASErr DrawBox(const BrivaneGlobals& g, const AIRealRect& object, const AIRealRect& last) {
    const AIReal w = last.right - last.left;
    const AIReal h = last.top - last.bottom;
    // A single column (row) has no gap between cells on that axis.
    const AIReal gapH = g.rcColumns > 1 ? ((last.right - object.left) - w * static_cast<AIReal>(g.rcColumns)) /
                                              static_cast<AIReal>(2 * g.rcColumns - 2)
                                        : 0.0f;
    const AIReal gapV = g.rcRows > 1 ? ((last.top - object.bottom) - h * static_cast<AIReal>(g.rcRows)) /
                                           static_cast<AIReal>(2 * g.rcRows - 2)
                                     : 0.0f;
    AIArtHandle box = nullptr;
    ASErr error = ShapeConstruction()->NewRect(object.bottom - gapV, object.left - gapH, last.top + gapV,
                                               last.right + gapH, false, &box);
    if (error != kNoErr) return error;
    error = Art()->ReorderArt(box, kPlaceBelowAll, nullptr);
    if (error != kNoErr) return error;
    AIPathStyle style{};
    error = PathStyle()->GetPathStyle(box, &style);
    if (error != kNoErr) return error;
    style.fillPaint = 0;
    style.fill.color.kind = 0;
    return PathStyle()->SetPathStyle(box, &style);
}

ASErr LayOutObject(const BrivaneGlobals& g, const DragEvent& event, const Grid& grid, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    AIRealRect bounds{};
    ASErr error = Bounds(object, &bounds);
    if (error != kNoErr) return error;
    const AIReal width = bounds.right - bounds.left;
    const AIReal height = bounds.top - bounds.bottom;
    const AIRealPoint ownCentre{bounds.left + width / 2.0f, bounds.bottom + height / 2.0f};
    const Factor touch{StepFactor(grid.stepH, width, grid.hasStepH), StepFactor(grid.stepV, height, grid.hasStepV)};
    const AIRealPoint c = g.rcSelected != 0 ? g.selectionCentre : ownCentre;

    bool firstCellUsed = false;
    AIRealRect lastCell = bounds;
    AIReal rowOffset = 0.0f;
    for (ASInt32 i = 0; i < g.rcRows; ++i, rowOffset += grid.stepV) {
        AIReal columnOffset = 0.0f;
        for (ASInt32 j = 0; j < g.rcColumns; ++j, columnOffset += grid.stepH) {
            const int beneath = CopyBeneath(g, i, j, objectIndex, IndexForm::kGrid);
            bool make = true;
            if (g.rcCreate != 0 && HostRandom() > 0.5f) make = false;
            if (LeftOut(g.rcCheckerboard, i, j)) make = false;
            if (!make) continue;

            AIArtHandle cell = object;
            const bool first = !firstCellUsed;
            if (first) {
                firstCellUsed = true;
            } else {
                error = DuplicatePlaced(object, beneath, &cell);
                if (error != kNoErr) return error;
            }

            const AIReal rh = DrawsPerCell(g.rcHApply) ? HostRandom() : 0.0f;
            const AIReal rv = DrawsPerCell(g.rcVApply) ? HostRandom() : 0.0f;
            const Factor hf = ApplyFactor(g.rcHApply, j, rh);
            const Factor vf = ApplyFactor(g.rcVApply, i, rv);
            Factor scale{hf.h * vf.h, hf.v * vf.v};
            if (g.rcTouch != 0) {
                // The first cell already sized the object to one grid step;
                // its duplicates keep that size.
                scale = first ? touch : Factor{1.0f, 1.0f};
            }
            AIReal lineScale = 1.0f;
            error = LineScale(g.lineWidthMode, scale.h, scale.v, Even(i) && Even(j), &lineScale);
            if (error != kNoErr) return error;

            MatrixBuilder m(-c.h, -c.v);
            m.Scale(scale.h, scale.v);
            if (first) {
                m.Rotate(grid.rotation).Translate(c.h, c.v);
            } else {
                if (g.rcRotationR != 0) m.Rotate(HostRandom() * grid.rotation);
                if (Turned(g.rcTurn, i, j)) m.Rotate(kQuarterTurn);
                m.Translate(c.h, c.v).Translate(columnOffset, rowOffset);
            }
            if (g.rcJitter != 0.0f) {
                const AIRealPoint jitter = RandomJitter(g.rcJitter, g.rcJitter);
                m.Translate(jitter.h, jitter.v);
            }
            if (m.Error() != kNoErr) return m.Error();

            error = StyleAndTransform(g, event, cell, m.Matrix(), lineScale, {i, grid.fillPeriod, grid.strokePeriod},
                                      StyleOrder::kTransformFirst);
            if (error == kNoErr) error = FinishCopy(g, event, cell, beneath, ownCentre);
            if (error == kNoErr && g.rcWarp != 0) error = WarpStep(cell);
            if (error == kNoErr && g.rcBox != 0) error = Bounds(cell, &lastCell);
            if (error != kNoErr) return error;
        }
    }
    if (g.rcBox != 0) return DrawBox(g, bounds, lastCell);
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    const AIReal dx = g.dragCurrent.h - g.dragStart.h;
    AIReal dy = g.dragCurrent.v - g.dragStart.v;
    if (g.rcLocked != 0)
        dy = dx;
    else if (g.rcGoldenH != 0)
        dy = dx * kGoldenShort;
    else if (g.rcGoldenV != 0)
        dy = dx * kGoldenLong;

    // A single column (row) has no step along it: its cells stay at offset 0
    // and "Touch" keeps the object's size on that axis.
    Grid grid{};
    grid.hasStepH = g.rcColumns > 1;
    grid.hasStepV = g.rcRows > 1;
    grid.stepH = grid.hasStepH ? dx / static_cast<AIReal>(g.rcColumns - 1) : 0.0f;
    grid.stepV = grid.hasStepV ? dy / static_cast<AIReal>(g.rcRows - 1) : 0.0f;
    grid.fillPeriod = g.fillPeriod != 0 ? g.fillPeriod : g.rcRows - 1;
    grid.strokePeriod = g.strokePeriod != 0 ? g.strokePeriod : g.rcRows - 1;
    // A drag that has not moved (after the height locks) draws nothing.
    if (dx == 0.0f && dy == 0.0f) return kNoErr;
    ASErr error = RealMath()->DegreesToRadians(g.rcRotation, &grid.rotation);
    if (error != kNoErr) return error;

    for (ASInt32 i = g.selectedCount - 1; i >= 0; --i) {
        if (SnapshotEntry(g, i) == nullptr) continue;
        error = LayOutObject(g, event, grid, i);
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

} // namespace

const ToolSpec kRowsColumns = {
    "Rows Columns", &BrivaneGlobals::rcTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
