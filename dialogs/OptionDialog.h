// Brivane's option dialogs: one modal dialog per tool, built in code on a
// common frame (the tool's own items above, the shared colour, pattern,
// placement and slowdown rows below, OK, Cancel and Reset at the right).
// Values come from Globals when a dialog opens and go back on OK; the colour
// popups write their modes at once and Reset writes every tool's defaults.
#ifndef DIALOGS_OPTIONDIALOG_H
#define DIALOGS_OPTIONDIALOG_H

#include "frame/brivane/BrivaneGlobals.h"

#include <cstddef>

namespace brivane::dialogs {

inline constexpr ASInt32 kDialogWidth = 350;
inline constexpr ASInt32 kDialogHeight = 485;

// Dialog resource of tool i: 16101 + 2i.
ASInt32 DialogResourceId(int tool);

// "Tool dialog " and the tool index in decimal, into a buffer of size bytes.
void DialogName(int tool, char* buffer, std::size_t size);

// "AI Edit Options": runs the dialog of the message's tool. 0 after OK,
// 'STOP' after any other way out, the host's error when the dialog could not
// run, and 0 for a tool that is not Brivane's.
ASErr OpenOptionDialog(AIToolMessage* message);

} // namespace brivane::dialogs

#endif
