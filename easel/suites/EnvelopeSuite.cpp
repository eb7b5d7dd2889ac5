// AI Envelope: wrapping art in an envelope and setting its warp.
#include <vector>

#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

constexpr ASInt32 kMaxWarpStyle = 15;

bool unitRange(AIReal v) { return finite(v) && v >= -1.0f && v <= 1.0f; }

ArtRef resolveEnvelope(AIArtHandle envelope) {
    ArtRef r = resolveArt(envelope);
    if (r.err == kNoErr && r.art->type() != kEnvelopeArt) r.err = kBadParameterErr;
    return r;
}

ASErr makeEnvelope(AIArtHandle* art, ASInt32 count, AIArtHandle envelopeObject,
                   const AIEnvelopeOptions* options, AIArtHandle* envelope) {
    Document* doc = currentDocument();
    if (doc == nullptr || art == nullptr || count <= 0 || envelope == nullptr) return kBadParameterErr;
    if (options != nullptr && (options->fidelity < 0 || options->fidelity > 100)) return kBadParameterErr;
    std::vector<Art*> contents(static_cast<size_t>(count));
    for (size_t i = 0; i < contents.size(); ++i) {
        ArtRef r = resolveArt(art[i]);
        if (r.err) return r.err;
        contents[i] = r.art;
    }
    Art* object = nullptr;
    if (envelopeObject != nullptr) {
        ArtRef r = resolveArt(envelopeObject);
        if (r.err) return r.err;
        object = r.art;
        for (Art* a : contents)
            if (a == object) return kBadParameterErr;  // it would consume its own contents
    }
    Art* made = nullptr;
    if (ASErr e = doc->makeEnvelope(contents.data(), contents.size(), object, &made)) return e;
    *envelope = handleOf(made);
    return kNoErr;
}

ASErr setEnvelopeWarp(AIArtHandle envelope, ASInt32 style, AIReal bend, AIReal horizontalDistortion,
                      AIReal verticalDistortion, ASBoolean rotate90) {
    ArtRef r = resolveEnvelope(envelope);
    if (r.err) return r.err;
    if (style < 0 || style > kMaxWarpStyle || !unitRange(bend) || !unitRange(horizontalDistortion) ||
        !unitRange(verticalDistortion))
        return kBadParameterErr;
    EnvelopeWarp warp;
    warp.style = style;
    warp.bend = bend;
    warp.horizontal = horizontalDistortion;
    warp.vertical = verticalDistortion;
    warp.rotate90 = rotate90 != 0;
    return r.doc->setEnvelopeWarp(r.art, warp);
}

ASErr getEnvelopeWarp(AIArtHandle envelope, ASInt32* style, AIReal* bend, AIReal* horizontalDistortion,
                      AIReal* verticalDistortion, ASBoolean* rotate90) {
    ArtRef r = resolveEnvelope(envelope);
    if (r.err) return r.err;
    if (style == nullptr || bend == nullptr || horizontalDistortion == nullptr ||
        verticalDistortion == nullptr || rotate90 == nullptr)
        return kBadParameterErr;
    const EnvelopeWarp& w = r.art->warp();
    *style = w.style;
    *bend = w.bend;
    *horizontalDistortion = w.horizontal;
    *verticalDistortion = w.vertical;
    *rotate90 = w.rotate90 ? 1 : 0;
    return kNoErr;
}

ASErr releaseEnvelope(AIArtHandle envelope) {
    ArtRef r = resolveEnvelope(envelope);
    if (r.err) return r.err;
    return r.doc->releaseEnvelope(r.art);
}

const AIEnvelopeSuite kSuite = {makeEnvelope, setEnvelopeWarp, getEnvelopeWarp, releaseEnvelope};

}  // namespace

const AIEnvelopeSuite* suites::envelopeSuite() { return &kSuite; }

}  // namespace easel
