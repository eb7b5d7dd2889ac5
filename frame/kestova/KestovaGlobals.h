// Kestova's one block of state: its tool handle, the point-drag options, the
// document centre, the selection snapshot and the drag points. Supplied
// zero-filled by the host's block allocator at start-up; flags are 32-bit
// integers, reals 32-bit floats.
#ifndef FRAME_KESTOVA_KESTOVAGLOBALS_H
#define FRAME_KESTOVA_KESTOVAGLOBALS_H

#include "host/Host.h"

struct KestovaGlobals {
    AIToolHandle pdToolHandle;
    ASInt32 pdApplyIn;
    ASInt32 pdApplyOut;
    ASInt32 pdPreSwap;
    ASInt32 pdLocked;
    ASInt32 pdHorizontal;
    ASInt32 pdVertical;
    ASInt32 pdRandomApply;
    ASInt32 pdSwap;
    ASInt32 pdAlternate;
    ASInt32 pdFillR;
    ASInt32 pdStrokeR;
    ASInt32 pdFillSwatchR;
    ASInt32 pdStrokeSwatchR;
    ASInt32 pdOpacityR;
    ASInt32 pdWidthR;
    ASInt32 pdPressure;
    ASInt32 pdTrailTrace;
    ASInt32 pdTrailBeneath;
    ASInt32 pdTrailNewLayer;
    ASInt32 pdAnchorDirectionR;
    ASInt32 pdTypePerPointR;
    ASInt32 pdTypePerPathR;
    ASInt32 pdMode; // popup index 0 .. 10
    AIReal pdInterpIn;
    AIReal pdInterpOut;
    AIReal pdInterpPoint;
    AIRealPoint pdDocumentCentre; // set by the selection snapshot
    AIReal pdLimit;

    AIArtHandle** selectedArt; // host memory handle to an array of paths
    ASInt32 selectedCount;
    AIRealPoint dragStart;
    AIRealPoint dragCurrent;

    SPBasicSuite* basicSuite; // stored at start-up; always the last field
};

namespace kestova {

// The Globals block of the running plug-in (null outside start-up .. shut-down).
KestovaGlobals* Globals();

// Every option field at its start-up value.
void SetDefaults(KestovaGlobals& g);

inline constexpr const char* kToolTitle = " ZR5 KestovaTool";
inline constexpr const char* kToolTooltip = " ZR5 drag points using start and end of cursor drag";
// The tool whose palette group Kestova joins when the host has it.
inline constexpr const char* kGroupToolName = " ZR5 Rows Columns";

} // namespace kestova

#endif
