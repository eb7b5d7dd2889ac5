// Kestova as the frame runs it: its frame part (suites, Globals, registration,
// mouse down and up) with the point-drag tool behind "AI Mouse Drag" and
// "AI Edit Options".
#ifndef PLUGINS_KESTOVA_KESTOVAPLUGIN_H
#define PLUGINS_KESTOVA_KESTOVAPLUGIN_H

#include "frame/Frame.h"

namespace kestova {

// Everything the frame needs to run Kestova.
extern const frame::PluginDefinition kPlugin;

} // namespace kestova

#endif
