// Pattern paint and text spans, kept with their art to be written back
// while the art still shows them.
#include <libxml/tree.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "model/Names.h"
#include "SvgColor.h"
#include "SvgImporter.h"
#include "SvgShared.h"

namespace easel::svg {

using Json = nlohmann::ordered_json;

namespace {

Json parsedExtra(const Art* a) {
    Json extra = a->extra().empty() ? Json::object() : Json::parse(a->extra(), nullptr, false);
    return extra.is_object() ? extra : Json::object();
}

}  // namespace

bool Importer::patternTile(xmlNodePtr pattern, Json& record) {
    // An attribute of the pattern or of the patterns it refers to by href.
    auto attr = [&](const char* k) -> std::optional<std::string> {
        xmlNodePtr p = pattern;
        for (int depth = 0; p && depth < 16; ++depth) {
            const AttrMap pa = attributes(p);
            if (auto it = pa.find(k); it != pa.end()) return it->second;
            auto h = pa.find("href");
            if (h == pa.end()) h = pa.find("xlink:href");
            if (h == pa.end()) break;
            p = byReference(h->second);
            if (p && name(p) != "pattern") p = nullptr;
        }
        return std::nullopt;
    };
    const bool userTile = trim(attr("patternUnits").value_or("")) == "userSpaceOnUse";
    const bool boxContent =
        trim(attr("patternContentUnits").value_or("")) == "objectBoundingBox" && !attr("viewBox");
    // The tile in the user space of the painted element: bounding-box units
    // need the element's bounds (known for shapes).
    double bx = 0, by = 0, bw = 0, bh = 0;
    if (!userTile || boxContent) {
        if (!place_ || !place_->hasBox) return false;
        bx = place_->box[0], by = place_->box[1];
        bw = place_->box[2] - place_->box[0], bh = place_->box[3] - place_->box[1];
        if (!(bw > 0 && bh > 0)) return false;
    }
    const double vpw = place_ ? place_->vpw : 100, vph = place_ ? place_->vph : 100;
    static const char* const keys[] = {"x", "y", "width", "height"};
    double tile[4];
    for (int i = 0; i < 4; ++i) {
        Length l;
        if (!parseLength(attr(keys[i]).value_or("0"), l)) l = Length{};
        if (userTile) {
            tile[i] = userLength(l, i % 2 == 0 ? vpw : vph, 16);
        } else {
            const double f = l.unit == "%" ? l.value / 100 : l.value;
            tile[i] = i == 0 ? bx + f * bw : i == 1 ? by + f * bh : i == 2 ? f * bw : f * bh;
        }
    }
    Json t = Json::object();
    for (int i = 0; i < 4; ++i) t[keys[i]] = formatNumber(tile[i]);
    // Content in bounding-box units: a viewBox scaling the tile's contents
    // by the bounds, from the tile's corner.
    if (boxContent && tile[2] > 0 && tile[3] > 0)
        t["viewBox"] = "0 0 " + formatNumber(tile[2] / bw) + " " + formatNumber(tile[3] / bh);
    Mat m;
    if (auto pt = attr("patternTransform"); pt && !parseTransform(*pt, m)) m = Mat{};
    record["tile"] = t;
    record["transform"] = Json::array({m.a, m.b, m.c, m.d, m.e, m.f});
    return true;
}

void Importer::keepPatterns(Art* a, const Mat& space) {
    const std::map<std::string, PatternUse> uses = std::move(patterns_);
    patterns_.clear();
    if (uses.empty()) return;
    Json extra = parsedExtra(a);
    Json paint = extra.contains(kPaintKey) && extra[kPaintKey].is_object() ? extra[kPaintKey] : Json::object();
    bool changed = false;
    for (const auto& [key, use] : uses) {
        const AIPathStyle& s = a->style();
        if (!(key == "fill" ? s.fillPaint : s.strokePaint)) continue;
        const std::string color = "on " + colorText(key == "fill" ? s.fill.color : s.stroke.color);
        // A file this system wrote: the pattern it names is the one kept.
        if (use.id.rfind("easel-pattern-", 0) == 0 && paint.contains(key) && paint[key].is_object() &&
            paint[key].value("color", "") == color) {
            std::string written;  // only marks them written, not unused
            collectDefinitions({use.pattern}, 0, written);
            continue;
        }
        Json record = Json::object();
        std::string defs;
        if (!patternTile(use.pattern, record)) {
            note("pattern in bounding-box units on text, images or groups drawn as one colour");
            continue;
        }
        if (!collectDefinitions({use.pattern}, 1, defs)) continue;
        record["color"] = color;
        record["pattern"] = use.id;
        record["definitions"] = defs;
        paint[key] = record;
        changed = true;
        note("pattern paint drawn as one colour where easel draws it (kept in the SVG written back)");
    }
    if (!changed) return;
    const AIRealMatrix m = toReal(space);
    if (double inverse[6]; !a->effectSpace() && (!invertEffectSpace(m, inverse) || doc_->setEffectSpace(a, &m) != kNoErr)) {
        note("pattern paint on art flattened to a line or out of range not kept");
        return;
    }
    extra = parsedExtra(a);
    extra[kPaintKey] = paint;
    doc_->setExtra(a, extra.dump());
}

namespace {

// A list of lengths (x, y, dx, dy of text) with its percentages taken of
// `of`, the file's viewport, once: written back they would be taken of the
// written page's instead.
std::string resolvePercents(std::string_view list, double of) {
    std::string out;
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && (isWsp(list[i]) || list[i] == ',')) ++i;
        size_t j = i;
        while (j < list.size() && !isWsp(list[j]) && list[j] != ',') ++j;
        if (j == i) break;
        const std::string_view item = list.substr(i, j - i);
        Length l;
        if (!out.empty()) out += ' ';
        out += parseLength(item, l) && l.unit == "%" ? formatNumber(userLength(l, of, 16)) : std::string(item);
        i = j;
    }
    return out;
}

