// Paint: painting with the selection along the cursor path. Its Trail has no
// control and is always on.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey, RealStep(&BrivaneGlobals::paintScaleH, -0.01f, 1.0f, 100.0f), RealStep(&BrivaneGlobals::paintScaleV, -0.01f, 1.0f, 100.0f)),
    TrailPauseRow(kAltKey),
    StepRow(kCtrlKey, RealStep(&BrivaneGlobals::paintJitter, 1.0f, 30.0f, 0.0f)),
};

// Counts the events that get as far as the layout.
void CountEvent(BrivaneGlobals& g) { ++g.paintEventCount; }

} // namespace

const ToolSpec kPaint = {
    "Paint", &BrivaneGlobals::paintTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], CountEvent, nullptr,
};

} // namespace brivane::tools
