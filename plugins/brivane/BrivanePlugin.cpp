// Brivane's plug-in definition: the frame part of Brivane for start-up, mouse
// down and mouse up, the drag session over the tool table for every drag
// event, and the option dialogs for "AI Edit Options".
#include "plugins/brivane/BrivanePlugin.h"

#include "dialogs/OptionDialog.h"
#include "frame/brivane/Brivane.h"
#include "tools/Tools.h"

namespace brivane {

namespace {

// One "AI Mouse Drag" event of any Brivane tool; 0 or the first host error.
ASErr MouseDrag(AIToolMessage* message) { return engine::RunDragEvent(message, tools::kToolTable); }

// "AI Edit Options": the option dialog of the message's tool; 0 after OK,
// 'STOP' after any other way out, 0 for a tool that is not Brivane's.
ASErr EditOptions(AIToolMessage* message) { return dialogs::OpenOptionDialog(message); }

} // namespace

const frame::PluginDefinition kPlugin = {
    kSuites,     kSuiteCount, sizeof(BrivaneGlobals), StoreBasicSuite, RegisterTools,
    EditOptions, MouseDown,   MouseDrag,              MouseUp,
};

} // namespace brivane
