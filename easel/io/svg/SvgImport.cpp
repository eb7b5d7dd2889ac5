#include "SvgImport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/entities.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

#include "model/Names.h"
#include "SvgColor.h"
#include "SvgCss.h"
#include "SvgGzip.h"
#include "SvgGeometry.h"
#include "SvgPaint.h"
#include "SvgImporter.h"
#include "io/KeptSvg.h"
#include "SvgAllow.h"
#include "SvgShared.h"
#include "SvgStyleGeometry.h"

namespace easel {

namespace svg {

using Json = nlohmann::ordered_json;

xmlNodePtr Importer::byReference(const std::string& ref) {
    std::string_view r = trim(ref);
    // The reference of url(#id) is held here while r looks at it.
    const std::string inside = lower(r.substr(0, 4)) == "url(" ? splitPaint(std::string(r)).reference : std::string();
    if (!inside.empty()) r = inside;
    if (r.size() < 2 || r[0] != '#') return nullptr;
    auto it = ids_.find(std::string(r.substr(1)));
    return it == ids_.end() || !isSvg(it->second) ? nullptr : it->second;
}



void Importer::readStyleSheets(xmlNodePtr root) {
    std::vector<xmlNodePtr> stack{root};
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        if (n->type != XML_ELEMENT_NODE) continue;
        if (isSvg(n) && name(n) == "style") {
            xmlChar* type = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>("type"));
            const bool css = !type || std::strcmp(reinterpret_cast<const char*>(type), "text/css") == 0;
            if (type) xmlFree(type);
            if (css) sheet_.read(nodeText(n->children), [this](const std::string& w) { note(w); });
            else note("style sheet of a type other than text/css not read");
            continue;
        }
        for (xmlNodePtr c = n->last; c; c = c->prev) stack.push_back(c);
    }
}



Mat Importer::viewBoxTransform(const AttrMap& at, double w, double h, bool& hasViewBox) const {
    hasViewBox = false;
    auto it = at.find("viewBox");
    if (it == at.end()) return Mat{};
    Scanner sc{it->second};
    double v[4];
    for (double& x : v) {
        if (!sc.number(x)) return Mat{};
        sc.skipSep();
    }
    if (v[2] <= 0 || v[3] <= 0) return Mat{};
    hasViewBox = true;
    double sx = w / v[2], sy = h / v[3];
    std::string par = "xMidYMid meet";
    auto p = at.find("preserveAspectRatio");
    if (p != at.end()) par = std::string(trim(p->second));
    if (par.rfind("defer", 0) == 0) par = std::string(trim(std::string_view(par).substr(5)));
    const std::string align = par.substr(0, par.find(' '));
    if (align != "none") {
        const bool slice = par.find("slice") != std::string::npos;
        const double s = slice ? std::max(sx, sy) : std::min(sx, sy);
        sx = sy = s;
    }
    double tx = -v[0] * sx, ty = -v[1] * sy;
    if (align != "none") {
        const double extraW = w - v[2] * sx, extraH = h - v[3] * sy;
        if (align.find("xMid") != std::string::npos) tx += extraW / 2;
        if (align.find("xMax") != std::string::npos) tx += extraW;
        if (align.find("YMid") != std::string::npos) ty += extraH / 2;
        if (align.find("YMax") != std::string::npos) ty += extraH;
    }
    return Mat{sx, 0, 0, sy, tx, ty};
}




Art* Importer::newArt(int16_t type, const Ctx& ctx) {
    if (++objects_ > lim_.maxObjects)
        throw Failure{"more than " + std::to_string(lim_.maxObjects) + " objects (the limit)"};
    Art* a = nullptr;
    ASErr e = kNoErr;
    if (ctx.parent) {
        e = doc_->newArt(type, kPlaceInsideOnTop, ctx.parent, &a);
    } else {
        doc_->setCurrentLayer(ctx.layer);
        e = doc_->newArt(type, kPlaceAbove, nullptr, &a);
    }
    if (e == kTooDeepErr)
        throw Failure{"groups nested deeper than " + std::to_string(kMaxArtNesting) + " levels (the limit of art nesting)"};
    if (e != kNoErr || !a) throw Failure{"cannot place art in the document (error " + std::to_string(e) + ")"};
    return a;
}





