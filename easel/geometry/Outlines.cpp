// Outlines to and from lib2geom's path vectors, exactly for cubic segments,
// and the boolean operations of its path intersection graph.
#include "Outlines.h"

#include <2geom/bezier-curve.h>
#include <2geom/intersection-graph.h>
#include <2geom/path.h>
#include <2geom/pathvector.h>
#include <2geom/sbasis-to-bezier.h>
#include <2geom/transforms.h>
#include <algorithm>
#include <cmath>
#include <memory>

#include "Convert.h"

namespace easel::geometry {

namespace {

Point at(const AIRealPoint& p) { return {p.h, p.v}; }
Geom::Point gp(const Point& p) { return {p.h, p.v}; }
AIRealPoint real(const Geom::Point& p) { return {static_cast<float>(p.x()), static_cast<float>(p.y())}; }

bool degenerate(const Cubic& c) {
    auto same = [](Point a, Point b) { return a.h == b.h && a.v == b.v; };
    return same(c.p0, c.p1) && same(c.p0, c.p2) && same(c.p0, c.p3);
}

// The cubic points of one curve of a path: lines and quadratic curves raised
// exactly, anything else fitted within a small tolerance.
void appendCubics(const Geom::Curve& curve, std::vector<Cubic>& out) {
    if (const auto* b = dynamic_cast<const Geom::BezierCurve*>(&curve)) {
        const std::vector<Geom::Point> q = b->controlPoints();
        if (q.size() == 2) {
            const Point a{q[0].x(), q[0].y()}, d{q[1].x(), q[1].y()};
            out.push_back({a, a, d, d});
            return;
        }
        if (q.size() == 3) {
            const Geom::Point c1 = q[0] + (q[1] - q[0]) * (2.0 / 3), c2 = q[2] + (q[1] - q[2]) * (2.0 / 3);
            out.push_back({{q[0].x(), q[0].y()}, {c1.x(), c1.y()}, {c2.x(), c2.y()}, {q[2].x(), q[2].y()}});
            return;
        }
        if (q.size() == 4) {
            out.push_back({{q[0].x(), q[0].y()}, {q[1].x(), q[1].y()}, {q[2].x(), q[2].y()}, {q[3].x(), q[3].y()}});
            return;
        }
    }
    const Geom::Path fitted = Geom::cubicbezierpath_from_sbasis(curve.toSBasis(), 0.01);
    for (const Geom::Curve& c : fitted) appendCubics(c, out);
}

bool collinearOpposite(const AIPathSegment& s) {
    const double ah = s.in.h - s.p.h, av = s.in.v - s.p.v, bh = s.out.h - s.p.h, bv = s.out.v - s.p.v;
    const double la = std::hypot(ah, av), lb = std::hypot(bh, bv);
    if (la == 0 || lb == 0) return false;
    return std::fabs(ah * bv - av * bh) <= 1e-4 * la * lb && ah * bh + av * bv < 0;
}

int depthOf(const Geom::PathVector& pv, size_t i) {
    const Geom::Path& p = pv[i];
    const Geom::Point probe = p.size_default() ? p.pointAt(0.5) : p.initialPoint();
    int depth = 0;
    for (size_t k = 0; k < pv.size(); ++k)
        if (k != i && pv[k].winding(probe) != 0) ++depth;
    return depth;
}

Shape fromVector(const Geom::PathVector& pv) {
    Shape out;
    for (const Geom::Path& p : pv) {
        Outline o = toOutline(p);
        if (o.segments.size() >= 2 || (!o.closed && !o.segments.empty())) out.push_back(std::move(o));
    }
    return out;
}

}  // namespace

// ---- conversion ----

Geom::Path toPath(const Outline& o) {
    if (o.segments.empty()) return Geom::Path();
    Geom::Path path(gp(at(o.segments[0].p)));
    for (const Cubic& c : cubicsOf(o))
        if (!degenerate(c)) path.appendNew<Geom::CubicBezier>(gp(c.p1), gp(c.p2), gp(c.p3));
    path.close(o.closed);
    return path;
}

Geom::PathVector toPathVector(const Shape& shape) {
    Geom::PathVector pv;
    for (const Outline& o : shape)
        if (!o.segments.empty()) pv.push_back(toPath(o));
    return pv;
}

Outline toOutline(const Geom::Path& path) {
    std::vector<Cubic> cubics;
    for (size_t i = 0; i < path.size_default(); ++i) appendCubics(path[i], cubics);
    Outline o;
    o.closed = path.closed();
    if (cubics.empty()) return o;
    auto corner = [](AIPathSegment& s) { s.corner = collinearOpposite(s) ? 0 : 1; };
    for (const Cubic& c : cubics) {
        AIPathSegment s{real({c.p0.h, c.p0.v}), real({c.p0.h, c.p0.v}), real({c.p1.h, c.p1.v}), 1};
        o.segments.push_back(s);
    }
    // Each segment's "in" is the previous cubic's second direction point.
    for (size_t i = 1; i < cubics.size(); ++i) o.segments[i].in = real({cubics[i - 1].p2.h, cubics[i - 1].p2.v});
    const Cubic& last = cubics.back();
    if (o.closed) {
        o.segments[0].in = real({last.p2.h, last.p2.v});
    } else {
        const AIRealPoint end = real({last.p3.h, last.p3.v});
        o.segments.push_back({end, real({last.p2.h, last.p2.v}), end, 1});
    }
    for (AIPathSegment& s : o.segments) corner(s);
    return o;
}

// ---- booleans ----

Shape orient(Shape shape) {
    const Geom::PathVector pv = toPathVector(shape);
    for (size_t i = 0; i < shape.size() && i < pv.size(); ++i) {
        const bool hole = depthOf(pv, i) % 2 == 1;
        const double a = signedArea(shape[i]);
        if ((hole && a > 0) || (!hole && a < 0)) shape[i] = reversed(shape[i]);
    }
    return shape;
}

Shape boolean(const Shape& a, const Shape& b, BoolOp op) {
    const Geom::PathVector pa = toPathVector(a), pb = toPathVector(b);
    if (pa.empty()) return op == BoolOp::unite || op == BoolOp::exclude ? orient(fromVector(pb)) : Shape{};
    if (pb.empty()) return op == BoolOp::intersect ? Shape{} : orient(fromVector(pa));
    // Outlines that touch or run together (copies on a grid often do) can
    // leave the graph unresolved; b moved by far less than the model's float
    // precision then crosses a cleanly.
    auto graph = std::make_unique<Geom::PathIntersectionGraph>(pa, pb);
    for (int attempt = 1; !graph->valid() && attempt <= 3; ++attempt) {
        const double d = 1e-5 * attempt;
        graph = std::make_unique<Geom::PathIntersectionGraph>(pa, pb * Geom::Translate(d, 1.7 * d));
    }
    if (!graph->valid()) throw GeometryError("the outlines cross in a way the boolean operation cannot resolve");
    Geom::PathVector r;
    switch (op) {
        case BoolOp::unite: r = graph->getUnion(); break;
        case BoolOp::subtract: r = graph->getAminusB(); break;
        case BoolOp::intersect: r = graph->getIntersection(); break;
        case BoolOp::exclude: r = graph->getXOR(); break;
    }
    return orient(fromVector(r));
}

std::vector<Shape> pieces(const Shape& shape) {
    const Shape s = orient(shape);
    const Geom::PathVector pv = toPathVector(s);
    std::vector<int> depth(s.size());
    for (size_t i = 0; i < s.size(); ++i) depth[i] = depthOf(pv, i);
    std::vector<Shape> out;
    std::vector<size_t> outerOf(s.size(), SIZE_MAX);
    for (size_t i = 0; i < s.size(); ++i)
        if (depth[i] % 2 == 0) {
            outerOf[i] = out.size();
            out.push_back({s[i]});
        }
    for (size_t i = 0; i < s.size(); ++i) {
        if (depth[i] % 2 == 0) continue;
        // A hole belongs to the outline one level out that holds it.
        const Geom::Point probe = pv[i].size_default() ? pv[i].pointAt(0.5) : pv[i].initialPoint();
        for (size_t k = 0; k < s.size(); ++k)
            if (depth[k] == depth[i] - 1 && pv[k].winding(probe) != 0) {
                out[outerOf[k]].push_back(s[i]);
                break;
            }
    }
    return out;
}

std::vector<Shape> divide(const Shape& a, const Shape& b) {
    std::vector<Shape> out = pieces(boolean(a, b, BoolOp::subtract));
    for (Shape& s : pieces(boolean(a, b, BoolOp::intersect))) out.push_back(std::move(s));
    return out;
}

}  // namespace easel::geometry
