// Small helpers over the host suites that every part of the engine uses: the
// random source, matrices built step by step, tagging and transforming.
#ifndef ENGINE_HOSTCALLS_H
#define ENGINE_HOSTCALLS_H

#include "host/Host.h"

namespace brivane::engine {

// Transform flags for copies: objects, fill gradients and line scaling.
inline constexpr ASInt32 kCopyTransformFlags = kTransformObjects | kTransformFillGradients | kScaleLines;

// A source of reals in [0, 1). The engine's own draws come from the host's
// random suite; tests hand in sequences of their own.
struct RandomSource {
    AIReal (*next)(void* context);
    void* context;
    AIReal operator()() const { return next(context); }
};

// The host's FloatRnd (0 when the call fails).
AIReal HostRandom();
RandomSource HostRandomSource();

// A matrix built with the host's real maths: a set-translate starts it and
// every later step takes effect after the ones before. The first failing
// call is kept in error; later steps are then skipped.
class MatrixBuilder {
public:
    MatrixBuilder(AIReal tx, AIReal ty);
    MatrixBuilder& Translate(AIReal tx, AIReal ty);
    MatrixBuilder& Rotate(AIReal radians);
    MatrixBuilder& Scale(AIReal sh, AIReal sv);
    const AIRealMatrix& Matrix() const { return matrix_; }
    ASErr Error() const { return error_; }

private:
    AIRealMatrix matrix_{};
    ASErr error_ = kNoErr;
};

// Attaches the "brivane" string tag; the result is not looked at.
void TagCopy(AIArtHandle art);

// Tags and transforms art, or each child of it when it is a compound path.
ASErr TagAndTransform(AIArtHandle art, const AIRealMatrix& matrix, AIReal lineScale, ASInt32 flags);

} // namespace brivane::engine

#endif
