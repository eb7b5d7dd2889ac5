// Reading document files. The text is parsed once into a flat node array
// (JsonText) and the document is built from it; the place an error names
// ("layers[0].art[3].segments[2]") is spelled only when there is an error.
// The document and its layers are read here, art in DocumentJsonArt.cpp.
#include "io/json/DocumentJson.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "io/json/DocumentJsonReader.h"
#include "io/json/DocumentJsonShared.h"
#include "io/json/GradientJson.h"
#include "io/json/GuidesJson.h"
#include "core/Input.h"
#include "model/Names.h"

namespace easel::jsonread {

// The document, its layers and art at the deepest nesting take 5 + 2 levels
// a nesting; kept members below them fit.
static_assert(5 + 2 * kMaxArtNesting + 2 + kMaxKeptDepth < kMaxJsonDepth);

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

namespace {

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


}  // namespace

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

bool Reader::formatAndVersion(const Value& j) {
    const Where root;
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
    return true;
}

bool Reader::page(const Value& j, float& w, float& h) {
    const Where root;
    const Value page = j.find("page");
    if (!page) return fail(root, "missing \"page\"");
    const Where wp = root.at("page");
    if (!page.isObject()) return fail(wp, "expected an object");
    const Value width = page.find("width"), height = page.find("height");
    if (!width) return fail(wp, "missing \"width\"");
    if (!height) return fail(wp, "missing \"height\"");
    if (!real(width, wp.at("width"), w)) return false;
    if (!real(height, wp.at("height"), h)) return false;
    if (w <= 0) return fail(wp.at("width"), "must be positive");
    if (h <= 0) return fail(wp.at("height"), "must be positive");
    return true;
}

bool Reader::seed(const Value& j, Document& doc) {
    if (const Value seedValue = j.find("seed")) {
        int64_t seed = 1;
        const Where root;
        if (!integer(seedValue, root.at("seed"), INT32_MIN, INT32_MAX, seed)) return false;
        doc.setSeed(static_cast<int32_t>(seed));
    }
    return true;
}

// A document without "swatches" has those of a new document.
bool Reader::swatches(const Value& j, Document& doc) {
    const Value sw = j.find("swatches");
    if (!sw) {
        const auto defaults = newDocument(doc.width(), doc.height());
        for (size_t i = 0; i < defaults->swatchCount(); ++i)
            doc.addSwatch(defaults->swatch(i)->name, defaults->swatch(i)->color);
        return true;
    }
    const Where root;
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
        doc.addSwatch(name, c);
    }
    return true;
}

bool Reader::gradients(const Value& j, Document& doc) {
    const Where root;
    if (!gradientStopsWithinLimit(j.find("gradients"), root.at("gradients"))) return false;
    if (j.find("gradients") || j.find("gradientPaints")) {
        Json gradients = Json::object();
        for (const char* k : {"gradients", "gradientPaints"}) {
            if (const Value v = j.find(k)) gradients[k] = toJson(v);
        }
        if (std::string e; !readGradientPaints(gradients, doc, e)) return fail(root, e);
    }
    return true;
}

bool Reader::documentKept(const Value& j, Document& doc) {
    const Where root;
    if (const Value kept = j.find("svg")) {
        if (!kept.isObject()) return fail(root.at("svg"), "expected an object");
        const Json k = toJson(kept);
        if (!keptSvg(KeptSvgOwner::Document, "svg", k, root)) return false;
        doc.setSvgKept(k.dump());
    }
    return true;
}

bool Reader::layer(const Value& l, const Where& where, size_t index, Document& doc, std::vector<LayerFlags>& flags) {
    Layer* layer = nullptr;
    if (!layerHead(l, where, index, doc, flags, layer)) return false;
    if (const Value arts = l.find("art")) {
        const Where wa = where.at("art");
        if (!arts.isArray()) return fail(wa, "expected an array");
        Value a = arts.first();
        for (size_t k = 0; k < arts.size(); ++k, a = a.next()) {
            if (!art(doc, a, wa[k], layer, nullptr, 0)) return false;
        }
    }
    return true;
}

