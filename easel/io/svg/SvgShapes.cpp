// Shapes: the outline of each shape element (path, rect, circle, ellipse,
// line, polyline, polygon), drawn as one path art or, with several subpaths,
// as a compound path.
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "SvgColor.h"
#include "SvgImporter.h"
#include "SvgShared.h"

namespace easel::svg {

using Json = nlohmann::ordered_json;

namespace {

Failure tooManyPoints(size_t limit) {
    return Failure{"a path has more than " + std::to_string(limit) + " points (the limit of a path)"};
}

// An ellipse as four cubic quarters, starting at its right end.
void addEllipse(PathBuilder& pb, double cx, double cy, double rx, double ry) {
    const double kx = rx * kKappa, ky = ry * kKappa;
    pb.moveTo({cx + rx, cy});
    pb.cubicTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    pb.cubicTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    pb.cubicTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    pb.cubicTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    pb.close();
}

}  // namespace

const std::map<std::string, Importer::ShapeOutline, std::less<>>& Importer::shapeOutlines() {
    static const std::map<std::string, ShapeOutline, std::less<>> outlines{
        {"path", &Importer::pathOutline},         {"rect", &Importer::rectOutline},
        {"circle", &Importer::circleOutline},     {"ellipse", &Importer::ellipseOutline},
        {"line", &Importer::lineOutline},         {"polyline", &Importer::pointsOutline},
        {"polygon", &Importer::pointsOutline},
    };
    return outlines;
}

double Importer::shapeLength(const Elem& e, const char* k, double percentOf) {
    const std::string* v = e.attr(k);
    Length l;
    if (!v) return 0.0;
    if (!parseLength(*v, l)) {
        note("<" + e.tag + "> attribute " + k + " \"" + *v + "\" not understood");
        return 0.0;
    }
    return userLength(l, percentOf, fontSize(e.props));
}

bool Importer::pathOutline(const Elem& e, PathBuilder& pb) {
    const std::string* d = e.attr("d");
    if (const std::string* exact = e.attr("data-easel-d"); exact && underEnvelope(e.ctx)) d = exact;
    std::string problem;
    if (d) parsePathData(*d, pb, problem, lim_.maxPathPoints);
    if (pb.points > lim_.maxPathPoints) throw tooManyPoints(lim_.maxPathPoints);
    if (!problem.empty()) note(problem + "; the path drawn up to it");
    return true;
}

bool Importer::rectOutline(const Elem& e, PathBuilder& pb) {
    const double vpw = e.ctx.vpw, vph = e.ctx.vph;
    const double x = shapeLength(e, "x", vpw), y = shapeLength(e, "y", vph), w = shapeLength(e, "width", vpw),
                 h = shapeLength(e, "height", vph);
    if (!(w > 0 && h > 0)) {
        note("skipped <rect> of zero or negative size (not drawn)");
        return false;
    }
    double rx = e.at.count("rx") ? shapeLength(e, "rx", vpw) : -1, ry = e.at.count("ry") ? shapeLength(e, "ry", vph) : -1;
    if (rx < 0) rx = ry;
    if (ry < 0) ry = rx;
    rx = std::clamp(rx, 0.0, w / 2);
    ry = std::clamp(ry, 0.0, h / 2);
    if (rx <= 0 || ry <= 0) {
        pb.moveTo({x, y});
        pb.lineTo({x + w, y});
        pb.lineTo({x + w, y + h});
        pb.lineTo({x, y + h});
    } else {
        const double kx = rx * kKappa, ky = ry * kKappa;
        pb.moveTo({x + rx, y});
        pb.lineTo({x + w - rx, y});
        pb.cubicTo({x + w - rx + kx, y}, {x + w, y + ry - ky}, {x + w, y + ry});
        pb.lineTo({x + w, y + h - ry});
        pb.cubicTo({x + w, y + h - ry + ky}, {x + w - rx + kx, y + h}, {x + w - rx, y + h});
        pb.lineTo({x + rx, y + h});
        pb.cubicTo({x + rx - kx, y + h}, {x, y + h - ry + ky}, {x, y + h - ry});
        pb.lineTo({x, y + ry});
        pb.cubicTo({x, y + ry - ky}, {x + rx - kx, y}, {x + rx, y});
    }
    pb.close();
    return true;
}

bool Importer::circleOutline(const Elem& e, PathBuilder& pb) {
    const double diag = std::sqrt((e.ctx.vpw * e.ctx.vpw + e.ctx.vph * e.ctx.vph) / 2);
    const double cx = shapeLength(e, "cx", e.ctx.vpw), cy = shapeLength(e, "cy", e.ctx.vph);
    const double r = shapeLength(e, "r", diag);
    if (!(r > 0)) {
        note("skipped <circle> of zero or negative radius (not drawn)");
        return false;
    }
    addEllipse(pb, cx, cy, r, r);
    return true;
}

bool Importer::ellipseOutline(const Elem& e, PathBuilder& pb) {
    const double cx = shapeLength(e, "cx", e.ctx.vpw), cy = shapeLength(e, "cy", e.ctx.vph);
    double rx = e.at.count("rx") ? shapeLength(e, "rx", e.ctx.vpw) : -1;
    double ry = e.at.count("ry") ? shapeLength(e, "ry", e.ctx.vph) : -1;
    if (rx < 0) rx = ry;
    if (ry < 0) ry = rx;
    if (!(rx > 0 && ry > 0)) {
        note("skipped <ellipse> of zero or negative radius (not drawn)");
        return false;
    }
    addEllipse(pb, cx, cy, rx, ry);
    return true;
}

bool Importer::lineOutline(const Elem& e, PathBuilder& pb) {
    pb.moveTo({shapeLength(e, "x1", e.ctx.vpw), shapeLength(e, "y1", e.ctx.vph)});
    pb.lineTo({shapeLength(e, "x2", e.ctx.vpw), shapeLength(e, "y2", e.ctx.vph)});
    return true;
}

bool Importer::pointsOutline(const Elem& e, PathBuilder& pb) {
    const std::string* pts = e.attr("points");
    Scanner sc{pts ? std::string_view(*pts) : std::string_view()};
    bool first = true;
    while (!sc.atEnd()) {
        double x = 0, y = 0;
        if (!sc.number(x)) break;
        sc.skipSep();
        if (!sc.number(y)) break;
        sc.skipSep();
        if (first) pb.moveTo({x, y});
        else pb.lineTo({x, y});
        first = false;
        if (pb.points > lim_.maxPathPoints) throw tooManyPoints(lim_.maxPathPoints);
    }
    if (!sc.atEnd()) note("<" + e.tag + "> points list malformed; drawn up to the error");
    if (e.tag == "polygon") pb.close();
    return true;
}

void Importer::shape(const Elem& e) {
    PathBuilder pb;
    if (!(this->*shapeOutlines().find(e.tag)->second)(e, pb)) return;
    // Gradients are placed in the element's user space, on its bounds.
    place_ = PaintPlace{e.ctm, false, {}, e.ctx.vpw, e.ctx.vph};
    place_->hasBox = pathBounds(pb.subs, place_->box);
    struct ResetPlace {
        std::optional<PaintPlace>& p;
        ~ResetPlace() { p.reset(); }
    } resetPlace{place_};
    const ShapeStyle s = shapeStyle(e);
    std::vector<std::vector<AIPathSegment>> segs(pb.subs.size());
    if (!shapeSegments(e, pb, segs)) return;
    if (pb.subs.size() > 1 || e.typed("compound")) compoundShape(e, pb, segs, s);
    else singleShape(e, pb, segs, s);
}

Importer::ShapeStyle Importer::shapeStyle(const Elem& e) {
    ShapeStyle s;
    float fa = 1, sa = 1;
    s.style = styleFor(e.props, e.at, e.ctm, e.ctx, fa, sa);
    // Fill and stroke opacities that differ are kept as they are written;
    // one that alone is drawn becomes the art's opacity.
    if (s.style.fillPaint && s.style.strokePaint) {
        if (fa != sa) s.ownOpacities = Json{{"fill-opacity", formatNumber(fa)}, {"stroke-opacity", formatNumber(sa)}};
        else s.alpha = fa;
    } else if (s.style.fillPaint) {
        s.alpha = fa;
    } else if (s.style.strokePaint) {
        s.alpha = sa;
    }
    return s;
}

bool Importer::shapeSegments(const Elem& e, const PathBuilder& pb, std::vector<std::vector<AIPathSegment>>& segs) {
    const std::string* corners = e.attr("data-easel-corners");
    const std::string* ends = e.attr("data-easel-ends");
    const bool one = pb.subs.size() == 1;
    for (size_t i = 0; i < pb.subs.size(); ++i) {
        if (!toSegments(pb.subs[i], e.ctm, segs[i], one && corners ? *corners : std::string(),
                        one && ends ? *ends : std::string())) {
            note("skipped <" + e.tag + "> with coordinates out of range");
            return false;
        }
    }
    if (PathBuilder exact; one && exactPath(e, exact) && exact.subs.size() == 1)
        exactSegments(e, exact.subs[0], corners ? *corners : std::string(), ends ? *ends : std::string(), segs[0]);
    return true;
}

bool Importer::exactPath(const Elem& e, PathBuilder& exact) {
    // A path this system wrote in its stroke's space carries its points as
    // they are on the page (data-easel-d, in the parent's space): taken when
    // they are where the path is drawn, they do not drift by rounding each
    // time the file is read. What the path shows wins over them.
    const std::string* d = e.attr("data-easel-d");
    const std::string* extra = e.attr("data-easel-extra");
    if (!d || !extra || !e.attr("transform") || e.tag != "path" || underEnvelope(e.ctx) ||
        extra->find("svgStroke") == std::string::npos)
        return false;
    std::string problem;
    parsePathData(*d, exact, problem, lim_.maxPathPoints);
    return problem.empty();
}

void Importer::exactSegments(const Elem& e, const Subpath& exactSub, const std::string& corners,
                             const std::string& ends, std::vector<AIPathSegment>& segs) {
    std::vector<AIPathSegment> exact;
    if (!toSegments(exactSub, e.ctx.ctm, exact, corners, ends) || exact.size() != segs.size()) return;
    auto near = [](const AIRealPoint& p, const AIRealPoint& q) {
        return std::abs(p.h - q.h) <= 1e-3f * std::max(1.0f, std::abs(p.h)) &&
               std::abs(p.v - q.v) <= 1e-3f * std::max(1.0f, std::abs(p.v));
    };
    for (size_t i = 0; i < segs.size(); ++i) {
        if (!near(segs[i].p, exact[i].p) || !near(segs[i].in, exact[i].in) || !near(segs[i].out, exact[i].out)) return;
    }
    segs = std::move(exact);
}

void Importer::singleShape(const Elem& e, const PathBuilder& pb, const std::vector<std::vector<AIPathSegment>>& segs,
                           const ShapeStyle& s) {
    Art* a = newArt(kPathArt, e.ctx);
    if (segs.empty()) {
        const std::string* closed = e.attr("data-easel-closed");
        setSegments(a, {}, closed && *closed == "true", e.at);
    } else {
        setSegments(a, segs[0], pb.subs[0].closed, e.at);
    }
    doc_->setStyle(a, s.style);
    keepAttributes(a, s.ownOpacities);
    finish(a, e.at, e.own, e.props, s.alpha, &e.ctm);
}

void Importer::compoundOwnStyle(const Elem& e, AIPathStyle& style, Props& own, float& alpha) {
    const std::string* ownText = e.attr("data-easel-own");
    if (!ownText) return;
    const Json oj = parseAttributeJson(*ownText);
    if (!oj.is_object()) {
        note("data-easel-own is not a JSON object; the compound takes the style it is drawn with");
        return;
    }
    AttrMap oa;
    for (auto& [k, v] : oj.items())
        if (v.is_string()) oa[k] = v.get<std::string>();
    const Props o = ownProps(nullptr, oa);
    for (const auto& [k, v] : o) own[k] = v;
    float ofa = 1, osa = 1;
    style = styleFor(inherit(e.props, o), oa, e.ctm, e.ctx, ofa, osa);
    alpha = 1;
}

std::vector<AttrMap> Importer::compoundParts(const Elem& e, size_t count) {
    std::vector<AttrMap> parts(count);
    const std::string* partsText = e.attr("data-easel-parts");
    if (!partsText) return parts;
    Json pj = parseAttributeJson(*partsText);
    if (!pj.is_array() || pj.size() != parts.size()) {
        note("data-easel-parts does not match the path; compound members read from the path alone");
        return parts;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!pj[i].is_object()) continue;
        for (auto& [k, v] : pj[i].items()) {
            if (v.is_string()) parts[i][k] = v.get<std::string>();
        }
    }
    return parts;
}

