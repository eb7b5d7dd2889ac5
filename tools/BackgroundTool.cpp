// Background: fills the rectangle spanned by the drag (from the selected art
// to the art moved by the full drag vector) with "Copies" randomly placed,
// scaled and turned duplicates of the selected art, over the whole rectangle
// or, with "Frame (%)" below 50, only in bands along its four sides. The
// selected objects are deleted afterwards unless "Trail" switched that off.
#include "tools/Tools.h"

#include "engine/Runs.h"
#include "engine/Scatter.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

// "Frame (%)" at this value spreads the copies over the whole rectangle.
constexpr AIReal kWholeRectangle = 50.0f;

const ModifierRow kRows[] = {
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::backCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    MoveSourcesRow(kCtrlKey),
};

// The drag rectangle: width and height, signed as the drag goes.
struct Extent {
    AIReal w, h;
};

// Where copy k goes, relative to its object: anywhere in the rectangle, or
// in one of four bands "Frame (%)" of the width or height deep. A band is
// horizontal (top or bottom) or vertical (left or right) with even odds.
AIRealPoint RandomOffset(AIReal band, Extent e) {
    if (band == kWholeRectangle) {
        const AIReal ox = HostRandom() * e.w;
        const AIReal oy = HostRandom() * e.h;
        return {ox, oy};
    }
    const AIReal fx = HostRandom() * band * e.w * 0.01f;
    const AIReal fy = HostRandom() * band * e.h * 0.01f;
    AIRealPoint offset{};
    if (HostRandom() <= 0.5f) {
        offset.v = HostRandom() <= 0.5f ? e.h - fy : fy;
        offset.h = HostRandom() * e.w;
    } else {
        offset.h = HostRandom() <= 0.5f ? e.w - fx : fx;
        offset.v = HostRandom() * e.h;
    }
    return offset;
}

ASErr CopyMatrix(const BrivaneGlobals& g, ASInt32 k, AIRealPoint pivot, Extent extent, AIRealMatrix* matrix,
                 AIReal* lineScale) {
    const ScaleFactors factors = RandomScaleFactors(g.backScaleMin, g.backScaleMax, g.backLocked != 0);
    const AIRealPoint offset = RandomOffset(g.backFrame, extent);
    ASErr error = kNoErr;
    MatrixBuilder m = TurnAndScale({pivot, g.backRotate != 0, g.backApply != 0, factors, g.lineWidthMode, k % 2 == 0},
                                   lineScale, &error);
    if (error != kNoErr) return error;
    m.Translate(offset.h, offset.v);
    *matrix = m.Matrix();
    return m.Error();
}

// A duplicate of object, styled, transformed and finished.
ASErr PlaceCopy(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle object, const CopyIndex& periods,
                const ScatterCopy& plan) {
    AIArtHandle copy = nullptr;
    ASErr error = DuplicatePlaced(object, plan.beneath, &copy);
    if (error != kNoErr) return error;
    CopyIndex colours = periods;
    colours.index = plan.k;
    error = StyleAndTransform(g, event, copy, *plan.matrix, plan.lineScale, colours, StyleOrder::kStyleFirst,
                              Tagging::kNoTag);
    if (error == kNoErr) error = FinishCopy(g, event, copy, plan.beneath, plan.centre);
    if (error == kNoErr && g.backWarp != 0) error = WarpStep(copy);
    return error;
}

// The copies are made in their own order, 0 .. n-1.
ASInt32 CopyAt(ASInt32 position, ASInt32 /*copies*/) { return position; }

ASErr Fill(const BrivaneGlobals& g, const DragEvent& event, Extent extent, const CopyIndex& periods) {
    return ScatterCopies(
        g, {g.backCopies, CopyAt, g.backSelected != 0},
        [&](ASInt32 k, AIRealPoint pivot, AIRealMatrix* matrix, AIReal* lineScale) {
            return CopyMatrix(g, k, pivot, extent, matrix, lineScale);
        },
        [&](AIArtHandle object, const ScatterCopy& plan) { return PlaceCopy(g, event, object, periods, plan); });
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    const ASInt32 period = g.backCopies - 1;
    const CopyIndex periods{0, g.fillPeriod != 0 ? g.fillPeriod : period, g.strokePeriod != 0 ? g.strokePeriod : period};
    const Extent extent{g.dragCurrent.h - g.dragStart.h, g.dragCurrent.v - g.dragStart.v};
    if (extent.w != 0.0f || extent.h != 0.0f) {
        const ASErr error = Fill(g, event, extent, periods);
        if (error != kNoErr) return error;
    }
    // Even a drag back on its start removes the selected objects. A failed
    // delete does not stop the others; the first one is the event's result.
    ASErr deleteFailure = kNoErr;
    if (g.backDelete != 0) {
        ForEachObject(g, [&](AIArtHandle object, ASInt32) {
            const ASErr error = Art()->DisposeArt(object);
            if (error != kNoErr && deleteFailure == kNoErr) deleteFailure = error;
            return kNoErr;
        });
    }
    return deleteFailure;
}

} // namespace

const ToolSpec kBackground = {
    "Background", &BrivaneGlobals::backTrail, &BrivaneGlobals::backDelete, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