void Importer::readArtId(Art* a, const std::string& id) {
    int64_t v = 0;
    auto res = std::from_chars(id.data(), id.data() + id.size(), v);
    if (res.ec == std::errc() && res.ptr == id.data() + id.size() && v > 0 && v <= (INT64_C(1) << 53) &&
        usedIds_.insert(v)) {
        doc_->setArtId(a, v);
        idsRead_.push_back(a);
    } else {
        note("art id \"" + id + "\" not usable (malformed or repeated); a new one given");
    }
}

void Importer::readTags(Art* a, const std::string& tags) {
    // Copies carry the same tags: the text read last is parsed once.
    if (tags != lastTags_.first) lastTags_ = {tags, parseAttributeJson(tags)};
    const Json& t = lastTags_.second;
    if (!t.is_object()) {
        note("data-easel-tags is not a JSON object; tags not read");
        return;
    }
    for (const auto& [k, v] : t.items()) {
        if (k.empty()) continue;
        if (v.is_string()) doc_->setTagString(a, k, v.get<std::string>());
        else if (v.is_number()) doc_->setTagReal(a, k, v.get<float>());
    }
}

void Importer::readExtra(Art* a, const std::string& extra) {
    Json e = parseAttributeJson(extra);
    if (!e.is_object()) {
        note("data-easel-extra is not a JSON object; not read");
        return;
    }
    // Kept SVG as the writer takes it: of its types, and as the rule allows.
    const bool mistyped = dropMistypedKeptSvg(KeptSvgOwner::Art, e);
    if (allowKeptSvg(e) || mistyped) note("data-easel-extra: kept SVG members of the wrong type or holding scripts not read");
    doc_->setExtra(a, e.dump());
}

void Importer::readSegmentSelection(Art* a, const std::string& parts) {
    std::vector<int16_t> bits(a->segmentCount(), 0);
    std::string_view s = parts;
    bool ok = true;
    while (!trim(s).empty() && ok) {
        s = trim(s);
        size_t j = 0;
        while (j < s.size() && !isWsp(s[j])) ++j;
        const std::string_view item = s.substr(0, j);
        s = s.substr(j);
        size_t idx = 0;
        int b = kSegmentPointSelected;
        const size_t colon = item.find(':');
        auto r1 = std::from_chars(item.data(), item.data() + std::min(colon, item.size()), idx);
        ok = r1.ec == std::errc() && idx < bits.size();
        if (ok && colon != std::string_view::npos) {
            auto r2 = std::from_chars(item.data() + colon + 1, item.data() + item.size(), b);
            ok = r2.ec == std::errc() && b >= 0 && b <= 7;
        }
        if (ok) bits[idx] = static_cast<int16_t>(b);
    }
    if (ok) {
        for (size_t i = 0; i < bits.size(); ++i) doc_->setSegmentSelection(a, i, bits[i]);
    } else {
        note("data-easel-selection not understood; the whole path selected");
    }
}

