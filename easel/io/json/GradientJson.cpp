#include "io/json/GradientJson.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>

#include "io/json/DocumentJsonShared.h"

namespace easel {

using Json = nlohmann::ordered_json;

namespace {

Json number(float v) { return documentJsonNumber(v); }

const char* const kSpreads[] = {"pad", "reflect", "repeat"};

struct ColorKind {
    const char* name;
    int32_t kind;
    size_t values;
};
// Stops carry process colours only.
const ColorKind kStopKinds[] = {{"gray", kGrayColor, 1}, {"cmyk", kFourColor, 4}, {"rgb", kThreeColor, 3}};

}  // namespace

void writeGradientPaints(const Document& doc, Json& root) {
    if (doc.gradientPaintCount() == 0) return;
    std::map<const Gradient*, size_t> index;
    Json gradients = Json::array(), paints = Json::array();
    for (size_t i = 0; i < doc.gradientPaintCount(); ++i) {
        const GradientPaint& p = *doc.gradientPaint(static_cast<int32_t>(i));
        auto [it, added] = index.emplace(p.gradient.get(), gradients.size());
        if (added) {
            const Gradient& g = *p.gradient;
            Json coords = Json::array();
            for (size_t k = 0; k < (g.radial ? 6u : 4u); ++k) coords.push_back(number(g.coords[k]));
            Json stops = Json::array();
            for (const GradientStop& s : g.stops) {
                Json color{{"kind", "rgb"}, {"values", Json::array()}};
                for (const ColorKind& k : kStopKinds) {
                    if (k.kind != s.color.kind) continue;
                    color["kind"] = k.name;
                    for (size_t v = 0; v < k.values; ++v) color["values"].push_back(number(s.color.c[v]));
                }
                stops.push_back(Json{{"offset", number(s.offset)}, {"color", color}, {"opacity", number(s.opacity)}});
            }
            gradients.push_back(Json{{"type", g.radial ? "radial" : "linear"},
                                     {"coords", coords},
                                     {"spread", kSpreads[g.spread >= 0 && g.spread <= 2 ? g.spread : 0]},
                                     {"stops", stops}});
        }
        const AIRealMatrix& m = p.matrix;
        paints.push_back(Json{{"gradient", it->second},
                              {"matrix", Json::array({number(m.a), number(m.b), number(m.c), number(m.d),
                                                      number(m.tx), number(m.ty)})}});
    }
    root["gradients"] = gradients;
    root["gradientPaints"] = paints;
}

namespace {

// Reads the two lists; each error names its place ("gradients[1].stops[0]").
struct GradientReader {
    std::string& error;
    const Json empty = Json::array();

