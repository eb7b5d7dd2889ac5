#include "Warp.h"

#include <cfloat>
#include <cmath>
#include <numbers>

namespace easel {

namespace {

constexpr double kPi = std::numbers::pi;
// A full distortion makes one side of the box 7/3 times the other.
constexpr double kPerspective = 0.4;
// How far past the box edge the perspective denominator may still grow.
constexpr double kSaturation = 0.25;
// The smallest side of a fitted box, as a fraction of the larger one, so a
// straight line or a flat row of art still bends.
constexpr double kMinAspect = 0.1;
// Subdivision: at most 2^12 pieces per original segment, error sampled at
// kSamples - 1 inner points, aiming a little under the tolerance so the
// error between samples stays under it too.
constexpr int kMaxDepth = 12;
constexpr int kSamples = 8;
constexpr double kAim = 0.8;

double D(float x) { return static_cast<double>(x); }
double clampUnit(float v) { return std::clamp(D(v), -1.0, 1.0); }

// sin(x) / x, exact at and near 0.
double sinc(double x) { return std::abs(x) < 1e-4 ? 1 - x * x / 6 : std::sin(x) / x; }

// x itself on [-1, 1]; beyond, it tends smoothly (matching value and slope
// at the edge) to +-(1 + kSaturation). Keeps the perspective denominators
// positive for points outside the box.
double saturate(double x) {
    const double m = std::abs(x);
    if (m <= 1) return x;
    const double s = 1 + kSaturation * (1 - std::exp(-(m - 1) / kSaturation));
    return x < 0 ? -s : s;
}

// 1 at the centre, falling to 0 with zero slope at r2 = 1, 0 beyond.
double bump(double r2) { return r2 >= 1 ? 0 : (1 - r2) * (1 - r2); }

WarpPoint add(WarpPoint a, WarpPoint b) { return {a.h + b.h, a.v + b.v}; }
WarpPoint sub(WarpPoint a, WarpPoint b) { return {a.h - b.h, a.v - b.v}; }
WarpPoint lerp(WarpPoint a, WarpPoint b, double t) { return {a.h + (b.h - a.h) * t, a.v + (b.v - a.v) * t}; }
WarpPoint apply(const double j[4], WarpPoint d) { return {j[0] * d.h + j[2] * d.v, j[1] * d.h + j[3] * d.v}; }
double distance(WarpPoint a, WarpPoint b) { return std::hypot(a.h - b.h, a.v - b.v); }
WarpPoint toPoint(const AIRealPoint& p) { return {D(p.h), D(p.v)}; }

bool sameFloatPoint(const AIRealPoint& a, const AIRealPoint& b) { return a.h == b.h && a.v == b.v; }

}  // namespace

bool isIdentityWarp(const EnvelopeWarp& w) {
    if (w.style < 1 || w.style > 15) return true;
    return w.bend == 0 && w.horizontal == 0 && w.vertical == 0;
}

// ---------------------------------------------------------------------------
// The field

WarpField::WarpField(const EnvelopeWarp& warp, const AIRealRect& box) {
    if (isIdentityWarp(warp) || isEmptyRect(box)) return;
    if (!std::isfinite(box.left) || !std::isfinite(box.right) || !std::isfinite(box.top) ||
        !std::isfinite(box.bottom))
        return;
    double w = (D(box.right) - D(box.left)) / 2;
    double h = (D(box.top) - D(box.bottom)) / 2;
    const double big = std::max(w, h);
    if (!(big > 0)) return;  // a single point: nothing to deform
    w_ = std::max(w, kMinAspect * big);
    h_ = std::max(h, kMinAspect * big);
    cx_ = (D(box.left) + D(box.right)) / 2;
    cy_ = (D(box.bottom) + D(box.top)) / 2;
    style_ = warp.style;
    bend_ = clampUnit(warp.bend);
    // Positive horizontal distortion enlarges the right side, positive
    // vertical distortion the top.
    gh_ = -kPerspective * clampUnit(warp.horizontal);
    gv_ = -kPerspective * clampUnit(warp.vertical);
    turn_ = warp.rotate90;
    identity_ = false;
}

// One style in a frame whose horizontal axis is the warp's axis: (a, c) the
// offset from the box centre, W and H the half sizes along the frame's axes.
// Most styles work in units of the half sizes (x, y in -1..1 over the box).
WarpPoint WarpField::style(double a, double c, double W, double H) const {
    const double b = bend_;
    const double x = a / W;
    const double y = c / H;
    const double across = 1 - x * x;  // 1 in the middle, 0 at the left and right edges
    const double low = (1 - y) / 2;   // 1 at the bottom edge, 0 at the top
    const double up = (1 + y) / 2;    // 1 at the top edge, 0 at the bottom
    // Sideways swelling is measured against the smaller side, so a long
    // line of text puffs up like a square does instead of being sheared.
    const double m = std::min(W, H);
    const double mw = m / W, mh = m / H;
    double X = x;
    double Y = y;
    switch (style_) {
        case 1: {
            // Arc: the box bent round a circle, horizontals become concentric
            // arcs and verticals radii. The turn is limited so that the inner
            // edge keeps a positive radius. Written with sinc so a small bend
            // is a small change (no division by the vanishing angle).
            const double phi = b * std::min(kPi / 2, W / (1.25 * H));
            const double alpha = x * phi;
            const double half = sinc(alpha / 2);
            return {a * sinc(alpha) + c * std::sin(alpha),
                    c * std::cos(alpha) - a * a * phi / (2 * W) * half * half};
        }
        case 2:  // arc lower: the bottom edge bows, the top stays straight
            Y = y - b * low * across;
            break;
        case 3:  // arc upper: the top edge bows, the bottom stays straight
            Y = y + b * up * across;
            break;
        case 4:  // arch: top and bottom bow together, verticals stay upright
            Y = y + b * across;
            break;
        case 5:  // bulge: top and bottom bow apart, the middle line stays
            Y = y * (1 + 0.5 * b * across);
            break;
        case 6:  // shell lower: the bottom bows and fans out
            X = x * (1 + 0.5 * b * low * mw);
            Y = y - b * low * across;
            break;
        case 7:  // shell upper: the top bows and fans out
            X = x * (1 + 0.5 * b * up * mw);
            Y = y + b * up * across;
            break;
        case 8:  // flag: one period of a wave, the same at every height
            Y = y + 0.5 * b * std::sin(kPi * x);
            break;
        case 9:  // wave: two periods whose phase drifts with the height
            Y = y + 0.35 * b * std::sin(2 * kPi * x + 0.5 * kPi * y);
            break;
        case 10:  // fish: a full body on the left, narrowing to the tail
            Y = y * (1 + 0.5 * b * std::sin(0.75 * kPi * (x + 1)));
            break;
        case 11:  // rise: low on the left, high on the right, edges parallel
            Y = y + 0.6 * b * std::sin(0.5 * kPi * x);
            break;
        case 12: {  // fisheye: the middle magnified, the edges left alone
            const double k = 1 + 0.5 * b * bump(x * x + y * y);
            X = x * k;
            Y = y * k;
            break;
        }
        case 13:  // inflate: every edge bows outwards
            X = x * (1 + 0.35 * b * (1 - y * y) * mw);
            Y = y * (1 + 0.35 * b * across * mh);
            break;
        case 14:  // squeeze: the sides pinch in, top and bottom bow out
            X = x * (1 - 0.4 * b * (1 - y * y) * mw);
            Y = y * (1 + 0.3 * b * across * mh);
            break;
        case 15: {
            // Twist: turned about the centre by an angle that is largest
            // there and falls to nothing at the corners.
            const double r2 = (a * a + c * c) / (W * W + H * H);
            const double t = b * (kPi / 2) * bump(r2);
            const double ct = std::cos(t), st = std::sin(t);
            return {a * ct - c * st, a * st + c * ct};
        }
        default:
            break;
    }
    return {X * W, Y * H};
}

WarpPoint WarpField::map(WarpPoint p) const {
    if (identity_) return p;
    const double dx = p.h - cx_;
    const double dy = p.v - cy_;
    WarpPoint s;
    if (turn_) {
        // The warp's axis turned by 90 degrees: run the style in a frame
        // turned clockwise, then turn the result back.
        const WarpPoint t = style(dy, -dx, h_, w_);
        s = {-t.v, t.h};
    } else {
        s = style(dx, dy, w_, h_);
    }
    // Perspective on the styled shape: a projective map of the box onto a
    // trapezoid (exact on the box, kept finite beyond it by the saturated
    // denominators, which never fall below 1 - kPerspective (1 + kSaturation)).
    double x = s.h / w_;
    double y = s.v / h_;
    if (gh_ != 0) {
        const double d = 1 + gh_ * saturate(x);
        const double nx = (x + gh_) / d;
        y = y * (1 - gh_ * gh_) / d;
        x = nx;
    }
    if (gv_ != 0) {
        const double d = 1 + gv_ * saturate(y);
        const double ny = (y + gv_) / d;
        x = x * (1 - gv_ * gv_) / d;
        y = ny;
    }
    return {cx_ + x * w_, cy_ + y * h_};
}

// ---------------------------------------------------------------------------
// Chains

void WarpChain::push(const WarpField& field) {
    if (field.identity()) return;
    fields_.push_back(field);
    step_ = std::max(step_, 1e-6 * field.size());
}

WarpChain WarpChain::under(const WarpField& inner) const {
    WarpChain c;
    c.push(inner);
    for (const WarpField& f : fields_) c.push(f);
    return c;
}

WarpPoint WarpChain::map(WarpPoint p) const {
    for (const WarpField& f : fields_) p = f.map(p);
    return p;
}

void WarpChain::jacobian(WarpPoint p, double out[4]) const {
    if (fields_.empty()) {
        out[0] = out[3] = 1;
        out[1] = out[2] = 0;
        return;
    }
    const double s = std::max(step_, 1e-9 * std::max(std::abs(p.h), std::abs(p.v)));
    const WarpPoint dh = sub(map({p.h + s, p.v}), map({p.h - s, p.v}));
    const WarpPoint dv = sub(map({p.h, p.v + s}), map({p.h, p.v - s}));
    out[0] = dh.h / (2 * s);
    out[1] = dh.v / (2 * s);
    out[2] = dv.h / (2 * s);
    out[3] = dv.v / (2 * s);
}

// ---------------------------------------------------------------------------
// Contours

namespace {

struct Cubic {
    WarpPoint p[4];
};

WarpPoint at(const Cubic& c, double t) {
    const double u = 1 - t;
    const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    return {b0 * c.p[0].h + b1 * c.p[1].h + b2 * c.p[2].h + b3 * c.p[3].h,
            b0 * c.p[0].v + b1 * c.p[1].v + b2 * c.p[2].v + b3 * c.p[3].v};
}

void split(const Cubic& c, Cubic& left, Cubic& right) {
    const WarpPoint a = lerp(c.p[0], c.p[1], 0.5), b = lerp(c.p[1], c.p[2], 0.5), d = lerp(c.p[2], c.p[3], 0.5);
    const WarpPoint ab = lerp(a, b, 0.5), bd = lerp(b, d, 0.5);
    const WarpPoint m = lerp(ab, bd, 0.5);
    left = Cubic{{c.p[0], a, ab, m}};
    right = Cubic{{m, bd, d, c.p[3]}};
}

// A point of the original contour with its image and the warp's derivative.
struct Node {
    WarpPoint w;
    double j[4];
};

class ContourWarper {
public:
    ContourWarper(const WarpChain& chain, double tolerance) : chain_(chain), aim_(kAim * tolerance) {}