void Importer::keepWithArt(Art* a, const AttrMap& at, const Props& own, const Props& props, const Mat& ctm) {
    // Art written by this system inside an effects group: the group's
    // clip path, mask and filter in the group's space; the markers
    // where the art is drawn.
    const bool grouped = effectsGroup_ && effectsGroup_->child == node_;
    const Mat& space = grouped ? effectsGroup_->space : ctm;
    const Props* markers = a->hasPath() || a->type() == kCompoundPathArt ? &props : nullptr;
    // Renderers draw markers on paths, lines and polygons only: those a
    // circle, rectangle or ellipse names are dropped, as they draw nothing.
    const std::string tag = node_ && isSvg(node_) ? name(node_) : std::string();
    if (markers && (tag == "circle" || tag == "rect" || tag == "ellipse")) {
        for (const char* k : {"marker", "marker-start", "marker-mid", "marker-end"}) {
            const auto it = props.find(k);
            if (it != props.end() && lower(trim(it->second)) != "none") {
                note("markers on <" + tag + "> dropped (renderers draw none there)");
                break;
            }
        }
        markers = nullptr;
    }
    // A path written in its stroke's space draws its markers in the file's
    // space, as they are: no variant for the page's.
    keepEffects(a, grouped ? effectsGroup_->own : own, space, markers, &ctm, strokeTransformed(a, ctm));
    keepPatterns(a, space);
    keepStrokeSpace(a, ctm);
    keepPaintOrder(a, props);
    // Kept pattern paint acts in the group's space as well.
    if (const AIRealMatrix m = toReal(space);
        grouped && !a->effectSpace() && a->extra().find(kPaintKey) != std::string::npos)
        doc_->setEffectSpace(a, &m);
    if (node_) keepUnknownAttributes(a, node_, at);
}

bool Importer::strokeTransformed(const Art* a, const Mat& ctm) {
    // A stroke under a scale that differs by direction is drawn transformed
    // with the path.
    if ((a->type() != kPathArt && a->type() != kCompoundPathArt) || !a->style().strokePaint ||
        !(a->style().stroke.width > 0))
        return false;
    return !uniformScale(ctm) && std::abs(ctm.a * ctm.d - ctm.b * ctm.c) > 0;
}

bool Importer::uniformScale(const Mat& ctm) {
    const double k = std::sqrt(std::abs(ctm.a * ctm.d - ctm.b * ctm.c));
    const double tolerance = 1e-6 * std::max(k, 1e-30);
    return (std::abs(ctm.a - ctm.d) <= tolerance && std::abs(ctm.b + ctm.c) <= tolerance) ||
           (std::abs(ctm.a + ctm.d) <= tolerance && std::abs(ctm.b - ctm.c) <= tolerance);
}

double Importer::lengthScale(const Mat& ctm) {
    if (uniformScale(ctm)) return std::sqrt(std::abs(ctm.a * ctm.d - ctm.b * ctm.c));
    const AIRealMatrix m = toReal(ctm);
    return std::sqrt(std::abs(double{m.a} * double{m.d} - double{m.b} * double{m.c}));
}

void Importer::keepStrokeSpace(Art* a, const Mat& ctm) {
    // The art keeps the space (its effect space) its transformed stroke is drawn in.
    if (!strokeTransformed(a, ctm)) return;
    const double k = std::sqrt(std::abs(ctm.a * ctm.d - ctm.b * ctm.c));
    const AIRealMatrix m = toReal(ctm);
    // An effect space kept already is the same user space (up to rounding),
    // unless this system wrote the art's effects in another.
    auto near = [&](const AIRealMatrix& s) {
        const double d[6] = {s.a - m.a, s.b - m.b, s.c - m.c, s.d - m.d, s.tx - m.tx, s.ty - m.ty};
        double worst = 0;
        for (double v : d) worst = std::max(worst, std::abs(v));
        return worst <= 1e-4 * std::max({1.0, k, std::abs(double{m.tx}), std::abs(double{m.ty})});
    };
    if (a->effectSpace() && !near(*a->effectSpace())) {
        note("stroke under a non-uniform scale with an effect in another space drawn with one width");
        return;
    }
    if (!a->effectSpace()) doc_->setEffectSpace(a, &m);
    Json extra = a->extra().empty() ? Json::object() : Json::parse(a->extra(), nullptr, false);
    if (!extra.is_object()) extra = Json::object();
    extra[kStrokeKey] = "transformed";
    doc_->setExtra(a, extra.dump());
}

bool Importer::hiddenBy(const Art* a, const Props& own, const Props& props) {
    auto d = own.find("display");
    if (d != own.end() && lower(trim(d->second)) == "none") return true;
    if (a->isContainer()) return false;
    auto vis = props.find("visibility");
    return vis != props.end() && (lower(vis->second) == "hidden" || lower(vis->second) == "collapse");
}

