// Tile: every selected object becomes a two-by-two mirror tile about the
// centre of the whole selection: the object, a copy mirrored left to right,
// one mirrored top to bottom and one turned by half a turn, spaced by the
// drag vector. The offset is applied before the mirroring, so the tile grows
// away from the direction of the drag. No Trail and no modifier keys.
#include "Tools.h"

#include "engine/Jitter.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

// Every event works on a 2 x 2 tile.
void TwoByTwo(BrivaneGlobals& g) {
    g.tileRows = 2.0f;
    g.tileColumns = 2.0f;
}

// The mirror of the t-th duplicate: left-right, top-bottom, both.
struct Mirror {
    AIReal h, v;
};
constexpr Mirror kMirrors[] = {{-1.0f, 1.0f}, {1.0f, -1.0f}, {-1.0f, -1.0f}};

struct Tiling {
    AIReal stepX, stepY;
    ASInt32 rows, columns;
    ASInt32 fillPeriod, strokePeriod;
};

ASErr LayOutObject(const BrivaneGlobals& g, const DragEvent& event, const Tiling& tiling, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    AIRealRect bounds{};
    ASErr error = Art()->GetArtBounds(object, &bounds);
    if (error != kNoErr) return error;
    const AIRealPoint c{(bounds.left + bounds.right) / 2.0f, (bounds.top + bounds.bottom) / 2.0f};
    const AIRealPoint p = g.selectionCentre;

    ASInt32 t = 0;
    AIReal oy = 0.0f;
    for (ASInt32 r = 0; r < tiling.rows; ++r, oy += tiling.stepY) {
        AIReal ox = 0.0f;
        for (ASInt32 q = 0; q < tiling.columns; ++q, ox += tiling.stepX) {
            const int beneath = CopyBeneath(g, r, q, objectIndex, IndexForm::kGrid);
            AIArtHandle tile = object;
            MatrixBuilder matrix = t == 0 ? MatrixBuilder(-p.h, -p.v) : MatrixBuilder(ox, oy);
            if (t == 0) {
                matrix.Translate(p.h, p.v); // the object itself stays as it is
            } else {
                error = DuplicatePlaced(object, beneath, &tile);
                if (error != kNoErr) return error;
                const Mirror mirror = kMirrors[(t - 1) % 3];
                matrix.Translate(-p.h, -p.v).Scale(mirror.h, mirror.v).Translate(p.h, p.v);
            }
            ++t;
            if (g.tileJitter != 0.0f) {
                const AIRealPoint jitter = RandomJitter(g.tileJitter, g.tileJitter);
                matrix.Translate(jitter.h, jitter.v);
            }
            if (matrix.Error() != kNoErr) return matrix.Error();

            error = StyleAndTransform(g, event, tile, matrix.Matrix(), 1.0f,
                                      {r + q, tiling.fillPeriod, tiling.strokePeriod}, StyleOrder::kTransformFirst);
            if (error == kNoErr) error = FinishCopy(g, event, tile, beneath, c);
            if (error != kNoErr) return error;
        }
    }
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    TwoByTwo(g);
    const AIReal dx = g.dragCurrent.h - g.dragStart.h;
    const AIReal e = g.tileLocked != 0 ? dx : g.dragCurrent.v - g.dragStart.v;
    Tiling tiling{};
    tiling.rows = static_cast<ASInt32>(g.tileRows);
    tiling.columns = static_cast<ASInt32>(g.tileColumns);
    tiling.stepY = e / (g.tileRows - 1.0f);
    tiling.stepX = dx / (g.tileColumns - 1.0f);
    tiling.fillPeriod = g.fillPeriod != 0 ? g.fillPeriod : 2;
    tiling.strokePeriod = g.strokePeriod != 0 ? g.strokePeriod : 2;
    if (tiling.stepX == 0.0f && tiling.stepY == 0.0f) return kNoErr;

    return ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return LayOutObject(g, event, tiling, i); });
}

} // namespace

const ToolSpec kTile = {
    "Tile", nullptr, nullptr, nullptr, 0, TwoByTwo, Layout,
};

} // namespace brivane::tools
