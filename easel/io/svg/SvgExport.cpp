#include "SvgExport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>
#include <vector>

#include "model/Names.h"
#include "SvgColor.h"
#include "SvgAllow.h"
#include "SvgShared.h"
#include "SvgWriter.h"
#include "TextLayout.h"
#include "model/Warp.h"

namespace easel {

namespace svgout {

// Path data for segments, in model coordinates or (flip) in page coordinates
// with the vertical axis down.
void appendPathData(const std::vector<AIPathSegment>& segs, bool closed, std::string& d, const float* flipHeight) {
    if (segs.empty()) return;
    auto pt = [&](const AIRealPoint& p) {
        appendNumber(d, p.h);
        d += ' ';
        if (!flipHeight) appendNumber(d, p.v);
        else d += formatNumber(static_cast<double>(*flipHeight) - static_cast<double>(p.v));
    };
    if (!d.empty()) d += ' ';
    d += 'M';
    pt(segs[0].p);
    auto curve = [&](const AIPathSegment& from, const AIPathSegment& to) {
        if (samePoint(from.out, from.p) && samePoint(to.in, to.p)) {
            d += " L";
            pt(to.p);
        } else {
            d += " C";
            pt(from.out);
            d += ' ';
            pt(to.in);
            d += ' ';
            pt(to.p);
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

namespace {

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

}  // namespace

void Writer::open(const std::string& tag, const Attrs& at, int indent, bool empty) {
    out_.append(static_cast<size_t>(indent), ' ');
    out_ += '<';
    out_ += tag;
    for (const auto& [k, v] : at) {
        out_ += ' ';
        out_ += k;
        out_ += "=\"";
        appendXmlEscaped(out_, v, true);
        out_ += '"';
    }
    out_ += empty ? "/>\n" : ">\n";
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
        // Copies share their list of tags: it is spelled once for them all.
        if (&a.tags() != spelledTags_) {
            Json t = Json::object();
            // Reals go through their shortest float form so they read back exactly.
            for (const Tag& tag : a.tags()) {
                if (tag.isReal) t[tag.name] = std::strtod(num(tag.real).c_str(), nullptr);
                else t[tag.name] = tag.text;
            }
            spelledTagsText_ = jsonText(t);
            spelledTags_ = &a.tags();
        }
        at.emplace_back("data-easel-tags", spelledTagsText_);
    }
    if (!a.extra().empty()) {
        if (std::string extra = extraText(a); !extra.empty()) at.emplace_back("data-easel-extra", std::move(extra));
    }
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
    // Copies share their style: the attributes of the one written last are
    // taken again while the style is the same.
    if (styleMemo_.valid && sameStyle(s, styleMemo_.style)) {
        at.insert(at.end(), styleMemo_.attrs.begin(), styleMemo_.attrs.end());
        return;
    }
    const size_t first = at.size();
    spellStyle(s, at);
    styleMemo_.attrs.assign(at.begin() + static_cast<std::ptrdiff_t>(first), at.end());
    styleMemo_.style = s;
    styleMemo_.valid = true;
}

void Writer::spellStyle(const AIPathStyle& s, Attrs& at) {
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

bool Writer::effectsWrapper(const Art& a, int indent) {
    const AIRealMatrix* space = a.effectSpace();
    if (!space || a.extra().empty()) return false;
    const KeptSvgMembers& ks = kept(a);
    // Kept pattern paint acts in the space too, which the wrapper keeps.
    static const KeptSvgAttributes none;
    const bool hasEffects = ks.effects && ks.effects->attributes;
    if (!hasEffects && !ks.paint) return false;
    const KeptSvgAttributes& effects = hasEffects ? *ks.effects->attributes : none;
    double inv[6];
    if (!invertEffectSpace(*space, inv)) return false;
    std::string inverse = "matrix(";
    for (int i = 0; i < 6; ++i) inverse += num(static_cast<float>(inv[i])) + (i == 5 ? ")" : " ");
    Attrs outer{{"data-easel-type", "effects"},
                {"transform", "matrix(" + num(space->a) + " " + num(space->b) + " " + num(space->c) + " " +
                                  num(space->d) + " " + num(space->tx) + " " + num(space->ty) + ")"}};
    for (const auto& [k, v] : effects) {
        // Markers go on the path itself (passthrough): librsvg draws none it inherits.
        if (k == "clip-path" || k == "mask" || k == "filter") outer.emplace_back(k, v);
    }
    // A filter that takes the fill or stroke paint as input takes the
    // element's it acts on: the art's, given to the wrapper too.
    const std::string* defs = hasEffects && ks.effects->definitions ? &*ks.effects->definitions : nullptr;
    if (defs && (defs->find("FillPaint") != std::string::npos || defs->find("StrokePaint") != std::string::npos)) {
        Attrs paint;
        styleAttrs(a, paint, true);
        const bool text = a.type() == kTextArt || a.type() == kTextPathArt;  // its gradients are its own copies
        for (const auto& [k, v] : paint)
            if ((k == "fill" || k == "stroke") && !(text && v.rfind("url(", 0) == 0)) outer.emplace_back(k, v);
    }
    open("g", outer, indent, false);
    open("g", Attrs{{"transform", inverse}}, indent + 2, false);
    artBody(a, indent + 4);
    line(indent + 2, "</g>");
    line(indent, "</g>");
    return true;
}

void Writer::art(const Art& a, int indent) {
    keptElements(a, "before", indent);
    if (!a.effectSpace() || !effectsWrapper(a, indent)) artBody(a, indent);
    keptElements(a, "after", indent);
}

const std::map<int16_t, Writer::ArtWriter>& Writer::artWriters() {
    static const std::map<int16_t, ArtWriter> writers{
        {kGroupArt, &Writer::groupBody},      {kEnvelopeArt, &Writer::groupBody}, {kCompoundPathArt, &Writer::compoundBody},
        {kPathArt, &Writer::pathBody},        {kTextArt, &Writer::textBody},      {kTextPathArt, &Writer::textBody},
        {kPlacedArt, &Writer::objectBody},    {kRasterArt, &Writer::objectBody},  {kMeshArt, &Writer::objectBody},
        {kSymbolArt, &Writer::objectBody},
    };
    return writers;
}

void Writer::artBody(const Art& a, int indent) {
    const auto writer = artWriters().find(a.type());
    if (writer == artWriters().end()) {
        line(indent, "<!-- art " + std::to_string(a.id()) + " of an unknown type -->");
        return;
    }
    (this->*writer->second)(a, indent);
}

void Writer::segmentFlags(const std::vector<AIPathSegment>& segs, bool closed, Attrs& at) {
    if (segs.empty()) at.emplace_back("data-easel-closed", closed ? "true" : "false");
    const std::string corners = cornersAttr(segs);
    if (!corners.empty()) at.emplace_back("data-easel-corners", corners);
    endsAttr(segs, closed, at);
}

void Writer::compoundBody(const Art& a, int indent) {
    // A compound path of plain paths is one SVG path; anything else in it
    // is written as a group of its members.
    bool onePath = a.firstChild() != nullptr;
    for (const Art* c = a.firstChild(); c && onePath; c = c->next())
        onePath = c->type() == kPathArt && c->segmentCount() > 0;
    if (!onePath) {
        groupBody(a, indent);
        return;
    }
    std::string d, exact;
    bool warped = false;
    StrokeSpace space;
    bool inSpace = strokeSpace(a, space);
    for (const Art* c = a.firstChild(); c && inSpace; c = c->next()) {
        std::vector<AIPathSegment> shown;
        inSpace = !warpedSegments(*c, shown);
    }
    Json parts = Json::array();
    for (const Art* c = a.firstChild(); c; c = c->next()) {
        const auto segs = c->segments();
        std::vector<AIPathSegment> shown;
        if (warpedSegments(*c, shown)) warped = true;
        else shown = inSpace ? space.map(segs) : segs;
        appendPathData(shown, c->closed(), d, nullptr);
        appendPathData(segs, c->closed(), exact, nullptr);
        Attrs pa;
        commonAttrs(*c, pa);
        // The first member's style is the one the path shows.
        if (c != a.firstChild()) styleAttrs(*c, pa, true);
        if (inSpace) space.lengths(pa);
        const std::string corners = cornersAttr(segs);
        if (!corners.empty()) pa.emplace_back("data-easel-corners", corners);
        endsAttr(segs, c->closed(), pa);
        Json pj = Json::object();
        for (const auto& [k, v] : pa) pj[k] = v;
        parts.push_back(pj);
    }
    Attrs at{{"d", d}};
    // The unwarped members, or those on the page, which reading the file back keeps.
    if (warped || inSpace) at.emplace_back("data-easel-d", exact);
    at.emplace_back("data-easel-type", "compound");
    compoundPaint(a, at);
    if (inSpace) space.apply(at);
    at.emplace_back("data-easel-parts", jsonText(parts));
    passthrough(a, at);
    open("path", at, indent, true);
}

void Writer::groupBody(const Art& a, int indent) {
    const int16_t t = a.type();
    Attrs at;
    if (t != kGroupArt) at.emplace_back("data-easel-type", artTypeName(t));
    if (t == kEnvelopeArt) {
        const EnvelopeWarp& w = a.warp();
        at.emplace_back("data-easel-warp", std::to_string(w.style) + " " + num(w.bend) + " " + num(w.horizontal) + " " +
                                               num(w.vertical) + " " + (w.rotate90 ? "1" : "0"));
    }
    commonAttrs(a, at);
    styleAttrs(a, at, false);
    passthrough(a, at);
    const Art* clip = clippingPath(a);
    std::string clipId;
    if (a.clipped()) at.emplace_back("data-easel-clipped", "true");
    if (clip) {
        clipId = "easel-clip-" + std::to_string(a.id());
        while (!ids_.insert(clipId).second) clipId += "-";
        at.emplace_back("clip-path", "url(#" + clipId + ")");
    }
    const std::string tag = groupTag(a);
    if (!a.firstChild()) {
        // An empty group keeps what was kept inside it, or is written empty.
        const size_t before = out_.size();
        open(tag, at, indent, false);
        const size_t opened = out_.size();
        keptElements(a, "inside", indent + 2);
        if (out_.size() == opened) {
            out_.resize(before);
            open(tag, at, indent, true);
        } else {
            line(indent, "</" + tag + ">");
        }
        return;
    }
    open(tag, at, indent, false);
    for (const Art* c = a.firstChild(); c != clip; c = c->next()) art(*c, indent + 2);
    if (clip) clipPathElement(*clip, clipId, indent + 2);
    line(indent, "</" + tag + ">");
}

void Writer::clipPathElement(const Art& clip, const std::string& id, int indent) {
    // The clipping path stands in the clip group, written as it is anywhere
    // else (its data-easel attributes read it back exactly); the fill rule
    // that clips is its clip-rule, inherited from the <clipPath>.
    Attrs at{{"id", id}, {"clipPathUnits", "userSpaceOnUse"}, {"data-easel-type", "clip"}};
    if (drawnStyle(clip).style.evenOdd) at.emplace_back("clip-rule", "evenodd");
    open("clipPath", at, indent, false);
    art(clip, indent + 2);
    line(indent, "</clipPath>");
}

void Writer::pathBody(const Art& a, int indent) {
    const auto segs = a.segments();
    std::vector<AIPathSegment> shown;
    const bool warped = warpedSegments(a, shown);
    StrokeSpace space;
    const bool inSpace = !warped && strokeSpace(a, space);
    std::string d;
    appendPathData(warped ? shown : inSpace ? space.map(segs) : segs, a.closed(), d, nullptr);
    Attrs at{{"d", d}};
    if (warped || inSpace) {
        // The unwarped segments, or those on the page, which reading the file back keeps.
        std::string exact;
        appendPathData(segs, a.closed(), exact, nullptr);
        at.emplace_back("data-easel-d", exact);
    }
    segmentFlags(segs, a.closed(), at);
    commonAttrs(a, at);
    styleAttrs(a, at, true);
    if (inSpace) {
        space.apply(at);
        placedGradients(a.style(), *a.effectSpace(), "space-" + std::to_string(a.id()), at, indent);
    }
    passthrough(a, at);
    open("path", at, indent, true);
}

std::string Writer::textPathAttrs(const Art& a, Attrs& at, int indent) {
    // The glyphs must not be mirrored, so the text is set in page
    // coordinates (the layer's flip undone) along a path written with the
    // axis down. The glyphs follow the warped path; they are not bent
    // themselves.
    const std::string pathId = "easel-path-" + std::to_string(a.id());
    const auto segs = a.segments();
    std::vector<AIPathSegment> shown;
    const bool warped = warpedSegments(a, shown);
    std::string d;
    const float h = doc_.height();
    appendPathData(warped ? shown : segs, a.closed(), d, &h);
    line(indent, "<defs>");
    open("path", Attrs{{"id", pathId}, {"d", d}}, indent + 2, true);
    line(indent, "</defs>");
    at.emplace_back("data-easel-type", "textpath");
    std::string exact;
    appendPathData(segs, a.closed(), exact, nullptr);
    at.emplace_back("data-easel-d", exact);
    at.emplace_back("transform", pageFlip());
    segmentFlags(segs, a.closed(), at);
    return pathId;
}

namespace {

// Text set line by line: a span per line at the place the layout gives it.
std::string textLines(const Art& a) {
    const std::string& text = a.object().text;
    std::string s;
    for (const TextLine& l : layoutText(text, static_cast<double>(a.object().fontSize), textFontOf(a))) {
        s += "<tspan x=\"" + num(static_cast<float>(l.x)) + "\" y=\"" + num(static_cast<float>(l.y)) + "\">";
        s += xmlEscape(xmlText(std::string_view(text).substr(l.begin, l.end - l.begin)), false) + "</tspan>";
    }
    return s;
}

}  // namespace

void Writer::textBody(const Art& a, int indent) {
    const int16_t t = a.type();
    const ObjectData& o = a.object();
    Attrs at;
    const std::string pathId = t == kTextPathArt ? textPathAttrs(a, at, indent) : std::string();
    if (t != kTextPathArt) objectTransformAttrs(a, at);
    // Spans kept from an imported file, written where the text's own x and
    // y put them.
    const KeptSvgText* spans = t == kTextArt ? keptSpans(a) : nullptr;
    if (spans) {
        for (auto& [k, v] : at) {
            if (k == "transform" || k == "data-easel-transform")
                v += " translate(" + formatNumber(-(*spans->origin)[0]) + " " + formatNumber(-(*spans->origin)[1]) + ")";
        }
    }
    at.emplace_back("font-size", num(o.fontSize));
    if (!spans) at.emplace_back("xml:space", "preserve");
    if (spans) at.insert(at.end(), spans->attributes->begin(), spans->attributes->end());
    const bool lines = t == kTextArt && !spans && hasTextLines(o.text, textFontOf(a));
    const std::string shown = xmlText(o.text);
    if (shown != o.text || lines) at.emplace_back("data-easel-text", jsonText(Json(o.text)));
    if (lines) at.emplace_back("data-easel-lines", "true");
    commonAttrs(a, at);
    styleAttrs(a, at, true);
    textGradients(a, spans ? &*spans->origin : nullptr, at, indent);
    passthrough(a, at);
    std::string s = "<text";
    for (const auto& [k, v] : at) s += " " + k + "=\"" + xmlEscape(v, true) + "\"";
    s += ">";
    if (t == kTextPathArt) s += "<textPath href=\"#" + pathId + "\" xlink:href=\"#" + pathId + "\">";
    if (lines) s += textLines(a);
    else s += spans ? *spans->markup : xmlEscape(shown, false);
    if (t == kTextPathArt) s += "</textPath>";
    s += "</text>";
    line(indent, s);
}

std::string Writer::objectAttrs(const Art& a, Attrs& at) {
    const int16_t t = a.type();
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
    return tag;
}

void Writer::objectBody(const Art& a, int indent) {
    const int16_t t = a.type();
    Attrs at;
    const std::string tag = objectAttrs(a, at);
    const bool image = t == kPlacedArt || t == kRasterArt;
    // Images under a warp are drawn in pieces from this element, kept
    // unwarped as a definition.
    const bool warpedImageArt = image && !warps_.chainOf(a).identity();
    if (warpedImageArt) at.emplace_back("transform", objectTransform(a.objectMatrix()));
    else objectTransformAttrs(a, at);
    if (image) {
        // An image naming a script is written without it (SvgAllow.h).
        const std::string& given = a.object().href;
        const std::string href = refusedSvgAttribute("href", given).empty() ? given : std::string();
        at.emplace_back("href", href);
        at.emplace_back("xlink:href", href);
        at.emplace_back("preserveAspectRatio", "none");
    }
    commonAttrs(a, at);
    styleAttrs(a, at, t == kMeshArt);
    passthrough(a, at);
    if (warpedImageArt) {
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
}

void Writer::collectSymbols(const Art& a) {
    if (a.type() == kSymbolArt && isXmlName(a.object().symbol) && !symbolNames_.count(a.object().symbol)) {
        std::string def = kept(a).symbol.value_or("");
        if (def.empty()) def = "<symbol id=\"" + a.object().symbol + "\"/>";
        symbolNames_.insert(a.object().symbol);
        symbols_.emplace_back(a.object().symbol, def);
    }
    const KeptSvgMembers& ks = kept(a);
    if (a.effectSpace() && ks.effects && ks.effects->definitions) addDefinitions(*ks.effects->definitions);
    collectPatterns(a);
    if (ks.attributes) collectNamespaces(*ks.attributes);
    for (const Art* c = a.firstChild(); c; c = c->next()) collectSymbols(*c);
}

void Writer::collectGradients(const Art& a) {
    // Text, and paths written in their stroke's space, write a copy of their
    // gradients placed in their own space.
    const bool text = a.type() == kTextArt || a.type() == kTextPathArt;
    StrokeSpace space;
    std::vector<AIPathSegment> shown;
    const bool placed = text || (a.type() == kPathArt && !warpedSegments(a, shown) && strokeSpace(a, space));
    const AIPathStyle& s = placed ? unpaintedStyle() : a.style();
    if (s.fillPaint && s.fill.color.kind == kGradientColor && doc_.gradientPaint(s.fill.color.ref))
        gradients_.insert(s.fill.color.ref);
    if (s.strokePaint && s.stroke.color.kind == kGradientColor && doc_.gradientPaint(s.stroke.color.ref))
        gradients_.insert(s.stroke.color.ref);
    for (const Art* c = a.firstChild(); c; c = c->next()) collectGradients(*c);
}

void Writer::writeGradient(int32_t ref, int indent, const std::string& id, const AIRealMatrix* matrix) {
    const GradientPaint& p = *doc_.gradientPaint(ref);
    const Gradient& g = *p.gradient;
    const AIRealMatrix& m = matrix ? *matrix : p.matrix;
    Attrs at{{"id", id.empty() ? gradientId(ref) : id}, {"gradientUnits", "userSpaceOnUse"}};
    static const char* const linear[] = {"x1", "y1", "x2", "y2"};
    static const char* const radial[] = {"cx", "cy", "r", "fx", "fy", "fr"};
    for (size_t i = 0; i < (g.radial ? 6u : 4u); ++i) at.emplace_back(g.radial ? radial[i] : linear[i], num(g.coords[i]));
    if (g.spread != kSpreadPad) at.emplace_back("spreadMethod", g.spread == kSpreadReflect ? "reflect" : "repeat");
    at.emplace_back("gradientTransform", "matrix(" + num(m.a) + " " + num(m.b) + " " + num(m.c) + " " + num(m.d) +
                                             " " + num(m.tx) + " " + num(m.ty) + ")");
    // A copy placed in another space keeps the paint's matrix on the page,
    // which reading it back takes rather than the product, rounded anew.
    const AIRealMatrix& pm = p.matrix;
    if (matrix)
        at.emplace_back("data-easel-matrix", num(pm.a) + " " + num(pm.b) + " " + num(pm.c) + " " + num(pm.d) + " " +
                                                 num(pm.tx) + " " + num(pm.ty));
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

std::string Writer::run() {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const Json kept = doc_.svgKept().empty() ? Json() : Json::parse(doc_.svgKept(), nullptr, false);
    if (kept.is_object() && kept.contains("attributes")) collectNamespaces(keptSvgAttributes(kept["attributes"]));
    std::vector<KeptSvgAttributes> layerKept(doc_.layerCount());
    for (size_t i = 0; i < doc_.layerCount(); ++i) {
        const Layer* l = doc_.layerFromBottom(i);
        if (!l->svgKept().empty()) {
            const Json lk = Json::parse(l->svgKept(), nullptr, false);
            if (lk.is_object() && lk.contains("attributes") && lk["attributes"].is_object()) {
                layerKept[i] = keptSvgAttributes(lk["attributes"]);
                collectNamespaces(layerKept[i]);
            }
        }
        for (const Art* a = l->firstArt(); a; a = a->next()) {
            collectSymbols(*a);
            collectGradients(*a);
        }
    }
    open("svg", rootAttributes(), 0, false);
    const std::string elements = kept.is_object() && kept.contains("elements") && kept["elements"].is_string()
                                     ? kept["elements"].get<std::string>()
                                     : std::string();
    // Ids the definitions and kept elements use are not given to art again.
    for (const auto& [name, def] : symbols_) noteIds(def, ids_);
    for (const std::string& def : effectDefs_) noteIds(def, ids_);
    noteIds(elements, ids_);
    if (!symbols_.empty() || !gradients_.empty() || !effectDefs_.empty()) {
        line(2, "<defs>");
        // A kept symbol that cannot be written is written empty, so that its uses still name it.
        for (const auto& [name, def] : symbols_) line(4, writable(def) ? def : "<symbol id=\"" + name + "\"/>");
        for (const std::string& def : effectDefs_) line(4, def);
        for (const int32_t ref : gradients_) writeGradient(ref, 4);
        line(2, "</defs>");
    }
    // Elements kept with the document: editor settings, metadata, unused definitions.
    if (!elements.empty() && writable(elements)) line(2, elements);
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
        keptAttributes(layerKept[i], at);
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

}  // namespace svgout

std::string writeSvg(const Document& doc) {
    svgout::Writer w(doc);
    return w.run();
}

}  // namespace easel