void Importer::finish(Art* a, const AttrMap& at, const Props& own, const Props& props, float alpha,
                      const Mat* ctm) {
    auto get = [&](const char* k) -> const std::string* {
        auto it = at.find(k);
        return it == at.end() ? nullptr : &it->second;
    };
    if (const std::string* id = get("data-easel-id")) readArtId(a, *id);
    opacityAndBlend(a, own, alpha);
    if (const std::string* tags = get("data-easel-tags")) readTags(a, *tags);
    if (const std::string* extra = get("data-easel-extra")) readExtra(a, *extra);
    if (const std::string* sel = get("data-easel-selected"); sel && *sel == "true") {
        doc_->setSelected(a, true);
        const std::string* parts = get("data-easel-selection");
        if (parts && a->hasPath()) readSegmentSelection(a, *parts);
    }
    if (ctm) {
        keepWithArt(a, at, own, props, *ctm);
    } else {
        for (const char* effect : {"clip-path", "mask", "filter"}) {
            auto it = own.find(effect);
            if (it != own.end() && lower(trim(it->second)) != "none")
                note(std::string(effect) + " of a compound path member not supported; drawn without it");
        }
    }
    const std::string* locked = get("data-easel-locked");
    pending_.push_back(Pending{a, locked && *locked == "true", hiddenBy(a, own, props)});
}

bool Importer::toSegments(const Subpath& sp, const Mat& m, std::vector<AIPathSegment>& out, const std::string& corners,
                          const std::string& ends) {
    out.clear();
    out.reserve(sp.segs.size());
    auto f = [&](Pt p, AIRealPoint& r) {
        const Pt q = apply(m, p);
        r.h = static_cast<float>(q.x);
        r.v = static_cast<float>(q.y);
        return std::isfinite(r.h) && std::isfinite(r.v);
    };
    for (const Seg& s : sp.segs) {
        AIPathSegment a{};
        if (!f(s.p, a.p) || !f(s.in, a.in) || !f(s.out, a.out)) return false;
        out.push_back(a);
    }
    if (!ends.empty() && !out.empty() && !sp.closed) {
        Scanner sc{ends};
        double v[4];
        bool ok = true;
        for (double& x : v) ok = ok && sc.number(x), sc.skipSep();
        if (ok) {
            out.front().in = AIRealPoint{static_cast<float>(v[0]), static_cast<float>(v[1])};
            out.back().out = AIRealPoint{static_cast<float>(v[2]), static_cast<float>(v[3])};
        }
    }
    for (AIPathSegment& a : out) a.corner = !looksSmooth(a);
    if (!corners.empty()) {
        if (corners.size() == out.size() && corners.find_first_not_of("01") == std::string::npos) {
            for (size_t i = 0; i < out.size(); ++i) out[i].corner = corners[i] == '1';
        } else {
            note("data-easel-corners does not match the path; corners guessed from the shape");
        }
    }
    return true;
}

void Importer::setSegments(Art* a, const std::vector<AIPathSegment>& segs, bool closed, const AttrMap&) {
    if (segs.size() > lim_.maxPathPoints)
        throw Failure{"a path has more than " + std::to_string(lim_.maxPathPoints) + " points (the limit of a path)"};
    points_ += segs.size();
    if (points_ > lim_.maxTotalPoints)
        throw Failure{"more than " + std::to_string(lim_.maxTotalPoints) + " points in the document (the limit)"};
    doc_->setSegmentCount(a, segs.size());
    if (!segs.empty()) doc_->setSegments(a, 0, segs.size(), segs.data());
    doc_->setClosed(a, closed);
}

Layer* Importer::newLayer(const std::string& layerName) {
    Layer* l = nullptr;
    doc_->insertLayer(nullptr, kPlaceAboveAll, &l, layerName);
    if (!l) throw Failure{"cannot add a layer"};
    layerFlags_.push_back({l, true, false});
    return l;
}

