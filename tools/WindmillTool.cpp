// Windmill: a ring of copies round every selected object. The copies stand
// at equal angular steps on a circle as wide as the drag is long, each can
// be turned with its angle like a windmill's sail and sized by the tool's
// apply pattern; by default the objects themselves are deleted afterwards,
// so only the rings remain. The running scale shrinks or grows the rings
// from one drawn event to the next.
#include "Tools.h"

#include "engine/Jitter.h"
#include "Patterns.h"
#include "engine/Runs.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::windmillRotation, 5.0f, 360.0f, 0.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::windmillCopies, 1, 40, 2)),
    StepRow(kCtrlKey | kAltKey, RealStep(&BrivaneGlobals::windmillAltShift, 1.0f, 200.0f, 0.0f)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::windmillRotateFactor, 1.0f, 200.0f, -100.0f)),
    TrailPauseRow(kAltKey),
};

// Points per unit of the units popup: points, centimetres, inches.
AIReal UnitFactor(ASInt32 units) {
    switch (units) {
    case 1: return 28.347f;
    case 2: return 71.9467f;
    default: return 1.0f;
    }
}

// What every copy of one drawn event shares.
struct Ring {
    AIReal radius;      // R, in points
    AIReal startAngle;  // A
    AIReal step;        // angular step between copies
    AIReal turn;        // "Rotation (o)" in radians
    AIReal scale;       // "Scale (%)" x 0.01
    AIReal unit;        // points per unit
    CopyIndex colours;
};

// Copy k of object j at ring angle theta.
ASErr MakeCopy(const BrivaneGlobals& g, const DragEvent& event, const Ring& ring, ASInt32 j, ASInt32 k,
               AIReal theta, AIRealPoint centre) {
    AIArtHandle object = SnapshotEntry(g, j);
    const int beneath = CopyBeneath(g, k, 0, j, IndexForm::kRun);
    if (g.windmillCreate != 0 && HostRandom() > 0.5f) return kNoErr;

    AIArtHandle copy = nullptr;
    ASErr error = DuplicatePlaced(object, beneath, &copy);
    if (error != kNoErr) return error;
    const ScalePair f = WindmillApply(g.windmillApply, k, j, HostRandomSource());

    const AIRealPoint pivot = g.windmillSelected != 0 ? g.selectionCentre : centre;
    const AIReal running = g.windmillScaleState * 0.01f;
    const AIReal sx = f.h * ring.scale * running;
    const AIReal sy = f.v * ring.scale * running;
    MatrixBuilder m(-pivot.h, -pivot.v);
    m.Rotate((g.windmillAlign != 0 ? theta : 0.0f) + ring.turn);
    m.Scale(sx, sy);
    AIReal lineScale = 1.0f;
    error = LineScale(g.lineWidthMode, sx, sy, k % 2 == 0, &lineScale);
    if (error != kNoErr) return error;
    m.Translate(pivot.h, pivot.v);
    if (g.windmillJitter != 0.0f) {
        const AIReal amount = g.windmillJitter * ring.unit;
        const AIRealPoint jitter = RandomJitter(amount, amount);
        m.Translate(jitter.h, jitter.v);
    }
    const AIReal shift = k % 2 == 0 ? g.windmillAltShift * ring.unit : 0.0f;
    AIReal cosine = 0.0f, sine = 0.0f;
    error = RealMath()->AIRealCos(theta + ring.startAngle, &cosine);
    if (error == kNoErr) error = RealMath()->AIRealSin(theta + ring.startAngle, &sine);
    if (error != kNoErr) return error;
    m.Translate((ring.radius + shift) * cosine, (ring.radius + shift) * sine);
    if (m.Error() != kNoErr) return m.Error();

    CopyIndex colours = ring.colours;
    colours.index = k;
    error = StyleAndTransform(g, event, copy, m.Matrix(), lineScale, colours, StyleOrder::kTransformFirst,
                              Tagging::kNoTag);
    if (error == kNoErr) error = FinishCopy(g, event, copy, beneath, centre);
    if (error == kNoErr && g.windmillWarp != 0) error = WarpStep(copy);
    return error;
}

// Deletes a selected object. A failure does not stop the layout; the first
// one is kept for the event's result.
void DeleteObject(AIArtHandle object, ASErr* firstFailure) {
    const ASErr error = Art()->DisposeArt(object);
    if (error != kNoErr && *firstFailure == kNoErr) *firstFailure = error;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    const ASInt32 copies = g.windmillCopies;
    if (copies < 1) return kNoErr;
    const ASInt32 period = copies - 1;
    Ring ring{0.0f, 0.0f, 0.0f, 0.0f, g.windmillScale * 0.01f, UnitFactor(g.windmillUnits),
              {0, g.fillPeriod != 0 ? g.fillPeriod : period, g.strokePeriod != 0 ? g.strokePeriod : period}};

    const AIReal dh = g.dragCurrent.h - g.dragStart.h;
    const AIReal dv = g.dragCurrent.v - g.dragStart.v;
    ASErr error = RealMath()->AIRealSqrt(dh * dh + dv * dv, &ring.radius);
    if (error != kNoErr) return error;
    ring.radius *= ring.unit;
    if (ring.radius < g.windmillInitial) ring.radius = 0.0f;
    if (ring.radius == 0.0f) return kNoErr;

    if (g.windmillMatch != 0) {
        error = RealMath()->AIRealPointAngle(&g.dragStart, &g.dragCurrent, &ring.startAngle);
        if (error != kNoErr) return error;
    }
    ring.step = kFullTurn / static_cast<AIReal>(copies) * g.windmillRotateFactor * 0.01f;
    error = RealMath()->DegreesToRadians(g.windmillRotation, &ring.turn);
    if (error != kNoErr) return error;

    ASErr deleteFailure = kNoErr;
    if (g.windmillObjectCopies == 0) {
        // Object by object: the whole ring of one object, then the next.
        error = ForEachObject(g, [&](AIArtHandle object, ASInt32 j) {
            AIRealPoint centre{};
            ASErr objectError = ArtCentre(object, &centre);
            if (objectError != kNoErr) return objectError;
            AIReal theta = 0.0f;
            for (ASInt32 k = 0; k < copies; ++k, theta += ring.step) {
                objectError = MakeCopy(g, event, ring, j, k, theta, centre);
                if (objectError != kNoErr) return objectError;
            }
            if (g.windmillDelete != 0) DeleteObject(object, &deleteFailure);
            return kNoErr;
        });
        if (error != kNoErr) return error;
    } else {
        // Copy number by copy number across all objects.
        AIReal theta = 0.0f;
        for (ASInt32 k = 0; k < copies; ++k, theta += ring.step) {
            error = ForEachObject(g, [&](AIArtHandle object, ASInt32 j) {
                AIRealPoint centre{};
                const ASErr centreError = ArtCentre(object, &centre);
                if (centreError != kNoErr) return centreError;
                return MakeCopy(g, event, ring, j, k, theta, centre);
            });
            if (error != kNoErr) return error;
        }
        if (g.windmillDelete != 0) {
            ForEachObject(g, [&](AIArtHandle object, ASInt32) {
                DeleteObject(object, &deleteFailure);
                return kNoErr;
            });
        }
    }

    g.windmillScaleState = g.windmillInitialScale * g.windmillScaleState * 0.01f;
    return deleteFailure;
}

} // namespace

const ToolSpec kWindmill = {
    "Windmill", &BrivaneGlobals::windmillTrail, &BrivaneGlobals::windmillDelete, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
