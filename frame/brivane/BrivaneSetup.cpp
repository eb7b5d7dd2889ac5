// Brivane's suite list, its Globals, tool registration and start-up defaults.
#include "Brivane.h"

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

namespace {

void StoreBasicSuite(void* block, SPBasicSuite* basic) { static_cast<BrivaneGlobals*>(block)->basicSuite = basic; }

ASErr MouseDragHook(AIToolMessage* message) { return BrivaneMouseDrag(message); }
ASErr EditOptionsHook(AIToolMessage* message) { return BrivaneEditOptions(message); }

} // namespace

const PluginDefinition kPlugin = {
    kSuites,         kSuiteCount, sizeof(BrivaneGlobals), StoreBasicSuite, RegisterTools,
    EditOptionsHook, MouseDown,   MouseDragHook,          MouseUp,
};

BrivaneGlobals* Globals() { return static_cast<BrivaneGlobals*>(GlobalsBlock()); }

int ToolIndexOf(const BrivaneGlobals& g, AIToolHandle tool) {
    for (int i = 0; i < kToolCount; ++i)
        if (g.toolHandles[i] == tool) return i;
    return -1;
}

void SetDefaults(BrivaneGlobals& g) {
    // Shared options.
    g.layerPerEvent = 0;
    g.usePressure = 0;
    g.randomOpacity = 0;
    g.randomBlend = 0;
    g.randomWidth = 0;
    g.placement = 0;
    g.lineWidthMode = 0;
    g.fillPeriod = 0;
    g.strokePeriod = 0;
    g.patternCentre = 0;
    g.slowdown = 0;
    g.fillMode = 0;
    g.strokeMode = 0;
    g.fillSwatch = 2;
    g.strokeSwatch = 2;

    // Rows Columns.
    g.rcColumns = 10;
    g.rcRows = 10;
    g.rcCheckerboard = 0;
    g.rcHApply = 0;
    g.rcVApply = 0;
    g.rcTurn = 0;
    g.rcRotation = 0.0f;
    g.rcJitter = 0.0f;
    g.rcGoldenH = 0;
    g.rcGoldenV = 0;
    g.rcBox = 0;
    g.rcSelected = 1;
    g.rcLocked = 0;
    g.rcTrail = 0;
    g.rcTouch = 0;
    g.rcWarp = 0;
    g.rcCreate = 0;
    g.rcRotationR = 0;

    // Drag.
    g.dragRotation = 0.0f;
    g.dragJitterH = 0.0f;
    g.dragJitterV = 0.0f;
    g.dragCopies = 10;
    g.dragSelected = 1;
    g.dragLocked = 0;
    g.dragTrail = 0;
    g.dragWarp = 0;
    g.dragCreate = 0;

    // Soft center.
    g.softCopies = 10;
    g.softGapUnit = 0;
    g.softJitter = 0.0f;
    g.softGap = 0.0f;
    g.softLocked = 0;
    g.softTrail = 0;
    g.softWarp = 0;
    g.softCreate = 0;

    // Framed.
    g.frameCopiesWide = 10;
    g.frameCopiesHigh = 10;
    g.frameEdge = 0;
    g.frameJitter = 0.0f;
    g.frameRotation = 0.0f;
    g.frameScale = 100.0f;
    g.frameSelected = 1;
    g.frameWarp = 0;
    g.frameCreate = 0;
    g.frameDelete = 1;
    g.frameLocked = 0;
    g.frameTrail = 0;

    // Rim random.
    g.rimCopies = 10;
    g.rimScaleMin = 97.0f;
    g.rimScaleMax = 103.0f;
    g.rimJitter = 0.0f;
    g.rimLocked = 0;
    g.rimSelected = 1;
    g.rimApply = 1;
    g.rimTrail = 0;
    g.rimWarp = 0;
    g.rimRotate = 1;

    // Windmill (windmillScaleState is drag state, set at mouse down).
    g.windmillCopies = 10;
    g.windmillUnits = 0;
    g.windmillApply = 0;
    g.windmillObjectCopies = 0;
    g.windmillSelected = 1;
    g.windmillAlign = 1;
    g.windmillDelete = 1;
    g.windmillMatch = 0;
    g.windmillTrail = 0;
    g.windmillWarp = 0;
    g.windmillCreate = 0;
    g.windmillScale = 100.0f;
    g.windmillInitial = 0.0f;
    g.windmillInitialScale = 100.0f;
    g.windmillAltShift = 0.0f;
    g.windmillRotation = 0.0f;
    g.windmillJitter = 0.0f;
    g.windmillRotateFactor = 100.0f;

    // Scaledown (scaledownReserved is left as it is).
    g.scaledownScaleH = 90.0f;
    g.scaledownScaleV = 90.0f;
    g.scaledownOpacityFade = 100.0f;
    g.scaledownJitter = 0.0f;
    g.scaledownTurn = 0.0f;
    g.scaledownCopies = 10;
    g.scaledownTwists = 0;
    g.scaledownApply = 0;
    g.scaledownSelected = 1;
    g.scaledownLocked = 0;
    g.scaledownTrail = 0;
    g.scaledownWarp = 0;
    g.scaledownCreate = 0;
    g.scaledownObjectCopies = 0;

    // Bouncealong.
    g.bounceCopies = 10;
    g.bounceBounces = 4;
    g.bounceScale = 90.0f;
    g.bounceJitter = 0.0f;
    g.bounceCrunch = 0;
    g.bounceLocked = 0;
    g.bounceTrail = 0;
    g.bounceWarp = 0;
    g.bounceCreate = 0;
    g.bounceSelected = 1;

    // Spiraled.
    g.spiralSelected = 1;
    g.spiralAlign = 1;
    g.spiralDelete = 1;
    g.spiralMatch = 0;
    g.spiralReverse = 0;
    g.spiralTrail = 0;
    g.spiralWarp = 0;
    g.spiralCreate = 0;
    g.spiralRotation = 0.0f;
    g.spiralJitter = 0.0f;
    g.spiralScale = 99.0f;
    g.spiralDecay = 90.0f;
    g.spiralCopies = 10;
    g.spiralArms = 3;

    // Checkerboard.
    g.checkerColumns = 10;
    g.checkerRows = 10;
    g.checkerSelected = 1;
    g.checkerLocked = 0;
    g.checkerTouch = 0;
    g.checkerWarp = 0;
    g.checkerCreate = 0;
    g.checkerRotation = 0.0f;
    g.checkerJitter = 0.0f;

    // Paint (the running scales, opacity and last point are set at mouse down).
    g.paintTrail = 1;
    g.paintScaleH = 100.0f;
    g.paintScaleV = 100.0f;
    g.paintFollow = 1;
    g.paintWarp = 0;
    g.paintRotationR = 0;
    g.paintOpacityFade = 100.0f;
    g.paintJitter = 0.0f;
    g.paintIntensity = 0.0f;
    g.paintEventCount = 0;
    g.paintCreate = 0;

    // Tile (the grid fields are written by the layout).
    g.tileJitter = 0.0f;
    g.tileLocked = 0;

    // Background.
    g.backCopies = 70;
    g.backFrame = 50.0f;
    g.backScaleMin = 97.0f;
    g.backScaleMax = 103.0f;
    g.backDelete = 1;
    g.backLocked = 0;
    g.backSelected = 1;
    g.backApply = 1;
    g.backTrail = 0;
    g.backWarp = 0;
    g.backRotate = 1;
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
