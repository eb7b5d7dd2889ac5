// Scaledown: zooming runs of copies.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, RealStep(&BrivaneGlobals::scaledownScaleH, -1.0f, 30.0f, 100.0f), RealStep(&BrivaneGlobals::scaledownScaleV, -1.0f, 30.0f, 100.0f)),
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::scaledownCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, IntStep(&BrivaneGlobals::scaledownTwists, 1, 20, 0)),
};

} // namespace

const ToolSpec kScaledown = {
    "Scaledown", &BrivaneGlobals::scaledownTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