void Importer::walkChildren(xmlNodePtr n, const Ctx& ctx) {
    // Elements kept where they stand go with the art that follows them, or
    // the last art before them, or the group they are in.
    std::string kept;
    std::string* outer = keptHere_;
    keptHere_ = &kept;
    Art* last = nullptr;
    forEachChildElement(n, [&](xmlNodePtr c) {
        const size_t before = objects_;
        element(c, ctx);
        if (objects_ == before) return;
        if (Art* a = ctx.parent ? ctx.parent->lastChild() : ctx.layer ? ctx.layer->lastArt() : nullptr) {
            attachKept(a, "before", kept);
            last = a;
        }
    });
    keptHere_ = outer;
    if (last) attachKept(last, "after", kept);
    else if (ctx.parent) attachKept(ctx.parent, "inside", kept);
    else rootKept_ += kept;
}

std::optional<Mat> Importer::objectMatrix(const Mat& ctm, double x, double yBottom) const {
    // Local (u, t), vertical axis up, is SVG (x + u, yBottom - t).
    const Mat m = mul(ctm, Mat{1, 0, 0, -1, x, yBottom});
    for (double v : {m.a, m.b, m.c, m.d, m.e, m.f}) {
        if (!std::isfinite(static_cast<float>(v))) return std::nullopt;
    }
    return m;
}

bool Importer::readPage(AttrMap& at, Page& page, std::string& error) {
    // Width and height in points, user space fitted by viewBox.
    auto dimension = [&](const char* k, double& outPt) {
        auto it = at.find(k);
        Length l;
        if (it == at.end() || !parseLength(it->second, l) || l.unit == "%" || l.unit == "em" || l.unit == "ex")
            return false;
        outPt = l.unit == "pt" ? l.value : userLength(l, 0, 16) * kPxToPt;
        return true;
    };
    double& w = page.w;
    double& h = page.h;
    double* vb = page.vb;
    const bool hasW = dimension("width", w), hasH = dimension("height", h);
    if (at.count("viewBox")) {
        Scanner sc{at["viewBox"]};
        page.vbOk = true;
        for (int i = 0; i < 4; ++i) page.vbOk = page.vbOk && sc.number(vb[i]), sc.skipSep();
        page.vbOk = page.vbOk && vb[2] > 0 && vb[3] > 0;
        if (!page.vbOk) note("viewBox \"" + at["viewBox"] + "\" not understood");
    }
    const bool vbOk = page.vbOk;
    if (!hasW) w = vbOk ? (hasH && vb[3] > 0 ? h * vb[2] / vb[3] : vb[2] * kPxToPt) : 300 * kPxToPt;
    if (!hasH) h = vbOk ? (hasW && vb[2] > 0 ? w * vb[3] / vb[2] : vb[3] * kPxToPt) : 150 * kPxToPt;
    if (!hasW && !hasH && !vbOk) note("no width, height or viewBox: page set to 300 x 150 pixels");
    const float pw = static_cast<float>(w), ph = static_cast<float>(h);
    if (!(pw > 0 && ph > 0 && std::isfinite(pw) && std::isfinite(ph))) {
        error = "page size " + formatNumber(w) + " x " + formatNumber(h) + " is not positive and finite";
        return false;
    }
    doc_ = std::make_unique<Document>(pw, ph);
    doc_->keepHistory(false);  // until settle()
    pageHeight_ = ph;
    return true;
}

void Importer::readSeedAndSwatches(AttrMap& at) {
    if (at.count("data-easel-seed")) {
        int32_t seed = 1;
        const std::string& s = at["data-easel-seed"];
        auto res = std::from_chars(s.data(), s.data() + s.size(), seed);
        if (res.ec == std::errc() && res.ptr == s.data() + s.size()) doc_->setSeed(seed);
    }
    if (at.count("data-easel-swatches")) {
        Json sj = parseAttributeJson(at["data-easel-swatches"]);
        if (sj.is_array()) {
            for (const Json& s : sj) {
                if (!s.is_object() || !s.contains("name") || !s["name"].is_string() || !s.contains("color") ||
                    !s["color"].is_string())
                    continue;
                if (auto c = parseColorText(s["color"].get<std::string>()))
                    doc_->addSwatch(s["name"].get<std::string>(), *c);
            }
            return;
        }
        note("data-easel-swatches is not a JSON array; default swatches used");
    }
    const auto defaults = newDocument(doc_->width(), doc_->height());
    for (size_t i = 0; i < defaults->swatchCount(); ++i)
        doc_->addSwatch(defaults->swatch(i)->name, defaults->swatch(i)->color);
}

