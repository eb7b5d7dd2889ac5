// Kestova's suite list, Globals, tool registration, defaults, snapshot and
// its mouse down and mouse up.
#include "frame/kestova/Kestova.h"

#include "frame/Selection.h"

namespace kestova {

using namespace frame;

const SuiteEntry kSuites[kSuiteCount] = {
    {kSPBlocksSuite, kSPBlocksSuiteVersion, kSlotBlocks},
    {kSPAccessSuite, kSPAccessSuiteVersion, kSlotAccess},
    {kAIPluginSuite, kAIPluginSuiteVersion, kSlotPlugin},
    {kAIMdMemorySuite, kAIMdMemorySuiteVersion, kSlotMdMemory},
    {kAIRealMathSuite, kAIRealMathSuiteVersion, kSlotRealMath},
    {kAIArtSuite, kAIArtSuiteVersion, kSlotArt},
    {kAIUserSuite, kAIUserSuiteVersion, kSlotUser},
    {kAIPathSuite, kAIPathSuiteVersion, kSlotPath},
    {kAIPathStyleSuite, kAIPathStyleSuiteVersion, kSlotPathStyle},
    {kAIBlendStyleSuite, kAIBlendStyleSuiteVersion, kSlotBlendStyle},
    {kAISwatchListSuite, kAISwatchListSuiteVersion, kSlotSwatchList},
    {kAIUndoSuite, kAIUndoSuiteVersion, kSlotUndo},
    {kAIMatchingArtSuite, kAIMatchingArtSuiteVersion, kSlotMatchingArt},
    {kAITransformArtSuite, kAITransformArtSuiteVersion, kSlotTransformArt}, // held, never called
    {kAIRandomSuite, kAIRandomSuiteVersion, kSlotRandom},
    {kAILayerSuite, kAILayerSuiteVersion, kSlotLayer},
    {kAIPreferenceSuite, kAIPreferenceSuiteVersion, kSlotPreference}, // held, never called
    {kAIDocumentSuite, kAIDocumentSuiteVersion, kSlotDocument},
    {kAIToolSuite, kAIToolSuiteVersion, kSlotTool},
    {kADMBasicSuite, kADMBasicSuiteVersion, kSlotADMBasic},
    {kADMDialogSuite, kADMDialogSuiteVersion, kSlotADMDialog},
    {kADMItemSuite, kADMItemSuiteVersion, kSlotADMItem},
    {kADMIconSuite, kADMIconSuiteVersion, kSlotADMIcon},
    {kADMTrackerSuite, kADMTrackerSuiteVersion, kSlotADMTracker},
    {kADMListSuite, kADMListSuiteVersion, kSlotADMList},
    {kADMEntrySuite, kADMEntrySuiteVersion, kSlotADMEntry},
};

void StoreBasicSuite(void* block, SPBasicSuite* basic) { static_cast<KestovaGlobals*>(block)->basicSuite = basic; }

KestovaGlobals* Globals() { return static_cast<KestovaGlobals*>(GlobalsBlock()); }

void SetDefaults(KestovaGlobals& g) {
    g.pdApplyIn = 1;
    g.pdApplyOut = 1;
    g.pdPreSwap = 0;
    g.pdLocked = 0;
    g.pdHorizontal = 1;
    g.pdVertical = 1;
    g.pdRandomApply = 0;
    g.pdSwap = 0;
    g.pdAlternate = 0;
    g.pdFillR = 0;
    g.pdStrokeR = 0;
    g.pdFillSwatchR = 0;
    g.pdStrokeSwatchR = 0;
    g.pdOpacityR = 0;
    g.pdWidthR = 0;
    g.pdPressure = 0;
    g.pdTrailTrace = 0;
    g.pdTrailBeneath = 0;
    g.pdTrailNewLayer = 0;
    g.pdAnchorDirectionR = 0;
    g.pdTypePerPointR = 0;
    g.pdTypePerPathR = 0;
    g.pdMode = 0;
    g.pdInterpIn = 100.0f;
    g.pdInterpOut = 100.0f;
    g.pdInterpPoint = 100.0f;
    g.pdLimit = 1000.0f;
}

ASErr RegisterTools(SPInterfaceMessage* message) {
    KestovaGlobals& g = *Globals();

    AIAddToolData data{};
    data.title = kToolTitle;
    data.tooltip = kToolTooltip;
    data.helpID = 0;
    data.sameToolsetAs = kNoTool;
    // Brivane's Rows Columns tool, when it is registered, gives the group.
    ASInt32 group = kNoTool;
    if (Tool()->GetToolNumberFromName(kGroupToolName, &group) != kNoErr) group = kNoTool;
    data.sameGroupAs = group;

    ADMIconRef icon = nullptr;
    ASErr error = AdmIcon()->GetFromResource(message->self, kToolIconList, 1, &icon);
    if (error != kNoErr) return error;
    ASInt32 type = kADMUnknownIconType;
    error = AdmIcon()->GetType(icon, &type);
    if (error != kNoErr) return error;
    if (type == kADMUnknownIconType) {
        AdmIcon()->Destroy(icon); // no tool will use it
        return kNoIconErr;
    }
    data.icon = icon;

    error = Tool()->AddTool(message->self, kToolTitle, &data, kToolWantsToTrackCursorOption, &g.pdToolHandle);
    if (error != kNoErr) return error;

    SetDefaults(g);
    return kNoErr;
}

ASErr TakeSelectionSnapshot(KestovaGlobals& g) {
    const AIMatchingArtSpec criteria[2] = {{kPathArt, kArtSelected, kArtSelected},
                                        {kTextPathArt, kArtSelected, kArtSelected}};
    ASErr error = TakeSelection(criteria, 2, {g.selectedArt, g.selectedCount});
    if (error != kNoErr || g.selectedArt == nullptr) return error;

    AIDocumentSetup setup{};
    error = Document()->GetDocumentSetup(&setup);
    if (error != kNoErr) {
        DropSelectionSnapshot(g);
        return error;
    }
    g.pdDocumentCentre.h = setup.width / 2.0f;
    g.pdDocumentCentre.v = setup.height / 2.0f;
    return kNoErr;
}

void DropSelectionSnapshot(KestovaGlobals& g) { DropSelection({g.selectedArt, g.selectedCount}); }

ASErr MouseDown(AIToolMessage* message) {
    KestovaGlobals& g = *Globals();
    g.dragStart = message->cursor;
    return TakeSelectionSnapshot(g);
}

ASErr MouseUp(AIToolMessage* /*message*/) {
    DropSelectionSnapshot(*Globals());
    Undo()->UndoChanges();
    return kNoErr;
}

} // namespace kestova
