// Path art whose stroke is drawn transformed with it (kept from a file that
// strokes it under a non-uniform scale): written in its effect space, the
// path data taken back into that space and the stroke's lengths given in it.
#include <cmath>
#include <limits>

#include "SvgShared.h"
#include "SvgWriter.h"

namespace easel::svgout {

bool Writer::strokeSpace(const Art& a, StrokeSpace& out) const {
    const AIRealMatrix* space = a.effectSpace();
    if (!space || a.extra().empty() || !kept(a).strokeTransformed) return false;
    // Under a warp the path is written as drawn, on the page.
    for (const Art* p = a.parent(); p; p = p->parent()) {
        if (p->type() == kEnvelopeArt) return false;
    }
    if (!invertEffectSpace(*space, out.inverse)) return false;
    out.scale = std::sqrt(std::abs(double{space->a} * double{space->d} - double{space->b} * double{space->c}));
    out.transform = "matrix(" + num(space->a) + " " + num(space->b) + " " + num(space->c) + " " + num(space->d) + " " +
                    num(space->tx) + " " + num(space->ty) + ")";
    return out.scale > 0;
}

std::vector<AIPathSegment> Writer::StrokeSpace::map(const std::vector<AIPathSegment>& segs) const {
    const double* m = inverse;
    auto f = [&](AIRealPoint& p) {
        const double x = p.h, y = p.v;
        p.h = static_cast<float>(m[0] * x + m[2] * y + m[4]);
        p.v = static_cast<float>(m[1] * x + m[3] * y + m[5]);
    };
    std::vector<AIPathSegment> out = segs;
    for (AIPathSegment& s : out) f(s.p), f(s.in), f(s.out);
    return out;
}

void Writer::StrokeSpace::apply(Attrs& at) const {
    lengths(at);
    at.emplace_back("transform", transform);
}

namespace {

// The length in the space whose scale reads back as `page` exactly (the
// reader takes float(length · scale)), so that a file written, read and
// written again gives the same width; the nearest float to page / scale
// otherwise.
float inSpaceLength(float page, double scale) {
    const float first = static_cast<float>(double{page} / scale);
    float down = first, up = first;
    for (int i = 0; i < 8; ++i) {
        if (static_cast<float>(double{up} * scale) == page) return up;
        if (static_cast<float>(double{down} * scale) == page) return down;
        up = std::nextafter(up, std::numeric_limits<float>::infinity());
        down = std::nextafter(down, -std::numeric_limits<float>::infinity());
    }
    return first;
}

}  // namespace

void Writer::StrokeSpace::lengths(Attrs& at) const {
    // The stroke's lengths on the page are its mean scale times those in the space.
    auto inSpace = [&](const std::string& list) {
        std::string out;
        size_t i = 0;
        while (i < list.size()) {
            size_t j = list.find(' ', i);
            if (j == std::string::npos) j = list.size();
            if (!out.empty()) out += ' ';
            out += num(inSpaceLength(static_cast<float>(std::strtod(list.substr(i, j - i).c_str(), nullptr)), scale));
            i = j + 1;
        }
        return out;
    };
    for (auto& [k, v] : at) {
        if (k == "stroke-width" || k == "stroke-dasharray" || k == "stroke-dashoffset") v = inSpace(v);
    }
}

}  // namespace easel::svgout
