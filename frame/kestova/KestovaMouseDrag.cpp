#include "KestovaHooks.h"

// The point-drag algorithm takes over here: until it does, a drag event
// changes nothing.
ASErr KestovaMouseDrag(AIToolMessage* /*message*/) { return kNoErr; }
