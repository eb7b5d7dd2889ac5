// Measuring warped geometry: points on fields, contours as cubic pieces and
// distances between curves, independent of how Warp.cpp fits its pieces.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "model/Warp.h"

namespace easel::test {

inline AIPathSegment corner(float h, float v) { return AIPathSegment{{h, v}, {h, v}, {h, v}, 1}; }

inline AIPathSegment smooth(float h, float v, float inH, float inV, float outH, float outV) {
    return AIPathSegment{{h, v}, {inH, inV}, {outH, outV}, 0};
}

inline std::vector<AIPathSegment> rectSegments(float left, float bottom, float right, float top) {
    return {corner(left, bottom), corner(right, bottom), corner(right, top), corner(left, top)};
}
inline std::vector<AIPathSegment> squareSegments(float left, float bottom, float size) {
    return rectSegments(left, bottom, left + size, bottom + size);
}

// A circle of four smooth quarter arcs.
inline std::vector<AIPathSegment> circleSegments(float cx, float cy, float r) {
    const float k = 0.5522847498f * r;
    return {smooth(cx - r, cy, cx - r, cy + k, cx - r, cy - k), smooth(cx, cy - r, cx - k, cy - r, cx + k, cy - r),
            smooth(cx + r, cy, cx + r, cy - k, cx + r, cy + k), smooth(cx, cy + r, cx + k, cy + r, cx - k, cy + r)};
}

inline AIRealRect rect(float left, float bottom, float right, float top) { return AIRealRect{left, top, right, bottom}; }

inline EnvelopeWarp warpOf(int style, float bend, float horizontal = 0, float vertical = 0, bool turn = false) {
    return EnvelopeWarp{style, bend, horizontal, vertical, turn};
}

// Field by field (the struct has padding after the corner flag).
inline bool sameSegments(const std::vector<AIPathSegment>& a, const std::vector<AIPathSegment>& b) {
    auto same = [](const AIRealPoint& x, const AIRealPoint& y) { return x.h == y.h && x.v == y.v; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](const AIPathSegment& x, const AIPathSegment& y) {
        return same(x.p, y.p) && same(x.in, y.in) && same(x.out, y.out) && (x.corner != 0) == (y.corner != 0);
    });
}

inline double dist(WarpPoint a, WarpPoint b) { return std::hypot(a.h - b.h, a.v - b.v); }

struct Piece {
    WarpPoint p[4];
    WarpPoint at(double t) const {
        const double u = 1 - t;
        const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        return {b0 * p[0].h + b1 * p[1].h + b2 * p[2].h + b3 * p[3].h,
                b0 * p[0].v + b1 * p[1].v + b2 * p[2].v + b3 * p[3].v};
    }
};

inline WarpPoint wp(const AIRealPoint& p) { return {static_cast<double>(p.h), static_cast<double>(p.v)}; }

// The Bezier pieces of a contour, the closing one included when closed.
inline std::vector<Piece> piecesOf(const std::vector<AIPathSegment>& s, bool closed) {
    std::vector<Piece> out;
    const size_t n = s.size();
    const size_t curves = n == 0 ? 0 : (closed ? n : n - 1);
    for (size_t i = 0; i < curves; ++i) {
        const AIPathSegment& a = s[i];
        const AIPathSegment& b = s[(i + 1) % n];
        out.push_back(Piece{{wp(a.p), wp(a.out), wp(b.in), wp(b.p)}});
    }
    return out;
}

// Smallest distance from q to a parametric curve on [0, 1]: dense samples,
// then a golden-section search around the best one.
inline double distanceToCurve(WarpPoint q, const std::function<WarpPoint(double)>& curve, int samples = 128) {
    double best = INFINITY;
    int bi = 0;
    for (int i = 0; i <= samples; ++i) {
        const double d = dist(q, curve(static_cast<double>(i) / samples));
        if (d < best) { best = d; bi = i; }
    }
    double lo = std::max(0, bi - 1) / static_cast<double>(samples);
    double hi = std::min(samples, bi + 1) / static_cast<double>(samples);
    const double g = (std::sqrt(5.0) - 1) / 2;
    for (int it = 0; it < 60; ++it) {
        const double m1 = hi - g * (hi - lo), m2 = lo + g * (hi - lo);
        if (dist(q, curve(m1)) < dist(q, curve(m2))) hi = m2;
        else lo = m1;
    }
    return std::min(best, dist(q, curve((lo + hi) / 2)));
}

inline double distanceToPieces(WarpPoint q, const std::vector<Piece>& pieces) {
    // Only pieces whose control hull comes near q can hold the nearest point.
    double best = INFINITY;
    for (const Piece& p : pieces) {
        double hull = INFINITY;
        for (const WarpPoint& c : p.p) hull = std::min(hull, dist(q, c));
        double span = 0;
        for (const WarpPoint& c : p.p) span = std::max(span, dist(p.p[0], c));
        if (hull - span > best) continue;
        best = std::min(best, distanceToCurve(q, [&](double t) { return p.at(t); }, 32));
    }
    return best;
}

}  // namespace easel::test
