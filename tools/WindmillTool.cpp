// Windmill: rings of copies round each object.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::windmillRotation, 5.0f, 360.0f, 0.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::windmillCopies, 1, 40, 2)),
    StepRow(kCtrlKey | kAltKey, RealStep(&BrivaneGlobals::windmillAltShift, 1.0f, 200.0f, 0.0f)),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::windmillRotateFactor, 1.0f, 200.0f, -100.0f)),
    TrailPauseRow(kAltKey),
};

} // namespace

const ToolSpec kWindmill = {
    "Windmill", &BrivaneGlobals::windmillTrail, &BrivaneGlobals::windmillDelete, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
