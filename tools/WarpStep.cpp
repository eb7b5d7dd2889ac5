#include "Tools.h"

#include "frame/Suites.h"

namespace brivane::tools {

using namespace frame;
using engine::HostRandom;

namespace {

// A value in (-1, 1): a random sign, then a random magnitude.
AIReal SignedDraw() {
    const AIReal sign = HostRandom() > 0.5f ? -1.0f : 1.0f;
    return HostRandom() * sign;
}

} // namespace

ASErr WarpStep(AIArtHandle member) {
    AIArtHandle envelopeObject = nullptr;
    ASErr error = Art()->DuplicateArt(member, kPlaceAboveAll, member, &envelopeObject);
    if (error != kNoErr) return error;
    const AIEnvelopeOptions options{0, 50};
    AIArtHandle envelope = nullptr;
    error = Envelope()->MakeEnvelope(&member, 1, envelopeObject, &options, &envelope);
    if (error != kNoErr) return error;

    const ASInt32 style = static_cast<ASInt32>(HostRandom() * 18.0f);
    const AIReal bend = SignedDraw();
    const AIReal horizontal = SignedDraw();
    const AIReal vertical = SignedDraw();
    const ASBoolean rotate90 = HostRandom() > 0.5f ? 1 : 0;
    // Styles 0, 16 and 17 keep the host's default warp.
    if (style < 1 || style > 15) return kNoErr;
    return Envelope()->SetEnvelopeWarp(envelope, style, bend, horizontal, vertical, rotate90);
}

} // namespace brivane::tools
