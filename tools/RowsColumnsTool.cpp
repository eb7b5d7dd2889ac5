// Rows Columns: grids of Columns x Rows cells spanning the drag vector.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, IntStep(&BrivaneGlobals::rcColumns, 1, 40, 2)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::rcRows, 1, 40, 2)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::rcRotation, 5.0f, 360.0f, 0.0f)),
    TrailPauseRow(kAltKey),
};

} // namespace

const ToolSpec kRowsColumns = {
    "Rows Columns", &BrivaneGlobals::rcTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
