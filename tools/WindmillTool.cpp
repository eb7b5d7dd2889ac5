// Windmill: a ring of copies round every selected object. The copies stand
// at equal angular steps on a circle as wide as the drag is long, each can
// be turned with its angle like a windmill's sail and sized by the tool's
// apply pattern; by default the objects themselves are deleted afterwards,
// so only the rings remain. The running scale shrinks or grows the rings
// from one drawn event to the next.
#include "Tools.h"

#include "Jitter.h"
#include "Runs.h"
#include "Suites.h"

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

// The fractions of the apply pattern, as 32-bit reals.
constexpr AIReal kHalf = 0.5f;
constexpr AIReal kThird = 0.33333334f;
constexpr AIReal kQuarter = 0.25f;
constexpr AIReal kFifth = 0.2f;
constexpr AIReal kSixth = 0.16666667f;
constexpr AIReal kSeventh = 0.14285715f;
constexpr AIReal kEighth = 0.125f;
constexpr AIReal kFiveSixths = 0.8333333f;
constexpr AIReal kTwoThirds = 0.6666667f;

struct Factors {
    AIReal a, b; // horizontal, vertical
};

constexpr Factors Both(AIReal f) { return {f, f}; }

// 1 / n as a real division.
AIReal Reciprocal(ASInt32 n) { return 1.0f / static_cast<AIReal>(n); }

template <std::size_t N>
Factors Cycle(const AIReal (&values)[N], ASInt32 k) {
    return Both(values[static_cast<std::size_t>(k) % N]);
}

