// The edits of paint: stroke style (caps, joins, dashes, arrowheads),
// gradient fills and strokes, the document's swatch list, the eyedropper and
// swapping fill and stroke.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Support.h"
#include "model/Names.h"
#include "model/SwatchList.h"

namespace easel::edit {

namespace {

constexpr const char* kArrowPrefix = "easel-arrow-";
const std::initializer_list<const char*> kArrowNames = {"none", "triangle", "open", "circle", "bar"};

// The painted art an edit of paint reaches: the selection, with the members
// of groups and envelopes (which hold no paint of their own).
std::vector<Art*> paintedArt(Ctx& c) {
    std::vector<Art*> out, stack;
    const auto sel = targets(c.doc);
    stack.assign(sel.rbegin(), sel.rend());
    while (!stack.empty()) {
        Art* a = stack.back();
        stack.pop_back();
        if (a->type() != kGroupArt && a->type() != kEnvelopeArt) out.push_back(a);
        std::vector<Art*> kids;
        for (Art* ch = a->firstChild(); ch; ch = ch->next()) kids.push_back(ch);
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    return out;
}

// "#rrggbb" of a plain colour as the renderers show it (ink for grey and CMYK).
std::string hexOf(const AIColor& c) {
    auto to8 = [](float v) { return static_cast<unsigned>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    unsigned r = 0, g = 0, b = 0;
    if (c.kind == kThreeColor) {
        r = to8(c.c[0]), g = to8(c.c[1]), b = to8(c.c[2]);
    } else if (c.kind == kGrayColor) {
        r = g = b = to8(1 - c.c[0]);
    } else if (c.kind == kFourColor) {
        const float k = std::clamp(c.c[3], 0.0f, 1.0f);
        r = to8((1 - std::clamp(c.c[0], 0.0f, 1.0f)) * (1 - k));
        g = to8((1 - std::clamp(c.c[1], 0.0f, 1.0f)) * (1 - k));
        b = to8((1 - std::clamp(c.c[2], 0.0f, 1.0f)) * (1 - k));
    }
    char out[8];
    std::snprintf(out, sizeof out, "%02x%02x%02x", r, g, b);
    return out;
}

// The SVG marker drawing arrowhead `name` at a path's end in colour `hex`,
// sized in stroke widths and turned along the path (reversed at its start).
std::string markerSvg(const std::string& name, const std::string& hex, bool start) {
    const std::string id = std::string(kArrowPrefix) + name + (start ? "-start-" : "-end-") + hex;
    const std::string head = "<marker id=\"" + id + "\" viewBox=\"0 0 10 10\" refX=\"" + (name == "bar" ? "5" : name == "circle" ? "5" : "2") +
                             "\" refY=\"5\" markerWidth=\"4\" markerHeight=\"4\" markerUnits=\"strokeWidth\" orient=\"" +
                             (start ? "auto-start-reverse" : "auto") + "\">";
    std::string body;
    if (name == "triangle") body = "<path d=\"M0 0L10 5L0 10z\" fill=\"#" + hex + "\"/>";
    if (name == "open") body = "<path d=\"M1 1L9 5L1 9\" fill=\"none\" stroke=\"#" + hex + "\" stroke-width=\"1.5\"/>";
    if (name == "circle") body = "<circle cx=\"5\" cy=\"5\" r=\"4\" fill=\"#" + hex + "\"/>";
    if (name == "bar") body = "<path d=\"M4 0h2v10h-2z\" fill=\"#" + hex + "\"/>";
    return head + body + "</marker>";
}

json extraOf(const Art& a) {
    if (a.extra().empty()) return json::object();
    json j = json::parse(a.extra(), nullptr, false);
    return j.is_object() ? j : json::object();
}

// Sets the arrowheads of path art: kept as SVG markers with their
// definitions (drawn by every renderer that draws the SVG), in the art's
// effect space, which the markers' own definitions do not depend on.
void setArrows(Ctx& c, Art* a, const std::optional<std::string>& start, const std::optional<std::string>& end) {
    json extra = extraOf(*a);
    json effects = extra.contains("svgEffects") && extra["svgEffects"].is_object() ? extra["svgEffects"] : json::object();
    json attributes = effects.contains("attributes") && effects["attributes"].is_object() ? effects["attributes"] : json::object();
    std::string definitions = effects.contains("definitions") && effects["definitions"].is_string()
                                  ? effects["definitions"].get<std::string>() : "";
    // Our own markers go; the file's other effects stay.
    const std::string open = std::string("<marker id=\"") + kArrowPrefix;
    for (size_t p = definitions.find(open); p != std::string::npos; p = definitions.find(open)) {
        const size_t e = definitions.find("</marker>", p);
        definitions.erase(p, e == std::string::npos ? std::string::npos : e + 9 - p);
    }
    const std::string hex = hexOf(a->style().stroke.color);
    for (const bool atStart : {true, false}) {
        const char* key = atStart ? "marker-start" : "marker-end";
        std::optional<std::string> name = atStart ? start : end;
        if (!name) name = arrowOf(*a, atStart);  // kept, in the stroke's colour now
        if (attributes.contains(key) && attributes[key].is_string() &&
            attributes[key].get<std::string>().find(kArrowPrefix) != std::string::npos)
            attributes.erase(key);
        if (name->empty() || *name == "none") continue;
        if (attributes.contains(key)) refuse("art " + std::to_string(a->id()) + " keeps a " + key + " of its own");
        attributes[key] = "url(#" + std::string(kArrowPrefix) + *name + (atStart ? "-start-" : "-end-") + hex + ")";
        definitions += markerSvg(*name, hex, atStart);
    }
    if (attributes.empty()) effects.erase("attributes");
    else effects["attributes"] = attributes;
    if (definitions.empty()) effects.erase("definitions");
    else effects["definitions"] = definitions;
    if (effects.empty()) extra.erase("svgEffects");
    else extra["svgEffects"] = effects;
    check(c.doc.setExtra(a, extra.empty() ? "" : extra.dump()), "stroke");
    if (effects.contains("definitions") && !a->effectSpace()) check(c.doc.setEffectSpace(a, &kIdentityMatrix), "stroke");
}

std::vector<float> dashArg(Ctx& c) {
    const json& d = c.args.raw("dash");
    if (!d.is_array()) refuse("\"dash\" must be a list of dash and gap lengths ([] for a solid line)");
    if (d.size() > kMaxDashComponents)
        refuse("\"dash\" has " + std::to_string(d.size()) + " lengths; at most " + std::to_string(kMaxDashComponents));
    std::vector<float> out;
    for (size_t i = 0; i < d.size(); ++i)
        out.push_back(static_cast<float>(Args::numberOf(d[i], "\"dash\"[" + std::to_string(i) + "]", 0, 10000)));
    if (!out.empty() && std::all_of(out.begin(), out.end(), [](float v) { return v == 0; }))
        refuse("\"dash\" lengths are all 0: give a dash or a gap longer than 0, or [] for a solid line");
    return out;
}

const char* strokeUndoName(const std::vector<std::string>& given) {
    static const std::pair<const char*, const char*> names[] = {
        {"width", "Stroke Width"}, {"cap", "Cap"},         {"join", "Join"},          {"miterLimit", "Miter Limit"},
        {"dash", "Dash"},          {"dashOffset", "Dash"}, {"start", "Arrowheads"},  {"end", "Arrowheads"}};
    const char* name = nullptr;
    for (const std::string& k : given)
        for (const auto& [key, n] : names)
            if (k == key) {
                if (name && std::string(name) != n) return "Stroke Style";
                name = n;
            }
    return name ? name : "Stroke Style";
}

// A plain colour from the first painted art, for gradients made from it.
AIColor plainColor(const std::vector<Art*>& art, bool fill) {
    for (Art* a : art) {
        const AIPathStyle& s = a->style();
        const AIColor& col = fill ? s.fill.color : s.stroke.color;
        if ((fill ? s.fillPaint : s.strokePaint) &&
            (col.kind == kGrayColor || col.kind == kThreeColor || col.kind == kFourColor))
            return col;
    }
    return grayColor(1);
}

std::vector<GradientStop> stopsArg(Ctx& c, const AIColor& from) {
    std::vector<GradientStop> stops;
    if (!c.args.has("stops")) {
        // From the selection's colour to white.
        stops = {GradientStop{0, from, 1}, GradientStop{1, rgbColor(1, 1, 1), 1}};
        return stops;
    }
    const json& list = c.args.raw("stops");
    if (!list.is_array() || list.size() < 2 || list.size() > kMaxGradientStops)
        refuse("\"stops\" must be a list of 2 to " + std::to_string(kMaxGradientStops) +
               " stops {\"offset\": 0..1, \"color\": COLOR, \"opacity\": 0..1}");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = "\"stops\"[" + std::to_string(i) + "]";
        const json& s = list[i];
        if (!s.is_object() || !s.contains("offset") || !s.contains("color"))
            refuse(where + " must be {\"offset\": 0..1, \"color\": COLOR, \"opacity\": 0..1}");
        GradientStop stop;
        stop.offset = static_cast<float>(Args::numberOf(s["offset"], where + ".offset", 0, 1));
        stop.color = colorArg(c.doc, s["color"], where + ".color");
        if (stop.color.kind == kNoneColor) refuse(where + ".color must be a colour, not \"none\"");
        stop.opacity = s.contains("opacity") ? static_cast<float>(Args::numberOf(s["opacity"], where + ".opacity", 0, 1)) : 1;
        if (!stops.empty() && stop.offset < stops.back().offset)
            refuse(where + ".offset " + s["offset"].dump() + " is before the stop ahead of it: offsets never decrease");
        stops.push_back(stop);
    }
    return stops;
}

}  // namespace

std::string arrowOf(const Art& a, bool start) {
    const json extra = extraOf(a);
    const json* attrs = extra.contains("svgEffects") && extra["svgEffects"].contains("attributes")
                            ? &extra["svgEffects"]["attributes"] : nullptr;
    const char* key = start ? "marker-start" : "marker-end";
    if (!attrs || !attrs->is_object() || !attrs->contains(key) || !(*attrs)[key].is_string()) return "";
    const std::string v = (*attrs)[key].get<std::string>();
    const size_t p = v.find(kArrowPrefix);
    if (p == std::string::npos) return "";
    const size_t from = p + std::string(kArrowPrefix).size();
    return v.substr(from, v.find('-', from) - from);
}

void opStroke(Ctx& c) {
    std::vector<std::string> given;
    for (const char* k : {"width", "cap", "join", "miterLimit", "dash", "dashOffset", "start", "end"})
        if (c.args.has(k)) given.push_back(k);
    if (given.empty()) refuse("give \"width\", \"cap\", \"join\", \"miterLimit\", \"dash\", \"dashOffset\", \"start\" or \"end\"");
    std::optional<float> width, miter, offset;
    if (c.args.has("width")) width = static_cast<float>(c.args.number("width", 0, 1000));
    if (c.args.has("miterLimit")) miter = static_cast<float>(c.args.number("miterLimit", 1, 500));
    if (c.args.has("dashOffset")) offset = static_cast<float>(c.args.number("dashOffset", -10000, 10000));
    std::optional<int32_t> cap, join;
    if (c.args.has("cap")) {
        const std::string w = c.args.word("cap", {"butt", "round", "projecting"});
        cap = w == "butt" ? kButtCap : w == "round" ? kRoundCap : kProjectingCap;
    }
    if (c.args.has("join")) {
        const std::string w = c.args.word("join", {"miter", "round", "bevel"});
        join = w == "miter" ? kMiterJoin : w == "round" ? kRoundJoin : kBevelJoin;
    }
    std::optional<std::vector<float>> dash;
    if (c.args.has("dash")) dash = dashArg(c);
    std::optional<std::string> start, end;
    if (c.args.has("start")) start = c.args.word("start", kArrowNames);
    if (c.args.has("end")) end = c.args.word("end", kArrowNames);
    c.undoName = strokeUndoName(given);
    for (Art* a : paintedArt(c)) {
        AIPathStyle s = a->style();
        if (width) s.stroke.width = *width;
        if (cap) s.stroke.cap = *cap;
        if (join) s.stroke.join = *join;
        if (miter) s.stroke.miterLimit = *miter;
        if (offset) s.stroke.dashOffset = *offset;
        if (dash) {
            s.stroke.dashCount = static_cast<ASInt32>(dash->size());
            std::fill(std::begin(s.stroke.dash), std::end(s.stroke.dash), 0.0f);
            std::copy(dash->begin(), dash->end(), s.stroke.dash);
        }
        check(c.doc.setStyle(a, s), "stroke");
        if ((start || end) && a->hasPath()) setArrows(c, a, start, end);
    }
}

void refreshArrows(Ctx& c, Art* a) {
    if (a->hasPath() && (!arrowOf(*a, true).empty() || !arrowOf(*a, false).empty())) setArrows(c, a, std::nullopt, std::nullopt);
}

void opGradient(Ctx& c) {
    const bool fill = c.args.word("target", {"fill", "stroke"}, "fill") == "fill";
    const bool radial = c.args.word("type", {"linear", "radial"}, "linear") == "radial";
    const auto art = paintedArt(c);
    const AIRealRect box = boundsOf(c.doc, targets(c.doc));
    if (isEmptyRect(box) && !(c.args.has("from") || c.args.has("center")))
        refuse("the selection has no bounds to lay the gradient across: give its ends");
    auto gradient = std::make_shared<Gradient>();
    gradient->radial = radial;
    const AIRealPoint mid{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    if (radial) {
        for (const char* k : {"from", "to"})
            if (c.args.has(k)) refuse(std::string("\"") + k + "\" is for linear gradients; a radial one takes \"center\" and \"radius\"");
        const AIRealPoint o = c.args.point("center", mid);
        const float r = static_cast<float>(
            c.args.number("radius", 0.001, kMaxCoordinate, std::max(box.right - box.left, box.top - box.bottom) / 2));
        const float coords[6] = {o.h, o.v, r, o.h, o.v, 0};
        std::copy(coords, coords + 6, gradient->coords);
    } else {
        for (const char* k : {"center", "radius"})
            if (c.args.has(k)) refuse(std::string("\"") + k + "\" is for radial gradients; a linear one takes \"from\" and \"to\"");
        const AIRealPoint a = c.args.point("from", AIRealPoint{box.left, mid.v});
        const AIRealPoint b = c.args.point("to", AIRealPoint{box.right, mid.v});
        if (std::hypot(double{a.h} - double{b.h}, double{a.v} - double{b.v}) < 1e-3)
            refuse("a linear gradient needs two different ends: \"from\" and \"to\" must differ");
        const float coords[6] = {a.h, a.v, b.h, b.v, 0, 0};
        std::copy(coords, coords + 6, gradient->coords);
    }
    gradient->stops = stopsArg(c, plainColor(art, fill));
    const int32_t ref = c.doc.addGradientPaint(gradient, kIdentityMatrix);
    if (ref < 0) refuse("the gradient is not finite");
    AIColor color = noneColor();
    color.kind = kGradientColor;
    color.ref = ref;
    for (Art* a : art) {
        AIPathStyle s = a->style();
        (fill ? s.fillPaint : s.strokePaint) = true;
        (fill ? s.fill.color : s.stroke.color) = color;
        check(c.doc.setStyle(a, s), "gradient");
    }
}

void opSwatch(Ctx& c) {
    const std::string action = c.args.word("action", {"add", "remove", "rename"});
    const std::string name = c.args.text("name");
    if (name.empty() || name.size() > 200) refuse("a swatch's \"name\" has 1 to 200 characters");
    size_t found = c.doc.swatchCount();
    for (size_t i = 0; i < c.doc.swatchCount(); ++i)
        if (c.doc.swatch(i)->name == name) found = i;
    if (action == "add") {
        if (c.args.has("to")) refuse("\"to\" is for renaming");
        if (found < c.doc.swatchCount()) refuse("the document has a swatch named \"" + name + "\" already");
        const AIColor color = colorArg(c.doc, c.args.raw("color"), "\"color\"");
        if (color.kind == kNoneColor) refuse("\"color\" must be a colour, not \"none\"");
        c.undoName = "Add Swatch";
        check(appendSwatch(c.doc, name, color), "swatch");
        return;
    }
    if (c.args.has("color")) refuse("\"color\" is for adding a swatch");
    if (found == c.doc.swatchCount()) refuse("the document has no swatch named \"" + name + "\"");
    if (name.front() == '[') refuse("\"" + name + "\" is one of the document's own swatches and stays");
    if (action == "remove") {
        if (c.args.has("to")) refuse("\"to\" is for renaming");
        c.undoName = "Delete Swatch";
        check(removeSwatch(c.doc, found), "swatch");
        return;
    }
    const std::string to = c.args.text("to");
    if (to.empty() || to.size() > 200 || to.front() == '[') refuse("\"to\" must have 1 to 200 characters, not starting with \"[\"");
    for (size_t i = 0; i < c.doc.swatchCount(); ++i)
        if (i != found && c.doc.swatch(i)->name == to) refuse("the document has a swatch named \"" + to + "\" already");
    c.undoName = "Rename Swatch";
    check(renameSwatch(c.doc, found, to), "swatch");
}

void opEyedropper(Ctx& c) {
    const json& idj = c.args.raw("from");
    Art* src = idj.is_number_integer() ? c.doc.findById(idj.get<int64_t>()) : nullptr;
    if (!src || !c.doc.isLive(src)) refuse("\"from\": no art with id " + idj.dump());
    // A group gives the paint of its first painted member.
    while (src && (src->type() == kGroupArt || src->type() == kEnvelopeArt)) src = src->firstChild();
    if (!src) refuse("\"from\": art " + idj.dump() + " holds no painted art");
    const AIPathStyle from = src->style();
    for (Art* a : paintedArt(c)) {
        if (a == src) continue;
        AIPathStyle s = a->style();
        s.fillPaint = from.fillPaint;
        s.fill = from.fill;
        s.strokePaint = from.strokePaint;
        s.stroke = from.stroke;
        check(c.doc.setStyle(a, s), "eyedropper");
        refreshArrows(c, a);
    }
}

void opSwapPaint(Ctx& c) {
    for (Art* a : paintedArt(c)) {
        AIPathStyle s = a->style();
        std::swap(s.fillPaint, s.strokePaint);
        std::swap(s.fill.color, s.stroke.color);
        check(c.doc.setStyle(a, s), "swapPaint");
        refreshArrows(c, a);
    }
}

}  // namespace easel::edit