void Importer::readLayerGroup(xmlNodePtr c, const Ctx& ctx, int number) {
    const AttrMap ga = attributes(c);
    std::string lname, nameKey;
    for (const char* k : {"data-easel-layer", "inkscape:label", "id"}) {
        if (ga.count(k)) {
            lname = ga.at(k);
            nameKey = k;
            break;
        }
    }
    if (lname.empty()) lname = "Layer " + std::to_string(number);
    Layer* layer = newLayer(lname);
    LayerFlags& flags = layerFlags_.back();
    const bool ours = ga.count("data-easel-layer") > 0;
    const Props gown = ownProps(c, ga);
    if (ours) {
        flags.visible = !(ga.count("data-easel-visible") && ga.at("data-easel-visible") == "false");
        flags.locked = ga.count("data-easel-locked") && ga.at("data-easel-locked") == "true";
    }
    // What a layer cannot carry (opacity, blending, hiding, ...) stays on
    // a group inside it; an editor's display:inline changes nothing.
    bool wrap = false;
    for (const auto& [k, v] : gown) {
        if (ownProperties().count(k) && !(k == "display" && (ours || lower(trim(v)) != "none"))) wrap = true;
    }
    // A group written as art (data-easel-id) keeps its attributes as art.
    const bool art = ga.count("data-easel-id") > 0;
    if (!art) keepLayerAttributes(layer, c, ga, nameKey);
    Ctx lc = ctx;
    lc.layer = layer;
    if (wrap || art) {
        if (stream_) stream_->expand(c);
        const xmlNodePtr outer = layerGroup_;
        layerGroup_ = art ? nullptr : c;
        element(c, lc);
        layerGroup_ = outer;
        return;
    }
    const Props gprops = inherit(*ctx.inherited, gown);
    Mat ctm = ctx.ctm;
    if (ga.count("transform")) {
        Mat t;
        if (parseTransform(ga.at("transform"), t)) ctm = mul(ctm, t);
        else note("transform \"" + ga.at("transform") + "\" not understood; element drawn untransformed");
    }
    lc.ctm = ctm;
    lc.inherited = &gprops;
    lc.depth = ctx.depth + 1;
    walkChildren(c, lc);
}

void Importer::readTopLevel(xmlNodePtr root, const Ctx& ctx) {
    // Top-level groups are layers; other art at the top goes into layers of
    // its own, one per run.
    Layer* loose = nullptr;
    int count = 0;
    forEachChildElement(root, [&](xmlNodePtr c) {
        if (isSvg(c) && name(c) == "g") {
            loose = nullptr;
            readLayerGroup(c, ctx, ++count);
            return;
        }
        // What draws nothing (definitions, editor settings, ...) makes
        // no layer.
        if (!isSvg(c) || !elementHandlers().count(name(c))) {
            element(c, ctx);
            return;
        }
        if (!loose) loose = newLayer("Layer " + std::to_string(++count));
        Ctx lc = ctx;
        lc.layer = loose;
        element(c, lc);
    });
}

void Importer::forEachChildElement(xmlNodePtr n, const std::function<void(xmlNodePtr)>& each) {
    if (stream_ && stream_->at(n)) {
        stream_->children(n, each);
        return;
    }
    for (xmlNodePtr c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) each(c);
}

