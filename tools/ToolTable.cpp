// The thirteen tools in tool order.
#include "Tools.h"

namespace brivane::tools {

const engine::ToolSpec* const kToolTable[kToolCount] = {
    &kRowsColumns, &kDrag,         &kSoftCenter,   &kFramed, &kRimRandom, &kWindmill,   &kScaledown,
    &kBouncealong, &kSpiraled,     &kCheckerboard, &kPaint,  &kTile,      &kBackground,
};

} // namespace brivane::tools