    bool fail(const std::string& where, const std::string& what) {
        error = where + ": " + what;
        return false;
    }
    bool real(const Json& j, const std::string& where, float& v) {
        if (!j.is_number()) return fail(where, "expected a number");
        v = j.get<float>();
        if (!std::isfinite(v)) return fail(where, "number out of range");
        return true;
    }
    bool gradient(const Json& j, const std::string& where, Gradient& g);
    bool stop(const Json& s, const std::string& where, Gradient& g);
    bool paint(const Json& p, const std::string& where, const std::vector<std::shared_ptr<const Gradient>>& defs,
               Document& doc);
};

bool GradientReader::gradient(const Json& j, const std::string& where, Gradient& g) {
    if (!j.is_object()) return fail(where, "expected an object");
    const std::string type = j.contains("type") && j["type"].is_string() ? j["type"].get<std::string>() : "";
    if (type != "linear" && type != "radial") return fail(where + ".type", "expected \"linear\" or \"radial\"");
    g.radial = type == "radial";
    const size_t n = g.radial ? 6 : 4;
    if (!j.contains("coords") || !j["coords"].is_array() || j["coords"].size() != n)
        return fail(where + ".coords", "expected " + std::to_string(n) + " numbers");
    for (size_t k = 0; k < n; ++k) {
        if (!real(j["coords"][k], where + ".coords[" + std::to_string(k) + "]", g.coords[k])) return false;
    }
    if (j.contains("spread")) {
        const std::string s = j["spread"].is_string() ? j["spread"].get<std::string>() : "";
        g.spread = -1;
        for (int32_t k = 0; k < 3; ++k) {
            if (s == kSpreads[k]) g.spread = k;
        }
        if (g.spread < 0) return fail(where + ".spread", "expected \"pad\", \"reflect\" or \"repeat\"");
    }
    const Json& stops = j.contains("stops") ? j["stops"] : empty;
    if (!stops.is_array()) return fail(where + ".stops", "expected an array");
    if (stops.size() > kMaxGradientStops)
        return fail(where + ".stops", "more than " + std::to_string(kMaxGradientStops) + " stops (the limit of a gradient)");
    for (size_t k = 0; k < stops.size(); ++k) {
        if (!stop(stops[k], where + ".stops[" + std::to_string(k) + "]", g)) return false;
    }
    return true;
}

bool GradientReader::stop(const Json& s, const std::string& ws, Gradient& g) {
    if (!s.is_object() || !s.contains("offset") || !s.contains("color"))
        return fail(ws, "expected {\"offset\", \"color\", \"opacity\"}");
    GradientStop stop;
    if (!real(s["offset"], ws + ".offset", stop.offset)) return false;
    if (s.contains("opacity") && !real(s["opacity"], ws + ".opacity", stop.opacity)) return false;
    if (stop.offset < 0 || stop.offset > 1 || stop.opacity < 0 || stop.opacity > 1)
        return fail(ws, "offset and opacity must be from 0 to 1");
    if (!g.stops.empty() && stop.offset < g.stops.back().offset) return fail(ws + ".offset", "below the previous stop's");
    const Json& c = s["color"];
    const ColorKind* kind = nullptr;
    for (const ColorKind& ck : kStopKinds) {
        if (c.is_object() && c.contains("kind") && c["kind"] == ck.name) kind = &ck;
    }
    if (!kind) return fail(ws + ".color", "expected a gray, cmyk or rgb colour");
    if (!c.contains("values") || !c["values"].is_array() || c["values"].size() != kind->values)
        return fail(ws + ".color.values", "expected " + std::to_string(kind->values) + " numbers");
    stop.color = AIColor{};
    stop.color.kind = kind->kind;
    for (size_t v = 0; v < kind->values; ++v) {
        if (!real(c["values"][v], ws + ".color.values[" + std::to_string(v) + "]", stop.color.c[v])) return false;
    }
    g.stops.push_back(stop);
    return true;
}

bool GradientReader::paint(const Json& p, const std::string& where,
                           const std::vector<std::shared_ptr<const Gradient>>& defs, Document& doc) {
    if (!p.is_object() || !p.contains("gradient") || !p["gradient"].is_number_unsigned() ||
        p["gradient"].get<uint64_t>() >= defs.size())
        return fail(where + ".gradient", "expected an index into \"gradients\"");
    if (!p.contains("matrix") || !p["matrix"].is_array() || p["matrix"].size() != 6)
        return fail(where + ".matrix", "expected 6 numbers");
    float m[6];
    for (size_t k = 0; k < 6; ++k) {
        if (!real(p["matrix"][k], where + ".matrix[" + std::to_string(k) + "]", m[k])) return false;
    }
    if (doc.addGradientPaint(defs[p["gradient"].get<size_t>()], AIRealMatrix{m[0], m[1], m[2], m[3], m[4], m[5]}) < 0)
        return fail(where, "not a usable paint");
    return true;
}

}  // namespace

bool readGradientPaints(const Json& root, Document& doc, std::string& error) {
    if (!root.contains("gradients") && !root.contains("gradientPaints")) return true;
    GradientReader r{error};
    const Json& gs = root.contains("gradients") ? root["gradients"] : r.empty;
    const Json& ps = root.contains("gradientPaints") ? root["gradientPaints"] : r.empty;
    if (!gs.is_array()) return r.fail("gradients", "expected an array");
    if (!ps.is_array()) return r.fail("gradientPaints", "expected an array");
    std::vector<std::shared_ptr<const Gradient>> defs;
    for (size_t i = 0; i < gs.size(); ++i) {
        auto g = std::make_shared<Gradient>();
        if (!r.gradient(gs[i], "gradients[" + std::to_string(i) + "]", *g)) return false;
        defs.push_back(std::move(g));
    }
    for (size_t i = 0; i < ps.size(); ++i) {
        if (!r.paint(ps[i], "gradientPaints[" + std::to_string(i) + "]", defs, doc)) return false;
    }
    return true;
}

}  // namespace easel
