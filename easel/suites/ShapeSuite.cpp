// AI Shape Construction: rectangles and ellipses above all art.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

using Maker = ASErr (Document::*)(float, float, float, float, bool, Art**);

ASErr make(Maker maker, AIReal top, AIReal left, AIReal bottom, AIReal right, ASBoolean reversed,
           AIArtHandle* newArt) {
    Document* doc = currentDocument();
    if (doc == nullptr || newArt == nullptr || !finite(top) || !finite(left) || !finite(bottom) ||
        !finite(right))
        return kBadParameterErr;
    Art* made = nullptr;
    if (ASErr e = (doc->*maker)(top, left, bottom, right, reversed != 0, &made)) return e;
    *newArt = handleOf(made);
    return kNoErr;
}

ASErr newRect(AIReal top, AIReal left, AIReal bottom, AIReal right, ASBoolean reversed, AIArtHandle* newArt) {
    return make(&Document::newRect, top, left, bottom, right, reversed, newArt);
}

ASErr newOval(AIReal top, AIReal left, AIReal bottom, AIReal right, ASBoolean reversed, AIArtHandle* newArt) {
    return make(&Document::newOval, top, left, bottom, right, reversed, newArt);
}

const AIShapeConstructionSuite kSuite = {newRect, newOval};

}  // namespace

const AIShapeConstructionSuite* suites::shapeConstructionSuite() { return &kSuite; }

}  // namespace easel
