// Rim random: "Copies" copies of the selected art scattered at random in the
// box between each object and half the drag vector, each scaled by a random
// factor between the two scale fields and turned by a random angle: a brush
// or clutter effect. Copy 0 is the object itself. With "Selected" the whole
// selection is scattered as one block about the selection's centre.
#include "Tools.h"

#include "Jitter.h"
#include "Scatter.h"
#include "Runs.h"
#include "Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

// In selection mode the placement popup sees the block as object 0.
constexpr ASInt32 kBlockObjectIndex = 0;

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
struct CopyPlan {
    ASInt32 k;
    int beneath;
    const AIRealMatrix* matrix;
    AIReal lineScale;
    AIRealPoint centre; // the object's centre before the layout
};
ASErr PlaceCopy(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle object, const CopyIndex& periods,
                const CopyPlan& plan) {
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

ASErr ScatterEachObject(const BrivaneGlobals& g, const DragEvent& event, Box box, const CopyIndex& periods) {
    const ASInt32 copies = g.rimCopies;
    for (ASInt32 i = g.selectedCount - 1; i >= 0; --i) {
        AIArtHandle object = SnapshotEntry(g, i);
        if (object == nullptr) continue;
        AIRealPoint centre{};
        ASErr error = ArtCentre(object, &centre);
        if (error != kNoErr) return error;
        for (ASInt32 position = 0; position < copies; ++position) {
            const ASInt32 k = CopyAt(position, copies);
            const int beneath = CopyBeneath(g, k, 0, i, IndexForm::kRun);
            AIRealMatrix matrix{};
            AIReal lineScale = 1.0f;
            error = CopyMatrix(g, k, centre, box, &matrix, &lineScale);
            if (error == kNoErr) error = PlaceCopy(g, event, object, periods, {k, beneath, &matrix, lineScale, centre});
            if (error != kNoErr) return error;
        }
    }
    return kNoErr;
}

ASErr ScatterSelection(const BrivaneGlobals& g, const DragEvent& event, Box box, const CopyIndex& periods) {
    const ASInt32 copies = g.rimCopies;
    for (ASInt32 position = 0; position < copies; ++position) {
        const ASInt32 k = CopyAt(position, copies);
        const int beneath = CopyBeneath(g, k, 0, kBlockObjectIndex, IndexForm::kRun);
        AIRealMatrix matrix{};
        AIReal lineScale = 1.0f;
        ASErr error = CopyMatrix(g, k, g.selectionCentre, box, &matrix, &lineScale);
        if (error != kNoErr) return error;
        for (ASInt32 i = g.selectedCount - 1; i >= 0; --i) {
            AIArtHandle object = SnapshotEntry(g, i);
            if (object == nullptr) continue;
            AIRealPoint centre{};
            error = PieceCentre(g, object, &centre);
            if (error != kNoErr) return error;
            error = PlaceCopy(g, event, object, periods, {k, beneath, &matrix, lineScale, centre});
            if (error != kNoErr) return error;
        }
    }
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    if (g.rimCopies < 1) return kNoErr;
    const ASInt32 period = g.rimCopies - 1;
    const CopyIndex periods{0, g.fillPeriod != 0 ? g.fillPeriod : period, g.strokePeriod != 0 ? g.strokePeriod : period};
    const Box box{(g.dragCurrent.h - g.dragStart.h) * 0.5f, (g.dragCurrent.v - g.dragStart.v) * 0.5f};
    if (box.h == 0.0f && box.v == 0.0f) return kNoErr;
    return g.rimSelected != 0 ? ScatterSelection(g, event, box, periods) : ScatterEachObject(g, event, box, periods);
}

} // namespace

const ToolSpec kRimRandom = {
    "Rim random", &BrivaneGlobals::rimTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
