// Pieces the two scatter tools (Rim random, Background) share: the random
// scale factors of a copy, its random turn and scale about a pivot, and the
// loop that places the copies object by object or as one block.
#ifndef ENGINE_SCATTER_H
#define ENGINE_SCATTER_H

#include "engine/Engine.h"
#include "engine/HostCalls.h"
#include "engine/Runs.h"
#include "engine/Styling.h"

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

// One copy the scatter loop asks a tool to place.
struct ScatterCopy {
    ASInt32 k;
    int beneath;
    const AIRealMatrix* matrix;
    AIReal lineScale;
    AIRealPoint centre; // the centre the copy's pattern tile is taken about
};

// How many copies, in which order, and whether the selection is one block.
struct ScatterRun {
    ASInt32 copies;
    ASInt32 (*copyAt)(ASInt32 position, ASInt32 copies); // the copy made at each position
    bool wholeSelection;
};

// In selection mode the placement popup sees the block as object 0.
inline constexpr ASInt32 kScatterBlockIndex = 0;

// Places the copies of a scatter tool. matrixOf(k, pivot, &matrix,
// &lineScale) gives copy k's matrix about pivot; place(object, copy) makes
// the copy. Object by object: each object's copies about its own centre.
// Whole selection: copy by copy, one matrix about the selection centre for
// every piece, each piece's pattern about PieceCentre.
template <typename MatrixOf, typename Place>
ASErr ScatterCopies(const BrivaneGlobals& g, const ScatterRun& run, MatrixOf&& matrixOf, Place&& place) {
    if (!run.wholeSelection) {
        return ForEachObject(g, [&](AIArtHandle object, ASInt32 i) {
            AIRealPoint centre{};
            ASErr error = ArtCentre(object, &centre);
            if (error != kNoErr) return error;
            for (ASInt32 position = 0; position < run.copies; ++position) {
                const ASInt32 k = run.copyAt(position, run.copies);
                const int beneath = CopyBeneath(g, k, 0, i, IndexForm::kRun);
                AIRealMatrix matrix{};
                AIReal lineScale = 1.0f;
                error = matrixOf(k, centre, &matrix, &lineScale);
                if (error == kNoErr) error = place(object, ScatterCopy{k, beneath, &matrix, lineScale, centre});
                if (error != kNoErr) return error;
            }
            return kNoErr;
        });
    }
    for (ASInt32 position = 0; position < run.copies; ++position) {
        const ASInt32 k = run.copyAt(position, run.copies);
        const int beneath = CopyBeneath(g, k, 0, kScatterBlockIndex, IndexForm::kRun);
        AIRealMatrix matrix{};
        AIReal lineScale = 1.0f;
        ASErr error = matrixOf(k, g.selectionCentre, &matrix, &lineScale);
        if (error != kNoErr) return error;
        error = ForEachObject(g, [&](AIArtHandle object, ASInt32) {
            AIRealPoint centre{};
            const ASErr pieceError = PieceCentre(g, object, &centre);
            if (pieceError != kNoErr) return pieceError;
            return place(object, ScatterCopy{k, beneath, &matrix, lineScale, centre});
        });
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

} // namespace brivane::engine

#endif
