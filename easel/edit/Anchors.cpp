// Edits of anchor points: adding one on a segment, deleting the selected
// ones (the joined segment refitted to the curves they made), converting
// between corner and smooth, splitting and joining paths, reversing a path,
// simplifying one within a tolerance.
#include <algorithm>
#include <cmath>

#include "PathSupport.h"

namespace easel::edit {

namespace {

using geometry::Cubic;
using geometry::Point;

Point at(AIRealPoint p) { return {p.h, p.v}; }
AIRealPoint real(Point p) { return {static_cast<float>(p.h), static_cast<float>(p.v)}; }
Point lerp(Point a, Point b, double t) { return {a.h + (b.h - a.h) * t, a.v + (b.v - a.v) * t}; }
double dist(Point a, Point b) { return std::hypot(a.h - b.h, a.v - b.v); }

Point pointAt(const Cubic& c, double t) {
    const Point a = lerp(c.p0, c.p1, t), b = lerp(c.p1, c.p2, t), d = lerp(c.p2, c.p3, t);
    return lerp(lerp(a, b, t), lerp(b, d, t), t);
}

Cubic cubicAt(const std::vector<AIPathSegment>& s, size_t i) {
    const AIPathSegment& a = s[i];
    const AIPathSegment& b = s[(i + 1) % s.size()];
    return {at(a.p), at(a.out), at(b.in), at(b.p)};
}

// The selected paths (whole or by their anchors) on editable layers.
std::vector<Art*> selectedPaths(Ctx& c) {
    std::vector<Art*> out;
    for (Art* a : c.doc.selectedArt())
        if (a->type() == kPathArt) {
            requireEditable(a->layer());
            out.push_back(a);
        }
    if (out.empty()) refuse("no path is selected");
    return out;
}

// The anchors picked one by one (Direct Selection), of paths whose anchors
// are not all selected.
std::vector<size_t> pickedAnchors(const Art& a) {
    std::vector<size_t> out;
    if (!a.hasPartialSegmentSelection()) return out;
    for (size_t i = 0; i < a.segmentCount(); ++i)
        if (a.segmentSelection(i) & kSegmentPointSelected) out.push_back(i);
    return out;
}

void setPath(Ctx& c, Art* a, const std::vector<AIPathSegment>& segs, bool closed) {
    if (segs.size() > kMaxSegments) refuse("a path may have at most " + std::to_string(kMaxSegments) + " points");
    check(c.doc.setSegmentCount(a, segs.size()), c.undoName);
    check(c.doc.setSegments(a, 0, segs.size(), segs.data()), c.undoName);
    check(c.doc.setClosed(a, closed), c.undoName);
}

// One cubic from a to b leaving a along ta and reaching b along tb, fitted
// by least squares to the samples at parameters u.
Cubic fitWith(Point a, Point ta, Point b, Point tb, const std::vector<Point>& samples, const std::vector<double>& u) {
    double c00 = 0, c01 = 0, c11 = 0, x0 = 0, x1 = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = u[i], s = 1 - t;
        const double b1 = 3 * s * s * t, b2 = 3 * s * t * t, b03 = s * s * s + s * s * t * 3, b33 = t * t * t + s * t * t * 3;
        const Point A1{ta.h * b1, ta.v * b1}, A2{tb.h * b2, tb.v * b2};
        const Point rest{samples[i].h - (a.h * b03 + b.h * b33), samples[i].v - (a.v * b03 + b.v * b33)};
        c00 += A1.h * A1.h + A1.v * A1.v, c01 += A1.h * A2.h + A1.v * A2.v, c11 += A2.h * A2.h + A2.v * A2.v;
        x0 += A1.h * rest.h + A1.v * rest.v, x1 += A2.h * rest.h + A2.v * rest.v;
    }
    const double det = c00 * c11 - c01 * c01, chord = dist(a, b);
    double l1 = chord / 3, l2 = chord / 3;
    if (std::fabs(det) > 1e-12) l1 = (x0 * c11 - x1 * c01) / det, l2 = (c00 * x1 - c01 * x0) / det;
    if (!(l1 > 1e-6 * chord) || !(l2 > 1e-6 * chord)) l1 = l2 = chord / 3;
    return {a, {a.h + ta.h * l1, a.v + ta.v * l1}, {b.h + tb.h * l2, b.v + tb.v * l2}, b};
}

// The fit from chord-length parameters, each then moved to its sample's
// nearest point on the fitted curve (Newton steps) and fitted again.
Cubic fitCubic(Point a, Point ta, Point b, Point tb, const std::vector<Point>& samples) {
    std::vector<double> u{0};
    for (size_t i = 1; i < samples.size(); ++i) u.push_back(u.back() + dist(samples[i], samples[i - 1]));
    for (double& t : u) t = u.back() > 0 ? t / u.back() : 0;
    Cubic c = fitWith(a, ta, b, tb, samples, u);
    for (int round = 0; round < 6; ++round) {
        for (size_t i = 0; i < samples.size(); ++i) {
            const double t = u[i], s = 1 - t;
            const Point q = pointAt(c, t);
            const Point d1{3 * (s * s * (c.p1.h - c.p0.h) + 2 * s * t * (c.p2.h - c.p1.h) + t * t * (c.p3.h - c.p2.h)),
                           3 * (s * s * (c.p1.v - c.p0.v) + 2 * s * t * (c.p2.v - c.p1.v) + t * t * (c.p3.v - c.p2.v))};
            const Point d2{6 * (s * (c.p2.h - 2 * c.p1.h + c.p0.h) + t * (c.p3.h - 2 * c.p2.h + c.p1.h)),
                           6 * (s * (c.p2.v - 2 * c.p1.v + c.p0.v) + t * (c.p3.v - 2 * c.p2.v + c.p1.v))};
            const double f = (q.h - samples[i].h) * d1.h + (q.v - samples[i].v) * d1.v;
            const double df = d1.h * d1.h + d1.v * d1.v + (q.h - samples[i].h) * d2.h + (q.v - samples[i].v) * d2.v;
            if (std::fabs(df) > 1e-12) u[i] = std::clamp(t - f / df, 0.0, 1.0);
        }
        c = fitWith(a, ta, b, tb, samples, u);
    }
    return c;
}

Point direction(Point from, Point to, Point fallback) {
    const double d = dist(from, to);
    return d > 1e-9 ? Point{(to.h - from.h) / d, (to.v - from.v) / d} : fallback;
}

bool isEnd(const Art& a, size_t i) { return !a.closed() && (i == 0 || i + 1 == a.segmentCount()); }

// The segments of a path with the anchors `gone` removed; each run of
// removed anchors becomes one cubic refitted to the curves it replaces.
std::vector<AIPathSegment> withoutAnchors(const Art& a, const std::vector<bool>& gone) {
    const auto s = a.segments();
    const size_t n = s.size();
    std::vector<AIPathSegment> out;
    for (size_t i = 0; i < n; ++i)
        if (!gone[i]) out.push_back(s[i]);
    const size_t kept = out.size();
    // Refit every gap between consecutive kept anchors.
    std::vector<size_t> keptIndex;
    for (size_t i = 0; i < n; ++i)
        if (!gone[i]) keptIndex.push_back(i);
    for (size_t k = 0; k < kept; ++k) {
        const size_t i = keptIndex[k], j = keptIndex[(k + 1) % kept];
        if (!a.closed() && k + 1 == kept) break;
        const size_t span = (j + n - i) % n == 0 ? n : (j + n - i) % n;
        if (span == 1) continue;
        std::vector<Point> samples;
        for (size_t m = 0; m < span; ++m) {
            const Cubic cu = cubicAt(s, (i + m) % n);
            for (int q = (m == 0 ? 0 : 1); q <= 16; ++q) samples.push_back(pointAt(cu, q / 16.0));
        }
        const Cubic first = cubicAt(s, i), last = cubicAt(s, (j + n - 1) % n);
        const Point ta = direction(first.p0, first.p1, direction(first.p0, samples[1], {1, 0}));
        const Point tb = direction(last.p3, last.p2, direction(last.p3, samples[samples.size() - 2], {-1, 0}));
        const Cubic fit = fitCubic(first.p0, ta, last.p3, tb, samples);
        out[k].out = real(fit.p1);
        out[(k + 1) % kept].in = real(fit.p2);
    }
    return out;
}

}  // namespace

