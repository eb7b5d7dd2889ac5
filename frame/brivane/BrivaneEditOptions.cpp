#include "BrivaneHooks.h"

// The option dialogs take over here: until they do, no dialog opens.
ASErr BrivaneEditOptions(AIToolMessage* /*message*/) { return kNoErr; }
