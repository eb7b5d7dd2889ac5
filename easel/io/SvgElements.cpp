// The drawn elements: groups, shapes, text, images and <use>.
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>

#include "Names.h"
#include "SvgColor.h"
#include "SvgImporter.h"
#include "SvgShared.h"

namespace easel::svg {

using Json = nlohmann::ordered_json;

void Importer::element(xmlNodePtr n, const Ctx& ctx, const AttrMap* useAttrs) {
    // Elements of other namespaces (editor settings) are kept as they are.
    if (!isSvg(n)) {
        keepElement(n);
        return;
    }
    const std::string tag = name(n);
    // Definitions are drawn where referenced; those nothing uses are kept
    // with the document (unusedDefinitions).
    static const std::set<std::string> definitions{"defs", "symbol", "clipPath", "mask", "linearGradient",
                                                   "radialGradient", "pattern", "filter", "marker", "style",
                                                   "font", "font-face", "glyph", "missing-glyph", "cursor",
                                                   "color-profile", "view"};
    if (definitions.count(tag)) return;
    if (tag == "script") {
        note("skipped <script> (not allowed)");
        return;
    }
    // What draws nothing (or, foreignObject, nothing easel draws) is kept as
    // inert text and written back where it stands.
    static const std::set<std::string> notDrawn{"title", "desc", "metadata", "foreignObject"};
    if (notDrawn.count(tag)) {
        keepElement(n);
        return;
    }
    struct NodeScope {
        xmlNodePtr& ref;
        xmlNodePtr saved;
        ~NodeScope() { ref = saved; }
    } scope{node_, node_};
    node_ = n;
    if (ctx.depth >= lim_.maxDepth)
        throw Failure{"elements nested deeper than " + std::to_string(lim_.maxDepth) + " levels (the limit)"};

    AttrMap at = attributes(n);
    if (useAttrs) {
        // A <use> copy of this element: the use's presentation is the
        // parent's; the id stays the element's own.
        at.erase("data-easel-id");
        at.erase("id");
    }
    const Props own = ownProps(n, at);
    const Props props = inherit(ctx.inherited ? *ctx.inherited : Props{}, own);
    Mat ctm = ctx.ctm;
    auto tr = at.find("transform");
    if (auto kept = at.find("data-easel-transform"); kept != at.end() && underEnvelope(ctx)) tr = kept;
    if (tr != at.end()) {
        Mat t;
        if (parseTransform(tr->second, t)) ctm = mul(ctm, t);
        else note("transform \"" + tr->second + "\" not understood; element drawn untransformed");
    }
    if (tag == "g" && at.count("data-easel-type") && at.at("data-easel-type") == "effects") {
        // Art with its clip path, mask or filter, as this system writes it:
        // the art inside is in the outer space, the effects in this one.
        for (xmlNodePtr inner = n->children; inner; inner = inner->next) {
            if (!isSvg(inner) || name(inner) != "g") continue;
            for (xmlNodePtr c = inner->children; c; c = c->next) {
                if (c->type != XML_ELEMENT_NODE) continue;
                // Taken up by the art's finish.
                const auto outer = effectsGroup_;
                effectsGroup_ = EffectsGroup{c, own, ctm};
                element(c, ctx);
                effectsGroup_ = outer;
            }
            break;
        }
    } else if (tag == "g" && at.count("data-easel-type") && at.at("data-easel-type") == "warped-image") {
        warpedImage(n, own, ctx, ctm);
    } else if (tag == "g" || tag == "a") {
        group(n, at, own, props, ctx, ctm, false);
    } else if (tag == "switch") {
        group(n, at, own, props, ctx, ctm, true);
    } else if (tag == "svg") {
        // A nested viewport: a group with the viewport's placement.
        Length l;
        auto len = [&](const char* k, double pct, double dflt) {
            auto it = at.find(k);
            return it != at.end() && parseLength(it->second, l) ? userLength(l, pct, fontSize(props)) : dflt;
        };
        const double w = len("width", ctx.vpw, ctx.vpw), h = len("height", ctx.vph, ctx.vph);
        const double x = len("x", ctx.vpw, 0), y = len("y", ctx.vph, 0);
        bool hasVb = false;
        const Mat vb = viewBoxTransform(at, w, h, hasVb);
        Ctx inner = ctx;
        inner.vpw = w;
        inner.vph = h;
        if (hasVb) note("nested <svg> drawn without clipping to its viewport");
        group(n, at, own, props, inner, mul(ctm, mul(translate(x, y), vb)), false);
    } else if (tag == "rect" && at.count("data-easel-type") && at.at("data-easel-type") == "mesh") {
        image(at, own, props, ctx, ctm);
    } else if (tag == "path" || tag == "rect" || tag == "circle" || tag == "ellipse" || tag == "line" ||
               tag == "polyline" || tag == "polygon") {
        shape(n, tag, at, own, props, ctx, ctm);
    } else if (tag == "text") {
        text(n, at, own, props, ctx, ctm);
    } else if (tag == "image") {
        image(at, own, props, ctx, ctm);
    } else if (tag == "use") {
        use(n, at, own, props, ctx, ctm);
    } else {
        note("skipped <" + tag + "> (not supported)");
    }
}

void Importer::group(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx,
                     const Mat& ctm, bool firstOnly) {
    auto type = at.find("data-easel-type");
    int16_t t = kGroupArt;
    if (type != at.end() && (type->second == "envelope" || type->second == "compound"))
        t = artTypeFromName(type->second);
    Art* g = newArt(t, ctx);
    // A group holds no style of its own unless it sets fill or stroke itself.
    if (own.count("fill") || own.count("stroke")) {
        float fa = 1, sa = 1;
        doc_->setStyle(g, styleFor(props, at, ctm, ctx, fa, sa));
    }
    if (t == kEnvelopeArt) {
        auto w = at.find("data-easel-warp");
        if (w != at.end()) {
            Scanner sc{w->second};
            double v[5] = {};
            bool ok = true;
            for (double& x : v) {
                ok = ok && sc.number(x);
                sc.skipSep();
            }
            if (ok && v[0] >= 0 && v[0] <= 15 && std::floor(v[0]) == v[0]) {
                doc_->setEnvelopeWarp(g, EnvelopeWarp{static_cast<int32_t>(v[0]), static_cast<float>(v[1]),
                                                      static_cast<float>(v[2]), static_cast<float>(v[3]), v[4] != 0});
            } else {
                note("data-easel-warp not understood; envelope read without a warp");
            }
        }
    }
    Ctx inner = ctx;
    inner.ctm = ctm;
    inner.inherited = &props;
    inner.parent = g;
    inner.depth = ctx.depth + 1;
    // The group's own pattern paint waits for its finish below.
    auto mine = std::move(patterns_);
    patterns_.clear();
    if (firstOnly) {
        for (xmlNodePtr c = n->children; c; c = c->next) {
            if (c->type != XML_ELEMENT_NODE) continue;
            element(c, inner);
            break;
        }
    } else {
        walkChildren(n, inner);
    }
    patterns_ = std::move(mine);
    finish(g, at, own, props, 1, &ctm);
}

void Importer::shape(xmlNodePtr, const std::string& tag, const AttrMap& at, const Props& own, const Props& props,
                     const Ctx& ctx, const Mat& ctm) {
    PathBuilder pb;
    const double fs = fontSize(props);
    auto len = [&](const char* k, double pct) {
        auto it = at.find(k);
        Length l;
        if (it == at.end()) return 0.0;
        if (!parseLength(it->second, l)) {
            note("<" + tag + "> attribute " + k + " \"" + it->second + "\" not understood");
            return 0.0;
        }
        return userLength(l, pct, fs);
    };
    const double diag = std::sqrt((ctx.vpw * ctx.vpw + ctx.vph * ctx.vph) / 2);
    if (tag == "path") {
        auto d = at.find("d");
        if (auto exact = at.find("data-easel-d"); exact != at.end() && underEnvelope(ctx)) d = exact;
        std::string problem;
        if (d != at.end()) parsePathData(d->second, pb, problem, lim_.maxPathPoints);
        if (pb.points > lim_.maxPathPoints)
            throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) + " points (the limit of a path)"};
        if (!problem.empty()) note(problem + "; the path drawn up to it");
    } else if (tag == "rect") {
        const double x = len("x", ctx.vpw), y = len("y", ctx.vph), w = len("width", ctx.vpw), h = len("height", ctx.vph);
        if (!(w > 0 && h > 0)) {
            note("skipped <rect> of zero or negative size (not drawn)");
            return;
        }
        double rx = at.count("rx") ? len("rx", ctx.vpw) : -1, ry = at.count("ry") ? len("ry", ctx.vph) : -1;
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
    } else if (tag == "circle" || tag == "ellipse") {
        const double cx = len("cx", ctx.vpw), cy = len("cy", ctx.vph);
        double rx = 0, ry = 0;
        if (tag == "circle") {
            rx = ry = len("r", diag);
        } else {
            rx = at.count("rx") ? len("rx", ctx.vpw) : -1;
            ry = at.count("ry") ? len("ry", ctx.vph) : -1;
            if (rx < 0) rx = ry;
            if (ry < 0) ry = rx;
        }
        if (!(rx > 0 && ry > 0)) {
            note("skipped <" + tag + "> of zero or negative radius (not drawn)");
            return;
        }
        const double kx = rx * kKappa, ky = ry * kKappa;
        pb.moveTo({cx + rx, cy});
        pb.cubicTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
        pb.cubicTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
        pb.cubicTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
        pb.cubicTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
        pb.close();
    } else if (tag == "line") {
        pb.moveTo({len("x1", ctx.vpw), len("y1", ctx.vph)});
        pb.lineTo({len("x2", ctx.vpw), len("y2", ctx.vph)});
    } else {  // polyline, polygon
        auto pts = at.find("points");
        Scanner sc{pts == at.end() ? std::string_view() : std::string_view(pts->second)};
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
            if (pb.points > lim_.maxPathPoints)
                throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) +
                              " points (the limit of a path)"};
        }
        if (!sc.atEnd()) note("<" + tag + "> points list malformed; drawn up to the error");
        if (tag == "polygon") pb.close();
    }

    // Gradients are placed in the element's user space, on its bounds.
    place_ = PaintPlace{ctm, false, {}, ctx.vpw, ctx.vph};
    place_->hasBox = pathBounds(pb.subs, place_->box);
    struct ResetPlace {
        std::optional<PaintPlace>& p;
        ~ResetPlace() { p.reset(); }
    } resetPlace{place_};
    float fa = 1, sa = 1;
    AIPathStyle style = styleFor(props, at, ctm, ctx, fa, sa);
    float alpha = 1;
    // Fill and stroke opacities that differ are kept as they are written;
    // one that alone is drawn becomes the art's opacity.
    Json ownOpacities;
    if (style.fillPaint && style.strokePaint) {
        if (fa != sa) {
            ownOpacities = Json{{"fill-opacity", formatNumber(fa)}, {"stroke-opacity", formatNumber(sa)}};
        } else {
            alpha = fa;
        }
    } else if (style.fillPaint) {
        alpha = fa;
    } else if (style.strokePaint) {
        alpha = sa;
    }

    std::vector<std::vector<AIPathSegment>> segs(pb.subs.size());
    auto corners = at.find("data-easel-corners");
    for (size_t i = 0; i < pb.subs.size(); ++i) {
        auto ends = at.find("data-easel-ends");
        if (!toSegments(pb.subs[i], ctm, segs[i],
                        pb.subs.size() == 1 && corners != at.end() ? corners->second : std::string(),
                        pb.subs.size() == 1 && ends != at.end() ? ends->second : std::string())) {
            note("skipped <" + tag + "> with coordinates out of range");
            return;
        }
    }
    auto type = at.find("data-easel-type");
    const bool compound = pb.subs.size() > 1 || (type != at.end() && type->second == "compound");
    if (!compound) {
        Art* a = newArt(kPathArt, ctx);
        if (segs.empty()) {
            auto closed = at.find("data-easel-closed");
            setSegments(a, {}, closed != at.end() && closed->second == "true", at);
        } else {
            setSegments(a, segs[0], pb.subs[0].closed, at);
        }
        doc_->setStyle(a, style);
        keepAttributes(a, ownOpacities);
        finish(a, at, own, props, alpha, &ctm);
        return;
    }
    Art* c = newArt(kCompoundPathArt, ctx);
    // The path shows the style the compound is drawn with; a compound whose
    // own style differs keeps it in data-easel-own.
    AIPathStyle cstyle = style;
    Props cown = own;
    float calpha = alpha;
    if (auto ownIt = at.find("data-easel-own"); ownIt != at.end()) {
        const Json oj = parseAttributeJson(ownIt->second);
        if (oj.is_object()) {
            AttrMap oa;
            for (auto& [k, v] : oj.items())
                if (v.is_string()) oa[k] = v.get<std::string>();
            const Props o = ownProps(nullptr, oa);
            for (const auto& [k, v] : o) cown[k] = v;
            float ofa = 1, osa = 1;
            cstyle = styleFor(inherit(props, o), oa, ctm, ctx, ofa, osa);
            calpha = 1;
        } else {
            note("data-easel-own is not a JSON object; the compound takes the style it is drawn with");
        }
    }
    doc_->setStyle(c, cstyle);
    keepAttributes(c, ownOpacities);
    // Members written by this system carry their own attributes.
    std::vector<AttrMap> parts(pb.subs.size());
    auto partsIt = at.find("data-easel-parts");
    if (partsIt != at.end()) {
        Json pj = parseAttributeJson(partsIt->second);
        if (pj.is_array() && pj.size() == parts.size()) {
            for (size_t i = 0; i < parts.size(); ++i) {
                if (!pj[i].is_object()) continue;
                for (auto& [k, v] : pj[i].items()) {
                    if (v.is_string()) parts[i][k] = v.get<std::string>();
                }
            }
        } else {
            note("data-easel-parts does not match the path; compound members read from the path alone");
        }
    }
    Ctx inner = ctx;
    inner.parent = c;
    inner.depth = ctx.depth + 1;
    auto mine = std::move(patterns_);
    patterns_.clear();
    for (size_t i = 0; i < pb.subs.size(); ++i) {
        Art* a = newArt(kPathArt, inner);
        const AttrMap& pa = parts[i];
        auto pc = pa.find("data-easel-corners");
        auto pe = pa.find("data-easel-ends");
        if (pc != pa.end() || pe != pa.end())
            toSegments(pb.subs[i], ctm, segs[i], pc != pa.end() ? pc->second : std::string(),
                       pe != pa.end() ? pe->second : std::string());
        setSegments(a, segs[i], pb.subs[i].closed, pa);
        if (pa.empty()) {
            doc_->setStyle(a, style);
            pending_.push_back(Pending{a, false, false});
        } else {
            const Props pown = ownProps(nullptr, pa);
            const Props pprops = inherit(props, pown);
            float pfa = 1, psa = 1;
            // A member written without a fill (the first) has the style the path shows.
            doc_->setStyle(a, pa.count("fill") ? styleFor(pprops, pa, ctm, ctx, pfa, psa) : style);
            finish(a, pa, pown, pprops, 1);
        }
    }
    patterns_ = std::move(mine);
    finish(c, at, cown, props, calpha, &ctm);
}

