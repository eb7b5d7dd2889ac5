#include "RegisterADM.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "Dialog.h"
#include "core/HostState.h"

namespace easel {

namespace adm {
namespace {

std::vector<std::unique_ptr<Icon>>& icons() {
    static std::vector<std::unique_ptr<Icon>> all;
    return all;
}

// Copies text into a C buffer of max bytes, truncated, always terminated.
ASErr copyOut(const std::string& text, char* buffer, ASInt32 max) {
    if (buffer == nullptr || max <= 0) return kBadParameterErr;
    const size_t n = std::min(text.size(), static_cast<size_t>(max) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return kNoErr;
}

Dialog* asDialog(ADMDialogRef ref) {
    return dialogManager().liveDialog(ref) ? reinterpret_cast<Dialog*>(ref) : nullptr;
}
Item* asItem(ADMItemRef ref) {
    return dialogManager().liveItem(ref) ? reinterpret_cast<Item*>(ref) : nullptr;
}
List* asList(ADMListRef ref) {
    return dialogManager().liveList(ref) ? reinterpret_cast<List*>(ref) : nullptr;
}
Entry* asEntry(ADMEntryRef ref) {
    return dialogManager().liveEntry(ref) ? reinterpret_cast<Entry*>(ref) : nullptr;
}

void show(const char* kind, const char* text) {
    ShownMessage m{kind, kind, {text ? text : ""}};
    if (hostState().onShown)
        hostState().onShown(m);
    else
        std::fprintf(stderr, "easel: %s: %s\n", kind, text ? text : "");
}

// ---- ADM Basic ----
ASErr basicMessageAlert(const char* text) {
    show("message alert", text);
    return kNoErr;
}
ASErr basicErrorAlert(const char* text) {
    show("error alert", text);
    return kNoErr;
}
ASErr basicGetIndexString(SPPluginRef plugin, ASInt32 listId, ASInt32 index, char* buffer, ASInt32 max) {
    if (buffer == nullptr || max <= 0) return kBadParameterErr;
    buffer[0] = '\0';
    auto bundle = bundleOf(plugin);
    if (!bundle) return kBadParameterErr;
    auto list = readStringList(*bundle, listId);
    if (!list) return kBadParameterErr;
    if (index < 0 || static_cast<size_t>(index) >= list->size()) return kNoErr;
    return copyOut((*list)[static_cast<size_t>(index)], buffer, max);
}
ASErr basicBeep() {
    show("beep", "");
    return kNoErr;
}

// ---- ADM Dialog ----
ASErr dialogModal(SPPluginRef plugin, const char* name, ASInt32 dialogId, ASInt32 style,
                  ADMDialogInitProc initProc, void* userData, ASInt32* result) {
    return dialogManager().modal(plugin, name, dialogId, style, initProc, userData, result);
}
ASErr dialogEndModal(ADMDialogRef ref, ASInt32 itemId) {
    Dialog* d = asDialog(ref);
    if (!d) return kBadParameterErr;
    if (!d->ended) {
        d->ended = true;
        d->result = itemId;
    }
    return kNoErr;
}
ASErr dialogCreateItem(ADMDialogRef ref, ASInt32 itemId, const char* itemType, const ASRect* bounds,
                       ADMItemRef* item) {
    Dialog* d = asDialog(ref);
    auto kind = itemKindFromName(itemType);
    if (item) *item = nullptr;
    if (!d || !kind || !bounds || !item) return kBadParameterErr;
    *item = dialogManager().createItem(*d, itemId, *kind, *bounds)->ref();
    return kNoErr;
}
ASErr dialogGetItem(ADMDialogRef ref, ASInt32 itemId, ADMItemRef* item) {
    Dialog* d = asDialog(ref);
    if (!d || !item) return kBadParameterErr;
    Item* it = d->item(itemId);
    *item = it ? it->ref() : nullptr;
    return kNoErr;
}
ASErr dialogGetBoundsRect(ADMDialogRef ref, ASRect* bounds) {
    Dialog* d = asDialog(ref);
    if (!d || !bounds) return kBadParameterErr;
    *bounds = d->bounds;
    return kNoErr;
}
ASErr dialogSetBoundsRect(ADMDialogRef ref, const ASRect* bounds) {
    Dialog* d = asDialog(ref);
    if (!d || !bounds || bounds->right < bounds->left || bounds->bottom < bounds->top) return kBadParameterErr;
    d->bounds = *bounds;
    return kNoErr;
}
ASErr dialogSize(ADMDialogRef ref, ASInt32 width, ASInt32 height) {
    Dialog* d = asDialog(ref);
    if (!d || width < 0 || height < 0) return kBadParameterErr;
    d->bounds.right = d->bounds.left + width;
    d->bounds.bottom = d->bounds.top + height;
    return kNoErr;
}
ASErr dialogSetText(ADMDialogRef ref, const char* text) {
    Dialog* d = asDialog(ref);
    if (!d || !text) return kBadParameterErr;
    d->caption = text;
    return kNoErr;
}
ASErr dialogGetText(ADMDialogRef ref, char* text, ASInt32 max) {
    Dialog* d = asDialog(ref);
    if (!d) return kBadParameterErr;
    return copyOut(d->caption, text, max);
}
ASErr dialogGetUserData(ADMDialogRef ref, void** userData) {
    Dialog* d = asDialog(ref);
    if (!d || !userData) return kBadParameterErr;
    *userData = d->userData;
    return kNoErr;
}
ASErr dialogGetPluginRef(ADMDialogRef ref, SPPluginRef* plugin) {
    Dialog* d = asDialog(ref);
    if (!d || !plugin) return kBadParameterErr;
    *plugin = d->plugin;
    return kNoErr;
}

// ---- ADM Item ----
ASErr itemSetNotifyProc(ADMItemRef ref, ADMItemNotifyProc proc) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    it->notify = proc;
    return kNoErr;
}
ASErr itemDefaultNotify(ADMItemRef ref, ADMNotifierRef /*notifier*/) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    defaultNotify(*it);
    return kNoErr;
}
ASErr itemSendNotify(ADMItemRef ref, const char* notifierType) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    sendNotify(*it, notifierType);
    return kNoErr;
}
ASErr itemGetID(ADMItemRef ref, ASInt32* id) {
    Item* it = asItem(ref);
    if (!it || !id) return kBadParameterErr;
    *id = it->id;
    return kNoErr;
}
ASErr itemGetDialog(ADMItemRef ref, ADMDialogRef* dialog) {
    Item* it = asItem(ref);
    if (!it || !dialog) return kBadParameterErr;
    *dialog = it->dialog->ref();
    return kNoErr;
}
ASErr itemGetBoundsRect(ADMItemRef ref, ASRect* bounds) {
    Item* it = asItem(ref);
    if (!it || !bounds) return kBadParameterErr;
    *bounds = it->rect;
    return kNoErr;
}
ASErr itemSetBoundsRect(ADMItemRef ref, const ASRect* bounds) {
    Item* it = asItem(ref);
    if (!it || !bounds) return kBadParameterErr;
    it->rect = *bounds;
    return kNoErr;
}
ASErr itemSetText(ADMItemRef ref, const char* text) {
    Item* it = asItem(ref);
    if (!it || !text) return kBadParameterErr;
    return setItemText(*it, text);
}
ASErr itemGetText(ADMItemRef ref, char* text, ASInt32 max) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    return copyOut(itemText(*it), text, max);
}
ASErr itemSetIntValue(ADMItemRef ref, ASInt32 value) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    return setItemValue(*it, value);
}
ASErr itemGetIntValue(ADMItemRef ref, ASInt32* value) {
    Item* it = asItem(ref);
    if (!it || !value) return kBadParameterErr;
    *value = static_cast<ASInt32>(std::lround(itemValue(*it)));
    return kNoErr;
}
ASErr itemSetFloatValue(ADMItemRef ref, AIReal value) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    return setItemValue(*it, static_cast<double>(value));
}
ASErr itemGetFloatValue(ADMItemRef ref, AIReal* value) {
    Item* it = asItem(ref);
    if (!it || !value) return kBadParameterErr;
    *value = static_cast<AIReal>(itemValue(*it));
    return kNoErr;
}
ASErr itemSetBooleanValue(ADMItemRef ref, ASBoolean value) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    return setItemValue(*it, value ? 1 : 0);
}
ASErr itemGetBooleanValue(ADMItemRef ref, ASBoolean* value) {
    Item* it = asItem(ref);
    if (!it || !value) return kBadParameterErr;
    *value = itemValue(*it) != 0 ? 1 : 0;
    return kNoErr;
}
ASErr setBound(ADMItemRef ref, double value, bool isMin) {
    Item* it = asItem(ref);
    if (!it || !std::isfinite(value)) return kBadParameterErr;
    (isMin ? it->min : it->max) = value;
    clampToRange(*it);
    return kNoErr;
}
ASErr itemSetMinIntValue(ADMItemRef ref, ASInt32 v) { return setBound(ref, v, true); }
ASErr itemSetMaxIntValue(ADMItemRef ref, ASInt32 v) { return setBound(ref, v, false); }
ASErr itemSetMinFloatValue(ADMItemRef ref, AIReal v) { return setBound(ref, static_cast<double>(v), true); }
ASErr itemSetMaxFloatValue(ADMItemRef ref, AIReal v) { return setBound(ref, static_cast<double>(v), false); }
ASErr itemSetPrecision(ADMItemRef ref, ASInt32 precision) {
    Item* it = asItem(ref);
    if (!it || precision < 0 || precision > 10) return kBadParameterErr;
    it->precision = precision;
    return kNoErr;
}
ASErr itemSetUnits(ADMItemRef ref, ASInt32 units) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    it->units = units;
    return kNoErr;
}
ASErr itemEnable(ADMItemRef ref, ASBoolean enable) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    it->enabled = enable != 0;
    return kNoErr;
}
ASErr itemIsEnabled(ADMItemRef ref, ASBoolean* enabled) {
    Item* it = asItem(ref);
    if (!it || !enabled) return kBadParameterErr;
    *enabled = it->enabled ? 1 : 0;
    return kNoErr;
}
ASErr itemActivate(ADMItemRef ref, ASBoolean activate) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    if (activate)
        for (auto& other : it->dialog->items) other->active = false;
    it->active = activate != 0;
    return kNoErr;
}
ASErr itemSelectAll(ADMItemRef ref) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    it->textSelected = true;
    return kNoErr;
}
ASErr itemGetList(ADMItemRef ref, ADMListRef* list) {
    Item* it = asItem(ref);
    if (!it || !list) return kBadParameterErr;
    *list = it->list ? it->list->ref() : nullptr;
    return kNoErr;
}
ASErr itemSetUserData(ADMItemRef ref, void* userData) {
    Item* it = asItem(ref);
    if (!it) return kBadParameterErr;
    it->userData = userData;
    return kNoErr;
}
ASErr itemGetUserData(ADMItemRef ref, void** userData) {
    Item* it = asItem(ref);
    if (!it || !userData) return kBadParameterErr;
    *userData = it->userData;
    return kNoErr;
}

