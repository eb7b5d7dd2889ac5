// The copy pipeline's shared steps: styling and transforming a copy, its
// opacity and blend, and the pattern tile.
#include "Engine.h"

#include "frame/Suites.h"

namespace brivane::engine {

using namespace frame;

namespace {

struct ArtStepInput {
    const BrivaneGlobals* g;
    const DragEvent* event;
    const AIRealMatrix* matrix;
    AIReal lineScale;
    CopyIndex index;
    Tagging tagging;
};

void Restyle(AIArtHandle art, const ArtStepInput& in) {
    const BrivaneGlobals& g = *in.g;
    ApplyFillRule(art, {g.fillMode, in.event->swatchCount, g.fillSwatch, in.index.index, in.index.fillPeriod});
    ApplyStrokeRule(art, {g.strokeMode, in.event->swatchCount, g.strokeSwatch, in.index.index, in.index.strokePeriod});
    if (g.randomWidth != 0) RandomiseWidth(art);
}

ASErr ArtSteps(AIArtHandle art, const ArtStepInput& in, StyleOrder order) {
    if (order == StyleOrder::kStyleFirst) Restyle(art, in);
    if (in.tagging == Tagging::kTag) TagCopy(art);
    const ASErr error = TransformArt()->TransformArt(art, in.matrix, in.lineScale, kCopyTransformFlags);
    if (error != kNoErr) return error;
    if (order == StyleOrder::kTransformFirst) Restyle(art, in);
    return kNoErr;
}

} // namespace

int CopyBeneath(const BrivaneGlobals& g, ASInt32 a, ASInt32 b, ASInt32 objectIndex, IndexForm form) {
    if (g.placement == 0) return 0;
    return PlaceBeneath(g.placement, a, b, objectIndex, form, HostRandomSource());
}

ASErr StyleAndTransform(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy,
                        const AIRealMatrix& matrix, AIReal lineScale, const CopyIndex& index, StyleOrder order,
                        Tagging tagging) {
    const ArtStepInput in{&g, &event, &matrix, lineScale, index, tagging};
    ASInt16 type = kUnknownArt;
    ASErr error = Art()->GetArtType(copy, &type);
    if (error != kNoErr) return error;
    if (type != kCompoundPathArt) return ArtSteps(copy, in, order);

    // A compound path is handled member by member; it carries no tag itself.
    AIArtHandle child = nullptr;
    error = Art()->GetArtFirstChild(copy, &child);
    while (error == kNoErr && child != nullptr) {
        error = ArtSteps(child, in, order);
        if (error == kNoErr) error = Art()->GetArtSibling(child, &child);
    }
    return error;
}

ASErr FinishCopy(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy, int beneath,
                 AIRealPoint originalCentre) {
    const ASErr code = ApplyOpacityAndBlend(
        copy, {g.randomOpacity != 0, g.usePressure != 0, g.randomBlend != 0, event.pressureFactor});
    return PatternStep(g, event, copy, beneath, originalCentre, code);
}

ASErr PatternStep(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy, int beneath,
                  AIRealPoint originalCentre, ASErr code) {
    AIRealPoint reference{};
    switch (g.patternCentre) {
    case kPatternDocumentCentre: reference = event.documentCentre; break;
    case kPatternEndPoint: reference = g.dragCurrent; break;
    case kPatternStartPoint: reference = g.dragStart; break;
    case kPatternOriginalPath: reference = originalCentre; break;
    default: return code;
    }
    return PatternTile(copy, beneath, reference);
}

} // namespace brivane::engine