void Importer::settle() {
    // Art takes an id when it is made; the file's id replaces it when it is
    // read (a group's after its contents). Art the file gives no id keeps
    // its own, which an id read later may repeat: that art takes a new one.
    if (idsRead_.size() != objects_) {
        const std::unordered_set<const Art*> read(idsRead_.begin(), idsRead_.end());
        doc_->forEachArt([&](Art* a) {
            if (!read.count(a) && usedIds_.contains(a->id())) doc_->setArtId(a, doc_->nextId());
        });
    }
    for (const Pending& p : pending_) {
        if (p.hidden) doc_->setHidden(p.art, true);
        if (p.locked) doc_->setLocked(p.art, true);
    }
    for (const LayerFlags& f : layerFlags_) {
        doc_->setLayerVisible(f.layer, f.visible);
        doc_->setLayerLocked(f.layer, f.locked);
    }
    doc_->setCurrentLayer(doc_->topLayer());
    doc_->keepHistory(true);
    doc_->clearHistory();
    for (const auto& [what, n] : notes_) {
        report_.notes.push_back(n == 1 ? what : what + ", " + std::to_string(n) + " times");
    }
}

bool Importer::run(std::unique_ptr<Document>& out, std::string& error) {
    xmlNodePtr root = xmlDocGetRootElement(x_);
    if (!root) {
        error = "not an SVG document: no root element";
        return false;
    }
    if (!isSvg(root) || name(root) != "svg") {
        error = "not an SVG document: the root element is <" + name(root) + ">";
        return false;
    }
    expandMarkupEntities(root);
    indexIds(root);
    readStyleSheets(root);
    return readRoot(root, out, error);
}

bool Importer::runStreamed(ElementStream& stream, std::unique_ptr<Document>& out, std::string& error) {
    // A streamed file has no ids, style sheets or entities to find first.
    stream_ = &stream;
    return readRoot(stream.root(), out, error);
}

bool Importer::readRoot(xmlNodePtr root, std::unique_ptr<Document>& out, std::string& error) {
    AttrMap at = attributes(root);
    Page page;
    if (!readPage(at, page, error)) return false;
    readSeedAndSwatches(at);

    Mat vbm;
    if (page.vbOk) {
        bool has = false;
        vbm = viewBoxTransform(at, page.w, page.h, has);
    } else {
        vbm = scale(kPxToPt, kPxToPt);
    }
    Ctx ctx;
    // Model = flip(page) · viewBox · user space.
    ctx.ctm = mul(Mat{1, 0, 0, -1, 0, static_cast<double>(doc_->height())}, vbm);
    const Props rootOwn = ownProps(root, at);
    const Props rootProps = inherit(Props{}, rootOwn);
    ctx.inherited = &rootProps;
    ctx.vpw = page.vbOk ? page.vb[2] : page.w / kPxToPt;
    ctx.vph = page.vbOk ? page.vb[3] : page.h / kPxToPt;
    ctx.depth = 1;
    viewportW_ = ctx.vpw;
    viewportH_ = ctx.vph;
    // The root's filter is written on the written root, whose user unit is
    // the page's point.
    if (const double unit = std::sqrt(std::abs(vbm.a * vbm.d - vbm.b * vbm.c));
        rootOwn.count("filter") && std::abs(unit - 1) > 1e-6)
        note("filter of the root <svg> drawn in points: its lengths " + formatNumber(std::round(100 / unit) / 100) +
             " times what the file draws");
    readTopLevel(root, ctx);
    if (doc_->layerCount() == 0) newLayer("Layer 1");
    keepRoot(root, at);
    settle();
    out = std::move(doc_);
    return true;
}

}  // namespace svg

std::string SvgReport::text() const {
    std::string s;
    for (const std::string& n : notes) s += n + "\n";
    return s;
}

