// Brivane's one block of state: tool handles, every option of every tool,
// the drag state and the selection snapshot. The host's block allocator
// supplies it zero-filled at start-up; it lives until shut-down and survives
// unloading of the library. Integers and flags are 32-bit, reals 32-bit floats.
#ifndef FRAME_BRIVANE_BRIVANEGLOBALS_H
#define FRAME_BRIVANE_BRIVANEGLOBALS_H

#include "host/Host.h"

namespace brivane {

inline constexpr int kToolCount = 13;

// Tool indexes, in registration order.
enum ToolIndex : int {
    kRowsColumnsTool = 0,
    kDragTool,
    kSoftCenterTool,
    kFramedTool,
    kRimRandomTool,
    kWindmillTool,
    kScaledownTool,
    kBouncealongTool,
    kSpiraledTool,
    kCheckerboardTool,
    kPaintTool,
    kTileTool,
    kBackgroundTool
};

} // namespace brivane

struct BrivaneGlobals {
    AIToolHandle toolHandles[brivane::kToolCount];
    ASInt32 slowdownCounter;
    ASRect dialogBounds;       // last option dialog closed with OK, screen pixels
    ASInt32 dialogBoundsSaved; // dialogs open at dialogBounds when set

    // Options shared by every tool.
    ASInt32 layerPerEvent;
    ASInt32 usePressure;
    ASInt32 randomOpacity;
    ASInt32 randomBlend;
    ASInt32 randomWidth;
    ASInt32 placement;     // popup index
    ASInt32 lineWidthMode; // popup index
    ASInt32 fillPeriod;
    ASInt32 strokePeriod;
    ASInt32 patternCentre; // popup index
    ASInt32 slowdown;
    ASInt32 fillMode;      // popup index
    ASInt32 strokeMode;    // popup index
    ASInt32 fillSwatch;
    ASInt32 strokeSwatch;

    // Rows Columns.
    ASInt32 rcColumns;
    ASInt32 rcRows;
    ASInt32 rcCheckerboard; // popup index
    ASInt32 rcHApply;       // popup index
    ASInt32 rcVApply;       // popup index
    ASInt32 rcTurn;         // popup index
    AIReal rcRotation;
    AIReal rcJitter;
    ASInt32 rcGoldenH;
    ASInt32 rcGoldenV;
    ASInt32 rcBox;
    ASInt32 rcSelected;
    ASInt32 rcLocked;
    ASInt32 rcTrail;
    ASInt32 rcTouch;
    ASInt32 rcWarp;
    ASInt32 rcCreate;
    ASInt32 rcRotationR;

    // Drag.
    AIReal dragRotation;
    AIReal dragJitterH;
    AIReal dragJitterV;
    ASInt32 dragCopies;
    ASInt32 dragSelected;
    ASInt32 dragLocked;
    ASInt32 dragTrail;
    ASInt32 dragWarp;
    ASInt32 dragCreate;

    // Soft center.
    ASInt32 softCopies;
    ASInt32 softGapUnit; // popup index: points, centimetres, inches
    AIReal softJitter;
    AIReal softGap;
    ASInt32 softLocked;
    ASInt32 softTrail;
    ASInt32 softWarp;
    ASInt32 softCreate;

    // Framed.
    ASInt32 frameCopiesWide;
    ASInt32 frameCopiesHigh;
    ASInt32 frameEdge; // popup index
    AIReal frameJitter;
    AIReal frameRotation;
    AIReal frameScale;
    ASInt32 frameSelected;
    ASInt32 frameWarp;
    ASInt32 frameCreate;
    ASInt32 frameDelete;
    ASInt32 frameLocked;
    ASInt32 frameTrail;

    // Rim random.
    ASInt32 rimCopies;
    AIReal rimScaleMin;
    AIReal rimScaleMax;
    AIReal rimJitter;
    ASInt32 rimLocked;
    ASInt32 rimSelected;
    ASInt32 rimApply;
    ASInt32 rimTrail;
    ASInt32 rimWarp;
    ASInt32 rimRotate;

    // Windmill.
    ASInt32 windmillCopies;
    ASInt32 windmillUnits; // popup index
    ASInt32 windmillApply; // popup index
    ASInt32 windmillObjectCopies;
    ASInt32 windmillSelected;
    ASInt32 windmillAlign;
    ASInt32 windmillDelete;
    ASInt32 windmillMatch;
    ASInt32 windmillTrail;
    ASInt32 windmillWarp;
    ASInt32 windmillCreate;
    AIReal windmillScale;
    AIReal windmillInitial;
    AIReal windmillInitialScale;
    AIReal windmillScaleState; // drag state: 100 at mouse down
    AIReal windmillAltShift;
    AIReal windmillRotation;
    AIReal windmillJitter;
    AIReal windmillRotateFactor;

