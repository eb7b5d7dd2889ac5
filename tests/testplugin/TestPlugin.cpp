// EaselTest: a tiny plug-in that exercises easel's loader and suites end to
// end. It keeps its options in a globals block from SP Blocks, registers one
// tool, duplicates and moves the selection while dragging, has an option
// dialog with a spin, a popup, a check box and OK, and reports its state in
// a message alert when asked for its about box. With EASEL_TEST_FAIL_AT set
// to "down", "drag" or "up" its tool shows a modal error dialog at that event
// and returns an error, as a plug-in whose event fails does.
//
// Suites are acquired on first use and all released at the end of the
// outermost PluginMain call, so nested calls share them.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/ADMSuites.h"
#include "host/AISuites.h"
#include "host/SPSuites.h"

namespace {

struct Globals {
    AIToolHandle tool;
    AIReal offset;    // extra shift per copy along the direction
    ASInt32 mode;     // 0 right, 1 up, 2 diagonal
    ASInt32 copies;   // copies per selected object
    ASInt32 trail;    // keep earlier drag events
    ASInt32 startups;
    ASInt32 deepestNesting;
    AIArtHandle** selection;
    ASInt32 selectionCount;
    AIRealPoint start;
};

Globals* g = nullptr;
SPBasicSuite* basic = nullptr;
int nesting = 0;

struct Held {
    const char* name;
    ASInt32 version;
    const void* table;
};
Held held[16];
int heldCount = 0;

template <typename T>
const T* suite(const char* name, ASInt32 version) {
    for (int i = 0; i < heldCount; ++i)
        if (std::strcmp(held[i].name, name) == 0) return static_cast<const T*>(held[i].table);
    const void* table = nullptr;
    if (heldCount == 16 || basic->AcquireSuite(name, version, &table) != kNoErr) return nullptr;
    held[heldCount++] = Held{name, version, table};
    return static_cast<const T*>(table);
}

void releaseAll() {
    for (int i = heldCount - 1; i >= 0; --i) basic->ReleaseSuite(held[i].name, held[i].version);
    heldCount = 0;
}

#define SUITE(type, name) suite<type>(name, name##Version)

bool is(const char* a, const char* b) {
    ASBoolean eq = 0;
    return basic->IsEqual(a, b, &eq) == kNoErr && eq != 0;
}

// ---- options dialog ----

enum { kOK = 1, kCancel = 2, kOffset = 10, kMode = 11, kCopies = 12, kTrail = 13, kLabel = 20 };

void onOK(ADMItemRef item, ADMNotifierRef notifier) {
    auto* items = SUITE(ADMItemSuite, kADMItemSuite);
    auto* dialogs = SUITE(ADMDialogSuite, kADMDialogSuite);
    auto* lists = SUITE(ADMListSuite, kADMListSuite);
    auto* entries = SUITE(ADMEntrySuite, kADMEntrySuite);
    if (!items || !dialogs || !lists || !entries) return;
    items->DefaultNotify(item, notifier);
    ADMDialogRef dialog = nullptr;
    items->GetDialog(item, &dialog);
    ADMItemRef it = nullptr;
    dialogs->GetItem(dialog, kOffset, &it);
    items->GetFloatValue(it, &g->offset);
    dialogs->GetItem(dialog, kCopies, &it);
    items->GetIntValue(it, &g->copies);
    dialogs->GetItem(dialog, kTrail, &it);
    ASBoolean trail = 0;
    items->GetBooleanValue(it, &trail);
    g->trail = trail ? 1 : 0;
    dialogs->GetItem(dialog, kMode, &it);
    ADMListRef list = nullptr;
    items->GetList(it, &list);
    ADMEntryRef active = nullptr;
    lists->GetActiveEntry(list, &active);
    if (active) entries->GetID(active, &g->mode);
}

// The trail box only makes sense for the diagonal mode.
void onMode(ADMItemRef item, ADMNotifierRef notifier) {
    auto* items = SUITE(ADMItemSuite, kADMItemSuite);
    auto* dialogs = SUITE(ADMDialogSuite, kADMDialogSuite);
    if (!items || !dialogs) return;
    items->DefaultNotify(item, notifier);
    ASInt32 mode = 0;
    items->GetIntValue(item, &mode);
    ADMDialogRef dialog = nullptr;
    items->GetDialog(item, &dialog);
    ADMItemRef trail = nullptr;
    dialogs->GetItem(dialog, kTrail, &trail);
    items->Enable(trail, mode == 2);
}

ASErr initDialog(ADMDialogRef dialog) {
    auto* dialogs = SUITE(ADMDialogSuite, kADMDialogSuite);
    auto* items = SUITE(ADMItemSuite, kADMItemSuite);
    auto* lists = SUITE(ADMListSuite, kADMListSuite);
    auto* entries = SUITE(ADMEntrySuite, kADMEntrySuite);
    if (!dialogs || !items || !lists || !entries) return kSuiteNotFoundErr;
    dialogs->Size(dialog, 300, 200);
    ADMItemRef it = nullptr;
    ASRect r = {10, 10, 140, 30};
    dialogs->CreateItem(dialog, kLabel, kADMTextStaticType, &r, &it);
    items->SetText(it, "Offset (p)");
    r = ASRect{150, 10, 210, 30};
    dialogs->CreateItem(dialog, kOffset, kADMSpinEditType, &r, &it);
    items->SetMinFloatValue(it, 0.0f);
    items->SetMaxFloatValue(it, 50.0f);
    items->SetPrecision(it, 2);
    items->SetFloatValue(it, g->offset);
    items->Activate(it, 1);
    items->SelectAll(it);
    r = ASRect{150, 40, 210, 60};
    dialogs->CreateItem(dialog, kCopies, kADMSpinEditType, &r, &it);
    items->SetMinIntValue(it, 1);
    items->SetMaxIntValue(it, 5);
    items->SetIntValue(it, g->copies);
    r = ASRect{10, 100, 190, 114};
    dialogs->CreateItem(dialog, kTrail, kADMTextCheckBoxType, &r, &it);
    items->SetText(it, "Trail");
    items->SetBooleanValue(it, g->trail != 0);
    r = ASRect{10, 70, 140, 90};
    dialogs->CreateItem(dialog, kMode, kADMPopupListType, &r, &it);
    ADMListRef list = nullptr;
    items->GetList(it, &list);
    const char* names[] = {" Move right", " Move up", " Move diagonal"};
    for (ASInt32 i = 0; i < 3; ++i) {
        ADMEntryRef e = nullptr;
        lists->InsertEntry(list, -1, &e);
        entries->SetText(e, names[i]);
        entries->SetID(e, i);
    }
    ADMEntryRef chosen = nullptr;
    lists->IndexEntry(list, g->mode, &chosen);
    entries->Select(chosen, 1);
    items->SetNotifyProc(it, onMode);
    items->SendNotify(it, kADMUserChangedNotifier);
    r = ASRect{220, 10, 290, 30};
    dialogs->CreateItem(dialog, kOK, kADMTextPushButtonType, &r, &it);
    items->SetText(it, "OK");
    items->SetNotifyProc(it, onOK);
    r = ASRect{220, 40, 290, 60};
    dialogs->CreateItem(dialog, kCancel, kADMTextPushButtonType, &r, &it);
    items->SetText(it, "Cancel");
    return kNoErr;
}

ASErr editOptions(SPMessageData* m) {
    auto* dialogs = SUITE(ADMDialogSuite, kADMDialogSuite);
    if (!dialogs) return kSuiteNotFoundErr;
    ASInt32 result = 0;
    ASErr err = dialogs->Modal(m->self, "Tool Dialog 0", 16101, kADMModalDialogStyle, initDialog, nullptr, &result);
    if (err) return err;
    return result == kOK ? kNoErr : kCancelErr;
}

// ---- drag ----

ASErr initError(ADMDialogRef dialog) {
    auto* dialogs = SUITE(ADMDialogSuite, kADMDialogSuite);
    auto* items = SUITE(ADMItemSuite, kADMItemSuite);
    if (!dialogs || !items) return kSuiteNotFoundErr;
    dialogs->Size(dialog, 240, 80);
    dialogs->SetText(dialog, "Test Move error");
    ADMItemRef it = nullptr;
    ASRect r = {10, 10, 230, 30};
    dialogs->CreateItem(dialog, kLabel, kADMTextStaticType, &r, &it);
    items->SetText(it, "The test tool failed on request.");
    r = ASRect{160, 45, 230, 65};
    dialogs->CreateItem(dialog, kOK, kADMTextPushButtonType, &r, &it);
    items->SetText(it, "OK");
    return kNoErr;
}

// The event named by EASEL_TEST_FAIL_AT fails with an error dialog.
ASErr failAt(SPMessageData* m, const char* event) {
    const char* at = std::getenv("EASEL_TEST_FAIL_AT");
    if (!at || std::strcmp(at, event) != 0) return kNoErr;
    auto* dialogs = SUITE(ADMDialogSuite, kADMDialogSuite);
    if (!dialogs) return kSuiteNotFoundErr;
    ASInt32 result = 0;
    dialogs->Modal(m->self, "Error Dialog", 16101, kADMModalDialogStyle, initError, nullptr, &result);
    return kBadSelectionErr;
}

void dropSelection() {
    if (g->selection) {
        if (auto* memory = SUITE(AIMdMemorySuite, kAIMdMemorySuite))
            memory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(g->selection));
    }
    g->selection = nullptr;
    g->selectionCount = 0;
}

