#include "studio/SelectionPaint.h"

#include <cmath>

#include "edit/Edit.h"
#include "io/svg/SvgColor.h"
#include "model/Document.h"
#include "model/Names.h"

namespace easel::studio {

namespace {

using json = nlohmann::ordered_json;

json plainColor(const AIColor& c) {
    json values = json::array();
    const size_t n = colorKindValueCount(c.kind);
    for (size_t i = 0; i < n; ++i) values.push_back(c.c[i]);
    return {{"kind", colorKindName(c.kind)}, {"values", values}};
}

// A gradient with its ends on the page: linear "from", "to"; radial
// "center", "radius".
json gradientJson(const Document& doc, const AIColor& c) {
    const GradientPaint* p = doc.gradientPaint(c.ref);
    if (!p || !p->gradient) return "none";
    const Gradient& g = *p->gradient;
    const AIRealMatrix& m = p->matrix;
    auto place = [&](float h, float v) { return json::array({m.a * h + m.c * v + m.tx, m.b * h + m.d * v + m.ty}); };
    json out = {{"type", g.radial ? "radial" : "linear"}};
    if (g.radial) {
        out["center"] = place(g.coords[0], g.coords[1]);
        out["radius"] = g.coords[2] * std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
    } else {
        out["from"] = place(g.coords[0], g.coords[1]);
        out["to"] = place(g.coords[2], g.coords[3]);
    }
    json stops = json::array();
    for (const GradientStop& s : g.stops) {
        const auto rgb = displayColor(s.color, &doc);
        stops.push_back({{"offset", s.offset},
                         {"color", plainColor(s.color)},
                         {"opacity", s.opacity},
                         {"hex", rgb ? hexColor(*rgb) : "#808080"}});
    }
    out["stops"] = stops;
    return {{"gradient", out}};
}

json paintJson(const Document& doc, bool on, const AIColor& c) {
    if (!on || c.kind == kNoneColor) return "none";
    if (c.kind == kGradientColor) return gradientJson(doc, c);
    if (c.kind == kGrayColor || c.kind == kFourColor || c.kind == kThreeColor) return plainColor(c);
    const auto rgb = displayColor(c, &doc);  // spot, pattern: as drawn
    if (!rgb) return "none";
    return {{"kind", "rgb"}, {"values", {rgb->r / 255.0, rgb->g / 255.0, rgb->b / 255.0}}};
}

}  // namespace

void addSelectionPaint(const Document& doc, json& style) {
    const char* caps[] = {"butt", "round", "projecting"};
    const char* joins[] = {"miter", "round", "bevel"};
    const Art* first = nullptr;
    bool mixedFill = false, mixedStroke = false;
    auto same = [](bool onA, const AIColor& a, bool onB, const AIColor& b) {
        if (!onA || !onB || a.kind == kNoneColor || b.kind == kNoneColor) return (onA && a.kind != kNoneColor) == (onB && b.kind != kNoneColor);
        return a.kind == b.kind && a.ref == b.ref && a.c[0] == b.c[0] && a.c[1] == b.c[1] && a.c[2] == b.c[2] && a.c[3] == b.c[3];
    };
    for (Art* a : doc.selectedArt()) {
        if (a->type() == kGroupArt || a->type() == kEnvelopeArt) continue;
        const AIPathStyle& st = a->style();
        if (first) {
            const AIPathStyle& f = first->style();
            mixedFill = mixedFill || !same(f.fillPaint, f.fill.color, st.fillPaint, st.fill.color);
            mixedStroke = mixedStroke || !same(f.strokePaint, f.stroke.color, st.strokePaint, st.stroke.color);
            if (mixedFill && mixedStroke) break;
            continue;
        }
        first = a;
        style["fillPaint"] = paintJson(doc, st.fillPaint, st.fill.color);
        style["strokePaint"] = paintJson(doc, st.strokePaint, st.stroke.color);
        const AIStrokeStyle& k = st.stroke;
        style["cap"] = k.cap >= 0 && k.cap <= 2 ? caps[k.cap] : "butt";
        style["join"] = k.join >= 0 && k.join <= 2 ? joins[k.join] : "miter";
        style["miterLimit"] = k.miterLimit;
        json dash = json::array();
        for (int i = 0; i < k.dashCount && i < kMaxDashComponents; ++i) dash.push_back(k.dash[i]);
        style["dash"] = dash;
        style["dashOffset"] = k.dashOffset;
        style["start"] = edit::arrowOf(*a, true);
        style["end"] = edit::arrowOf(*a, false);
    }
    if (mixedFill) style["fillPaint"] = "mixed";
    if (mixedStroke) style["strokePaint"] = "mixed";
}

}  // namespace easel::studio
