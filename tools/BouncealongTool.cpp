// Bouncealong: bouncing runs of shrinking and growing copies.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::bounceScale, -1.0f, 30.0f, 100.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::bounceCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, IntStep(&BrivaneGlobals::bounceBounces, 1, 20, 1)),
};

} // namespace

const ToolSpec kBouncealong = {
    "Bouncealong", &BrivaneGlobals::bounceTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
