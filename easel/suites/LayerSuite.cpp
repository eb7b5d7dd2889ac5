// AI Layer: the layers of the current document, counted from the top.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

ASErr insertLayer(AILayerHandle layer, ASInt16 paintOrder, AILayerHandle* newLayer) {
    Document* doc = currentDocument();
    if (doc == nullptr || newLayer == nullptr) return kBadParameterErr;
    Layer* ref = nullptr;
    switch (paintOrder) {
        case kPlaceAboveAll:
        case kPlaceBelowAll:
            break;  // the reference is not used
        case kPlaceAbove:
        case kPlaceBelow: {
            LayerRef r = resolveLayer(layer);
            if (r.err) return r.err;
            ref = r.layer;
            break;
        }
        default:
            return kBadParameterErr;
    }
    Layer* made = nullptr;
    if (ASErr e = doc->insertLayer(ref, paintOrder, &made)) return e;
    *newLayer = handleOf(made);
    return kNoErr;
}

ASErr countLayers(ASInt32* count) {
    Document* doc = currentDocument();
    if (doc == nullptr || count == nullptr) return kBadParameterErr;
    *count = static_cast<ASInt32>(doc->layerCount());
    return kNoErr;
}

ASErr getNthLayer(ASInt32 n, AILayerHandle* layer) {
    Document* doc = currentDocument();
    if (doc == nullptr || layer == nullptr || n < 0 || static_cast<size_t>(n) >= doc->layerCount())
        return kBadParameterErr;
    *layer = handleOf(doc->layerFromTop(static_cast<size_t>(n)));
    return kNoErr;
}

ASErr getCurrentLayer(AILayerHandle* layer) {
    Document* doc = currentDocument();
    if (doc == nullptr || layer == nullptr) return kBadParameterErr;
    Layer* current = doc->currentLayer();
    if (current == nullptr) return kBadParameterErr;
    *layer = handleOf(current);
    return kNoErr;
}

ASErr getLayerTitle(AILayerHandle layer, char* title, ASInt32 max) {
    LayerRef r = resolveLayer(layer);
    if (r.err) return r.err;
    return copyText(r.layer->name(), title, max);
}

ASErr setLayerTitle(AILayerHandle layer, const char* title) {
    LayerRef r = resolveLayer(layer);
    if (r.err) return r.err;
    if (title == nullptr) return kBadParameterErr;
    return r.doc->setLayerName(r.layer, title);
}

ASErr getLayerVisible(AILayerHandle layer, ASBoolean* visible) {
    LayerRef r = resolveLayer(layer);
    if (r.err) return r.err;
    if (visible == nullptr) return kBadParameterErr;
    *visible = r.layer->visible() ? 1 : 0;
    return kNoErr;
}

ASErr setLayerVisible(AILayerHandle layer, ASBoolean visible) {
    LayerRef r = resolveLayer(layer);
    if (r.err) return r.err;
    return r.doc->setLayerVisible(r.layer, visible != 0);
}

ASErr getLayerEditable(AILayerHandle layer, ASBoolean* editable) {
    LayerRef r = resolveLayer(layer);
    if (r.err) return r.err;
    if (editable == nullptr) return kBadParameterErr;
    *editable = r.layer->locked() ? 0 : 1;
    return kNoErr;
}

ASErr setLayerEditable(AILayerHandle layer, ASBoolean editable) {
    LayerRef r = resolveLayer(layer);
    if (r.err) return r.err;
    return r.doc->setLayerLocked(r.layer, editable == 0);
}

const AILayerSuite kSuite = {insertLayer,     countLayers,     getNthLayer,      getCurrentLayer,
                             getLayerTitle,   setLayerTitle,   getLayerVisible,  setLayerVisible,
                             getLayerEditable, setLayerEditable};

}  // namespace

const AILayerSuite* suites::layerSuite() { return &kSuite; }

}  // namespace easel