void Importer::text(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx,
                    const Mat& ctm) {
    // The characters of the text and its spans, on one line.
    std::string content;
    xmlNodePtr pathRef = nullptr;
    AttrMap pathAttrs;
    // What easel draws otherwise, reported when the spans are not kept.
    std::vector<std::string> merged;
    std::function<void(xmlNodePtr, int)> collect = [&](xmlNodePtr e, int depth) {
        for (xmlNodePtr c = e->children; c; c = c->next) {
            if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE || c->type == XML_ENTITY_REF_NODE) {
                xmlNodePtr saved = c->next;
                c->next = nullptr;
                content += nodeText(c);
                c->next = saved;
            } else if (c->type == XML_ELEMENT_NODE && isSvg(c) && depth < 8) {
                const std::string tag = name(c);
                if (tag == "tspan" || tag == "a") {
                    const AttrMap ta = attributes(c);
                    if (ta.count("x") || ta.count("y") || ta.count("dx") || ta.count("dy"))
                        merged.push_back("text spans placed on their own merged into one line");
                    else if (!declaredProperties(tag, ta, sheet_, [](const std::string&) {}).empty())
                        merged.push_back("text spans styled on their own drawn in the text's style");
                    collect(c, depth + 1);
                } else if (tag == "textPath" && !pathRef) {
                    pathAttrs = attributes(c);
                    std::string href = pathAttrs.count("href") ? pathAttrs["href"] : pathAttrs["xlink:href"];
                    auto it = href.size() > 1 && href[0] == '#' ? ids_.find(href.substr(1)) : ids_.end();
                    if (it != ids_.end() && name(it->second) == "path") pathRef = it->second, written_.insert(pathRef);
                    else note("text path reference not found; text set on a line");
                    collect(c, depth + 1);
                } else {
                    merged.push_back("skipped <" + tag + "> inside text");
                }
            }
        }
    };
    collect(n, 0);
    auto space = at.find("xml:space");
    if (space == at.end() || space->second != "preserve") {
        std::string collapsed;
        for (char ch : content) {
            if (ch == '\n' || ch == '\r') continue;
            if (ch == '\t') ch = ' ';
            if (ch == ' ' && (collapsed.empty() || collapsed.back() == ' ')) continue;
            collapsed += ch;
        }
        while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
        content = collapsed;
    }
    auto exact = at.find("data-easel-text");
    if (exact != at.end()) {
        Json j = parseAttributeJson(exact->second);
        if (j.is_string() && xmlText(j.get<std::string>()) == content) content = j.get<std::string>();
    }
    ObjectData o;
    o.isText = true;
    o.text = content;
    const double det = std::abs(ctm.a * ctm.d - ctm.b * ctm.c);
    o.fontSize = static_cast<float>(fontSize(props));
    float fa = 1, sa = 1;
    // Text is drawn through its matrix, stroke included.
    const AIPathStyle style = styleFor(props, at, Mat{}, ctx, fa, sa);
    Art* a = nullptr;
    double x0 = 0, y0 = 0;
    if (pathRef) {
        PathBuilder pb;
        std::string problem;
        auto ed = at.find("data-easel-d");
        Mat m = ctm;
        if (ed != at.end()) {
            // The exact path this system wrote, in model coordinates.
            parsePathData(ed->second, pb, problem, lim_.maxPathPoints);
            m = Mat{};
        } else {
            const AttrMap pa = attributes(pathRef);
            auto d = pa.find("d");
            if (d != pa.end()) parsePathData(d->second, pb, problem, lim_.maxPathPoints);
        }
        if (pb.points > lim_.maxPathPoints)
            throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) + " points (the limit of a path)"};
        if (!problem.empty()) note(problem + "; the path drawn up to it");
        if (pb.subs.size() > 1) note("text path of several subpaths set on the first");
        std::vector<AIPathSegment> segs;
        auto corners = at.find("data-easel-corners");
        if (!pb.subs.empty() &&
            !toSegments(pb.subs[0], m, segs, corners != at.end() ? corners->second : std::string(),
                        at.count("data-easel-ends") ? at.at("data-easel-ends") : std::string())) {
            note("skipped <text> with coordinates out of range");
            return;
        }
        a = newArt(kTextPathArt, ctx);
        auto closed = at.find("data-easel-closed");
        setSegments(a, segs, pb.subs.empty() ? closed != at.end() && closed->second == "true" : pb.subs[0].closed, at);
        if (ed == at.end() && det != 1) o.fontSize = static_cast<float>(static_cast<double>(o.fontSize) * std::sqrt(det));
    } else {
        Length l;
        auto coord = [&](const char* k, double pct) {
            auto it = at.find(k);
            if (it == at.end()) return 0.0;
            std::string_view v = trim(it->second);
            v = v.substr(0, std::min(v.find(' '), v.find(',')));
            if (v.size() != trim(it->second).size()) merged.push_back("text with a position per character set from the first");
            return parseLength(v, l) ? userLength(l, pct, fontSize(props)) : 0.0;
        };
        x0 = coord("x", ctx.vpw), y0 = coord("y", ctx.vph);
        auto m = objectMatrix(ctm, x0, y0);
        if (!m) {
            note("skipped <text> with coordinates out of range");
            return;
        }
        a = newArt(kTextArt, ctx);
        doc_->setObjectMatrix(a, toReal(*m));
    }
    if (!std::isfinite(o.fontSize)) o.fontSize = 12;
    if (std::fabs(o.fontSize) > kMaxFontSize) {
        note("text with a font size past " + std::to_string(static_cast<int>(kMaxFontSize)) +
             " points (the limit) set at the limit");
        o.fontSize = std::copysign(kMaxFontSize, o.fontSize);
    }
    doc_->setObjectData(a, o);
    doc_->setStyle(a, style);
    // Font choice and alignment are kept to be written back.
    if (!at.count("data-easel-extra") && !at.count("data-easel-id")) {
        Json svg = Json::object();
        for (const char* k : {"font-family", "font-weight", "font-style", "text-anchor", "letter-spacing"}) {
            auto it = props.find(k);
            if (it != props.end()) svg[k] = it->second;
        }
        if (!svg.empty()) doc_->setExtra(a, Json{{"svg", svg}}.dump());
    }
    // Spans are written back as they were while the string stays the same.
    if (pathRef || !keepSpans(a, n, at, o.text, x0, y0)) {
        for (const std::string& m : merged) note(m);
    }
    finish(a, at, own, props, style.fillPaint ? fa : 1, &ctm);
}