ASErr mouseDown(AIToolMessage* m) {
    auto* matching = SUITE(AIMatchingArtSuite, kAIMatchingArtSuite);
    if (!matching) return kSuiteNotFoundErr;
    dropSelection();
    g->start = m->cursor;
    return matching->GetSelectedArt(&g->selection, &g->selectionCount);
}

ASErr mouseDrag(AIToolMessage* m) {
    auto* art = SUITE(AIArtSuite, kAIArtSuite);
    auto* transform = SUITE(AITransformArtSuite, kAITransformArtSuite);
    auto* math = SUITE(AIRealMathSuite, kAIRealMathSuite);
    auto* undo = SUITE(AIUndoSuite, kAIUndoSuite);
    if (!art || !transform || !math || !undo) return kSuiteNotFoundErr;
    if (!g->trail) {
        if (ASErr err = undo->UndoChanges()) return err;
    }
    const AIReal dirH = g->mode == 1 ? 0.0f : 1.0f, dirV = g->mode == 0 ? 0.0f : 1.0f;
    const AIReal dh = m->cursor.h - g->start.h, dv = m->cursor.v - g->start.v;
    for (ASInt32 i = 0; i < g->selectionCount; ++i) {
        AIArtHandle source = (*g->selection)[i];
        if (!source) continue;
        for (ASInt32 k = 1; k <= g->copies; ++k) {
            AIArtHandle copy = nullptr;
            if (ASErr err = art->DuplicateArt(source, kPlaceAboveAll, nullptr, &copy)) return err;
            AIRealMatrix matrix;
            const auto kk = static_cast<AIReal>(k);
            math->AIRealMatrixSetTranslate(&matrix, kk * (dh + g->offset * dirH), kk * (dv + g->offset * dirV));
            if (ASErr err = transform->TransformArt(copy, &matrix, 1.0f, kTransformObjects)) return err;
        }
    }
    return kNoErr;
}

