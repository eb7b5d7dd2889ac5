// Kestova's side of the frame: its suite list, tool registration, selection
// snapshot and the tool handlers the frame dispatches to.
#ifndef FRAME_KESTOVA_KESTOVA_H
#define FRAME_KESTOVA_KESTOVA_H

#include "Frame.h"
#include "KestovaGlobals.h"
#include "KestovaHooks.h"

#include <cstddef>

namespace kestova {

inline constexpr std::size_t kSuiteCount = 26;
extern const frame::SuiteEntry kSuites[kSuiteCount];

extern const frame::PluginDefinition kPlugin;

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
