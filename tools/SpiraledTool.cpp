// Spiraled: spiral arms of decaying copies.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::spiralRotation, 5.0f, 360.0f, 0.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::spiralCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, IntStep(&BrivaneGlobals::spiralArms, 1, 30, 1)),
};

} // namespace

const ToolSpec kSpiraled = {
    "Spiraled", &BrivaneGlobals::spiralTrail, &BrivaneGlobals::spiralDelete, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