// ---- ADM Icon ----
ASErr iconGetFromResource(SPPluginRef plugin, ASInt32 listId, ASInt32 index, ADMIconRef* out) {
    if (!out) return kBadParameterErr;
    auto icon = std::make_unique<Icon>();
    if (auto bundle = bundleOf(plugin)) {
        icon->source = iconSource(*bundle, listId + index);
        if (auto img = readIcon(*bundle, listId + index)) {
            icon->image = std::move(*img);
            icon->type = kADMIconBitmapType;
        }
    }
    *out = icon->ref();
    icons().push_back(std::move(icon));
    return kNoErr;
}
Icon* asIcon(ADMIconRef ref) {
    for (auto& i : icons())
        if (i.get() == reinterpret_cast<Icon*>(ref)) return i.get();
    return nullptr;
}
ASErr iconGetType(ADMIconRef ref, ASInt32* type) {
    Icon* i = asIcon(ref);
    if (!i || !type) return kBadParameterErr;
    *type = i->type;
    return kNoErr;
}
ASErr iconGetSize(ADMIconRef ref, ASInt32* width, ASInt32* height) {
    Icon* i = asIcon(ref);
    if (!i || !width || !height) return kBadParameterErr;
    *width = i->image.width;
    *height = i->image.height;
    return kNoErr;
}
ASErr iconDestroy(ADMIconRef ref) {
    auto& all = icons();
    auto it = std::find_if(all.begin(), all.end(), [ref](const auto& i) { return i->ref() == ref; });
    if (it == all.end()) return kBadParameterErr;
    all.erase(it);
    return kNoErr;
}