    // Scaledown.
    AIReal scaledownScaleH;
    AIReal scaledownScaleV;
    AIReal scaledownOpacityFade;
    AIReal scaledownJitter;
    AIReal scaledownTurn;
    ASInt32 scaledownCopies;
    ASInt32 scaledownTwists;
    ASInt32 scaledownApply; // popup index
    ASInt32 scaledownSelected;
    ASInt32 scaledownLocked;
    ASInt32 scaledownTrail;
    ASInt32 scaledownReserved; // no control; start-up leaves it alone
    ASInt32 scaledownWarp;
    ASInt32 scaledownCreate;
    ASInt32 scaledownObjectCopies;

    // Bouncealong.
    ASInt32 bounceCopies;
    ASInt32 bounceBounces;
    AIReal bounceScale;
    AIReal bounceJitter;
    ASInt32 bounceCrunch;
    ASInt32 bounceLocked;
    ASInt32 bounceTrail;
    ASInt32 bounceWarp;
    ASInt32 bounceCreate;
    ASInt32 bounceSelected;

    // Spiraled.
    ASInt32 spiralSelected;
    ASInt32 spiralAlign;
    ASInt32 spiralDelete;
    ASInt32 spiralMatch;
    ASInt32 spiralReverse;
    ASInt32 spiralTrail;
    ASInt32 spiralWarp;
    ASInt32 spiralCreate;
    AIReal spiralRotation;
    AIReal spiralJitter;
    AIReal spiralScale;
    AIReal spiralDecay;
    ASInt32 spiralCopies;
    ASInt32 spiralArms;

    // Checkerboard.
    ASInt32 checkerColumns;
    ASInt32 checkerRows;
    ASInt32 checkerSelected;
    ASInt32 checkerLocked;
    ASInt32 checkerTouch;
    ASInt32 checkerWarp;
    ASInt32 checkerCreate;
    AIReal checkerRotation;
    AIReal checkerJitter;

    // Paint (options and the painting state of the current drag).
    ASInt32 paintTrail;      // no control, always on
    AIReal paintRunScaleH;   // drag state: 1.0 at mouse down
    AIReal paintRunScaleV;   // drag state: 1.0 at mouse down
    AIReal paintScaleH;
    AIReal paintScaleV;
    ASInt32 paintFollow;
    AIReal paintLastX;       // drag state: drag start at mouse down
    AIReal paintLastY;       // drag state: drag start at mouse down
    ASInt32 paintWarp;
    ASInt32 paintRotationR;
    AIReal paintOpacityFade;
    AIReal paintRunOpacity;  // drag state: 1.0 at mouse down
    AIReal paintJitter;
    AIReal paintIntensity;
    ASInt32 paintEventCount; // drag state: 0 at start-up, reset and mouse down
    ASInt32 paintCreate;

    // Tile.
    AIReal tileJitter;
    ASInt32 tileLocked;
    AIReal tileRows;    // written by the layout at every drawn event
    AIReal tileColumns; // written by the layout at every drawn event

    // Background.
    ASInt32 backCopies;
    AIReal backFrame;
    AIReal backScaleMin;
    AIReal backScaleMax;
    ASInt32 backDelete; // no control
    ASInt32 backLocked;
    ASInt32 backSelected;
    ASInt32 backApply;
    ASInt32 backTrail;
    ASInt32 backWarp;
    ASInt32 backRotate;

    // Selection snapshot and drag points.
    AIArtHandle** selectedArt; // host memory handle to an array of art; entries may be empty
    ASInt32 selectedCount;
    AIRealPoint selectionCentre;
    AIRealPoint dragStart;
    AIRealPoint dragCurrent;

    SPBasicSuite* basicSuite; // stored at start-up; always the last field
};

namespace brivane {

// The Globals block of the running plug-in (null outside start-up .. shut-down).
BrivaneGlobals* Globals();

// Every option field and the start-up value of paintEventCount: what start-up
// and a dialog's Reset write. Neither the dialog bounds nor the drag state
// set at mouse down are touched.
void SetDefaults(BrivaneGlobals& g);

// Tool index of a tool handle, or -1 when the handle is none of Brivane's tools.
int ToolIndexOf(const BrivaneGlobals& g, AIToolHandle tool);

// Titles (also the registered names) and tooltips, in tool order.
extern const char* const kToolTitles[kToolCount];
extern const char* const kToolTooltips[kToolCount];

} // namespace brivane

#endif