bool hasPercent(const std::string& v) { return v.find('%') != std::string::npos; }

}  // namespace

void Importer::resolveSpanPercents(xmlNodePtr n, double vpw, double vph, int depth) {
    for (xmlNodePtr c = n->children; c && depth < 8; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        for (const char* k : {"x", "dx", "y", "dy"}) {
            xmlChar* v = xmlGetNoNsProp(c, reinterpret_cast<const xmlChar*>(k));
            if (!v) continue;
            const std::string text = reinterpret_cast<const char*>(v);
            xmlFree(v);
            if (!hasPercent(text)) continue;
            const std::string resolved = resolvePercents(text, k[0] == 'x' || k[1] == 'x' ? vpw : vph);
            xmlSetProp(c, reinterpret_cast<const xmlChar*>(k), reinterpret_cast<const xmlChar*>(resolved.c_str()));
        }
        resolveSpanPercents(c, vpw, vph, depth + 1);
    }
}

bool Importer::keepSpans(Art* a, xmlNodePtr n, const AttrMap& at, const std::string& content, double x, double y,
                         const Ctx& ctx) {
    bool spans = false;
    for (xmlNodePtr c = n->children; c; c = c->next) spans = spans || c->type == XML_ELEMENT_NODE;
    if (!spans || !unkeepable(n).empty() || usesRepeatedId(n)) return false;
    resolveSpanPercents(n, ctx.vpw, ctx.vph, 0);
    std::string markup;
    for (xmlNodePtr c = n->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) markup += standalone(c, false);
        else if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
            markup += xmlEscape(reinterpret_cast<const char*>(c->content), false);
    }
    // Spans painted with a paint server or carrying effects name definitions
    // the markup does not hold: drawn in the text's style instead (reported).
    if (!writableSvgText(markup) || markup.find("url(") != std::string::npos) return false;
    Json attrs = Json::object();
    for (const char* k : {"x", "y", "dx", "dy", "rotate", "textLength", "lengthAdjust", "xml:space"}) {
        if (auto it = at.find(k); it != at.end()) {
            const bool across = std::string_view(k) == "x" || std::string_view(k) == "dx";
            const bool down = std::string_view(k) == "y" || std::string_view(k) == "dy";
            attrs[k] = (across || down) && hasPercent(it->second)
                           ? resolvePercents(it->second, across ? ctx.vpw : ctx.vph)
                           : it->second;
        }
    }
    Json extra = parsedExtra(a);
    extra[kTextKey] = Json{{"text", content}, {"markup", markup}, {"attributes", attrs}, {"origin", {x, y}}};
    doc_->setExtra(a, extra.dump());
    return true;
}

}  // namespace easel::svg
