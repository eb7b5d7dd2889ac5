// Spiraled: duplicates of every selected object on a spiral round the
// object's own position. The drag's length is the starting radius; each
// further copy steps round by one "Copies"-th of a turn, for "Arms" turns,
// while the radius decays and the copy shrinks by fixed percentages. The
// object itself is not part of the spiral and is deleted with "Delete".
#include "Tools.h"

#include "engine/Jitter.h"
#include "engine/Runs.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::spiralRotation, 5.0f, 360.0f, 0.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::spiralCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, IntStep(&BrivaneGlobals::spiralArms, 1, 30, 1)),
};

// What every spiral of one drawn event shares.
struct Spiral {
    AIReal radius;     // R
    AIReal startAngle; // theta0
    AIReal step;       // angle between copies
    AIReal turn;       // "Rotation (o)" in radians
    ASInt32 total;     // copies per object
    CopyIndex colours;
};

// The running values of one object's spiral.
struct Walk {
    AIReal angle = 0.0f; // a
    AIReal size = 1.0f;  // s
    AIReal decay = 1.0f; // d
};

// Copy j of object i; the walk's size and radius factor shrink with every
// copy after the first that is made.
ASErr MakeCopy(const BrivaneGlobals& g, const DragEvent& event, const Spiral& spiral, ASInt32 i, ASInt32 j,
               AIRealPoint centre, Walk& walk) {
    AIArtHandle object = SnapshotEntry(g, i);
    const int beneath = CopyBeneath(g, j, 0, i, IndexForm::kRun);
    if (g.spiralCreate != 0 && HostRandom() > 0.5f) return kNoErr;

    AIArtHandle copy = nullptr;
    ASErr error = DuplicatePlaced(object, beneath, &copy);
    if (error != kNoErr) return error;
    if (j >= 1) {
        walk.size = g.spiralScale * walk.size * 0.01f;
        walk.decay = g.spiralDecay * walk.decay * 0.01f;
    }

    const AIRealPoint pivot = g.spiralSelected != 0 ? g.selectionCentre : centre;
    MatrixBuilder m(-pivot.h, -pivot.v);
    m.Rotate(g.spiralAlign != 0 ? spiral.turn + walk.angle : spiral.turn);
    m.Scale(walk.size, walk.size);
    AIReal lineScale = 1.0f;
    error = LineScale(g.lineWidthMode, walk.size, walk.size, j % 2 == 0, &lineScale);
    if (error != kNoErr) return error;
    m.Translate(pivot.h, pivot.v);
    // Clockwise by default, counter-clockwise with "Reverse".
    const AIReal phi = g.spiralReverse != 0 ? spiral.startAngle + walk.angle : spiral.startAngle - walk.angle;
    AIReal cosine = 0.0f, sine = 0.0f;
    error = RealMath()->AIRealCos(phi, &cosine);
    if (error == kNoErr) error = RealMath()->AIRealSin(phi, &sine);
    if (error != kNoErr) return error;
    const AIReal reach = spiral.radius * walk.decay;
    m.Translate(reach * cosine, reach * sine);
    if (g.spiralJitter != 0.0f) {
        const AIRealPoint jitter = RandomJitter(g.spiralJitter, g.spiralJitter);
        m.Translate(jitter.h, jitter.v);
    }
    if (m.Error() != kNoErr) return m.Error();

    CopyIndex colours = spiral.colours;
    colours.index = j;
    error = StyleAndTransform(g, event, copy, m.Matrix(), lineScale, colours, StyleOrder::kStyleFirst,
                              Tagging::kNoTag);
    if (error == kNoErr) error = FinishCopy(g, event, copy, beneath, centre);
    if (error == kNoErr && g.spiralWarp != 0) error = WarpStep(copy);
    return error;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    if (g.spiralCopies < 1 || g.spiralArms < 1) return kNoErr;
    const ASInt32 total = g.spiralCopies * g.spiralArms;
    const ASInt32 period = total - 1;
    Spiral spiral{0.0f, 0.0f, kFullTurn / static_cast<AIReal>(g.spiralCopies), 0.0f, total,
                  {0, g.fillPeriod != 0 ? g.fillPeriod : period, g.strokePeriod != 0 ? g.strokePeriod : period}};

    const AIReal dh = g.dragCurrent.h - g.dragStart.h;
    const AIReal dv = g.dragCurrent.v - g.dragStart.v;
    ASErr error = RealMath()->AIRealSqrt(dh * dh + dv * dv, &spiral.radius);
    if (error != kNoErr) return error;
    // The cursor back on the start point: nothing drawn, nothing deleted.
    if (spiral.radius == 0.0f) return kNoErr;
    if (g.spiralMatch != 0) {
        // From the middle of the drag to the cursor: the drag's direction.
        const AIRealPoint middle{g.dragStart.h + dh * 0.5f, g.dragStart.v + dv * 0.5f};
        error = RealMath()->AIRealPointAngle(&middle, &g.dragCurrent, &spiral.startAngle);
        if (error != kNoErr) return error;
    }
    error = RealMath()->DegreesToRadians(g.spiralRotation, &spiral.turn);
    if (error != kNoErr) return error;

    // A failed delete does not stop the layout; the first one is the result.
    ASErr deleteFailure = kNoErr;
    error = ForEachObject(g, [&](AIArtHandle object, ASInt32 i) {
        AIRealPoint centre{};
        ASErr objectError = ArtCentre(object, &centre);
        if (objectError != kNoErr) return objectError;
        Walk walk;
        for (ASInt32 j = 0; j < spiral.total; ++j, walk.angle += spiral.step) {
            objectError = MakeCopy(g, event, spiral, i, j, centre, walk);
            if (objectError != kNoErr) return objectError;
        }
        if (g.spiralDelete != 0) {
            objectError = Art()->DisposeArt(object);
            if (objectError != kNoErr && deleteFailure == kNoErr) deleteFailure = objectError;
        }
        return kNoErr;
    });
    return error != kNoErr ? error : deleteFailure;
}

} // namespace

const ToolSpec kSpiraled = {
    "Spiraled", &BrivaneGlobals::spiralTrail, &BrivaneGlobals::spiralDelete, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
