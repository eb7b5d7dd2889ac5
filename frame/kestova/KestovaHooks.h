// The tool work that lives outside the frame: the point-drag algorithm fills
// KestovaMouseDrag, the option dialog fills KestovaEditOptions.
#ifndef FRAME_KESTOVA_KESTOVAHOOKS_H
#define FRAME_KESTOVA_KESTOVAHOOKS_H

#include "Host.h"

// One "AI Mouse Drag" event; 0 or the status the event ends with.
ASErr KestovaMouseDrag(AIToolMessage* message);

// "AI Edit Options": the dialog when the message's tool is Kestova's; 0 after
// OK, 'STOP' after Cancel, 0 without a dialog for any other tool.
ASErr KestovaEditOptions(AIToolMessage* message);

#endif