void opAddAnchor(Ctx& c) {
    Art* a = c.doc.findById(c.args.integer("id", 1, INT32_MAX));
    if (!a || !c.doc.isLive(a)) refuse("no art with id " + std::to_string(c.args.integer("id", 1, INT32_MAX)));
    requireEditable(a->layer());
    if (a->type() != kPathArt) refuse("art " + std::to_string(a->id()) + " is not a path");
    const int last = static_cast<int>(a->segmentCount()) - (a->closed() ? 1 : 2);
    if (last < 0) refuse("art " + std::to_string(a->id()) + " has no segment");
    const size_t i = static_cast<size_t>(c.args.integer("segment", 0, last));
    const double t = c.args.number("t", 0.001, 0.999);
    // de Casteljau: the two halves of the cubic meet at the new anchor.
    auto s = a->segments();
    const Cubic cu = cubicAt(s, i);
    const Point p01 = lerp(cu.p0, cu.p1, t), p12 = lerp(cu.p1, cu.p2, t), p23 = lerp(cu.p2, cu.p3, t);
    const Point l = lerp(p01, p12, t), r = lerp(p12, p23, t), m = lerp(l, r, t);
    const size_t next = (i + 1) % s.size();
    s[i].out = real(p01);
    s[next].in = real(p23);
    s.insert(s.begin() + static_cast<long>(i + 1), AIPathSegment{real(m), real(l), real(r), 0});
    setPath(c, a, s, a->closed());
    c.doc.deselectAll();
    check(c.doc.setSegmentSelection(a, i + 1, kSegmentPointSelected), "addAnchor");
}