bool Reader::layerHead(const Value& l, const Where& where, size_t index, Document& doc,
                       std::vector<LayerFlags>& flags, Layer*& layer) {
    if (!l.isObject()) return fail(where, "expected an object");
    std::string name = "Layer " + std::to_string(index + 1);
    if (const Value v = l.find("name"); v && !string(v, where.at("name"), name)) return false;
    bool visible = true, locked = false;
    if (const Value v = l.find("visible"); v && !boolean(v, where.at("visible"), visible)) return false;
    if (const Value v = l.find("locked"); v && !boolean(v, where.at("locked"), locked)) return false;
    doc.insertLayer(nullptr, kPlaceAboveAll, &layer, name);
    flags.push_back({layer, visible, locked});
    if (const Value kept = l.find("svg")) {
        if (!kept.isObject()) return fail(where.at("svg"), "expected an object");
        const Json k = toJson(kept);
        if (!keptSvg(KeptSvgOwner::Layer, "svg", k, where)) return false;
        doc.setLayerSvgKept(layer, k.dump());
    }
    return true;
}

// The layers are shown and locked as stored once all their art is read.
bool Reader::layers(const Value& j, Document& doc, std::vector<LayerFlags>& flags) {
    const Value layers = j.find("layers");
    const Where root;
    if (!layers) return fail(root, "missing \"layers\"");
    const Where wl = root.at("layers");
    if (!layers.isArray()) return fail(wl, "expected an array");
    Value l = layers.first();
    for (size_t i = 0; i < layers.size(); ++i, l = l.next()) {
        if (!layer(l, wl[i], i, doc, flags)) return false;
    }
    return true;
}

// Art without a stored id gets one above every stored id. Art is made in
// document order (each container before its members), so that is the order
// of unnumbered_.
void Reader::numberUnnumbered(Document& doc) {
    int64_t maxId = maxId_;
    for (Art* a : unnumbered_) {
        if (a->id() <= maxId) doc.setArtId(a, ++maxId);
    }
}

bool Reader::head(const Value& j, std::unique_ptr<Document>& doc) {
    if (!formatAndVersion(j)) return false;
    float w = 0, h = 0;
    if (!page(j, w, h)) return false;
    doc = std::make_unique<Document>(w, h);
    doc->keepHistory(false);  // until finish()
    return seed(j, *doc) && swatches(j, *doc) && gradients(j, *doc) && documentKept(j, *doc);
}

bool Reader::guides(const Value& g, Document& doc) {
    if (!g) return true;
    Json guides = Json::object();
    guides["guides"] = toJson(g);
    if (std::string e; !readGuides(guides, doc, e)) return fail(Where(), e);
    return true;
}

void Reader::finish(Document& doc, const std::vector<LayerFlags>& flags) {
    numberUnnumbered(doc);
    for (const LayerFlags& f : flags) {
        doc.setLayerVisible(f.layer, f.visible);
        doc.setLayerLocked(f.layer, f.locked);
    }
    doc.keepHistory(true);
    doc.clearHistory();
}

bool Reader::document(const Value& j, std::unique_ptr<Document>& out) {
    if (!j.isObject()) return fail(Where(), "expected a JSON object");
    std::unique_ptr<Document> doc;
    std::vector<LayerFlags> flags;
    if (!head(j, doc) || !layers(j, *doc, flags) || !guides(j.find("guides"), *doc)) return false;
    finish(*doc, flags);
    out = std::move(doc);
    return true;
}

}  // namespace easel::jsonread

namespace easel {

using jsonread::Json;

bool readDocumentJson(std::string_view text, std::unique_ptr<Document>& out, std::string& error, JsonReading how) {
    error.clear();
    try {
        // Most files are read a layer's art object at a time; the others,
        // and every file with a fault, are read whole, which refuses a
        // faulty file with the message it always gave.
        if (how == JsonReading::Streamed) {
            JsonStream stream(text);
            jsonread::Reader streamed(error);
            if (streamed.documentStreamed(stream, out)) return true;
            error.clear();
        }
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
            jsonread::fromJson(slow, parsed);
        }
        jsonread::Reader r(error);
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
