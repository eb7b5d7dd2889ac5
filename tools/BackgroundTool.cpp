// Background: backgrounds and framed bands of scattered copies.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::backCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    MoveSourcesRow(kCtrlKey),
};

} // namespace

const ToolSpec kBackground = {
    "Background", &BrivaneGlobals::backTrail, &BrivaneGlobals::backDelete, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
