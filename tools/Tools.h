// Brivane's tools: one ToolSpec per tool (its Trail and Delete fields, its
// modifier rows and its layout), and the warp step most layouts share.
#ifndef TOOLS_TOOLS_H
#define TOOLS_TOOLS_H

#include "engine/Engine.h"

namespace brivane::tools {

extern const engine::ToolSpec kRowsColumns;
extern const engine::ToolSpec kDrag;
extern const engine::ToolSpec kSoftCenter;
extern const engine::ToolSpec kFramed;
extern const engine::ToolSpec kRimRandom;
extern const engine::ToolSpec kWindmill;
extern const engine::ToolSpec kScaledown;
extern const engine::ToolSpec kBouncealong;
extern const engine::ToolSpec kSpiraled;
extern const engine::ToolSpec kCheckerboard;
extern const engine::ToolSpec kPaint;
extern const engine::ToolSpec kTile;
extern const engine::ToolSpec kBackground;

// All thirteen in tool order.
extern const engine::ToolSpec* const kToolTable[kToolCount];

// "Warp [R]": wraps member in an envelope (a duplicate of it above all art)
// and gives the envelope a random warp style, bend, distortions and turn.
ASErr WarpStep(AIArtHandle member);

} // namespace brivane::tools

#endif
