// The outlines of the shape tools and the fitting of pencil strokes.
#include <algorithm>
#include <array>
#include <cmath>

#include "Edit.h"

namespace easel::edit {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Direction points of a quarter circle: 4 (sqrt 2 - 1) / 3 of the radius.
constexpr float kKappa = 0.5522847498f;

AIPathSegment corner(float h, float v) { return AIPathSegment{{h, v}, {h, v}, {h, v}, 1}; }

AIPathSegment smooth(AIRealPoint p, AIRealPoint in, AIRealPoint out) { return AIPathSegment{p, in, out, 0}; }

std::vector<AIPathSegment> ring(AIRealPoint c, int count, float degrees, const std::vector<float>& radii) {
    std::vector<AIPathSegment> segs;
    segs.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double a = (90.0 + double{degrees}) * kPi / 180.0 + 2 * kPi * i / count;
        const double r = radii[static_cast<size_t>(i) % radii.size()];
        segs.push_back(corner(static_cast<float>(double{c.h} + r * std::cos(a)), static_cast<float>(double{c.v} + r * std::sin(a))));
    }
    return segs;
}

}  // namespace

std::vector<AIPathSegment> rectangleSegments(const AIRealRect& r, float radius) {
    const float left = std::min(r.left, r.right), right = std::max(r.left, r.right);
    const float bottom = std::min(r.top, r.bottom), top = std::max(r.top, r.bottom);
    const float rad = std::clamp(radius, 0.0f, std::min(right - left, top - bottom) / 2);
    if (rad <= 0)
        return {corner(left, top), corner(left, bottom), corner(right, bottom), corner(right, top)};
    const float k = rad * kKappa;
    // Two anchors per corner, counter-clockwise from the top of the left side.
    return {
        smooth({left, top - rad}, {left, top - rad + k}, {left, top - rad}),
        smooth({left, bottom + rad}, {left, bottom + rad}, {left, bottom + rad - k}),
        smooth({left + rad, bottom}, {left + rad - k, bottom}, {left + rad, bottom}),
        smooth({right - rad, bottom}, {right - rad, bottom}, {right - rad + k, bottom}),
        smooth({right, bottom + rad}, {right, bottom + rad - k}, {right, bottom + rad}),
        smooth({right, top - rad}, {right, top - rad}, {right, top - rad + k}),
        smooth({right - rad, top}, {right - rad + k, top}, {right - rad, top}),
        smooth({left + rad, top}, {left + rad, top}, {left + rad - k, top}),
    };
}

std::vector<AIPathSegment> ellipseSegments(const AIRealRect& r) {
    const float left = std::min(r.left, r.right), right = std::max(r.left, r.right);
    const float bottom = std::min(r.top, r.bottom), top = std::max(r.top, r.bottom);
    const float ch = (left + right) / 2, cv = (top + bottom) / 2;
    const float kh = kKappa * (right - left) / 2, kv = kKappa * (top - bottom) / 2;
    // Counter-clockwise from the left: left, bottom, right, top.
    return {smooth({left, cv}, {left, cv + kv}, {left, cv - kv}), smooth({ch, bottom}, {ch - kh, bottom}, {ch + kh, bottom}),
            smooth({right, cv}, {right, cv - kv}, {right, cv + kv}), smooth({ch, top}, {ch + kh, top}, {ch - kh, top})};
}

std::vector<AIPathSegment> polygonSegments(AIRealPoint centre, float radius, int sides, float degrees) {
    return ring(centre, sides, degrees, {radius});
}

std::vector<AIPathSegment> starSegments(AIRealPoint centre, float radius, float inner, int points, float degrees) {
    return ring(centre, points * 2, degrees, {radius, inner});
}

// ---- pencil strokes: least-squares cubic fitting, split where the error is largest ----

namespace {

struct V {
    double h, v;
};
V operator+(V a, V b) { return {a.h + b.h, a.v + b.v}; }
V operator-(V a, V b) { return {a.h - b.h, a.v - b.v}; }
V operator*(V a, double s) { return {a.h * s, a.v * s}; }
double dot(V a, V b) { return a.h * b.h + a.v * b.v; }
double len(V a) { return std::sqrt(dot(a, a)); }
V unit(V a) {
    const double l = len(a);
    return l > 0 ? a * (1 / l) : V{0, 0};
}

using Bez = std::array<V, 4>;

V at(const Bez& b, double t) {
    const double s = 1 - t;
    return b[0] * (s * s * s) + b[1] * (3 * s * s * t) + b[2] * (3 * s * t * t) + b[3] * (t * t * t);
}

class Fitter {
public:
    Fitter(std::vector<V> pts, double tolerance) : p_(std::move(pts)), tol2_(tolerance * tolerance) {}

    std::vector<Bez> fit() {
        const size_t n = p_.size();
        fitRange(0, n - 1, unit(p_[1] - p_[0]), unit(p_[n - 2] - p_[n - 1]), 0);
        return out_;
    }

private:
    std::vector<double> chordParams(size_t first, size_t last) const {
        std::vector<double> u(last - first + 1, 0.0);
        for (size_t i = first + 1; i <= last; ++i) u[i - first] = u[i - first - 1] + len(p_[i] - p_[i - 1]);
        const double total = u.back();
        for (double& x : u) x = total > 0 ? x / total : 0;
        return u;
    }