void opDeleteAnchors(Ctx& c) {
    bool any = false;
    for (Art* a : selectedPaths(c)) {
        const auto picked = pickedAnchors(*a);
        if (picked.empty()) continue;
        any = true;
        std::vector<bool> gone(a->segmentCount(), false);
        for (size_t i : picked) gone[i] = true;
        if (a->segmentCount() - picked.size() < 2) refuse("art " + std::to_string(a->id()) + " would keep fewer than 2 anchors: delete the path instead");
        const auto segs = withoutAnchors(*a, gone);
        setPath(c, a, segs, a->closed());
        for (size_t i = 0; i < segs.size(); ++i) check(c.doc.setSegmentSelection(a, i, 0), "deleteAnchors");
    }
    if (!any) refuse("no anchor point is selected (pick anchors with Direct Selection)");
}

void opConvertAnchors(Ctx& c) {
    const bool smooth = c.args.word("to", {"corner", "smooth"}) == "smooth";
    c.undoName = smooth ? "Smooth Anchors" : "Corner Anchors";
    bool any = false;
    for (Art* a : selectedPaths(c)) {
        auto s = a->segments();
        const size_t n = s.size();
        for (size_t i = 0; i < n; ++i) {
            if (!(a->segmentSelection(i) & kSegmentPointSelected)) continue;
            any = true;
            AIPathSegment& g = s[i];
            if (!smooth) {
                g.in = g.out = g.p, g.corner = 1;
                continue;
            }
            // Handles along the line through the neighbours, a third of the way to each.
            const bool hasPrev = a->closed() || i > 0, hasNext = a->closed() || i + 1 < n;
            const Point p = at(g.p), prev = hasPrev ? at(s[(i + n - 1) % n].p) : p, next = hasNext ? at(s[(i + 1) % n].p) : p;
            const Point t = direction(prev, next, {1, 0});
            const double li = dist(p, prev) / 3, lo = dist(p, next) / 3;
            g.in = real({p.h - t.h * li, p.v - t.v * li});
            g.out = real({p.h + t.h * lo, p.v + t.v * lo});
            g.corner = 0;
        }
        check(c.doc.setSegments(a, 0, n, s.data()), "convertAnchors");
    }
    if (!any) refuse("no anchor point is selected");
}

