// Bouncealong: for every selected object an evenly spaced line of copies
// along the drag vector, divided into bounces: within each bounce the copies
// shrink by a fixed percentage per copy and then grow back ("Crunch": they
// only shrink), so the sizes rise and fall like a bouncing ball. The first
// copy made is the object itself.
#include "Tools.h"

#include "engine/Jitter.h"
#include "engine/Runs.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::bounceScale, -1.0f, 30.0f, 100.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::bounceCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, IntStep(&BrivaneGlobals::bounceBounces, 1, 20, 1)),
};

struct Line {
    AIReal stepH, stepV;
    ASInt32 fillPeriod, strokePeriod;
};

// The running scale after a duplicate: shrinking by "Scale (%)", or, past
// the middle of a bounce without "Crunch", growing back by its inverse. A
// bounce grows back only once it has shrunk: the first bounce starts with
// the object itself, which keeps its size, so with two copies a bounce its
// one duplicate shrinks rather than doubling the object.
AIReal NextScale(const BrivaneGlobals& g, AIReal s, ASInt32 c, bool shrunk) {
    const bool growing = g.bounceCrunch == 0 && shrunk && c > (g.bounceCopies - 1) / 2;
    if (!growing) return g.bounceScale * s * 0.01f;
    // Nothing grows back from a scale of 0 (a value the dialog cannot give).
    if (g.bounceScale == 0.0f) return s;
    return s * 100.0f / g.bounceScale;
}

ASErr LayOutLine(BrivaneGlobals& g, const DragEvent& event, const Line& line, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    AIRealPoint centre{};
    ASErr error = ArtCentre(object, &centre);
    if (error != kNoErr) return error;
    const AIRealPoint pivot = g.bounceSelected != 0 ? g.selectionCentre : centre;

    AIReal oh = 0.0f, ov = 0.0f;
    bool firstMade = false;
    for (ASInt32 b = 0; b < g.bounceBounces; ++b) {
        AIReal s = 1.0f;
        bool shrunk = false;
        ASInt32 colourIndex = 0;
        for (ASInt32 c = 0; c < g.bounceCopies; ++c, oh += line.stepH, ov += line.stepV, colourIndex += b) {
            const int beneath = CopyBeneath(g, c, b, objectIndex, IndexForm::kGrid);
            if (g.bounceCreate != 0 && HostRandom() > 0.5f) continue;

            // The first copy made is the object itself, where it stands.
            AIArtHandle copy = object;
            if (firstMade) {
                error = DuplicatePlaced(object, beneath, &copy);
                if (error != kNoErr) return error;
                s = NextScale(g, s, c, shrunk);
                shrunk = true;
            }
            firstMade = true;

            MatrixBuilder m(-pivot.h, -pivot.v);
            m.Scale(s, s);
            AIReal lineScale = 1.0f;
            error = LineScale(g.lineWidthMode, s, s, c % 2 == 0, &lineScale);
            if (error != kNoErr) return error;
            m.Translate(pivot.h, pivot.v).Translate(oh, ov);
            if (g.bounceJitter != 0.0f) {
                const AIRealPoint t = RandomJitter(g.bounceJitter, g.bounceJitter);
                m.Translate(t.h, t.v);
            }
            if (m.Error() != kNoErr) return m.Error();

            const CopyIndex colours{colourIndex, line.fillPeriod, line.strokePeriod};
            error = StyleAndTransform(g, event, copy, m.Matrix(), lineScale, colours, StyleOrder::kTransformFirst);
            if (error == kNoErr) error = FinishCopy(g, event, copy, beneath, centre);
            if (error == kNoErr && g.bounceWarp != 0) error = WarpStep(copy);
            if (error != kNoErr) return error;
        }
    }
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    AIReal dx = g.dragCurrent.h - g.dragStart.h;
    AIReal dy = g.dragCurrent.v - g.dragStart.v;
    // The colour index c x b never passes the default period.
    const ASInt32 period = (g.bounceCopies - 1) * (g.bounceBounces - 1);
    Line line{0.0f, 0.0f, g.fillPeriod != 0 ? g.fillPeriod : period, g.strokePeriod != 0 ? g.strokePeriod : period};
    if (g.bounceLocked != 0) {
        const ASErr error = LockToDragAxis(g, &dx, &dy);
        if (error != kNoErr) return error;
    }
    // Without a bounce nothing is drawn; a line of a single copy has no
    // step to divide the drag vector into.
    const ASInt32 n = g.bounceCopies * g.bounceBounces - 1;
    if (g.bounceBounces < 1 || g.bounceCopies < 1 || n < 1) return kNoErr;
    line.stepH = dx / static_cast<AIReal>(n);
    line.stepV = dy / static_cast<AIReal>(n);
    if (line.stepH == 0.0f && line.stepV == 0.0f) return kNoErr;

    return ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return LayOutLine(g, event, line, i); });
}

} // namespace

const ToolSpec kBouncealong = {
    "Bouncealong", &BrivaneGlobals::bounceTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