    Bez generate(size_t first, size_t last, const std::vector<double>& u, V t1, V t2) const {
        double c00 = 0, c01 = 0, c11 = 0, x0 = 0, x1 = 0;
        const V a = p_[first], b = p_[last];
        for (size_t i = first; i <= last; ++i) {
            const double t = u[i - first], s = 1 - t;
            const V a1 = t1 * (3 * s * s * t), a2 = t2 * (3 * s * t * t);
            c00 += dot(a1, a1);
            c01 += dot(a1, a2);
            c11 += dot(a2, a2);
            const V tmp = p_[i] - (a * (s * s * s + 3 * s * s * t) + b * (3 * s * t * t + t * t * t));
            x0 += dot(a1, tmp);
            x1 += dot(a2, tmp);
        }
        const double det = c00 * c11 - c01 * c01;
        double alpha1 = 0, alpha2 = 0;
        if (std::fabs(det) > 1e-12) {
            alpha1 = (x0 * c11 - c01 * x1) / det;
            alpha2 = (c00 * x1 - x0 * c01) / det;
        }
        const double span = len(b - a), eps = 1e-6 * span;
        // A degenerate solution falls back to handles a third of the chord long.
        if (alpha1 < eps || alpha2 < eps) alpha1 = alpha2 = span / 3;
        return {a, a + t1 * alpha1, b + t2 * alpha2, b};
    }

    double maxError(size_t first, size_t last, const Bez& b, const std::vector<double>& u, size_t& split) const {
        double worst = 0;
        split = (first + last) / 2;
        for (size_t i = first + 1; i < last; ++i) {
            const V d = at(b, u[i - first]) - p_[i];
            const double e = dot(d, d);
            if (e > worst) {
                worst = e;
                split = i;
            }
        }
        return worst;
    }

    // One Newton step towards the curve parameter nearest each point.
    void reparameterize(size_t first, const Bez& b, std::vector<double>& u) const {
        const Bez d1{(b[1] - b[0]) * 3, (b[2] - b[1]) * 3, (b[3] - b[2]) * 3, {0, 0}};
        const Bez d2{(d1[1] - d1[0]) * 2, (d1[2] - d1[1]) * 2, {0, 0}, {0, 0}};
        for (size_t i = 0; i < u.size(); ++i) {
            const double t = u[i], s = 1 - t;
            const V q = at(b, t) - p_[first + i];
            const V q1 = d1[0] * (s * s) + d1[1] * (2 * s * t) + d1[2] * (t * t);
            const V q2 = d2[0] * s + d2[1] * t;
            const double den = dot(q1, q1) + dot(q, q2);
            if (std::fabs(den) > 1e-12) u[i] = std::clamp(t - dot(q, q1) / den, 0.0, 1.0);
        }
    }

    void fitRange(size_t first, size_t last, V t1, V t2, int depth) {
        if (last - first == 1 || depth > 40) {
            const double d = len(p_[last] - p_[first]) / 3;
            out_.push_back({p_[first], p_[first] + t1 * d, p_[last] + t2 * d, p_[last]});
            return;
        }
        std::vector<double> u = chordParams(first, last);
        Bez b = generate(first, last, u, t1, t2);
        size_t split = 0;
        double err = maxError(first, last, b, u, split);
        if (err < tol2_) {
            out_.push_back(b);
            return;
        }
        if (err < tol2_ * 16) {
            for (int i = 0; i < 4; ++i) {
                reparameterize(first, b, u);
                b = generate(first, last, u, t1, t2);
                err = maxError(first, last, b, u, split);
                if (err < tol2_) {
                    out_.push_back(b);
                    return;
                }
            }
        }
        V centre = unit(p_[split - 1] - p_[split + 1]);
        if (len(centre) == 0) centre = unit(p_[split - 1] - p_[split]);
        fitRange(first, split, t1, centre, depth + 1);
        fitRange(split, last, centre * -1, t2, depth + 1);
    }

    std::vector<V> p_;
    double tol2_;
    std::vector<Bez> out_;
};

AIRealPoint pt(V a) { return {static_cast<float>(a.h), static_cast<float>(a.v)}; }

}  // namespace

std::vector<AIPathSegment> fitPoints(const std::vector<AIRealPoint>& points, float tolerance) {
    std::vector<V> pts;
    for (const AIRealPoint& p : points) {
        const V v{p.h, p.v};
        if (pts.empty() || len(v - pts.back()) > 1e-6) pts.push_back(v);
    }
    if (pts.size() < 2) return {};
    const std::vector<Bez> curves = Fitter(std::move(pts), std::max(tolerance, 0.01f)).fit();
    std::vector<AIPathSegment> segs;
    segs.push_back(AIPathSegment{pt(curves[0][0]), pt(curves[0][0]), pt(curves[0][1]), 0});
    for (size_t i = 0; i < curves.size(); ++i) {
        const Bez& c = curves[i];
        const AIRealPoint out = i + 1 < curves.size() ? pt(curves[i + 1][1]) : pt(c[3]);
        segs.push_back(AIPathSegment{pt(c[3]), pt(c[2]), out, 0});
    }
    return segs;
}

}  // namespace easel::edit
