// AI Transform Art: moving art by a matrix, scaling its line widths.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

constexpr ASInt32 kKnownFlags = kTransformObjects | kTransformFillGradients | kTransformFillPatterns |
                                kTransformStrokePatterns | kScaleLines;

ASErr transformArt(AIArtHandle art, const AIRealMatrix* matrix, AIReal lineScale, ASInt32 flags) {
    ArtRef r = passArt(art);  // Document::transformArt checks it
    if (r.err) return r.err;
    if (matrix == nullptr || !finite(*matrix) || !finite(lineScale) || (flags & ~kKnownFlags) != 0)
        return kBadParameterErr;
    return r.doc->transformArt(r.art, *matrix, lineScale, flags);
}

const AITransformArtSuite kSuite = {transformArt};

}  // namespace

const AITransformArtSuite* suites::transformArtSuite() { return &kSuite; }

}  // namespace easel
