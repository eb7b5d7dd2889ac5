// Tile: 2 x 2 mirror tiles. No Trail and no modifier keys.
// The layout lands with the tool; until then a drag runs the session
// (undo, Layer, slowdown, modifier keys) and draws nothing.
#include "Tools.h"

namespace brivane::tools {

using namespace engine;

namespace {

// Every event works on a 2 x 2 tile.
void TwoByTwo(BrivaneGlobals& g) {
    g.tileRows = 2.0f;
    g.tileColumns = 2.0f;
}

} // namespace

const ToolSpec kTile = {
    "Tile", nullptr, nullptr, nullptr, 0, TwoByTwo, nullptr,
};

} // namespace brivane::tools
