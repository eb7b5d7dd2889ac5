// Checkerboard: the rectangle of the drag filled with a board of twice
// Columns by twice Rows cells of which only one colour is used (even columns
// in even rows, odd columns in odd rows). The selected object is the first
// cell, turned and (with "Touch") sized to one board cell in place; every
// other cell is a duplicate of it moved by a pure translation. No Trail.
#include "Tools.h"

#include "engine/Jitter.h"
#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, IntStep(&BrivaneGlobals::checkerColumns, 1, 40, 2)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::checkerRows, 1, 40, 2)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::checkerRotation, 5.0f, 360.0f, 0.0f)),
};

struct Board {
    AIReal stepX, stepY;
    AIReal rotation;
    ASInt32 fillPeriod, strokePeriod;
};

bool Even(ASInt32 x) { return x % 2 == 0; }

ASErr LayOutObject(const BrivaneGlobals& g, const DragEvent& event, const Board& board, ASInt32 objectIndex) {
    AIArtHandle object = SnapshotEntry(g, objectIndex);
    AIRealRect bounds{};
    ASErr error = Art()->GetArtBounds(object, &bounds);
    if (error != kNoErr) return error;
    const AIReal width = bounds.right - bounds.left;
    const AIReal height = bounds.top - bounds.bottom;
    const AIRealPoint c{bounds.left + width / 2.0f, bounds.bottom + height / 2.0f};
    const AIReal tx = StepFactor(board.stepX, width, true);
    const AIReal ty = StepFactor(board.stepY, height, true);

    const ASInt32 columnEnd = 2 * g.checkerColumns - 1;
    bool firstMade = false;
    AIReal oy = 0.0f;
    for (ASInt32 m = 0; m < 2 * g.checkerRows; ++m, oy += board.stepY) {
        // Odd rows start one column to the left of the board, one step in.
        ASInt32 n = Even(m) ? 0 : -1;
        AIReal ox = Even(m) ? 0.0f : board.stepX;
        ASInt32 colourIndex = m * n;
        for (; n < columnEnd; n += 2, ox += 2.0f * board.stepX, colourIndex += 2 * m) {
            const int beneath = CopyBeneath(g, m, n, objectIndex, IndexForm::kGrid);
            if (g.checkerCreate != 0 && HostRandom() > 0.5f) continue;

            AIArtHandle copy = object;
            AIReal lineScale = 1.0f;
            const AIRealPoint p = g.checkerSelected != 0 ? g.selectionCentre : c;
            MatrixBuilder matrix = firstMade ? MatrixBuilder(ox, oy) : MatrixBuilder(-p.h, -p.v);
            if (!firstMade) {
                // The object itself, turned (and sized) where it stands.
                firstMade = true;
                if (g.checkerSelected == 0 && g.checkerTouch != 0) matrix.Scale(tx, ty);
                matrix.Rotate(board.rotation);
                if (g.checkerSelected != 0 && g.checkerTouch != 0) matrix.Scale(tx, ty);
                matrix.Translate(p.h, p.v);
                if (g.checkerTouch != 0) {
                    error = LineScale(g.lineWidthMode, tx, ty, Even(m) && Even(n), &lineScale);
                    if (error != kNoErr) return error;
                }
            } else {
                // A duplicate of the finished first cell: its strokes are
                // already scaled, so the translation leaves them alone.
                error = DuplicatePlaced(object, beneath, &copy);
                if (error != kNoErr) return error;
            }
            if (g.checkerJitter != 0.0f) {
                const AIRealPoint jitter = RandomJitter(g.checkerJitter, g.checkerJitter);
                matrix.Translate(jitter.h, jitter.v);
            }
            if (matrix.Error() != kNoErr) return matrix.Error();

            // The first cell of an odd row has column -1; the colour rules
            // get the distance from the start of the progression.
            const CopyIndex colours{colourIndex < 0 ? -colourIndex : colourIndex, board.fillPeriod,
                                    board.strokePeriod};
            error = StyleAndTransform(g, event, copy, matrix.Matrix(), lineScale, colours,
                                      StyleOrder::kTransformFirst);
            if (error == kNoErr) error = FinishCopy(g, event, copy, beneath, c);
            if (error == kNoErr && g.checkerWarp != 0) error = WarpStep(copy);
            if (error != kNoErr) return error;
        }
    }
    return kNoErr;
}

ASErr Layout(BrivaneGlobals& g, const DragEvent& event) {
    const AIReal dx = g.dragCurrent.h - g.dragStart.h;
    const AIReal e = g.checkerLocked != 0 ? dx : g.dragCurrent.v - g.dragStart.v;
    // Boards have at least two cells per row and column.
    if (g.checkerColumns < 1 || g.checkerRows < 1) return kNoErr;
    Board board{};
    board.stepY = e / static_cast<AIReal>(2 * g.checkerRows - 1);
    board.stepX = dx / static_cast<AIReal>(2 * g.checkerColumns - 1);
    const ASInt32 period = (4 * g.checkerColumns - 4) * (g.checkerRows - 1) - 1;
    board.fillPeriod = g.fillPeriod != 0 ? g.fillPeriod : period;
    board.strokePeriod = g.strokePeriod != 0 ? g.strokePeriod : period;
    if (board.stepX == 0.0f && board.stepY == 0.0f) return kNoErr;
    ASErr error = RealMath()->DegreesToRadians(g.checkerRotation, &board.rotation);
    if (error != kNoErr) return error;

    return ForEachObject(g, [&](AIArtHandle, ASInt32 i) { return LayOutObject(g, event, board, i); });
}

} // namespace

const ToolSpec kCheckerboard = {
    "Checkerboard", nullptr, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, Layout,
};

} // namespace brivane::tools
