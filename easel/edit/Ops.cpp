// The edits of art: new document, shapes, transforms, style, delete,
// duplicate, clipboard, selection of art and of points, point moves.
#include <algorithm>
#include <cmath>
#include <set>

#include "model/Names.h"
#include "model/SelectionLayer.h"
#include "Support.h"

namespace easel::edit {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMinSize = 1e-3;  // shapes smaller than this are degenerate

void paint(AIColor color, ASBoolean& on, AIColor& slot) {
    on = color.kind != kNoneColor;
    slot = color;
}

// The style new art gets: the defaults, with the fill, stroke and width given.
AIPathStyle styleArgs(Ctx& c, bool open) {
    AIPathStyle s = defaultPathStyle();
    if (open) s.fillPaint = false;
    if (c.args.has("fill")) paint(colorArg(c.doc, c.args.raw("fill"), "\"fill\""), s.fillPaint, s.fill.color);
    if (c.args.has("stroke")) paint(colorArg(c.doc, c.args.raw("stroke"), "\"stroke\""), s.strokePaint, s.stroke.color);
    s.stroke.width = static_cast<float>(c.args.number("strokeWidth", 0, 1000, s.stroke.width));
    return s;
}

std::vector<AIRealPoint> pointList(const json& j, const std::string& where) {
    if (!j.is_array()) refuse(where + " must be a list of points");
    std::vector<AIRealPoint> out;
    for (size_t i = 0; i < j.size(); ++i) out.push_back(Args::pointOf(j[i], where + "[" + std::to_string(i) + "]"));
    return out;
}

size_t distinctPoints(const std::vector<AIRealPoint>& pts) {
    std::set<std::pair<float, float>> s;
    for (const auto& p : pts) s.insert({p.h, p.v});
    return s.size();
}

bool collinearHandles(const AIPathSegment& s) {
    const double ah = s.in.h - s.p.h, av = s.in.v - s.p.v, bh = s.out.h - s.p.h, bv = s.out.v - s.p.v;
    const double la = std::hypot(ah, av), lb = std::hypot(bh, bv);
    if (la == 0 || lb == 0) return true;
    return std::fabs(ah * bv - av * bh) <= 1e-4 * la * lb && ah * bh + av * bv < 0;
}

std::vector<AIPathSegment> penAnchors(const json& j) {
    if (!j.is_array()) refuse("\"anchors\" must be a list of [h, v] or [h, v, inH, inV, outH, outV]");
    std::vector<AIPathSegment> segs;
    for (size_t i = 0; i < j.size(); ++i) {
        const std::string where = "\"anchors\"[" + std::to_string(i) + "]";
        const json& a = j[i];
        if (!a.is_array() || (a.size() != 2 && a.size() != 6))
            refuse(where + " must be [h, v] or [h, v, inH, inV, outH, outV], found " + a.dump());
        AIPathSegment s{};
        s.p = Args::pointOf(json::array({a[0], a[1]}), where);
        s.in = a.size() == 6 ? Args::pointOf(json::array({a[2], a[3]}), where + " in") : s.p;
        s.out = a.size() == 6 ? Args::pointOf(json::array({a[4], a[5]}), where + " out") : s.p;
        s.corner = collinearHandles(s) ? 0 : 1;
        if (a.size() == 2) s.corner = 1;
        segs.push_back(s);
    }
    return segs;
}

// New path art on top of the current layer, the only selected art.
Art* makePath(Ctx& c, const std::vector<AIPathSegment>& segs, bool closed, const AIPathStyle& style) {
    Layer* layer = c.doc.currentLayer();
    requireEditable(layer);
    for (const auto& s : segs)
        for (AIRealPoint p : {s.p, s.in, s.out})
            if (!(std::fabs(double{p.h}) <= kMaxCoordinate && std::fabs(double{p.v}) <= kMaxCoordinate))
                refuse("the shape would leave the drawing area");
    c.doc.deselectAll();
    Art* a = nullptr;
    check(c.doc.newArt(kPathArt, kPlaceInsideOnTop, nullptr, &a), "create");
    check(c.doc.setSegmentCount(a, segs.size()), "create");
    check(c.doc.setSegments(a, 0, segs.size(), segs.data()), "create");
    check(c.doc.setClosed(a, closed), "create");
    check(c.doc.setStyle(a, style), "create");
    check(c.doc.setSelected(a, true), "create");
    c.out.made.push_back(a->id());
    return a;
}

AIRealRect boxArg(Ctx& c, const char* what) {
    const AIRealPoint a = c.args.point("from"), b = c.args.point("to");
    if (std::fabs(double{a.h} - double{b.h}) < kMinSize || std::fabs(double{a.v} - double{b.v}) < kMinSize)
        refuse(std::string("a ") + what + " needs a width and a height: \"from\" and \"to\" must differ in h and in v");
    return AIRealRect{std::min(a.h, b.h), std::max(a.v, b.v), std::max(a.h, b.h), std::min(a.v, b.v)};
}

}  // namespace

