// Properties read into the style of art: paint (gradients among it), stroke,
// opacity and blend mode.
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "model/Names.h"
#include "SvgColor.h"
#include "SvgImporter.h"
#include "SvgShared.h"

namespace easel::svg {

using Json = nlohmann::ordered_json;

namespace {

// A length in user space scaled by `k` (the square root of the transform's
// determinant).
double scaledLength(double k, double v) { return k == 1 ? v : v * k; }

// The lengths of a stroke-dasharray (commas or spaces between them); false
// when one is not a length.
bool parseDashList(std::string_view rest, double percentOf, double fontSize, std::vector<double>& d) {
    while (!trim(rest).empty()) {
        rest = trim(rest);
        size_t j = 0;
        while (j < rest.size() && !isWsp(rest[j]) && rest[j] != ',') ++j;
        Length l;
        if (!parseLength(rest.substr(0, j), l)) return false;
        d.push_back(userLength(l, percentOf, fontSize));
        rest = rest.substr(j);
        if (!rest.empty() && rest[0] == ',') rest.remove_prefix(1);
    }
    return true;
}

}  // namespace

double Importer::fontSize(const Props& p) const {
    auto it = p.find("font-size");
    if (it == p.end()) return 16;
    Length l;
    if (!parseLength(it->second, l) || l.value <= 0) return 16;
    return userLength(l, 16, 16);
}

double Importer::lengthProp(const Props& p, const std::string& key, double dflt, double percentOf) const {
    auto it = p.find(key);
    if (it == p.end()) return dflt;
    Length l;
    if (!parseLength(it->second, l)) return dflt;
    return userLength(l, percentOf, fontSize(p));
}

bool Importer::gradientPaint(xmlNodePtr target, const GradientSpec& g, bool& on, AIColor& color, float& alpha) {
    if (g.stops.size() > kMaxGradientStops)
        throw Failure{"a gradient has more than " + std::to_string(kMaxGradientStops) + " stops (the limit of a gradient)"};
    if (g.stops.empty()) {
        on = false;
        color = noneColor();
        return true;
    }
    if (place_ && (g.userSpace || !place_->text)) {
        const int32_t ref = gradientRef(target, g);
        if (ref == kFlattenedGradient) return false;
        on = ref >= 0;
        color = noneColor();
        if (on) color.kind = kGradientColor, color.ref = ref;
        return true;
    }
    // Images, and text in a gradient of its bounds: the average of the stops.
    note(place_ ? "gradients in the bounding box of text drawn as the average colour of their stops"
                : "gradients on images are drawn as the average colour of their stops");
    double r = 0, gr = 0, b = 0, a = 0;
    for (const GradientSpec::Stop& s : g.stops) r += s.r, gr += s.g, b += s.b, a += s.opacity;
    const double n = static_cast<double>(g.stops.size());
    on = true;
    color = rgbColor(static_cast<float>(r / n), static_cast<float>(gr / n), static_cast<float>(b / n));
    alpha = static_cast<float>(a / n);
    return true;
}

void Importer::colorPaint(const Props& p, const std::string& key, const std::string& v, const std::string& lv, bool& on,
                          AIColor& color, float& alpha) {
    if (lv == "none") {
        on = false;
        color = noneColor();
    } else if (lv == "currentcolor") {
        auto c = p.find("color");
        auto cc = parseCssColor(c == p.end() ? "black" : c->second);
        if (!cc) cc = parseCssColor("black");
        on = true;
        color = rgbColor(cc->r, cc->g, cc->b);
        alpha = cc->alpha;
    } else if (auto cc = parseCssColor(v)) {
        // A fully transparent colour paints nothing.
        on = cc->alpha > 0;
        color = on ? rgbColor(cc->r, cc->g, cc->b) : noneColor();
        alpha = on ? cc->alpha : 1;
    } else {
        note("colour \"" + v + "\" not understood; drawn as " + (key == "fill" ? "black" : "none"));
        on = key == "fill";
        color = on ? rgbColor(0, 0, 0) : noneColor();
    }
}

void Importer::exactPaint(const std::string& key, const AttrMap& at, float alpha, bool& on, AIColor& color) {
    auto exact = at.find("data-easel-" + key);
    if (exact == at.end()) return;
    const std::string& e = exact->second;
    const bool exactOn = e.rfind("on ", 0) == 0;
    if (!exactOn && e.rfind("off ", 0) != 0) return;
    if (auto c = parseColorText(std::string_view(e).substr(exactOn ? 3 : 4))) {
        const auto shown = exactOn ? displayColor(*c, doc_.get()) : std::nullopt;
        const auto now = on ? displayColor(color, doc_.get()) : std::nullopt;
        if (shown == now && alpha == 1) {
            on = exactOn;
            color = *c;
        }
    }
}

bool Importer::paint(const Props& p, const std::string& key, const AttrMap& at, bool& on, AIColor& color,
                     float& alpha) {
    alpha = 1;
    auto it = p.find(key);
    std::string v = it == p.end() ? (key == "fill" ? "black" : "none") : it->second;
    std::string lv = lower(trim(v));
    const PaintValue pv = splitPaint(v);
    if (!pv.reference.empty()) {
        xmlNodePtr target = byReference(pv.reference);
        const auto g = target ? readGradient(*this, target, [this](const std::string& w) { note(w); }) : std::nullopt;
        if (g && !flattens(g->transform) && gradientPaint(target, *g, on, color, alpha)) return true;
        if (g) {
            // A gradient flattened to a line (by its own transform or by the
            // space it is drawn in) paints nothing: the fallback instead.
            lv = lower(pv.fallback.empty() ? "none" : pv.fallback);
            v = pv.fallback;
        } else if (target && name(target) == "pattern") {
            // Kept with the art (keepPatterns); easel itself draws the
            // fallback colour, or mid grey.
            patterns_[key] = PatternUse{target, pv.reference.substr(1)};
            const std::string fb = lower(trim(pv.fallback));
            v = fb.empty() || fb == "none" ? "#808080" : pv.fallback;
            lv = lower(v);
        } else {
            if (target) note("paint server <" + name(target) + "> drawn as its fallback colour");
            else note("paint reference " + pv.reference + " not found");
            lv = lower(pv.fallback.empty() ? "none" : pv.fallback);
            v = pv.fallback;
        }
    }
    colorPaint(p, key, v, lv, on, color, alpha);
    // The exact colour this system wrote beside the displayed one, when the
    // file has not been edited since.
    exactPaint(key, at, alpha, on, color);
    return true;
}

int32_t Importer::gradientRef(xmlNodePtr element, const GradientSpec& g) {
    const PaintPlace& pl = *place_;
    written_.insert(element);
    Mat units;
    const bool box = !g.userSpace;
    if (box) {
        const double w = pl.box[2] - pl.box[0], h = pl.box[3] - pl.box[1];
        if (!pl.hasBox || !(w > 0 && h > 0)) return -1;
        units = Mat{w, 0, 0, h, pl.box[0], pl.box[1]};
    }
    AIRealMatrix r = toReal(mul(pl.ctm, mul(units, g.transform)));
    exactPaintMatrix(element, r);
    if (flattens(r.a, r.b, r.c, r.d)) {
        note("a gradient is flattened to a line by the transform of the art it paints; drawn as the paint's fallback colour");
        return kFlattenedGradient;
    }
    std::shared_ptr<const Gradient>& def = gradients_[std::make_tuple(element, box ? 0.0 : pl.vpw, box ? 0.0 : pl.vph)];
    if (!def) {
        auto m = std::make_shared<Gradient>();
        m->radial = g.radial;
        m->spread = g.spread;
        const double diag = std::sqrt((pl.vpw * pl.vpw + pl.vph * pl.vph) / 2);
        for (size_t i = 0; i < 6; ++i) {
            double v = g.coords[i];
            if (g.percent[i] && !box) {
                const bool isRadius = g.radial && (i == 2 || i == 5);
                const bool isX = g.radial ? i % 3 == 0 : i % 2 == 0;
                v *= isRadius ? diag : isX ? pl.vpw : pl.vph;
            }
            m->coords[i] = static_cast<float>(v);
        }
        for (const GradientSpec::Stop& s : g.stops) {
            GradientStop stop;
            stop.offset = static_cast<float>(s.offset);
            stop.opacity = static_cast<float>(s.opacity);
            stop.color = rgbColor(static_cast<float>(s.r), static_cast<float>(s.g), static_cast<float>(s.b));
            // The exact colour this system wrote beside the displayed one.
            if (auto exact = parseColorText(s.exact)) {
                if (exact->kind != kGradientColor && exact->kind != kNoneColor &&
                    displayColor(*exact, doc_.get()) == displayColor(stop.color, doc_.get()))
                    stop.color = *exact;
            }
            m->stops.push_back(stop);
        }
        const auto same = [&](const std::shared_ptr<const Gradient>& o) {
            if (o->radial != m->radial || o->spread != m->spread || o->stops.size() != m->stops.size()) return false;
            for (size_t i = 0; i < 6; ++i)
                if (o->coords[i] != m->coords[i]) return false;
            for (size_t i = 0; i < m->stops.size(); ++i) {
                const GradientStop& a = o->stops[i];
                const GradientStop& b = m->stops[i];
                if (a.offset != b.offset || a.opacity != b.opacity || !sameColor(a.color, b.color)) return false;
            }
            return true;
        };
        const auto found = std::find_if(madeGradients_.begin(), madeGradients_.end(), same);
        if (found != madeGradients_.end()) {
            def = *found;
        } else {
            def = std::move(m);
            madeGradients_.push_back(def);
        }
    }
    const auto key = std::make_pair(def.get(), std::array<float, 6>{r.a, r.b, r.c, r.d, r.tx, r.ty});
    auto it = paints_.find(key);
    if (it != paints_.end()) return it->second;
    const int32_t ref = doc_->addGradientPaint(def, r);
    if (ref < 0) note("gradient with coordinates out of range not drawn");
    paints_.emplace(key, ref);
    return ref;
}

void Importer::exactPaintMatrix(xmlNodePtr gradient, AIRealMatrix& r) {
    // The page matrix this system wrote on a gradient it placed in another
    // space, taken when it is where the gradient is drawn.
    xmlChar* v = xmlGetNoNsProp(gradient, reinterpret_cast<const xmlChar*>("data-easel-matrix"));
    if (!v) return;
    Scanner sc{reinterpret_cast<const char*>(v)};
    double m[6];
    bool ok = true;
    for (double& x : m) {
        ok = ok && sc.number(x);
        sc.skipSep();
    }
    xmlFree(v);
    const float now[6] = {r.a, r.b, r.c, r.d, r.tx, r.ty};
    for (int i = 0; i < 6 && ok; ++i)
        ok = std::isfinite(m[i]) && std::abs(m[i] - double{now[i]}) <= 1e-4 * std::max(1.0, std::abs(m[i]));
    if (ok)
        r = AIRealMatrix{static_cast<float>(m[0]), static_cast<float>(m[1]), static_cast<float>(m[2]),
                         static_cast<float>(m[3]), static_cast<float>(m[4]), static_cast<float>(m[5])};
}

void Importer::strokeDashes(const Props& p, const std::string& dash, double diag, double k, AIPathStyle& s) {
    if (dash.empty() || dash == "none") return;
    std::vector<double> d;
    if (!parseDashList(dash, diag, fontSize(p), d)) {
        note("stroke-dasharray \"" + dash + "\" not understood; stroke drawn solid");
        return;
    }
    // An odd list repeats with on and off swapped, in SVG as in the model.
    if (d.size() > kMaxDashComponents) {
        note("dash pattern of more than " + std::to_string(kMaxDashComponents) + " lengths cut to " +
             std::to_string(kMaxDashComponents));
        d.resize(kMaxDashComponents);
    }
    s.stroke.dashCount = static_cast<int32_t>(d.size());
    for (size_t i = 0; i < d.size(); ++i) s.stroke.dash[i] = static_cast<float>(scaledLength(k, d[i]));
    s.stroke.dashOffset = static_cast<float>(scaledLength(k, lengthProp(p, "stroke-dashoffset", 0, diag)));
}

namespace {

// The attributes this system writes beside the paint and stroke it read.
constexpr std::array<const char*, 4> kExactStyleKeys{"data-easel-fill", "data-easel-stroke", "data-easel-dashoffset",
                                                     "data-easel-overprint"};

// Whether fill or stroke names a paint server (url(...), in any case).
bool paintsWithServer(const Props& p) {
    for (const char* key : {"fill", "stroke"}) {
        const auto it = p.find(key);
        if (it == p.end()) continue;
        const std::string_view v = trim(it->second);
        if (v.size() >= 4 && (v[0] | 0x20) == 'u' && (v[1] | 0x20) == 'r' && (v[2] | 0x20) == 'l' && v[3] == '(')
            return true;
    }
    return false;
}

}  // namespace

AIPathStyle Importer::styleFor(const Props& p, const AttrMap& at, const Mat& ctm, const Ctx& ctx, float& fillAlpha,
                               float& strokeAlpha) {
    // Lengths scale with the transform (by the square root of its
    // determinant; a non-uniform scale is approximated).
    const double k = lengthScale(ctm);
    const double diag = std::sqrt((ctx.vpw * ctx.vpw + ctx.vph * ctx.vph) / 2);
    if (paintsWithServer(p)) return computeStyle(p, at, k, diag, fillAlpha, strokeAlpha);
    std::array<const std::string*, 4> exact{};
    for (size_t i = 0; i < exact.size(); ++i) {
        const auto it = at.find(kExactStyleKeys[i]);
        exact[i] = it == at.end() ? nullptr : &it->second;
    }
    StyleMemo& m = styleMemo_;
    bool same = m.valid && m.k == k && m.diag == diag && m.props == p;
    for (size_t i = 0; same && i < exact.size(); ++i)
        same = m.hasExact[i] == (exact[i] != nullptr) && (!exact[i] || m.exact[i] == *exact[i]);
    if (same) {
        for (const std::string& n : m.notes) note(n);
        fillAlpha = m.fillAlpha;
        strokeAlpha = m.strokeAlpha;
        return m.style;
    }
    m.valid = false;
    m.notes.clear();
    std::vector<std::string>* const outerLog = noteLog_;
    noteLog_ = &m.notes;
    struct RestoreLog {
        std::vector<std::string>*& log;
        std::vector<std::string>* outer;
        ~RestoreLog() { log = outer; }
    } restoreLog{noteLog_, outerLog};
    m.style = computeStyle(p, at, k, diag, m.fillAlpha, m.strokeAlpha);
    if (outerLog) outerLog->insert(outerLog->end(), m.notes.begin(), m.notes.end());
    m.props = p;
    for (size_t i = 0; i < exact.size(); ++i) {
        m.hasExact[i] = exact[i] != nullptr;
        m.exact[i] = exact[i] ? *exact[i] : std::string();
    }
    m.k = k;
    m.diag = diag;
    m.valid = true;
    fillAlpha = m.fillAlpha;
    strokeAlpha = m.strokeAlpha;
    return m.style;
}

AIPathStyle Importer::computeStyle(const Props& p, const AttrMap& at, double k, double diag, float& fillAlpha,
                                   float& strokeAlpha) {
    AIPathStyle s = unpaintedStyle();
    bool on = false;
    paint(p, "fill", at, on, s.fill.color, fillAlpha);
    s.fillPaint = on;
    paint(p, "stroke", at, on, s.stroke.color, strokeAlpha);
    s.strokePaint = on;
    auto get = [&](const char* key) -> std::string {
        auto it = p.find(key);
        return it == p.end() ? std::string() : lower(trim(it->second));
    };
    auto opacity = [&](const char* key) {
        double v = 1;
        const std::string t = get(key);
        if (!t.empty()) {
            Length l;
            if (parseLength(t, l)) v = l.unit == "%" ? l.value / 100 : l.value;
        }
        return static_cast<float>(std::clamp(v, 0.0, 1.0));
    };
    fillAlpha *= opacity("fill-opacity");
    strokeAlpha *= opacity("stroke-opacity");
    s.evenOdd = get("fill-rule") == "evenodd";
    s.stroke.width = static_cast<float>(scaledLength(k, std::max(0.0, lengthProp(p, "stroke-width", 1, diag))));
    const std::string cap = get("stroke-linecap");
    s.stroke.cap = cap == "round" ? kRoundCap : cap == "square" ? kProjectingCap : kButtCap;
    const std::string join = get("stroke-linejoin");
    s.stroke.join = join == "round" ? kRoundJoin : join == "bevel" ? kBevelJoin : kMiterJoin;
    if (join == "arcs" || join == "miter-clip") note("stroke-linejoin " + join + " drawn as miter");
    double ml = 4;
    if (!get("stroke-miterlimit").empty() && parseFloat(get("stroke-miterlimit"), ml) && ml >= 1)
        s.stroke.miterLimit = static_cast<float>(ml);
    strokeDashes(p, get("stroke-dasharray"), diag, k, s);
    auto ddo = at.find("data-easel-dashoffset");
    double v = 0;
    if (s.stroke.dashCount == 0 && ddo != at.end() && parseFloat(ddo->second, v))
        s.stroke.dashOffset = static_cast<float>(v);
    auto over = at.find("data-easel-overprint");
    if (over != at.end()) {
        s.fill.overprint = over->second.find("fill") != std::string::npos;
        s.stroke.overprint = over->second.find("stroke") != std::string::npos;
    }
    if (!std::isfinite(s.stroke.width)) s.stroke.width = 1;
    for (int i = 0; i < s.stroke.dashCount; ++i) {
        if (!std::isfinite(s.stroke.dash[i])) s.stroke.dashCount = 0;
    }
    if (!std::isfinite(s.stroke.dashOffset)) s.stroke.dashOffset = 0;
    return s;
}

void Importer::opacityAndBlend(Art* a, const Props& own, float alpha) {
    // Opacity: the element's, times the paint's when only one is drawn.
    double op = 1;
    auto o = own.find("opacity");
    if (o != own.end()) {
        Length l;
        if (parseLength(o->second, l)) op = std::clamp(l.unit == "%" ? l.value / 100 : l.value, 0.0, 1.0);
    }
    float opacity = static_cast<float>(op);
    if (alpha != 1) opacity = static_cast<float>(op * static_cast<double>(alpha));
    doc_->setOpacity(a, opacity);
    auto bm = own.find("mix-blend-mode");
    if (bm != own.end()) {
        const int32_t mode = blendModeFromName(lower(trim(bm->second)));
        if (mode >= 0) doc_->setBlendMode(a, mode);
        else if (lower(trim(bm->second)) != "plus-lighter") note("mix-blend-mode \"" + bm->second + "\" not supported");
    }
}

void Importer::keepPaintOrder(Art* a, const Props& props) {
    const auto it = props.find("paint-order");
    if (it == props.end() || a->type() == kGroupArt) return;
    // The order the value gives, the parts it leaves out after it in their
    // usual order (fill, stroke, markers).
    std::vector<std::string> order;
    const std::string value = lower(it->second);
    for (size_t i = 0; i < value.size();) {
        while (i < value.size() && isWsp(value[i])) ++i;
        size_t j = i;
        while (j < value.size() && !isWsp(value[j])) ++j;
        const std::string w = value.substr(i, j - i);
        i = j;
        if (w != "fill" && w != "stroke" && w != "markers") continue;
        if (std::find(order.begin(), order.end(), w) == order.end()) order.push_back(w);
    }
    for (const char* part : {"fill", "stroke", "markers"})
        if (std::find(order.begin(), order.end(), part) == order.end()) order.emplace_back(part);
    if (order == std::vector<std::string>{"fill", "stroke", "markers"}) return;
    keepAttributes(a, Json{{"paint-order", std::string(trim(it->second))}});
    note("paint-order \"" + std::string(trim(it->second)) +
         "\" drawn fill, stroke, markers where easel draws it (kept in the SVG written back)");
}

}  // namespace easel::svg