void opSplitPath(Ctx& c) {
    bool any = false;
    for (Art* a : selectedPaths(c)) {
        std::vector<size_t> cuts;
        for (size_t i : pickedAnchors(*a))
            if (!isEnd(*a, i)) cuts.push_back(i);
        if (cuts.empty()) continue;
        any = true;
        auto s = a->segments();
        if (a->closed()) {
            // Opened at the first cut: it starts and ends there.
            const size_t k = cuts.front();
            std::rotate(s.begin(), s.begin() + static_cast<long>(k), s.end());
            s.push_back(s.front());
            for (size_t& i : cuts) i = (i + s.size() - 1 - k) % (s.size() - 1);
            cuts.erase(cuts.begin());
        }
        std::vector<std::vector<AIPathSegment>> parts;
        size_t from = 0;
        cuts.push_back(s.size() - 1);
        std::sort(cuts.begin(), cuts.end());
        for (size_t k : cuts) {
            if (k <= from) continue;
            parts.emplace_back(s.begin() + static_cast<long>(from), s.begin() + static_cast<long>(k + 1));
            from = k;
        }
        setPath(c, a, parts.front(), false);
        for (size_t i = 0; i < parts.front().size(); ++i) check(c.doc.setSegmentSelection(a, i, 0), "splitPath");
        Art* below = a;
        for (size_t p = 1; p < parts.size(); ++p) {
            Art* copy = nullptr;
            check(c.doc.duplicateArt(a, kPlaceAbove, below, &copy), "splitPath");
            setPath(c, copy, parts[p], false);
            c.out.made.push_back(copy->id());
            below = copy;
        }
    }
    if (!any) refuse("select an anchor point that is not an end of its path to split it there");
}

void opJoin(Ctx& c) {
    std::vector<std::pair<Art*, size_t>> ends;
    for (Art* a : selectedPaths(c))
        for (size_t i : pickedAnchors(*a))
            if (isEnd(*a, i)) ends.emplace_back(a, i);
    if (ends.size() != 2) refuse("select exactly 2 end points of open paths to join them (" + std::to_string(ends.size()) + " selected)");
    auto [a, ia] = ends[0];
    auto [b, ib] = ends[1];
    auto sa = a->segments();
    auto merge = [](std::vector<AIPathSegment>& s, const std::vector<AIPathSegment>& t) {
        // Ends in the same place become one anchor.
        if (dist(at(s.back().p), at(t.front().p)) < 1e-3) {
            s.back().out = t.front().out;
            s.insert(s.end(), t.begin() + 1, t.end());
        } else {
            s.insert(s.end(), t.begin(), t.end());
        }
    };
    if (a == b) {
        if (sa.size() < 2 || ia == ib) refuse("a path needs 2 different end points to be closed");
        if (dist(at(sa.back().p), at(sa.front().p)) < 1e-3 && sa.size() > 2) {
            sa.front().in = sa.back().in;
            sa.pop_back();
        }
        setPath(c, a, sa, true);
        return;
    }
    auto sb = b->segments();
    auto flip = [](std::vector<AIPathSegment>& s) {
        std::reverse(s.begin(), s.end());
        for (auto& g : s) std::swap(g.in, g.out);
    };
    if (ia == 0) flip(sa);  // a runs into the joined end
    if (ib != 0) flip(sb);  // b runs out of it
    merge(sa, sb);
    setPath(c, a, sa, false);
    check(c.doc.disposeArt(b), "join");
    c.doc.deselectAll();
    check(c.doc.setSelected(a, true), "join");
}

namespace {
// The paths of a target: a compound path's members, or the path itself.
std::vector<Art*> pathsOf(Art* t) {
    if (t->type() != kCompoundPathArt) return {t};
    std::vector<Art*> paths;
    for (Art* m = t->firstChild(); m; m = m->next()) paths.push_back(m);
    return paths;
}
}  // namespace

void opReverse(Ctx& c) {
    for (Art* t : targets(c.doc)) {
        shapeOf(*t, "Reverse", false);
        for (Art* p : pathsOf(t)) setPath(c, p, geometry::reversed({p->segments(), p->closed()}).segments, p->closed());
    }
}

void opSimplify(Ctx& c) {
    const float tolerance = static_cast<float>(c.args.number("tolerance", 0.01, 100, 2));
    for (Art* t : targets(c.doc)) {
        shapeOf(*t, "Simplify", false);
        for (Art* p : pathsOf(t)) {
            // The drawn curve sampled finely, fitted again with fewer curves.
            std::vector<AIRealPoint> pts;
            for (const Cubic& cu : geometry::cubicsOf({p->segments(), p->closed()}))
                for (int q = pts.empty() ? 0 : 1; q <= 24; ++q) pts.push_back(real(pointAt(cu, q / 24.0)));
            auto segs = fitPoints(pts, tolerance);
            if (segs.size() < 2) continue;
            if (p->closed() && segs.size() > 2) {
                segs.front().in = segs.back().in;
                segs.pop_back();
            }
            if (segs.size() < p->segmentCount()) setPath(c, p, segs, p->closed());
        }
    }
}

}  // namespace easel::edit
