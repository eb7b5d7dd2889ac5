// The Drag tool: a straight, evenly spaced row of copies of every selected
// object from where it is to where the drag vector moves it. Member 0 is the
// object itself (rotated about its pivot); the others are duplicates of it.
#include "Tools.h"

#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

// A drag locks to vertical when its angle lies in [pi/4, 3pi/4] either way.
constexpr AIReal kQuarterTurn = 0.7853982f;
constexpr AIReal kThreeQuarterTurn = 2.3561945f;

const ModifierRow kRows[] = {
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::dragCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    MoveSourcesRow(kCtrlKey),
};

struct Row {
    AIReal stepH, stepV;
    AIReal rotation;
    CopyIndex colours;
};

ASErr LayOutObject(BrivaneGlobals& g, const DragEvent& event, const Row& row, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    AIRealRect bounds{};
    ASErr error = Art()->GetArtBounds(object, &bounds);
    if (error != kNoErr) return error;
    const AIRealPoint centre{(bounds.left + bounds.right) / 2.0f, (bounds.top + bounds.bottom) / 2.0f};
    const AIRealPoint pivot = g.dragSelected != 0 ? g.selectionCentre : centre;

    AIReal ox = 0.0f, oy = 0.0f;
    for (ASInt32 k = 0; k < g.dragCopies; ++k, ox += row.stepH, oy += row.stepV) {
        const int beneath = CopyBeneath(g, k, 0, objectIndex, IndexForm::kRun);
        if (g.dragCreate != 0 && HostRandom() > 0.5f) continue;

        MatrixBuilder m(0.0f, 0.0f);
        AIArtHandle member = object;
        if (k == 0) {
            m.Translate(-pivot.h, -pivot.v).Rotate(row.rotation).Translate(pivot.h, pivot.v);
        } else {
            // A duplicate already carries member 0's rotation.
            error = DuplicatePlaced(object, beneath, &member);
            if (error != kNoErr) return error;
        }
        m.Translate(ox, oy);
        const AIReal s1 = HostRandom() > 0.5f ? -1.0f : 1.0f;
        const AIReal s2 = HostRandom() > 0.5f ? -1.0f : 1.0f;
        const AIReal ty = HostRandom() * g.dragJitterV * s1;
        const AIReal tx = HostRandom() * g.dragJitterH * s2;
        m.Translate(tx, ty);
        if (m.Error() != kNoErr) return m.Error();

        CopyIndex colours = row.colours;
        colours.index = k;
        error = StyleAndTransform(g, event, member, m.Matrix(), 1.0f, colours, StyleOrder::kStyleFirst);
        if (error == kNoErr) error = FinishCopy(g, event, member, beneath, centre);
        if (error == kNoErr && g.dragWarp != 0) error = WarpStep(member);
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    AIReal dx = g.dragCurrent.h - g.dragStart.h;
    AIReal dy = g.dragCurrent.v - g.dragStart.v;
    if (g.dragLocked != 0) {
        AIReal angle = 0.0f;
        const ASErr error = RealMath()->AIRealPointAngle(&g.dragCurrent, &g.dragStart, &angle);
        if (error != kNoErr) return error;
        const AIReal a = angle < 0.0f ? -angle : angle;
        if (a >= kQuarterTurn && a <= kThreeQuarterTurn)
            dx = 0.0f;
        else
            dy = 0.0f;
    }
    // A row needs two members; fewer would divide by zero.
    const ASInt32 n = g.dragCopies - 1;
    if (n < 1) return kNoErr;
    Row row{dx / static_cast<AIReal>(n), dy / static_cast<AIReal>(n), 0.0f,
            {0, g.fillPeriod != 0 ? g.fillPeriod : n, g.strokePeriod != 0 ? g.strokePeriod : n}};
    if (row.stepH == 0.0f && row.stepV == 0.0f) return kNoErr;
    ASErr error = RealMath()->DegreesToRadians(g.dragRotation, &row.rotation);
    if (error != kNoErr) return error;

    return ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return LayOutObject(g, event, row, i); });
}

} // namespace

const ToolSpec kDrag = {
    "Drag", &BrivaneGlobals::dragTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
