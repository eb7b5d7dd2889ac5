// Kestova's only exported symbol.
#include "plugins/kestova/KestovaPlugin.h"

extern "C" PLUGIN_EXPORT ASErr PluginMain(const char* caller, const char* selector, void* message) {
    return frame::Dispatch(kestova::kPlugin, caller, selector, message);
}
