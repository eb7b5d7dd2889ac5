// Bounds and transforms of art.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

#include "Document.h"
#include "Journal.h"
#include "core/Progress.h"
#include "Warp.h"

namespace easel {

namespace {

// Bound on every coordinate of a geometry mapped by m; infinite on overflow.
bool transformStaysFinite(const PathGeometry& g, const AIRealMatrix& m) {
    const double r = static_cast<double>(g.maxAbsCoordinate());
    const double h = (std::abs(static_cast<double>(m.a)) + std::abs(static_cast<double>(m.c))) * r +
                     std::abs(static_cast<double>(m.tx));
    const double v = (std::abs(static_cast<double>(m.b)) + std::abs(static_cast<double>(m.d))) * r +
                     std::abs(static_cast<double>(m.ty));
    return h < static_cast<double>(FLT_MAX) && v < static_cast<double>(FLT_MAX);
}

// Area text is measured by the box its lines wrap to: its extra's top-level
// "box": [width, height] (the readers check it; extras are kept as compact
// JSON, where a member's name inside a string value has its quotes escaped).
void areaTextBox(const Art& a, AIRealRect& box) {
    const std::string& extra = a.extra();
    const size_t at = extra.find("\"box\":[");
    if (at == std::string::npos) return;
    const char* p = extra.data() + at + 7;
    const char* end = extra.data() + extra.size();
    float w = 0, h = 0;
    auto r = std::from_chars(p, end, w);
    if (r.ec != std::errc() || r.ptr == end || *r.ptr != ',') return;
    r = std::from_chars(r.ptr + 1, end, h);
    if (r.ec != std::errc() || !(w > 0 && h >= 0) || !std::isfinite(w) || !std::isfinite(h)) return;
    box = AIRealRect{0, 0, w, -h};
}

}  // namespace

void Document::boundsRec(const Art* a, AIRealRect& r) const {
    if (a->hasPath()) {
        if (a->geom_ && !a->geom_->segments.empty()) {
            const AIRealRect b = a->hasPending_ ? bezierBounds(a->geom_->segments.data(), a->geom_->segments.size(),
                                                               a->closed_, &a->pending_)
                                                : a->geom_->bounds(a->closed_);
            r = unionRect(r, b);
        }
        return;
    }
    if (a->hasObjectMatrix()) {
        AIRealRect box = a->object().localBox();
        if (a->type_ == kTextArt) areaTextBox(*a, box);
        r = unionRect(r, transformedBox(box, a->objectMatrix()));
        return;
    }
    if (a->type_ == kEnvelopeArt && !isIdentityWarp(a->warp())) {
        // A warped envelope is measured by its warped contents. Contents whose
        // warp cannot be computed (setEnvelopeWarp refuses such warps) fall
        // back to their own bounds.
        AIRealRect w = kEmptyRect;
        if (warpedEnvelopeBounds(*a, w)) {
            r = unionRect(r, w);
            return;
        }
    }
    if (const Art* clip = clippingPath(*a)) return boundsRec(clip, r);
    for (const Art* c = a->children_.first; c; c = c->next_) boundsRec(c, r);
}

ASErr Document::bounds(const Art* art, AIRealRect* out) const {
    if (!isLive(art) || !out) return kBadParameterErr;
    AIRealRect r = kEmptyRect;
    boundsRec(art, r);
    *out = r;
    return kNoErr;
}

namespace {

// `pending`: the art's own pending matrix after m, when worked out already.
bool transformValid(const Art* a, const AIRealMatrix& m, float lineScale, int32_t flags,
                    const AIRealMatrix* pending = nullptr) {
    if (flags & kScaleLines) {
        if (!std::isfinite(a->style().stroke.width * lineScale)) return false;
    }
    if (flags & kTransformObjects) {
        if (a->hasPath() && a->sharedGeometry()) {
            const AIRealMatrix p = pending ? *pending : concatMatrix(a->pendingMatrix(), m);
            if (!isFinite(p) || !transformStaysFinite(*a->sharedGeometry(), p)) return false;
        }
        if (a->hasObjectMatrix() && !isFinite(concatMatrix(a->objectMatrix(), m))) return false;
        if (a->effectSpace() && !isFinite(concatMatrix(*a->effectSpace(), m))) return false;
    }
    for (const Art* c = a->firstChild(); c; c = c->next()) {
        if (!transformValid(c, m, lineScale, flags)) return false;
    }
    return true;
}

}  // namespace

void Document::restyle(Art* a, const AIRealMatrix& m, float lineScale, int32_t flags) {
    AIPathStyle s = *a->style_;
    if (flags & kScaleLines) s.stroke.width *= lineScale;
    if (flags & kTransformFillGradients) {
        // Fill and stroke gradients move with the art; the moved paint shares
        // the gradient.
        for (AIColor* c : {&s.fill.color, &s.stroke.color}) {
            const GradientPaint* p = c->kind == kGradientColor ? gradientPaint(c->ref) : nullptr;
            if (!p) continue;
            const AIRealMatrix moved = concatMatrix(p->matrix, m);
            const GradientPaint& last = gradientPaints_.back();
            if (last.gradient == p->gradient && std::memcmp(&last.matrix, &moved, sizeof moved) == 0) {
                c->ref = static_cast<int32_t>(gradientPaints_.size() - 1);
            } else if (const int32_t ref = addGradientPaint(p->gradient, moved); ref >= 0) {
                c->ref = ref;
            }
        }
    }
    putStyle(a, s);
}

ASErr Document::transformRec(Art* a, const AIRealMatrix& m, float lineScale, int32_t flags, const AIRealMatrix* pending) {
    journal_->recordState(a);
    // Most transforms of copies keep the style: a stroke scaled by 1 (x * 1
    // is x, bit for bit), no gradient to move.
    const AIPathStyle& now = *a->style_;
    if (((flags & kScaleLines) && lineScale != 1) ||
        ((flags & kTransformFillGradients) &&
         (now.fill.color.kind == kGradientColor || now.stroke.color.kind == kGradientColor)))
        restyle(a, m, lineScale, flags);
    if (flags & kTransformObjects) {
        if (a->hasPath() && a->geom_) {
            a->pending_ = pending ? *pending : concatMatrix(a->pending_, m);
            a->hasPending_ = !isIdentity(a->pending_);
        }
        if (a->hasObjectMatrix() || a->effectSpace()) {
            ArtExtras& e = a->editExtras();
            if (a->hasObjectMatrix()) e.objMatrix = concatMatrix(e.objMatrix, m);
            if (e.space) e.space = std::make_shared<const AIRealMatrix>(concatMatrix(*e.space, m));
        }
    }
    for (Art* c = a->children_.first; c; c = c->next_) transformRec(c, m, lineScale, flags);
    return kNoErr;
}

ASErr Document::transformArt(Art* art, const AIRealMatrix& m, float lineScale, int32_t flags) {
    if (!isLive(art) || !isFinite(m) || !std::isfinite(lineScale)) return kBadParameterErr;
    if (!(flags & (kTransformObjects | kScaleLines | kTransformFillGradients))) return kNoErr;
    // A path's new matrix is worked out once, for the check and to keep
    // (a grid transforms every copy it makes).
    AIRealMatrix pending;
    const bool ownMatrix = (flags & kTransformObjects) && art->hasPath() && art->geom_;
    if (ownMatrix) pending = concatMatrix(art->pending_, m);
    if (!transformValid(art, m, lineScale, flags, ownMatrix ? &pending : nullptr)) return kBadParameterErr;
    progress().tick(0);  // an event that edits rather than makes art is reported too
    return transformRec(art, m, lineScale, flags, ownMatrix ? &pending : nullptr);
}

}  // namespace easel
