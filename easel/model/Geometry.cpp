#include "Geometry.h"

#include <algorithm>

namespace easel {

bool isFinite(const AIRealPoint& p) { return std::isfinite(p.h) && std::isfinite(p.v); }

bool isFinite(const AIPathSegment& s) { return isFinite(s.p) && isFinite(s.in) && isFinite(s.out); }

bool isIdentity(const AIRealMatrix& m) {
    return m.a == 1.0f && m.b == 0.0f && m.c == 0.0f && m.d == 1.0f && m.tx == 0.0f && m.ty == 0.0f;
}

namespace {

double D(float x) { return static_cast<double>(x); }
float F(double x) { return static_cast<float>(x); }

}  // namespace

AIRealMatrix concatMatrix(const AIRealMatrix& f, const AIRealMatrix& t) {
    // Row-vector convention: p' = p * f * t, with h' = a h + c v + tx.
    const double a = D(f.a) * D(t.a) + D(f.b) * D(t.c);
    const double b = D(f.a) * D(t.b) + D(f.b) * D(t.d);
    const double c = D(f.c) * D(t.a) + D(f.d) * D(t.c);
    const double d = D(f.c) * D(t.b) + D(f.d) * D(t.d);
    const double tx = D(f.tx) * D(t.a) + D(f.ty) * D(t.c) + D(t.tx);
    const double ty = D(f.tx) * D(t.b) + D(f.ty) * D(t.d) + D(t.ty);
    return AIRealMatrix{F(a), F(b), F(c), F(d), F(tx), F(ty)};
}

namespace {

struct DPoint {
    double h, v;
};

DPoint applyD(const AIRealMatrix& m, const AIRealPoint& p) {
    return DPoint{D(m.a) * D(p.h) + D(m.c) * D(p.v) + D(m.tx), D(m.b) * D(p.h) + D(m.d) * D(p.v) + D(m.ty)};
}

DPoint maybeApply(const AIRealMatrix* m, const AIRealPoint& p) {
    return m ? applyD(*m, p) : DPoint{D(p.h), D(p.v)};
}

void include(double& lo, double& hi, double x) {
    lo = std::min(lo, x);
    hi = std::max(hi, x);
}

// Extrema of one coordinate of a cubic Bezier over t in (0, 1).
void cubicExtrema(double p0, double p1, double p2, double p3, double& lo, double& hi) {
    include(lo, hi, p0);
    include(lo, hi, p3);
    // The curve lies inside the hull of its control values: nothing to find
    // when the direction values lie within the current range.
    if (p1 >= lo && p1 <= hi && p2 >= lo && p2 <= hi) return;
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    auto at = [&](double t) {
        const double u = 1 - t;
        return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
    };
    auto consider = [&](double t) {
        if (t > 0 && t < 1) include(lo, hi, at(t));
    };
    const double scale = std::max({std::abs(a), std::abs(b), std::abs(c)});
    if (scale == 0) return;
    if (std::abs(a) <= 1e-12 * scale) {
        if (b != 0) consider(-c / b);
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) return;
    const double sq = std::sqrt(disc);
    consider((-b + sq) / (2 * a));
    consider((-b - sq) / (2 * a));
}

}  // namespace

AIRealPoint transformPoint(const AIRealMatrix& m, const AIRealPoint& p) {
    const DPoint d = applyD(m, p);
    return AIRealPoint{F(d.h), F(d.v)};
}

AIPathSegment transformSegment(const AIRealMatrix& m, const AIPathSegment& s) {
    return AIPathSegment{transformPoint(m, s.p), transformPoint(m, s.in), transformPoint(m, s.out), s.corner};
}

AIRealRect unionRect(const AIRealRect& a, const AIRealRect& b) {
    if (isEmptyRect(a)) return b;
    if (isEmptyRect(b)) return a;
    return AIRealRect{std::min(a.left, b.left), std::max(a.top, b.top), std::max(a.right, b.right),
                      std::min(a.bottom, b.bottom)};
}

AIRealRect pointRect(const AIRealPoint& p) { return AIRealRect{p.h, p.v, p.h, p.v}; }

void includePoint(AIRealRect& r, const AIRealPoint& p) { r = unionRect(r, pointRect(p)); }

AIRealRect bezierBounds(const AIPathSegment* segs, size_t count, bool closed, const AIRealMatrix* m) {
    if (count == 0 || segs == nullptr) return kEmptyRect;
    const DPoint first = maybeApply(m, segs[0].p);
    double left = first.h, right = first.h, bottom = first.v, top = first.v;
    const size_t curves = closed ? count : count - 1;
    DPoint p0 = first;
    for (size_t i = 0; i < curves; ++i) {
        const AIPathSegment& s = segs[i];
        const AIPathSegment& e = segs[(i + 1) % count];
        const DPoint p1 = maybeApply(m, s.out);
        const DPoint p2 = maybeApply(m, e.in);
        const DPoint p3 = (i + 1 == count) ? first : maybeApply(m, e.p);
        cubicExtrema(p0.h, p1.h, p2.h, p3.h, left, right);
        cubicExtrema(p0.v, p1.v, p2.v, p3.v, bottom, top);
        p0 = p3;
    }
    return AIRealRect{F(left), F(top), F(right), F(bottom)};
}

AIRealRect transformedBox(const AIRealRect& box, const AIRealMatrix& m) {
    if (isEmptyRect(box)) return box;
    AIRealRect r = kEmptyRect;
    includePoint(r, transformPoint(m, AIRealPoint{box.left, box.top}));
    includePoint(r, transformPoint(m, AIRealPoint{box.right, box.top}));
    includePoint(r, transformPoint(m, AIRealPoint{box.left, box.bottom}));
    includePoint(r, transformPoint(m, AIRealPoint{box.right, box.bottom}));
    return r;
}

}  // namespace easel
