// Art under envelopes written as the warp leaves it.
#include <algorithm>
#include <cmath>
#include <optional>

#include "SvgShared.h"
#include "SvgWriter.h"

namespace easel::svgout {

bool Writer::warpedSegments(const Art& a, std::vector<AIPathSegment>& out) {
    if (warps_.chainOf(a).identity()) return false;
    std::vector<AIPathSegment> shown;
    // A warp the document accepted is finite; should one not be, the
    // contents are drawn as stored rather than not at all.
    if (!warps_.path(a, shown)) return false;
    out = std::move(shown);
    return true;
}

bool Writer::warpedMatrix(const Art& a, AIRealMatrix& out) {
    const WarpChain chain = warps_.chainOf(a);
    if (chain.identity()) return false;
    const AIRealRect b = a.object().localBox();
    const AIRealMatrix& m = a.objectMatrix();
    auto D = [](float v) { return static_cast<double>(v); };
    const double lh = (D(b.left) + D(b.right)) / 2, lv = (D(b.top) + D(b.bottom)) / 2;
    const WarpPoint p{D(m.a) * lh + D(m.c) * lv + D(m.tx), D(m.b) * lh + D(m.d) * lv + D(m.ty)};
    const WarpPoint q = chain.map(p);
    double j[4];  // dH/dh, dV/dh, dH/dv, dV/dv
    chain.jacobian(p, j);
    // x -> q + J (x - p), after the object matrix.
    const double r[6] = {j[0] * D(m.a) + j[2] * D(m.b),
                         j[1] * D(m.a) + j[3] * D(m.b),
                         j[0] * D(m.c) + j[2] * D(m.d),
                         j[1] * D(m.c) + j[3] * D(m.d),
                         q.h + j[0] * (D(m.tx) - p.h) + j[2] * (D(m.ty) - p.v),
                         q.v + j[1] * (D(m.tx) - p.h) + j[3] * (D(m.ty) - p.v)};
    float f[6];
    for (int i = 0; i < 6; ++i) {
        f[i] = static_cast<float>(r[i]);
        if (!std::isfinite(f[i])) return false;
    }
    out = AIRealMatrix{f[0], f[1], f[2], f[3], f[4], f[5]};
    return true;
}

// Cells across and up a warped image; each is drawn as two triangles.
constexpr int kImageCells = 10;
// How far, in points, each triangle's clip reaches past its sides so that
// neighbours overlap and no hairline of the background shows between them.
// The overlap cannot show: the pieces are opaque to each other and the
// image's opacity and blend mode act on their group as a whole.
constexpr double kCellOverlap = 0.3;

namespace {

struct PagePoint {
    double h, v;
};

// The affine taking the unwarped triangle `from` onto the warped one `to`,
// as an SVG transform; none when the triangle is degenerate or the affine
// is out of range.
std::optional<std::string> triangleMatrix(const PagePoint from[3], const PagePoint to[3]) {
    const double e0 = from[1].h - from[0].h, e1 = from[1].v - from[0].v;
    const double e2 = from[2].h - from[0].h, e3 = from[2].v - from[0].v;
    const double det = e0 * e3 - e2 * e1;
    const double scale = std::max({std::abs(e0), std::abs(e1), std::abs(e2), std::abs(e3)});
    if (!(std::abs(det) > 1e-9 * scale * scale)) return std::nullopt;
    const double f0 = to[1].h - to[0].h, f1 = to[1].v - to[0].v;
    const double f2 = to[2].h - to[0].h, f3 = to[2].v - to[0].v;
    // [f0 f2; f1 f3] * inverse of [e0 e2; e1 e3]
    const double ia = e3 / det, ib = -e1 / det, ic = -e2 / det, ie = e0 / det;
    const double la = f0 * ia + f2 * ib, lb = f1 * ia + f3 * ib;
    const double lc = f0 * ic + f2 * ie, ld = f1 * ic + f3 * ie;
    const double tx = to[0].h - la * from[0].h - lc * from[0].v;
    const double ty = to[0].v - lb * from[0].h - ld * from[0].v;
    const double affine[6] = {la, lb, lc, ld, tx, ty};
    std::string matrix = "matrix(";
    for (int c = 0; c < 6; ++c) {
        const auto fv = static_cast<float>(affine[c]);
        if (!std::isfinite(fv)) return std::nullopt;
        matrix += num(fv) + (c == 5 ? ")" : " ");
    }
    return matrix;
}

// Path data of the warped triangle grown by kCellOverlap from its centre.
std::string grownTriangle(const PagePoint to[3]) {
    const double ch = (to[0].h + to[1].h + to[2].h) / 3, cv = (to[0].v + to[1].v + to[2].v) / 3;
    std::string d;
    for (int c = 0; c < 3; ++c) {
        double dh = to[c].h - ch, dv = to[c].v - cv;
        const double len = std::hypot(dh, dv);
        const double grow = len > 0 ? (len + kCellOverlap) / len : 1;
        d += (c ? " L" : "M") + num(static_cast<float>(ch + dh * grow)) + " " + num(static_cast<float>(cv + dv * grow));
    }
    return d;
}

}  // namespace

bool Writer::warpedImage(const Art& a, Attrs& at, int indent) {
    std::vector<AIRealPoint> q;
    if (!warps_.mesh(a, kImageCells, kImageCells, q)) return false;
    const AIRealRect b = a.object().localBox();
    const AIRealMatrix& m = a.objectMatrix();
    auto D = [](float v) { return static_cast<double>(v); };
    // The unwarped page point of a grid node, and the warped one.
    auto page = [&](int i, int k) {
        const double lh = D(b.left) + (D(b.right) - D(b.left)) * i / kImageCells;
        const double lv = D(b.bottom) + (D(b.top) - D(b.bottom)) * k / kImageCells;
        return PagePoint{D(m.a) * lh + D(m.c) * lv + D(m.tx), D(m.b) * lh + D(m.d) * lv + D(m.ty)};
    };
    auto warped = [&](int i, int k) {
        const AIRealPoint& r = q[static_cast<size_t>(k * (kImageCells + 1) + i)];
        return PagePoint{D(r.h), D(r.v)};
    };
    const std::string id = std::to_string(a.id());
    std::string imageId = "easel-image-" + id;
    // An id kept from an imported file names the definition instead.
    for (const auto& [k, v] : at) {
        if (k == "id" && isXmlName(v)) imageId = v;
    }
    std::vector<std::string> clips, pieces;
    for (int k = 0; k < kImageCells; ++k) {
        for (int i = 0; i < kImageCells; ++i) {
            const int corners[2][3][2] = {{{i, k}, {i + 1, k}, {i + 1, k + 1}}, {{i, k}, {i + 1, k + 1}, {i, k + 1}}};
            for (const auto& tri : corners) {
                PagePoint from[3], to[3];
                for (int c = 0; c < 3; ++c) {
                    from[c] = page(tri[c][0], tri[c][1]);
                    to[c] = warped(tri[c][0], tri[c][1]);
                }
                const std::optional<std::string> matrix = triangleMatrix(from, to);
                if (!matrix) return false;
                const std::string clipId = "easel-cell-" + id + "-" + std::to_string(clips.size());
                clips.push_back("<clipPath id=\"" + clipId + "\" clipPathUnits=\"userSpaceOnUse\"><path d=\"" +
                                grownTriangle(to) + " Z\"/></clipPath>");
                pieces.push_back("<g clip-path=\"url(#" + clipId + ")\"><use href=\"#" + imageId + "\" xlink:href=\"#" +
                                 imageId + "\" transform=\"" + *matrix + "\"/></g>");
            }
        }
    }
    writeImagePieces(at, imageId, clips, pieces, indent);
    return true;
}

void Writer::writeImagePieces(Attrs& at, const std::string& imageId, const std::vector<std::string>& clips,
                              const std::vector<std::string>& pieces, int indent) {
    // Opacity and blend mode move to the group of pieces.
    Attrs group{{"data-easel-type", "warped-image"}};
    for (auto it = at.begin(); it != at.end();) {
        if (it->first == "opacity" || it->first == "style") {
            group.push_back(*it);
            it = at.erase(it);
        } else {
            ++it;
        }
    }
    open("g", group, indent, false);
    line(indent + 2, "<defs>");
    bool named = false;
    for (auto& [k, v] : at) {
        if (k == "id") v = imageId, named = true;
    }
    if (!named) at.insert(at.begin(), {"id", imageId});
    open("image", at, indent + 4, true);
    for (const std::string& c : clips) line(indent + 4, c);
    line(indent + 2, "</defs>");
    for (const std::string& p : pieces) line(indent + 2, p);
    line(indent, "</g>");
}

}  // namespace easel::svgout
