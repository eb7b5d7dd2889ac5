#include "Frame.h"

#include <cstdint>

#ifdef _WIN32
// The two window-manager calls of the tool cursor (user32), declared here so
// the frame needs no Windows headers.
#ifdef __i386__
#define FRAME_WINAPI __stdcall
#else
#define FRAME_WINAPI
#endif
extern "C" __declspec(dllimport) void* FRAME_WINAPI LoadCursorA(void* instance, const char* name);
extern "C" __declspec(dllimport) void* FRAME_WINAPI SetCursor(void* cursor);
#endif

namespace frame {

namespace {

void* gGlobals = nullptr;

ASErr Startup(const PluginDefinition& plugin, SPInterfaceMessage* message) {
    void* block = nullptr;
    ASErr error = Blocks()->AllocateBlock(plugin.globalsSize, "globals", &block);
    if (error != kNoErr) return error;
    gGlobals = block;
    plugin.storeBasicSuite(block, message->basic);

    ASInt32 options = 0;
    error = Plugin()->GetPluginOptions(message->self, &options);
    if (error != kNoErr) return error;
    error = Plugin()->SetPluginOptions(message->self, options | kStartupOptionBit);
    if (error != kNoErr) return error;

    return plugin.registerTools(message);
}

ASErr Shutdown(SPInterfaceMessage* message) {
    const void* table = nullptr;
    ASErr status = message->basic->AcquireSuite(kSPBlocksSuite, kSPBlocksSuiteVersion, &table);
    if (status == kNoErr) {
        gSuiteSlots[kSlotBlocks] = table;
        if (gGlobals != nullptr) Blocks()->FreeBlock(gGlobals);
        gGlobals = nullptr;
        message->basic->ReleaseSuite(kSPBlocksSuite, kSPBlocksSuiteVersion);
    }
    message->globals = nullptr;
    return status;
}

ASErr HandleInterface(const PluginDefinition& plugin, const char* selector, SPInterfaceMessage* message) {
    const SPBasicSuite* basic = message->basic;
    if (TokensEqual(basic, selector, kSPInterfaceStartupSelector)) return Startup(plugin, message);
    if (TokensEqual(basic, selector, kSPInterfaceAboutSelector)) {
        ShowAboutBox(message->self);
        return kNoErr;
    }
    if (TokensEqual(basic, selector, kSPInterfaceShutdownSelector)) return Shutdown(message);
    return kNoErr;
}

ASErr HandleTool(const PluginDefinition& plugin, const char* selector, AIToolMessage* message) {
    const SPBasicSuite* basic = message->d.basic;
    if (TokensEqual(basic, selector, kSelectorAITrackToolCursor)) {
        SetToolCursor(message->d.self);
        return kNoErr;
    }
    // The remaining handlers work on the Globals block; without one (a
    // start-up that failed to allocate it) there is nothing they could do.
    const bool haveGlobals = gGlobals != nullptr;
    if (TokensEqual(basic, selector, kSelectorAIEditToolOptions))
        return haveGlobals ? plugin.editOptions(message) : kNoErr;
    if (TokensEqual(basic, selector, kSelectorAIToolMouseDown))
        return haveGlobals ? plugin.mouseDown(message) : kNoErr;
    if (TokensEqual(basic, selector, kSelectorAIToolMouseDrag))
        return haveGlobals ? plugin.mouseDrag(message) : kNoErr;
    if (TokensEqual(basic, selector, kSelectorAIToolMouseUp))
        return haveGlobals ? plugin.mouseUp(message) : kNoErr;
    // "AI Select", "AI Deselect" and anything else: nothing to do.
    return kNoErr;
}

ASErr AboutInit(ADMDialogRef dialog) {
    ADMItemRef ok = nullptr;
    ASErr error = AdmDialog()->GetItem(dialog, 1, &ok);
    if (error != kNoErr) return error;
    if (ok == nullptr) return kNoErr;
    return AdmItem()->SetNotifyProc(ok, DefaultNotifyProc);
}

} // namespace

void* GlobalsBlock() { return gGlobals; }

void SetGlobalsBlock(void* block) { gGlobals = block; }

bool TokensEqual(const SPBasicSuite* basic, const char* a, const char* b) {
    if (basic == nullptr || basic->IsEqual == nullptr) return false;
    ASBoolean equal = 0;
    if (basic->IsEqual(a, b, &equal) != kNoErr) return false;
    return equal != 0;
}

void DefaultNotifyProc(ADMItemRef item, ADMNotifierRef notifier) {
    const ADMItemSuite* items = AdmItem();
    if (items != nullptr) items->DefaultNotify(item, notifier);
}

void ShowAboutBox(SPPluginRef self) {
    const ADMDialogSuite* dialogs = AdmDialog();
    if (dialogs == nullptr) return;
    ASInt32 result = 0;
    dialogs->Modal(self, "About Dialog", kAboutDialogId, kADMModalDialogStyle, AboutInit, nullptr, &result);
}

void SetToolCursor(SPPluginRef self) {
    const SPAccessSuite* access = Access();
    if (access == nullptr) return;
    SPAccessRef record = nullptr;
    if (access->GetPluginAccess(self, &record) != kNoErr) return;
    SPPlatformAccessInfo info{};
    if (access->GetAccessInfo(record, &info) != kNoErr) return;
#ifdef _WIN32
    // The module instance is the DLL's own handle: its cursor resource is
    // loaded and made current by the window manager.
    void* cursor = ::LoadCursorA(info.defaultInstance,
                                 reinterpret_cast<const char*>(static_cast<std::uintptr_t>(kToolCursorId)));
    if (cursor != nullptr) ::SetCursor(cursor);
#else
    if (info.LoadCursorA == nullptr || info.SetCursor == nullptr) return;
    void* cursor = info.LoadCursorA(info.defaultInstance, kToolCursorId);
    if (cursor != nullptr) info.SetCursor(cursor);
#endif
}

ASErr Dispatch(const PluginDefinition& plugin, const char* caller, const char* selector, void* message) {
    auto* common = static_cast<SPMessageData*>(message);
    if (common == nullptr) return kBadParameterErr;
    SPBasicSuite* basic = common->basic;

    // "SP Access" comes while the library is being unloaded or reloaded:
    // no suite is acquired for it.
    if (TokensEqual(basic, caller, kSPAccessCaller)) {
        if (TokensEqual(basic, selector, kSPAccessUnloadSelector)) {
            common->globals = gGlobals;
        } else if (TokensEqual(basic, selector, kSPAccessReloadSelector)) {
            gGlobals = common->globals;
            SetSuiteNesting(0);
        }
        return kNoErr;
    }
    if (basic == nullptr) return kBadParameterErr;

    ASErr result = AcquireSuites(basic, plugin.suites, plugin.suiteCount);
    if (result == kNoErr) {
        if (TokensEqual(basic, caller, kSPInterfaceCaller))
            result = HandleInterface(plugin, selector, common);
        else if (TokensEqual(basic, caller, kCallerAITool))
            result = HandleTool(plugin, selector, static_cast<AIToolMessage*>(message));
    }
    if (result != kNoErr && result != kSuiteNotFoundErr) ReportError(common->self, result);
    ReleaseSuites(basic, plugin.suites, plugin.suiteCount);
    return result;
}

} // namespace frame