ASErr trackCursor(SPMessageData* m) {
    auto* access = SUITE(SPAccessSuite, kSPAccessSuite);
    if (!access) return kNoErr;
    SPAccessRef ref = nullptr;
    SPPlatformAccessInfo info;
    if (access->GetPluginAccess(m->self, &ref) || access->GetAccessInfo(ref, &info)) return kNoErr;
    if (void* cursor = info.LoadCursorA(info.defaultInstance, 16001)) info.SetCursor(cursor);
    return kNoErr;
}

// ---- start-up and the rest ----

ASErr startup(SPMessageData* m) {
    auto* blocks = SUITE(SPBlocksSuite, kSPBlocksSuite);
    auto* tools = SUITE(AIToolSuite, kAIToolSuite);
    auto* icons = SUITE(ADMIconSuite, kADMIconSuite);
    auto* plugin = SUITE(AIPluginSuite, kAIPluginSuite);
    if (!blocks || !tools || !icons || !plugin) return kSuiteNotFoundErr;
    void* block = nullptr;
    if (ASErr err = blocks->AllocateBlock(sizeof(Globals), "globals", &block)) return err;
    g = static_cast<Globals*>(block);
    ASInt32 options = 0;
    plugin->GetPluginOptions(m->self, &options);
    plugin->SetPluginOptions(m->self, options | 2);
    ADMIconRef icon = nullptr;
    icons->GetFromResource(m->self, 16050, 1, &icon);
    ASInt32 type = kADMUnknownIconType;
    icons->GetType(icon, &type);
    if (type == kADMUnknownIconType) return kNoIconErr;
    AIAddToolData data = {" ZR5 Test Move", " ZR5 Test Move - duplicates and moves the selection", icon, 0,
                          kNoTool, kNoTool};
    if (ASErr err = tools->AddTool(m->self, " ZR5 Test Move", &data, kToolWantsToTrackCursorOption, &g->tool))
        return err;
    g->offset = 0;
    g->mode = 0;
    g->copies = 1;
    g->trail = 0;
    g->startups += 1;
    return kNoErr;
}

