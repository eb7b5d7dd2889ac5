#include "SvgPaint.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "model/Paint.h"
#include "SvgColor.h"

namespace easel::svg {

std::string svgTag(xmlNodePtr n) {
    if (!n || n->type != XML_ELEMENT_NODE) return {};
    if (n->ns && std::strcmp(reinterpret_cast<const char*>(n->ns->href), "http://www.w3.org/2000/svg") != 0) return {};
    return reinterpret_cast<const char*>(n->name);
}

std::string hrefOf(const AttrMap& at) {
    auto it = at.find("href");
    if (it == at.end()) it = at.find("xlink:href");
    return it == at.end() ? std::string() : std::string(trim(it->second));
}

PaintValue splitPaint(const std::string& value) {
    PaintValue p;
    const std::string_view v = trim(value);
    if (lower(v.substr(0, 4)) != "url(") {
        p.fallback = std::string(v);
        return p;
    }
    const size_t close = v.find(')');
    std::string ref(trim(v.substr(4, close == std::string_view::npos ? 0 : close - 4)));
    if (ref.size() >= 2 && (ref.front() == '"' || ref.front() == '\'')) ref = ref.substr(1, ref.size() - 2);
    p.reference = ref;
    p.fallback = close == std::string_view::npos ? "" : std::string(trim(v.substr(close + 1)));
    return p;
}

namespace {

// A number or percentage of a stop offset or opacity, clamped to 0..1.
double unitValue(const std::string& text, double dflt) {
    Length l;
    if (!parseLength(text, l) || (l.unit != "" && l.unit != "%")) return dflt;
    return std::clamp(l.unit == "%" ? l.value / 100 : l.value, 0.0, 1.0);
}

// The value an element gives `key` (attribute, then rules, then its style
// attribute), or empty.
std::string declaredValue(ElementReader& reader, xmlNodePtr n, const std::string& key) {
    const AttrMap at = reader.attributes(n);
    std::string value;
    if (const auto it = at.find(key); it != at.end()) value = it->second;
    for (const auto& [k, v] : reader.declarations(n, at))
        if (k == key) value = v;
    return std::string(trim(value));
}

// The value of `key` that "inherit" (or, for an inherited property, no
// value) on `n` takes from its ancestors: `dflt` when none gives one.
std::string inheritedValue(ElementReader& reader, xmlNodePtr n, const std::string& key, const std::string& dflt) {
    for (xmlNodePtr up = n->parent; up && up->type == XML_ELEMENT_NODE; up = up->parent) {
        const std::string v = declaredValue(reader, up, key);
        if (!v.empty() && lower(v) != "inherit") return v;
    }
    return dflt;
}

void readStops(ElementReader& reader, xmlNodePtr g, std::vector<GradientSpec::Stop>& stops) {
    for (xmlNodePtr s = g->children; s; s = s->next) {
        if (svgTag(s) != "stop") continue;
        // One past the limit tells the caller the gradient has too many.
        if (stops.size() > kMaxGradientStops) break;
        const AttrMap at = reader.attributes(s);
        // stop-color and stop-opacity are not inherited: attribute, then
        // rules, then the style attribute.
        std::string color = "black", opacity = "1";
        auto take = [&](const std::string& k, const std::string& v) {
            if (k == "stop-color") color = v;
            if (k == "stop-opacity") opacity = v;
        };
        for (const auto& [k, v] : at) take(k, v);
        for (const auto& [k, v] : reader.declarations(s, at)) take(k, v);
        if (lower(trim(color)) == "inherit") color = inheritedValue(reader, s, "stop-color", "black");
        if (lower(trim(opacity)) == "inherit") opacity = inheritedValue(reader, s, "stop-opacity", "1");
        GradientSpec::Stop stop;
        auto off = at.find("offset");
        stop.offset = off == at.end() ? 0 : unitValue(off->second, 0);
        if (!stops.empty()) stop.offset = std::max(stop.offset, stops.back().offset);
        std::string c = std::string(trim(color));
        if (lower(c) == "currentcolor") {
            // color is inherited: the stop's own, or its nearest ancestor's.
            c = declaredValue(reader, s, "color");
            if (c.empty() || lower(c) == "inherit") c = inheritedValue(reader, s, "color", "black");
        }
        auto parsed = parseCssColor(c);
        if (!parsed) parsed = parseCssColor("black");
        stop.r = parsed->r;
        stop.g = parsed->g;
        stop.b = parsed->b;
        stop.opacity = static_cast<double>(parsed->alpha) * unitValue(opacity, 1);
        if (auto e = at.find("data-easel-color"); e != at.end()) stop.exact = e->second;
        stops.push_back(stop);
    }
}

}  // namespace

std::optional<GradientSpec> readGradient(ElementReader& reader, xmlNodePtr element, const Note& note) {
    const std::string tag = svgTag(element);
    if (tag != "linearGradient" && tag != "radialGradient") return std::nullopt;
    GradientSpec g;
    g.radial = tag == "radialGradient";
    static const char* const linearNames[] = {"x1", "y1", "x2", "y2"};
    static const char* const radialNames[] = {"cx", "cy", "r", "fx", "fy", "fr"};
    const size_t count = g.radial ? 6 : 4;
    const char* const* names = g.radial ? radialNames : linearNames;
    bool have[6] = {};
    bool haveUnits = false, haveSpread = false, haveTransform = false, haveStops = false;
    std::set<xmlNodePtr> seen;
    for (xmlNodePtr n = element; n && seen.insert(n).second && seen.size() <= 16;) {
        const std::string t = svgTag(n);
        if (t != "linearGradient" && t != "radialGradient") break;
        const AttrMap at = reader.attributes(n);
        if (t == tag) {
            // Geometry passes only between gradients of one kind.
            for (size_t i = 0; i < count; ++i) {
                auto it = at.find(names[i]);
                Length l;
                if (have[i] || it == at.end() || !parseLength(it->second, l)) continue;
                have[i] = true;
                g.percent[i] = l.unit == "%";
                g.coords[i] = l.unit == "%" ? l.value / 100 : userLength(l, 1, 16);
            }
        }
        auto units = at.find("gradientUnits");
        if (!haveUnits && units != at.end()) {
            haveUnits = true;
            g.userSpace = trim(units->second) == "userSpaceOnUse";
        }
        auto spread = at.find("spreadMethod");
        if (!haveSpread && spread != at.end()) {
            haveSpread = true;
            const std::string_view s = trim(spread->second);
            g.spread = s == "reflect" ? 1 : s == "repeat" ? 2 : 0;
        }
        auto tr = at.find("gradientTransform");
        if (!haveTransform && tr != at.end()) {
            haveTransform = true;
            if (!parseTransform(tr->second, g.transform)) {
                note("gradientTransform \"" + tr->second + "\" not understood; gradient drawn untransformed");
                g.transform = Mat{};
            } else if (flattens(g.transform)) {
                // It flattens the gradient to a line: renderers paint the fallback instead.
                note("gradientTransform \"" + tr->second + "\" is singular; drawn as the paint's fallback colour");
            }
        }
        if (!haveStops) {
            readStops(reader, n, g.stops);
            haveStops = !g.stops.empty();
        }
        const std::string href = hrefOf(at);
        n = href.empty() ? nullptr : reader.byReference(href);
    }
    // Defaults: linear 0% 0% 100% 0%; radial 50% 50% 50%, focus on the centre.
    const double linearDefault[] = {0, 0, 1, 0};
    for (size_t i = 0; i < count; ++i) {
        if (have[i]) continue;
        if (!g.radial) {
            g.coords[i] = linearDefault[i];
            g.percent[i] = true;
        } else if (i < 3) {
            g.coords[i] = 0.5;
            g.percent[i] = true;
        } else if (i < 5) {
            g.coords[i] = g.coords[i - 3];
            g.percent[i] = g.percent[i - 3];
        } else {
            g.coords[i] = 0;
        }
    }
    return g;
}

}  // namespace easel::svg
