// Envelopes: art warped by a mesh, made from art, changed and released.
#include "Document.h"
#include "Journal.h"
#include "Warp.h"

namespace easel {

// ---- envelopes ----

ASErr Document::makeEnvelope(Art* const* art, size_t count, Art* envelopeObject, Art** out) {
    if (!art || count == 0) return kBadParameterErr;
    for (size_t i = 0; i < count; ++i) {
        if (!isLive(art[i]) || art[i] == envelopeObject) return kBadParameterErr;
        if (!art[i]->layer()->editable()) return kLockedLayerErr;
        for (size_t j = 0; j < count; ++j) {
            if (i == j) continue;
            if (art[i] == art[j]) return kBadParameterErr;
            for (const Art* p = art[j]->parent_; p; p = p->parent_) {
                if (p == art[i]) return kBadParameterErr;  // one contains another
            }
        }
    }
    if (envelopeObject && !isLive(envelopeObject)) return kBadParameterErr;
    // Contents in document order; the envelope takes the top-most one's place.
    std::vector<Art*> contents(art, art + count);
    if (count > 1) {
        std::unordered_map<const Art*, size_t> order;
        size_t n = 0;
        forEachArt([&](Art* a) { order[a] = n++; });
        std::sort(contents.begin(), contents.end(), [&](Art* x, Art* y) { return order[x] < order[y]; });
    }
    Art* top = contents.back();
    if (ASErr e = reserveArt(1)) return e;
    Art* env = allocArt(kEnvelopeArt);
    moveRecorded(env, top->layer_, top->parent_, top);
    for (Art* a : contents) moveRecorded(a, nullptr, env, env->children_.last);
    if (envelopeObject && isLive(envelopeObject)) {
        if (ASErr e = disposeArt(envelopeObject)) return e;
    }
    if (out) *out = env;
    return kNoErr;
}

ASErr Document::setEnvelopeWarp(Art* envelope, const EnvelopeWarp& warp) {
    if (!isLive(envelope) || envelope->type_ != kEnvelopeArt) return kBadParameterErr;
    if (warp.style < 0 || warp.style > 15 || !std::isfinite(warp.bend) || !std::isfinite(warp.horizontal) ||
        !std::isfinite(warp.vertical))
        return kBadParameterErr;
    // The warped geometry of the outermost envelope around this one (its box
    // depends on this warp) must be finite; otherwise the warp is refused.
    Art* outer = envelope;
    for (Art* p = envelope->parent_; p; p = p->parent_) {
        if (p->type_ == kEnvelopeArt) outer = p;
    }
    const std::shared_ptr<const ArtExtras> before = envelope->extras_;
    envelope->editExtras().warp = warp;
    WarpedGeometry geometry;
    const bool finite = geometry.finite(*outer);
    envelope->extras_ = before;
    if (!finite) return kBadParameterErr;
    journal_->recordState(envelope);
    envelope->editExtras().warp = warp;
    return kNoErr;
}

ASErr Document::releaseEnvelope(Art* envelope) {
    if (!isLive(envelope) || envelope->type_ != kEnvelopeArt) return kBadParameterErr;
    if (!envelope->layer()->editable()) return kLockedLayerErr;
    Art* after = envelope->prior_;
    while (Art* c = envelope->children_.first) {
        moveRecorded(c, envelope->layer_, envelope->parent_, after);
        after = c;
    }
    return disposeArt(envelope);
}

}  // namespace easel
