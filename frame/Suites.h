// The host suites a plug-in holds between acquisition and release, one slot
// per suite, and typed accessors for the code that calls them.
#ifndef FRAME_SUITES_H
#define FRAME_SUITES_H

#include "host/Host.h"

#include <cstddef>

namespace frame {

// One slot per suite either deliverable may acquire.
enum SuiteSlot : int {
    kSlotBlocks,
    kSlotAccess,
    kSlotPlugin,
    kSlotMdMemory,
    kSlotRealMath,
    kSlotArt,
    kSlotUser,
    kSlotPath,
    kSlotPathfinder,
    kSlotPathStyle,
    kSlotUndo,
    kSlotMatchingArt,
    kSlotTransformArt,
    kSlotTag,
    kSlotRandom,
    kSlotBlendStyle,
    kSlotArtStyle,
    kSlotSwatchList,
    kSlotShapeConstruction,
    kSlotPreference,
    kSlotDocument,
    kSlotEnvelope,
    kSlotLayer,
    kSlotTool,
    kSlotADMBasic,
    kSlotADMDialog,
    kSlotADMItem,
    kSlotADMIcon,
    kSlotADMTracker,
    kSlotADMList,
    kSlotADMEntry,
    kSlotADMNotifier,
    kSuiteSlotCount
};

// An entry of a deliverable's suite list: what to acquire and where to put it.
struct SuiteEntry {
    const char* name;
    ASInt32 version;
    SuiteSlot slot;
};

// The suite tables, filled by AcquireSuites and cleared by ReleaseSuites.
extern const void* gSuiteSlots[kSuiteSlotCount];

template <typename Suite>
inline const Suite* SuiteIn(SuiteSlot slot) {
    return static_cast<const Suite*>(gSuiteSlots[slot]);
}

inline const SPBlocksSuite* Blocks() { return SuiteIn<SPBlocksSuite>(kSlotBlocks); }
inline const SPAccessSuite* Access() { return SuiteIn<SPAccessSuite>(kSlotAccess); }
inline const AIPluginSuite* Plugin() { return SuiteIn<AIPluginSuite>(kSlotPlugin); }
inline const AIMdMemorySuite* MdMemory() { return SuiteIn<AIMdMemorySuite>(kSlotMdMemory); }
inline const AIRealMathSuite* RealMath() { return SuiteIn<AIRealMathSuite>(kSlotRealMath); }
inline const AIArtSuite* Art() { return SuiteIn<AIArtSuite>(kSlotArt); }
inline const AIUserSuite* User() { return SuiteIn<AIUserSuite>(kSlotUser); }
inline const AIPathSuite* Path() { return SuiteIn<AIPathSuite>(kSlotPath); }
inline const AIPathfinderSuite* Pathfinder() { return SuiteIn<AIPathfinderSuite>(kSlotPathfinder); }
inline const AIPathStyleSuite* PathStyle() { return SuiteIn<AIPathStyleSuite>(kSlotPathStyle); }
inline const AIUndoSuite* Undo() { return SuiteIn<AIUndoSuite>(kSlotUndo); }
inline const AIMatchingArtSuite* MatchingArt() { return SuiteIn<AIMatchingArtSuite>(kSlotMatchingArt); }
inline const AITransformArtSuite* TransformArt() { return SuiteIn<AITransformArtSuite>(kSlotTransformArt); }
inline const AITagSuite* Tag() { return SuiteIn<AITagSuite>(kSlotTag); }
inline const AIRandomSuite* Random() { return SuiteIn<AIRandomSuite>(kSlotRandom); }
inline const AIBlendStyleSuite* BlendStyle() { return SuiteIn<AIBlendStyleSuite>(kSlotBlendStyle); }
inline const AIArtStyleSuite* ArtStyle() { return SuiteIn<AIArtStyleSuite>(kSlotArtStyle); }
inline const AISwatchListSuite* SwatchList() { return SuiteIn<AISwatchListSuite>(kSlotSwatchList); }
inline const AIShapeConstructionSuite* ShapeConstruction() {
    return SuiteIn<AIShapeConstructionSuite>(kSlotShapeConstruction);
}
inline const AIPreferenceSuite* Preference() { return SuiteIn<AIPreferenceSuite>(kSlotPreference); }
inline const AIDocumentSuite* Document() { return SuiteIn<AIDocumentSuite>(kSlotDocument); }
inline const AIEnvelopeSuite* Envelope() { return SuiteIn<AIEnvelopeSuite>(kSlotEnvelope); }
inline const AILayerSuite* Layer() { return SuiteIn<AILayerSuite>(kSlotLayer); }
inline const AIToolSuite* Tool() { return SuiteIn<AIToolSuite>(kSlotTool); }
inline const ADMBasicSuite* AdmBasic() { return SuiteIn<ADMBasicSuite>(kSlotADMBasic); }
inline const ADMDialogSuite* AdmDialog() { return SuiteIn<ADMDialogSuite>(kSlotADMDialog); }
inline const ADMItemSuite* AdmItem() { return SuiteIn<ADMItemSuite>(kSlotADMItem); }
inline const ADMIconSuite* AdmIcon() { return SuiteIn<ADMIconSuite>(kSlotADMIcon); }
inline const ADMTrackerSuite* AdmTracker() { return SuiteIn<ADMTrackerSuite>(kSlotADMTracker); }
inline const ADMListSuite* AdmList() { return SuiteIn<ADMListSuite>(kSlotADMList); }
inline const ADMEntrySuite* AdmEntry() { return SuiteIn<ADMEntrySuite>(kSlotADMEntry); }
inline const ADMNotifierSuite* AdmNotifier() { return SuiteIn<ADMNotifierSuite>(kSlotADMNotifier); }

// How many PluginMain calls are inside the suite bracket right now.
ASInt16 SuiteNesting();
void SetSuiteNesting(ASInt16 nesting);

// Acquires every suite of the list into its slot when no outer call holds
// them already; counts the call in the nesting either way. Returns 0 or the
// error of the acquisition that failed.
ASErr AcquireSuites(SPBasicSuite* basic, const SuiteEntry* list, std::size_t count);

// Releases the suites again when this is the outermost call; counts the call
// out of the nesting either way.
void ReleaseSuites(SPBasicSuite* basic, const SuiteEntry* list, std::size_t count);

} // namespace frame

#endif