// ---- ADM Tracker ----
ASErr trackerGetModifiers(ADMTrackerRef /*tracker*/, ASInt32* modifiers) {
    if (!modifiers) return kBadParameterErr;
    *modifiers = hostState().modifiers;
    return kNoErr;
}

// ---- ADM List ----
ASErr listInsertEntry(ADMListRef ref, ASInt32 index, ADMEntryRef* entry) {
    List* l = asList(ref);
    if (!l || !entry) return kBadParameterErr;
    *entry = dialogManager().insertEntry(*l, index)->ref();
    return kNoErr;
}
ASErr listNumberOfEntries(ADMListRef ref, ASInt32* count) {
    List* l = asList(ref);
    if (!l || !count) return kBadParameterErr;
    *count = static_cast<ASInt32>(l->entries.size());
    return kNoErr;
}
ASErr listIndexEntry(ADMListRef ref, ASInt32 index, ADMEntryRef* entry) {
    List* l = asList(ref);
    if (!l || !entry) return kBadParameterErr;
    *entry = index >= 0 && static_cast<size_t>(index) < l->entries.size()
                 ? l->entries[static_cast<size_t>(index)]->ref()
                 : nullptr;
    return kNoErr;
}
ASErr listGetEntry(ADMListRef ref, ASInt32 id, ADMEntryRef* entry) {
    List* l = asList(ref);
    if (!l || !entry) return kBadParameterErr;
    *entry = nullptr;
    for (auto& e : l->entries)
        if (e->id == id) {
            *entry = e->ref();
            break;
        }
    return kNoErr;
}
ASErr listGetActiveEntry(ADMListRef ref, ADMEntryRef* entry) {
    List* l = asList(ref);
    if (!l || !entry) return kBadParameterErr;
    *entry = l->active ? l->active->ref() : nullptr;
    return kNoErr;
}

