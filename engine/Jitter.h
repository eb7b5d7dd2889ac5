// Small pieces the grid tools share: the random jitter of a copy and the
// factor that sizes an object to one grid step.
#ifndef ENGINE_JITTER_H
#define ENGINE_JITTER_H

#include "HostCalls.h"

namespace brivane::engine {

// A random displacement of at most amountH across and amountV up: a sign for
// the vertical part, a sign for the horizontal part, then the vertical and
// the horizontal magnitude (four host draws in that order).
inline AIRealPoint RandomJitter(AIReal amountH, AIReal amountV) {
    const AIReal signV = HostRandom() > 0.5f ? -1.0f : 1.0f;
    const AIReal signH = HostRandom() > 0.5f ? -1.0f : 1.0f;
    const AIReal v = HostRandom() * amountV * signV;
    const AIReal h = HostRandom() * amountH * signH;
    return {h, v};
}

// The scale that makes an extent of `size` as long as `step`. An object
// without extent on the axis, or a grid without a step there (a single row
// or column), keeps its size: 1.
inline AIReal StepFactor(AIReal step, AIReal size, bool hasStep) {
    if (!hasStep || size == 0.0f) return 1.0f;
    return step / size;
}

} // namespace brivane::engine

#endif
