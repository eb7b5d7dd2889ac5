// Pieces the run tools (Soft center, Scaledown, Bouncealong, Paint) share:
// locking a vector to the drag's axis, an object's centre, multiplying a
// copy's opacity (the pattern tile of such a copy is PatternStep, Engine.h).
#ifndef ENGINE_RUNS_H
#define ENGINE_RUNS_H

#include "Engine.h"
#include "frame/Suites.h"

namespace brivane::engine {

// One whole turn in radians, as single-precision tool arithmetic uses it.
inline constexpr AIReal kFullTurn = 6.2831855f;

// A drag locks to vertical when the line between cursor and start lies
// within [pi/4, 3pi/4] of the horizontal, either way (both ends included).
inline constexpr AIReal kLockQuarterTurn = 0.7853982f;
inline constexpr AIReal kLockThreeQuarterTurn = 2.3561945f;

// "Locked": the horizontal part of (h, v) becomes 0 for a vertical drag,
// else the vertical part. The drag (cursor to start) decides, whatever the
// vector is.
inline ASErr LockToDragAxis(const BrivaneGlobals& g, AIReal* h, AIReal* v) {
    AIReal angle = 0.0f;
    const ASErr error = frame::RealMath()->AIRealPointAngle(&g.dragCurrent, &g.dragStart, &angle);
    if (error != kNoErr) return error;
    const AIReal a = angle < 0.0f ? -angle : angle;
    if (a >= kLockQuarterTurn && a <= kLockThreeQuarterTurn)
        *h = 0.0f;
    else
        *v = 0.0f;
    return kNoErr;
}

// The centre of the art's bounds.
inline ASErr ArtCentre(AIArtHandle art, AIRealPoint* centre) {
    AIRealRect bounds{};
    const ASErr error = frame::Art()->GetArtBounds(art, &bounds);
    if (error != kNoErr) return error;
    *centre = {(bounds.left + bounds.right) / 2.0f, (bounds.top + bounds.bottom) / 2.0f};
    return kNoErr;
}

// The centre a piece of a whole-selection copy is placed about: the selection
// centre, except that " Use original path" tiles each piece about its own
// object's centre.
inline ASErr PieceCentre(const BrivaneGlobals& g, AIArtHandle object, AIRealPoint* centre) {
    *centre = g.selectionCentre;
    return g.patternCentre == kPatternOriginalPath ? ArtCentre(object, centre) : kNoErr;
}

// opacity := opacity x factor. A fade above 100 % or a product above one
// would leave the range opacities have: the result is kept within 0 .. 1.
inline ASErr MultiplyOpacity(AIArtHandle art, AIReal factor) {
    AIReal opacity = 1.0f;
    const ASErr error = frame::BlendStyle()->GetOpacity(art, &opacity);
    if (error != kNoErr) return error;
    AIReal product = opacity * factor;
    if (!(product > 0.0f)) product = 0.0f; // also a non-finite product
    if (product > 1.0f) product = 1.0f;
    return frame::BlendStyle()->SetOpacity(art, product);
}

} // namespace brivane::engine

#endif
