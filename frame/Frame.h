// The part of a plug-in that talks to the host: PluginMain's dispatch,
// start-up, shut-down, unload and reload, the about box, the tool cursor and
// error reporting. Both deliverables run on it, each with its own definition.
#ifndef FRAME_FRAME_H
#define FRAME_FRAME_H

#include "host/Host.h"
#include "Suites.h"

#include <cstddef>

namespace frame {

// Resource ids shared by both deliverables.
inline constexpr ASInt32 kErrorStringList = 16050;
inline constexpr ASInt32 kAboutDialogId = 16050;
inline constexpr ASInt32 kErrorDialogId = 16051;
inline constexpr ASInt32 kToolIconList = 16050;
inline constexpr ASInt32 kToolCursorId = 16001;
inline constexpr ASInt32 kFirstToolDialogId = 16101;

// Plug-in option bit set at every start-up.
inline constexpr ASInt32 kStartupOptionBit = 2;

// What distinguishes one deliverable from the other.
struct PluginDefinition {
    const SuiteEntry* suites;  // acquisition order
    std::size_t suiteCount;
    std::size_t globalsSize;   // bytes of the Globals block
    // Stores the SP Basic suite into the Globals block's last field.
    void (*storeBasicSuite)(void* globals, SPBasicSuite* basic);
    // Start-up after the block exists: tools and defaults.
    ASErr (*registerTools)(SPInterfaceMessage* message);
    // "AI Tool" selectors.
    ASErr (*editOptions)(AIToolMessage* message);
    ASErr (*mouseDown)(AIToolMessage* message);
    ASErr (*mouseDrag)(AIToolMessage* message);
    ASErr (*mouseUp)(AIToolMessage* message);
};

// The whole of PluginMain for the given deliverable.
ASErr Dispatch(const PluginDefinition& plugin, const char* caller, const char* selector, void* message);

// The Globals block of this module (null before start-up and after shut-down).
void* GlobalsBlock();
void SetGlobalsBlock(void* block);

// String-token equality through SP Basic; false when basic is missing or fails.
bool TokensEqual(const SPBasicSuite* basic, const char* a, const char* b);

// Shows the error dialog for code, with its message from the error table.
// Silent for 0 and 'STOP' and while ADM Basic or ADM Dialog is not held.
void ReportError(SPPluginRef self, ASErr code);

// The message and the code text ReportError shows for code (what the error
// dialog receives); false when the message cannot be read.
struct ErrorText {
    char message[256];
    char code[256];
};
bool LookUpError(SPPluginRef self, ASErr code, ErrorText& text);

// The about box (dialog 16050); its result is ignored.
void ShowAboutBox(SPPluginRef self);

// Makes cursor 16001 of the plug-in's module current; failures leave the
// cursor as it is.
void SetToolCursor(SPPluginRef self);

// An item notify procedure that only runs the item's default notification
// (a push button then ends its modal dialog).
void DefaultNotifyProc(ADMItemRef item, ADMNotifierRef notifier);

// C string <-> length-prefixed string of at most 255 characters. A longer C
// string is not converted (false).
bool ToPascalString(const char* text, unsigned char* pstring);
void FromPascalString(const unsigned char* pstring, char* text, std::size_t size);

} // namespace frame

#endif
