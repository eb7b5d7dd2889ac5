/*
 * The dialog manager suites: dialogs, items, popup lists and their entries,
 * icons, the modifier tracker, notifiers, and the basic suite for alerts and
 * indexed strings. Plug-ins describe their dialogs; the host's dialog
 * manager runs them (by script in batch runs, by a person in the studio).
 */
#ifndef HOST_ADMSUITES_H
#define HOST_ADMSUITES_H
// Read as a system header from wherever it is included: the ABI's C macros
// use C casts, which the C++ expanding them must not be warned about.
#pragma GCC system_header

#include "ASTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Item kinds, by name. */
#define kADMTextStaticType "ADM Text Static Type"
#define kADMSpinEditType "ADM Spin Edit Type"
#define kADMPopupListType "ADM Popup List Type"
#define kADMTextCheckBoxType "ADM Text Check Box Type"
#define kADMTextPushButtonType "ADM Text Push Button Type"
#define kADMFrameType "ADM Frame Type"

/* Notifier types. */
#define kADMUserChangedNotifier "ADM User Changed Notifier"

/* Modal style 0: an ordinary modal dialog. */
enum { kADMModalDialogStyle = 0 };

/* Modifier word of the tracker. */
enum { kADMShiftKeyFlag = 0x20, kADMOptionKeyFlag = 0x40, kADMControlKeyFlag = 0x200 };

/* Icon types; kADMUnknownIconType means no usable icon. */
enum { kADMIconBitmapType = 1, kADMUnknownIconType = 6 };

/* Callbacks a plug-in gives the dialog manager. */
typedef ASErr (*ADMDialogInitProc)(ADMDialogRef dialog);
typedef void (*ADMItemNotifyProc)(ADMItemRef item, ADMNotifierRef notifier);

/* ---- ADM Basic ---- */
#define kADMBasicSuite "ADM Basic Suite"
#define kADMBasicSuiteVersion 2
typedef struct ADMBasicSuite {
    /* Any time. Shows a modal message alert with an OK button. */
    ASErr (*MessageAlert)(const char* text);
    /* Any time. Shows a modal error alert with an OK button. */
    ASErr (*ErrorAlert)(const char* text);
    /* Any time. Entry `index` of string list `listId` of the plug-in, at most
     * max - 1 characters and a NUL; past the end of the list: "". */
    ASErr (*GetIndexString)(SPPluginRef plugin, ASInt32 listId, ASInt32 index, char* buffer, ASInt32 max);
    /* Any time. Audible or visual beep. */
    ASErr (*Beep)(void);
} ADMBasicSuite;

/* ---- ADM Dialog ---- */
#define kADMDialogSuite "ADM Dialog Suite"
#define kADMDialogSuiteVersion 3
typedef struct ADMDialogSuite {
    /* During a call. Runs the dialog resource dialogId of the plug-in modally:
     * initProc creates its items, then the driver runs it until an item's
     * default notification or EndModal ends it. *result := that item id. */
    ASErr (*Modal)(SPPluginRef plugin, const char* name, ASInt32 dialogId, ASInt32 style,
                   ADMDialogInitProc initProc, void* userData, ASInt32* result);
    /* While the dialog exists. Ends a modal dialog with result `itemId`. */
    ASErr (*EndModal)(ADMDialogRef dialog, ASInt32 itemId);
    /* While the dialog exists. Creates an item of kind `itemType` (by name). */
    ASErr (*CreateItem)(ADMDialogRef dialog, ASInt32 itemId, const char* itemType, const ASRect* bounds,
                        ADMItemRef* item);
    /* While the dialog exists. The item with that id, or NULL. */
    ASErr (*GetItem)(ADMDialogRef dialog, ASInt32 itemId, ADMItemRef* item);
    /* While the dialog exists. The dialog's bounds in screen pixels. */
    ASErr (*GetBoundsRect)(ADMDialogRef dialog, ASRect* bounds);
    /* While the dialog exists. Moves and sizes the dialog. */
    ASErr (*SetBoundsRect)(ADMDialogRef dialog, const ASRect* bounds);
    /* While the dialog exists. Sizes the dialog, keeping its top left. */
    ASErr (*Size)(ADMDialogRef dialog, ASInt32 width, ASInt32 height);
    /* While the dialog exists. The caption. */
    ASErr (*SetText)(ADMDialogRef dialog, const char* text);
    /* While the dialog exists. The caption, at most max bytes. */
    ASErr (*GetText)(ADMDialogRef dialog, char* text, ASInt32 max);
    /* While the dialog exists. The userData given to Modal. */
    ASErr (*GetUserData)(ADMDialogRef dialog, void** userData);
    /* While the dialog exists. The plug-in that opened it. */
    ASErr (*GetPluginRef)(ADMDialogRef dialog, SPPluginRef* plugin);
} ADMDialogSuite;