void Importer::compoundShape(const Elem& e, const PathBuilder& pb, std::vector<std::vector<AIPathSegment>>& segs,
                             const ShapeStyle& s) {
    Art* c = newArt(kCompoundPathArt, e.ctx);
    // The path shows the style the compound is drawn with; a compound whose
    // own style differs keeps it in data-easel-own.
    AIPathStyle cstyle = s.style;
    Props cown = e.own;
    float calpha = s.alpha;
    compoundOwnStyle(e, cstyle, cown, calpha);
    doc_->setStyle(c, cstyle);
    keepAttributes(c, s.ownOpacities);
    // Members written by this system carry their own attributes.
    const std::vector<AttrMap> parts = compoundParts(e, pb.subs.size());
    Ctx inner = e.ctx;
    inner.parent = c;
    inner.depth = e.ctx.depth + 1;
    auto mine = std::move(patterns_);
    patterns_.clear();
    // Members written in the stroke's space carry their exact points too.
    PathBuilder exact;
    const bool hasExact = exactPath(e, exact) && exact.subs.size() == pb.subs.size();
    for (size_t i = 0; i < pb.subs.size(); ++i)
        compoundMember(e, inner, pb.subs[i], hasExact ? &exact.subs[i] : nullptr, segs[i], parts[i], s.style);
    patterns_ = std::move(mine);
    finish(c, e.at, cown, e.props, calpha, &e.ctm);
}

