// Stroke outlines and offsets. Each run of a subpath between corners is
// outlined by its two offset curves (cubics fitted within the tolerance)
// closed by caps or straight ends; joins are pieces of their own at the
// corners; the pieces are united, which removes their overlaps.
#include <algorithm>
#include <cmath>

#include "Outlines.h"

namespace easel::geometry {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCorner = 1e-3;  // radians between tangents that make a corner
constexpr int kMaxDepth = 10;

Point add(Point a, Point b) { return {a.h + b.h, a.v + b.v}; }
Point sub(Point a, Point b) { return {a.h - b.h, a.v - b.v}; }
Point mul(Point a, double s) { return {a.h * s, a.v * s}; }
double cross(Point a, Point b) { return a.h * b.v - a.v * b.h; }
double dot(Point a, Point b) { return a.h * b.h + a.v * b.v; }
double len(Point a) { return std::hypot(a.h, a.v); }
Point unit(Point a) {
    const double l = len(a);
    return l > 0 ? mul(a, 1 / l) : Point{0, 0};
}
Point leftOf(Point t) { return {-t.v, t.h}; }

Point pointAt(const Cubic& c, double t) {
    const double u = 1 - t;
    return add(add(mul(c.p0, u * u * u), mul(c.p1, 3 * u * u * t)), add(mul(c.p2, 3 * u * t * t), mul(c.p3, t * t * t)));
}
Point derivAt(const Cubic& c, double t) {
    const double u = 1 - t;
    return add(add(mul(sub(c.p1, c.p0), 3 * u * u), mul(sub(c.p2, c.p1), 6 * u * t)), mul(sub(c.p3, c.p2), 3 * t * t));
}
// The direction of travel at t, from the first non-zero difference where the
// derivative vanishes (a direction point on its anchor).
Point tangentAt(const Cubic& c, double t) {
    Point d = derivAt(c, t);
    if (len(d) > 1e-12) return unit(d);
    if (t < 0.5) d = len(sub(c.p2, c.p0)) > 0 ? sub(c.p2, c.p0) : sub(c.p3, c.p0);
    else d = len(sub(c.p3, c.p1)) > 0 ? sub(c.p3, c.p1) : sub(c.p3, c.p0);
    return unit(d);
}

void split(const Cubic& c, Cubic& a, Cubic& b) {
    const Point p01 = mul(add(c.p0, c.p1), 0.5), p12 = mul(add(c.p1, c.p2), 0.5), p23 = mul(add(c.p2, c.p3), 0.5);
    const Point p012 = mul(add(p01, p12), 0.5), p123 = mul(add(p12, p23), 0.5), m = mul(add(p012, p123), 0.5);
    a = {c.p0, p01, p012, m};
    b = {m, p123, p23, c.p3};
}

// Curvature (positive turning left) at an end, from the end's handles.
double curvature(const Cubic& c, bool start) {
    const Point d1 = start ? mul(sub(c.p1, c.p0), 3) : mul(sub(c.p3, c.p2), 3);
    const Point d2 = start ? mul(add(sub(c.p2, mul(c.p1, 2)), c.p0), 6) : mul(add(sub(c.p3, mul(c.p2, 2)), c.p1), 6);
    const double l = len(d1);
    return l > 1e-12 ? cross(d1, d2) / (l * l * l) : 0;
}

// The curve at distance d to the left of c, as cubics within `tol`.
void offsetCubic(const Cubic& c, double d, double tol, int depth, std::vector<Cubic>& out) {
    const Point t0 = tangentAt(c, 0), t1 = tangentAt(c, 1);
    const Point q0 = add(c.p0, mul(leftOf(t0), d)), q3 = add(c.p3, mul(leftOf(t1), d));
    const double s0 = std::max(0.0, 1 - d * curvature(c, true)), s1 = std::max(0.0, 1 - d * curvature(c, false));
    const Cubic q{q0, add(q0, mul(sub(c.p1, c.p0), s0)), add(q3, mul(sub(c.p2, c.p3), s1)), q3};
    double err = 0;
    for (double t : {0.25, 0.5, 0.75}) {
        const Point exact = add(pointAt(c, t), mul(leftOf(tangentAt(c, t)), d));
        err = std::max(err, len(sub(exact, pointAt(q, t))));
    }
    if (err <= tol || depth >= kMaxDepth) {
        out.push_back(q);
        return;
    }
    Cubic a, b;
    split(c, a, b);
    offsetCubic(a, d, tol, depth + 1, out);
    offsetCubic(b, d, tol, depth + 1, out);
}

// An outline through cubics that follow one another (each starting where
// the previous ends, or joined by a straight line).
Outline outlineOf(const std::vector<Cubic>& cubics, bool closed) {
    auto real = [](Point p) { return AIRealPoint{static_cast<float>(p.h), static_cast<float>(p.v)}; };
    Outline o;
    o.closed = closed;
    Point end{};
    for (const Cubic& c : cubics) {
        if (!o.segments.empty() && len(sub(c.p0, end)) < 1e-9) {
            o.segments.back().out = real(c.p1);
        } else {
            o.segments.push_back({real(c.p0), real(c.p0), real(c.p1), 1});
        }
        o.segments.push_back({real(c.p3), real(c.p2), real(c.p3), 1});
        end = c.p3;
    }
    if (closed && o.segments.size() > 1) {
        const AIPathSegment last = o.segments.back();
        if (last.p.h == o.segments[0].p.h && last.p.v == o.segments[0].p.v) {
            o.segments[0].in = last.in;
            o.segments.pop_back();
        }
    }
    return o;
}

Cubic line(Point a, Point b) { return {a, a, b, b}; }

// A quarter-circle-or-less arc around centre from a to b turning by `sweep`.
void arc(Point centre, Point a, double sweep, std::vector<Cubic>& out) {
    const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9)));
    const double step = sweep / n, k = 4.0 / 3 * std::tan(step / 4);
    Point from = sub(a, centre);
    for (int i = 0; i < n; ++i) {
        const double cs = std::cos(step), sn = std::sin(step);
        const Point to{from.h * cs - from.v * sn, from.h * sn + from.v * cs};
        out.push_back({add(centre, from), add(centre, add(from, mul(leftOf(from), k))), add(centre, sub(to, mul(leftOf(to), k))),
                       add(centre, to)});
        from = to;
    }
}

