// Soft center: rows of copies that converge on the cursor.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

// "Initial gap" steps by 5 in points and by 1 in centimetres or inches.
void StepGap(BrivaneGlobals& g) {
    g.softGap += g.softGapUnit == 0 ? 5.0f : 1.0f;
    if (g.softGap > 100.0f) g.softGap = -100.0f;
}

const ModifierRow kRows[] = {
    StepRow(kShiftKey | kAltKey, IntStep(&BrivaneGlobals::softCopies, 1, 40, 2)),
    CustomRow(kShiftKey, StepGap),
    TrailPauseRow(kAltKey),
};

} // namespace

const ToolSpec kSoftCenter = {
    "Soft center", &BrivaneGlobals::softTrail, nullptr, kRows, sizeof kRows / sizeof kRows[0], nullptr, nullptr,
};

} // namespace brivane::tools
