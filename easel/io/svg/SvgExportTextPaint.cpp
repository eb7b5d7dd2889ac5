// Gradient paint on art written in a user space of its own. The document
// places a gradient on the page; text is written in its own space (its object
// matrix, or the page's for text on a path), and a path whose stroke is drawn
// transformed in its effect space, so the gradient it names is placed there.
#include <array>

#include "SvgShared.h"
#include "SvgWriter.h"

namespace easel::svgout {

namespace {

// m · n, matrices as a b c d tx ty.
std::array<double, 6> times(const std::array<double, 6>& m, const std::array<double, 6>& n) {
    return {m[0] * n[0] + m[2] * n[1], m[1] * n[0] + m[3] * n[1], m[0] * n[2] + m[2] * n[3],
            m[1] * n[2] + m[3] * n[3], m[0] * n[4] + m[2] * n[5] + m[4], m[1] * n[4] + m[3] * n[5] + m[5]};
}

}  // namespace

void Writer::textGradients(const Art& a, const std::array<double, 2>* origin, Attrs& at, int indent) {
    // The text's user space on the page, as its transform is written.
    std::array<double, 6> space{1, 0, 0, -1, 0, doc_.height()};
    if (a.type() == kTextArt) {
        AIRealMatrix m = a.objectMatrix();
        if (AIRealMatrix shown{}; warpedMatrix(a, shown)) m = shown;
        space = {m.a, m.b, -double{m.c}, -double{m.d}, m.tx, m.ty};
        if (origin) space = times(space, {1, 0, 0, 1, -(*origin)[0], -(*origin)[1]});
    }
    const AIRealMatrix spaceReal{static_cast<float>(space[0]), static_cast<float>(space[1]), static_cast<float>(space[2]),
                                 static_cast<float>(space[3]), static_cast<float>(space[4]), static_cast<float>(space[5])};
    placedGradients(a.style(), spaceReal, "text-" + std::to_string(a.id()), at, indent);
}

void Writer::placedGradients(const AIPathStyle& s, const AIRealMatrix& space, const std::string& suffix, Attrs& at,
                             int indent) {
    double inverse[6];
    if (!invertEffectSpace(space, inverse)) return;
    const std::array<double, 6> toSpace{inverse[0], inverse[1], inverse[2], inverse[3], inverse[4], inverse[5]};
    bool opened = false;
    for (const auto& [name, on, color] : {std::tuple{"fill", s.fillPaint != 0, s.fill.color},
                                          std::tuple{"stroke", s.strokePaint != 0, s.stroke.color}}) {
        const GradientPaint* paint = on && color.kind == kGradientColor ? doc_.gradientPaint(color.ref) : nullptr;
        if (!paint) continue;
        const AIRealMatrix& pm = paint->matrix;
        const std::array<double, 6> placed = times(toSpace, {pm.a, pm.b, pm.c, pm.d, pm.tx, pm.ty});
        const AIRealMatrix m{static_cast<float>(placed[0]), static_cast<float>(placed[1]), static_cast<float>(placed[2]),
                             static_cast<float>(placed[3]), static_cast<float>(placed[4]), static_cast<float>(placed[5])};
        const std::string id = gradientId(color.ref) + "-" + suffix + "-" + name;
        if (!opened) line(indent, "<defs>");
        opened = true;
        writeGradient(color.ref, indent + 2, id, &m);
        const std::string page = "url(#" + gradientId(color.ref) + ")";
        for (auto& [k, v] : at) {
            if (k == name && v.rfind(page, 0) == 0) v = "url(#" + id + ")" + v.substr(page.size());
        }
    }
    if (opened) line(indent, "</defs>");
}

}  // namespace easel::svgout
