#include "BrivaneHooks.h"

// The drag engine takes over here: until it does, a drag event draws nothing.
ASErr BrivaneMouseDrag(AIToolMessage* /*message*/) { return kNoErr; }
