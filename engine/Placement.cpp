#include "Placement.h"

#include "frame/Suites.h"

namespace brivane::engine {

using namespace frame;

namespace {

bool Even(ASInt32 x) { return x % 2 == 0; }
ASInt32 Mod3(ASInt32 x) { return ((x % 3) + 3) % 3; }

bool GridRule(ASInt32 mode, ASInt32 a, ASInt32 b, ASInt32 p) {
    const bool ae = Even(a), be = Even(b), pe = Even(p);
    const ASInt32 a3 = Mod3(a), b3 = Mod3(b);
    switch (mode) {
    case 2: return ae && be;
    case 3: return !ae && !be;
    case 5: return (ae && be && pe) || (!ae && !be && !pe);
    case 6: return (ae && be && !pe) || (!ae && be && pe);
    case 7: return ae && be && pe;
    case 8: return !ae && !be && pe;
    case 9: return ae && be && !pe;
    case 10: return !ae && !be && !pe;
    case 11: return (a3 == 0 && b3 == 0 && pe) || (a3 == 1 && b3 == 1 && !pe);
    case 12: return (a3 == 0 && b3 == 0 && !pe) || (a3 == 1 && b3 == 0 && pe);
    case 13: return a3 == 0 && b3 == 0 && pe;
    case 14: return a3 == 1 && b3 == 1 && pe;
    case 15: return a3 == 0 && b3 == 0 && !pe;
    case 16: return a3 == 1 && b3 == 1 && !pe;
    default: return false;
    }
}

bool RunRule(ASInt32 mode, ASInt32 a, ASInt32 p) {
    const bool ae = Even(a), pe = Even(p);
    const ASInt32 a3 = Mod3(a);
    switch (mode) {
    case 2: return ae;
    case 3: return !ae;
    case 5: return ae == pe;
    case 6: return ae != pe;
    case 7: return ae && pe;
    case 8: return !ae && pe;
    case 9: return ae && !pe;
    case 10: return !ae && !pe;
    case 11: return (a3 == 0 && pe) || (a3 == 1 && !pe);
    case 12: return (a3 == 0 && !pe) || (a3 == 1 && pe);
    case 13: return a3 == 0 && pe;
    case 14: return a3 == 1 && pe;
    case 15: return a3 == 0 && !pe;
    case 16: return a3 == 1 && !pe;
    default: return false;
    }
}

ASErr Centre(AIArtHandle art, AIRealPoint* centre) {
    AIRealRect r{};
    ASErr error = Art()->GetArtBounds(art, &r);
    if (error != kNoErr) return error;
    centre->h = r.left + (r.right - r.left) / 2.0f;
    centre->v = r.bottom + (r.top - r.bottom) / 2.0f;
    return kNoErr;
}

ASErr MovePiece(AIArtHandle piece, AIRealPoint c, AIReal tx, AIReal ty) {
    MatrixBuilder m(-c.h, -c.v);
    m.Translate(c.h, c.v).Translate(tx, ty);
    if (m.Error() != kNoErr) return m.Error();
    return TagAndTransform(piece, m.Matrix(), 1.0f, kTransformObjects);
}

ASErr MirrorPiece(AIArtHandle piece, AIReal sh, AIReal sv) {
    AIRealPoint c{};
    ASErr error = Centre(piece, &c);
    if (error != kNoErr) return error;
    MatrixBuilder m(-c.h, -c.v);
    m.Scale(sh, sv).Translate(c.h, c.v);
    if (m.Error() != kNoErr) return m.Error();
    return TagAndTransform(piece, m.Matrix(), 1.0f, kTransformObjects);
}

} // namespace

int PlaceBeneath(ASInt32 mode, ASInt32 a, ASInt32 b, ASInt32 p, IndexForm form, const RandomSource& random) {
    if (mode == 0) return 0;
    if (mode == 1) return 1;
    if (mode == 4) return 10.0f * random() > 5.0f ? 1 : 0;
    return (form == IndexForm::kGrid ? GridRule(mode, a, b, p) : RunRule(mode, a, p)) ? 1 : 0;
}

ASErr DuplicatePlaced(AIArtHandle source, int beneath, AIArtHandle* copy) {
    const ASInt16 order = beneath != 0 ? kPlaceBelowAll : kPlaceAboveAll;
    return Art()->DuplicateArt(source, order, source, copy);
}

ASErr PatternTile(AIArtHandle copy, int beneath, AIRealPoint r) {
    AIArtHandle d1 = nullptr, d2 = nullptr, d3 = nullptr;
    ASErr error = DuplicatePlaced(copy, beneath, &d1);
    AIRealPoint c{};
    if (error == kNoErr) error = Centre(d1, &c);
    const AIReal dh = 2.0f * (r.h - c.h);
    const AIReal dv = 2.0f * (r.v - c.v);
    if (error == kNoErr) error = MovePiece(d1, c, dh, 0.0f);
    if (error == kNoErr) error = DuplicatePlaced(copy, beneath, &d2);
    if (error == kNoErr) error = MovePiece(d2, c, dh, dv);
    if (error == kNoErr) error = DuplicatePlaced(copy, beneath, &d3);
    if (error == kNoErr) error = MovePiece(d3, c, 0.0f, dv);
    if (error == kNoErr) error = MirrorPiece(d1, -1.0f, 1.0f);
    if (error == kNoErr) error = MirrorPiece(d2, -1.0f, -1.0f);
    if (error == kNoErr) error = MirrorPiece(d3, 1.0f, -1.0f);
    return error;
}

} // namespace brivane::engine
