// Checkerboard: half-filled boards of duplicates. It has no Trail.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, IntStep(&BrivaneGlobals::checkerColumns, 1, 40, 2)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::checkerRows, 1, 40, 2)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::checkerRotation, 5.0f, 360.0f, 0.0f)),
};

} // namespace

const ToolSpec kCheckerboard = {
    "Checkerboard", nullptr, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
