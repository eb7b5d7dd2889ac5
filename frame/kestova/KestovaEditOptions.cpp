#include "KestovaHooks.h"

// The option dialog takes over here: until it does, no dialog opens.
ASErr KestovaEditOptions(AIToolMessage* /*message*/) { return kNoErr; }
