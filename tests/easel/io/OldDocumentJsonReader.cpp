// The tree-based document file reader the streaming one replaced, kept as
// the reference whose verdicts and messages the new reader must match.
#include "OldDocumentJsonReader.h"

#include "io/json/DocumentJsonShared.h"
#include "core/Input.h"
#include "io/KeptSvg.h"
#include "model/Names.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>

namespace easel::reference {

using Json = nlohmann::ordered_json;

namespace {

constexpr int kMaxNesting = 64;        // art inside art
constexpr int kMaxTextDepth = 512;     // brackets of the whole text

// ---------------------------------------------------------------------------
// Reading

class Reader {
public:
    explicit Reader(std::string& error) : error_(error) {}

    bool document(const Json& j, std::unique_ptr<Document>& out);

private:
    bool fail(const std::string& where, const std::string& what) {
        error_ = where.empty() ? what : where + ": " + what;
        return false;
    }
    static std::string at(const std::string& where, const std::string& key) {
        return where.empty() ? key : where + "." + key;
    }
    static std::string index(const std::string& where, size_t i) { return where + "[" + std::to_string(i) + "]"; }

    bool real(const Json& j, const std::string& where, float& v);
    bool integer(const Json& j, const std::string& where, int64_t lo, int64_t hi, int64_t& v);
    bool boolean(const Json& j, const std::string& where, bool& v);
    bool string(const Json& j, const std::string& where, std::string& v);
    bool color(const Json& j, const std::string& where, AIColor& c);
    bool style(const Json& j, const std::string& where, AIPathStyle& s);
    bool art(Document& doc, const Json& j, const std::string& where, Layer* layer, Art* parent, int depth);
    // The parts of one art object, in the order they are read.
    bool artIdAndFlags(Document& doc, const Json& j, const std::string& where, Art* a);
    bool artPath(Document& doc, const Json& j, const std::string& where, Art* a);
    bool artObject(Document& doc, const Json& j, const std::string& where, Art* a, int16_t type);
    bool artPaint(Document& doc, const Json& j, const std::string& where, Art* a);
    bool artSelection(Document& doc, const Json& j, const std::string& where, Art* a);
    bool artExtra(Document& doc, const Json& j, const std::string& where, Art* a);

