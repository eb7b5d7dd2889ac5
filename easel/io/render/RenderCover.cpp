#include "RenderCover.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

namespace easel {

namespace {

// Path points are held by cairo in 1/256 units, in the path's own
// coordinates when it is built and then in pixels: each may move by half a
// unit. Coordinates from here on would not fit; such art is always drawn.
constexpr double kFixedStep = 1.0 / 256;
constexpr double kMaxFixed = 4194304;  // 2^22

// Pixels of one band, one bit each: set where opaque paint drawn later
// decides the pixel's final colour on its own.
class Cover {
public:
    // Whole pixels [x0, x1) x [y0, y1) of the picture.
    struct Span {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool empty() const { return x0 >= x1 || y0 >= y1; }
        long area() const { return empty() ? 0 : static_cast<long>(x1 - x0) * (y1 - y0); }
    };

    Cover(int width, int top, int bottom)
        : w_(width), top_(top), bottom_(bottom), words_((static_cast<size_t>(width) + 63) / 64),
          bits_(words_ * static_cast<size_t>(std::max(0, bottom - top)), 0) {}

    // The pixels of the band a box touches.
    Span touchedBy(const PixelBox& b) const {
        return {down(b.x0 - kMargin, 0, w_), down(b.y0 - kMargin, top_, bottom_), up(b.x1 + kMargin, 0, w_),
                up(b.y1 + kMargin, top_, bottom_)};
    }
    // Marks the pixels of `within` wholly inside the box.
    void mark(const PixelBox& b, const Span& within) {
        const Span s{std::max(within.x0, up(b.x0 + kMargin, 0, w_)), std::max(within.y0, up(b.y0 + kMargin, top_, bottom_)),
                     std::min(within.x1, down(b.x1 - kMargin, 0, w_)),
                     std::min(within.y1, down(b.y1 - kMargin, top_, bottom_))};
        if (s.empty()) return;
        const Words w = words(s);
        for (int y = s.y0; y < s.y1; ++y) {
            uint64_t* r = row(y);
            r[w.first] |= w.head;
            for (size_t i = w.first + 1; i < w.last; ++i) r[i] = ~uint64_t{0};
            r[w.last] |= w.tail;
        }
    }
    // Whether every pixel of the span is marked.
    bool full(const Span& s) const {
        if (s.empty()) return true;
        const Words w = words(s);
        for (int y = s.y0; y < s.y1; ++y)
            if (!full(row(y), w)) return false;
        return true;
    }
    // The smallest span holding the pixels of `s` not marked (empty when
    // all are).
    Span unmarked(const Span& s) const {
        if (s.empty()) return {};
        const Words w = words(s);
        Span u{s.x1, 0, s.x0, 0};
        for (int y = s.y0; y < s.y1; ++y) {
            const uint64_t* r = row(y);
            if (full(r, w)) continue;
            // A row not full has an open bit from both ends.
            size_t i = w.first;
            uint64_t open = ~r[i] & w.head;
            while (open == 0) {
                ++i;
                open = ~r[i] & (i == w.last ? w.tail : ~uint64_t{0});
            }
            u.x0 = std::min(u.x0, static_cast<int>(i * 64) + std::countr_zero(open));
            i = w.last;
            open = ~r[i] & w.tail;
            while (open == 0) {
                --i;
                open = ~r[i] & (i == w.first ? w.head : ~uint64_t{0});
            }
            u.x1 = std::max(u.x1, static_cast<int>(i * 64) + 64 - std::countl_zero(open));
            if (u.y1 == 0) u.y0 = y;
            u.y1 = y + 1;
        }
        return u.y1 == 0 ? Span{} : u;
    }

private:
    static constexpr double kMargin = 1.0 / 64;  // well above cairo's 1/256 pixel grid
    // The words of a row holding columns [x0, x1): the bits in the first
    // (`head`) and last (`tail`, both when they are one word), all between.
    struct Words {
        size_t first, last;
        uint64_t head, tail;
    };
    static Words words(const Span& s) {
        Words w{static_cast<size_t>(s.x0) / 64, static_cast<size_t>(s.x1 - 1) / 64, ~uint64_t{0} << (s.x0 % 64),
                ~uint64_t{0} >> (63 - (s.x1 - 1) % 64)};
        if (w.first == w.last) w.head = w.tail = w.head & w.tail;
        return w;
    }
    static bool full(const uint64_t* r, const Words& w) {
        if ((r[w.first] & w.head) != w.head || (r[w.last] & w.tail) != w.tail) return false;
        for (size_t i = w.first + 1; i < w.last; ++i)
            if (r[i] != ~uint64_t{0}) return false;
        return true;
    }
    // v rounded down (up), within [lo, hi].
    static int down(double v, int lo, int hi) {
        if (!(v > lo)) return lo;
        if (!(v < hi)) return hi;
        const int i = static_cast<int>(v);
        return i > v ? i - 1 : i;
    }
    static int up(double v, int lo, int hi) {
        if (!(v > lo)) return lo;
        if (!(v < hi)) return hi;
        const int i = static_cast<int>(v);
        return i < v ? i + 1 : i;
    }
    uint64_t* row(int y) { return &bits_[static_cast<size_t>(y - top_) * words_]; }
    const uint64_t* row(int y) const { return &bits_[static_cast<size_t>(y - top_) * words_]; }