void Importer::image(const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx, const Mat& ctm) {
    Length l;
    auto len = [&](const char* k, double pct) {
        auto it = at.find(k);
        return it != at.end() && parseLength(it->second, l) ? userLength(l, pct, fontSize(props)) : 0.0;
    };
    const double x = len("x", ctx.vpw), y = len("y", ctx.vph), w = len("width", ctx.vpw), h = len("height", ctx.vph);
    ObjectData o;
    o.href = at.count("href") ? at.at("href") : at.count("xlink:href") ? at.at("xlink:href") : "";
    if (!at.count("width") || !at.count("height")) note("image without width or height: its size is not known");
    auto size = at.find("data-easel-size");
    double sw = w, sh = h;
    if (size != at.end()) {
        Scanner sc{size->second};
        if (!(sc.number(sw) && (sc.skipSep(), sc.number(sh)))) sw = w, sh = h;
    }
    o.width = static_cast<float>(sw);
    o.height = static_cast<float>(sh);
    auto m = objectMatrix(ctm, x, y + sh);
    if (!m || !std::isfinite(o.width) || !std::isfinite(o.height)) {
        note("skipped <image> with coordinates out of range");
        return;
    }
    auto type = at.find("data-easel-type");
    int16_t t = kPlacedArt;
    if (type != at.end() && type->second == "raster") t = kRasterArt;
    if (type != at.end() && type->second == "mesh") {
        t = kMeshArt;
        o.href.clear();
    }
    Art* a = newArt(t, ctx);
    doc_->setObjectData(a, o);
    doc_->setObjectMatrix(a, toReal(*m));
    auto par = at.find("preserveAspectRatio");
    if (!at.count("data-easel-extra") && !at.count("data-easel-id") &&
        (par == at.end() || trim(par->second) != "none")) {
        // Kept so that the image is fitted into its box as before.
        doc_->setExtra(a, Json{{"svg", {{"preserveAspectRatio", par == at.end() ? "xMidYMid meet" : par->second}}}}.dump());
    }
    if (own.count("fill") || own.count("stroke")) {
        float fa = 1, sa = 1;
        doc_->setStyle(a, styleFor(props, at, Mat{}, ctx, fa, sa));
    }
    finish(a, at, own, props, 1, &ctm);
}