// ---- ADM Entry ----
ASErr entrySetText(ADMEntryRef ref, const char* text) {
    Entry* e = asEntry(ref);
    if (!e || !text) return kBadParameterErr;
    e->text = text;
    return kNoErr;
}
ASErr entryGetText(ADMEntryRef ref, char* text, ASInt32 max) {
    Entry* e = asEntry(ref);
    if (!e) return kBadParameterErr;
    return copyOut(e->text, text, max);
}
ASErr entrySetID(ADMEntryRef ref, ASInt32 id) {
    Entry* e = asEntry(ref);
    if (!e) return kBadParameterErr;
    e->id = id;
    return kNoErr;
}
ASErr entryGetID(ADMEntryRef ref, ASInt32* id) {
    Entry* e = asEntry(ref);
    if (!e || !id) return kBadParameterErr;
    *id = e->id;
    return kNoErr;
}
ASErr entryGetIndex(ADMEntryRef ref, ASInt32* index) {
    Entry* e = asEntry(ref);
    if (!e || !index) return kBadParameterErr;
    *index = e->item->list->indexOf(e);
    return kNoErr;
}
ASErr entrySelect(ADMEntryRef ref, ASBoolean select) {
    Entry* e = asEntry(ref);
    if (!e) return kBadParameterErr;
    List& l = *e->item->list;
    if (select)
        l.active = e;
    else if (l.active == e)
        l.active = nullptr;
    return kNoErr;
}
ASErr entryIsSelected(ADMEntryRef ref, ASBoolean* selected) {
    Entry* e = asEntry(ref);
    if (!e || !selected) return kBadParameterErr;
    *selected = e->item->list->active == e ? 1 : 0;
    return kNoErr;
}