    Node node(WarpPoint p) const {
        Node n{chain_.map(p), {}};
        chain_.jacobian(p, n.j);
        return n;
    }

    // Appends the pieces that follow the image of `b` from n0 to n3.
    void fit(const Cubic& b, const Node& n0, const Node& n3, int depth, std::vector<Cubic>& out) const {
        // Hermite fit: end points mapped, end tangents mapped by the
        // derivative (the direction points follow the linearised warp).
        const Cubic q{{n0.w, add(n0.w, apply(n0.j, sub(b.p[1], b.p[0]))), add(n3.w, apply(n3.j, sub(b.p[2], b.p[3]))),
                       n3.w}};
        if (depth < kMaxDepth) {
            double err = 0;
            for (int i = 1; i < kSamples && err <= aim_; ++i) {
                const double t = static_cast<double>(i) / kSamples;
                err = std::max(err, distance(chain_.map(at(b, t)), at(q, t)));
            }
            if (!(err <= aim_)) {
                Cubic l, r;
                split(b, l, r);
                const Node m = node(l.p[3]);
                fit(l, n0, m, depth + 1, out);
                fit(r, m, n3, depth + 1, out);
                return;
            }
        }
        out.push_back(q);
    }

private:
    const WarpChain& chain_;
    double aim_;
};

// A double as a finite float, or false.
bool toFloat(double v, float& out) {
    if (!std::isfinite(v) || std::abs(v) > static_cast<double>(FLT_MAX)) return false;
    out = static_cast<float>(v);
    return true;
}

bool toFloat(WarpPoint p, AIRealPoint& out) { return toFloat(p.h, out.h) && toFloat(p.v, out.v); }

}  // namespace

bool warpContour(const WarpChain& chain, const AIPathSegment* segs, size_t count, bool closed,
                 std::vector<AIPathSegment>& out, double tolerance) {
    out.clear();
    if (count == 0 || segs == nullptr) return true;
    if (chain.identity()) {
        out.assign(segs, segs + count);
        return true;
    }
    const ContourWarper warper(chain, tolerance);
    std::vector<Node> nodes;
    nodes.reserve(count);
    for (size_t k = 0; k < count; ++k) nodes.push_back(warper.node(toPoint(segs[k].p)));

    const size_t curves = closed ? count : count - 1;
    std::vector<std::vector<Cubic>> pieces(curves);
    for (size_t i = 0; i < curves; ++i) {
        const size_t e = (i + 1) % count;
        Cubic b{{toPoint(segs[i].p), toPoint(segs[i].out), toPoint(segs[e].in), toPoint(segs[e].p)}};
        // A straight segment (both direction points on their anchors) is
        // given direction points a third of the way along, so its image
        // bends with the warp instead of staying a chord.
        if (sameFloatPoint(segs[i].out, segs[i].p) && sameFloatPoint(segs[e].in, segs[e].p)) {
            b.p[1] = lerp(b.p[0], b.p[3], 1.0 / 3);
            b.p[2] = lerp(b.p[0], b.p[3], 2.0 / 3);
        }
        warper.fit(b, nodes[i], nodes[e], 0, pieces[i]);
    }

    for (size_t k = 0; k < count; ++k) {
        const Node& n = nodes[k];
        WarpPoint in, outDir;
        if (k > 0 || closed) {
            in = pieces[(k + count - 1) % count].back().p[2];
        } else {
            in = add(n.w, apply(n.j, sub(toPoint(segs[k].in), toPoint(segs[k].p))));
        }
        if (k < curves) {
            outDir = pieces[k].front().p[1];
        } else {
            outDir = add(n.w, apply(n.j, sub(toPoint(segs[k].out), toPoint(segs[k].p))));
        }
        AIPathSegment s{};
        s.corner = segs[k].corner ? 1 : 0;
        if (!toFloat(n.w, s.p) || !toFloat(in, s.in) || !toFloat(outDir, s.out)) return false;
        out.push_back(s);
        if (k < curves) {
            const std::vector<Cubic>& ps = pieces[k];
            for (size_t j = 0; j + 1 < ps.size(); ++j) {
                AIPathSegment m{};
                if (!toFloat(ps[j].p[3], m.p) || !toFloat(ps[j].p[2], m.in) || !toFloat(ps[j + 1].p[1], m.out))
                    return false;
                out.push_back(m);
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Art

namespace {

// The outline of an object's local box on the page, before any warp.
std::vector<AIPathSegment> objectOutline(const Art& art) {
    const AIRealRect b = art.object().localBox();
    const AIRealMatrix& m = art.objectMatrix();
    const AIRealPoint corners[4] = {{b.left, b.bottom}, {b.right, b.bottom}, {b.right, b.top}, {b.left, b.top}};
    std::vector<AIPathSegment> segs;
    for (const AIRealPoint& c : corners) {
        const AIRealPoint p = transformPoint(m, c);
        segs.push_back(AIPathSegment{p, p, p, 1});
    }
    return segs;
}

}  // namespace

const WarpField& WarpedGeometry::field(const Art& envelope) {
    if (envelope.type() != kEnvelopeArt || isIdentityWarp(envelope.warp())) return identity_;
    auto it = fields_.find(&envelope);
    if (it != fields_.end()) return it->second;
    AIRealRect box = kEmptyRect;
    bool ok = true;
    for (const Art* c = envelope.firstChild(); c && ok; c = c->next()) ok = boundsUnder(*c, WarpChain{}, box);
    // Contents that cannot be measured are not warped.
    const WarpField f = ok ? WarpField(envelope.warp(), box) : WarpField();
    return fields_.emplace(&envelope, f).first->second;
}

WarpChain WarpedGeometry::chainOf(const Art& art) {
    WarpChain chain;
    for (const Art* p = art.parent(); p; p = p->parent()) {
        if (p->type() == kEnvelopeArt) chain.push(field(*p));
    }
    return chain;
}

bool WarpedGeometry::path(const Art& art, std::vector<AIPathSegment>& out) {
    const std::vector<AIPathSegment> segs = art.segments();
    return warpContour(chainOf(art), segs.data(), segs.size(), art.closed(), out);
}

bool WarpedGeometry::contour(const Art& art, const AIPathSegment* segs, size_t count, bool closed,
                             std::vector<AIPathSegment>& out) {
    return warpContour(chainOf(art), segs, count, closed, out);
}

bool WarpedGeometry::mesh(const Art& art, int cols, int rows, std::vector<AIRealPoint>& out) {
    out.clear();
    if (cols < 1 || rows < 1) return false;
    const WarpChain chain = chainOf(art);
    const AIRealRect b = art.object().localBox();
    const AIRealMatrix& m = art.objectMatrix();
    out.reserve(static_cast<size_t>(cols + 1) * static_cast<size_t>(rows + 1));
    for (int j = 0; j <= rows; ++j) {
        const double fv = static_cast<double>(j) / rows;
        for (int i = 0; i <= cols; ++i) {
            const double fh = static_cast<double>(i) / cols;
            const double lh = D(b.left) + (D(b.right) - D(b.left)) * fh;
            const double lv = D(b.bottom) + (D(b.top) - D(b.bottom)) * fv;
            const WarpPoint page{D(m.a) * lh + D(m.c) * lv + D(m.tx), D(m.b) * lh + D(m.d) * lv + D(m.ty)};
            AIRealPoint p{};
            if (!toFloat(chain.map(page), p)) return false;
            out.push_back(p);
        }
    }
    return true;
}

bool WarpedGeometry::boundsUnder(const Art& art, const WarpChain& chain, AIRealRect& r) {
    std::vector<AIPathSegment> warped;
    if (art.hasPath()) {
        if (art.segmentCount() == 0) return true;
        if (chain.identity()) {
            const auto& g = art.sharedGeometry();
            const AIRealMatrix& pm = art.pendingMatrix();
            r = unionRect(r, isIdentity(pm) ? g->bounds(art.closed())
                                            : bezierBounds(g->segments.data(), g->segments.size(), art.closed(), &pm));
            return true;
        }
        const std::vector<AIPathSegment> segs = art.segments();
        if (!warpContour(chain, segs.data(), segs.size(), art.closed(), warped)) return false;
        r = unionRect(r, bezierBounds(warped.data(), warped.size(), art.closed()));
        return true;
    }
    if (art.hasObjectMatrix()) {
        if (chain.identity()) {
            r = unionRect(r, transformedBox(art.object().localBox(), art.objectMatrix()));
            return true;
        }
        const std::vector<AIPathSegment> segs = objectOutline(art);
        if (!warpContour(chain, segs.data(), segs.size(), true, warped)) return false;
        r = unionRect(r, bezierBounds(warped.data(), warped.size(), true));
        return true;
    }
    if (art.type() == kEnvelopeArt) {
        const WarpField& f = field(art);
        if (!f.identity()) {
            const WarpChain inner = chain.under(f);
            for (const Art* c = art.firstChild(); c; c = c->next()) {
                if (!boundsUnder(*c, inner, r)) return false;
            }
            return true;
        }
    }
    for (const Art* c = art.firstChild(); c; c = c->next()) {
        if (!boundsUnder(*c, chain, r)) return false;
    }
    return true;
}

bool WarpedGeometry::bounds(const Art& art, AIRealRect& out) {
    AIRealRect r = kEmptyRect;
    if (!boundsUnder(art, WarpChain{}, r)) return false;
    if (!isEmptyRect(r) && (!std::isfinite(r.left) || !std::isfinite(r.right) || !std::isfinite(r.top) ||
                            !std::isfinite(r.bottom)))
        return false;
    out = r;
    return true;
}

bool WarpedGeometry::finite(const Art& art) {
    AIRealRect r;
    return bounds(art, r);
}

bool warpedEnvelopeBounds(const Art& envelope, AIRealRect& out) {
    WarpedGeometry g;
    return g.bounds(envelope, out);
}

}  // namespace easel
