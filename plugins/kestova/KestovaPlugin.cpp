// Kestova's plug-in definition: the frame part of Kestova for start-up, mouse
// down and mouse up, and the point-drag tool for drags and its dialog.
#include "plugins/kestova/KestovaPlugin.h"

#include "frame/kestova/Kestova.h"
#include "pointdrag/PointDrag.h"

namespace kestova {

const frame::PluginDefinition kPlugin = {
    kSuites,                  kSuiteCount, sizeof(KestovaGlobals), StoreBasicSuite, RegisterTools,
    pointdrag::EditOptions,   MouseDown,   pointdrag::MouseDrag,   MouseUp,
};

} // namespace kestova
