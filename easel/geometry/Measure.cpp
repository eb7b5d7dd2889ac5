// Measures of outlines that need no library: their cubic segments, signed
// areas, and the outline run backwards.
#include <cmath>
#include <utility>

#include "Outlines.h"

namespace easel::geometry {

namespace {

Point at(const AIRealPoint& p) { return {p.h, p.v}; }

// Gauss-Legendre on three points is exact for the degree-5 integrand
// x y' - y x' of a cubic.
double cubicArea(const Cubic& c) {
    static const double t[3] = {0.5 - std::sqrt(0.15), 0.5, 0.5 + std::sqrt(0.15)};
    static const double w[3] = {5.0 / 18, 8.0 / 18, 5.0 / 18};
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
        const double s = t[i], u = 1 - s;
        const double x = u * u * u * c.p0.h + 3 * u * u * s * c.p1.h + 3 * u * s * s * c.p2.h + s * s * s * c.p3.h;
        const double y = u * u * u * c.p0.v + 3 * u * u * s * c.p1.v + 3 * u * s * s * c.p2.v + s * s * s * c.p3.v;
        const double dx = 3 * (u * u * (c.p1.h - c.p0.h) + 2 * u * s * (c.p2.h - c.p1.h) + s * s * (c.p3.h - c.p2.h));
        const double dy = 3 * (u * u * (c.p1.v - c.p0.v) + 2 * u * s * (c.p2.v - c.p1.v) + s * s * (c.p3.v - c.p2.v));
        sum += w[i] * (x * dy - y * dx);
    }
    return sum / 2;
}

}  // namespace

// ---- measures ----

std::vector<Cubic> cubicsOf(const Outline& o) {
    std::vector<Cubic> out;
    const auto& s = o.segments;
    const size_t n = s.size();
    if (n == 0) return out;
    const size_t count = o.closed ? n : n - 1;
    for (size_t i = 0; i < count; ++i) {
        const AIPathSegment& a = s[i];
        const AIPathSegment& b = s[(i + 1) % n];
        out.push_back({at(a.p), at(a.out), at(b.in), at(b.p)});
    }
    return out;
}

double signedArea(const Outline& o) {
    double sum = 0;
    const auto cubics = cubicsOf(o);
    for (const Cubic& c : cubics) sum += cubicArea(c);
    if (!o.closed && !cubics.empty()) {
        const Point a = cubics.back().p3, b = cubics.front().p0;
        sum += (a.h * b.v - a.v * b.h) / 2;
    }
    return sum;
}

double area(const Shape& shape) {
    double sum = 0;
    for (const Outline& o : shape) sum += signedArea(o);
    return sum;
}

Outline reversed(const Outline& o) {
    Outline r;
    r.closed = o.closed;
    const size_t n = o.segments.size();
    for (size_t k = 0; k < n; ++k) {
        // Closed outlines keep their first anchor first.
        const size_t i = o.closed ? (n - k) % n : n - 1 - k;
        AIPathSegment s = o.segments[i];
        std::swap(s.in, s.out);
        r.segments.push_back(s);
    }
    return r;
}

}  // namespace easel::geometry