void Importer::compoundMember(const Elem& e, const Ctx& inner, const Subpath& sp, const Subpath* exact,
                              std::vector<AIPathSegment>& segs, const AttrMap& pa, const AIPathStyle& style) {
    Art* a = newArt(kPathArt, inner);
    auto pc = pa.find("data-easel-corners");
    auto pe = pa.find("data-easel-ends");
    const std::string corners = pc != pa.end() ? pc->second : std::string();
    const std::string ends = pe != pa.end() ? pe->second : std::string();
    if (pc != pa.end() || pe != pa.end()) toSegments(sp, e.ctm, segs, corners, ends);
    if (exact) exactSegments(e, *exact, corners, ends, segs);
    setSegments(a, segs, sp.closed, pa);
    if (pa.empty()) {
        doc_->setStyle(a, style);
        pending_.push_back(Pending{a, false, false});
        return;
    }
    const Props pown = ownProps(nullptr, pa);
    const Props pprops = inherit(e.props, pown);
    float pfa = 1, psa = 1;
    // A member written without a fill (the first) has the style the path shows.
    doc_->setStyle(a, pa.count("fill") ? styleFor(pprops, pa, e.ctm, e.ctx, pfa, psa) : style);
    finish(a, pa, pown, pprops, 1);
}

}  // namespace easel::svg
