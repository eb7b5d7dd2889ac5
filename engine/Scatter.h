// Pieces the two scatter tools (Rim random, Background) share: the random
// scale factors of a copy and its random turn and scale about a pivot.
#ifndef ENGINE_SCATTER_H
#define ENGINE_SCATTER_H

#include "HostCalls.h"
#include "Styling.h"

namespace brivane::engine {

// A random turn of at most this many radians (a little short of a full turn).
inline constexpr AIReal kScatterTurn = 6.283f;

// Horizontal and vertical scale of a copy, in percent.
struct ScaleFactors {
    AIReal h, v;
};

// Two draws, each times the maximum and raised to the minimum when below it:
// factors lie between the minimum and the maximum, and every draw that falls
// short of the minimum gives exactly the minimum. Locked: the second factor
// on both axes.
inline ScaleFactors RandomScaleFactors(AIReal minimum, AIReal maximum, bool locked) {
    AIReal a = HostRandom() * maximum;
    AIReal b = HostRandom() * maximum;
    if (a < minimum) a = minimum;
    if (b < minimum) b = minimum;
    if (locked) a = b;
    return {a, b};
}

// The matrix translate(-pivot), then a random turn when `turn` (one draw),
// then the scale by the factors when `apply`, then translate(+pivot). The
// line factor follows lineWidthMode for the applied scale, 1 without it.
struct TurnAndScaleInput {
    AIRealPoint pivot;
    bool turn;
    bool apply;
    ScaleFactors factors;
    ASInt32 lineWidthMode;
    bool evenIndex;
};
inline MatrixBuilder TurnAndScale(const TurnAndScaleInput& in, AIReal* lineScale, ASErr* error) {
    MatrixBuilder m(-in.pivot.h, -in.pivot.v);
    if (in.turn) m.Rotate(HostRandom() * kScatterTurn);
    *lineScale = 1.0f;
    *error = kNoErr;
    if (in.apply) {
        const AIReal sh = in.factors.h * 0.01f;
        const AIReal sv = in.factors.v * 0.01f;
        m.Scale(sh, sv);
        *error = LineScale(in.lineWidthMode, sh, sv, in.evenIndex, lineScale);
    }
    m.Translate(in.pivot.h, in.pivot.v);
    if (*error == kNoErr) *error = m.Error();
    return m;
}

} // namespace brivane::engine

#endif