    int w_, top_, bottom_;
    size_t words_;
    std::vector<uint64_t> bits_;
};

bool finite(const PixelBox& b) {
    return std::isfinite(b.x0) && std::isfinite(b.y0) && std::isfinite(b.x1) && std::isfinite(b.y1);
}

// The box of the anchor and direction points of a geometry, in its own
// coordinates (the path lies inside), or nothing past kMaxFixed.
std::optional<PixelBox> pointBox(const PathGeometry& g) {
    PixelBox b{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const AIPathSegment& s : g.segments) {
        for (const AIRealPoint& p : {s.p, s.in, s.out}) {
            const double x = p.h, y = p.v;
            if (!(std::fabs(x) < kMaxFixed && std::fabs(y) < kMaxFixed)) return std::nullopt;
            b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x), std::max(b.y1, y)};
        }
    }
    return b;
}

// The box of a geometry's box through a matrix.
PixelBox transformed(const PixelBox& g, const cairo_matrix_t& m) {
    PixelBox b{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (double x : {g.x0, g.x1}) {
        for (double y : {g.y0, g.y1}) {
            double px = x, py = y;
            cairo_matrix_transform_point(&m, &px, &py);
            b = {std::min(b.x0, px), std::min(b.y0, py), std::max(b.x1, px), std::max(b.y1, py)};
        }
    }
    return b;
}

bool samePoint(const AIRealPoint& a, const AIRealPoint& b) { return a.h == b.h && a.v == b.v; }

// Whether a path is an axis-aligned rectangle in its own coordinates: four
// corners joined by straight sides, closed.
bool rectangle(const Art& a) {
    if (!a.closed() || a.segmentCount() != 4) return false;
    const std::vector<AIPathSegment>& segs = a.sharedGeometry()->segments;
    for (const AIPathSegment& s : segs) {
        if (!samePoint(s.in, s.p) || !samePoint(s.out, s.p)) return false;
    }
    const AIRealPoint &p0 = segs[0].p, &p1 = segs[1].p, &p2 = segs[2].p, &p3 = segs[3].p;
    const bool flatFirst = p0.v == p1.v && p1.h == p2.h && p2.v == p3.v && p3.h == p0.h;
    const bool uprightFirst = p0.h == p1.h && p1.v == p2.v && p2.h == p3.h && p3.v == p0.v;
    return flatFirst || uprightFirst;
}

// Whether a stroke is drawn dashed (as the painter decides: a pattern that
// is negative or adds up to nothing draws solid).
bool dashed(const AIStrokeStyle& k) {
    const int n = std::min(k.dashCount, kMaxDashComponents);
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        if (k.dash[i] < 0) return false;
        sum += static_cast<double>(k.dash[i]);
    }
    return n > 0 && sum > 0;
}

// Whether the painter joins the stroke's sides with mitres.
bool mitred(const AIStrokeStyle& k) { return k.join != kRoundJoin && k.join != kBevelJoin; }

// A float at or above (below) `v`.
float floatUp(double v) {
    const float f = static_cast<float>(v);
    return double{f} < v ? std::nextafter(f, HUGE_VALF) : f;
}
float floatDown(double v) {
    const float f = static_cast<float>(v);
    return double{f} > v ? std::nextafter(f, -HUGE_VALF) : f;
}

