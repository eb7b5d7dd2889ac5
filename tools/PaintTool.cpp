// Paint: every drawn drag event adds one copy of each selected object, moved
// by the current drag vector, so the copies pile up along the cursor's path.
// Its Trail has no control and is always on, so earlier copies stay. From
// event to event the copies shrink, fade and change their fill intensity;
// they can turn to follow the stroke or turn at random.
#include "Tools.h"

#include "engine/Jitter.h"
#include "engine/Runs.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

// The colour rules' period when the option leaves it to the tool.
constexpr ASInt32 kDefaultPeriod = 100;

const ModifierRow kRows[] = {
    StepRow(kShiftKey, RealStep(&BrivaneGlobals::paintScaleH, -0.01f, 1.0f, 100.0f), RealStep(&BrivaneGlobals::paintScaleV, -0.01f, 1.0f, 100.0f)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::paintJitter, 1.0f, 30.0f, 0.0f)),
};

// Counts the events that get as far as the painting: event e paints with
// e as its colour index and intensity step.
void CountEvent(BrivaneGlobals& g) { ++g.paintEventCount; }

AIReal Clamped(AIReal x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

// Multiplies the fill's components by factor (grey, four-colour and
// three-colour fills; other kinds are left alone and nothing is written).
// Components stay within 0 .. 1, the range colours have.
ASErr Intensify(AIArtHandle art, AIReal factor) {
    AIPathStyle style{};
    const ASErr error = PathStyle()->GetPathStyle(art, &style);
    if (error != kNoErr) return error;
    int components = 0;
    switch (style.fill.color.kind) {
    case kGrayColor: components = 1; break;
    case kFourColor: components = 4; break;
    case kThreeColor: components = 3; break;
    default: return kNoErr;
    }
    for (int c = 0; c < components; ++c) style.fill.color.c[c] = Clamped(style.fill.color.c[c] * factor);
    return PathStyle()->SetPathStyle(art, &style);
}

// The intensity step on the copy, or on each child of a compound copy
// (whose results are not looked at). Returns the copy's own write-back code.
ASErr IntensityStep(AIArtHandle copy, AIReal factor) {
    ASInt16 type = kUnknownArt;
    ASErr error = Art()->GetArtType(copy, &type);
    if (error != kNoErr) return error;
    if (type != kCompoundPathArt) return Intensify(copy, factor);
    AIArtHandle child = nullptr;
    error = Art()->GetArtFirstChild(copy, &child);
    while (error == kNoErr && child != nullptr) {
        static_cast<void>(Intensify(child, factor));
        error = Art()->GetArtSibling(child, &child);
    }
    return error;
}

// Opacity steps of a copy: random opacity, the running fade, the pressure
// factor, then the random blend. Returns the code of the last that ran.
ASErr FadeAndBlend(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy, ASErr code) {
    if (g.randomOpacity != 0) code = BlendStyle()->SetOpacity(copy, HostRandom());
    if (g.paintRunOpacity != 1.0f) code = MultiplyOpacity(copy, g.paintRunOpacity);
    if (g.usePressure != 0) code = MultiplyOpacity(copy, event.pressureFactor);
    if (g.randomBlend != 0) code = BlendStyle()->SetBlendingMode(copy, BlendModeOfDraw(HostRandom()));
    return code;
}

struct Stroke {
    ASInt32 event;   // e, 1 at the first painted event of a drag
    AIReal follow;   // the turn of "Follow", radians
    AIReal intensity; // factor of the fill components
    CopyIndex colours;
};

ASErr PaintObject(BrivaneGlobals& g, const DragEvent& event, const Stroke& stroke, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    // The copy index is always 0 for this tool.
    const int beneath = CopyBeneath(g, 0, 0, objectIndex, IndexForm::kRun);
    const bool skip = g.paintCreate != 0 && HostRandom() > 0.5f;
    AIRealPoint centre{};
    ASErr error = ArtCentre(object, &centre);
    if (error != kNoErr || skip) return error;

    AIArtHandle copy = nullptr;
    error = DuplicatePlaced(object, beneath, &copy);
    if (error != kNoErr) return error;

    const AIRealPoint pivot = g.selectionCentre;
    MatrixBuilder m(-pivot.h, -pivot.v);
    m.Scale(g.paintRunScaleH, g.paintRunScaleV);
    AIReal lineScale = 1.0f;
    error = LineScale(g.lineWidthMode, g.paintRunScaleH, g.paintRunScaleV, stroke.event % 2 == 0, &lineScale);
    if (error != kNoErr) return error;
    if (g.paintFollow != 0) m.Rotate(stroke.follow);
    if (g.paintRotationR != 0) m.Rotate(HostRandom() * kFullTurn);
    m.Translate(pivot.h, pivot.v);
    if (g.paintJitter != 0.0f) {
        const AIRealPoint t = RandomJitter(g.paintJitter, g.paintJitter);
        m.Translate(t.h, t.v);
    }
    // The copy lands where the cursor has carried the object.
    m.Translate(g.dragCurrent.h - g.dragStart.h, g.dragCurrent.v - g.dragStart.v);
    if (m.Error() != kNoErr) return m.Error();

    error = StyleAndTransform(g, event, copy, m.Matrix(), lineScale, stroke.colours, StyleOrder::kTransformFirst);
    if (error != kNoErr) return error;
    ASErr code = kNoErr;
    if (g.paintIntensity != 0.0f) code = IntensityStep(copy, stroke.intensity);
    error = PatternStep(g, event, copy, beneath, centre, FadeAndBlend(g, event, copy, code));
    if (error == kNoErr && g.paintWarp != 0) error = WarpStep(copy);
    return error;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    const ASInt32 e = g.paintEventCount;
    Stroke stroke{e, 0.0f, 1.0f + static_cast<AIReal>(e) * g.paintIntensity * 0.01f,
                  {e, g.fillPeriod != 0 ? g.fillPeriod : kDefaultPeriod,
                   g.strokePeriod != 0 ? g.strokePeriod : kDefaultPeriod}};
    if (g.paintFollow != 0) {
        // The direction from the cursor back to the previous painted point.
        const AIRealPoint last{g.paintLastX, g.paintLastY};
        const ASErr error = RealMath()->AIRealPointAngle(&g.dragCurrent, &last, &stroke.follow);
        if (error != kNoErr) return error;
    }
    const ASErr error = ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return PaintObject(g, event, stroke, i); });
    if (error != kNoErr) return error;
    // The next event's copies: smaller, fainter, turned from here.
    g.paintRunScaleH = g.paintScaleH * 0.01f * g.paintRunScaleH;
    g.paintRunScaleV = g.paintScaleV * 0.01f * g.paintRunScaleV;
    g.paintRunOpacity = g.paintOpacityFade * 0.01f * g.paintRunOpacity;
    g.paintLastX = g.dragCurrent.h;
    g.paintLastY = g.dragCurrent.v;
    return kNoErr;
}

} // namespace

const ToolSpec kPaint = {
    "Paint", &BrivaneGlobals::paintTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], CountEvent, Layout,
};

} // namespace brivane::tools
