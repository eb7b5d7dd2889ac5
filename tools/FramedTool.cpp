// Framed: every selected object repeated round the border of a grid of
// "Copies / width" by "Copies / height" cells spanning the drag vector, a
// frame of copies. Each copy can be rotated, turned by the edge it lies on,
// scaled, jittered, recoloured and warped; with "Delete" the object itself
// is removed once its frame is made. The copies carry no tag.
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
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::frameRotation, 5.0f, 360.0f, 0.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::frameCopiesWide, 1, 40, 2),
            IntStep(&BrivaneGlobals::frameCopiesHigh, 1, 40, 2)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::frameJitter, 5.0f, 200.0f, 0.0f)),
    TrailPauseRow(kAltKey),
};

constexpr ASInt32 kEdgeDefault = 0; // " Edge - Default": no extra turn

bool Even(ASInt32 x) { return x % 2 == 0; }

struct FrameGrid {
    AIReal stepH, stepV;
    AIReal rotation;
    AIReal scale;
    ASInt32 fillPeriod, strokePeriod;
};

// Fill rule, stroke rule, random width, then the transformation; on each
// child of a compound path. No tag.
ASErr StyleThenTransform(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle art,
                         const AIRealMatrix& matrix, AIReal lineScale, ASInt32 index, const FrameGrid& grid) {
    auto steps = [&](AIArtHandle piece) {
        ApplyFillRule(piece, {g.fillMode, event.swatchCount, g.fillSwatch, index, grid.fillPeriod});
        ApplyStrokeRule(piece, {g.strokeMode, event.swatchCount, g.strokeSwatch, index, grid.strokePeriod});
        if (g.randomWidth != 0) RandomiseWidth(piece);
        return TransformArt()->TransformArt(piece, &matrix, lineScale, kCopyTransformFlags);
    };
    ASInt16 type = kUnknownArt;
    ASErr error = Art()->GetArtType(art, &type);
    if (error != kNoErr) return error;
    if (type != kCompoundPathArt) return steps(art);
    AIArtHandle child = nullptr;
    error = Art()->GetArtFirstChild(art, &child);
    while (error == kNoErr && child != nullptr) {
        error = steps(child);
        if (error == kNoErr) error = Art()->GetArtSibling(child, &child);
    }
    return error;
}

ASErr LayOutObject(const BrivaneGlobals& g, const DragEvent& event, const FrameGrid& grid, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    AIRealRect bounds{};
    ASErr error = Art()->GetArtBounds(object, &bounds);
    if (error != kNoErr) return error;
    const AIRealPoint c{(bounds.left + bounds.right) / 2.0f, (bounds.top + bounds.bottom) / 2.0f};
    const AIRealPoint p = g.frameSelected != 0 ? g.selectionCentre : c;
    const ASInt32 w = g.frameCopiesWide;
    const ASInt32 h = g.frameCopiesHigh;

    AIReal oy = 0.0f;
    for (ASInt32 i = 0; i < h; ++i, oy += grid.stepV) {
        AIReal ox = 0.0f;
        for (ASInt32 j = 0; j < w; ++j, ox += grid.stepH) {
            const int beneath = CopyBeneath(g, i, j, objectIndex, IndexForm::kGrid);
            if (g.frameCreate != 0 && HostRandom() > 0.5f) continue;
            if (i != 0 && j != 0 && i != h - 1 && j != w - 1) continue; // inside the frame

            AIArtHandle copy = nullptr;
            error = DuplicatePlaced(object, beneath, &copy);
            if (error != kNoErr) return error;

            MatrixBuilder m(-p.h, -p.v);
            m.Rotate(grid.rotation);
            const AIReal turn = FramedEdgeTurn(g.frameEdge, i, j, h, HostRandomSource());
            if (g.frameEdge != kEdgeDefault) m.Rotate(turn);
            if (grid.scale != 1.0f) m.Scale(grid.scale, grid.scale);
            if (g.frameJitter != 0.0f) {
                const AIRealPoint jitter = RandomJitter(g.frameJitter, g.frameJitter);
                m.Translate(jitter.h, jitter.v);
            }
            m.Translate(p.h, p.v).Translate(ox, oy);
            if (m.Error() != kNoErr) return m.Error();

            AIReal lineScale = 1.0f;
            if (grid.scale != 1.0f) {
                error = LineScale(g.lineWidthMode, grid.scale, grid.scale, Even(i) && Even(j), &lineScale);
                if (error != kNoErr) return error;
            }
            error = StyleThenTransform(g, event, copy, m.Matrix(), lineScale, i * j, grid);
            if (error == kNoErr) error = FinishCopy(g, event, copy, beneath, c);
            if (error == kNoErr && g.frameWarp != 0) error = WarpStep(copy);
            if (error != kNoErr) return error;
        }
    }
    if (g.frameDelete != 0) static_cast<void>(Art()->DisposeArt(object));
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    const ASInt32 w = g.frameCopiesWide;
    const ASInt32 h = g.frameCopiesHigh;
    // A frame needs two cells each way.
    if (w < 2 || h < 2) return kNoErr;
    FrameGrid grid{};
    const ASInt32 period = (h - 1) * (w - 1);
    grid.fillPeriod = g.fillPeriod != 0 ? g.fillPeriod : period;
    grid.strokePeriod = g.strokePeriod != 0 ? g.strokePeriod : period;
    ASErr error = RealMath()->DegreesToRadians(g.frameRotation, &grid.rotation);
    if (error != kNoErr) return error;

    const AIReal dx = g.dragCurrent.h - g.dragStart.h;
    const AIReal e = g.frameLocked != 0 ? dx : g.dragCurrent.v - g.dragStart.v;
    grid.stepH = dx / static_cast<AIReal>(w - 1);
    grid.stepV = e / static_cast<AIReal>(h - 1);
    grid.scale = g.frameScale * 0.01f;
    if (grid.stepH == 0.0f && grid.stepV == 0.0f) return kNoErr;

    return ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return LayOutObject(g, event, grid, i); });
}

} // namespace

const ToolSpec kFramed = {
    "Framed", &BrivaneGlobals::frameTrail, &BrivaneGlobals::frameDelete, kRows, sizeof kRows / sizeof kRows[0],
    nullptr, Layout,
};

} // namespace brivane::tools