// Keeps the exact box `b` as the nearest floats, with `qx`, `qy` grown by
// how far they moved, and `reach` rounded up: each box the reach gives then
// holds the exact one's. False when a side is out of a float's range.
bool keepBox(const PixelBox& b, double qx, double qy, double reach, ArtReach& r) {
    r.x0 = static_cast<float>(b.x0), r.y0 = static_cast<float>(b.y0);
    r.x1 = static_cast<float>(b.x1), r.y1 = static_cast<float>(b.y1);
    const PixelBox kept = r.rect();
    if (!finite(kept)) return false;
    const double ex = std::max(std::fabs(kept.x0 - b.x0), std::fabs(kept.x1 - b.x1));
    const double ey = std::max(std::fabs(kept.y0 - b.y0), std::fabs(kept.y1 - b.y1));
    r.qx = floatUp(qx + ex);
    r.qy = floatUp(qy + ey);
    r.reach = floatUp(reach);
    return finite(r.touched());
}

// The opaque parts of a rectangle path with device box `b`: the fill, and
// the bands of a solid stroke of half width `h`, with square corners where
// the join mitres right angles (1 / sin 45 degrees < 1.5). The bands are
// kept rounded down: less is taken as covered, never more.
void solids(const AIStrokeStyle& k, const PixelBox& b, double h, ArtReach& r) {
    r.solidFill = r.fillDrawn;
    if (r.stroked && !dashed(k) && b.x1 - b.x0 > 2 * h + 2 && b.y1 - b.y0 > 2 * h + 2) {
        r.band = floatDown(h);
        r.corner = mitred(k) && k.miterLimit >= 1.5f ? r.band : 0;
    }
}

// Marks what an art's stroke paints opaque.
void markBands(const ArtReach& r, Cover& cover, const Cover::Span& within) {
    if (r.band <= 0) return;
    const PixelBox b = r.rect();
    const double h = r.band, c = r.corner, qx = r.qx, qy = r.qy;
    cover.mark({b.x0 - c + qx, b.y0 - h + qy, b.x1 + c - qx, b.y0 + h - qy}, within);
    cover.mark({b.x0 - c + qx, b.y1 - h + qy, b.x1 + c - qx, b.y1 + h - qy}, within);
    cover.mark({b.x0 - h + qx, b.y0 + qy, b.x0 + h - qx, b.y1 - qy}, within);
    cover.mark({b.x1 - h + qx, b.y0 + qy, b.x1 + h - qx, b.y1 - qy}, within);
}

class Reach {
public:
    Reach(const cairo_matrix_t& page, const std::function<bool(const AIColor&)>& painted)
        : page_(page), scale_(std::sqrt(std::fabs(page.xx * page.yy - page.xy * page.yx))), painted_(painted) {}

    ArtReach of(const Art& a);

private:
    const std::optional<PixelBox>& geometryBox(const Art& a);

    const cairo_matrix_t& page_;
    const double scale_;
    const std::function<bool(const AIColor&)>& painted_;
    std::unordered_map<const PathGeometry*, std::optional<PixelBox>> shared_;
    std::optional<PixelBox> single_;
};

const std::optional<PixelBox>& Reach::geometryBox(const Art& a) {
    const std::shared_ptr<const PathGeometry>& g = a.sharedGeometry();
    if (g.use_count() < 2) return single_ = pointBox(*g);
    auto it = shared_.find(g.get());
    if (it == shared_.end()) it = shared_.emplace(g.get(), pointBox(*g)).first;
    return it->second;
}

