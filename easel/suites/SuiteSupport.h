// Internal helpers shared by the suite units: argument checks, float matrix
// arithmetic, and the way from a plug-in's handle to a live model object.
#pragma once

#include <cmath>
#include <string>

#include "model/Document.h"
#include "host/Host.h"
#include "core/HostState.h"

namespace easel {

inline bool finite(AIReal x) { return std::isfinite(x); }
inline bool finite(const AIRealPoint& p) { return std::isfinite(p.h) && std::isfinite(p.v); }
inline bool finite(const AIRealRect& r) {
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom);
}
inline bool finite(const AIRealMatrix& m) { return isFinite(m); }

// first then second: the result applies `first`, then `second`.
inline AIRealMatrix concatMatrices(const AIRealMatrix& first, const AIRealMatrix& second) {
    const AIRealMatrix& m = first;
    const AIRealMatrix& n = second;
    return AIRealMatrix{n.a * m.a + n.c * m.b,         n.b * m.a + n.d * m.b,
                        n.a * m.c + n.c * m.d,         n.b * m.c + n.d * m.d,
                        n.a * m.tx + n.c * m.ty + n.tx, n.b * m.tx + n.d * m.ty + n.ty};
}

inline AIRealPoint applyMatrix(const AIRealMatrix& m, const AIRealPoint& p) {
    return AIRealPoint{m.a * p.h + m.c * p.v + m.tx, m.b * p.h + m.d * p.v + m.ty};
}

// ---- from handles to live model objects ----
// Every art and layer handle a plug-in passes is checked against the current
// document before it is dereferenced: a null, dangling or foreign handle, or
// no document at all, gives kBadParameterErr.

inline Document* currentDocument() { return hostState().document; }

struct ArtRef {
    Document* doc = nullptr;
    Art* art = nullptr;
    ASErr err = kNoErr;
};

inline ArtRef resolveArt(AIArtHandle handle) {
    ArtRef r;
    r.doc = currentDocument();
    Art* art = Art::fromHandle(handle);
    if (r.doc == nullptr || art == nullptr || !r.doc->isLive(art)) {
        r.err = kBadParameterErr;
        return r;
    }
    r.art = art;
    return r;
}

// For a call that hands the art straight to the Document method that checks
// it is live (a grid's copies pass several such calls each): the current
// document and the handle as art, not yet checked, so not to be read here.
inline ArtRef passArt(AIArtHandle handle) {
    ArtRef r;
    r.doc = currentDocument();
    r.art = Art::fromHandle(handle);
    if (r.doc == nullptr || r.art == nullptr) r.err = kBadParameterErr;
    return r;
}

struct LayerRef {
    Document* doc = nullptr;
    Layer* layer = nullptr;
    ASErr err = kNoErr;
};

inline LayerRef resolveLayer(AILayerHandle handle) {
    LayerRef r;
    r.doc = currentDocument();
    Layer* layer = Layer::fromHandle(handle);
    if (r.doc == nullptr || layer == nullptr || !r.doc->isLiveLayer(layer)) {
        r.err = kBadParameterErr;
        return r;
    }
    r.layer = layer;
    return r;
}

inline AIArtHandle handleOf(Art* art) { return art ? art->handle() : nullptr; }
inline AILayerHandle handleOf(Layer* layer) { return layer ? layer->handle() : nullptr; }

// Copies text into a NUL-terminated buffer of max bytes, cutting it short
// when it does not fit.
inline ASErr copyText(const std::string& text, char* out, ASInt32 max) {
    if (out == nullptr || max <= 0) return kBadParameterErr;
    const size_t room = static_cast<size_t>(max) - 1;
    const size_t n = text.size() < room ? text.size() : room;
    text.copy(out, n);
    out[n] = '\0';
    return kNoErr;
}

}  // namespace easel