AIRealPoint centreOf(const AIRealRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void transformAll(Ctx& c, const std::vector<Art*>& art, const AIRealMatrix& m, float lineScale, bool strokes) {
    const int32_t flags = kTransformObjects | (strokes ? kScaleLines : 0);
    for (Art* a : art) check(c.doc.transformArt(a, m, lineScale, flags), c.undoName);
    requireInRange(c.doc, art);
}

// m = translate(-o), apply, translate(o)
AIRealMatrix about(AIRealPoint o, const AIRealMatrix& m) {
    const AIRealMatrix to{1, 0, 0, 1, -o.h, -o.v}, back{1, 0, 0, 1, o.h, o.v};
    return concatMatrix(concatMatrix(to, m), back);
}

namespace {

// A copy of `src` (any document) made in `dst` by the given placement.
Art* copyArt(Document& dst, const Art& src, int16_t order, Art* prep) {
    Art* a = nullptr;
    check(dst.newArt(src.type(), order, prep, &a), "copy");
    check(dst.setStyle(a, src.style()), "copy");
    check(dst.setOpacity(a, src.opacity()), "copy");
    check(dst.setBlendMode(a, src.blendMode()), "copy");
    for (const Tag& t : src.tags())
        check(t.isReal ? dst.setTagReal(a, t.name, t.real) : dst.setTagString(a, t.name, t.text), "copy");
    if (src.hasPath()) {
        const auto segs = src.segments();
        check(dst.setSegmentCount(a, segs.size()), "copy");
        check(dst.setSegments(a, 0, segs.size(), segs.data()), "copy");
        check(dst.setClosed(a, src.closed()), "copy");
    }
    if (src.hasObjectMatrix()) {
        check(dst.setObjectData(a, src.object()), "copy");
        check(dst.setObjectMatrix(a, src.objectMatrix()), "copy");
    }
    if (!src.extra().empty()) check(dst.setExtra(a, src.extra()), "copy");
    for (const Art* ch = src.firstChild(); ch; ch = ch->next()) copyArt(dst, *ch, kPlaceInsideOnTop, a);
    if (src.type() == kEnvelopeArt) check(dst.setEnvelopeWarp(a, src.warp()), "copy");
    check(dst.setHidden(a, src.hidden()), "copy");
    if (src.clipped()) check(dst.setClipped(a, true), "copy");
    return a;
}

void copyToClipboard(Ctx& c, const std::vector<Art*>& art) {
    c.clipboard.clear();
    for (Art* a : art) copyArt(c.clipboard.doc(), *a, kPlaceInsideOnTop, nullptr);
}

}  // namespace

// COLOR = "none" | {"swatch": NAME} | {"kind": "gray"|"cmyk"|"rgb", "values": [0..1, ...]}
AIColor colorArg(Document& doc, const json& j, const std::string& where) {
    if (j.is_string() && j.get<std::string>() == "none") return noneColor();
    if (j.is_object() && j.contains("swatch")) {
        const std::string name = j["swatch"].is_string() ? j["swatch"].get<std::string>() : j["swatch"].dump();
        for (size_t i = 0; i < doc.swatchCount(); ++i)
            if (doc.swatch(i)->name == name) return doc.swatch(i)->color;
        refuse(where + ": the document has no swatch named \"" + name + "\"");
    }
    if (!j.is_object() || !j.contains("kind") || !j["kind"].is_string() || !j.contains("values") || !j["values"].is_array())
        refuse(where + " must be \"none\", {\"swatch\": NAME} or {\"kind\": \"gray\"|\"cmyk\"|\"rgb\", \"values\": [...]}");
    const std::string kindName = j["kind"].get<std::string>();
    const int32_t kind = colorKindFromName(kindName);
    if (kind != kGrayColor && kind != kFourColor && kind != kThreeColor)
        refuse(where + ".kind must be gray, cmyk or rgb, found \"" + kindName + "\"");
    const size_t n = colorKindValueCount(kind);
    const json& v = j["values"];
    if (v.size() != n) refuse(where + ".values: a " + kindName + " colour has " + std::to_string(n) + " values");
    float c[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < n; ++i)
        c[i] = static_cast<float>(Args::numberOf(v[i], where + ".values[" + std::to_string(i) + "]", 0, 1));
    if (kind == kGrayColor) return grayColor(c[0]);
    if (kind == kFourColor) return cmykColor(c[0], c[1], c[2], c[3]);
    return rgbColor(c[0], c[1], c[2]);
}

// ---- document ----

void opNew(Ctx& c) {
    struct Size {
        const char* name;
        float w, h;
    };
    static const Size sizes[] = {{"Letter", 612, 792},       {"Legal", 612, 1008},       {"Tabloid", 792, 1224},
                                 {"A3", 841.89f, 1190.55f}, {"A4", 595.28f, 841.89f}, {"A5", 419.53f, 595.28f}};
    float w = 612, h = 792;
    if (c.args.has("size")) {
        if (c.args.has("width") || c.args.has("height")) refuse("give either \"size\" or \"width\" and \"height\"");
        const std::string name = c.args.word("size", {"Letter", "Legal", "Tabloid", "A3", "A4", "A5"});
        for (const Size& s : sizes)
            if (name == s.name) w = s.w, h = s.h;
        if (c.args.word("orientation", {"portrait", "landscape"}, "portrait") == "landscape") std::swap(w, h);
    } else {
        w = static_cast<float>(c.args.number("width", 1, 16384, 612));
        h = static_cast<float>(c.args.number("height", 1, 16384, 792));
    }
    c.out.replaced = newDocument(w, h);
    c.out.replaced->setSeed(c.doc.seed());
}

// ---- shapes ----

void opCreate(Ctx& c) {
    const std::string shape = c.args.word("shape", {"rectangle", "ellipse", "polygon", "star", "line", "pen", "pencil"});
    const float rotation = static_cast<float>(c.args.number("rotation", -3600, 3600, 0));
    std::vector<AIPathSegment> segs;
    bool closed = true;
    if (shape == "rectangle") {
        segs = rectangleSegments(boxArg(c, "rectangle"), static_cast<float>(c.args.number("radius", 0, kMaxCoordinate, 0)));
    } else if (shape == "ellipse") {
        segs = ellipseSegments(boxArg(c, "ellipse"));
    } else if (shape == "polygon" || shape == "star") {
        const AIRealPoint centre = c.args.point("center");
        const float radius = static_cast<float>(c.args.number("radius", kMinSize, kMaxCoordinate));
        if (shape == "polygon") {
            segs = polygonSegments(centre, radius, c.args.integer("sides", 3, 1000, 6), rotation);
        } else {
            const float inner = static_cast<float>(c.args.number("inner", kMinSize, kMaxCoordinate, radius / 2));
            segs = starSegments(centre, radius, inner, c.args.integer("points", 3, 1000, 5), rotation);
        }
    } else if (shape == "line") {
        const AIRealPoint a = c.args.point("from"), b = c.args.point("to");
        if (std::hypot(double{a.h} - double{b.h}, double{a.v} - double{b.v}) < kMinSize) refuse("a line needs two different end points");
        segs = {AIPathSegment{a, a, a, 1}, AIPathSegment{b, b, b, 1}};
        closed = false;
    } else if (shape == "pen") {
        segs = penAnchors(c.args.raw("anchors"));
        std::vector<AIRealPoint> anchors;
        for (const auto& s : segs) anchors.push_back(s.p);
        if (distinctPoints(anchors) < 2) refuse("a pen path needs at least two different anchor points");
        closed = c.args.flag("closed", false);
    } else {
        const auto pts = pointList(c.args.raw("points"), "\"points\"");
        if (distinctPoints(pts) < 2) refuse("a pencil stroke needs at least two different points");
        segs = fitPoints(pts, static_cast<float>(c.args.number("tolerance", 0.1, 100, 2)));
        closed = c.args.flag("closed", false);
    }
    if (c.args.has("closed") && shape != "pen" && shape != "pencil") refuse("\"closed\" is for pen and pencil paths");
    if (rotation != 0 && (shape == "rectangle" || shape == "ellipse" || shape == "line")) {
        AIRealRect r = kEmptyRect;
        for (const auto& s : segs) includePoint(r, s.p);
        const double rad = double{rotation} * kPi / 180;
        const float cs = static_cast<float>(std::cos(rad)), sn = static_cast<float>(std::sin(rad));
        const AIRealMatrix m = about(centreOf(r), {cs, sn, -sn, cs, 0, 0});
        for (auto& s : segs) s = transformSegment(m, s);
    }
    if (segs.size() > kMaxSegments) refuse("a path may have at most " + std::to_string(kMaxSegments) + " points");
    makePath(c, segs, closed, styleArgs(c, !closed));
}

// ---- transforms ----

void opMove(Ctx& c) {
    const AIRealPoint d = c.args.point("by");
    transformAll(c, targets(c.doc), AIRealMatrix{1, 0, 0, 1, d.h, d.v}, 1, false);
}

void opScale(Ctx& c) {
    const json& by = c.args.raw("by");
    const AIRealPoint s = Args::pointOf(by, "\"by\"");
    if (std::fabs(double{s.h}) < 1e-3 || std::fabs(double{s.v}) < 1e-3 || std::fabs(double{s.h}) > 1e4 ||
        std::fabs(double{s.v}) > 1e4)
        refuse("scale factors must be from 0.001 to 10000 in size (negative ones reflect), found " + by.dump());
    const auto art = targets(c.doc);
    const AIRealPoint o = c.args.point("origin", centreOf(boundsOf(c.doc, art)));
    transformAll(c, art, about(o, AIRealMatrix{s.h, 0, 0, s.v, 0, 0}), std::sqrt(std::fabs(s.h * s.v)),
                 c.args.flag("strokes", false));
}

void opRotate(Ctx& c) {
    const double rad = c.args.number("angle", -3600, 3600) * kPi / 180;
    const auto art = targets(c.doc);
    const AIRealPoint o = c.args.point("origin", centreOf(boundsOf(c.doc, art)));
    const float cs = static_cast<float>(std::cos(rad)), sn = static_cast<float>(std::sin(rad));
    transformAll(c, art, about(o, AIRealMatrix{cs, sn, -sn, cs, 0, 0}), 1, false);
}

// ---- style ----

void opStyle(Ctx& c) {
    std::vector<const char*> given;
    for (const char* k : {"fill", "stroke", "strokeWidth", "opacity", "blend"})
        if (c.args.has(k)) given.push_back(k);
    if (given.empty()) refuse("give \"fill\", \"stroke\", \"strokeWidth\", \"opacity\" or \"blend\"");
    std::optional<AIColor> fill, stroke;
    if (c.args.has("fill")) fill = colorArg(c.doc, c.args.raw("fill"), "\"fill\"");
    if (c.args.has("stroke")) stroke = colorArg(c.doc, c.args.raw("stroke"), "\"stroke\"");
    std::optional<float> width, opacity;
    if (c.args.has("strokeWidth")) width = static_cast<float>(c.args.number("strokeWidth", 0, 1000));
    if (c.args.has("opacity")) opacity = static_cast<float>(c.args.number("opacity", 0, 1));
    std::optional<int32_t> blend;
    if (c.args.has("blend")) {
        const json& b = c.args.raw("blend");
        blend = b.is_string() ? blendModeFromName(b.get<std::string>()) : static_cast<int32_t>(c.args.integer("blend", 0, 15));
        if (*blend < 0) refuse("\"blend\" must be a blend mode (normal, multiply, screen, ...), found " + b.dump());
    }
    static const std::pair<const char*, const char*> names[] = {
        {"fill", "Fill"}, {"stroke", "Stroke"}, {"strokeWidth", "Stroke Width"}, {"opacity", "Opacity"}, {"blend", "Blend Mode"}};
    if (given.size() == 1)
        for (const auto& [k, n] : names)
            if (std::string(k) == given[0]) c.undoName = n;
    for (Art* t : targets(c.doc)) {
        if (opacity) check(c.doc.setOpacity(t, *opacity), "opacity");
        if (blend) check(c.doc.setBlendMode(t, *blend), "blend");
        if (!fill && !stroke && !width) continue;
        // Fill and stroke go to the painted art inside groups.
        std::vector<Art*> stack{t};
        while (!stack.empty()) {
            Art* a = stack.back();
            stack.pop_back();
            for (Art* ch = a->firstChild(); ch; ch = ch->next()) stack.push_back(ch);
            if (a->type() == kGroupArt || a->type() == kEnvelopeArt) continue;
            AIPathStyle s = a->style();
            if (fill) paint(*fill, s.fillPaint, s.fill.color);
            if (stroke) paint(*stroke, s.strokePaint, s.stroke.color);
            if (width) s.stroke.width = *width;
            check(c.doc.setStyle(a, s), "style");
            if (stroke) refreshArrows(c, a);
        }
    }
}

// ---- delete, duplicate, clipboard ----

void opDelete(Ctx& c) {
    for (Art* a : targets(c.doc)) check(c.doc.disposeArt(a), "delete");
}

void opDuplicate(Ctx& c) {
    const AIRealPoint d = c.args.point("by", AIRealPoint{0, 0});
    const auto art = targets(c.doc);
    std::vector<Art*> copies;
    for (Art* a : art) {
        Art* copy = nullptr;
        check(c.doc.duplicateArt(a, kPlaceAbove, a, &copy), "duplicate");
        copies.push_back(copy);
    }
    c.doc.deselectAll();
    for (Art* a : copies) {
        check(c.doc.setSelected(a, true), "duplicate");
        c.out.made.push_back(a->id());
    }
    if (d.h != 0 || d.v != 0) transformAll(c, copies, AIRealMatrix{1, 0, 0, 1, d.h, d.v}, 1, false);
}

void opCopy(Ctx& c) { copyToClipboard(c, targets(c.doc)); }

void opCut(Ctx& c) {
    const auto art = targets(c.doc);
    copyToClipboard(c, art);
    for (Art* a : art) check(c.doc.disposeArt(a), "cut");
}

void opPaste(Ctx& c) {
    if (c.clipboard.empty()) refuse("the clipboard is empty: copy or cut art first");
    requireEditable(c.doc.currentLayer());
    const AIRealPoint d = c.args.point("by", AIRealPoint{0, 0});
    c.doc.deselectAll();
    std::vector<Art*> made;
    for (const Art* a = c.clipboard.doc().bottomLayer()->firstArt(); a; a = a->next()) {
        Art* copy = copyArt(c.doc, *a, kPlaceInsideOnTop, nullptr);
        check(c.doc.setSelected(copy, true), "paste");
        made.push_back(copy);
        c.out.made.push_back(copy->id());
    }
    if (d.h != 0 || d.v != 0) transformAll(c, made, AIRealMatrix{1, 0, 0, 1, d.h, d.v}, 1, false);
}

// ---- selection ----

namespace {

std::string modeArg(Ctx& c) { return c.args.word("mode", {"set", "add", "toggle"}, "set"); }

// Art a person may select: live, on a visible unlocked layer, not locked.
Art* selectable(Ctx& c, const json& idj, const std::string& where) {
    if (!idj.is_number_integer()) refuse(where + " must be an art id, found " + idj.dump());
    Art* a = c.doc.findById(idj.get<int64_t>());
    if (!a || !c.doc.isLive(a)) refuse(where + ": no art with id " + idj.dump());
    requireEditable(a->layer());
    for (const Art* p = a; p; p = p->parent())
        if (p->locked() || p->hidden()) refuse(where + ": art " + idj.dump() + " is locked or hidden");
    return a;
}

}  // namespace

void opSelect(Ctx& c) {
    const json& ids = c.args.raw("ids");
    if (!ids.is_array()) refuse("\"ids\" must be a list of art ids");
    const std::string mode = modeArg(c);
    std::vector<Art*> art;
    for (size_t i = 0; i < ids.size(); ++i) art.push_back(selectable(c, ids[i], "\"ids\"[" + std::to_string(i) + "]"));
    if (mode == "set") c.doc.deselectAll();
    for (Art* a : art) c.doc.setSelected(a, mode == "toggle" ? !a->selected() : true);
    makeSelectionLayerCurrent(c.doc);
}

void opSelectAll(Ctx& c) {
    Layer* l = c.doc.currentLayer();
    requireEditable(l);
    c.doc.deselectAll();
    for (Art* a = l->firstArt(); a; a = a->next())
        if (!a->locked() && !a->hidden()) c.doc.setSelected(a, true);
}

void opDeselect(Ctx& c) { c.doc.deselectAll(); }

void opSelectPoints(Ctx& c) {
    const json& paths = c.args.raw("paths");
    if (!paths.is_array()) refuse("\"paths\" must be a list of {\"id\": n, \"segments\": [i, ...]}");
    const std::string mode = modeArg(c);
    std::vector<std::pair<Art*, std::vector<size_t>>> picks;
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string where = "\"paths\"[" + std::to_string(i) + "]";
        const json& p = paths[i];
        if (!p.is_object() || !p.contains("id") || !p.contains("segments") || !p["segments"].is_array())
            refuse(where + " must be {\"id\": n, \"segments\": [i, ...]}");
        Art* a = selectable(c, p["id"], where + ".id");
        if (!a->hasPath()) refuse(where + ": art " + p["id"].dump() + " is not a path");
        std::vector<size_t> segs;
        for (size_t k = 0; k < p["segments"].size(); ++k)
            segs.push_back(static_cast<size_t>(Args::integerOf(p["segments"][k], where + ".segments[" + std::to_string(k) + "]", 0,
                                                               static_cast<int>(a->segmentCount()) - 1)));
        picks.emplace_back(a, std::move(segs));
    }
    if (mode == "set") c.doc.deselectAll();
    for (auto& [a, segs] : picks)
        for (size_t i : segs) {
            const bool on = mode == "toggle" ? !(a->segmentSelection(i) & kSegmentPointSelected) : true;
            c.doc.setSegmentSelection(a, i, on ? kSegmentPointSelected : 0);
        }
    makeSelectionLayerCurrent(c.doc);
}

