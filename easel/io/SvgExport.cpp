#include "SvgExport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>
#include <vector>

#include "Names.h"
#include "SvgColor.h"
#include "SvgShared.h"
#include "Warp.h"

namespace easel {

namespace {

using Json = nlohmann::ordered_json;
using Attrs = std::vector<std::pair<std::string, std::string>>;

std::string num(float v) { return formatNumber(v); }

std::string jsonText(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

bool samePoint(const AIRealPoint& a, const AIRealPoint& b) { return a.h == b.h && a.v == b.v; }

// Path data for segments, in model coordinates or (flip) in page coordinates
// with the vertical axis down.
void appendPathData(const std::vector<AIPathSegment>& segs, bool closed, std::string& d, const float* flipHeight) {
    if (segs.empty()) return;
    auto pt = [&](const AIRealPoint& p) {
        if (!flipHeight) return num(p.h) + " " + num(p.v);
        return num(p.h) + " " + formatNumber(static_cast<double>(*flipHeight) - static_cast<double>(p.v));
    };
    if (!d.empty()) d += ' ';
    d += "M" + pt(segs[0].p);
    auto curve = [&](const AIPathSegment& from, const AIPathSegment& to) {
        if (samePoint(from.out, from.p) && samePoint(to.in, to.p)) {
            d += " L" + pt(to.p);
        } else {
            d += " C" + pt(from.out) + " " + pt(to.in) + " " + pt(to.p);
        }
    };
    for (size_t i = 1; i < segs.size(); ++i) curve(segs[i - 1], segs[i]);
    if (closed) {
        const AIPathSegment& last = segs.back();
        const AIPathSegment& first = segs.front();
        const bool straight = samePoint(last.out, last.p) && samePoint(first.in, first.p);
        // A straight closing side is left to Z, unless the last anchor sits on
        // the first: then an explicit side keeps the reader from folding the
        // last anchor into the first.
        if (!straight || segs.size() == 1 || samePoint(last.p, first.p)) curve(last, first);
        d += " Z";
    }
}

class Writer {
public:
    explicit Writer(const Document& doc) : doc_(doc) {}
    std::string run();

private:
    void art(const Art& a, int indent);
    void styleAttrs(const Art& a, Attrs& at, bool always) { styleAttrs(a.style(), at, always); }
    void styleAttrs(const AIPathStyle& s, Attrs& at, bool always);
    void commonAttrs(const Art& a, Attrs& at) { commonAttrs(a, at, a.opacity(), a.blendMode()); }
    // With the opacity and blend mode the art is drawn with.
    void commonAttrs(const Art& a, Attrs& at, float opacity, int32_t blend);
    // A compound path drawn as one SVG path with its drawn style; its own
    // style, opacity and blend mode, when they differ, go in data-easel-own.
    void compoundPaint(const Art& a, Attrs& at);
    void open(const std::string& tag, const Attrs& at, int indent, bool empty);
    // SVG attributes kept from an imported file (extra "svg") replace or join ours.
    static void passthrough(const Art& a, Attrs& at);
    void line(int indent, const std::string& text) {
        out_.append(static_cast<size_t>(indent), ' ');
        out_ += text;
        out_ += '\n';
    }
    // Objects draw their local box (0, 0)-(w, h), vertical axis up, through
    // the object matrix; SVG draws (0, -h)-(w, 0) with the axis down.
    static std::string objectTransform(const AIRealMatrix& m) {
        return "matrix(" + num(m.a) + " " + num(m.b) + " " + num(-m.c) + " " + num(-m.d) + " " + num(m.tx) + " " +
               num(m.ty) + ")";
    }
    std::string pageFlip() const { return "matrix(1 0 0 -1 0 " + num(doc_.height()) + ")"; }
    void collectSymbols(const Art& a);
    // Art with a clip path, mask or filter kept from an imported file:
    // written inside a group in the effects' space, the art itself taken
    // back to the page. false when it keeps none (or its space cannot be
    // inverted), and nothing is written.
    bool effectsWrapper(const Art& a, int indent);
    const Art* unwrapped_ = nullptr;
    std::vector<std::string> effectDefs_;
    std::set<std::string> effectDefsSeen_;
    static std::string gradientId(int32_t ref) { return "easel-gradient-" + std::to_string(ref); }
    // The gradient paints the art uses, written once each as definitions.
    void collectGradients(const Art& a);
    void writeGradient(int32_t ref, int indent);
    std::set<int32_t> gradients_;
    // The transform of object art; under a warp, the warp's local affine at
    // the object's centre is drawn and the object's own transform is kept
    // in data-easel-transform.
    void objectTransformAttrs(const Art& a, Attrs& at) {
        AIRealMatrix shown{};
        if (!warpedMatrix(a, shown)) {
            at.emplace_back("transform", objectTransform(a.objectMatrix()));
            return;
        }
        at.emplace_back("transform", objectTransform(shown));
        at.emplace_back("data-easel-transform", objectTransform(a.objectMatrix()));
    }
    // Segments of path art as drawn on the page; false (out untouched) when
    // no warp acts on it, so the stored segments are drawn.
    bool warpedSegments(const Art& a, std::vector<AIPathSegment>& out);
    // The object matrix followed by the local affine of the warps at the
    // centre of the object's box; false when no warp acts on it.
    bool warpedMatrix(const Art& a, AIRealMatrix& out);
    // Placed and raster images under a warp, drawn as triangles each mapped
    // by the affine that fits the warp at its corners; false when the warp
    // gives no usable mesh (the caller then draws it by warpedMatrix).
    bool warpedImage(const Art& a, Attrs& at, int indent);

    const Document& doc_;
    WarpedGeometry warps_;
    std::string out_;
    std::vector<std::pair<std::string, std::string>> symbols_;  // name, kept definition
    std::set<std::string> symbolNames_;
};

void Writer::open(const std::string& tag, const Attrs& at, int indent, bool empty) {
    std::string s = "<" + tag;
    for (const auto& [k, v] : at) s += " " + k + "=\"" + xmlEscape(v, true) + "\"";
    s += empty ? "/>" : ">";
    line(indent, s);
}

void Writer::passthrough(const Art& a, Attrs& at) {
    if (a.extra().empty()) return;
    Json extra = Json::parse(a.extra(), nullptr, false);
    if (!extra.is_object() || !extra.contains("svg") || !extra["svg"].is_object()) return;
    for (auto& [k, v] : extra["svg"].items()) {
        if (!v.is_string() || !isXmlName(k.substr(k.find(':') + 1)) || k.rfind("data-easel", 0) == 0) continue;
        bool replaced = false;
        for (auto& [name, value] : at) {
            if (name == k) {
                value = v.get<std::string>();
                replaced = true;
            }
        }
        if (!replaced) at.emplace_back(k, v.get<std::string>());
    }
}

void Writer::commonAttrs(const Art& a, Attrs& at, float opacity, int32_t blend) {
    at.emplace_back("data-easel-id", std::to_string(a.id()));
    if (a.selected()) {
        at.emplace_back("data-easel-selected", "true");
        if (a.hasPath() && a.hasPartialSegmentSelection()) {
            std::string sel;
            for (size_t i = 0; i < a.segmentCount(); ++i) {
                const int16_t bits = a.segmentSelection(i);
                if (bits == 0) continue;
                if (!sel.empty()) sel += ' ';
                sel += std::to_string(i);
                if (bits != kSegmentPointSelected) sel += ":" + std::to_string(bits);
            }
            at.emplace_back("data-easel-selection", sel);
        }
    }
    if (a.locked()) at.emplace_back("data-easel-locked", "true");
    if (a.hidden()) {
        at.emplace_back("data-easel-hidden", "true");
        at.emplace_back("display", "none");
    }
    if (opacity != 1) at.emplace_back("opacity", num(opacity));
    if (blend != 0) at.emplace_back("style", std::string("mix-blend-mode:") + blendModeName(blend));
    if (!a.tags().empty()) {
        Json t = Json::object();
        // Reals go through their shortest float form so they read back exactly.
        for (const Tag& tag : a.tags()) {
            if (tag.isReal) t[tag.name] = std::strtod(num(tag.real).c_str(), nullptr);
            else t[tag.name] = tag.text;
        }
        at.emplace_back("data-easel-tags", jsonText(t));
    }
    if (!a.extra().empty()) at.emplace_back("data-easel-extra", a.extra());
}

void Writer::compoundPaint(const Art& a, Attrs& at) {
    const DrawnStyle drawn = drawnStyle(a);
    commonAttrs(a, at, drawn.opacity, drawn.blend);
    styleAttrs(drawn.style, at, true);
    if (sameStyle(a.style(), drawn.style) && a.opacity() == drawn.opacity && a.blendMode() == drawn.blend) return;
    Attrs own;
    styleAttrs(a, own, true);
    own.emplace_back("opacity", num(a.opacity()));
    own.emplace_back("mix-blend-mode", blendModeName(a.blendMode()));
    Json oj = Json::object();
    for (const auto& [k, v] : own) oj[k] = v;
    at.emplace_back("data-easel-own", jsonText(oj));
}

void Writer::styleAttrs(const AIPathStyle& s, Attrs& at, bool always) {
    if (!always && sameStyle(s, unpaintedStyle())) return;
    auto paint = [&](const char* name, bool on, const AIColor& c) {
        const auto shown = on ? displayColor(c, &doc_) : std::nullopt;
        if (on && c.kind == kGradientColor && doc_.gradientPaint(c.ref)) {
            at.emplace_back(name, "url(#" + gradientId(c.ref) + ") " + hexColor(*shown));
        } else {
            at.emplace_back(name, shown ? hexColor(*shown) : "none");
        }
        at.emplace_back(std::string("data-easel-") + name, std::string(on ? "on " : "off ") + colorText(c));
    };
    paint("fill", s.fillPaint != 0, s.fill.color);
    at.emplace_back("fill-rule", s.evenOdd ? "evenodd" : "nonzero");
    paint("stroke", s.strokePaint != 0, s.stroke.color);
    const AIStrokeStyle& k = s.stroke;
    at.emplace_back("stroke-width", num(k.width));
    if (k.cap != kButtCap) at.emplace_back("stroke-linecap", k.cap == kRoundCap ? "round" : "square");
    if (k.join != kMiterJoin) at.emplace_back("stroke-linejoin", k.join == kRoundJoin ? "round" : "bevel");
    if (k.miterLimit != 4) at.emplace_back("stroke-miterlimit", num(k.miterLimit));
    if (k.dashCount > 0) {
        std::string dash;
        for (int i = 0; i < k.dashCount && i < kMaxDashComponents; ++i) {
            if (i) dash += ' ';
            dash += num(k.dash[i]);
        }
        at.emplace_back("stroke-dasharray", dash);
        if (k.dashOffset != 0) at.emplace_back("stroke-dashoffset", num(k.dashOffset));
    } else if (k.dashOffset != 0) {
        at.emplace_back("data-easel-dashoffset", num(k.dashOffset));
    }
    if (s.fill.overprint || k.overprint) {
        at.emplace_back("data-easel-overprint",
                        std::string(s.fill.overprint ? "fill" : "") + (s.fill.overprint && k.overprint ? " " : "") +
                            (k.overprint ? "stroke" : ""));
    }
}

// Direction points SVG path data has no place for: the first anchor's
// incoming and the last anchor's outgoing one on an open path.
void endsAttr(const std::vector<AIPathSegment>& segs, bool closed, Attrs& at) {
    if (closed || segs.empty()) return;
    const AIPathSegment& first = segs.front();
    const AIPathSegment& last = segs.back();
    if (samePoint(first.in, first.p) && samePoint(last.out, last.p)) return;
    at.emplace_back("data-easel-ends", num(first.in.h) + " " + num(first.in.v) + " " + num(last.out.h) + " " +
                                           num(last.out.v));
}

std::string cornersAttr(const std::vector<AIPathSegment>& segs) {
    std::string flags;
    bool differs = false;
    for (const AIPathSegment& s : segs) {
        const bool corner = s.corner != 0;
        flags += corner ? '1' : '0';
        if (corner == looksSmooth(s)) differs = true;
    }
    return differs ? flags : std::string();
}

bool Writer::effectsWrapper(const Art& a, int indent) {
    const AIRealMatrix* space = a.effectSpace();
    if (!space || a.extra().empty()) return false;
    const Json extra = Json::parse(a.extra(), nullptr, false);
    if (!extra.is_object() || !extra.contains(kEffectsKey) || !extra[kEffectsKey].is_object()) return false;
    const Json& effects = extra[kEffectsKey];
    if (!effects.contains("attributes") || !effects["attributes"].is_object()) return false;
    const double m[6] = {space->a, space->b, space->c, space->d, space->tx, space->ty};
    const double det = m[0] * m[3] - m[1] * m[2];
    const double scale = std::max({std::abs(m[0]), std::abs(m[1]), std::abs(m[2]), std::abs(m[3])});
    if (!(std::abs(det) > 1e-12 * scale * scale)) return false;
    const double inv[6] = {m[3] / det, -m[1] / det, -m[2] / det, m[0] / det, (m[2] * m[5] - m[3] * m[4]) / det,
                           (m[1] * m[4] - m[0] * m[5]) / det};
    std::string inverse = "matrix(";
    for (int i = 0; i < 6; ++i) {
        const auto v = static_cast<float>(inv[i]);
        if (!std::isfinite(v)) return false;
        inverse += num(v) + (i == 5 ? ")" : " ");
    }
    Attrs outer{{"data-easel-type", "effects"},
                {"transform", "matrix(" + num(space->a) + " " + num(space->b) + " " + num(space->c) + " " +
                                  num(space->d) + " " + num(space->tx) + " " + num(space->ty) + ")"}};
    for (const auto& [k, v] : effects["attributes"].items()) {
        if (v.is_string() && (k == "clip-path" || k == "mask" || k == "filter")) outer.emplace_back(k, v.get<std::string>());
    }
    open("g", outer, indent, false);
    open("g", Attrs{{"transform", inverse}}, indent + 2, false);
    unwrapped_ = &a;
    art(a, indent + 4);
    line(indent + 2, "</g>");
    line(indent, "</g>");
    return true;
}

void Writer::art(const Art& a, int indent) {
    if (a.effectSpace() && unwrapped_ != &a && effectsWrapper(a, indent)) return;
    Attrs at;
    const int16_t t = a.type();
    switch (t) {
        case kGroupArt:
        case kEnvelopeArt:
        case kCompoundPathArt: {
            // A compound path of plain paths is one SVG path; anything else in
            // it is written as a group of its members.
            bool onePath = t == kCompoundPathArt && a.firstChild();
            for (const Art* c = a.firstChild(); c && onePath; c = c->next())
                onePath = c->type() == kPathArt && c->segmentCount() > 0;
            if (onePath) {
                std::string d, exact;
                bool warped = false;
                Json parts = Json::array();
                for (const Art* c = a.firstChild(); c; c = c->next()) {
                    const auto segs = c->segments();
                    std::vector<AIPathSegment> shown;
                    if (warpedSegments(*c, shown)) warped = true;
                    else shown = segs;
                    appendPathData(shown, c->closed(), d, nullptr);
                    appendPathData(segs, c->closed(), exact, nullptr);
                    Attrs pa;
                    commonAttrs(*c, pa);
                    // The first member's style is the one the path shows.
                    if (c != a.firstChild()) styleAttrs(*c, pa, true);
                    const std::string corners = cornersAttr(segs);
                    if (!corners.empty()) pa.emplace_back("data-easel-corners", corners);
                    endsAttr(segs, c->closed(), pa);
                    Json pj = Json::object();
                    for (const auto& [k, v] : pa) pj[k] = v;
                    parts.push_back(pj);
                }
                at.emplace_back("d", d);
                if (warped) at.emplace_back("data-easel-d", exact);
                at.emplace_back("data-easel-type", "compound");
                compoundPaint(a, at);
                at.emplace_back("data-easel-parts", jsonText(parts));
                passthrough(a, at);
                open("path", at, indent, true);
                return;
            }
            if (t != kGroupArt) at.emplace_back("data-easel-type", artTypeName(t));
            if (t == kEnvelopeArt) {
                const EnvelopeWarp& w = a.warp();
                at.emplace_back("data-easel-warp", std::to_string(w.style) + " " + num(w.bend) + " " +
                                                       num(w.horizontal) + " " + num(w.vertical) + " " +
                                                       (w.rotate90 ? "1" : "0"));
            }
            commonAttrs(a, at);
            styleAttrs(a, at, false);
            passthrough(a, at);
            if (!a.firstChild()) {
                open("g", at, indent, true);
                return;
            }
            open("g", at, indent, false);
            for (const Art* c = a.firstChild(); c; c = c->next()) art(*c, indent + 2);
            line(indent, "</g>");
            return;
        }
        case kPathArt: {
            const auto segs = a.segments();
            std::vector<AIPathSegment> shown;
            const bool warped = warpedSegments(a, shown);
            std::string d;
            appendPathData(warped ? shown : segs, a.closed(), d, nullptr);
            at.emplace_back("d", d);
            if (warped) {
                // The unwarped segments, which reading the file back keeps.
                std::string exact;
                appendPathData(segs, a.closed(), exact, nullptr);
                at.emplace_back("data-easel-d", exact);
            }
            if (segs.empty()) at.emplace_back("data-easel-closed", a.closed() ? "true" : "false");
            const std::string corners = cornersAttr(segs);
            if (!corners.empty()) at.emplace_back("data-easel-corners", corners);
            endsAttr(segs, a.closed(), at);
            commonAttrs(a, at);
            styleAttrs(a, at, true);
            passthrough(a, at);
            open("path", at, indent, true);
            return;
        }
        case kTextArt:
        case kTextPathArt: {
            const ObjectData& o = a.object();
            std::string pathId;
            if (t == kTextPathArt) {
                // The glyphs must not be mirrored, so the text is set in page
                // coordinates (the layer's flip undone) along a path written
                // with the axis down.
                pathId = "easel-path-" + std::to_string(a.id());
                // The glyphs follow the warped path; they are not bent
                // themselves.
                const auto segs = a.segments();
                std::vector<AIPathSegment> shown;
                const bool warped = warpedSegments(a, shown);
                std::string d;
                const float h = doc_.height();
                appendPathData(warped ? shown : segs, a.closed(), d, &h);
                line(indent, "<defs>");
                Attrs pa{{"id", pathId}, {"d", d}};
                open("path", pa, indent + 2, true);
                line(indent, "</defs>");
                at.emplace_back("data-easel-type", "textpath");
                std::string exact;
                appendPathData(segs, a.closed(), exact, nullptr);
                at.emplace_back("data-easel-d", exact);
                at.emplace_back("transform", pageFlip());
                if (segs.empty()) at.emplace_back("data-easel-closed", a.closed() ? "true" : "false");
                const std::string corners = cornersAttr(segs);
                if (!corners.empty()) at.emplace_back("data-easel-corners", corners);
                endsAttr(segs, a.closed(), at);
            } else {
                objectTransformAttrs(a, at);
            }
            at.emplace_back("font-size", num(o.fontSize));
            at.emplace_back("xml:space", "preserve");
            const std::string shown = xmlText(o.text);
            if (shown != o.text) at.emplace_back("data-easel-text", jsonText(Json(o.text)));
            commonAttrs(a, at);
            styleAttrs(a, at, true);
            passthrough(a, at);
            std::string s = "<text";
            for (const auto& [k, v] : at) s += " " + k + "=\"" + xmlEscape(v, true) + "\"";
            s += ">";
            if (t == kTextPathArt) s += "<textPath href=\"#" + pathId + "\" xlink:href=\"#" + pathId + "\">";
            s += xmlEscape(shown, false);
            if (t == kTextPathArt) s += "</textPath>";
            s += "</text>";
            line(indent, s);
            return;
        }
        case kPlacedArt:
        case kRasterArt:
        case kMeshArt:
        case kSymbolArt: {
            const ObjectData& o = a.object();
            std::string tag = "image";
            if (t == kRasterArt) at.emplace_back("data-easel-type", "raster");
            if (t == kMeshArt) {
                tag = "rect";
                at.emplace_back("data-easel-type", "mesh");
            }
            if (t == kSymbolArt) {
                tag = "use";
                at.emplace_back("data-easel-symbol", o.symbol);
                if (isXmlName(o.symbol)) {
                    at.emplace_back("href", "#" + o.symbol);
                    at.emplace_back("xlink:href", "#" + o.symbol);
                }
            }
            at.emplace_back("x", "0");
            at.emplace_back("y", num(-o.height));
            at.emplace_back("width", num(o.width));
            at.emplace_back("height", num(o.height));
            if (o.width < 0 || o.height < 0) at.emplace_back("data-easel-size", num(o.width) + " " + num(o.height));
            const bool image = t == kPlacedArt || t == kRasterArt;
            // Images under a warp are drawn in pieces from this element, kept
            // unwarped as a definition.
            if (image && !warps_.chainOf(a).identity()) at.emplace_back("transform", objectTransform(a.objectMatrix()));
            else objectTransformAttrs(a, at);
            if (image) {
                at.emplace_back("href", o.href);
                at.emplace_back("xlink:href", o.href);
                at.emplace_back("preserveAspectRatio", "none");
            }
            commonAttrs(a, at);
            styleAttrs(a, at, t == kMeshArt);
            passthrough(a, at);
            if (image && !warps_.chainOf(a).identity()) {
                if (warpedImage(a, at, indent)) return;
                AIRealMatrix shown{};
                if (warpedMatrix(a, shown)) {
                    for (auto& [k, v] : at) {
                        if (k == "transform") v = objectTransform(shown);
                    }
                    at.emplace_back("data-easel-transform", objectTransform(a.objectMatrix()));
                }
            }
            open(tag, at, indent, true);
            return;
        }
        default:
            line(indent, "<!-- art " + std::to_string(a.id()) + " of an unknown type -->");
            return;
    }
}

void Writer::collectSymbols(const Art& a) {
    if (a.type() == kSymbolArt && isXmlName(a.object().symbol) && !symbolNames_.count(a.object().symbol)) {
        std::string def;
        if (!a.extra().empty()) {
            Json extra = Json::parse(a.extra(), nullptr, false);
            if (extra.is_object() && extra.contains(kSymbolDefinitionKey) && extra[kSymbolDefinitionKey].is_string())
                def = extra[kSymbolDefinitionKey].get<std::string>();
        }
        if (def.empty()) def = "<symbol id=\"" + a.object().symbol + "\"/>";
        symbolNames_.insert(a.object().symbol);
        symbols_.emplace_back(a.object().symbol, def);
    }
    if (a.effectSpace() && !a.extra().empty()) {
        const Json extra = Json::parse(a.extra(), nullptr, false);
        if (extra.is_object() && extra.contains(kEffectsKey) && extra[kEffectsKey].is_object() &&
            extra[kEffectsKey].contains("definitions") && extra[kEffectsKey]["definitions"].is_string()) {
            const std::string def = extra[kEffectsKey]["definitions"].get<std::string>();
            if (effectDefsSeen_.insert(def).second) effectDefs_.push_back(def);
        }
    }
    for (const Art* c = a.firstChild(); c; c = c->next()) collectSymbols(*c);
}

void Writer::collectGradients(const Art& a) {
    const AIPathStyle& s = a.style();
    if (s.fillPaint && s.fill.color.kind == kGradientColor && doc_.gradientPaint(s.fill.color.ref))
        gradients_.insert(s.fill.color.ref);
    if (s.strokePaint && s.stroke.color.kind == kGradientColor && doc_.gradientPaint(s.stroke.color.ref))
        gradients_.insert(s.stroke.color.ref);
    for (const Art* c = a.firstChild(); c; c = c->next()) collectGradients(*c);
}

void Writer::writeGradient(int32_t ref, int indent) {
    const GradientPaint& p = *doc_.gradientPaint(ref);
    const Gradient& g = *p.gradient;
    const AIRealMatrix& m = p.matrix;
    Attrs at{{"id", gradientId(ref)}, {"gradientUnits", "userSpaceOnUse"}};
    static const char* const linear[] = {"x1", "y1", "x2", "y2"};
    static const char* const radial[] = {"cx", "cy", "r", "fx", "fy", "fr"};
    for (size_t i = 0; i < (g.radial ? 6u : 4u); ++i) at.emplace_back(g.radial ? radial[i] : linear[i], num(g.coords[i]));
    if (g.spread != kSpreadPad) at.emplace_back("spreadMethod", g.spread == kSpreadReflect ? "reflect" : "repeat");
    at.emplace_back("gradientTransform", "matrix(" + num(m.a) + " " + num(m.b) + " " + num(m.c) + " " + num(m.d) +
                                             " " + num(m.tx) + " " + num(m.ty) + ")");
    const char* tag = g.radial ? "radialGradient" : "linearGradient";
    if (g.stops.empty()) {
        open(tag, at, indent, true);
        return;
    }
    open(tag, at, indent, false);
    for (const GradientStop& s : g.stops) {
        const auto shown = displayColor(s.color, &doc_);
        Attrs sa{{"offset", num(s.offset)}, {"stop-color", shown ? hexColor(*shown) : "#000000"}};
        if (s.opacity != 1) sa.emplace_back("stop-opacity", num(s.opacity));
        sa.emplace_back("data-easel-color", colorText(s.color));
        open("stop", sa, indent + 2, true);
    }
    line(indent, std::string("</") + tag + ">");
}

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

bool Writer::warpedImage(const Art& a, Attrs& at, int indent) {
    std::vector<AIRealPoint> q;
    if (!warps_.mesh(a, kImageCells, kImageCells, q)) return false;
    const AIRealRect b = a.object().localBox();
    const AIRealMatrix& m = a.objectMatrix();
    auto D = [](float v) { return static_cast<double>(v); };
    struct P {
        double h, v;
    };
    // The unwarped page point of a grid node, and the warped one.
    auto page = [&](int i, int k) {
        const double lh = D(b.left) + (D(b.right) - D(b.left)) * i / kImageCells;
        const double lv = D(b.bottom) + (D(b.top) - D(b.bottom)) * k / kImageCells;
        return P{D(m.a) * lh + D(m.c) * lv + D(m.tx), D(m.b) * lh + D(m.d) * lv + D(m.ty)};
    };
    auto warped = [&](int i, int k) {
        const AIRealPoint& r = q[static_cast<size_t>(k * (kImageCells + 1) + i)];
        return P{D(r.h), D(r.v)};
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
                P from[3], to[3];
                for (int c = 0; c < 3; ++c) {
                    from[c] = page(tri[c][0], tri[c][1]);
                    to[c] = warped(tri[c][0], tri[c][1]);
                }
                // The affine taking the unwarped triangle onto the warped one.
                const double e0 = from[1].h - from[0].h, e1 = from[1].v - from[0].v;
                const double e2 = from[2].h - from[0].h, e3 = from[2].v - from[0].v;
                const double det = e0 * e3 - e2 * e1;
                const double scale = std::max({std::abs(e0), std::abs(e1), std::abs(e2), std::abs(e3)});
                if (!(std::abs(det) > 1e-9 * scale * scale)) return false;
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
                    if (!std::isfinite(fv)) return false;
                    matrix += num(fv) + (c == 5 ? ")" : " ");
                }
                const double ch = (to[0].h + to[1].h + to[2].h) / 3, cv = (to[0].v + to[1].v + to[2].v) / 3;
                std::string d;
                for (int c = 0; c < 3; ++c) {
                    double dh = to[c].h - ch, dv = to[c].v - cv;
                    const double len = std::hypot(dh, dv);
                    const double grow = len > 0 ? (len + kCellOverlap) / len : 1;
                    d += (c ? " L" : "M") + num(static_cast<float>(ch + dh * grow)) + " " +
                         num(static_cast<float>(cv + dv * grow));
                }
                const std::string clipId = "easel-cell-" + id + "-" + std::to_string(clips.size());
                clips.push_back("<clipPath id=\"" + clipId + "\" clipPathUnits=\"userSpaceOnUse\"><path d=\"" + d +
                                " Z\"/></clipPath>");
                pieces.push_back("<g clip-path=\"url(#" + clipId + ")\"><use href=\"#" + imageId + "\" xlink:href=\"#" +
                                 imageId + "\" transform=\"" + matrix + "\"/></g>");
            }
        }
    }
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
    return true;
}

