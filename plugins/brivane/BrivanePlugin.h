// Brivane as the frame runs it: its frame part (suites, Globals, registration,
// mouse down and up) with the drag engine over the tool table and the option
// dialogs behind "AI Mouse Drag" and "AI Edit Options".
#ifndef PLUGINS_BRIVANE_BRIVANEPLUGIN_H
#define PLUGINS_BRIVANE_BRIVANEPLUGIN_H

#include "frame/Frame.h"

namespace brivane {

// Everything the frame needs to run Brivane.
extern const frame::PluginDefinition kPlugin;

} // namespace brivane

#endif
