// The items of Brivane's option dialogs as data: one table per tool for the
// tool's own items and one table of the items every dialog shares. The
// dialog code (OptionDialog.cpp) creates, fills, resets and reads back items
// by walking these tables; nothing in it is specific to one tool.
#ifndef DIALOGS_OPTIONITEMS_H
#define DIALOGS_OPTIONITEMS_H

#include "frame/brivane/BrivaneGlobals.h"

namespace brivane::dialogs {

enum class ItemKind : unsigned char { Label, IntSpin, RealSpin, Popup, CheckBox, Button };

// A run of popup entries: a single entry `text` when first > last, else the
// entries text + k + suffix for k from first to last (" Apply 1" ...).
struct EntryRun {
    const char* text;
    int first;
    int last;
    const char* suffix;
};

struct EntryList {
    const EntryRun* runs;
    int runCount;
};

// The Globals field an item shows: an integer (spins, check boxes as 0/1,
// popups as the entry id) or a real. Both null for labels and buttons.
struct FieldRef {
    ASInt32 BrivaneGlobals::*integer;
    AIReal BrivaneGlobals::*real;
};

struct ItemSpec {
    ASInt32 id;
    ItemKind kind;
    ASRect rect;
    const char* text;         // labels, check boxes and buttons
    FieldRef field;
    double min;               // spins
    double max;               // spins; see maxIsSwatchCount
    bool maxIsSwatchCount;    // the swatch spins: 0 to the document's swatch count
    const EntryList* entries; // popups
    bool lateEntries;         // popup created empty, filled at the end of init
};

struct ItemTable {
    const ItemSpec* items;
    int count;
};

// The tool's own items, in creation order; the first spin edit in the table
// is the one activated when the dialog opens.
ItemTable ToolItems(int tool);

// The items of every dialog, in creation order.
ItemTable SharedItems();

// Number of entries of a popup's list.
int EntryCount(const EntryList& list);

// Ids of the items every dialog shares.
enum SharedItemId : ASInt32 {
    kOkItem = 1,
    kCancelItem = 2,
    kResetItem = 3,
    kLayerItem = 4,
    kFillModeItem = 10,
    kStrokeModeItem = 11,
    kFillSwatchItem = 12,
    kStrokeSwatchItem = 13,
    kFillPeriodItem = 16,
    kStrokePeriodItem = 17,
};

// Colour modes that use the swatch spin, and those that use the period spin.
bool ColourModeUsesSwatch(ASInt32 mode);
bool ColourModeUsesPeriod(ASInt32 mode);

} // namespace brivane::dialogs

#endif