std::string Writer::run() {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    Json swatches = Json::array();
    for (size_t i = 0; i < doc_.swatchCount(); ++i) {
        const Swatch* s = doc_.swatch(i);
        swatches.push_back(Json{{"name", s->name}, {"color", colorText(s->color)}});
    }
    Attrs root{{"xmlns", "http://www.w3.org/2000/svg"},
               {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
               {"xmlns:inkscape", "http://www.inkscape.org/namespaces/inkscape"},
               {"width", num(doc_.width()) + "pt"},
               {"height", num(doc_.height()) + "pt"},
               {"viewBox", "0 0 " + num(doc_.width()) + " " + num(doc_.height())},
               {"data-easel-format", "1"},
               {"data-easel-seed", std::to_string(doc_.seed())},
               {"data-easel-swatches", jsonText(swatches)}};
    open("svg", root, 0, false);
    for (size_t i = 0; i < doc_.layerCount(); ++i) {
        for (const Art* a = doc_.layerFromBottom(i)->firstArt(); a; a = a->next()) {
            collectSymbols(*a);
            collectGradients(*a);
        }
    }
    if (!symbols_.empty() || !gradients_.empty() || !effectDefs_.empty()) {
        line(2, "<defs>");
        for (const auto& [name, def] : symbols_) line(4, def);
        for (const std::string& def : effectDefs_) line(4, def);
        for (const int32_t ref : gradients_) writeGradient(ref, 4);
        line(2, "</defs>");
    }
    for (size_t i = 0; i < doc_.layerCount(); ++i) {
        const Layer* l = doc_.layerFromBottom(i);
        Attrs at{{"inkscape:groupmode", "layer"},
                 {"inkscape:label", l->name()},
                 {"data-easel-layer", l->name()},
                 {"transform", pageFlip()}};
        if (!l->visible()) {
            at.emplace_back("data-easel-visible", "false");
            at.emplace_back("display", "none");
        }
        if (l->locked()) at.emplace_back("data-easel-locked", "true");
        if (!l->firstArt()) {
            open("g", at, 2, true);
            continue;
        }
        open("g", at, 2, false);
        for (const Art* a = l->firstArt(); a; a = a->next()) art(*a, 4);
        line(2, "</g>");
    }
    line(0, "</svg>");
    return out_;
}

}  // namespace

std::string writeSvg(const Document& doc) {
    Writer w(doc);
    return w.run();
}

}  // namespace easel
