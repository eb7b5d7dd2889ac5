// AI Real Math: 32-bit float maths. Matrices act on points as
// h' = a h + c v + tx, v' = b h + d v + ty; every concat appends its step
// after the steps already in the matrix, so steps take effect in the order
// they were added. Positive angles turn counter-clockwise (vertical axis up).
// Sines, cosines, angles and lengths come from PortableMath, so a script gives
// the same document bits with every C library.
#include <cmath>

#include "PortableMath.h"

#include "SuiteSupport.h"
#include "SuiteTables.h"

namespace easel {
namespace {

constexpr AIReal kPi = 3.14159265358979f;

// Writes r into *out unless it is non-finite (inputs too large to compute).
ASErr put(AIReal r, AIReal* out) {
    if (!std::isfinite(r)) return kBadParameterErr;
    *out = r;
    return kNoErr;
}

ASErr realSin(AIReal a, AIReal* result) {
    if (result == nullptr || !finite(a)) return kBadParameterErr;
    return put(portable::sin(a), result);
}

ASErr realCos(AIReal a, AIReal* result) {
    if (result == nullptr || !finite(a)) return kBadParameterErr;
    return put(portable::cos(a), result);
}

ASErr degreesToRadians(AIReal degrees, AIReal* result) {
    if (result == nullptr || !finite(degrees)) return kBadParameterErr;
    return put(degrees * kPi / 180.0f, result);
}

ASErr radiansToDegrees(AIReal radians, AIReal* result) {
    if (result == nullptr || !finite(radians)) return kBadParameterErr;
    return put(radians * 180.0f / kPi, result);
}

ASErr realSqrt(AIReal a, AIReal* result) {
    if (result == nullptr || !finite(a) || a < 0.0f) return kBadParameterErr;
    return put(std::sqrt(a), result);
}

ASErr pointAngle(const AIRealPoint* p, const AIRealPoint* q, AIReal* result) {
    if (p == nullptr || q == nullptr || result == nullptr || !finite(*p) || !finite(*q))
        return kBadParameterErr;
    return put(portable::atan2(q->v - p->v, q->h - p->h), result);
}

ASErr pointInterpolate(const AIRealPoint* p, const AIRealPoint* q, AIReal t, AIRealPoint* result) {
    if (p == nullptr || q == nullptr || result == nullptr || !finite(*p) || !finite(*q) || !finite(t))
        return kBadParameterErr;
    AIRealPoint r{q->h + (p->h - q->h) * t, q->v + (p->v - q->v) * t};
    if (!finite(r)) return kBadParameterErr;
    *result = r;
    return kNoErr;
}

ASErr pointLength(const AIRealPoint* p, const AIRealPoint* q, AIReal* result) {
    if (p == nullptr || q == nullptr || result == nullptr || !finite(*p) || !finite(*q))
        return kBadParameterErr;
    return put(portable::hypot(q->h - p->h, q->v - p->v), result);
}

ASErr setIdentity(AIRealMatrix* m) {
    if (m == nullptr) return kBadParameterErr;
    *m = AIRealMatrix{1, 0, 0, 1, 0, 0};
    return kNoErr;
}

ASErr setTranslate(AIRealMatrix* m, AIReal tx, AIReal ty) {
    if (m == nullptr || !finite(tx) || !finite(ty)) return kBadParameterErr;
    *m = AIRealMatrix{1, 0, 0, 1, tx, ty};
    return kNoErr;
}

// m := m then n. A result that overflows leaves m untouched.
ASErr append(AIRealMatrix* m, const AIRealMatrix& n) {
    AIRealMatrix r = concatMatrices(*m, n);
    if (!finite(r)) return kBadParameterErr;
    *m = r;
    return kNoErr;
}

ASErr concatTranslate(AIRealMatrix* m, AIReal tx, AIReal ty) {
    if (m == nullptr || !finite(*m) || !finite(tx) || !finite(ty)) return kBadParameterErr;
    return append(m, AIRealMatrix{1, 0, 0, 1, tx, ty});
}

ASErr concatScale(AIRealMatrix* m, AIReal sh, AIReal sv) {
    if (m == nullptr || !finite(*m) || !finite(sh) || !finite(sv)) return kBadParameterErr;
    return append(m, AIRealMatrix{sh, 0, 0, sv, 0, 0});
}

ASErr concatRotate(AIRealMatrix* m, AIReal angle) {
    if (m == nullptr || !finite(*m) || !finite(angle)) return kBadParameterErr;
    const AIReal c = portable::cos(angle), s = portable::sin(angle);
    return append(m, AIRealMatrix{c, s, -s, c, 0, 0});
}

ASErr concat(const AIRealMatrix* m1, const AIRealMatrix* m2, AIRealMatrix* result) {
    if (m1 == nullptr || m2 == nullptr || result == nullptr || !finite(*m1) || !finite(*m2))
        return kBadParameterErr;
    AIRealMatrix r = concatMatrices(*m1, *m2);
    if (!finite(r)) return kBadParameterErr;
    *result = r;
    return kNoErr;
}

ASErr xformPoint(const AIRealMatrix* m, const AIRealPoint* p, AIRealPoint* result) {
    if (m == nullptr || p == nullptr || result == nullptr || !finite(*m) || !finite(*p))
        return kBadParameterErr;
    AIRealPoint r = applyMatrix(*m, *p);
    if (!finite(r)) return kBadParameterErr;
    *result = r;
    return kNoErr;
}

ASErr invert(const AIRealMatrix* m, AIRealMatrix* result) {
    if (m == nullptr || result == nullptr || !finite(*m)) return kBadParameterErr;
    const AIReal det = m->a * m->d - m->b * m->c;
    if (det == 0.0f || !std::isfinite(det)) return kBadParameterErr;
    AIRealMatrix r;
    r.a = m->d / det;
    r.b = -m->b / det;
    r.c = -m->c / det;
    r.d = m->a / det;
    r.tx = -(r.a * m->tx + r.c * m->ty);
    r.ty = -(r.b * m->tx + r.d * m->ty);
    if (!finite(r)) return kBadParameterErr;
    *result = r;
    return kNoErr;
}

const AIRealMathSuite kSuite = {
    realSin, realCos, degreesToRadians, radiansToDegrees, realSqrt, pointAngle, pointInterpolate,
    pointLength, setIdentity, setTranslate, concatTranslate, concatScale, concatRotate, concat,
    xformPoint, invert};

}  // namespace

const AIRealMathSuite* suites::realMathSuite() { return &kSuite; }

}  // namespace easel
