// One drag event of the point-drag tool: the modifier keys, the undo of the
// previous event, then every selected segment of every selected path moved
// by the mode, blended with where it was, randomised, limited and written,
// and each path restyled and trailed.
#include "PointDrag.h"

namespace pointdrag {

using namespace frame;

AIReal RandomNumber() {
    AIReal r = 0.0f;
    if (Random()->FloatRnd(&r) != kNoErr) return 0.0f;
    return r;
}

namespace {

ASInt32 Modifiers() {
    ASInt32 modifiers = 0;
    if (AdmTracker()->GetModifiers(nullptr, &modifiers) != kNoErr) return 0;
    return modifiers;
}

// The pressure factor that scales the interpolation. It takes effect when
// "Pressure / interpolate" is on and the input device reports pressure: a
// light touch then moves the points part of the way, a full press all of it.
// Otherwise pressure plays no part (factor 1).
AIReal PressureFactor(const KestovaGlobals& g, const AIToolMessage& message) {
    if (g.pdPressure == 0) return 1.0f;
    ASBoolean hasPressure = 0;
    if (Tool()->SystemHasPressure(&hasPressure) != kNoErr || hasPressure == 0) return 1.0f;
    AIReal pressure = static_cast<AIReal>(message.pressure);
    if (pressure < 0.0f) pressure = 0.0f;
    if (pressure > 255.0f) pressure = 255.0f;
    return pressure / 255.0f;
}

// Blends each point of `segment` with its place in `original`: a fraction t
// of the way from where it was to where the mode put it.
ASErr Blend(const AIPathSegment& original, AIReal tIn, AIReal tOut, AIReal tPoint, AIPathSegment& segment) {
    const AIRealMathSuite* math = RealMath();
    AIRealPoint result{};
    ASErr error = math->AIRealPointInterpolate(&segment.in, &original.in, tIn, &result);
    if (error != kNoErr) return error;
    segment.in = result;
    error = math->AIRealPointInterpolate(&segment.out, &original.out, tOut, &result);
    if (error != kNoErr) return error;
    segment.out = result;
    error = math->AIRealPointInterpolate(&segment.p, &original.p, tPoint, &result);
    if (error != kNoErr) return error;
    segment.p = result;
    return kNoErr;
}

// "Anchor / direction (R)": each handle component's distance from the
// anchor shortened by its own random factor.
void ShortenHandlesAtRandom(AIPathSegment& s) {
    s.in.h = (s.in.h - s.p.h) * RandomNumber() + s.p.h;
    s.in.v = (s.in.v - s.p.v) * RandomNumber() + s.p.v;
    s.out.h = (s.out.h - s.p.h) * RandomNumber() + s.p.h;
    s.out.v = (s.out.v - s.p.v) * RandomNumber() + s.p.v;
}

struct EventContext {
    const KestovaGlobals& g;
    Gates gates;
    DragPoints points;
    AIReal tIn, tOut, tPoint;
    ASInt32 mode;
    ASErr status; // the last status of the calls that do not stop the event
};

ASErr DragPath(EventContext& e, AIArtHandle path) {
    const KestovaGlobals& g = e.g;
    ASInt16 count = 0;
    ASErr error = Path()->GetPathSegmentCount(path, &count);
    if (error != kNoErr) return error;

    for (ASInt16 i = 0; i < count; ++i) {
        AIPathSegment segment{};
        error = Path()->GetPathSegments(path, i, 1, &segment);
        if (error != kNoErr) return error;
        ASInt16 selection = kSegmentNotSelected;
        e.status = Path()->GetPathSegmentSelected(path, i, &selection);
        if (e.status != kNoErr) selection = kSegmentNotSelected;
        const AIPathSegment original = segment;

        if (g.pdTypePerPointR != 0) e.mode = ModeFromRandom(RandomNumber());
        if (selection == kSegmentNotSelected) continue;

        if (g.pdPreSwap != 0) {
            const AIRealPoint in = segment.in;
            segment.in = segment.out;
            segment.out = in;
        }
        ApplyMode(e.mode, e.gates, e.points, segment);

        bool write = true;
        if (g.pdRandomApply != 0 && RandomNumber() > 0.5f) write = false;
        if (g.pdAlternate != 0 && (i % 2) != 0) write = false;

        error = Blend(original, e.tIn, e.tOut, e.tPoint, segment);
        if (error != kNoErr) return error;
        if (g.pdAnchorDirectionR != 0) ShortenHandlesAtRandom(segment);
        LimitHandles(segment, g.pdLimit);

        if (!write) continue;
        error = Path()->SetPathSegments(path, i, 1, &segment);
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

} // namespace

ASErr MouseDrag(AIToolMessage* message) {
    using namespace frame;
    KestovaGlobals& g = *kestova::Globals();

    ASInt32 swatchCount = 0;
    if (SwatchList()->CountSwatches(nullptr, &swatchCount) != kNoErr) swatchCount = 0;

    // Shift re-anchors the drag at the cursor; nothing else happens.
    if ((Modifiers() & kADMShiftKeyFlag) != 0) {
        g.dragStart = message->cursor;
        return kNoErr;
    }
    const ASInt32 modifiers = Modifiers();
    if ((modifiers & kADMControlKeyFlag) != 0) {
        StepInterpolation(g);
    } else if ((modifiers & kADMOptionKeyFlag) != 0 && g.pdTrailTrace != 0) {
        return kNoErr; // Alt pauses the trail
    }

    if (g.pdTrailTrace == 0) {
        const ASErr error = Undo()->UndoChanges();
        if (error != kNoErr) return error;
    }

    const AIReal k = PressureFactor(g, *message);
    g.dragCurrent = message->cursor;
    const AIRealPoint d{g.dragCurrent.h - g.dragStart.h, g.dragCurrent.v - g.dragStart.v};
    if (d.h == 0.0f && d.v == 0.0f) return kNoErr;

    EventContext e{g,
                   GatesOf(g),
                   DragPoints{g.dragStart, g.dragCurrent, d, g.pdDocumentCentre},
                   g.pdInterpIn * k / 100.0f,
                   g.pdInterpOut * k / 100.0f,
                   g.pdInterpPoint * k / 100.0f,
                   g.pdMode,
                   kNoErr};
    if (g.selectedArt == nullptr) return kNoErr;

    for (ASInt32 n = g.selectedCount - 1; n >= 0; --n) {
        AIArtHandle path = (*g.selectedArt)[n];
        if (path == nullptr) continue;
        if (g.pdTypePerPathR != 0) e.mode = ModeFromRandom(RandomNumber());
        ASErr error = DragPath(e, path);
        if (error != kNoErr) return error;
        RestylePath(g, path, swatchCount, &e.status);
        error = LayTrail(g, path);
        if (error != kNoErr) return error;
    }
    return e.status;
}

} // namespace pointdrag
