// "AI Mouse Drag" of every Brivane tool: the drag session over the tool table.
#include "BrivaneHooks.h"
#include "Tools.h"

ASErr BrivaneMouseDrag(AIToolMessage* message) {
    return brivane::engine::RunDragEvent(message, brivane::tools::kToolTable);
}
