// AI Art: creating, copying, restacking and walking art of the current
// document.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

bool validOrder(ASInt16 order) { return order >= kPlaceAbove && order <= kPlaceBelowAll; }

// The reference art of a paint order: ignored for 5 and 6; for 1 to 4 either
// null (the current layer) or live art.
ASErr resolvePrep(Document* doc, ASInt16 order, AIArtHandle prep, Art** out) {
    *out = nullptr;
    if (order == kPlaceAboveAll || order == kPlaceBelowAll || prep == nullptr) return kNoErr;
    Art* art = Art::fromHandle(prep);
    if (!doc->isLive(art)) return kBadParameterErr;
    *out = art;
    return kNoErr;
}

ASErr newArt(ASInt16 type, ASInt16 paintOrder, AIArtHandle prep, AIArtHandle* newArt) {
    Document* doc = currentDocument();
    if (doc == nullptr || newArt == nullptr || !validOrder(paintOrder)) return kBadParameterErr;
    if (type != kGroupArt && type != kPathArt && type != kCompoundPathArt) return kBadParameterErr;
    Art* ref = nullptr;
    if (ASErr e = resolvePrep(doc, paintOrder, prep, &ref)) return e;
    Art* made = nullptr;
    if (ASErr e = doc->newArt(type, paintOrder, ref, &made)) return e;
    *newArt = handleOf(made);
    return kNoErr;
}

ASErr disposeArt(AIArtHandle art) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    return r.doc->disposeArt(r.art);
}

ASErr reorderArt(AIArtHandle art, ASInt16 paintOrder, AIArtHandle prep) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (!validOrder(paintOrder)) return kBadParameterErr;
    Art* ref = nullptr;
    if (ASErr e = resolvePrep(r.doc, paintOrder, prep, &ref)) return e;
    return r.doc->reorderArt(r.art, paintOrder, ref);
}

ASErr duplicateArt(AIArtHandle art, ASInt16 paintOrder, AIArtHandle prep, AIArtHandle* newArt) {
    ArtRef r = passArt(art);  // Document::duplicateArt checks it
    if (r.err) return r.err;
    if (newArt == nullptr || !validOrder(paintOrder)) return kBadParameterErr;
    Art* ref = nullptr;
    if (ASErr e = resolvePrep(r.doc, paintOrder, prep, &ref)) return e;
    Art* copy = nullptr;
    if (ASErr e = r.doc->duplicateArt(r.art, paintOrder, ref, &copy)) return e;
    *newArt = handleOf(copy);
    return kNoErr;
}

ASErr getArtType(AIArtHandle art, ASInt16* type) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (type == nullptr) return kBadParameterErr;
    *type = r.art->type();
    return kNoErr;
}

ASErr getArtBounds(AIArtHandle art, AIRealRect* bounds) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (bounds == nullptr) return kBadParameterErr;
    AIRealRect b{};
    if (ASErr e = r.doc->bounds(r.art, &b)) return e;
    // Art with nothing in it (an empty group) has no extent: a zero rectangle
    // rather than infinities a caller would turn into NaN.
    if (isEmptyRect(b)) b = AIRealRect{0, 0, 0, 0};
    if (!finite(b)) return kBadParameterErr;
    *bounds = b;
    return kNoErr;
}

// The four tree walks share one shape: live art in, neighbour (or NULL) out.
template <Art* (Art::*Step)() const>
ASErr walk(AIArtHandle art, AIArtHandle* out) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (out == nullptr) return kBadParameterErr;
    *out = handleOf((r.art->*Step)());
    return kNoErr;
}

ASErr getArtFirstChild(AIArtHandle art, AIArtHandle* child) { return walk<&Art::firstChild>(art, child); }
ASErr getArtLastChild(AIArtHandle art, AIArtHandle* child) { return walk<&Art::lastChild>(art, child); }
ASErr getArtSibling(AIArtHandle art, AIArtHandle* sibling) { return walk<&Art::next>(art, sibling); }
ASErr getArtPriorSibling(AIArtHandle art, AIArtHandle* sibling) { return walk<&Art::prior>(art, sibling); }
ASErr getArtParent(AIArtHandle art, AIArtHandle* parent) { return walk<&Art::parent>(art, parent); }

ASErr getLayerOfArt(AIArtHandle art, AILayerHandle* layer) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (layer == nullptr) return kBadParameterErr;
    Layer* l = r.art->layer();
    if (l == nullptr) return kBadParameterErr;
    *layer = handleOf(l);
    return kNoErr;
}

ASErr getFirstArtOfLayer(AILayerHandle layer, AIArtHandle* art) {
    LayerRef r = resolveLayer(layer);
    if (r.err) return r.err;
    if (art == nullptr) return kBadParameterErr;
    *art = handleOf(r.layer->firstArt());
    return kNoErr;
}

constexpr ASInt32 kKnownAttributes = kArtSelected | kArtLocked | kArtHidden;

ASErr getArtUserAttr(AIArtHandle art, ASInt32 whichAttr, ASInt32* attr) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (attr == nullptr) return kBadParameterErr;
    *attr = r.doc->userAttributes(r.art) & whichAttr & kKnownAttributes;
    return kNoErr;
}

ASErr setArtUserAttr(AIArtHandle art, ASInt32 whichAttr, ASInt32 attr) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if ((whichAttr & ~kKnownAttributes) != 0) return kBadParameterErr;
    if (whichAttr & kArtSelected)
        if (ASErr e = r.doc->setSelected(r.art, (attr & kArtSelected) != 0)) return e;
    if (whichAttr & kArtLocked)
        if (ASErr e = r.doc->setLocked(r.art, (attr & kArtLocked) != 0)) return e;
    if (whichAttr & kArtHidden)
        if (ASErr e = r.doc->setHidden(r.art, (attr & kArtHidden) != 0)) return e;
    return kNoErr;
}

ASErr validArt(AIArtHandle art, ASBoolean* valid) {
    if (valid == nullptr) return kBadParameterErr;
    Document* doc = currentDocument();
    *valid = (doc != nullptr && art != nullptr && doc->isLive(Art::fromHandle(art))) ? 1 : 0;
    return kNoErr;
}

const AIArtSuite kSuite = {newArt,         disposeArt,        reorderArt,          duplicateArt,
                           getArtType,     getArtBounds,      getArtFirstChild,    getArtLastChild,
                           getArtSibling,  getArtPriorSibling, getArtParent,       getLayerOfArt,
                           getFirstArtOfLayer, getArtUserAttr, setArtUserAttr,     validArt};

}  // namespace

const AIArtSuite* suites::artSuite() { return &kSuite; }

}  // namespace easel
