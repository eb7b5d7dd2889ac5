// Reading document files. The text is parsed once into a flat node array
// (JsonText) and the document is built from it; the place an error names
// ("layers[0].art[3].segments[2]") is spelled only when there is an error.
#include "DocumentJson.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "DocumentJsonShared.h"
#include "GradientJson.h"
#include "Input.h"
#include "JsonText.h"
#include "io/svg/KeptSvg.h"
#include "Names.h"

namespace easel {

namespace {

using Json = nlohmann::ordered_json;
using Value = JsonText::Value;

// The document, its layers and art at the deepest nesting take 5 + 2 levels
// a nesting; kept members below them fit.
static_assert(5 + 2 * kMaxArtNesting + 2 + kMaxKeptDepth < kMaxJsonDepth);

// A place in the document, kept as a chain of keys and indices on the stack.
struct Where {
    const Where* parent = nullptr;
    std::string_view key;
    size_t index = 0;
    bool isIndex = false;

    Where at(std::string_view k) const { return Where{this, k, 0, false}; }
    Where operator[](size_t i) const { return Where{this, {}, i, true}; }
    std::string text() const {
        if (!parent) return std::string(key);
        std::string p = parent->text();
        if (isIndex) return p + "[" + std::to_string(index) + "]";
        return p.empty() ? std::string(key) : p + "." + std::string(key);
    }
};

// The attributes art may have, in the order of kArtKeys.
enum ArtKey {
    kKeyId, kKeyType, kKeySelected, kKeyLocked, kKeyHidden, kKeyClosed, kKeySegments, kKeySelectedSegments,
    kKeyText, kKeyFontSize, kKeyHref, kKeySymbol, kKeyWidth, kKeyHeight, kKeyMatrix, kKeyWarp,
    kKeyFill, kKeyStroke, kKeyEvenOdd, kKeyOpacity, kKeyBlend, kKeyTags, kKeyChildren, kKeyEffectSpace,
    kArtKeyCount
};
constexpr std::string_view kArtKeys[kArtKeyCount] = {
    "id",       "type",     "selected", "locked",  "hidden", "closed", "segments", "selectedSegments",
    "text",     "fontSize", "href",     "symbol",  "width",  "height", "matrix",   "warp",
    "fill",     "stroke",   "evenOdd",  "opacity", "blend",  "tags",   "children", "effectSpace"};

// The ArtKey of an attribute name, -1 for any other name. Names are told
// apart by length and first letter, then compared once.
int artKey(std::string_view name) {
    auto is = [&](ArtKey k) { return kArtKeys[k] == name ? k : -1; };
    switch (name.size()) {
        case 2: return is(kKeyId);
        case 4:
            switch (name[0]) {
                case 't': return name[1] == 'y' ? is(kKeyType) : name[1] == 'e' ? is(kKeyText) : is(kKeyTags);
                case 'f': return is(kKeyFill);
                case 'h': return is(kKeyHref);
                case 'w': return is(kKeyWarp);
                default: return -1;
            }
        case 5: return name[0] == 'b' ? is(kKeyBlend) : is(kKeyWidth);
        case 6:
            switch (name[0]) {
                case 'l': return is(kKeyLocked);
                case 'h': return name[1] == 'i' ? is(kKeyHidden) : is(kKeyHeight);
                case 'c': return is(kKeyClosed);
                case 's': return name[1] == 'y' ? is(kKeySymbol) : is(kKeyStroke);
                case 'm': return is(kKeyMatrix);
                default: return -1;
            }
        case 7: return name[0] == 'e' ? is(kKeyEvenOdd) : is(kKeyOpacity);
        case 8:
            switch (name[0]) {
                case 's': return name[2] == 'l' ? is(kKeySelected) : is(kKeySegments);
                case 'f': return is(kKeyFontSize);
                case 'c': return is(kKeyChildren);
                default: return -1;
            }
        case 11: return is(kKeyEffectSpace);
        case 16: return is(kKeySelectedSegments);
        default: return -1;
    }
}

// An art object's members by attribute, read in one pass: each attribute's
// value (its last, for a key given twice), and whether any other key is there.
struct ArtMembers {
    Value value[kArtKeyCount];
    bool unknown = false;

