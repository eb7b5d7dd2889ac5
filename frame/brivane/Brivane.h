// Brivane's side of the frame: its suite list, tool registration, selection
// snapshot, mouse down and mouse up. The plug-in above it (plugins/brivane)
// adds the drag engine and the option dialogs.
#ifndef FRAME_BRIVANE_BRIVANE_H
#define FRAME_BRIVANE_BRIVANE_H

#include "BrivaneGlobals.h"
#include "frame/Frame.h"

#include <cstddef>

namespace brivane {

inline constexpr std::size_t kSuiteCount = 32;
extern const frame::SuiteEntry kSuites[kSuiteCount];

// Stores SP Basic into the Globals block (PluginDefinition::storeBasicSuite).
void StoreBasicSuite(void* block, SPBasicSuite* basic);

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
