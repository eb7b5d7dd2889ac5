// The tool work that lives outside the frame: the drag engine fills
// BrivaneMouseDrag, the option dialogs fill BrivaneEditOptions.
#ifndef FRAME_BRIVANE_BRIVANEHOOKS_H
#define FRAME_BRIVANE_BRIVANEHOOKS_H

#include "Host.h"

// One "AI Mouse Drag" event of any Brivane tool; 0 or the first host error.
ASErr BrivaneMouseDrag(AIToolMessage* message);

// "AI Edit Options": the option dialog of the message's tool; 0 after OK,
// 'STOP' after any other way out, 0 for a tool that is not Brivane's.
ASErr BrivaneEditOptions(AIToolMessage* message);

#endif
