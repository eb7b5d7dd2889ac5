// Kestova's side of the frame: its suite list, tool registration, selection
// snapshot, mouse down and mouse up. The plug-in above it (plugins/kestova)
// adds the point-drag tool's handlers.
#ifndef FRAME_KESTOVA_KESTOVA_H
#define FRAME_KESTOVA_KESTOVA_H

#include "frame/Frame.h"
#include "KestovaGlobals.h"

#include <cstddef>

namespace kestova {

inline constexpr std::size_t kSuiteCount = 26;
extern const frame::SuiteEntry kSuites[kSuiteCount];

// Stores SP Basic into the Globals block (PluginDefinition::storeBasicSuite).
void StoreBasicSuite(void* block, SPBasicSuite* basic);

// Start-up: adds the tool (in the Rows Columns group when the host has that
// tool), then sets the defaults. An error stops before any default is set.
ASErr RegisterTools(SPInterfaceMessage* message);

// Mouse down: the selected paths and text paths, and the document centre.
ASErr TakeSelectionSnapshot(KestovaGlobals& g);
void DropSelectionSnapshot(KestovaGlobals& g);

ASErr MouseDown(AIToolMessage* message);
ASErr MouseUp(AIToolMessage* message);

} // namespace kestova

#endif
