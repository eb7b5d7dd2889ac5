// Brivane's only exported symbol.
#include "plugins/brivane/BrivanePlugin.h"

extern "C" PLUGIN_EXPORT ASErr PluginMain(const char* caller, const char* selector, void* message) {
    return frame::Dispatch(brivane::kPlugin, caller, selector, message);
}