/* ---- ADM Item ---- */
#define kADMItemSuite "ADM Item Suite"
#define kADMItemSuiteVersion 4
typedef struct ADMItemSuite {
    /* While the dialog exists. Replaces the item's notify procedure. */
    ASErr (*SetNotifyProc)(ADMItemRef item, ADMItemNotifyProc proc);
    /* From a notify procedure. The item kind's own reaction: a push button
     * ends the modal dialog with its id, other kinds take the new value. */
    ASErr (*DefaultNotify)(ADMItemRef item, ADMNotifierRef notifier);
    /* While the dialog exists. Calls the item's notify procedure (or the
     * default notification) with a notifier of the given type. */
    ASErr (*SendNotify)(ADMItemRef item, const char* notifierType);
    /* While the dialog exists. */
    ASErr (*GetID)(ADMItemRef item, ASInt32* id);
    ASErr (*GetDialog)(ADMItemRef item, ADMDialogRef* dialog);
    ASErr (*GetBoundsRect)(ADMItemRef item, ASRect* bounds);
    ASErr (*SetBoundsRect)(ADMItemRef item, const ASRect* bounds);
    ASErr (*SetText)(ADMItemRef item, const char* text);
    /* The text, at most max - 1 characters and a NUL. */
    ASErr (*GetText)(ADMItemRef item, char* text, ASInt32 max);
    /* Values: spin edits clamp to their range; check boxes take 0 or 1. */
    ASErr (*SetIntValue)(ADMItemRef item, ASInt32 value);
    ASErr (*GetIntValue)(ADMItemRef item, ASInt32* value);
    ASErr (*SetFloatValue)(ADMItemRef item, AIReal value);
    ASErr (*GetFloatValue)(ADMItemRef item, AIReal* value);
    ASErr (*SetBooleanValue)(ADMItemRef item, ASBoolean value);
    ASErr (*GetBooleanValue)(ADMItemRef item, ASBoolean* value);
    /* Ranges of spin edits; the value is clamped at once. */
    ASErr (*SetMinIntValue)(ADMItemRef item, ASInt32 value);
    ASErr (*SetMaxIntValue)(ADMItemRef item, ASInt32 value);
    ASErr (*SetMinFloatValue)(ADMItemRef item, AIReal value);
    ASErr (*SetMaxFloatValue)(ADMItemRef item, AIReal value);
    /* Decimals shown by a spin edit (0 for integer spins). */
    ASErr (*SetPrecision)(ADMItemRef item, ASInt32 precision);
    /* Units shown after the value; 0 for none. */
    ASErr (*SetUnits)(ADMItemRef item, ASInt32 units);
    ASErr (*Enable)(ADMItemRef item, ASBoolean enable);
    ASErr (*IsEnabled)(ADMItemRef item, ASBoolean* enabled);
    /* Gives the item the keyboard focus. */
    ASErr (*Activate)(ADMItemRef item, ASBoolean activate);
    /* Selects the whole text of an edit. */
    ASErr (*SelectAll)(ADMItemRef item);
    /* The entry list of a popup, NULL for other kinds. */
    ASErr (*GetList)(ADMItemRef item, ADMListRef* list);
    ASErr (*SetUserData)(ADMItemRef item, void* userData);
    ASErr (*GetUserData)(ADMItemRef item, void** userData);
} ADMItemSuite;

