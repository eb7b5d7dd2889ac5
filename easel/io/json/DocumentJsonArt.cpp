// Reading art from document files: each member of an art object has its
// reader, and the readers run in a fixed order (the order of their checks
// decides which error a file with several gets).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/Names.h"
#include "io/json/DocumentJsonReader.h"
#include "io/json/DocumentJsonShared.h"
#include "core/Input.h"

namespace easel::jsonread {

// Names are told apart by length and first letter, then compared once.
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
        case 7: return name[0] == 'e' ? is(kKeyEvenOdd) : name[0] == 'c' ? is(kKeyClipped) : is(kKeyOpacity);
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

ArtMembers::ArtMembers(const Value& j) {
    Value k = j.first();
    for (size_t i = 0; i < j.size(); ++i, k = k.value().next()) {
        const int key = artKey(k.string());
        if (key >= 0) value[key] = k.value();
        else unknown = true;
    }
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

    using MemberReader = bool (Reader::*)(const ArtRead&);
    static constexpr MemberReader kMembers[] = {
        &Reader::artId,    &Reader::artFlags, &Reader::artPath,   &Reader::artObject,     &Reader::artMatrix,
        &Reader::artEffectSpace, &Reader::artWarp, &Reader::artStyle, &Reader::artOpacity, &Reader::artBlend,
        &Reader::artTags,  &Reader::artChildren, &Reader::artSelection, &Reader::artKeptMembers};
    const ArtRead r{doc, a, j, mem, where, depth};
    for (const MemberReader read : kMembers) {
        if (!(this->*read)(r)) return false;
    }
    return true;
}

bool Reader::artId(const ArtRead& r) {
    if (const Value v = r.members[kKeyId]) {
        int64_t id = 0;
        if (!integer(v, r.where.at("id"), 1, INT64_C(1) << 53, id)) return false;
        if (!addId(id)) return fail(r.where.at("id"), "duplicate id " + std::to_string(id));
        r.doc.setArtId(r.art, id);
    } else {
        unnumbered_.push_back(r.art);
    }
    return true;
}

bool Reader::artFlags(const ArtRead& r) {
    bool flag = false;
    if (const Value v = r.members[kKeyLocked]) {
        if (!boolean(v, r.where.at("locked"), flag)) return false;
        r.doc.setLocked(r.art, flag);
    }
    if (const Value v = r.members[kKeyHidden]) {
        if (!boolean(v, r.where.at("hidden"), flag)) return false;
        r.doc.setHidden(r.art, flag);
    }
    if (const Value v = r.members[kKeyClipped]) {
        if (!boolean(v, r.where.at("clipped"), flag)) return false;
        if (flag && r.art->type() != kGroupArt) return fail(r.where.at("clipped"), "only a group can be clipped");
        r.doc.setClipped(r.art, flag);
    }
    return true;
}

bool Reader::artPath(const ArtRead& r) {
    const ArtMembers& mem = r.members;
    if (!r.art->hasPath()) {
        if (mem[kKeySegments] || mem[kKeyClosed]) return fail(r.where, "only paths have segments");
        return true;
    }
    if (const Value v = mem[kKeyClosed]) {
        bool flag = false;
        if (!boolean(v, r.where.at("closed"), flag)) return false;
        r.doc.setClosed(r.art, flag);
    }
    const Value segs = mem[kKeySegments];
    if (!segs) return true;
    const Where w = r.where.at("segments");
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
    r.doc.setSegmentCount(r.art, v.size());
    r.doc.setSegments(r.art, 0, v.size(), v.data());
    return true;
}

bool Reader::artObject(const ArtRead& r) {
    const int16_t type = r.art->type();
    if (type != kTextArt && type != kTextPathArt && !documentJsonHasSize(type)) return true;
    const ArtMembers& mem = r.members;
    const Where& where = r.where;
    ObjectData o = r.art->object();
    o.isText = documentJsonIsText(type);
    if (const Value v = mem[kKeyText]; v && !string(v, where.at("text"), o.text)) return false;
    if (const Value v = mem[kKeyFontSize]) {
        if (!real(v, where.at("fontSize"), o.fontSize)) return false;
        if (!(std::fabs(o.fontSize) <= kMaxFontSize))
            return fail(where.at("fontSize"),
                        "font size past " + std::to_string(static_cast<int>(kMaxFontSize)) + " points (the limit)");
    }
    if (const Value v = mem[kKeyHref]; v && !string(v, where.at("href"), o.href)) return false;
    if (const Value v = mem[kKeySymbol]; v && !string(v, where.at("symbol"), o.symbol)) return false;
    if (const Value v = mem[kKeyWidth]; v && !real(v, where.at("width"), o.width)) return false;
    if (const Value v = mem[kKeyHeight]; v && !real(v, where.at("height"), o.height)) return false;
    r.doc.setObjectData(r.art, o);
    return true;
}

bool Reader::matrix(const Value& m, const Where& w, AIRealMatrix& out) {
    if (!m.isArray() || m.size() != 6) return fail(w, "expected 6 numbers");
    float f[6];
    Value n = m.first();
    for (size_t k = 0; k < 6; ++k, n = n.next()) {
        if (!real(n, w[k], f[k])) return false;
    }
    out = AIRealMatrix{f[0], f[1], f[2], f[3], f[4], f[5]};
    return true;
}

bool Reader::artMatrix(const ArtRead& r) {
    const Value m = r.members[kKeyMatrix];
    if (!m) return true;
    const Where w = r.where.at("matrix");
    if (!r.art->hasObjectMatrix() || r.art->type() == kTextPathArt) return fail(w, "this art type has no matrix");
    AIRealMatrix matrixValue;
    if (!matrix(m, w, matrixValue)) return false;
    r.doc.setObjectMatrix(r.art, matrixValue);
    return true;
}

bool Reader::artEffectSpace(const ArtRead& r) {
    const Value m = r.members[kKeyEffectSpace];
    if (!m) return true;
    AIRealMatrix space;
    if (!matrix(m, r.where.at("effectSpace"), space)) return false;
    r.doc.setEffectSpace(r.art, &space);
    return true;
}

bool Reader::artWarp(const ArtRead& r) {
    const Value wj = r.members[kKeyWarp];
    if (!wj) return true;
    const Where w = r.where.at("warp");
    if (r.art->type() != kEnvelopeArt) return fail(w, "only envelopes have a warp");
    if (!wj.isObject()) return fail(w, "expected an object");
    EnvelopeWarp warp;
    int64_t st = 0;
    if (const Value v = wj.find("style"); v && !integer(v, w.at("style"), 0, 15, st)) return false;
    warp.style = static_cast<int32_t>(st);
    if (const Value v = wj.find("bend"); v && !real(v, w.at("bend"), warp.bend)) return false;
    if (const Value v = wj.find("horizontal"); v && !real(v, w.at("horizontal"), warp.horizontal)) return false;
    if (const Value v = wj.find("vertical"); v && !real(v, w.at("vertical"), warp.vertical)) return false;
    if (const Value v = wj.find("rotate90"); v && !boolean(v, w.at("rotate90"), warp.rotate90)) return false;
    r.doc.setEnvelopeWarp(r.art, warp);
    return true;
}

bool Reader::artStyle(const ArtRead& r) {
    AIPathStyle s = unpaintedStyle();
    if (!style(r.members, r.where, s)) return false;
    r.doc.setStyle(r.art, s);
    return true;
}

bool Reader::artOpacity(const ArtRead& r) {
    if (const Value v = r.members[kKeyOpacity]) {
        float op = 1;
        if (!real(v, r.where.at("opacity"), op)) return false;
        r.doc.setOpacity(r.art, op);
    }
    return true;
}

bool Reader::artBlend(const ArtRead& r) {
    if (const Value v = r.members[kKeyBlend]) {
        std::string name;
        if (!string(v, r.where.at("blend"), name)) return false;
        const int32_t mode = blendModeFromName(name);
        if (mode < 0) return fail(r.where.at("blend"), "unknown blend mode \"" + name + "\"");
        r.doc.setBlendMode(r.art, mode);
    }
    return true;
}

bool Reader::artTags(const ArtRead& r) {
    const Value t = r.members[kKeyTags];
    if (!t) return true;
    const Where w = r.where.at("tags");
    if (!t.isObject()) return fail(w, "expected an object");
    // A name given twice counts once, at its first place, with its last value.
    Value k = t.first();
    for (size_t i = 0; i < t.size(); ++i, k = k.value().next()) {
        if (k.repeatsEarlierKey(t)) continue;
        const std::string_view name = k.string();
        const Value v = t.find(name);
        if (name.empty()) return fail(w, "empty tag name");
        if (v.isString()) {
            r.doc.setTagString(r.art, std::string(name), std::string(v.string()));
        } else if (v.isNumber()) {
            float number = 0;
            if (!real(v, w.at(name), number)) return false;
            r.doc.setTagReal(r.art, std::string(name), number);
        } else {
            return fail(w.at(name), "expected a string or a number");
        }
    }
    return true;
}

bool Reader::artChildren(const ArtRead& r) {
    const Value c = r.members[kKeyChildren];
    if (!c) return true;
    const Where w = r.where.at("children");
    if (!r.art->isContainer()) return fail(w, "only groups, compound paths and envelopes have children");
    if (!c.isArray()) return fail(w, "expected an array");
    Value e = c.first();
    for (size_t i = 0; i < c.size(); ++i, e = e.next()) {
        if (!art(r.doc, e, w[i], nullptr, r.art, r.depth + 1)) return false;
    }
    return true;
}

bool Reader::artSelection(const ArtRead& r) {
    bool selected = false;
    if (const Value v = r.members[kKeySelected]; v && !boolean(v, r.where.at("selected"), selected)) return false;
    if (selected) r.doc.setSelected(r.art, true);
    const Value ss = selected && r.art->hasPath() ? r.members[kKeySelectedSegments] : Value();
    if (!ss) return true;
    const Where w = r.where.at("selectedSegments");
    if (!ss.isArray()) return fail(w, "expected an array of segment indices");
    const size_t n = r.art->segmentCount();
    std::vector<int16_t> bits(n, 0);
    Value e = ss.first();
    for (size_t i = 0; i < ss.size(); ++i, e = e.next()) {
        const Where wi = w[i];
        int64_t idx = 0;
        int64_t b = kSegmentPointSelected;
        if (e.isArray()) {
            if (e.size() != 2) return fail(wi, "expected an index or [index, bits]");
            if (!integer(e.first(), wi[0], 0, static_cast<int64_t>(n) - 1, idx)) return false;
            if (!integer(e.first().next(), wi[1], 0, 7, b)) return false;
        } else if (!integer(e, wi, 0, static_cast<int64_t>(n) - 1, idx)) {
            return false;
        }
        bits[static_cast<size_t>(idx)] = static_cast<int16_t>(b);
    }
    for (size_t i = 0; i < n; ++i) r.doc.setSegmentSelection(r.art, i, bits[i]);
    return true;
}

namespace {

// Area text's "box" [width, height] and text's "lineSpacing", which the
// layout of its lines reads: "" when they are right, else the message.
std::string textFrameError(const Json& extra, std::string& member) {
    if (auto box = extra.find("box"); box != extra.end()) {
        const bool ok = box->is_array() && box->size() == 2 &&
                        std::all_of(box->begin(), box->end(), [](const Json& v) {
                            return v.is_number() && v.get<double>() >= 0 && v.get<double>() <= kMaxCoordinate;
                        });
        member = "box";
        if (!ok) return "expected [width, height], each from 0 to 1e+07, found " + box->dump();
    }
    if (auto spacing = extra.find("lineSpacing"); spacing != extra.end()) {
        member = "lineSpacing";
        if (!spacing->is_number() || !(spacing->get<double>() >= 0 && spacing->get<double>() <= 10))
            return "expected a number from 0 to 10 (times the font size), found " + spacing->dump();
    }
    return {};
}

}  // namespace

// Attributes this reader does not know are kept as they were; those holding
// kept SVG must have their types.
bool Reader::artKeptMembers(const ArtRead& r) {
    if (!r.members.unknown) return true;
    Json extra = Json::object();
    Value k = r.json.first();
    for (size_t i = 0; i < r.json.size(); ++i, k = k.value().next()) {
        if (artKey(k.string()) < 0) extra[std::string(k.string())] = toJson(k.value());
    }
    std::string text = extra.dump();
    if (jsonTextDepth(text, kMaxKeptDepth) > kMaxKeptDepth)
        return fail(r.where, "members easel keeps unread nested deeper than " + std::to_string(kMaxKeptDepth) +
                                 " levels (the limit)");
    for (const auto& [key, value] : extra.items()) {
        if (!keptSvg(KeptSvgOwner::Art, key, value, r.where)) return false;
    }
    if (std::string member, error = r.art->type() == kTextArt ? textFrameError(extra, member) : ""; !error.empty())
        return fail(r.where.at(member), error);
    r.doc.setExtra(r.art, std::move(text));
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


}  // namespace easel::jsonread