void Importer::warpedImage(xmlNodePtr n, const Props& own, const Ctx& ctx, const Mat& ctm) {
    written_.insert(n);
    for (xmlNodePtr defs = n->children; defs; defs = defs->next) {
        if (!isSvg(defs) || name(defs) != "defs") continue;
        for (xmlNodePtr c = defs->children; c; c = c->next) {
            if (!isSvg(c) || name(c) != "image") continue;
            Ctx inner = ctx;
            inner.ctm = ctm;
            inner.depth = ctx.depth + 1;
            const size_t before = objects_;
            element(c, inner);
            // The pieces are drawn as one group, which carries the image's
            // opacity and blend mode.
            if (objects_ != before) {
                Art* a = ctx.parent ? ctx.parent->lastChild() : ctx.layer ? ctx.layer->lastArt() : nullptr;
                if (a) opacityAndBlend(a, own, 1);
            }
            return;
        }
    }
    note("skipped a warped image without its image definition");
}

void Importer::use(xmlNodePtr n, const AttrMap& at, const Props& own, const Props& props, const Ctx& ctx,
                   const Mat& ctm) {
    const std::string href = at.count("href") ? at.at("href") : at.count("xlink:href") ? at.at("xlink:href") : "";
    Length l;
    auto len = [&](const char* k, double pct, double dflt) {
        auto it = at.find(k);
        return it != at.end() && parseLength(it->second, l) ? userLength(l, pct, fontSize(props)) : dflt;
    };
    const double x = len("x", ctx.vpw, 0), y = len("y", ctx.vph, 0);
    auto target = href.size() > 1 && href[0] == '#' ? ids_.find(href.substr(1)) : ids_.end();
    const bool mesh = at.count("data-easel-type") && at.at("data-easel-type") == "mesh";
    if (!mesh && (target == ids_.end() || !isSvg(target->second))) {
        if (!at.count("data-easel-symbol")) {
            note("skipped <use> of a missing element");
            return;
        }
    }
    xmlNodePtr t = target == ids_.end() ? nullptr : target->second;
    if (at.count("data-easel-symbol") || (t && name(t) == "symbol")) {
        // A symbol instance; the symbol's definition is kept with it.
        ObjectData o;
        o.symbol = at.count("data-easel-symbol") ? at.at("data-easel-symbol") : href.substr(1);
        double w = len("width", ctx.vpw, -1), h = len("height", ctx.vph, -1);
        if (t && (w < 0 || h < 0)) {
            AttrMap ta = attributes(t);
            Scanner sc{ta.count("viewBox") ? std::string_view(ta["viewBox"]) : std::string_view()};
            double v[4] = {0, 0, 0, 0};
            bool ok = true;
            for (double& e : v) ok = ok && sc.number(e), sc.skipSep();
            if (w < 0) w = ok ? v[2] : ctx.vpw;
            if (h < 0) h = ok ? v[3] : ctx.vph;
        }
        w = std::max(w, 0.0);
        h = std::max(h, 0.0);
        o.width = static_cast<float>(w);
        o.height = static_cast<float>(h);
        auto m = objectMatrix(ctm, x, y + h);
        if (!m) {
            note("skipped <use> with coordinates out of range");
            return;
        }
        Art* a = newArt(kSymbolArt, ctx);
        doc_->setObjectData(a, o);
        doc_->setObjectMatrix(a, toReal(*m));
        if (!at.count("data-easel-extra") && !at.count("data-easel-id") && t) {
            doc_->setExtra(a, Json{{kSymbolDefinitionKey, dump(t)}}.dump());
        }
        if (t) written_.insert(t);
        if (own.count("fill") || own.count("stroke")) {
            float fa = 1, sa = 1;
            doc_->setStyle(a, styleFor(props, at, Mat{}, ctx, fa, sa));
        }
        finish(a, at, own, props, 1, &ctm);
        return;
    }
    // A copy of another element, as a group placed by x and y.
    if (t == n || useStack_.count(t)) {
        note("skipped <use> that refers to itself");
        return;
    }
    if (useStack_.size() >= 16) {
        note("skipped <use> nested deeper than 16 copies (the limit)");
        return;
    }
    Art* g = newArt(kGroupArt, ctx);
    Ctx inner = ctx;
    inner.ctm = mul(ctm, translate(x, y));
    inner.inherited = &props;
    inner.parent = g;
    inner.depth = ctx.depth + 1;
    useStack_.insert(t);
    auto mine = std::move(patterns_);
    patterns_.clear();
    element(t, inner, &at);
    patterns_ = std::move(mine);
    useStack_.erase(t);
    finish(g, at, own, props, 1, &ctm);
}

}  // namespace easel::svg
