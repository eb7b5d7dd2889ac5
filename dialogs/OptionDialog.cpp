// The option dialog frame shared by all thirteen Brivane tools. Items are
// created from the tables of OptionItems.cpp; the procedures below are the
// only behaviour: init, the colour popups' notification, OK and Reset.
#include "OptionDialog.h"

#include "frame/Frame.h"
#include "OptionItems.h"
#include "frame/Suites.h"

#include <array>
#include <cstdio>
#include <utility>

namespace brivane::dialogs {

namespace {

using frame::AdmDialog;
using frame::AdmEntry;
using frame::AdmItem;
using frame::AdmList;

const char* KindName(ItemKind kind) {
    switch (kind) {
    case ItemKind::Label: return kADMTextStaticType;
    case ItemKind::IntSpin:
    case ItemKind::RealSpin: return kADMSpinEditType;
    case ItemKind::Popup: return kADMPopupListType;
    case ItemKind::CheckBox: return kADMTextCheckBoxType;
    case ItemKind::Button: return kADMTextPushButtonType;
    }
    return kADMTextStaticType;
}

ASErr AddEntries(ADMItemRef item, const EntryList& entries) {
    ADMListRef list = nullptr;
    ASErr err = AdmItem()->GetList(item, &list);
    if (err != kNoErr) return err;
    if (list == nullptr) return kBadParameterErr;
    ASInt32 id = 0;
    char text[96];
    for (int r = 0; r < entries.runCount; ++r) {
        const EntryRun& run = entries.runs[r];
        const bool single = run.first > run.last;
        const int last = single ? run.first : run.last;
        for (int k = run.first; k <= last; ++k) {
            if (single)
                std::snprintf(text, sizeof text, "%s", run.text);
            else
                std::snprintf(text, sizeof text, "%s%d%s", run.text, k, run.suffix);
            ADMEntryRef entry = nullptr;
            err = AdmList()->InsertEntry(list, -1, &entry);
            if (err != kNoErr) return err;
            if (entry == nullptr) return kBadParameterErr;
            err = AdmEntry()->SetText(entry, text);
            if (err == kNoErr) err = AdmEntry()->SetID(entry, id);
            if (err != kNoErr) return err;
            ++id;
        }
    }
    return kNoErr;
}

// Chooses the entry at index; an index no entry has chooses the first entry,
// so the popup never shows a choice it cannot store.
ASErr SelectEntry(ADMItemRef item, ASInt32 index) {
    ADMListRef list = nullptr;
    ASErr err = AdmItem()->GetList(item, &list);
    if (err != kNoErr) return err;
    if (list == nullptr) return kBadParameterErr;
    ADMEntryRef entry = nullptr;
    if (index >= 0) {
        err = AdmList()->IndexEntry(list, index, &entry);
        if (err != kNoErr) return err;
    }
    if (entry == nullptr) {
        err = AdmList()->IndexEntry(list, 0, &entry);
        if (err != kNoErr || entry == nullptr) return err;
    }
    return AdmEntry()->Select(entry, 1);
}

// The id of the popup's chosen entry; false when nothing is chosen.
bool ActiveEntryId(ADMItemRef item, ASInt32& id) {
    ADMListRef list = nullptr;
    if (AdmItem()->GetList(item, &list) != kNoErr || list == nullptr) return false;
    ADMEntryRef entry = nullptr;
    if (AdmList()->GetActiveEntry(list, &entry) != kNoErr || entry == nullptr) return false;
    return AdmEntry()->GetID(entry, &id) == kNoErr;
}

ASErr ShowValue(ADMItemRef item, const ItemSpec& def, const BrivaneGlobals& g) {
    switch (def.kind) {
    case ItemKind::IntSpin: return AdmItem()->SetIntValue(item, g.*def.field.integer);
    case ItemKind::RealSpin: return AdmItem()->SetFloatValue(item, g.*def.field.real);
    case ItemKind::CheckBox: return AdmItem()->SetBooleanValue(item, g.*def.field.integer != 0 ? 1 : 0);
    case ItemKind::Popup: return SelectEntry(item, g.*def.field.integer);
    case ItemKind::Label:
    case ItemKind::Button: return kNoErr;
    }
    return kNoErr;
}

// Stores what the item shows into its field. A disabled swatch spin keeps its
// field: its range follows the current document, so reading back a swatch
// number the user could not edit would silently replace it by the clamped
// one. Every other item is read whatever its state, so a period typed before
// the colour mode changed is kept.
void ReadValue(ADMItemRef item, const ItemSpec& def, BrivaneGlobals& g) {
    ASBoolean enabled = 1;
    if (def.maxIsSwatchCount && AdmItem()->IsEnabled(item, &enabled) == kNoErr && enabled == 0) return;
    switch (def.kind) {
    case ItemKind::IntSpin: {
        ASInt32 value = 0;
        if (AdmItem()->GetIntValue(item, &value) == kNoErr) g.*def.field.integer = value;
        break;
    }
    case ItemKind::RealSpin: {
        AIReal value = 0.0f;
        if (AdmItem()->GetFloatValue(item, &value) == kNoErr) g.*def.field.real = value;
        break;
    }
    case ItemKind::CheckBox: {
        ASBoolean value = 0;
        if (AdmItem()->GetBooleanValue(item, &value) == kNoErr) g.*def.field.integer = value != 0 ? 1 : 0;
        break;
    }
    case ItemKind::Popup: {
        ASInt32 id = 0;
        if (ActiveEntryId(item, id)) g.*def.field.integer = id;
        break;
    }
    case ItemKind::Label:
    case ItemKind::Button: break;
    }
}

ASErr CreateItem(ADMDialogRef dialog, const ItemSpec& def, const BrivaneGlobals& g, ASInt32 swatchCount) {
    ADMItemRef item = nullptr;
    ASErr err = AdmDialog()->CreateItem(dialog, def.id, KindName(def.kind), &def.rect, &item);
    if (err != kNoErr) return err;
    if (item == nullptr) return kBadParameterErr;
    const ADMItemSuite* items = AdmItem();
    switch (def.kind) {
    case ItemKind::Label:
    case ItemKind::Button:
        return items->SetText(item, def.text);
    case ItemKind::CheckBox:
        err = items->SetText(item, def.text);
        break;
    case ItemKind::IntSpin: {
        const ASInt32 max = def.maxIsSwatchCount ? swatchCount : static_cast<ASInt32>(def.max);
        err = items->SetUnits(item, 0);
        if (err == kNoErr) err = items->SetPrecision(item, 0);
        if (err == kNoErr) err = items->SetMinIntValue(item, static_cast<ASInt32>(def.min));
        if (err == kNoErr) err = items->SetMaxIntValue(item, max);
        break;
    }
    case ItemKind::RealSpin:
        err = items->SetUnits(item, 0);
        if (err == kNoErr) err = items->SetPrecision(item, 2);
        if (err == kNoErr) err = items->SetMinFloatValue(item, static_cast<AIReal>(def.min));
        if (err == kNoErr) err = items->SetMaxFloatValue(item, static_cast<AIReal>(def.max));
        break;
    case ItemKind::Popup:
        // A late popup gets its entries and its choice at the end of init.
        if (def.lateEntries) return kNoErr;
        err = AddEntries(item, *def.entries);
        break;
    }
    if (err != kNoErr) return err;
    return ShowValue(item, def, g);
}

ADMItemRef ItemOf(ADMDialogRef dialog, ASInt32 id) {
    ADMItemRef item = nullptr;
    if (AdmDialog()->GetItem(dialog, id, &item) != kNoErr) return nullptr;
    return item;
}

ADMDialogRef DialogOf(ADMItemRef item) {
    ADMDialogRef dialog = nullptr;
    if (AdmItem()->GetDialog(item, &dialog) != kNoErr) return nullptr;
    return dialog;
}

// Takes the two colour modes from their popups and enables the swatch and
// period spins the chosen modes use.
void ApplyColourModes(ADMDialogRef dialog, BrivaneGlobals& g) {
    struct ColourRow {
        ASInt32 popup, swatch, period;
        ASInt32 BrivaneGlobals::*mode;
    };
    static constexpr ColourRow kRows[] = {
        {kFillModeItem, kFillSwatchItem, kFillPeriodItem, &BrivaneGlobals::fillMode},
        {kStrokeModeItem, kStrokeSwatchItem, kStrokePeriodItem, &BrivaneGlobals::strokeMode},
    };
    for (const ColourRow& row : kRows) {
        ADMItemRef popup = ItemOf(dialog, row.popup);
        ASInt32 mode = 0;
        if (popup != nullptr && ActiveEntryId(popup, mode)) g.*row.mode = mode;
        if (ADMItemRef swatch = ItemOf(dialog, row.swatch))
            AdmItem()->Enable(swatch, ColourModeUsesSwatch(g.*row.mode) ? 1 : 0);
        if (ADMItemRef period = ItemOf(dialog, row.period))
            AdmItem()->Enable(period, ColourModeUsesPeriod(g.*row.mode) ? 1 : 0);
    }
}

void ColourPopupNotify(ADMItemRef item, ADMNotifierRef notifier) {
    AdmItem()->DefaultNotify(item, notifier);
    BrivaneGlobals* g = Globals();
    ADMDialogRef dialog = DialogOf(item);
    if (g == nullptr || dialog == nullptr) return;
    ApplyColourModes(dialog, *g);
}

void ShowTable(ADMDialogRef dialog, ItemTable table, const BrivaneGlobals& g) {
    for (int n = 0; n < table.count; ++n) {
        const ItemSpec& def = table.items[n];
        if (def.field.integer == nullptr && def.field.real == nullptr) continue;
        // Ids are unique across the dialogs: another tool's item is not here.
        if (ADMItemRef item = ItemOf(dialog, def.id)) ShowValue(item, def, g);
    }
}

// Reset keeps the dialog open. The button's default notification is not run:
// for a push button it ends the modal dialog.
void ResetNotify(ADMItemRef item, ADMNotifierRef /*notifier*/) {
    BrivaneGlobals* g = Globals();
    ADMDialogRef dialog = DialogOf(item);
    if (g == nullptr || dialog == nullptr) return;
    SetDefaults(*g);
    for (int tool = 0; tool < kToolCount; ++tool) ShowTable(dialog, ToolItems(tool), *g);
    ShowTable(dialog, SharedItems(), *g);
    if (ADMItemRef fill = ItemOf(dialog, kFillModeItem)) AdmItem()->SendNotify(fill, kADMUserChangedNotifier);
    if (ADMItemRef layer = ItemOf(dialog, kLayerItem)) AdmItem()->SendNotify(layer, kADMUserChangedNotifier);
}

void ReadTable(ADMDialogRef dialog, ItemTable table, BrivaneGlobals& g) {
    for (int n = 0; n < table.count; ++n) {
        const ItemSpec& def = table.items[n];
        if (def.field.integer == nullptr && def.field.real == nullptr) continue;
        if (ADMItemRef item = ItemOf(dialog, def.id)) ReadValue(item, def, g);
    }
}

void ReadBack(ADMItemRef okItem, int tool) {
    BrivaneGlobals* g = Globals();
    ADMDialogRef dialog = DialogOf(okItem);
    if (g == nullptr || dialog == nullptr) return;
    if (AdmDialog()->GetBoundsRect(dialog, &g->dialogBounds) == kNoErr) g->dialogBoundsSaved = 1;
    ReadTable(dialog, ToolItems(tool), *g);
    ReadTable(dialog, SharedItems(), *g);
}

template <int Tool>
void OkNotify(ADMItemRef item, ADMNotifierRef notifier) {
    AdmItem()->DefaultNotify(item, notifier);
    ReadBack(item, Tool);
}

ADMItemNotifyProc NotifyProcOf(ASInt32 id, ADMItemNotifyProc okProc) {
    switch (id) {
    case kFillModeItem:
    case kStrokeModeItem: return ColourPopupNotify;
    case kOkItem: return okProc;
    case kResetItem: return ResetNotify;
    default: return nullptr;
    }
}

ASErr InitDialog(ADMDialogRef dialog, int tool, ADMItemNotifyProc okProc) {
    BrivaneGlobals* g = Globals();
    if (g == nullptr) return kBadParameterErr;

    // Without a document there are no swatches to choose from.
    ASInt32 swatchCount = 0;
    if (frame::SwatchList()->CountSwatches(nullptr, &swatchCount) != kNoErr || swatchCount < 0) swatchCount = 0;

    ASErr err = kNoErr;
    if (g->dialogBoundsSaved != 0) err = AdmDialog()->SetBoundsRect(dialog, &g->dialogBounds);
    if (err == kNoErr) err = AdmDialog()->Size(dialog, kDialogWidth, kDialogHeight);
    if (err != kNoErr) return err;

    const ItemTable own = ToolItems(tool);
    for (int n = 0; n < own.count; ++n) {
        err = CreateItem(dialog, own.items[n], *g, swatchCount);
        if (err != kNoErr) return err;
    }

    const ItemTable shared = SharedItems();
    for (int n = 0; n < shared.count; ++n) {
        const ItemSpec& def = shared.items[n];
        err = CreateItem(dialog, def, *g, swatchCount);
        if (err != kNoErr) return err;
        if (ADMItemNotifyProc proc = NotifyProcOf(def.id, okProc)) {
            err = AdmItem()->SetNotifyProc(ItemOf(dialog, def.id), proc);
            if (err != kNoErr) return err;
        }
    }

    for (int n = 0; n < own.count; ++n) {
        const ItemSpec& def = own.items[n];
        if (def.kind != ItemKind::Popup || !def.lateEntries) continue;
        ADMItemRef item = ItemOf(dialog, def.id);
        if (item == nullptr) return kBadParameterErr;
        err = AddEntries(item, *def.entries);
        if (err == kNoErr) err = ShowValue(item, def, *g);
        if (err != kNoErr) return err;
    }

    if (ADMItemRef fill = ItemOf(dialog, kFillModeItem)) {
        err = AdmItem()->SendNotify(fill, kADMUserChangedNotifier);
        if (err != kNoErr) return err;
    }

    for (int n = 0; n < own.count; ++n) {
        const ItemSpec& def = own.items[n];
        if (def.kind != ItemKind::IntSpin && def.kind != ItemKind::RealSpin) continue;
        ADMItemRef first = ItemOf(dialog, def.id);
        if (first == nullptr) return kBadParameterErr;
        err = AdmItem()->Activate(first, 1);
        if (err == kNoErr) err = AdmItem()->SelectAll(first);
        return err;
    }
    return kNoErr;
}

template <int Tool>
ASErr InitProc(ADMDialogRef dialog) {
    return InitDialog(dialog, Tool, OkNotify<Tool>);
}

template <std::size_t... Tools>
constexpr std::array<ADMDialogInitProc, sizeof...(Tools)> MakeInitProcs(std::index_sequence<Tools...>) {
    return {&InitProc<static_cast<int>(Tools)>...};
}

constexpr auto kInitProcs = MakeInitProcs(std::make_index_sequence<kToolCount>{});

} // namespace

ASInt32 DialogResourceId(int tool) { return frame::kFirstToolDialogId + 2 * tool; }

void DialogName(int tool, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::snprintf(buffer, size, "Tool dialog %d", tool);
}

ASErr OpenOptionDialog(AIToolMessage* message) {
    BrivaneGlobals* g = Globals();
    if (g == nullptr || message == nullptr) return kNoErr;
    const int tool = ToolIndexOf(*g, message->tool);
    if (tool < 0) return kNoErr;
    char name[32];
    DialogName(tool, name, sizeof name);
    ASInt32 result = 0;
    const ASErr err = AdmDialog()->Modal(message->d.self, name, DialogResourceId(tool), kADMModalDialogStyle,
                                         kInitProcs[static_cast<std::size_t>(tool)], nullptr, &result);
    if (err != kNoErr) return err;
    return result == kOkItem ? kNoErr : kCancelErr;
}

} // namespace brivane::dialogs