    explicit ArtMembers(const Value& j) {
        Value k = j.first();
        for (size_t i = 0; i < j.size(); ++i, k = k.value().next()) {
            const int key = artKey(k.string());
            if (key >= 0) value[key] = k.value();
            else unknown = true;
        }
    }
    const Value& operator[](ArtKey k) const { return value[k]; }
};

bool isKnownArtKey(std::string_view k) { return artKey(k) >= 0; }

// A parsed value as nlohmann::json holds it (attributes kept unread).
Json toJson(const Value& v) {
    switch (v.kind()) {
        case JsonText::Null: return nullptr;
        case JsonText::False: return false;
        case JsonText::True: return true;
        case JsonText::Integer: return v.integer();
        case JsonText::Unsigned: return v.unsignedInteger();
        case JsonText::Float: return v.number();
        case JsonText::String: return std::string(v.string());
        case JsonText::Array: {
            Json a = Json::array();
            Value e = v.first();
            for (size_t i = 0; i < v.size(); ++i, e = e.next()) a.push_back(toJson(e));
            return a;
        }
        case JsonText::Object: {
            Json o = Json::object();
            Value k = v.first();
            for (size_t i = 0; i < v.size(); ++i, k = k.value().next()) o[std::string(k.string())] = toJson(k.value());
            return o;
        }
    }
    return nullptr;
}

// The other way, for a text only nlohmann::json takes.
uint32_t fromJson(const Json& j, JsonText& t) {
    switch (j.type()) {
        case Json::value_t::null: return t.add(JsonText::Null);
        case Json::value_t::boolean: return t.add(j.get<bool>() ? JsonText::True : JsonText::False);
        case Json::value_t::number_integer: {
            const uint32_t n = t.add(JsonText::Integer);
            t.setNumber(n, j.get<int64_t>(), 0, 0);
            return n;
        }
        case Json::value_t::number_unsigned: {
            const uint32_t n = t.add(JsonText::Unsigned);
            t.setNumber(n, 0, j.get<uint64_t>(), 0);
            return n;
        }
        case Json::value_t::number_float: {
            const uint32_t n = t.add(JsonText::Float);
            t.setNumber(n, 0, 0, j.get<double>());
            return n;
        }
        case Json::value_t::string: {
            const uint32_t n = t.add(JsonText::String);
            t.setString(n, j.get_ref<const std::string&>());
            return n;
        }
        case Json::value_t::array: {
            const uint32_t n = t.add(JsonText::Array);
            for (const Json& e : j) fromJson(e, t);
            t.close(n, static_cast<uint32_t>(j.size()));
            return n;
        }
        case Json::value_t::object: {
            const uint32_t n = t.add(JsonText::Object);
            for (auto& [k, v] : j.items()) {
                t.setString(t.add(JsonText::String), k);
                fromJson(v, t);
            }
            t.close(n, static_cast<uint32_t>(j.size()));
            return n;
        }
        default: return t.add(JsonText::Null);
    }
}

class Reader {
public:
    explicit Reader(std::string& error) : error_(error) {}

    bool document(const Value& j, std::unique_ptr<Document>& out);

private:
    bool fail(const Where& where, const std::string& what) {
        const std::string w = where.text();
        error_ = w.empty() ? what : w + ": " + what;
        return false;
    }

    bool real(const Value& j, const Where& where, float& v);
    bool integer(const Value& j, const Where& where, int64_t lo, int64_t hi, int64_t& v);
    bool boolean(const Value& j, const Where& where, bool& v);
    bool string(const Value& j, const Where& where, std::string& v);
    bool color(const Value& j, const Where& where, AIColor& c);
    bool style(const ArtMembers& m, const Where& where, AIPathStyle& s);
    bool art(Document& doc, const Value& j, const Where& where, Layer* layer, Art* parent, int depth);
    bool gradientStopsWithinLimit(const Value& gradients, const Where& where);
    // Kept SVG material (the member `key` of what `where` names) of the types
    // it must have; refused naming the mistyped part and what it must be.
    bool keptSvg(KeptSvgOwner owner, std::string_view key, const Json& value, const Where& where) {
        const auto problem = keptSvgTypeError(owner, key, value);
        if (!problem) return true;
        const std::string w = where.text();
        error_ = w.empty() ? *problem : w + "." + *problem;
        return false;
    }