// ---- points ----

void opMovePoints(Ctx& c) {
    const AIRealPoint d = c.args.point("by");
    std::vector<Art*> paths;
    for (Art* a : c.doc.selectedArt())
        if (a->hasPath()) paths.push_back(a);
    bool any = false;
    for (Art* a : paths) {
        requireEditable(a->layer());
        auto segs = a->segments();
        for (size_t i = 0; i < segs.size(); ++i) {
            const int16_t bits = a->segmentSelection(i);
            auto shift = [&](AIRealPoint& p) { p.h += d.h, p.v += d.v; };
            if (bits & kSegmentPointSelected) {
                shift(segs[i].p), shift(segs[i].in), shift(segs[i].out);
            } else {
                if (bits & kSegmentInSelected) shift(segs[i].in);
                if (bits & kSegmentOutSelected) shift(segs[i].out);
            }
            any = any || bits != 0;
        }
        check(c.doc.setSegments(a, 0, segs.size(), segs.data()), "movePoints");
    }
    if (!any) refuse("no anchor point is selected");
    requireInRange(c.doc, paths);
}

void opMoveHandle(Ctx& c) {
    const json& idj = c.args.raw("id");
    Art* a = selectable(c, idj, "\"id\"");
    if (!a->hasPath()) refuse("art " + idj.dump() + " is not a path");
    const int i = c.args.integer("segment", 0, static_cast<int>(a->segmentCount()) - 1);
    const bool in = c.args.word("handle", {"in", "out"}) == "in";
    const AIRealPoint to = c.args.point("to");
    AIPathSegment s = a->segment(static_cast<size_t>(i));
    AIRealPoint& moved = in ? s.in : s.out;
    AIRealPoint& other = in ? s.out : s.in;
    moved = to;
    if (!s.corner) {
        // A smooth point keeps its handles in line: the other turns, keeping its length.
        const double ol = std::hypot(other.h - s.p.h, other.v - s.p.v);
        const double mh = to.h - s.p.h, mv = to.v - s.p.v, ml = std::hypot(mh, mv);
        if (ml > 0 && ol > 0)
            other = {static_cast<float>(double{s.p.h} - mh / ml * ol), static_cast<float>(double{s.p.v} - mv / ml * ol)};
    }
    check(c.doc.setSegments(a, static_cast<size_t>(i), 1, &s), "moveHandle");
}

}  // namespace easel::edit
