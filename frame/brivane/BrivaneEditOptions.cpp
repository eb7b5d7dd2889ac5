// "AI Edit Options" of every Brivane tool: its option dialog.
#include "BrivaneHooks.h"
#include "OptionDialog.h"

ASErr BrivaneEditOptions(AIToolMessage* message) { return brivane::dialogs::OpenOptionDialog(message); }