// The Windmill apply pattern: horizontal and vertical factors of copy k of
// object j for popup entry e. "Mixed" entries look at whether k and j have
// different parity. Entries outside the popup give 1.
Factors WindmillApply(ASInt32 e, ASInt32 k, ASInt32 j) {
    const bool odd = k % 2 != 0;
    const bool mixed = (k % 2) != (j % 2);
    switch (e) {
    case 1:
    case 6: return Both(odd ? kHalf : 1.0f);
    case 2:
    case 7: return Both(k % 3 == 0 ? 1.0f : kHalf);
    case 3: return Both(k % 4 == 0 ? 1.0f : kHalf);
    case 4: return Both(odd ? kQuarter : 1.0f);
    case 5: return Both(odd ? kEighth : 1.0f);
    case 8: return Both(Reciprocal(k + 1));
    case 9:
        if (k % 4 != 0) return {kQuarter, kSixth};
        if (k % 3 != 0) return {kThird, kQuarter};
        return Both(1.0f);
    case 10:
        if (k % 5 != 0) return Both(kSixth);
        if (odd) return Both(kFifth);
        if (k % 3 != 0) return Both(kQuarter);
        return Both(1.0f);
    case 11: return Both(Reciprocal(k + 2));
    case 12: return Both(Reciprocal(k + 3));
    case 13: return Both(Reciprocal(k % 2 + 1));
    case 14: return Both(Reciprocal(k % 3 + 1));
    case 15: return Both(Reciprocal(k % 4 + 1));
    case 16: return Both(static_cast<AIReal>(k % 2 + 1) * kHalf);
    case 17: return Both(odd ? kHalf : (k % 5 == 0 ? 1.0f : kHalf));
    case 18: return Both(odd ? kHalf : (k % 3 == 0 ? 1.0f : kHalf));
    case 19: return Both(odd || k % 3 != 0 ? kThird : 1.0f);
    case 20: return Both(odd || k % 3 != 0 ? kThird : Reciprocal(k + 1));
    case 21: return Both(odd ? kQuarter : (k % 3 == 0 ? 1.0f : kQuarter));
    case 22: return Both(k % 3 != 0 ? kHalf : (k % 5 == 0 ? 1.0f : kHalf));
    case 23: return Both(k % 3 != 0 ? kThird : (k % 6 == 0 ? 1.0f : kThird));
    case 24: return Both(k % 4 == 1 && k % 3 == 2 ? 1.0f : kHalf);
    case 25: return Both(k % 4 == 1 && k % 5 == 2 ? 1.0f : kThird);
    case 26: return Both(k % 4 == 2 && k % 5 == 3 ? 1.0f : kQuarter);
    case 27: return Both(odd ? HostRandom() : 1.0f);
    case 28: return Both(k % 3 != 0 ? HostRandom() : 1.0f);
    case 29: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, kQuarter, kFifth};
        return Cycle(v, k);
    }
    case 30: {
        static constexpr AIReal v[] = {kFifth, kQuarter, kThird, kHalf, 1.0f};
        return Cycle(v, k);
    }
    case 31: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, kQuarter, kFifth, kSixth, kSeventh};
        return Cycle(v, k);
    }
    case 32: {
        static constexpr AIReal v[] = {1.0f, 0.8f, 0.6f, 0.4f, 0.2f};
        return Cycle(v, k);
    }
    case 33: {
        static constexpr AIReal v[] = {1.0f, kFiveSixths, kTwoThirds, kHalf, kThird, kSixth};
        return Cycle(v, k);
    }
    case 34: return Both(odd ? 1.0f : (k % 3 == 1 ? kQuarter : kHalf));
    case 35: return Both(k % 3 != 0 ? 1.0f : (k % 5 == 1 ? kQuarter : kHalf));
    case 36: return Both(!odd ? 1.0f : (k % 4 == 1 ? kSixth : kThird));
    case 37: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, kQuarter, kThird, kHalf, 1.0f};
        return Cycle(v, k);
    }
    case 38: {
        static constexpr AIReal v[] = {kFifth, kQuarter, kThird, kHalf, 1.0f, kHalf, kThird, kQuarter};
        return Cycle(v, k);
    }
    case 39: {
        static constexpr AIReal v[] = {kSixth, kQuarter, kHalf, 1.0f, kHalf, kQuarter, kSixth};
        return Cycle(v, k);
    }
    case 40: {
        static constexpr AIReal v[] = {kEighth, kSixth, kFifth, kThird, 1.0f, kThird, kFifth, kSixth, kEighth};
        return Cycle(v, k);
    }
    case 41: {
        static constexpr AIReal v[] = {kQuarter, kHalf, kQuarter, 1.0f, kQuarter, kHalf, kQuarter};
        return Cycle(v, k);
    }
    case 42: {
        static constexpr AIReal v[] = {1.0f, kHalf, kThird, 1.0f, kThird, kHalf, 1.0f};
        return Cycle(v, k);
    }
    case 43: return odd ? Factors{-1.0f, 1.0f} : Both(1.0f);
    case 44: return odd ? Factors{1.0f, -1.0f} : Both(1.0f);
    case 45: return odd ? Factors{-1.0f, -1.0f} : Both(1.0f);
    case 46: return odd ? Factors{-1.0f, -1.0f} : Both(kHalf);
    case 47: return odd ? Factors{1.0f, -1.0f} : Factors{-1.0f, 1.0f};
    case 48: return odd ? Factors{-1.0f, 1.0f} : Factors{1.0f, -1.0f};
    case 49:
        if (!odd && j % 2 != 0) return {1.0f, -1.0f};
        if (odd && j % 2 == 0) return {-1.0f, 1.0f};
        return Both(1.0f);
    case 50: return mixed ? Factors{-1.0f, -1.0f} : Both(1.0f);
    case 51:
    case 52: return mixed ? Factors{1.0f, -1.0f} : Both(1.0f);
    case 53: return mixed ? Factors{-1.0f, -1.0f} : Both(kHalf);
    case 54: return mixed ? Factors{-kHalf, 1.0f} : Factors{1.0f, -kHalf};
    case 55: return mixed ? Factors{kHalf, -1.0f} : Factors{-1.0f, kHalf};
    default: return Both(1.0f);
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
    const Factors f = WindmillApply(g.windmillApply, k, j);

    const AIRealPoint pivot = g.windmillSelected != 0 ? g.selectionCentre : centre;
    const AIReal running = g.windmillScaleState * 0.01f;
    const AIReal sx = f.a * ring.scale * running;
    const AIReal sy = f.b * ring.scale * running;
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
        for (ASInt32 j = g.selectedCount - 1; j >= 0; --j) {
            AIArtHandle object = SnapshotEntry(g, j);
            if (object == nullptr) continue;
            AIRealPoint centre{};
            error = ArtCentre(object, &centre);
            if (error != kNoErr) return error;
            AIReal theta = 0.0f;
            for (ASInt32 k = 0; k < copies; ++k, theta += ring.step) {
                error = MakeCopy(g, event, ring, j, k, theta, centre);
                if (error != kNoErr) return error;
            }
            if (g.windmillDelete != 0) DeleteObject(object, &deleteFailure);
        }
    } else {
        // Copy number by copy number across all objects.
        AIReal theta = 0.0f;
        for (ASInt32 k = 0; k < copies; ++k, theta += ring.step) {
            for (ASInt32 j = g.selectedCount - 1; j >= 0; --j) {
                AIArtHandle object = SnapshotEntry(g, j);
                if (object == nullptr) continue;
                AIRealPoint centre{};
                error = ArtCentre(object, &centre);
                if (error != kNoErr) return error;
                error = MakeCopy(g, event, ring, j, k, theta, centre);
                if (error != kNoErr) return error;
            }
        }
        if (g.windmillDelete != 0) {
            for (ASInt32 j = g.selectedCount - 1; j >= 0; --j) {
                AIArtHandle object = SnapshotEntry(g, j);
                if (object != nullptr) DeleteObject(object, &deleteFailure);
            }
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