Outline circle(Point centre, double r) {
    std::vector<Cubic> cs;
    arc(centre, add(centre, Point{r, 0}), 2 * kPi, cs);
    return outlineOf(cs, true);
}

// The end of a run: from the left offset's end round to the right one's.
void cap(Point end, Point tangent, double half, int kind, std::vector<Cubic>& out) {
    const Point l = add(end, mul(leftOf(tangent), half)), r = sub(end, mul(leftOf(tangent), half));
    if (kind == kRoundCap) {
        arc(end, l, -kPi, out);
    } else if (kind == kProjectingCap) {
        const Point e = mul(tangent, half);
        out.push_back(line(l, add(l, e)));
        out.push_back(line(add(l, e), add(r, e)));
        out.push_back(line(add(r, e), r));
    } else {
        out.push_back(line(l, r));
    }
}

std::vector<Cubic> reversedCubics(std::vector<Cubic> cs) {
    std::reverse(cs.begin(), cs.end());
    for (Cubic& c : cs) c = {c.p3, c.p2, c.p1, c.p0};
    return cs;
}

struct Stroker {
    StrokeParams p;
    double half;
    std::vector<Shape> pieces;

    // The region swept by a run of cubics, its ends capped or cut square.
    void run(const std::vector<Cubic>& cs, bool capStart, bool capEnd) {
        std::vector<Cubic> left, right;
        for (const Cubic& c : cs) {
            offsetCubic(c, half, p.tolerance, 0, left);
            offsetCubic(c, -half, p.tolerance, 0, right);
        }
        std::vector<Cubic> all = left;
        cap(cs.back().p3, tangentAt(cs.back(), 1), half, capEnd ? p.cap : kButtCap, all);
        for (const Cubic& c : reversedCubics(right)) all.push_back(c);
        std::vector<Cubic> start;
        cap(cs.front().p0, mul(tangentAt(cs.front(), 0), -1), half, capStart ? p.cap : kButtCap, start);
        for (const Cubic& c : start) all.push_back(c);
        pieces.push_back({outlineOf(all, true)});
    }

