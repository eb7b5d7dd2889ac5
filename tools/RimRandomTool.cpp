// Rim random: random scatters of scaled and rotated copies.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

const ModifierRow kRows[] = {
    StepRow(kShiftKey, IntStep(&BrivaneGlobals::rimCopies, 1, 40, 2)),
    TrailPauseRow(kAltKey),
    MoveSourcesRow(kCtrlKey),
};

} // namespace

const ToolSpec kRimRandom = {
    "Rim random", &BrivaneGlobals::rimTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
