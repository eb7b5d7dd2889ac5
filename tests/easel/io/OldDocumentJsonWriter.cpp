// The document file writer as it was before it streamed from the model, kept
// as the reference the streaming writer must match byte for byte.
#include "OldDocumentJsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "model/Names.h"

namespace easel::reference {

using Json = nlohmann::ordered_json;

namespace {

bool hasStyleField(int16_t t) {
    return t == kPathArt || t == kCompoundPathArt || t == kTextArt || t == kTextPathArt;
}
bool hasSize(int16_t t) { return t == kPlacedArt || t == kRasterArt || t == kSymbolArt || t == kMeshArt; }
bool isText(int16_t t) { return t == kTextArt || t == kTextPathArt; }
bool hasHref(int16_t t) { return t == kPlacedArt || t == kRasterArt; }
constexpr int kFormatVersion = 1;


// The shortest decimal that reads back as the same float, as a JSON number
// (an integer when it is one).
Json number(float v) {
    if (v == 0) return 0;  // also folds -0
    if (std::abs(v) < 9.0e15f && std::floor(v) == v) return static_cast<int64_t>(v);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    *res.ptr = '\0';
    return std::strtod(buf, nullptr);
}

Json colorJson(const AIColor& c) {
    Json j;
    switch (c.kind) {
        case kGrayColor:
            j["kind"] = "gray";
            j["values"] = Json::array({number(c.c[0])});
            break;
        case kFourColor:
            j["kind"] = "cmyk";
            j["values"] = Json::array({number(c.c[0]), number(c.c[1]), number(c.c[2]), number(c.c[3])});
            break;
        case kThreeColor:
            j["kind"] = "rgb";
            j["values"] = Json::array({number(c.c[0]), number(c.c[1]), number(c.c[2])});
            break;
        case kPatternColor:
            j["kind"] = "pattern";
            j["ref"] = c.ref;
            break;
        case kGradientColor:
            j["kind"] = "gradient";
            j["ref"] = c.ref;
            break;
        case kCustomColor:
            j["kind"] = "spot";
            j["ref"] = c.ref;
            j["values"] = Json::array({number(c.c[0])});
            break;
        default:
            j["kind"] = "none";
            break;
    }
    return j;
}

Json matrixJson(const AIRealMatrix& m) {
    return Json::array({number(m.a), number(m.b), number(m.c), number(m.d), number(m.tx), number(m.ty)});
}

void writeStyle(const AIPathStyle& s, Json& j) {
    Json fill;
    fill["paint"] = s.fillPaint != 0;
    fill["color"] = colorJson(s.fill.color);
    if (s.fill.overprint) fill["overprint"] = true;
    j["fill"] = fill;
    const AIStrokeStyle& k = s.stroke;
    Json stroke;
    stroke["paint"] = s.strokePaint != 0;
    stroke["color"] = colorJson(k.color);
    stroke["width"] = number(k.width);
    if (k.cap != kButtCap) stroke["cap"] = k.cap == kRoundCap ? "round" : k.cap == kProjectingCap ? "projecting" : "butt";
    if (k.join != kMiterJoin) stroke["join"] = k.join == kRoundJoin ? "round" : k.join == kBevelJoin ? "bevel" : "miter";
    if (k.miterLimit != 4) stroke["miterLimit"] = number(k.miterLimit);
    if (k.dashCount > 0) {
        Json dash = Json::array();
        for (int i = 0; i < k.dashCount && i < kMaxDashComponents; ++i) dash.push_back(number(k.dash[i]));
        stroke["dash"] = dash;
        if (k.dashOffset != 0) stroke["dashOffset"] = number(k.dashOffset);
    }
    if (k.overprint) stroke["overprint"] = true;
    j["stroke"] = stroke;
    if (s.evenOdd) j["evenOdd"] = true;
}

Json artJson(const Art& a) {
    Json j;
    j["id"] = a.id();
    j["type"] = artTypeName(a.type());
    j["selected"] = a.selected();
    if (a.locked()) j["locked"] = true;
    if (a.hidden()) j["hidden"] = true;
    if (a.hasPath()) {
        j["closed"] = a.closed();
        Json segs = Json::array();
        const size_t n = a.segmentCount();
        for (size_t i = 0; i < n; ++i) {
            const AIPathSegment s = a.segment(i);
            segs.push_back(Json::array({number(s.p.h), number(s.p.v), number(s.in.h), number(s.in.v),
                                        number(s.out.h), number(s.out.v), s.corner ? 1 : 0}));
        }
        j["segments"] = segs;
        if (a.selected() && a.hasPartialSegmentSelection()) {
            Json sel = Json::array();
            for (size_t i = 0; i < n; ++i) {
                const int16_t bits = a.segmentSelection(i);
                if (bits == kSegmentPointSelected) {
                    sel.push_back(i);
                } else if (bits != 0) {
                    sel.push_back(Json::array({i, bits}));
                }
            }
            j["selectedSegments"] = sel;
        }
    }
    const ObjectData& o = a.object();
    if (isText(a.type())) {
        j["text"] = o.text;
        j["fontSize"] = number(o.fontSize);
    }
    if (hasHref(a.type())) j["href"] = o.href;
    if (a.type() == kSymbolArt) j["symbol"] = o.symbol;
    if (hasSize(a.type())) {
        j["width"] = number(o.width);
        j["height"] = number(o.height);
    }
    if (a.hasObjectMatrix() && a.type() != kTextPathArt) j["matrix"] = matrixJson(a.objectMatrix());
    if (a.type() == kEnvelopeArt) {
        const EnvelopeWarp& w = a.warp();
        Json warp;
        warp["style"] = w.style;
        warp["bend"] = number(w.bend);
        warp["horizontal"] = number(w.horizontal);
        warp["vertical"] = number(w.vertical);
        warp["rotate90"] = w.rotate90;
        j["warp"] = warp;
    }
    if (hasStyleField(a.type()) || !sameStyle(a.style(), unpaintedStyle())) writeStyle(a.style(), j);
    j["opacity"] = number(a.opacity());
    j["blend"] = blendModeName(a.blendMode());
    if (!a.tags().empty()) {
        Json tags = Json::object();
        for (const Tag& t : a.tags()) {
            if (t.isReal) {
                tags[t.name] = number(t.real);
            } else {
                tags[t.name] = t.text;
            }
        }
        j["tags"] = tags;
    }
    if (a.isContainer()) {
        Json children = Json::array();
        for (const Art* c = a.firstChild(); c; c = c->next()) children.push_back(artJson(*c));
        j["children"] = children;
    }
    if (!a.extra().empty()) {
        Json extra = Json::parse(a.extra(), nullptr, false);
        if (extra.is_object()) {
            for (auto& [k, v] : extra.items()) {
                if (!j.contains(k)) j[k] = v;
            }
        }
    }
    return j;
}

bool isScalar(const Json& j) { return !j.is_object() && !j.is_array(); }

// Pretty printing with arrays of plain values (points, colours, matrices)
// kept on one line.
void emit(const Json& j, int indent, std::string& out) {
    if (isScalar(j)) {
        out += j.dump();
        return;
    }
    const std::string pad(static_cast<size_t>(indent + 2), ' ');
    if (j.is_array()) {
        if (j.empty()) {
            out += "[]";
            return;
        }
        bool flat = true;
        for (const Json& e : j) flat = flat && isScalar(e);
        if (flat) {
            out += '[';
            bool first = true;
            for (const Json& e : j) {
                if (!first) out += ", ";
                first = false;
                out += e.dump();
            }
            out += ']';
            return;
        }
        out += "[\n";
        bool first = true;
        for (const Json& e : j) {
            if (!first) out += ",\n";
            first = false;
            out += pad;
            emit(e, indent + 2, out);
        }
        out += '\n' + std::string(static_cast<size_t>(indent), ' ') + ']';
        return;
    }
    if (j.empty()) {
        out += "{}";
        return;
    }
    out += "{\n";
    bool first = true;
    for (auto& [k, v] : j.items()) {
        if (!first) out += ",\n";
        first = false;
        out += pad + Json(k).dump() + ": ";
        emit(v, indent + 2, out);
    }
    out += '\n' + std::string(static_cast<size_t>(indent), ' ') + '}';
}

}  // namespace

Json jsonNumber(float v) { return number(v); }

std::string oldWriteDocumentJson(const Document& doc) {
    Json j;
    j["format"] = "easel-document";
    j["version"] = kFormatVersion;
    j["seed"] = doc.seed();
    j["page"] = Json{{"width", number(doc.width())}, {"height", number(doc.height())}};
    Json swatches = Json::array();
    for (size_t i = 0; i < doc.swatchCount(); ++i) {
        const Swatch* s = doc.swatch(i);
        swatches.push_back(Json{{"name", s->name}, {"color", colorJson(s->color)}});
    }
    j["swatches"] = swatches;
    Json layers = Json::array();
    for (size_t i = 0; i < doc.layerCount(); ++i) {
        const Layer* l = doc.layerFromBottom(i);
        Json lj;
        lj["name"] = l->name();
        lj["visible"] = l->visible();
        lj["locked"] = l->locked();
        Json arts = Json::array();
        for (const Art* a = l->firstArt(); a; a = a->next()) arts.push_back(artJson(*a));
        lj["art"] = arts;
        layers.push_back(lj);
    }
    j["layers"] = layers;
    std::string out;
    emit(j, 0, out);
    out += '\n';
    return out;
}

}  // namespace easel::reference
