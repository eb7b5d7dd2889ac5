// Framed: frames of copies round the border of a grid.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::frameRotation, 5.0f, 360.0f, 0.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::frameCopiesWide, 1, 40, 2), IntStep(&BrivaneGlobals::frameCopiesHigh, 1, 40, 2)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::frameJitter, 5.0f, 200.0f, 0.0f)),
    TrailPauseRow(kAltKey),
};

} // namespace

const ToolSpec kFramed = {
    "Framed", &BrivaneGlobals::frameTrail, &BrivaneGlobals::frameDelete, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
