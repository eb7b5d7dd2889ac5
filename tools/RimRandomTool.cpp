// Rim random: "Copies" copies of the selected art scattered at random in the
// box between each object and half the drag vector, each scaled by a random
// factor between the two scale fields and turned by a random angle: a brush
// or clutter effect. Copy 0 is the object itself. With "Selected" the whole
// selection is scattered as one block about the selection's centre.
#include "tools/Tools.h"

#include "engine/Jitter.h"
#include "engine/Runs.h"
#include "engine/Scatter.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::rimCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    MoveSourcesRow(kCtrlKey),
};

// The scatter box: half the drag vector.
struct Box {
    AIReal h, v;
};

// Matrix and line factor of copy k about pivot: random scale, random turn,
// then a random place in the box, then the jitter.
ASErr CopyMatrix(const BrivaneGlobals& g, ASInt32 k, AIRealPoint pivot, Box box, AIRealMatrix* matrix,
                 AIReal* lineScale) {
    const ScaleFactors factors = RandomScaleFactors(g.rimScaleMin, g.rimScaleMax, g.rimLocked != 0);
    ASErr error = kNoErr;
    MatrixBuilder m = TurnAndScale({pivot, g.rimRotate != 0, g.rimApply != 0, factors, g.lineWidthMode, k % 2 == 0},
                                   lineScale, &error);
    if (error != kNoErr) return error;
    const AIReal ty = HostRandom() * box.v;
    const AIReal tx = HostRandom() * box.h;
    m.Translate(tx, ty);
    if (g.rimJitter != 0.0f) {
        const AIRealPoint jitter = RandomJitter(g.rimJitter, g.rimJitter);
        m.Translate(jitter.h, jitter.v);
    }
    *matrix = m.Matrix();
    return m.Error();
}

// One copy of object: the object itself for k = 0, else a duplicate of it.
ASErr PlaceCopy(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle object, const CopyIndex& periods,
                const ScatterCopy& plan) {
    AIArtHandle copy = object;
    if (plan.k != 0) {
        const ASErr error = DuplicatePlaced(object, plan.beneath, &copy);
        if (error != kNoErr) return error;
    }
    CopyIndex colours = periods;
    colours.index = plan.k;
    ASErr error = StyleAndTransform(g, event, copy, *plan.matrix, plan.lineScale, colours, StyleOrder::kStyleFirst,
                                    Tagging::kNoTag);
    if (error == kNoErr) error = FinishCopy(g, event, copy, plan.beneath, plan.centre);
    if (error == kNoErr && g.rimWarp != 0) error = WarpStep(copy);
    return error;
}

// The copies in the order they are made: the duplicates 1 .. n-1 first, so
// each is made from the object as it was, and copy 0, the object itself,
// last.
ASInt32 CopyAt(ASInt32 position, ASInt32 copies) { return (position + 1) % copies; }

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    if (g.rimCopies < 1) return kNoErr;
    const ASInt32 period = g.rimCopies - 1;
    const CopyIndex periods{0, g.fillPeriod != 0 ? g.fillPeriod : period, g.strokePeriod != 0 ? g.strokePeriod : period};
    const Box box{(g.dragCurrent.h - g.dragStart.h) * 0.5f, (g.dragCurrent.v - g.dragStart.v) * 0.5f};
    if (box.h == 0.0f && box.v == 0.0f) return kNoErr;
    return ScatterCopies(
        g, {g.rimCopies, CopyAt, g.rimSelected != 0},
        [&](ASInt32 k, AIRealPoint pivot, AIRealMatrix* matrix, AIReal* lineScale) {
            return CopyMatrix(g, k, pivot, box, matrix, lineScale);
        },
        [&](AIArtHandle object, const ScatterCopy& plan) { return PlaceCopy(g, event, object, periods, plan); });
}

} // namespace

const ToolSpec kRimRandom = {
    "Rim random", &BrivaneGlobals::rimTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