    std::string& error_;
    std::set<int64_t> ids_;
    std::set<const Art*> withId_;
};

bool Reader::real(const Json& j, const std::string& where, float& v) {
    if (!j.is_number()) return fail(where, "expected a number");
    const double d = j.get<double>();
    if (!std::isfinite(d) || std::abs(d) > static_cast<double>(std::numeric_limits<float>::max()))
        return fail(where, "number out of range");
    v = static_cast<float>(d);
    return true;
}

bool Reader::integer(const Json& j, const std::string& where, int64_t lo, int64_t hi, int64_t& v) {
    if (!j.is_number_integer()) {
        // 3.0 is an integer too.
        if (j.is_number_float()) {
            const double d = j.get<double>();
            if (std::isfinite(d) && std::floor(d) == d && d >= static_cast<double>(lo) &&
                d <= static_cast<double>(hi)) {
                v = static_cast<int64_t>(d);
                return true;
            }
        }
        return fail(where, "expected an integer from " + std::to_string(lo) + " to " + std::to_string(hi));
    }
    if (j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(hi))
        return fail(where, "expected an integer from " + std::to_string(lo) + " to " + std::to_string(hi));
    const int64_t x = j.get<int64_t>();
    if (x < lo || x > hi) return fail(where, "expected an integer from " + std::to_string(lo) + " to " + std::to_string(hi));
    v = x;
    return true;
}

bool Reader::boolean(const Json& j, const std::string& where, bool& v) {
    if (!j.is_boolean()) return fail(where, "expected true or false");
    v = j.get<bool>();
    return true;
}

bool Reader::string(const Json& j, const std::string& where, std::string& v) {
    if (!j.is_string()) return fail(where, "expected a string");
    v = j.get<std::string>();
    return true;
}

bool Reader::color(const Json& j, const std::string& where, AIColor& c) {
    if (!j.is_object()) return fail(where, "expected a colour object");
    if (!j.contains("kind")) return fail(where, "missing \"kind\"");
    std::string kind;
    if (!string(j["kind"], at(where, "kind"), kind)) return false;
    c = AIColor{};
    size_t values = 0;
    bool ref = false;
    if (kind == "gray") {
        c.kind = kGrayColor;
        values = 1;
    } else if (kind == "cmyk") {
        c.kind = kFourColor;
        values = 4;
    } else if (kind == "rgb") {
        c.kind = kThreeColor;
        values = 3;
    } else if (kind == "pattern") {
        c.kind = kPatternColor;
        ref = true;
    } else if (kind == "gradient") {
        c.kind = kGradientColor;
        ref = true;
    } else if (kind == "spot") {
        c.kind = kCustomColor;
        ref = true;
        values = 1;
    } else if (kind == "none") {
        c.kind = kNoneColor;
    } else {
        return fail(at(where, "kind"), "unknown colour kind \"" + kind + "\"");
    }
    if (values > 0) {
        const std::string w = at(where, "values");
        if (!j.contains("values")) return fail(where, "missing \"values\"");
        const Json& v = j["values"];
        if (!v.is_array() || v.size() != values)
            return fail(w, "expected " + std::to_string(values) + (values == 1 ? " number" : " numbers"));
        for (size_t i = 0; i < values; ++i) {
            if (!real(v[i], index(w, i), c.c[i])) return false;
        }
    }
    if (ref) {
        int64_t r = 0;
        if (j.contains("ref") && !integer(j["ref"], at(where, "ref"), 0, INT32_MAX, r)) return false;
        c.ref = static_cast<int32_t>(r);
    }
    return true;
}

bool Reader::style(const Json& j, const std::string& where, AIPathStyle& s) {
    if (j.contains("fill")) {
        const Json& f = j["fill"];
        const std::string w = at(where, "fill");
        if (!f.is_object()) return fail(w, "expected an object");
        bool paint = false;
        if (f.contains("paint") && !boolean(f["paint"], at(w, "paint"), paint)) return false;
        s.fillPaint = paint;
        if (f.contains("color") && !color(f["color"], at(w, "color"), s.fill.color)) return false;
        bool over = false;
        if (f.contains("overprint") && !boolean(f["overprint"], at(w, "overprint"), over)) return false;
        s.fill.overprint = over;
    }
    if (j.contains("stroke")) {
        const Json& k = j["stroke"];
        const std::string w = at(where, "stroke");
        if (!k.is_object()) return fail(w, "expected an object");
        AIStrokeStyle& st = s.stroke;
        bool paint = false;
        if (k.contains("paint") && !boolean(k["paint"], at(w, "paint"), paint)) return false;
        s.strokePaint = paint;
        if (k.contains("color") && !color(k["color"], at(w, "color"), st.color)) return false;
        if (k.contains("width") && !real(k["width"], at(w, "width"), st.width)) return false;
        if (k.contains("cap")) {
            std::string cap;
            if (!string(k["cap"], at(w, "cap"), cap)) return false;
            if (cap == "butt") st.cap = kButtCap;
            else if (cap == "round") st.cap = kRoundCap;
            else if (cap == "projecting") st.cap = kProjectingCap;
            else return fail(at(w, "cap"), "expected \"butt\", \"round\" or \"projecting\"");
        }
        if (k.contains("join")) {
            std::string join;
            if (!string(k["join"], at(w, "join"), join)) return false;
            if (join == "miter") st.join = kMiterJoin;
            else if (join == "round") st.join = kRoundJoin;
            else if (join == "bevel") st.join = kBevelJoin;
            else return fail(at(w, "join"), "expected \"miter\", \"round\" or \"bevel\"");
        }
        if (k.contains("miterLimit") && !real(k["miterLimit"], at(w, "miterLimit"), st.miterLimit)) return false;
        if (k.contains("dash")) {
            const Json& d = k["dash"];
            const std::string wd = at(w, "dash");
            if (!d.is_array() || d.size() > kMaxDashComponents)
                return fail(wd, "expected at most " + std::to_string(kMaxDashComponents) + " numbers");
            st.dashCount = static_cast<int32_t>(d.size());
            for (size_t i = 0; i < d.size(); ++i) {
                if (!real(d[i], index(wd, i), st.dash[i])) return false;
            }
        }
        if (k.contains("dashOffset") && !real(k["dashOffset"], at(w, "dashOffset"), st.dashOffset)) return false;
        bool over = false;
        if (k.contains("overprint") && !boolean(k["overprint"], at(w, "overprint"), over)) return false;
        st.overprint = over;
    }
    if (j.contains("evenOdd")) {
        bool eo = false;
        if (!boolean(j["evenOdd"], at(where, "evenOdd"), eo)) return false;
        s.evenOdd = eo;
    }
    return true;
}

const std::set<std::string>& knownArtKeys() {
    static const std::set<std::string> keys{
        "id",       "type",     "selected", "locked", "hidden",  "closed", "segments", "selectedSegments",
        "text",     "fontSize", "href",     "symbol", "width",   "height", "matrix",   "warp",
        "fill",     "stroke",   "evenOdd",  "opacity", "blend",  "tags",   "children"};
    return keys;
}

bool Reader::art(Document& doc, const Json& j, const std::string& where, Layer* layer, Art* parent, int depth) {
    if (depth > kMaxNesting) return fail(where, "art nested deeper than " + std::to_string(kMaxNesting) + " levels");
    if (!j.is_object()) return fail(where, "expected an art object");
    if (!j.contains("type")) return fail(where, "missing \"type\"");
    std::string tname;
    if (!string(j["type"], at(where, "type"), tname)) return false;
    const int16_t type = artTypeFromName(tname);
    if (type == kUnknownArt) return fail(at(where, "type"), "unknown art type \"" + tname + "\"");

    Art* a = nullptr;
    ASErr e = kNoErr;
    if (parent) {
        e = doc.newArt(type, kPlaceInsideOnTop, parent, &a);
    } else {
        doc.setCurrentLayer(layer);
        e = doc.newArt(type, kPlaceAbove, nullptr, &a);
    }
    if (e != kNoErr || !a) return fail(where, "cannot place the art");

    if (!artIdAndFlags(doc, j, where, a)) return false;
    if (!artPath(doc, j, where, a)) return false;
    if (!artObject(doc, j, where, a, type)) return false;
    if (!artPaint(doc, j, where, a)) return false;
    if (j.contains("children")) {
        const Json& c = j["children"];
        const std::string w = at(where, "children");
        if (!a->isContainer()) return fail(w, "only groups, compound paths and envelopes have children");
        if (!c.is_array()) return fail(w, "expected an array");
        for (size_t i = 0; i < c.size(); ++i) {
            if (!art(doc, c[i], index(w, i), nullptr, a, depth + 1)) return false;
        }
    }

    if (!artSelection(doc, j, where, a)) return false;
    if (!artExtra(doc, j, where, a)) return false;
    return true;
}

bool Reader::artIdAndFlags(Document& doc, const Json& j, const std::string& where, Art* a) {
    if (j.contains("id")) {
        int64_t id = 0;
        if (!integer(j["id"], at(where, "id"), 1, INT64_C(1) << 53, id)) return false;
        if (!ids_.insert(id).second) return fail(at(where, "id"), "duplicate id " + std::to_string(id));
        doc.setArtId(a, id);
        withId_.insert(a);
    }

    bool flag = false;
    if (j.contains("locked")) {
        if (!boolean(j["locked"], at(where, "locked"), flag)) return false;
        doc.setLocked(a, flag);
    }
    if (j.contains("hidden")) {
        if (!boolean(j["hidden"], at(where, "hidden"), flag)) return false;
        doc.setHidden(a, flag);
    }
    return true;
}

bool Reader::artPath(Document& doc, const Json& j, const std::string& where, Art* a) {
    bool flag = false;
    if (a->hasPath()) {
        if (j.contains("closed")) {
            if (!boolean(j["closed"], at(where, "closed"), flag)) return false;
            doc.setClosed(a, flag);
        }
        if (j.contains("segments")) {
            const Json& segs = j["segments"];
            const std::string w = at(where, "segments");
            if (!segs.is_array()) return fail(w, "expected an array of segments");
            if (segs.size() > kMaxSegments)
                return fail(w, "more than " + std::to_string(kMaxSegments) + " segments");
            std::vector<AIPathSegment> v(segs.size());
            for (size_t i = 0; i < segs.size(); ++i) {
                const Json& s = segs[i];
                const std::string ws = index(w, i);
                if (!s.is_array() || s.size() != 7) return fail(ws, "expected 7 numbers");
                float f[7];
                for (size_t k = 0; k < 7; ++k) {
                    if (!s[k].is_number()) return fail(ws, "expected 7 numbers");
                    if (!real(s[k], index(ws, k), f[k])) return false;
                }
                if (f[6] != 0 && f[6] != 1) return fail(index(ws, 6), "corner flag must be 0 or 1");
                v[i] = AIPathSegment{{f[0], f[1]}, {f[2], f[3]}, {f[4], f[5]}, static_cast<ASBoolean>(f[6] != 0)};
            }
            doc.setSegmentCount(a, v.size());
            doc.setSegments(a, 0, v.size(), v.data());
        }
    } else if (j.contains("segments") || j.contains("closed")) {
        return fail(where, "only paths have segments");
    }
    return true;
}

bool Reader::artObject(Document& doc, const Json& j, const std::string& where, Art* a, int16_t type) {
    if (a->type() == kTextArt || a->type() == kTextPathArt || documentJsonHasSize(a->type())) {
        ObjectData o = a->object();
        o.isText = documentJsonIsText(a->type());
        if (j.contains("text") && !string(j["text"], at(where, "text"), o.text)) return false;
        if (j.contains("fontSize") && !real(j["fontSize"], at(where, "fontSize"), o.fontSize)) return false;
        if (!(std::fabs(o.fontSize) <= kMaxFontSize))
            return fail(at(where, "fontSize"), "font size past " + std::to_string(static_cast<int>(kMaxFontSize)) +
                                                   " points (the limit)");
        if (j.contains("href") && !string(j["href"], at(where, "href"), o.href)) return false;
        if (j.contains("symbol") && !string(j["symbol"], at(where, "symbol"), o.symbol)) return false;
        if (j.contains("width") && !real(j["width"], at(where, "width"), o.width)) return false;
        if (j.contains("height") && !real(j["height"], at(where, "height"), o.height)) return false;
        doc.setObjectData(a, o);
    }
    if (j.contains("matrix")) {
        const Json& m = j["matrix"];
        const std::string w = at(where, "matrix");
        if (!a->hasObjectMatrix() || a->type() == kTextPathArt) return fail(w, "this art type has no matrix");
        if (!m.is_array() || m.size() != 6) return fail(w, "expected 6 numbers");
        float f[6];
        for (size_t k = 0; k < 6; ++k) {
            if (!real(m[k], index(w, k), f[k])) return false;
        }
        doc.setObjectMatrix(a, AIRealMatrix{f[0], f[1], f[2], f[3], f[4], f[5]});
    }
    if (j.contains("warp")) {
        const Json& wj = j["warp"];
        const std::string w = at(where, "warp");
        if (type != kEnvelopeArt) return fail(w, "only envelopes have a warp");
        if (!wj.is_object()) return fail(w, "expected an object");
        EnvelopeWarp warp;
        int64_t st = 0;
        if (wj.contains("style") && !integer(wj["style"], at(w, "style"), 0, 15, st)) return false;
        warp.style = static_cast<int32_t>(st);
        if (wj.contains("bend") && !real(wj["bend"], at(w, "bend"), warp.bend)) return false;
        if (wj.contains("horizontal") && !real(wj["horizontal"], at(w, "horizontal"), warp.horizontal)) return false;
        if (wj.contains("vertical") && !real(wj["vertical"], at(w, "vertical"), warp.vertical)) return false;
        if (wj.contains("rotate90") && !boolean(wj["rotate90"], at(w, "rotate90"), warp.rotate90)) return false;
        doc.setEnvelopeWarp(a, warp);
    }
    return true;
}

bool Reader::artPaint(Document& doc, const Json& j, const std::string& where, Art* a) {
    AIPathStyle s = unpaintedStyle();
    if (!style(j, where, s)) return false;
    doc.setStyle(a, s);

    if (j.contains("opacity")) {
        float op = 1;
        if (!real(j["opacity"], at(where, "opacity"), op)) return false;
        doc.setOpacity(a, op);
    }
    if (j.contains("blend")) {
        std::string name;
        if (!string(j["blend"], at(where, "blend"), name)) return false;
        const int32_t mode = blendModeFromName(name);
        if (mode < 0) return fail(at(where, "blend"), "unknown blend mode \"" + name + "\"");
        doc.setBlendMode(a, mode);
    }
    if (j.contains("tags")) {
        const Json& t = j["tags"];
        const std::string w = at(where, "tags");
        if (!t.is_object()) return fail(w, "expected an object");
        for (auto& [k, v] : t.items()) {
            if (k.empty()) return fail(w, "empty tag name");
            if (v.is_string()) {
                doc.setTagString(a, k, v.get<std::string>());
            } else if (v.is_number()) {
                float r = 0;
                if (!real(v, at(w, k), r)) return false;
                doc.setTagReal(a, k, r);
            } else {
                return fail(at(w, k), "expected a string or a number");
            }
        }
    }
    return true;
}

bool Reader::artSelection(Document& doc, const Json& j, const std::string& where, Art* a) {
    bool selected = false;
    if (j.contains("selected") && !boolean(j["selected"], at(where, "selected"), selected)) return false;
    if (selected) doc.setSelected(a, true);
    if (selected && a->hasPath() && j.contains("selectedSegments")) {
        const Json& ss = j["selectedSegments"];
        const std::string w = at(where, "selectedSegments");
        if (!ss.is_array()) return fail(w, "expected an array of segment indices");
        const size_t n = a->segmentCount();
        std::vector<int16_t> bits(n, 0);
        for (size_t i = 0; i < ss.size(); ++i) {
            const Json& e1 = ss[i];
            const std::string wi = index(w, i);
            int64_t idx = 0;
            int64_t b = kSegmentPointSelected;
            if (e1.is_array()) {
                if (e1.size() != 2) return fail(wi, "expected an index or [index, bits]");
                if (!integer(e1[0], index(wi, 0), 0, static_cast<int64_t>(n) - 1, idx)) return false;
                if (!integer(e1[1], index(wi, 1), 0, 7, b)) return false;
            } else if (!integer(e1, wi, 0, static_cast<int64_t>(n) - 1, idx)) {
                return false;
            }
            bits[static_cast<size_t>(idx)] = static_cast<int16_t>(b);
        }
        for (size_t i = 0; i < n; ++i) doc.setSegmentSelection(a, i, bits[i]);
    }
    return true;
}

bool Reader::artExtra(Document& doc, const Json& j, const std::string& where, Art* a) {
    Json extra = Json::object();
    for (auto& [k, v] : j.items()) {
        if (!knownArtKeys().count(k)) extra[k] = v;
    }
    if (!extra.empty() && jsonTextDepth(extra.dump(), 256) > 256)
        return fail(where, "members easel keeps unread nested deeper than 256 levels (the limit)");
    // Kept SVG members of the wrong type are refused (added with the rule).
    for (auto& [k, v] : extra.items()) {
        if (const auto bad = keptSvgTypeError(KeptSvgOwner::Art, k, v)) {
            error_ = where + "." + *bad;
            return false;
        }
    }
    if (!extra.empty()) doc.setExtra(a, extra.dump());
    return true;
}

bool Reader::document(const Json& j, std::unique_ptr<Document>& out) {
    if (!j.is_object()) return fail("", "expected a JSON object");
    if (!j.contains("format")) return fail("", "missing \"format\"");
    if (!j["format"].is_string() || j["format"].get<std::string>() != "easel-document")
        return fail("format", "expected \"easel-document\"");
    if (!j.contains("version")) return fail("", "missing \"version\"");
    int64_t version = 0;
    if (!integer(j["version"], "version", 1, 1000000, version)) return false;
    if (version != kDocumentJsonVersion) return fail("version", "unsupported version " + std::to_string(version));

    if (!j.contains("page")) return fail("", "missing \"page\"");
    const Json& page = j["page"];
    if (!page.is_object()) return fail("page", "expected an object");
    float w = 0, h = 0;
    if (!page.contains("width")) return fail("page", "missing \"width\"");
    if (!page.contains("height")) return fail("page", "missing \"height\"");
    if (!real(page["width"], "page.width", w)) return false;
    if (!real(page["height"], "page.height", h)) return false;
    if (w <= 0) return fail("page.width", "must be positive");
    if (h <= 0) return fail("page.height", "must be positive");

    auto doc = std::make_unique<Document>(w, h);
    if (j.contains("seed")) {
        int64_t seed = 1;
        if (!integer(j["seed"], "seed", INT32_MIN, INT32_MAX, seed)) return false;
        doc->setSeed(static_cast<int32_t>(seed));
    }

    if (j.contains("swatches")) {
        const Json& sw = j["swatches"];
        if (!sw.is_array()) return fail("swatches", "expected an array");
        for (size_t i = 0; i < sw.size(); ++i) {
            const std::string where = index("swatches", i);
            const Json& s = sw[i];
            if (!s.is_object()) return fail(where, "expected an object");
            std::string name;
            if (!s.contains("name")) return fail(where, "missing \"name\"");
            if (!string(s["name"], at(where, "name"), name)) return false;
            AIColor c = noneColor();
            if (!s.contains("color")) return fail(where, "missing \"color\"");
            if (!color(s["color"], at(where, "color"), c)) return false;
            doc->addSwatch(name, c);
        }
    } else {
        const auto defaults = newDocument(w, h);
        for (size_t i = 0; i < defaults->swatchCount(); ++i)
            doc->addSwatch(defaults->swatch(i)->name, defaults->swatch(i)->color);
    }

    if (!j.contains("layers")) return fail("", "missing \"layers\"");
    const Json& layers = j["layers"];
    if (!layers.is_array()) return fail("layers", "expected an array");
    struct LayerFlags {
        Layer* layer;
        bool visible;
        bool locked;
    };
    std::vector<LayerFlags> flags;
    for (size_t i = 0; i < layers.size(); ++i) {
        const std::string where = index("layers", i);
        const Json& l = layers[i];
        if (!l.is_object()) return fail(where, "expected an object");
        std::string name = "Layer " + std::to_string(i + 1);
        if (l.contains("name") && !string(l["name"], at(where, "name"), name)) return false;
        bool visible = true, locked = false;
        if (l.contains("visible") && !boolean(l["visible"], at(where, "visible"), visible)) return false;
        if (l.contains("locked") && !boolean(l["locked"], at(where, "locked"), locked)) return false;
        Layer* layer = nullptr;
        doc->insertLayer(nullptr, kPlaceAboveAll, &layer, name);
        flags.push_back({layer, visible, locked});
        if (l.contains("art")) {
            const Json& arts = l["art"];
            const std::string wa = at(where, "art");
            if (!arts.is_array()) return fail(wa, "expected an array");
            for (size_t k = 0; k < arts.size(); ++k) {
                if (!art(*doc, arts[k], index(wa, k), layer, nullptr, 0)) return false;
            }
        }
    }
    // Art without a stored id gets one above every stored id.
    int64_t maxId = ids_.empty() ? 0 : *ids_.rbegin();
    doc->forEachArt([&](Art* a) {
        if (!withId_.count(a) && a->id() <= maxId) doc->setArtId(a, ++maxId);
    });
    for (const LayerFlags& f : flags) {
        doc->setLayerVisible(f.layer, f.visible);
        doc->setLayerLocked(f.layer, f.locked);
    }
    doc->clearHistory();
    out = std::move(doc);
    return true;
}

// Bracket depth of the text, so nesting is refused before it is parsed.
int textDepth(const std::string& text) {
    int depth = 0, most = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            most = std::max(most, ++depth);
            if (most > kMaxTextDepth) return most;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return most;
}

}  // namespace

bool oldReadDocumentJson(const std::string& text, std::unique_ptr<Document>& out, std::string& error) {
    error.clear();
    try {
        if (textDepth(text) > kMaxTextDepth) {
            error = "nested deeper than " + std::to_string(kMaxTextDepth) + " levels";
            return false;
        }
        Json j;
        try {
            j = Json::parse(text);
        } catch (const Json::exception& e) {
            error = std::string("not valid JSON: ") + e.what();
            return false;
        }
        Reader r(error);
        return r.document(j, out);
    } catch (const std::exception& e) {
        error = std::string("cannot read the document: ") + e.what();
        return false;
    } catch (...) {
        error = "cannot read the document";
        return false;
    }
}

}  // namespace easel::reference