/* ---- ADM Icon ---- */
#define kADMIconSuite "ADM Icon Suite"
#define kADMIconSuiteVersion 1
typedef struct ADMIconSuite {
    /* Any time. Icon `index` (from 1) of icon list `listId` of the plug-in;
     * an icon whose type is kADMUnknownIconType when there is none. */
    ASErr (*GetFromResource)(SPPluginRef plugin, ASInt32 listId, ASInt32 index, ADMIconRef* icon);
    /* Any time. The icon's type. */
    ASErr (*GetType)(ADMIconRef icon, ASInt32* type);
    /* Any time. Width and height in pixels. */
    ASErr (*GetSize)(ADMIconRef icon, ASInt32* width, ASInt32* height);
    /* Any time. Frees an icon no tool uses. */
    ASErr (*Destroy)(ADMIconRef icon);
} ADMIconSuite;

/* ---- ADM Tracker ---- */
#define kADMTrackerSuite "ADM Tracker Suite"
#define kADMTrackerSuiteVersion 1
typedef struct ADMTrackerSuite {
    /* Any time. The modifier word of tracker (NULL: the current input). */
    ASErr (*GetModifiers)(ADMTrackerRef tracker, ASInt32* modifiers);
} ADMTrackerSuite;

/* ---- ADM List ---- */
#define kADMListSuite "ADM List Suite"
#define kADMListSuiteVersion 1
typedef struct ADMListSuite {
    /* While the dialog exists. Inserts an empty entry before index (or at
     * the end for index -1). */
    ASErr (*InsertEntry)(ADMListRef list, ASInt32 index, ADMEntryRef* entry);
    ASErr (*NumberOfEntries)(ADMListRef list, ASInt32* count);
    /* The entry at index counted from 0, NULL past the end. */
    ASErr (*IndexEntry)(ADMListRef list, ASInt32 index, ADMEntryRef* entry);
    /* The entry with that id, or NULL. */
    ASErr (*GetEntry)(ADMListRef list, ASInt32 id, ADMEntryRef* entry);
    /* The chosen entry, or NULL. */
    ASErr (*GetActiveEntry)(ADMListRef list, ADMEntryRef* entry);
} ADMListSuite;

/* ---- ADM Entry ---- */
#define kADMEntrySuite "ADM Entry Suite"
#define kADMEntrySuiteVersion 2
typedef struct ADMEntrySuite {
    ASErr (*SetText)(ADMEntryRef entry, const char* text);
    ASErr (*GetText)(ADMEntryRef entry, char* text, ASInt32 max);
    ASErr (*SetID)(ADMEntryRef entry, ASInt32 id);
    ASErr (*GetID)(ADMEntryRef entry, ASInt32* id);
    ASErr (*GetIndex)(ADMEntryRef entry, ASInt32* index);
    /* Makes the entry the chosen one of its popup. */
    ASErr (*Select)(ADMEntryRef entry, ASBoolean select);
    ASErr (*IsSelected)(ADMEntryRef entry, ASBoolean* selected);
} ADMEntrySuite;

/* ---- ADM Notifier ---- */
#define kADMNotifierSuite "ADM Notifier Suite"
#define kADMNotifierSuiteVersion 1
typedef struct ADMNotifierSuite {
    /* From a notify procedure. *is := 1 when notifier has that type. */
    ASErr (*IsNotifierType)(ADMNotifierRef notifier, const char* type, ASBoolean* is);
    ASErr (*GetItem)(ADMNotifierRef notifier, ADMItemRef* item);
    ASErr (*GetDialog)(ADMNotifierRef notifier, ADMDialogRef* dialog);
} ADMNotifierSuite;

#ifdef __cplusplus
}
#endif

#endif