// ---- ADM Notifier ----
ASErr notifierIsType(ADMNotifierRef ref, const char* type, ASBoolean* is) {
    if (!ref || !type || !is) return kBadParameterErr;
    *is = reinterpret_cast<Notifier*>(ref)->type == type ? 1 : 0;
    return kNoErr;
}
ASErr notifierGetItem(ADMNotifierRef ref, ADMItemRef* item) {
    if (!ref || !item) return kBadParameterErr;
    *item = reinterpret_cast<Notifier*>(ref)->item->ref();
    return kNoErr;
}
ASErr notifierGetDialog(ADMNotifierRef ref, ADMDialogRef* dialog) {
    if (!ref || !dialog) return kBadParameterErr;
    *dialog = reinterpret_cast<Notifier*>(ref)->item->dialog->ref();
    return kNoErr;
}

const ADMBasicSuite kBasic = {basicMessageAlert, basicErrorAlert, basicGetIndexString, basicBeep};
const ADMDialogSuite kDialog = {dialogModal,          dialogEndModal,      dialogCreateItem,
                                dialogGetItem,        dialogGetBoundsRect, dialogSetBoundsRect,
                                dialogSize,           dialogSetText,       dialogGetText,
                                dialogGetUserData,    dialogGetPluginRef};
const ADMItemSuite kItem = {itemSetNotifyProc,   itemDefaultNotify,    itemSendNotify,       itemGetID,
                            itemGetDialog,       itemGetBoundsRect,    itemSetBoundsRect,    itemSetText,
                            itemGetText,         itemSetIntValue,      itemGetIntValue,      itemSetFloatValue,
                            itemGetFloatValue,   itemSetBooleanValue,  itemGetBooleanValue,  itemSetMinIntValue,
                            itemSetMaxIntValue,  itemSetMinFloatValue, itemSetMaxFloatValue, itemSetPrecision,
                            itemSetUnits,        itemEnable,           itemIsEnabled,        itemActivate,
                            itemSelectAll,       itemGetList,          itemSetUserData,      itemGetUserData};
const ADMIconSuite kIcon = {iconGetFromResource, iconGetType, iconGetSize, iconDestroy};
const ADMTrackerSuite kTracker = {trackerGetModifiers};
const ADMListSuite kList = {listInsertEntry, listNumberOfEntries, listIndexEntry, listGetEntry,
                            listGetActiveEntry};
const ADMEntrySuite kEntry = {entrySetText, entryGetText,  entrySetID,     entryGetID,
                              entryGetIndex, entrySelect, entryIsSelected};
const ADMNotifierSuite kNotifier = {notifierIsType, notifierGetItem, notifierGetDialog};

}  // namespace

const Icon* iconOf(ADMIconRef ref) { return asIcon(ref); }

}  // namespace adm

void registerADMSuites(SuiteRegistry& r) {
    using namespace adm;
    r.add(kADMBasicSuite, kADMBasicSuiteVersion, &kBasic);
    r.add(kADMDialogSuite, kADMDialogSuiteVersion, &kDialog);
    r.add(kADMItemSuite, kADMItemSuiteVersion, &kItem);
    r.add(kADMIconSuite, kADMIconSuiteVersion, &kIcon);
    r.add(kADMTrackerSuite, kADMTrackerSuiteVersion, &kTracker);
    r.add(kADMListSuite, kADMListSuiteVersion, &kList);
    r.add(kADMEntrySuite, kADMEntrySuiteVersion, &kEntry);
    r.add(kADMNotifierSuite, kADMNotifierSuiteVersion, &kNotifier);
}

}  // namespace easel