    // Records a stored id; false when an earlier art has it.
    bool addId(int64_t id) {
        // Files list ids in increasing order: each one above all before it
        // needs no look-up.
        if (id > maxId_) {
            ascendingIds_.push_back(id);
            maxId_ = id;
            return true;
        }
        if (std::binary_search(ascendingIds_.begin(), ascendingIds_.end(), id)) return false;
        return otherIds_.insert(id).second;
    }

    std::string& error_;
    std::vector<int64_t> ascendingIds_;  // ids above every earlier id, increasing
    std::unordered_set<int64_t> otherIds_;
    int64_t maxId_ = 0;
    std::vector<Art*> unnumbered_;  // art without a stored id, in document order
};

bool Reader::real(const Value& j, const Where& where, float& v) {
    if (!j.isNumber()) return fail(where, "expected a number");
    const double d = j.number();
    if (!std::isfinite(d) || std::abs(d) > static_cast<double>(std::numeric_limits<float>::max()))
        return fail(where, "number out of range");
    v = static_cast<float>(d);
    return true;
}

bool Reader::integer(const Value& j, const Where& where, int64_t lo, int64_t hi, int64_t& v) {
    auto range = [&] {
        return fail(where, "expected an integer from " + std::to_string(lo) + " to " + std::to_string(hi));
    };
    if (!j.isInteger()) {
        // 3.0 is an integer too.
        if (j.isFloat()) {
            const double d = j.number();
            if (std::isfinite(d) && std::floor(d) == d && d >= static_cast<double>(lo) &&
                d <= static_cast<double>(hi)) {
                v = static_cast<int64_t>(d);
                return true;
            }
        }
        return range();
    }
    if (j.isUnsigned() && j.unsignedInteger() > static_cast<uint64_t>(hi)) return range();
    const int64_t x = j.isUnsigned() ? static_cast<int64_t>(j.unsignedInteger()) : j.integer();
    if (x < lo || x > hi) return range();
    v = x;
    return true;
}

bool Reader::boolean(const Value& j, const Where& where, bool& v) {
    if (!j.isBool()) return fail(where, "expected true or false");
    v = j.boolean();
    return true;
}

bool Reader::string(const Value& j, const Where& where, std::string& v) {
    if (!j.isString()) return fail(where, "expected a string");
    v = j.string();
    return true;
}

bool Reader::color(const Value& j, const Where& where, AIColor& c) {
    if (!j.isObject()) return fail(where, "expected a colour object");
    const Value kindValue = j.find("kind");
    if (!kindValue) return fail(where, "missing \"kind\"");
    std::string kind;
    if (!string(kindValue, where.at("kind"), kind)) return false;
    c = AIColor{};
    const int32_t k = colorKindFromName(kind);
    if (k < 0) return fail(where.at("kind"), "unknown colour kind \"" + kind + "\"");
    c.kind = k;
    const size_t values = colorKindValueCount(k);
    if (values > 0) {
        const Where w = where.at("values");
        const Value v = j.find("values");
        if (!v) return fail(where, "missing \"values\"");
        if (!v.isArray() || v.size() != values)
            return fail(w, "expected " + std::to_string(values) + (values == 1 ? " number" : " numbers"));
        Value e = v.first();
        for (size_t i = 0; i < values; ++i, e = e.next()) {
            if (!real(e, w[i], c.c[i])) return false;
        }
    }
    if (colorKindHasRef(k)) {
        int64_t r = 0;
        const Value ref = j.find("ref");
        if (ref && !integer(ref, where.at("ref"), 0, INT32_MAX, r)) return false;
        c.ref = static_cast<int32_t>(r);
    }
    return true;
}

bool Reader::style(const ArtMembers& m, const Where& where, AIPathStyle& s) {
    if (const Value& f = m[kKeyFill]) {
        const Where w = where.at("fill");
        if (!f.isObject()) return fail(w, "expected an object");
        bool paint = false;
        if (const Value p = f.find("paint"); p && !boolean(p, w.at("paint"), paint)) return false;
        s.fillPaint = paint;
        if (const Value c = f.find("color"); c && !color(c, w.at("color"), s.fill.color)) return false;
        bool over = false;
        if (const Value o = f.find("overprint"); o && !boolean(o, w.at("overprint"), over)) return false;
        s.fill.overprint = over;
    }
    if (const Value& k = m[kKeyStroke]) {
        const Where w = where.at("stroke");
        if (!k.isObject()) return fail(w, "expected an object");
        AIStrokeStyle& st = s.stroke;
        bool paint = false;
        if (const Value p = k.find("paint"); p && !boolean(p, w.at("paint"), paint)) return false;
        s.strokePaint = paint;
        if (const Value c = k.find("color"); c && !color(c, w.at("color"), st.color)) return false;
        if (const Value v = k.find("width"); v && !real(v, w.at("width"), st.width)) return false;
        if (const Value v = k.find("cap")) {
            std::string cap;
            if (!string(v, w.at("cap"), cap)) return false;
            if (cap == "butt") st.cap = kButtCap;
            else if (cap == "round") st.cap = kRoundCap;
            else if (cap == "projecting") st.cap = kProjectingCap;
            else return fail(w.at("cap"), "expected \"butt\", \"round\" or \"projecting\"");
        }
        if (const Value v = k.find("join")) {
            std::string join;
            if (!string(v, w.at("join"), join)) return false;
            if (join == "miter") st.join = kMiterJoin;
            else if (join == "round") st.join = kRoundJoin;
            else if (join == "bevel") st.join = kBevelJoin;
            else return fail(w.at("join"), "expected \"miter\", \"round\" or \"bevel\"");
        }
        if (const Value v = k.find("miterLimit"); v && !real(v, w.at("miterLimit"), st.miterLimit)) return false;
        if (const Value d = k.find("dash")) {
            const Where wd = w.at("dash");
            if (!d.isArray() || d.size() > kMaxDashComponents)
                return fail(wd, "expected at most " + std::to_string(kMaxDashComponents) + " numbers");
            st.dashCount = static_cast<int32_t>(d.size());
            Value e = d.first();
            for (size_t i = 0; i < d.size(); ++i, e = e.next()) {
                if (!real(e, wd[i], st.dash[i])) return false;
            }
        }
        if (const Value v = k.find("dashOffset"); v && !real(v, w.at("dashOffset"), st.dashOffset)) return false;
        bool over = false;
        if (const Value o = k.find("overprint"); o && !boolean(o, w.at("overprint"), over)) return false;
        st.overprint = over;
    }
    if (const Value& v = m[kKeyEvenOdd]) {
        bool eo = false;
        if (!boolean(v, where.at("evenOdd"), eo)) return false;
        s.evenOdd = eo;
    }
    return true;
}

bool Reader::art(Document& doc, const Value& j, const Where& where, Layer* layer, Art* parent, int depth) {
    if (depth > kMaxArtNesting)
        return fail(where, "art nested deeper than " + std::to_string(kMaxArtNesting) + " levels");
    if (!j.isObject()) return fail(where, "expected an art object");
    const ArtMembers mem(j);
    const Value& typeValue = mem[kKeyType];
    if (!typeValue) return fail(where, "missing \"type\"");
    std::string tname;
    if (!string(typeValue, where.at("type"), tname)) return false;
    const int16_t type = artTypeFromName(tname);
    if (type == kUnknownArt) return fail(where.at("type"), "unknown art type \"" + tname + "\"");

    Art* a = nullptr;
    ASErr e = kNoErr;
    if (parent) {
        e = doc.newArt(type, kPlaceInsideOnTop, parent, &a);
    } else {
        doc.setCurrentLayer(layer);
        e = doc.newArt(type, kPlaceAbove, nullptr, &a);
    }
    if (e != kNoErr || !a) return fail(where, "cannot place the art");

    if (const Value v = mem[kKeyId]) {
        int64_t id = 0;
        if (!integer(v, where.at("id"), 1, INT64_C(1) << 53, id)) return false;
        if (!addId(id)) return fail(where.at("id"), "duplicate id " + std::to_string(id));
        doc.setArtId(a, id);
    } else {
        unnumbered_.push_back(a);
    }

    bool flag = false;
    if (const Value v = mem[kKeyLocked]) {
        if (!boolean(v, where.at("locked"), flag)) return false;
        doc.setLocked(a, flag);
    }
    if (const Value v = mem[kKeyHidden]) {
        if (!boolean(v, where.at("hidden"), flag)) return false;
        doc.setHidden(a, flag);
    }

    if (a->hasPath()) {
        if (const Value v = mem[kKeyClosed]) {
            if (!boolean(v, where.at("closed"), flag)) return false;
            doc.setClosed(a, flag);
        }
        if (const Value segs = mem[kKeySegments]) {
            const Where w = where.at("segments");
            if (!segs.isArray()) return fail(w, "expected an array of segments");
            if (segs.size() > kMaxSegments) return fail(w, "more than " + std::to_string(kMaxSegments) + " segments");
            std::vector<AIPathSegment> v(segs.size());
            Value s = segs.first();
            for (size_t i = 0; i < v.size(); ++i, s = s.next()) {
                const Where ws = w[i];
                if (!s.isArray() || s.size() != 7) return fail(ws, "expected 7 numbers");
                float f[7];
                Value n = s.first();
                for (size_t k = 0; k < 7; ++k, n = n.next()) {
                    if (!n.isNumber()) return fail(ws, "expected 7 numbers");
                    if (!real(n, ws[k], f[k])) return false;
                }
                if (f[6] != 0 && f[6] != 1) return fail(ws[6], "corner flag must be 0 or 1");
                v[i] = AIPathSegment{{f[0], f[1]}, {f[2], f[3]}, {f[4], f[5]}, static_cast<ASBoolean>(f[6] != 0)};
            }
            doc.setSegmentCount(a, v.size());
            doc.setSegments(a, 0, v.size(), v.data());
        }
    } else if (mem[kKeySegments] || mem[kKeyClosed]) {
        return fail(where, "only paths have segments");
    }

    if (a->type() == kTextArt || a->type() == kTextPathArt || documentJsonHasSize(a->type())) {
        ObjectData o = a->object();
        o.isText = documentJsonIsText(a->type());
        if (const Value v = mem[kKeyText]; v && !string(v, where.at("text"), o.text)) return false;
        if (const Value v = mem[kKeyFontSize]) {
            if (!real(v, where.at("fontSize"), o.fontSize)) return false;
            if (!(std::fabs(o.fontSize) <= kMaxFontSize))
                return fail(where.at("fontSize"), "font size past " + std::to_string(static_cast<int>(kMaxFontSize)) +
                                                      " points (the limit)");
        }
        if (const Value v = mem[kKeyHref]; v && !string(v, where.at("href"), o.href)) return false;
        if (const Value v = mem[kKeySymbol]; v && !string(v, where.at("symbol"), o.symbol)) return false;
        if (const Value v = mem[kKeyWidth]; v && !real(v, where.at("width"), o.width)) return false;
        if (const Value v = mem[kKeyHeight]; v && !real(v, where.at("height"), o.height)) return false;
        doc.setObjectData(a, o);
    }
    if (const Value m = mem[kKeyMatrix]) {
        const Where w = where.at("matrix");
        if (!a->hasObjectMatrix() || a->type() == kTextPathArt) return fail(w, "this art type has no matrix");
        if (!m.isArray() || m.size() != 6) return fail(w, "expected 6 numbers");
        float f[6];
        Value n = m.first();
        for (size_t k = 0; k < 6; ++k, n = n.next()) {
            if (!real(n, w[k], f[k])) return false;
        }
        doc.setObjectMatrix(a, AIRealMatrix{f[0], f[1], f[2], f[3], f[4], f[5]});
    }
    if (const Value m = mem[kKeyEffectSpace]) {
        const Where w = where.at("effectSpace");
        if (!m.isArray() || m.size() != 6) return fail(w, "expected 6 numbers");
        float f[6];
        Value n = m.first();
        for (size_t k = 0; k < 6; ++k, n = n.next()) {
            if (!real(n, w[k], f[k])) return false;
        }
        const AIRealMatrix space{f[0], f[1], f[2], f[3], f[4], f[5]};
        doc.setEffectSpace(a, &space);
    }
    if (const Value wj = mem[kKeyWarp]) {
        const Where w = where.at("warp");
        if (type != kEnvelopeArt) return fail(w, "only envelopes have a warp");
        if (!wj.isObject()) return fail(w, "expected an object");
        EnvelopeWarp warp;
        int64_t st = 0;
        if (const Value v = wj.find("style"); v && !integer(v, w.at("style"), 0, 15, st)) return false;
        warp.style = static_cast<int32_t>(st);
        if (const Value v = wj.find("bend"); v && !real(v, w.at("bend"), warp.bend)) return false;
        if (const Value v = wj.find("horizontal"); v && !real(v, w.at("horizontal"), warp.horizontal)) return false;
        if (const Value v = wj.find("vertical"); v && !real(v, w.at("vertical"), warp.vertical)) return false;
        if (const Value v = wj.find("rotate90"); v && !boolean(v, w.at("rotate90"), warp.rotate90)) return false;
        doc.setEnvelopeWarp(a, warp);
    }

    AIPathStyle s = unpaintedStyle();
    if (!style(mem, where, s)) return false;
    doc.setStyle(a, s);

    if (const Value v = mem[kKeyOpacity]) {
        float op = 1;
        if (!real(v, where.at("opacity"), op)) return false;
        doc.setOpacity(a, op);
    }
    if (const Value v = mem[kKeyBlend]) {
        std::string name;
        if (!string(v, where.at("blend"), name)) return false;
        const int32_t mode = blendModeFromName(name);
        if (mode < 0) return fail(where.at("blend"), "unknown blend mode \"" + name + "\"");
        doc.setBlendMode(a, mode);
    }
    if (const Value t = mem[kKeyTags]) {
        const Where w = where.at("tags");
        if (!t.isObject()) return fail(w, "expected an object");
        // A name given twice counts once, at its first place, with its last value.
        Value k = t.first();
        for (size_t i = 0; i < t.size(); ++i, k = k.value().next()) {
            if (k.repeatsEarlierKey(t)) continue;
            const std::string_view name = k.string();
            const Value v = t.find(name);
            if (name.empty()) return fail(w, "empty tag name");
            if (v.isString()) {
                doc.setTagString(a, std::string(name), std::string(v.string()));
            } else if (v.isNumber()) {
                float r = 0;
                if (!real(v, w.at(name), r)) return false;
                doc.setTagReal(a, std::string(name), r);
            } else {
                return fail(w.at(name), "expected a string or a number");
            }
        }
    }
    if (const Value c = mem[kKeyChildren]) {
        const Where w = where.at("children");
        if (!a->isContainer()) return fail(w, "only groups, compound paths and envelopes have children");
        if (!c.isArray()) return fail(w, "expected an array");
        Value e1 = c.first();
        for (size_t i = 0; i < c.size(); ++i, e1 = e1.next()) {
            if (!art(doc, e1, w[i], nullptr, a, depth + 1)) return false;
        }
    }

    bool selected = false;
    if (const Value v = mem[kKeySelected]; v && !boolean(v, where.at("selected"), selected)) return false;
    if (selected) doc.setSelected(a, true);
    const Value ss = selected && a->hasPath() ? mem[kKeySelectedSegments] : Value();
    if (ss) {
        const Where w = where.at("selectedSegments");
        if (!ss.isArray()) return fail(w, "expected an array of segment indices");
        const size_t n = a->segmentCount();
        std::vector<int16_t> bits(n, 0);
        Value e1 = ss.first();
        for (size_t i = 0; i < ss.size(); ++i, e1 = e1.next()) {
            const Where wi = w[i];
            int64_t idx = 0;
            int64_t b = kSegmentPointSelected;
            if (e1.isArray()) {
                if (e1.size() != 2) return fail(wi, "expected an index or [index, bits]");
                if (!integer(e1.first(), wi[0], 0, static_cast<int64_t>(n) - 1, idx)) return false;
                if (!integer(e1.first().next(), wi[1], 0, 7, b)) return false;
            } else if (!integer(e1, wi, 0, static_cast<int64_t>(n) - 1, idx)) {
                return false;
            }
            bits[static_cast<size_t>(idx)] = static_cast<int16_t>(b);
        }
        for (size_t i = 0; i < n; ++i) doc.setSegmentSelection(a, i, bits[i]);
    }

    // Attributes this reader does not know are kept as they were; those
    // holding kept SVG must have their types.
    if (mem.unknown) {
        Json extra = Json::object();
        Value k = j.first();
        for (size_t i = 0; i < j.size(); ++i, k = k.value().next()) {
            if (!isKnownArtKey(k.string())) extra[std::string(k.string())] = toJson(k.value());
        }
        std::string text = extra.dump();
        if (jsonTextDepth(text, kMaxKeptDepth) > kMaxKeptDepth)
            return fail(where, "members easel keeps unread nested deeper than " + std::to_string(kMaxKeptDepth) +
                                   " levels (the limit)");
        for (const auto& [key, value] : extra.items()) {
            if (!keptSvg(KeptSvgOwner::Art, key, value, where)) return false;
        }
        doc.setExtra(a, std::move(text));
    }
    return true;
}

// Gradients are read through nlohmann::json: one with too many stops is
// refused before it is converted.
bool Reader::gradientStopsWithinLimit(const Value& gradients, const Where& where) {
    if (!gradients || !gradients.isArray()) return true;
    Value g = gradients.first();
    for (size_t i = 0; i < gradients.size(); ++i, g = g.next()) {
        const Value stops = g.isObject() ? g.find("stops") : Value();
        if (stops && stops.isArray() && stops.size() > kMaxGradientStops)
            return fail(where[i].at("stops"),
                        "more than " + std::to_string(kMaxGradientStops) + " stops (the limit of a gradient)");
    }
    return true;
}

bool Reader::document(const Value& j, std::unique_ptr<Document>& out) {
    const Where root;
    if (!j.isObject()) return fail(root, "expected a JSON object");
    const Value format = j.find("format");
    if (!format) return fail(root, "missing \"format\"");
    if (!format.isString() || format.string() != "easel-document")
        return fail(root.at("format"), "expected \"easel-document\"");
    const Value versionValue = j.find("version");
    if (!versionValue) return fail(root, "missing \"version\"");
    int64_t version = 0;
    if (!integer(versionValue, root.at("version"), 1, 1000000, version)) return false;
    if (version != kDocumentJsonVersion)
        return fail(root.at("version"), "unsupported version " + std::to_string(version));

    const Value page = j.find("page");
    if (!page) return fail(root, "missing \"page\"");
    const Where wp = root.at("page");
    if (!page.isObject()) return fail(wp, "expected an object");
    float w = 0, h = 0;
    const Value width = page.find("width"), height = page.find("height");
    if (!width) return fail(wp, "missing \"width\"");
    if (!height) return fail(wp, "missing \"height\"");
    if (!real(width, wp.at("width"), w)) return false;
    if (!real(height, wp.at("height"), h)) return false;
    if (w <= 0) return fail(wp.at("width"), "must be positive");
    if (h <= 0) return fail(wp.at("height"), "must be positive");

    auto doc = std::make_unique<Document>(w, h);
    if (const Value seedValue = j.find("seed")) {
        int64_t seed = 1;
        if (!integer(seedValue, root.at("seed"), INT32_MIN, INT32_MAX, seed)) return false;
        doc->setSeed(static_cast<int32_t>(seed));
    }

    if (const Value sw = j.find("swatches")) {
        const Where ws = root.at("swatches");
        if (!sw.isArray()) return fail(ws, "expected an array");
        Value s = sw.first();
        for (size_t i = 0; i < sw.size(); ++i, s = s.next()) {
            const Where where = ws[i];
            if (!s.isObject()) return fail(where, "expected an object");
            std::string name;
            const Value nameValue = s.find("name");
            if (!nameValue) return fail(where, "missing \"name\"");
            if (!string(nameValue, where.at("name"), name)) return false;
            AIColor c = noneColor();
            const Value colorValue = s.find("color");
            if (!colorValue) return fail(where, "missing \"color\"");
            if (!color(colorValue, where.at("color"), c)) return false;
            doc->addSwatch(name, c);
        }
    } else {
        const auto defaults = newDocument(w, h);
        for (size_t i = 0; i < defaults->swatchCount(); ++i)
            doc->addSwatch(defaults->swatch(i)->name, defaults->swatch(i)->color);
    }

    if (!gradientStopsWithinLimit(j.find("gradients"), root.at("gradients"))) return false;
    if (j.find("gradients") || j.find("gradientPaints")) {
        Json gradients = Json::object();
        for (const char* k : {"gradients", "gradientPaints"}) {
            if (const Value v = j.find(k)) gradients[k] = toJson(v);
        }
        if (std::string e; !readGradientPaints(gradients, *doc, e)) return fail(root, e);
    }
    if (const Value kept = j.find("svg")) {
        if (!kept.isObject()) return fail(root.at("svg"), "expected an object");
        const Json k = toJson(kept);
        if (!keptSvg(KeptSvgOwner::Document, "svg", k, root)) return false;
        doc->setSvgKept(k.dump());
    }
    const Value layers = j.find("layers");
    if (!layers) return fail(root, "missing \"layers\"");
    const Where wl = root.at("layers");
    if (!layers.isArray()) return fail(wl, "expected an array");
    struct LayerFlags {
        Layer* layer;
        bool visible;
        bool locked;
    };
    std::vector<LayerFlags> flags;
    Value l = layers.first();
    for (size_t i = 0; i < layers.size(); ++i, l = l.next()) {
        const Where where = wl[i];
        if (!l.isObject()) return fail(where, "expected an object");
        std::string name = "Layer " + std::to_string(i + 1);
        if (const Value v = l.find("name"); v && !string(v, where.at("name"), name)) return false;
        bool visible = true, locked = false;
        if (const Value v = l.find("visible"); v && !boolean(v, where.at("visible"), visible)) return false;
        if (const Value v = l.find("locked"); v && !boolean(v, where.at("locked"), locked)) return false;
        Layer* layer = nullptr;
        doc->insertLayer(nullptr, kPlaceAboveAll, &layer, name);
        flags.push_back({layer, visible, locked});
        if (const Value kept = l.find("svg")) {
            if (!kept.isObject()) return fail(where.at("svg"), "expected an object");
            const Json k = toJson(kept);
            if (!keptSvg(KeptSvgOwner::Layer, "svg", k, where)) return false;
            doc->setLayerSvgKept(layer, k.dump());
        }
        if (const Value arts = l.find("art")) {
            const Where wa = where.at("art");
            if (!arts.isArray()) return fail(wa, "expected an array");
            Value a = arts.first();
            for (size_t k = 0; k < arts.size(); ++k, a = a.next()) {
                if (!art(*doc, a, wa[k], layer, nullptr, 0)) return false;
            }
        }
    }
    // Art without a stored id gets one above every stored id. Art is made
    // in document order (each container before its members), so that is
    // the order of unnumbered_.
    int64_t maxId = maxId_;
    for (Art* a : unnumbered_) {
        if (a->id() <= maxId) doc->setArtId(a, ++maxId);
    }
    for (const LayerFlags& f : flags) {
        doc->setLayerVisible(f.layer, f.visible);
        doc->setLayerLocked(f.layer, f.locked);
    }
    doc->clearHistory();
    out = std::move(doc);
    return true;
}

}  // namespace

bool readDocumentJson(const std::string& text, std::unique_ptr<Document>& out, std::string& error) {
    error.clear();
    try {
        // A text the fast parser takes nests no deeper than it allows, so the
        // depth is counted separately only for a text it refuses.
        JsonText parsed;
        Json slow;  // holds the strings of a text only nlohmann::json took
        if (!parsed.parse(text, kMaxJsonDepth)) {
            if (jsonTextDepth(text) > kMaxJsonDepth) {
                error = "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels";
                return false;
            }
            // nlohmann::json's verdict and message on what the fast parser refused.
            try {
                slow = Json::parse(text);
            } catch (const Json::exception& e) {
                error = std::string("not valid JSON: ") + e.what();
                return false;
            }
            fromJson(slow, parsed);
        }
        Reader r(error);
        return r.document(parsed.root(), out);
    } catch (const std::exception& e) {
        error = std::string("cannot read the document: ") + e.what();
        return false;
    } catch (...) {
        error = "cannot read the document";
        return false;
    }
}

}  // namespace easel