ASErr shutdown(SPMessageData* m) {
    ASErr err = kNoErr;
    if (g) {
        dropSelection();
        auto* blocks = SUITE(SPBlocksSuite, kSPBlocksSuite);
        err = blocks ? blocks->FreeBlock(g) : kSuiteNotFoundErr;
        g = nullptr;
    }
    m->globals = nullptr;
    return err;
}

// The about box reports the plug-in's state, so a session can see it.
ASErr about(SPMessageData* m) {
    auto* adm = SUITE(ADMBasicSuite, kADMBasicSuite);
    if (!adm || !g) return kSuiteNotFoundErr;
    char title[64] = "";
    adm->GetIndexString(m->self, 16050, 1, title, sizeof title);
    char text[256];
    std::snprintf(text, sizeof text, "%s: offset %.2f mode %d copies %d trail %d startups %d nesting %d", title,
                  static_cast<double>(g->offset), static_cast<int>(g->mode), static_cast<int>(g->copies),
                  static_cast<int>(g->trail), static_cast<int>(g->startups), static_cast<int>(g->deepestNesting));
    return adm->MessageAlert(text);
}

ASErr dispatch(const char* caller, const char* selector, void* message) {
    auto* m = static_cast<SPMessageData*>(message);
    if (is(caller, kSPInterfaceCaller)) {
        if (is(selector, kSPInterfaceStartupSelector)) return startup(m);
        if (is(selector, kSPInterfaceShutdownSelector)) return shutdown(m);
        if (is(selector, kSPInterfaceAboutSelector)) return about(m);
        return kNoErr;
    }
    if (!g) return kNoErr;
    if (is(caller, kCallerAITool)) {
        auto* t = static_cast<AIToolMessage*>(message);
        if (t->tool != g->tool) return kNoErr;
        if (is(selector, kSelectorAIEditToolOptions)) return editOptions(m);
        if (is(selector, kSelectorAITrackToolCursor)) return trackCursor(m);
        if (is(selector, kSelectorAIToolMouseDown)) {
            const ASErr err = mouseDown(t);
            return err ? err : failAt(m, "down");
        }
        if (is(selector, kSelectorAIToolMouseDrag)) {
            const ASErr err = mouseDrag(t);
            return err ? err : failAt(m, "drag");
        }
        if (is(selector, kSelectorAIToolMouseUp)) {
            dropSelection();
            return failAt(m, "up");
        }
        return kNoErr;
    }
    // A failure on request, so hosts can test how they report errors.
    if (is(caller, "Easel Test") && is(selector, "Fail")) return kBadSelectionErr;
    return kNoErr;
}

}  // namespace

extern "C" PLUGIN_EXPORT ASErr PluginMain(const char* caller, const char* selector, void* message) {
    auto* m = static_cast<SPMessageData*>(message);
    basic = m->basic;
    ASBoolean access = 0;
    basic->IsEqual(caller, kSPAccessCaller, &access);
    if (access) {
        if (is(selector, kSPAccessUnloadSelector)) m->globals = g;
        if (is(selector, kSPAccessReloadSelector)) {
            g = static_cast<Globals*>(m->globals);
            nesting = 0;
        }
        return kNoErr;
    }
    ++nesting;
    if (g && nesting - 1 > g->deepestNesting) g->deepestNesting = nesting - 1;
    ASErr err = dispatch(caller, selector, message);
    if (--nesting == 0) releaseAll();
    return err;
}
