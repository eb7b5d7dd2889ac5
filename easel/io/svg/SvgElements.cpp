// The drawn elements: groups, shapes, text, images and <use>.
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>

#include "model/Names.h"
#include "SvgColor.h"
#include "SvgConditions.h"
#include "SvgImporter.h"
#include "SvgShared.h"

namespace easel::svg {

using Json = nlohmann::ordered_json;

bool Importer::notDrawnHere(xmlNodePtr n, const std::string& tag) {
    // Elements of other namespaces (editor settings) are kept as they are.
    if (!isSvg(n)) {
        keepElement(n);
        return true;
    }
    // Definitions are drawn where referenced; those nothing uses are kept
    // with the document (unusedDefinitions).
    static const std::set<std::string, std::less<>> definitions{"defs", "symbol", "clipPath", "mask", "linearGradient",
                                                   "radialGradient", "pattern", "filter", "marker", "style",
                                                   "font", "font-face", "glyph", "missing-glyph", "cursor",
                                                   "color-profile", "view"};
    if (definitions.count(tag)) return true;
    if (tag == "script") {
        note("skipped <script> (not allowed)");
        return true;
    }
    // What draws nothing (or, foreignObject, nothing easel draws) is kept as
    // inert text and written back where it stands.
    static const std::set<std::string, std::less<>> notDrawn{"title", "desc", "metadata", "foreignObject"};
    if (notDrawn.count(tag)) {
        keepElement(n);
        return true;
    }
    return false;
}

Mat Importer::elementSpace(const AttrMap& at, const Ctx& ctx) {
    Mat ctm = ctx.ctm;
    auto tr = at.find("transform");
    if (auto kept = at.find("data-easel-transform"); kept != at.end() && underEnvelope(ctx)) tr = kept;
    if (tr != at.end()) {
        Mat t;
        if (parseTransform(tr->second, t)) ctm = mul(ctm, t);
        else note("transform \"" + tr->second + "\" not understood; element drawn untransformed");
    }
    return ctm;
}

const std::map<std::string, Importer::ElementHandler, std::less<>>& Importer::elementHandlers() {
    static const std::map<std::string, ElementHandler, std::less<>> handlers{
        {"g", &Importer::groupElement},     {"a", &Importer::plainGroup},     {"switch", &Importer::switchElement},
        {"svg", &Importer::nestedSvg},      {"rect", &Importer::rectElement}, {"path", &Importer::shape},
        {"circle", &Importer::shape},       {"ellipse", &Importer::shape},    {"line", &Importer::shape},
        {"polyline", &Importer::shape},     {"polygon", &Importer::shape},    {"text", &Importer::text},
        {"image", &Importer::image},        {"use", &Importer::use},
    };
    return handlers;
}

void Importer::element(xmlNodePtr n, const Ctx& ctx, const AttrMap* useAttrs) {
    const std::string tag = isSvg(n) ? name(n) : std::string();
    if (notDrawnHere(n, tag)) return;
    struct NodeScope {
        Importer& imp;
        xmlNodePtr saved;
        double w, h;
        ~NodeScope() { imp.node_ = saved, imp.viewportW_ = w, imp.viewportH_ = h; }
    } scope{*this, node_, viewportW_, viewportH_};
    node_ = n;
    viewportW_ = ctx.vpw;
    viewportH_ = ctx.vph;
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
    const Mat ctm = elementSpace(at, ctx);
    const auto handler = elementHandlers().find(tag);
    if (handler == elementHandlers().end()) {
        note("skipped <" + tag + "> (not supported)");
        return;
    }
    (this->*handler->second)(Elem{n, tag, at, own, props, ctx, ctm});
}

void Importer::groupElement(const Elem& e) {
    if (e.typed("effects")) effectsGroup(e);
    else if (e.typed("warped-image")) warpedImage(e);
    else group(e, false);
}

void Importer::effectsGroup(const Elem& e) {
    // Art with its clip path, mask or filter, as this system writes it:
    // the art inside is in the outer space, the effects in this one.
    for (xmlNodePtr inner = e.n->children; inner; inner = inner->next) {
        if (!isSvg(inner) || name(inner) != "g") continue;
        for (xmlNodePtr c = inner->children; c; c = c->next) {
            if (c->type != XML_ELEMENT_NODE) continue;
            // Taken up by the art's finish.
            const auto outer = effectsGroup_;
            effectsGroup_ = EffectsGroup{c, e.own, e.ctm};
            element(c, e.ctx);
            effectsGroup_ = outer;
        }
        break;
    }
}

void Importer::nestedSvg(const Elem& e) {
    // A nested viewport: a group with the viewport's placement.
    Length l;
    auto len = [&](const char* k, double pct, double dflt) {
        const std::string* v = e.attr(k);
        return v && parseLength(*v, l) ? userLength(l, pct, fontSize(e.props)) : dflt;
    };
    const double w = len("width", e.ctx.vpw, e.ctx.vpw), h = len("height", e.ctx.vph, e.ctx.vph);
    const double x = len("x", e.ctx.vpw, 0), y = len("y", e.ctx.vph, 0);
    bool hasVb = false;
    const Mat vb = viewBoxTransform(e.at, w, h, hasVb);
    Ctx inner = e.ctx;
    inner.vpw = w;
    inner.vph = h;
    const Mat toParent = mul(translate(x, y), vb);
    const Mat placed = mul(e.ctm, toParent);
    Props own = e.own;
    if (clipsToViewport(e.at)) {
        if (own.count("clip-path") || toParent.a == 0 || toParent.d == 0) {
            note("nested <svg> drawn without clipping to its viewport");
        } else {
            // The viewport, in the contents' units, clips them.
            const double left = (x - toParent.e) / toParent.a, top = (y - toParent.f) / toParent.d;
            own["clip-path"] = "url(#" + viewportClip(left, top, w / toParent.a, h / toParent.d) + ")";
        }
    }
    group(Elem{e.n, e.tag, e.at, own, e.props, inner, placed}, false);
}

bool Importer::clipsToViewport(const AttrMap& at) {
    std::string overflow;
    if (const auto o = at.find("overflow"); o != at.end()) overflow = o->second;
    if (const auto style = at.find("style"); style != at.end()) {
        for (const auto& [k, v] : parseDeclarations(style->second))
            if (k == "overflow") overflow = v;
    }
    overflow = lower(trim(overflow));
    return overflow != "visible" && overflow != "auto";
}

std::string Importer::viewportClip(double x, double y, double w, double h) {
    std::string id;
    for (size_t i = ids_.size();; ++i) {
        id = "viewport-clip-" + std::to_string(i);
        if (!ids_.count(id)) break;
    }
    xmlNodePtr root = xmlDocGetRootElement(x_);
    xmlNodePtr clip = xmlNewDocNode(x_, root->ns, reinterpret_cast<const xmlChar*>("clipPath"), nullptr);
    xmlNodePtr rect = xmlNewChild(clip, root->ns, reinterpret_cast<const xmlChar*>("rect"), nullptr);
    auto set = [](xmlNodePtr n, const char* k, const std::string& v) {
        xmlSetProp(n, reinterpret_cast<const xmlChar*>(k), reinterpret_cast<const xmlChar*>(v.c_str()));
    };
    set(clip, "id", id);
    set(rect, "x", formatNumber(std::min(x, x + w)));
    set(rect, "y", formatNumber(std::min(y, y + h)));
    set(rect, "width", formatNumber(std::abs(w)));
    set(rect, "height", formatNumber(std::abs(h)));
    xmlAddChild(root, clip);
    ids_[id] = clip;
    return id;
}

void Importer::rectElement(const Elem& e) {
    if (e.typed("mesh")) image(e);
    else shape(e);
}

void Importer::readEnvelopeWarp(Art* g, const AttrMap& at) {
    auto w = at.find("data-easel-warp");
    if (w == at.end()) return;
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

void Importer::group(const Elem& e, bool firstOnly) {
    const std::string* type = e.attr("data-easel-type");
    int16_t t = kGroupArt;
    if (type && (*type == "envelope" || *type == "compound")) t = artTypeFromName(*type);
    Art* g = newArt(t, e.ctx);
    // A group holds no style of its own unless it sets fill or stroke itself.
    if (e.own.count("fill") || e.own.count("stroke")) {
        float fa = 1, sa = 1;
        doc_->setStyle(g, styleFor(e.props, e.at, e.ctm, e.ctx, fa, sa));
    }
    if (t == kEnvelopeArt) readEnvelopeWarp(g, e.at);
    Ctx inner = e.ctx;
    inner.ctm = e.ctm;
    inner.inherited = &e.props;
    inner.parent = g;
    inner.depth = e.ctx.depth + 1;
    // The group's own pattern paint waits for its finish below.
    auto mine = std::move(patterns_);
    patterns_.clear();
    if (firstOnly) switchChildren(e.n, inner);
    else walkChildren(e.n, inner);
    patterns_ = std::move(mine);
    const std::string* clipped = e.attr("data-easel-clipped");
    if (!clipped || *clipped != "true" || t != kGroupArt) {
        finish(g, e.at, e.own, e.props, 1, &e.ctm);
        return;
    }
    // A clip group as this system writes it: its clipping path, on top,
    // stands in its own <clipPath>, which the group's clip-path names.
    doc_->setClipped(g, true);
    for (xmlNodePtr c = e.n->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE && isSvg(c) && name(c) == "clipPath" && attributes(c)["data-easel-type"] == "clip") {
            walkChildren(c, inner);
            break;
        }
    }
    Props own = e.own;
    own.erase("clip-path");
    finish(g, e.at, own, e.props, 1, &e.ctm);
}

void Importer::switchChildren(xmlNodePtr n, const Ctx& ctx) {
    // The first child whose conditions hold is drawn (outside a switch,
    // conditions are not looked at, as librsvg does); the others are kept as
    // text before and after it, so that the switch written back (the group
    // remembers it was one) chooses the same child.
    std::string kept;
    std::string* outer = keptHere_;
    keptHere_ = &kept;
    Art* drawn = nullptr;
    bool chosen = false;
    // The chosen child left nothing, neither art nor kept text: the switch
    // written back would choose a later child, so those are not kept.
    bool choiceLost = false;
    for (xmlNodePtr c = n->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        // Descriptions are no choice: they draw nothing.
        static const std::set<std::string> described{"title", "desc", "metadata"};
        if (chosen || !isSvg(c) || described.count(name(c)) || !conditionsHold(attributes(c))) {
            if (choiceLost) note("<switch> children after a chosen child that is skipped not kept");
            else keepElement(c);
            continue;
        }
        chosen = true;
        const size_t before = objects_, keptBefore = kept.size();
        element(c, ctx);
        if (objects_ != before && ctx.parent->lastChild()) {
            drawn = ctx.parent->lastChild();
            attachKept(drawn, "before", kept);
        }
        choiceLost = objects_ == before && kept.size() == keptBefore;
    }
    keptHere_ = outer;
    attachKept(drawn ? drawn : ctx.parent, drawn ? "after" : "inside", kept);
}

void Importer::image(const Elem& e) {
    const AttrMap& at = e.at;
    Length l;
    auto len = [&](const char* k, double pct) {
        const std::string* v = e.attr(k);
        return v && parseLength(*v, l) ? userLength(l, pct, fontSize(e.props)) : 0.0;
    };
    const double x = len("x", e.ctx.vpw), y = len("y", e.ctx.vph), w = len("width", e.ctx.vpw),
                 h = len("height", e.ctx.vph);
    ObjectData o;
    o.href = at.count("href") ? at.at("href") : at.count("xlink:href") ? at.at("xlink:href") : "";
    if (!at.count("width") || !at.count("height")) note("image without width or height: its size is not known");
    double sw = w, sh = h;
    if (const std::string* size = e.attr("data-easel-size")) {
        Scanner sc{*size};
        if (!(sc.number(sw) && (sc.skipSep(), sc.number(sh)))) sw = w, sh = h;
    }
    o.width = static_cast<float>(sw);
    o.height = static_cast<float>(sh);
    auto m = objectMatrix(e.ctm, x, y + sh);
    if (!m || !std::isfinite(o.width) || !std::isfinite(o.height)) {
        note("skipped <image> with coordinates out of range");
        return;
    }
    int16_t t = kPlacedArt;
    if (e.typed("raster")) t = kRasterArt;
    if (e.typed("mesh")) {
        t = kMeshArt;
        o.href.clear();
    }
    Art* a = newArt(t, e.ctx);
    doc_->setObjectData(a, o);
    doc_->setObjectMatrix(a, toReal(*m));
    const std::string* par = e.attr("preserveAspectRatio");
    if (!at.count("data-easel-extra") && !at.count("data-easel-id") && (!par || trim(*par) != "none")) {
        // Kept so that the image is fitted into its box as before.
        doc_->setExtra(a, Json{{"svg", {{"preserveAspectRatio", par ? *par : "xMidYMid meet"}}}}.dump());
    }
    if (e.own.count("fill") || e.own.count("stroke")) {
        float fa = 1, sa = 1;
        doc_->setStyle(a, styleFor(e.props, at, Mat{}, e.ctx, fa, sa));
    }
    finish(a, at, e.own, e.props, 1, &e.ctm);
}

void Importer::warpedImage(const Elem& e) {
    written_.insert(e.n);
    for (xmlNodePtr defs = e.n->children; defs; defs = defs->next) {
        if (!isSvg(defs) || name(defs) != "defs") continue;
        for (xmlNodePtr c = defs->children; c; c = c->next) {
            if (!isSvg(c) || name(c) != "image") continue;
            Ctx inner = e.ctx;
            inner.ctm = e.ctm;
            inner.depth = e.ctx.depth + 1;
            const size_t before = objects_;
            element(c, inner);
            // The pieces are drawn as one group, which carries the image's
            // opacity and blend mode.
            if (objects_ != before) {
                Art* a = e.ctx.parent ? e.ctx.parent->lastChild() : e.ctx.layer ? e.ctx.layer->lastArt() : nullptr;
                if (a) opacityAndBlend(a, e.own, 1);
            }
            return;
        }
    }
    note("skipped a warped image without its image definition");
}

void Importer::use(const Elem& e) {
    const AttrMap& at = e.at;
    const std::string href = at.count("href") ? at.at("href") : at.count("xlink:href") ? at.at("xlink:href") : "";
    Length l;
    auto len = [&](const char* k, double pct) {
        const std::string* v = e.attr(k);
        return v && parseLength(*v, l) ? userLength(l, pct, fontSize(e.props)) : 0.0;
    };
    const double x = len("x", e.ctx.vpw), y = len("y", e.ctx.vph);
    auto target = href.size() > 1 && href[0] == '#' ? ids_.find(href.substr(1)) : ids_.end();
    if (!e.typed("mesh") && (target == ids_.end() || !isSvg(target->second))) {
        if (!at.count("data-easel-symbol")) {
            note("skipped <use> of a missing element");
            return;
        }
    }
    xmlNodePtr t = target == ids_.end() ? nullptr : target->second;
    if (at.count("data-easel-symbol") || (t && name(t) == "symbol")) useSymbol(e, t, href, x, y);
    else useCopy(e, t, x, y);
}

void Importer::useSymbol(const Elem& e, xmlNodePtr t, const std::string& href, double x, double y) {
    const AttrMap& at = e.at;
    Length l;
    auto len = [&](const char* k, double pct) {
        const std::string* v = e.attr(k);
        return v && parseLength(*v, l) ? userLength(l, pct, fontSize(e.props)) : -1.0;
    };
    // The symbol's definition is kept with the instance.
    ObjectData o;
    o.symbol = at.count("data-easel-symbol") ? at.at("data-easel-symbol") : href.substr(1);
    double w = len("width", e.ctx.vpw), h = len("height", e.ctx.vph);
    if (t && (w < 0 || h < 0)) {
        AttrMap ta = attributes(t);
        Scanner sc{ta.count("viewBox") ? std::string_view(ta["viewBox"]) : std::string_view()};
        double v[4] = {0, 0, 0, 0};
        bool ok = true;
        for (double& c : v) ok = ok && sc.number(c), sc.skipSep();
        if (w < 0) w = ok ? v[2] : e.ctx.vpw;
        if (h < 0) h = ok ? v[3] : e.ctx.vph;
    }
    w = std::max(w, 0.0);
    h = std::max(h, 0.0);
    o.width = static_cast<float>(w);
    o.height = static_cast<float>(h);
    auto m = objectMatrix(e.ctm, x, y + h);
    if (!m) {
        note("skipped <use> with coordinates out of range");
        return;
    }
    Art* a = newArt(kSymbolArt, e.ctx);
    doc_->setObjectData(a, o);
    doc_->setObjectMatrix(a, toReal(*m));
    if (!at.count("data-easel-extra") && !at.count("data-easel-id") && t)
        doc_->setExtra(a, Json{{kSymbolDefinitionKey, dump(t)}}.dump());
    if (t) written_.insert(t);
    if (e.own.count("fill") || e.own.count("stroke")) {
        float fa = 1, sa = 1;
        doc_->setStyle(a, styleFor(e.props, at, Mat{}, e.ctx, fa, sa));
    }
    finish(a, at, e.own, e.props, 1, &e.ctm);
}

void Importer::useCopy(const Elem& e, xmlNodePtr t, double x, double y) {
    if (t == e.n || useStack_.count(t)) {
        note("skipped <use> that refers to itself");
        return;
    }
    if (useStack_.size() >= 16) {
        note("skipped <use> nested deeper than 16 copies (the limit)");
        return;
    }
    Art* g = newArt(kGroupArt, e.ctx);
    Ctx inner = e.ctx;
    inner.ctm = mul(e.ctm, translate(x, y));
    inner.inherited = &e.props;
    inner.parent = g;
    inner.depth = e.ctx.depth + 1;
    useStack_.insert(t);
    auto mine = std::move(patterns_);
    patterns_.clear();
    element(t, inner, &e.at);
    patterns_ = std::move(mine);
    useStack_.erase(t);
    finish(g, e.at, e.own, e.props, 1, &e.ctm);
}

}  // namespace easel::svg