namespace {

// The file read from `stream` as it comes; false when it needs the whole
// tree (or is refused: the whole-tree reading then says why), nothing kept.
bool readStreamed(svg::ElementStream& stream, std::unique_ptr<Document>& out, SvgReport& report,
                  const SvgLimits& limits) {
    bool ok = false;
    try {
        svg::Importer imp(stream.root()->doc, limits, report);
        std::string error;
        ok = imp.runStreamed(stream, out, error);
        if (ok) stream.finish();  // the rest of the file must be well-formed too
    } catch (const svg::StreamDeclined&) {
        ok = false;
    } catch (const svg::Failure&) {
        ok = false;
    } catch (const std::exception&) {  // out of memory among them
        ok = false;
    }
    if (!ok) {
        out.reset();
        report.notes.clear();
    }
    return ok;
}

// readSvg of `text`; `owned`, when given, is the text, let go once parsed.
bool readSvgText(const std::string& text, std::string* owned, std::unique_ptr<Document>& out, SvgReport& report,
                 std::string& error, const SvgLimits& limits) {
    error.clear();
    report.notes.clear();
    if (text.size() > limits.maxBytes) {
        error = "file larger than " + std::to_string(limits.maxBytes) + " bytes (the limit)";
        return false;
    }
    if (text.size() > static_cast<size_t>(INT32_MAX)) {
        error = "file too large";
        return false;
    }
    if (svg::isGzip(text)) {
        std::string inflated;
        if (!svg::inflateGzip(text, limits.maxBytes, inflated, error)) return false;
        if (svg::isGzip(inflated)) {
            error = "compressed SVG holds compressed data, not SVG";
            return false;
        }
        return readSvgText(inflated, &inflated, out, report, error, limits);
    }
    if (limits.stream) {
        svg::ElementStream stream(text, 4 * limits.maxObjects);
        if (readStreamed(stream, out, report, limits)) {
            if (owned) std::string().swap(*owned);
            return true;
        }
    }
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        error = "out of memory";
        return false;
    }
    xmlDocPtr xdoc =
        xmlCtxtReadMemory(ctxt, text.data(), static_cast<int>(text.size()), "input.svg", nullptr, svg::kXmlReadOptions);
    if (!xdoc || !ctxt->wellFormed) {
        const xmlError* e = xmlCtxtGetLastError(ctxt);
        std::string msg = e && e->message ? e->message : "malformed XML";
        while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
        error = "not a well-formed XML file" + (e && e->line > 0 ? " (line " + std::to_string(e->line) + ")" : std::string()) +
                ": " + msg;
        if (xdoc) xmlFreeDoc(xdoc);
        xmlFreeParserCtxt(ctxt);
        return false;
    }
    xmlFreeParserCtxt(ctxt);
    if (owned) std::string().swap(*owned);  // `text` is not looked at again
    // Parts kept as text (clip paths, masks, filters, symbols) are written
    // with their characters as they are, as in the UTF-8 file easel writes:
    // without a declared encoding libxml2 would write them as references.
    if (!xdoc->encoding) xdoc->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    bool ok = false;
    try {
        svg::Importer imp(xdoc, limits, report);
        ok = imp.run(out, error);
    } catch (const svg::Failure& f) {
        error = f.message;
        ok = false;
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        ok = false;
    } catch (const std::exception& e) {
        error = std::string("cannot read the file: ") + e.what();
        ok = false;
    }
    xmlFreeDoc(xdoc);
    if (!ok) {
        out.reset();
        report.notes.clear();
    }
    return ok;
}

}  // namespace

bool readSvg(const std::string& text, std::unique_ptr<Document>& out, SvgReport& report, std::string& error,
             const SvgLimits& limits) {
    return readSvgText(text, nullptr, out, report, error, limits);
}

bool readSvg(std::string&& text, std::unique_ptr<Document>& out, SvgReport& report, std::string& error,
             const SvgLimits& limits) {
    return readSvgText(text, &text, out, report, error, limits);
}

bool readSvgFileStreamed(const std::filesystem::path& path, std::unique_ptr<Document>& out, SvgReport& report,
                         const SvgLimits& limits) {
    out.reset();
    report.notes.clear();
    // A pipe could not be read again when the stream declines.
    std::error_code ec;
    if (!limits.stream || !std::filesystem::is_regular_file(path, ec)) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.string().c_str(), "rb"), &std::fclose);
    if (!file) return false;
    svg::ElementStream stream(file.get(), limits.maxBytes, 4 * limits.maxObjects);
    return readStreamed(stream, out, report, limits);
}

}  // namespace easel
