// AI Path Style, AI Blend Style and AI Art Style: fill and stroke, opacity
// and blending of art.
#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

// Art that is painted with a fill and a stroke of its own.
bool hasPathStyle(const Art* art) {
    switch (art->type()) {
        case kPathArt:
        case kCompoundPathArt:
        case kTextArt:
        case kTextPathArt:
            return true;
        default:
            return false;
    }
}

bool validColor(const AIColor& c) {
    if (c.kind < kGrayColor || c.kind > kNoneColor) return false;
    for (AIReal v : c.c)
        if (!finite(v)) return false;
    return true;
}

bool validStyle(const AIPathStyle& s) {
    const AIStrokeStyle& k = s.stroke;
    if (!validColor(s.fill.color) || !validColor(k.color)) return false;
    if (!finite(k.width) || k.width < 0 || !finite(k.miterLimit) || !finite(k.dashOffset)) return false;
    if (k.cap < kButtCap || k.cap > kProjectingCap || k.join < kMiterJoin || k.join > kBevelJoin) return false;
    if (k.dashCount < 0 || k.dashCount > kMaxDashComponents) return false;
    for (AIReal d : k.dash)
        if (!finite(d)) return false;
    return true;
}

ASErr getPathStyle(AIArtHandle art, AIPathStyle* style) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (style == nullptr || !hasPathStyle(r.art)) return kBadParameterErr;
    *style = r.art->style();
    return kNoErr;
}

ASErr setPathStyle(AIArtHandle art, const AIPathStyle* style) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (style == nullptr || !hasPathStyle(r.art) || !validStyle(*style)) return kBadParameterErr;
    return r.doc->setStyle(r.art, *style);
}

const AIPathStyleSuite kPathStyle = {getPathStyle, setPathStyle};

ASErr getOpacity(AIArtHandle art, AIReal* opacity) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (opacity == nullptr) return kBadParameterErr;
    *opacity = r.art->opacity();
    return kNoErr;
}

ASErr setOpacity(AIArtHandle art, AIReal opacity) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (!finite(opacity) || opacity < 0.0f || opacity > 1.0f) return kBadParameterErr;
    return r.doc->setOpacity(r.art, opacity);
}

ASErr getBlendingMode(AIArtHandle art, ASInt32* mode) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (mode == nullptr) return kBadParameterErr;
    *mode = r.art->blendMode();
    return kNoErr;
}

ASErr setBlendingMode(AIArtHandle art, ASInt32 mode) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (mode < kAINormalBlendingMode || mode > kAILuminosityBlendingMode) return kBadParameterErr;
    return r.doc->setBlendMode(r.art, mode);
}

const AIBlendStyleSuite kBlendStyle = {getOpacity, setOpacity, getBlendingMode, setBlendingMode};

// Beyond fill and stroke the model keeps transparency only: art has an art
// style of its own when it is not fully opaque or not blended normally.
ASErr hasArtStyle(AIArtHandle art, ASBoolean* has) {
    ArtRef r = resolveArt(art);
    if (r.err) return r.err;
    if (has == nullptr) return kBadParameterErr;
    *has = (r.art->opacity() != 1.0f || r.art->blendMode() != kAINormalBlendingMode) ? 1 : 0;
    return kNoErr;
}

const AIArtStyleSuite kArtStyle = {hasArtStyle};

}  // namespace

const AIPathStyleSuite* suites::pathStyleSuite() { return &kPathStyle; }
const AIBlendStyleSuite* suites::blendStyleSuite() { return &kBlendStyle; }
const AIArtStyleSuite* suites::artStyleSuite() { return &kArtStyle; }

}  // namespace easel