ArtReach Reach::of(const Art& a) {
    ArtReach r;
    if (a.hidden()) {
        r.known = r.empty = true;
        return r;
    }
    if (a.type() != kPathArt || a.opacity() != 1 || a.blendMode() != 0) return r;
    const size_t n = a.segmentCount();
    if (n < 2 && !(n == 1 && a.closed())) {  // nothing is drawn for it
        r.known = r.empty = true;
        return r;
    }
    // A matrix cairo refuses stops the drawing: such art is drawn.
    const AIRealMatrix& m = a.pendingMatrix();
    const cairo_matrix_t pending{m.a, m.b, m.c, m.d, m.tx, m.ty};
    const double det = pending.xx * pending.yy - pending.yx * pending.xy;
    if (!std::isfinite(det) || det == 0 || !std::isfinite(pending.x0) || !std::isfinite(pending.y0)) return r;
    const std::optional<PixelBox>& points = geometryBox(a);
    if (!points) return r;
    cairo_matrix_t dev;
    cairo_matrix_multiply(&dev, &pending, &page_);
    const double qx = (std::fabs(dev.xx) + std::fabs(dev.xy)) * kFixedStep / 2;
    const double qy = (std::fabs(dev.yx) + std::fabs(dev.yy)) * kFixedStep / 2;
    const PixelBox exact = transformed(*points, dev);
    const AIPathStyle& s = a.style();
    const AIStrokeStyle& k = s.stroke;
    r.fillDrawn = s.fillPaint && painted_(s.fill.color);
    r.stroked = s.strokePaint && k.width > 0 && painted_(k.color);
    // A stroke stays within half its width of the path, but at mitred joins
    // (at most the mitre limit times that) and square caps (sqrt 2 times);
    // half a pixel more for the pen's polygon. A rectangle's square corners
    // go out by half the width on each axis.
    const bool box = dev.xy == 0 && dev.yx == 0 && rectangle(a);
    const double h = r.stroked ? static_cast<double>(k.width) * scale_ / 2 : 0;
    const double spike = mitred(k) ? std::max(1.5, static_cast<double>(k.miterLimit)) : 1.5;
    const double reach = !r.stroked ? 0 : box ? h + kFixedStep : h * spike + 0.5;
    if (!keepBox(exact, qx, qy, reach, r)) return r;
    r.known = true;
    r.empty = !r.fillDrawn && !r.stroked;
    if (box) {
        solids(k, exact, h, r);
        // A rectangle's fill is one box; its stroke is boxes where the
        // joins are mitred (square corners), solid and without round caps.
        r.trimmable = !r.stroked || (mitred(k) && k.miterLimit >= 1.5f && !dashed(k) && k.cap != kRoundCap);
    }
    return r;
}

}  // namespace

std::vector<ArtReach> artReach(const std::vector<const Art*>& arts, const cairo_matrix_t& page,
                               const std::function<bool(const AIColor&)>& painted) {
    std::vector<ArtReach> out(arts.size());
    auto part = [&](size_t from, size_t to) {
        Reach reach(page, painted);
        for (size_t i = from; i < to; ++i) out[i] = reach.of(*arts[i]);
    };
    // A large document in two halves, the second on a thread of its own.
    constexpr size_t kArtPerThread = 4096;
    const size_t half = arts.size() >= 2 * kArtPerThread ? arts.size() / 2 : arts.size();
    std::thread second;
    if (half < arts.size()) {
        try {
            second = std::thread(part, half, arts.size());
        } catch (const std::system_error&) {
            part(half, arts.size());  // no thread to be had: done here
        }
    }
    part(0, half);
    if (second.joinable()) second.join();
    return out;
}

BandCulls cullBand(const std::vector<ArtReach>& reach, int width, int top, int bottom) {
    BandCulls out;
    out.cull.assign(reach.size(), Cull::draw);
    Cover cover(width, top, bottom);
    // Trims keep their pixels in 16 bits and their art in 32.
    const bool trims = width <= UINT16_MAX && bottom <= UINT16_MAX && reach.size() <= UINT32_MAX;
    // Room for all at once: no list copied as it grows, and the pages of a
    // large list that stay unused are never touched.
    if (trims) out.trims.reserve(reach.size());
    // From the top of the drawing down: what is drawn later is known first.
    for (size_t i = reach.size(); i-- > 0;) {
        const ArtReach& r = reach[i];
        if (!r.known) continue;
        const Cover::Span touched = cover.touchedBy(r.touched());
        const Cover::Span open = r.empty ? Cover::Span{} : cover.unmarked(touched);
        if (open.empty()) {
            out.cull[i] = Cull::skip;
            continue;
        }
        // Drawn within its open pixels when they are a small part of it.
        if (r.trimmable && trims && open.area() * 2 <= touched.area()) {
            out.trims.push_back({static_cast<uint32_t>(i), static_cast<uint16_t>(open.x0),
                                 static_cast<uint16_t>(open.y0), static_cast<uint16_t>(open.x1),
                                 static_cast<uint16_t>(open.y1)});
        }
        // Its own stroke is drawn over its fill; outside `open` all is
        // covered already.
        markBands(r, cover, open);
        if (r.fillDrawn) {
            Cover::Span f = cover.touchedBy(r.fill());
            f = {std::max(f.x0, open.x0), std::max(f.y0, open.y0), std::min(f.x1, open.x1), std::min(f.y1, open.y1)};
            if (cover.full(f)) out.cull[i] = Cull::noFill;
            else if (r.solidFill) cover.mark(r.solid(), open);
        }
    }
    return out;
}

}  // namespace easel
