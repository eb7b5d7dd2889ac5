// What the point-drag tool does to a path after its segments: random
// colours, swatches, stroke width and opacity, and the trail of copies.
#include "PointDrag.h"

namespace pointdrag {

using namespace frame;

namespace {

// A random colour of the same kind; kinds without components stay as they are.
void RandomiseColour(AIColor& colour) {
    switch (colour.kind) {
    case kFourColor:
        colour.c[0] = RandomNumber();
        colour.c[1] = RandomNumber();
        colour.c[2] = RandomNumber();
        colour.c[3] = colour.c[3] * RandomNumber();
        break;
    case kThreeColor:
        colour.c[0] = RandomNumber();
        colour.c[1] = RandomNumber();
        colour.c[2] = RandomNumber();
        break;
    case kGrayColor:
        colour.c[0] = RandomNumber();
        break;
    default:
        break;
    }
}

// The colour of a randomly picked swatch; false when the list has none to
// give (the path then keeps its colour).
bool RandomSwatchColour(ASInt32 swatchCount, AIColor& colour, ASErr* status) {
    const ASInt32 n = SwatchIndexFromRandom(RandomNumber(), swatchCount);
    if (n < 0) return false;
    AISwatchRef swatch = nullptr;
    *status = SwatchList()->GetNthSwatch(nullptr, n, &swatch);
    if (*status != kNoErr || swatch == nullptr) return false;
    *status = SwatchList()->GetAIColor(swatch, &colour);
    return *status == kNoErr;
}

// Reads the path's style, lets `change` edit it and writes it back when it
// says so. The statuses go to *status; they never stop the event.
template <typename Change>
void EditStyle(AIArtHandle path, ASErr* status, Change change) {
    AIPathStyle style{};
    *status = PathStyle()->GetPathStyle(path, &style);
    if (*status != kNoErr) return;
    if (!change(style)) return;
    *status = PathStyle()->SetPathStyle(path, &style);
}

} // namespace

void RestylePath(const KestovaGlobals& g, AIArtHandle path, ASInt32 swatchCount, ASErr* status) {
    if (g.pdFillR != 0) EditStyle(path, status, [](AIPathStyle& s) {
            RandomiseColour(s.fill.color);
            return true;
        });
    if (g.pdFillSwatchR != 0) EditStyle(path, status, [&](AIPathStyle& s) {
            if (!RandomSwatchColour(swatchCount, s.fill.color, status)) return false;
            s.fillPaint = 1;
            return true;
        });
    if (g.pdStrokeR != 0) EditStyle(path, status, [](AIPathStyle& s) {
            RandomiseColour(s.stroke.color);
            return true;
        });
    if (g.pdStrokeSwatchR != 0) EditStyle(path, status, [&](AIPathStyle& s) {
            if (!RandomSwatchColour(swatchCount, s.stroke.color, status)) return false;
            s.strokePaint = 1;
            return true;
        });
    if (g.pdWidthR != 0) EditStyle(path, status, [](AIPathStyle& s) {
            s.stroke.width = RandomNumber() * 10.0f;
            return true;
        });
    if (g.pdOpacityR != 0) *status = BlendStyle()->SetOpacity(path, RandomNumber());
}

ASErr LayTrail(const KestovaGlobals& g, AIArtHandle path) {
    if (g.pdTrailTrace == 0) return kNoErr;
    const ASInt16 order = g.pdTrailBeneath != 0 ? ASInt16{kPlaceBelowAll} : ASInt16{kPlaceAboveAll};
    AIArtHandle copy = nullptr;
    ASErr error = Art()->DuplicateArt(path, order, path, &copy);
    if (error != kNoErr) return error;
    error = Art()->ReorderArt(path, order, path);
    if (error != kNoErr) return error;
    if (g.pdTrailNewLayer != 0 && g.pdTrailBeneath == 0) {
        AILayerHandle layer = nullptr;
        error = Layer()->InsertLayer(nullptr, kPlaceAboveAll, &layer);
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

} // namespace pointdrag
