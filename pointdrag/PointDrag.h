// Kestova's point-drag tool: the eleven drag modes, the per-event work on
// the selected paths, restyling and trails, and the option dialog. The Kestova
// plug-in (plugins/kestova) hands MouseDrag and EditOptions to the frame.
#ifndef POINTDRAG_POINTDRAG_H
#define POINTDRAG_POINTDRAG_H

#include "frame/kestova/Kestova.h"

namespace pointdrag {

// ---- the tool's two handlers ----

// One "AI Mouse Drag" event; 0 or the status the event ends with.
ASErr MouseDrag(AIToolMessage* message);

// "AI Edit Options": the dialog when the message's tool is Kestova's; 0 after
// OK, 'STOP' after Cancel, 0 without a dialog for any other tool.
ASErr EditOptions(AIToolMessage* message);

// ---- modes ----

inline constexpr ASInt32 kModeCount = 11;

// The mode popup's entries; entry i has id i.
extern const char* const kModeNames[kModeCount];

// Which components a mode may change and how it reads its source point.
struct Gates {
    bool horizontal = true; // h components may change
    bool vertical = true;   // v components may change
    bool applyIn = true;    // the in-direction point may change
    bool applyOut = true;   // the out-direction point may change
    bool swap = false;      // h takes the source's v and v its h
    bool locked = false;    // h and v both take the source's v (wins over swap)
};

Gates GatesOf(const KestovaGlobals& g);

// The points of one drag event a mode works from.
struct DragPoints {
    AIRealPoint start;  // S: the drag start (or the re-anchored start)
    AIRealPoint cursor; // E: this event's cursor
    AIRealPoint delta;  // d = E - S
    AIRealPoint centre; // D: the document centre
};

// Moves the anchor and direction points of one segment as `mode` (0 .. 10)
// says, through the gates and source variants. The corner flag is kept.
void ApplyMode(ASInt32 mode, const Gates& gates, const DragPoints& points, AIPathSegment& segment);

// Pulls every handle component to within `limit` of the anchor's same
// component.
void LimitHandles(AIPathSegment& segment, AIReal limit);

// A random mode index: trunc(r x 11), at most 10.
ASInt32 ModeFromRandom(AIReal r);

// ---- interpolation ----

// The 0x200 key's step: each interpolation option up by 1, and past 100
// back to 0.
void StepInterpolation(KestovaGlobals& g);

// ---- swatches ----

// The swatch a random number r picks from a list of `count` swatches:
// trunc(r x count) + 1, kept within 2 .. count - 1 so that neither "[None]"
// nor "[Registration]" (0 and 1) nor a place past the end is chosen.
// -1 when the list has no swatch beyond those two.
ASInt32 SwatchIndexFromRandom(AIReal r, ASInt32 count);

// ---- per path, after its segments (PointDragStyle.cpp) ----

// Random colours, swatches, width and opacity as the options ask. Never
// stops the event: *status receives the status of every style call.
void RestylePath(const KestovaGlobals& g, AIArtHandle path, ASInt32 swatchCount, ASErr* status);

// With "Trail / trace" on: leaves a copy of the path where it is now and
// moves the path above (or beneath) it, with a new top layer when asked.
ASErr LayTrail(const KestovaGlobals& g, AIArtHandle path);

// One uniform random number in [0, 1) from the host.
AIReal RandomNumber();

} // namespace pointdrag

#endif
