// Scaledown: for every selected object an evenly spaced run of copies along
// the drag vector whose scales shrink (or grow) by fixed percentages from
// copy to copy, with an opacity fade, a turn per copy and whole twists over
// the run. A 32-entry apply pattern rewrites each copy's scale from its copy
// number and its object's number. Copy 0 of a run is the object itself.
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
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::scaledownScaleH, -1.0f, 30.0f, 100.0f), RealStep(&BrivaneGlobals::scaledownScaleV, -1.0f, 30.0f, 100.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::scaledownCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, IntStep(&BrivaneGlobals::scaledownTwists, 1, 20, 0)),
};

// The running values of a run: the scales and the fade advance with every
// duplicate made, q is the state of apply entries 10, 13 and 14.
struct RunState {
    AIReal oh = 0.0f, ov = 0.0f;
    AIReal sx = 1.0f, sy = 1.0f;
    AIReal fade = 1.0f;
    AIReal q = 0.0f;
};

bool Even(ASInt32 n) { return n % 2 == 0; }

struct Run {
    ASInt32 copies;
    AIReal twistStep; // radians per copy, 0 without twists
    AIReal turn;      // radians per copy
    CopyIndex colours;
};

// Opacity steps of a copy: random opacity, pressure opacity, the fade, then
// the random blend. Returns the code of the last that ran.
ASErr FadeAndBlend(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy, AIReal fade) {
    ASErr code = kNoErr;
    if (g.randomOpacity != 0) code = BlendStyle()->SetOpacity(copy, HostRandom());
    if (g.usePressure != 0) code = BlendStyle()->SetOpacity(copy, event.pressureFactor);
    if (fade != 1.0f) code = MultiplyOpacity(copy, fade);
    if (g.randomBlend != 0) code = BlendStyle()->SetBlendingMode(copy, BlendModeOfDraw(HostRandom()));
    return code;
}

// Copy k of object i, whose centre the run read. `advances`: this copy,
// when it is a duplicate, moves the running scales and fade on.
ASErr MakeCopy(BrivaneGlobals& g, const DragEvent& event, const Run& run, RunState& state, ASInt32 k, ASInt32 i,
               AIRealPoint centre, bool advances, bool* made) {
    *made = false;
    AIArtHandle object = SnapshotEntry(g, i);
    ASErr error = kNoErr;
    const int beneath = CopyBeneath(g, k, 0, i, IndexForm::kRun);
    if (g.scaledownCreate != 0 && HostRandom() > 0.5f) return kNoErr;

    AIArtHandle copy = object;
    if (k == 0) {
        error = Art()->ReorderArt(object, beneath != 0 ? kPlaceBelowAll : kPlaceAboveAll, nullptr);
        if (error != kNoErr) return error;
    } else {
        error = DuplicatePlaced(object, beneath, &copy);
        if (error != kNoErr) return error;
        if (advances) {
            state.sx = state.sx * g.scaledownScaleH * 0.01f;
            state.sy = state.sy * g.scaledownScaleV * 0.01f;
            state.fade = state.fade * g.scaledownOpacityFade * 0.01f;
        }
    }
    *made = true;

    const ScalePair s = ScaledownApply(g.scaledownApply, {state.sx, state.sy},
                                       {g.scaledownScaleH * 0.01f, g.scaledownScaleV * 0.01f}, k, i, state.q,
                                       HostRandomSource());
    const AIRealPoint pivot = g.scaledownSelected != 0 ? g.selectionCentre : centre;
    const AIReal kr = static_cast<AIReal>(k);
    MatrixBuilder m(-pivot.h, -pivot.v);
    if (g.scaledownTwists != 0) m.Rotate(kr * run.twistStep);
    if (g.scaledownTurn != 0.0f) m.Rotate(kr * run.turn);
    m.Scale(s.h, s.v);
    AIReal lineScale = 1.0f;
    error = LineScale(g.lineWidthMode, s.h, s.v, Even(k), &lineScale);
    if (error != kNoErr) return error;
    m.Translate(pivot.h, pivot.v).Translate(state.oh, state.ov);
    if (g.scaledownJitter != 0.0f) {
        const AIRealPoint t = RandomJitter(g.scaledownJitter, g.scaledownJitter);
        m.Translate(t.h, t.v);
    }
    if (m.Error() != kNoErr) return m.Error();

    CopyIndex colours = run.colours;
    colours.index = k;
    error = StyleAndTransform(g, event, copy, m.Matrix(), lineScale, colours, StyleOrder::kStyleFirst);
    if (error != kNoErr) return error;
    error = PatternStep(g, event, copy, beneath, centre, FadeAndBlend(g, event, copy, state.fade));
    if (error == kNoErr && g.scaledownWarp != 0) error = WarpStep(copy);
    return error;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    AIReal dx = g.dragCurrent.h - g.dragStart.h;
    AIReal dy = g.dragCurrent.v - g.dragStart.v;
    ASErr error = kNoErr;
    if (g.scaledownLocked != 0) {
        error = LockToDragAxis(g, &dx, &dy);
        if (error != kNoErr) return error;
    }
    Run run{g.scaledownCopies, 0.0f, 0.0f, {0, 0, 0}};
    error = RealMath()->DegreesToRadians(g.scaledownTurn, &run.turn);
    if (error != kNoErr) return error;
    // A run needs two copies; fewer would divide by zero.
    const ASInt32 n = g.scaledownCopies - 1;
    if (n < 1) return kNoErr;
    const AIReal stepH = dx / static_cast<AIReal>(n);
    const AIReal stepV = dy / static_cast<AIReal>(n);
    run.colours = {0, g.fillPeriod != 0 ? g.fillPeriod : n, g.strokePeriod != 0 ? g.strokePeriod : n};
    if (g.scaledownTwists != 0)
        run.twistStep = static_cast<AIReal>(g.scaledownTwists) * kFullTurn / static_cast<AIReal>(n);
    if (stepH == 0.0f && stepV == 0.0f) return kNoErr;

    bool made = false;
    if (g.scaledownObjectCopies == 0) {
        // One run per object, each with its own running values.
        return ForEachObject(g, [&](AIArtHandle object, ASInt32 i) {
            AIRealPoint centre{};
            ASErr objectError = ArtCentre(object, &centre);
            if (objectError != kNoErr) return objectError;
            RunState state;
            for (ASInt32 k = 0; k < run.copies; ++k, state.oh += stepH, state.ov += stepV) {
                objectError = MakeCopy(g, event, run, state, k, i, centre, true, &made);
                if (objectError != kNoErr) return objectError;
            }
            return kNoErr;
        });
    }
    // Object-copies: copy number by copy number across all objects, with one
    // shared offset, running scales and apply counter. The running values
    // advance once per copy number, with its first duplicate made.
    RunState state;
    for (ASInt32 k = 0; k < run.copies; ++k, state.oh += stepH, state.ov += stepV) {
        bool advanced = false;
        error = ForEachObject(g, [&](AIArtHandle object, ASInt32 i) {
            // Each object's centre is read anew for every copy number.
            AIRealPoint centre{};
            ASErr objectError = ArtCentre(object, &centre);
            if (objectError == kNoErr) objectError = MakeCopy(g, event, run, state, k, i, centre, !advanced, &made);
            if (objectError != kNoErr) return objectError;
            advanced = advanced || made;
            return kNoErr;
        });
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

} // namespace

const ToolSpec kScaledown = {
    "Scaledown", &BrivaneGlobals::scaledownTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
