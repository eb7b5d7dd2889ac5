// Rows Columns: every selected object laid out as a grid of Columns x Rows
// cells spanning the drag vector. The cell in row 0, column 0 is the object
// itself, the last cell is moved by the whole drag vector. Cells can be
// scaled by the apply patterns of their column and row, left out by a
// checkerboard pattern or at random, turned, rotated at random and jittered;
// "Box" draws a frame round each object's grid.
#include "Tools.h"

#include "engine/Jitter.h"
#include "Patterns.h"
#include "frame/Suites.h"

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
    const ScalePair touch{StepFactor(grid.stepH, width, grid.hasStepH), StepFactor(grid.stepV, height, grid.hasStepV)};
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
            if (RowsColumnsLeftOut(g.rcCheckerboard, i, j)) make = false;
            if (!make) continue;

            AIArtHandle cell = object;
            const bool first = !firstCellUsed;
            if (first) {
                firstCellUsed = true;
            } else {
                error = DuplicatePlaced(object, beneath, &cell);
                if (error != kNoErr) return error;
            }

            const AIReal rh = RowsColumnsApplyDraws(g.rcHApply) ? HostRandom() : 0.0f;
            const AIReal rv = RowsColumnsApplyDraws(g.rcVApply) ? HostRandom() : 0.0f;
            const ScalePair hf = RowsColumnsApply(g.rcHApply, j, rh);
            const ScalePair vf = RowsColumnsApply(g.rcVApply, i, rv);
            ScalePair scale{hf.h * vf.h, hf.v * vf.v};
            if (g.rcTouch != 0) {
                // The first cell already sized the object to one grid step;
                // its duplicates keep that size.
                scale = first ? touch : ScalePair{1.0f, 1.0f};
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
                if (RowsColumnsTurned(g.rcTurn, i, j)) m.Rotate(kQuarterTurn);
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

    return ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return LayOutObject(g, event, grid, i); });
}

} // namespace

const ToolSpec kRowsColumns = {
    "Rows Columns", &BrivaneGlobals::rcTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
