// The tools' pattern tables: the scale factors of the apply popups, the
// cells the checkerboard popup leaves out, the cells the turn popup turns and
// the turn of each frame edge. Plain functions of their inputs (the random
// entries draw from the source handed in), read by the layouts and by tests.
#ifndef TOOLS_PATTERNS_H
#define TOOLS_PATTERNS_H

#include "engine/HostCalls.h"

namespace brivane::tools {

// A horizontal and a vertical scale factor.
struct ScalePair {
    AIReal h, v;
};

// Rows Columns' apply popups: the factors of `entry` at index n (the column
// for the horizontal popup, the row for the vertical one). r is the cell's
// random draw, made only for the entries RowsColumnsApplyDraws names.
ScalePair RowsColumnsApply(ASInt32 entry, ASInt32 n, AIReal r);
bool RowsColumnsApplyDraws(ASInt32 entry);

// Rows Columns' checkerboard popup: whether cell (row i, column j) is left out.
bool RowsColumnsLeftOut(ASInt32 entry, ASInt32 i, ASInt32 j);

// Rows Columns' turn popup: whether a duplicate in cell (i, j) gets a quarter turn.
bool RowsColumnsTurned(ASInt32 entry, ASInt32 i, ASInt32 j);

// Framed's edge popup: the extra turn (radians) of border cell (i, j) of a
// frame of `rows` rows. Corners count as top or bottom cells.
AIReal FramedEdgeTurn(ASInt32 edge, ASInt32 i, ASInt32 j, ASInt32 rows, const engine::RandomSource& random);

// Windmill's apply popup: the factors of copy k of object j.
ScalePair WindmillApply(ASInt32 entry, ASInt32 k, ASInt32 j, const engine::RandomSource& random);

// Scaledown's apply popup: the scale of copy k of object i from the running
// scales. `option` is ("Scale (% Horz)", "Scale (% Vert)") x 0.01, q the
// run's apply counter (read and written by entries 10, 13 and 14).
ScalePair ScaledownApply(ASInt32 entry, ScalePair running, ScalePair option, ASInt32 k, ASInt32 i, AIReal& q,
                         const engine::RandomSource& random);

} // namespace brivane::tools

#endif
