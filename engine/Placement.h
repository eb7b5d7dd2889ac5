// Whether a copy goes beneath or above all art, and the four-fold mirror tile
// the pattern option makes of a finished copy.
#ifndef ENGINE_PLACEMENT_H
#define ENGINE_PLACEMENT_H

#include "HostCalls.h"

namespace brivane::engine {

// The two ways tools number their copies.
enum class IndexForm { kRun, kGrid };

// 1 when the copy goes beneath all art: placement popup `mode`, first index
// a (run: the copy; grid: the row), second index b (grid: the column; run:
// unused), p the index of the selected object in the snapshot. " Random 1"
// takes one draw from random.
int PlaceBeneath(ASInt32 mode, ASInt32 a, ASInt32 b, ASInt32 p, IndexForm form, const RandomSource& random);

// Duplicates source beneath all art when beneath is set, else above all art.
ASErr DuplicatePlaced(AIArtHandle source, int beneath, AIArtHandle* copy);

// Entries of the pattern popup.
enum PatternCentre : ASInt32 {
    kPatternIgnore = 0,
    kPatternDocumentCentre,
    kPatternEndPoint,
    kPatternStartPoint,
    kPatternOriginalPath
};

// Adds three mirror images of copy about reference: mirrored left-right,
// both ways, and top-bottom, so the four pieces form a tile symmetric about
// the vertical line, the horizontal line and the point through reference.
ASErr PatternTile(AIArtHandle copy, int beneath, AIRealPoint reference);

} // namespace brivane::engine

#endif
