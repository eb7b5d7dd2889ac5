// Brivane's suite list, its Globals and tool registration (the start-up
// defaults are BrivaneDefaults.cpp).
#include "frame/brivane/Brivane.h"

#include <cstddef>

namespace brivane {

using namespace frame;

const SuiteEntry kSuites[kSuiteCount] = {
    {kSPBlocksSuite, kSPBlocksSuiteVersion, kSlotBlocks},
    {kSPAccessSuite, kSPAccessSuiteVersion, kSlotAccess},
    {kAIPluginSuite, kAIPluginSuiteVersion, kSlotPlugin},
    {kAIMdMemorySuite, kAIMdMemorySuiteVersion, kSlotMdMemory},
    {kAIRealMathSuite, kAIRealMathSuiteVersion, kSlotRealMath},
    {kAIArtSuite, kAIArtSuiteVersion, kSlotArt},
    {kAIUserSuite, kAIUserSuiteVersion, kSlotUser},
    {kAIPathSuite, kAIPathSuiteVersion, kSlotPath},             // held, never called
    {kAIPathfinderSuite, kAIPathfinderSuiteVersion, kSlotPathfinder}, // held, never called
    {kAIPathStyleSuite, kAIPathStyleSuiteVersion, kSlotPathStyle},
    {kAIUndoSuite, kAIUndoSuiteVersion, kSlotUndo},
    {kAIMatchingArtSuite, kAIMatchingArtSuiteVersion, kSlotMatchingArt},
    {kAITransformArtSuite, kAITransformArtSuiteVersion, kSlotTransformArt},
    {kAITagSuite, kAITagSuiteVersion, kSlotTag},
    {kAIRandomSuite, kAIRandomSuiteVersion, kSlotRandom},
    {kAIBlendStyleSuite, kAIBlendStyleSuiteVersion, kSlotBlendStyle},
    {kAIArtStyleSuite, kAIArtStyleSuiteVersion, kSlotArtStyle},   // held, never called
    {kAISwatchListSuite, kAISwatchListSuiteVersion, kSlotSwatchList},
    {kAIShapeConstructionSuite, kAIShapeConstructionSuiteVersion, kSlotShapeConstruction},
    {kAIPreferenceSuite, kAIPreferenceSuiteVersion, kSlotPreference}, // held, never called
    {kAIDocumentSuite, kAIDocumentSuiteVersion, kSlotDocument},
    {kAIEnvelopeSuite, kAIEnvelopeSuiteVersion, kSlotEnvelope},
    {kAILayerSuite, kAILayerSuiteVersion, kSlotLayer},
    {kAIToolSuite, kAIToolSuiteVersion, kSlotTool},
    {kADMBasicSuite, kADMBasicSuiteVersion, kSlotADMBasic},
    {kADMDialogSuite, kADMDialogSuiteVersion, kSlotADMDialog},
    {kADMItemSuite, kADMItemSuiteVersion, kSlotADMItem},
    {kADMIconSuite, kADMIconSuiteVersion, kSlotADMIcon},
    {kADMTrackerSuite, kADMTrackerSuiteVersion, kSlotADMTracker},
    {kADMListSuite, kADMListSuiteVersion, kSlotADMList},
    {kADMEntrySuite, kADMEntrySuiteVersion, kSlotADMEntry},
    {kADMNotifierSuite, kADMNotifierSuiteVersion, kSlotADMNotifier}, // held, never called
};

const char* const kToolTitles[kToolCount] = {
    " ZR5 Rows Columns", " ZR5 Drag",       " ZR5 Soft center", " ZR5 Framed",
    " ZR5 Rim random",   " ZR5 Windmill",   " ZR5 Scaledown",   " ZR5 Bouncealong",
    " ZR5 Spiraled",     " ZR5 Checkerboard", " ZR5 Paint",     " ZR5 Tile",
    " ZR5 Background",
};

const char* const kToolTooltips[kToolCount] = {
    " ZR5 Rows Columns - paths symbols images text(10)",
    " ZR5 Drag - Double click to see options",
    " ZR5 Soft center (linked row effects)",
    " ZR5 Framed (create basic frames)",
    " ZR5 Rim random (brush/clutter effect)",
    " ZR5 Windmill (rotation effects)",
    " ZR5 Scaledown (zoom effects)",
    " ZR5 Bouncealong (zoom/twists)",
    " ZR5 Spiraled (spiral paths)",
    " ZR5 Checkerboard (duplications)",
    " ZR5 Paint (spray/linear)",
    " ZR5 Tile (basic patterns)",
    " ZR5 Background (+ frames)",
};

void StoreBasicSuite(void* block, SPBasicSuite* basic) { static_cast<BrivaneGlobals*>(block)->basicSuite = basic; }

BrivaneGlobals* Globals() { return static_cast<BrivaneGlobals*>(GlobalsBlock()); }

int ToolIndexOf(const BrivaneGlobals& g, AIToolHandle tool) {
    for (int i = 0; i < kToolCount; ++i)
        if (g.toolHandles[i] == tool) return i;
    return -1;
}

ASErr RegisterTools(SPInterfaceMessage* message) {
    BrivaneGlobals& g = *Globals();

    AIAddToolData data{};
    data.helpID = 0;
    data.sameGroupAs = kNoTool;
    data.sameToolsetAs = kNoTool;

    for (int i = 0; i < kToolCount; ++i) {
        ADMIconRef icon = nullptr;
        ASErr error = AdmIcon()->GetFromResource(message->self, kToolIconList, i + 1, &icon);
        if (error != kNoErr) return error;
        ASInt32 type = kADMUnknownIconType;
        error = AdmIcon()->GetType(icon, &type);
        if (error != kNoErr) return error;
        if (type == kADMUnknownIconType) {
            AdmIcon()->Destroy(icon); // no tool will use it
            return kNoIconErr;
        }

        data.title = kToolTitles[i];
        data.tooltip = kToolTooltips[i];
        data.icon = icon;
        error = Tool()->AddTool(message->self, kToolTitles[i], &data, kToolWantsToTrackCursorOption,
                                &g.toolHandles[i]);
        if (error != kNoErr) return error;

        if (i == 0) {
            // The other twelve share the first tool's group and toolset.
            ASInt32 first = kNoTool;
            error = Tool()->GetToolNumberFromName(kToolTitles[0], &first);
            if (error != kNoErr) return error;
            data.sameGroupAs = first;
            data.sameToolsetAs = first;
        }
    }

    SetDefaults(g);
    g.dialogBoundsSaved = 0;
    return kNoErr;
}

} // namespace brivane
