// The eleven drag modes as a table: what each does to the anchor, the
// out-direction point and the in-direction point of a segment.
#include "PointDrag.h"

namespace pointdrag {

const char* const kModeNames[kModeCount] = {
    " Direction points drag (start, cursor)",
    " Direction points drag (cursor)",
    " Anchor points drag (cursor)",
    " Anchor points add (cursor)",
    " Direction points add (cursor)",
    " Direction points factor (cursor)",
    " Anchor points drag (cursor, corner)",
    " Anchor points drag (cursor, document center)",
    " Direction points drag (cursor, corner)",
    " Direction points drag (cursor, document center)",
    " Direction points drag (cursor, start)",
};

namespace {

// What happens to one point of the segment.
enum class Action {
    Keep,
    SetToStart,  // S, through the source variants
    SetToCursor, // E, through the source variants
    SetToCorner, // (0, 0), as it is
    SetToCentre, // D, as it is
    MoveByDrag,  // + d, through the source variants
    ScaleByDrag, // offset from the anchor times d / 100 (handles only)
};

struct ModeRule {
    Action anchor;
    Action out;
    Action in;
};

constexpr ModeRule kModes[kModeCount] = {
    {Action::Keep, Action::SetToCursor, Action::SetToStart},         // 0
    {Action::Keep, Action::SetToCursor, Action::SetToCursor},        // 1
    {Action::SetToCursor, Action::Keep, Action::Keep},               // 2
    {Action::MoveByDrag, Action::Keep, Action::Keep},                // 3
    {Action::Keep, Action::MoveByDrag, Action::MoveByDrag},          // 4
    {Action::Keep, Action::ScaleByDrag, Action::ScaleByDrag},        // 5
    {Action::MoveByDrag, Action::SetToCorner, Action::SetToCorner},  // 6
    {Action::MoveByDrag, Action::SetToCentre, Action::SetToCentre},  // 7
    {Action::SetToCorner, Action::MoveByDrag, Action::MoveByDrag},   // 8
    {Action::SetToCentre, Action::MoveByDrag, Action::MoveByDrag},   // 9
    {Action::Keep, Action::SetToStart, Action::SetToCursor},         // 10
};

// A source point as the variants read it.
AIRealPoint Source(const Gates& gates, AIRealPoint x) {
    if (gates.locked) return {x.v, x.v};
    if (gates.swap) return {x.v, x.h};
    return x;
}

void Set(const Gates& gates, AIRealPoint& target, AIRealPoint value) {
    if (gates.horizontal) target.h = value.h;
    if (gates.vertical) target.v = value.v;
}

void Apply(Action action, const Gates& gates, const DragPoints& points, AIRealPoint anchor, AIRealPoint& target) {
    switch (action) {
    case Action::Keep:
        break;
    case Action::SetToStart:
        Set(gates, target, Source(gates, points.start));
        break;
    case Action::SetToCursor:
        Set(gates, target, Source(gates, points.cursor));
        break;
    case Action::SetToCorner:
        Set(gates, target, AIRealPoint{0.0f, 0.0f});
        break;
    case Action::SetToCentre:
        Set(gates, target, points.centre);
        break;
    case Action::MoveByDrag: {
        const AIRealPoint d = Source(gates, points.delta);
        Set(gates, target, AIRealPoint{target.h + d.h, target.v + d.v});
        break;
    }
    case Action::ScaleByDrag: {
        // A drag of 100 points keeps the handle, 200 doubles it, a negative
        // drag flips it to the other side of the anchor.
        const AIRealPoint d = Source(gates, points.delta);
        const AIRealPoint scaled{(target.h - anchor.h) * (d.h / 100.0f) + anchor.h,
                                 (target.v - anchor.v) * (d.v / 100.0f) + anchor.v};
        Set(gates, target, scaled);
        break;
    }
    }
}

AIReal Clamp(AIReal value, AIReal centre, AIReal limit) {
    if (value > centre + limit) return centre + limit;
    if (value < centre - limit) return centre - limit;
    return value;
}

} // namespace

Gates GatesOf(const KestovaGlobals& g) {
    Gates gates;
    gates.horizontal = g.pdHorizontal != 0;
    gates.vertical = g.pdVertical != 0;
    gates.applyIn = g.pdApplyIn != 0;
    gates.applyOut = g.pdApplyOut != 0;
    gates.swap = g.pdSwap != 0;
    gates.locked = g.pdLocked != 0;
    return gates;
}

void ApplyMode(ASInt32 mode, const Gates& gates, const DragPoints& points, AIPathSegment& segment) {
    if (mode < 0 || mode >= kModeCount) return;
    const ModeRule& rule = kModes[mode];
    // The handles scale about the anchor as it was read; no mode both
    // scales the handles and moves the anchor.
    const AIRealPoint anchor = segment.p;
    Apply(rule.anchor, gates, points, anchor, segment.p);
    if (gates.applyOut) Apply(rule.out, gates, points, anchor, segment.out);
    if (gates.applyIn) Apply(rule.in, gates, points, anchor, segment.in);
}

void LimitHandles(AIPathSegment& segment, AIReal limit) {
    segment.in.h = Clamp(segment.in.h, segment.p.h, limit);
    segment.in.v = Clamp(segment.in.v, segment.p.v, limit);
    segment.out.h = Clamp(segment.out.h, segment.p.h, limit);
    segment.out.v = Clamp(segment.out.v, segment.p.v, limit);
}

ASInt32 ModeFromRandom(AIReal r) {
    ASInt32 mode = static_cast<ASInt32>(r * static_cast<AIReal>(kModeCount));
    if (mode > kModeCount - 1) mode = kModeCount - 1;
    if (mode < 0) mode = 0;
    return mode;
}

void StepInterpolation(KestovaGlobals& g) {
    AIReal* fields[3] = {&g.pdInterpIn, &g.pdInterpOut, &g.pdInterpPoint};
    for (AIReal* field : fields) {
        *field += 1.0f;
        if (*field > 100.0f) *field = 0.0f;
    }
}

ASInt32 SwatchIndexFromRandom(AIReal r, ASInt32 count) {
    constexpr ASInt32 kFirstColourSwatch = 2; // after "[None]" and "[Registration]"
    if (count <= kFirstColourSwatch) return -1;
    ASInt32 n = static_cast<ASInt32>(r * static_cast<AIReal>(count)) + 1;
    if (n > count - 1) n = count - 1; // the list counts from 0: count is past its end
    if (n < kFirstColourSwatch) n = kFirstColourSwatch;
    return n;
}

} // namespace pointdrag
