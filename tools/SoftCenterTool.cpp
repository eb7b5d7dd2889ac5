// Soft center: every selected object sends an evenly spaced row of copies of
// itself towards the cursor, so the rows of all objects converge on it. The
// initial gap lengthens or shortens every row along the cursor-object line,
// leaving a gap of that size round the meeting point. Member 0 of a row is
// the object itself, the others are duplicates of it.
#include "Tools.h"

#include "engine/Jitter.h"
#include "engine/Runs.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

// Points per unit of the gap and the jitter: points, centimetres, inches.
constexpr AIReal kPointsPerCentimetre = 28.347f;
constexpr AIReal kPointsPerInch = 71.9467f;

AIReal UnitFactor(ASInt32 unit) {
    switch (unit) {
    case 1: return kPointsPerCentimetre;
    case 2: return kPointsPerInch;
    default: return 1.0f; // points, and any value the popup cannot hold
    }
}

// "Initial gap" steps by 5 in points and by 1 in centimetres or inches.
void StepGap(BrivaneGlobals& g) {
    g.softGap += g.softGapUnit == 0 ? 5.0f : 1.0f;
    if (g.softGap > 100.0f) g.softGap = -100.0f;
}

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, IntStep(&BrivaneGlobals::softCopies, 1, 40, 2)),
    CustomRow(kShiftKey, StepGap),
    TrailPauseRow(kAltKey),
};

struct Rows {
    ASInt32 members; // per row, the object included
    AIReal unit;     // points per unit of gap and jitter
    CopyIndex colours;
};

ASErr LayOutRow(BrivaneGlobals& g, const DragEvent& event, const Rows& rows, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    AIRealPoint centre{};
    ASErr error = ArtCentre(object, &centre);
    if (error != kNoErr) return error;

    AIRealPoint v{g.dragCurrent.h - centre.h, g.dragCurrent.v - centre.v};
    if (g.softLocked != 0) {
        error = LockToDragAxis(g, &v.h, &v.v);
        if (error != kNoErr) return error;
    }
    // The gap runs along the line from the cursor towards the object's
    // centre; it is added after the lock, so a locked row can still gain a
    // part along the axis the lock cleared.
    AIReal theta = 0.0f, cosine = 0.0f, sine = 0.0f;
    error = RealMath()->AIRealPointAngle(&g.dragCurrent, &centre, &theta);
    if (error == kNoErr) error = RealMath()->AIRealCos(theta, &cosine);
    if (error == kNoErr) error = RealMath()->AIRealSin(theta, &sine);
    if (error != kNoErr) return error;
    v.h += cosine * g.softGap * rows.unit;
    v.v += sine * g.softGap * rows.unit;

    const AIReal n = static_cast<AIReal>(rows.members - 1);
    const AIReal stepH = v.h / n;
    const AIReal stepV = v.v / n;
    if (stepH == 0.0f && stepV == 0.0f) return kNoErr;

    const AIReal jitter = g.softJitter * rows.unit;
    AIReal oh = 0.0f, ov = 0.0f;
    for (ASInt32 k = 0; k < rows.members; ++k, oh += stepH, ov += stepV) {
        const int beneath = CopyBeneath(g, k, 0, objectIndex, IndexForm::kRun);
        if (g.softCreate != 0 && HostRandom() > 0.5f) continue;

        AIArtHandle member = object;
        if (k > 0) {
            error = DuplicatePlaced(object, beneath, &member);
            if (error != kNoErr) return error;
        }
        MatrixBuilder m(oh, ov);
        if (g.softJitter != 0.0f) {
            const AIRealPoint t = RandomJitter(jitter, jitter);
            m.Translate(t.h, t.v);
        }
        if (m.Error() != kNoErr) return m.Error();

        CopyIndex colours = rows.colours;
        colours.index = k;
        error = StyleAndTransform(g, event, member, m.Matrix(), 1.0f, colours, StyleOrder::kStyleFirst);
        if (error == kNoErr) error = FinishCopy(g, event, member, beneath, centre);
        if (error == kNoErr && g.softWarp != 0) error = WarpStep(member);
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    // A row needs two members; fewer would divide by zero.
    const ASInt32 n = g.softCopies - 1;
    if (n < 1) return kNoErr;
    const Rows rows{g.softCopies, UnitFactor(g.softGapUnit),
                    {0, g.fillPeriod != 0 ? g.fillPeriod : n, g.strokePeriod != 0 ? g.strokePeriod : n}};
    return ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return LayOutRow(g, event, rows, i); });
}

} // namespace

const ToolSpec kSoftCenter = {
    "Soft center", &BrivaneGlobals::softTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