    // The join at an anchor where the direction turns from tin to tout. Its
    // outline stands a little (well within the tolerance) outside the runs'
    // outer edges and reaches back along them before turning in, so that it
    // crosses their outlines well away from their corners: the intersection
    // graph cannot resolve outlines that touch at a corner.
    void join(Point at, Point tin, Point tout) {
        const double eps = p.tolerance / 2, out = half + eps;
        if (p.join == kRoundJoin) {
            pieces.push_back({circle(at, out)});
            return;
        }
        const double turn = cross(tin, tout);
        const Point nin = mul(leftOf(tin), turn > 0 ? -1 : 1), nout = mul(leftOf(tout), turn > 0 ? -1 : 1);
        const Point a = add(at, mul(nin, out)), b = add(at, mul(nout, out));
        const Point bis = unit(add(nin, nout));
        const Point back = sub(at, mul(bis, half * 0.5));
        const Point aBack = sub(a, mul(tin, half * 0.5)), bBack = add(b, mul(tout, half * 0.5));
        std::vector<Cubic> cs{line(back, aBack)};
        const double cosHalf = std::sqrt(std::max(0.0, (1 + dot(nin, nout)) / 2));
        if (p.join == kMiterJoin && cosHalf > 1e-9 && 1 / cosHalf <= p.miterLimit) {
            const Point tip = add(at, mul(bis, out / cosHalf));
            cs.push_back(line(aBack, tip));
            cs.push_back(line(tip, bBack));
        } else {
            // A bevel; its corners run on along the tangents as far as they stand out.
            const Point a2 = add(a, mul(tin, eps)), b2 = sub(b, mul(tout, eps));
            cs.push_back(line(aBack, a2));
            cs.push_back(line(a2, b2));
            cs.push_back(line(b2, bBack));
        }
        cs.push_back(line(bBack, back));
        pieces.push_back({outlineOf(cs, true)});
    }

    void subpath(const Outline& o) {
        std::vector<Cubic> cs;
        for (const Cubic& c : cubicsOf(o))
            if (len(sub(c.p3, c.p0)) + len(sub(c.p1, c.p0)) + len(sub(c.p2, c.p0)) > 1e-9) cs.push_back(c);
        if (cs.empty()) return;
        const size_t n = cs.size();
        auto corner = [&](size_t i) {  // between cs[i] and cs[i + 1]
            const Point a = tangentAt(cs[i], 1), b = tangentAt(cs[(i + 1) % n], 0);
            return std::fabs(std::atan2(cross(a, b), dot(a, b))) > kCorner;
        };
        if (!o.closed) {
            size_t from = 0;
            for (size_t i = 0; i < n; ++i)
                if (i + 1 == n || corner(i)) {
                    run({cs.begin() + static_cast<long>(from), cs.begin() + static_cast<long>(i + 1)}, from == 0, i + 1 == n);
                    if (i + 1 < n) join(cs[i].p3, tangentAt(cs[i], 1), tangentAt(cs[i + 1], 0));
                    from = i + 1;
                }
            return;
        }
        size_t first = n;
        for (size_t i = 0; i < n && first == n; ++i)
            if (corner(i)) first = i;
        if (first == n) {
            // Smooth all round: the two offset rings.
            std::vector<Cubic> left, right;
            for (const Cubic& c : cs) {
                offsetCubic(c, half, p.tolerance, 0, left);
                offsetCubic(c, -half, p.tolerance, 0, right);
            }
            pieces.push_back({outlineOf(left, true), outlineOf(reversedCubics(right), true)});
            return;
        }
        std::rotate(cs.begin(), cs.begin() + static_cast<long>(first + 1), cs.end());
        size_t from = 0;
        for (size_t i = 0; i < n; ++i)
            if (corner(i)) {
                run({cs.begin() + static_cast<long>(from), cs.begin() + static_cast<long>(i + 1)}, false, false);
                join(cs[i].p3, tangentAt(cs[i], 1), tangentAt(cs[(i + 1) % n], 0));
                from = i + 1;
            }
    }
};

}  // namespace

Shape strokeOutline(const Shape& shape, const StrokeParams& stroke) {
    if (!(stroke.width > 0)) return {};
    Stroker s{stroke, stroke.width / 2, {}};
    for (const Outline& o : shape) s.subpath(o);
    Shape result;
    for (const Shape& piece : s.pieces) result = boolean(result, piece, BoolOp::unite);
    return result;
}

Shape offset(const Shape& shape, double distance, int join, double miterLimit, double tolerance) {
    if (distance == 0) return orient(shape);
    StrokeParams p{2 * std::fabs(distance), kButtCap, join, miterLimit, tolerance};
    const Shape band = strokeOutline(shape, p);
    return boolean(shape, band, distance > 0 ? BoolOp::unite : BoolOp::subtract);
}

}  // namespace easel::geometry
