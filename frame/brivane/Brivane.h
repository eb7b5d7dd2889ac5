// Brivane's side of the frame: its suite list, tool registration, selection
// snapshot and the tool handlers the frame dispatches to.
#ifndef FRAME_BRIVANE_BRIVANE_H
#define FRAME_BRIVANE_BRIVANE_H

#include "BrivaneGlobals.h"
#include "BrivaneHooks.h"
#include "Frame.h"

#include <cstddef>

namespace brivane {

inline constexpr std::size_t kSuiteCount = 32;
extern const frame::SuiteEntry kSuites[kSuiteCount];

// Everything the frame needs to run Brivane.
extern const frame::PluginDefinition kPlugin;

// Start-up: adds the thirteen tools in one palette group, then sets every
// default. An error stops registration before any default is set.
ASErr RegisterTools(SPInterfaceMessage* message);

// Mouse down: the selected art (members of selected compound paths left out)
// and the centre of its union bounds.
ASErr TakeSelectionSnapshot(BrivaneGlobals& g);
// Mouse up: gives the selection array back to the host.
void DropSelectionSnapshot(BrivaneGlobals& g);

ASErr MouseDown(AIToolMessage* message);
ASErr MouseUp(AIToolMessage* message);

} // namespace brivane

#endif
