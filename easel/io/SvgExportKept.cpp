// What was kept from an imported SVG file, written back: attributes and
// their namespaces, elements easel does not draw, pattern paint the art
// still shows and text spans of unchanged text.
#include <libxml/parser.h>

#include <cmath>

#include "KeptSvg.h"
#include "SvgAllow.h"
#include "SvgShared.h"
#include "SvgWriter.h"

namespace easel::svgout {

namespace {

// A string member of a checked object, empty when absent.
std::string textOf(const Json& o, const char* key) {
    const auto it = o.find(key);
    return it != o.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// m = a · b, both [a b c d e f] affine matrices.
void multiply(const double a[6], const double b[6], double m[6]) {
    const double r[6] = {a[0] * b[0] + a[2] * b[1], a[1] * b[0] + a[3] * b[1], a[0] * b[2] + a[2] * b[3],
                         a[1] * b[2] + a[3] * b[3], a[0] * b[4] + a[2] * b[5] + a[4], a[1] * b[4] + a[3] * b[5] + a[5]};
    std::copy(r, r + 6, m);
}

bool invert(const double m[6], double out[6]) {
    const double det = m[0] * m[3] - m[1] * m[2];
    if (!(std::abs(det) > 0) || !std::isfinite(det)) return false;
    out[0] = m[3] / det;
    out[1] = -m[1] / det;
    out[2] = -m[2] / det;
    out[3] = m[0] / det;
    out[4] = -(out[0] * m[4] + out[2] * m[5]);
    out[5] = -(out[1] * m[4] + out[3] * m[5]);
    return true;
}

}  // namespace

const Writer::KeptMembers& Writer::keptMembers(const Art& a) const {
    static const KeptMembers none;
    // Extras are written by dump(), keys spelled plainly: one without a
    // kept SVG member is written as it is.
    if (a.extra().find("\"svg") == std::string::npos) return none;
    auto [it, added] = keptCache_.try_emplace(a.extra());
    if (!added) return it->second;
    KeptMembers& k = it->second;
    Json extra = Json::parse(a.extra(), nullptr, false);
    if (!extra.is_object()) {
        k.changed = true;
        return k;
    }
    k.changed = dropMistypedKeptSvg(KeptSvgOwner::Art, extra);
    k.changed = allowKeptSvg(extra) || k.changed;
    k.members = std::move(extra);
    return k;
}

std::string Writer::extraText(const Art& a) const {
    const KeptMembers& k = keptMembers(a);
    if (!k.changed) return a.extra();
    return k.members.empty() ? std::string() : jsonText(k.members);
}

void Writer::noteIds(const std::string& text, std::set<std::string>& ids) {
    for (size_t p = text.find(" id="); p != std::string::npos; p = text.find(" id=", p + 1)) {
        const size_t from = p + 4;
        if (from >= text.size() || (text[from] != '"' && text[from] != '\'')) continue;
        const size_t to = text.find(text[from], from + 1);
        if (to != std::string::npos) ids.insert(text.substr(from + 1, to - from - 1));
    }
}

bool Writer::writable(const std::string& fragment) const {
    std::string declarations;
    for (const auto& [prefix, href] : namespaces_) declarations += " xmlns:" + prefix + "=\"" + xmlEscape(href, true) + "\"";
    return writableSvgText(fragment, declarations);
}

void Writer::addDefinitions(const std::string& text) {
    if (text.empty() || !effectDefsSeen_.insert(text).second) return;
    std::string root = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                       "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\">";
    const std::string wrapped = root + text + "</svg>";
    if (wrapped.size() > static_cast<size_t>(INT32_MAX)) return;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) return;
    xmlDocPtr parsed = xmlCtxtReadMemory(ctxt, wrapped.data(), static_cast<int>(wrapped.size()), "definitions.svg",
                                         nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    const bool ok = parsed && ctxt->wellFormed && ctxt->nsWellFormed;
    xmlFreeParserCtxt(ctxt);
    if (!ok) {
        if (parsed) xmlFreeDoc(parsed);
        return;
    }
    // Characters as they are, not as references.
    if (!parsed->encoding) parsed->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    // Art keeps each definition it uses with everything that one refers
    // to: definitions several art share are written once, by id.
    for (xmlNodePtr c = xmlDocGetRootElement(parsed)->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        xmlOutputBufferPtr out = xmlAllocOutputBuffer(nullptr);
        if (!out) break;
        xmlNodeDumpOutput(out, parsed, c, 0, 0, "UTF-8");
        xmlOutputBufferFlush(out);
        std::string piece(reinterpret_cast<const char*>(xmlOutputBufferGetContent(out)), xmlOutputBufferGetSize(out));
        xmlOutputBufferClose(out);
        std::string id;
        if (xmlChar* v = xmlGetNoNsProp(c, reinterpret_cast<const xmlChar*>("id"))) {
            id = reinterpret_cast<const char*>(v);
            xmlFree(v);
        }
        if (id.empty() ? effectDefsSeen_.insert(piece).second : definitionIds_.insert(id).second)
            effectDefs_.push_back(piece);
    }
    xmlFreeDoc(parsed);
}

void Writer::collectNamespaces(const Json& attributes) {
    if (!attributes.is_object()) return;
    for (const auto& [k, v] : attributes.items()) {
        if (k.rfind("xmlns:", 0) != 0 || !v.is_string() || !isXmlName(k.substr(6)) ||
            !refusedSvgAttribute(k, v.get_ref<const std::string&>()).empty())
            continue;
        const std::string prefix = k.substr(6);
        // The root declares these itself; another binding of them stays on its element.
        if (prefix == "xlink" || prefix == "inkscape" || prefix == "xml" || prefix == "xmlns") continue;
        // Only a namespace name the parser takes: the root's declarations
        // are part of every check of what is written (writable).
        const std::string declaration = " xmlns:" + prefix + "=\"" + xmlEscape(v.get<std::string>(), true) + "\"";
        if (!namespaces_.count(prefix) && writableSvgText("", declaration)) namespaces_.emplace(prefix, v.get<std::string>());
    }
}

bool Writer::declared(const std::string& name, const std::set<std::string>& here) const {
    const size_t colon = name.find(':');
    if (colon == std::string::npos) return true;
    const std::string prefix = name.substr(0, colon);
    return prefix == "xmlns" || prefix == "xlink" || prefix == "inkscape" || prefix == "xml" ||
           namespaces_.count(prefix) || here.count(prefix);
}

void Writer::keptAttributes(const Json& attributes, Attrs& at) {
    if (!attributes.is_object()) return;
    // Namespaces declared on the element itself: those the root does not
    // bind the same way, and whose name the parser takes.
    std::set<std::string> here;
    for (auto& [k, v] : attributes.items()) {
        if (k.rfind("xmlns:", 0) != 0 || !v.is_string() || k == "xmlns:xml") continue;
        auto root = namespaces_.find(k.substr(6));
        if (root != namespaces_.end() && root->second == v.get<std::string>()) continue;
        if (isXmlName(k.substr(6)) &&
            writableSvgText("", " " + k + "=\"" + xmlEscape(v.get<std::string>(), true) + "\""))
            here.insert(k.substr(6));
    }
    for (auto& [k, v] : attributes.items()) {
        if (!v.is_string() || !isXmlName(k.substr(k.find(':') + 1)) || k.rfind("data-easel", 0) == 0) continue;
        const std::string value = v.get<std::string>();
        if (!refusedSvgAttribute(k, value).empty()) continue;
        if (k.rfind("xmlns:", 0) == 0 && !here.count(k.substr(6))) continue;
        // An attribute of a namespace nothing declares would make the file unreadable.
        if (!declared(k, here)) continue;
        // An id goes to the first art that has it; copies go without.
        if (k == "id" && !ids_.insert(value).second) continue;
        bool replaced = false;
        for (auto& [name, current] : at) {
            if (name == k) {
                current = value;
                replaced = true;
            }
        }
        if (!replaced) at.emplace_back(k, value);
    }
}

bool Writer::isLink(const Art& a) {
    if (a.extra().find(kElementKey) == std::string::npos) return false;
    const Json& extra = kept(a);
    return extra.contains(kElementKey) && extra[kElementKey] == "a";
}

void Writer::passthrough(const Art& a, Attrs& at) {
    const Json& extra = kept(a);
    if (extra.contains("svg")) keptAttributes(extra["svg"], at);
    // Kept markers, drawn in the space the path is written in.
    if (extra.contains(kEffectsKey) && extra[kEffectsKey].is_object() && extra[kEffectsKey].contains("attributes") &&
        extra[kEffectsKey]["attributes"].is_object()) {
        for (const auto& [k, v] : extra[kEffectsKey]["attributes"].items()) {
            if (v.is_string() && (k == "marker-start" || k == "marker-mid" || k == "marker-end"))
                at.emplace_back(k, v.get<std::string>());
        }
    }
    for (const char* key : {"fill", "stroke"}) {
        auto id = patternIds_.find({&a, key});
        if (id == patternIds_.end()) continue;
        for (auto& [name, value] : at) {
            if (name == key) value = "url(#" + id->second + ") " + value;
        }
    }
}

void Writer::userSpace(const Art& a, double m[6]) const {
    const double identity[6] = {1, 0, 0, 1, 0, 0};
    std::copy(identity, identity + 6, m);
    const int16_t t = a.type();
    if (t == kTextPathArt) {
        m[3] = -1;
        m[5] = doc_.height();
    } else if (t == kTextArt || t == kPlacedArt || t == kRasterArt || t == kMeshArt || t == kSymbolArt) {
        const AIRealMatrix& o = a.objectMatrix();
        const double om[6] = {o.a, o.b, -o.c, -o.d, o.tx, o.ty};
        std::copy(om, om + 6, m);
        const Json spans = t == kTextArt ? keptSpans(a) : Json();
        if (!spans.is_null()) {
            const double shift[6] = {1, 0, 0, 1, -spans["origin"][0].get<double>(), -spans["origin"][1].get<double>()};
            multiply(om, shift, m);
        }
    }
}

void Writer::collectPatterns(const Art& a) {
    const AIRealMatrix* space = a.effectSpace();
    if (!space || a.extra().find(kPaintKey) == std::string::npos) return;
    const Json& extra = kept(a);
    if (!extra.contains(kPaintKey) || !extra[kPaintKey].is_object()) return;
    // Written while the art still shows the colour it was read with.
    const AIPathStyle s = a.type() == kCompoundPathArt ? drawnStyle(a).style : a.style();
    for (const std::string key : {"fill", "stroke"}) {
        const Json r = extra[kPaintKey].contains(key) ? extra[kPaintKey][key] : Json();
        if (!r.is_object()) continue;
        const bool fill = key == "fill";
        if (!(fill ? s.fillPaint : s.strokePaint) ||
            textOf(r, "color") != "on " + colorText(fill ? s.fill.color : s.stroke.color))
            continue;
        const std::string pattern = textOf(r, "pattern"), defs = textOf(r, "definitions");
        const Json tile = r.contains("tile") ? r["tile"] : Json();
        const Json t = r.contains("transform") ? r["transform"] : Json();
        if (!isXmlName(pattern) || !tile.is_object() || !t.is_array() || t.size() != 6) continue;
        double tm[6], u[6], inverse[6], m[6];
        bool ok = true;
        for (size_t i = 0; i < 6; ++i) {
            ok = ok && t[i].is_number();
            tm[i] = ok ? t[i].get<double>() : 0;
        }
        userSpace(a, u);
        if (!ok || !invert(u, inverse)) continue;
        // Pattern space to the user space the art is written in: through
        // the page, where the space the pattern was read in now lies.
        const double sm[6] = {space->a, space->b, space->c, space->d, space->tx, space->ty};
        multiply(sm, tm, m);
        multiply(inverse, m, m);
        std::string transform = "matrix(";
        for (int i = 0; i < 6; ++i) {
            ok = ok && std::isfinite(static_cast<float>(m[i]));
            transform += formatNumber(m[i]) + (i == 5 ? ")" : " ");
        }
        if (!ok) continue;
        const std::string id = "easel-pattern-" + std::to_string(a.id()) + "-" + key;
        Attrs pa{{"id", id}, {"href", "#" + pattern}, {"xlink:href", "#" + pattern}, {"patternUnits", "userSpaceOnUse"}};
        for (const char* k : {"x", "y", "width", "height", "viewBox"}) {
            if (tile.contains(k) && tile[k].is_string()) pa.emplace_back(k, tile[k].get<std::string>());
        }
        if (tile.contains("viewBox")) pa.emplace_back("preserveAspectRatio", "none");
        pa.emplace_back("patternTransform", transform);
        std::string def = "<pattern";
        for (const auto& [k, v] : pa) def += " " + k + "=\"" + xmlEscape(v, true) + "\"";
        def += "/>";
        addDefinitions(defs);
        addDefinitions(def);
        patternIds_[{&a, key}] = id;
    }
}

Json Writer::keptSpans(const Art& a) const {
    if (a.extra().find(kTextKey) == std::string::npos) return Json();
    const Json& extra = kept(a);
    const Json r = extra.contains(kTextKey) ? extra[kTextKey] : Json();
    if (!r.is_object() || textOf(r, "text") != a.object().text || !r.contains("markup") || !r["markup"].is_string() ||
        !r.contains("origin") || !r["origin"].is_array() || r["origin"].size() != 2 || !r["origin"][0].is_number() ||
        !r["origin"][1].is_number() || !r.contains("attributes") || !r["attributes"].is_object())
        return Json();
    for (const auto& [k, v] : r["attributes"].items()) {
        if (!v.is_string() || !isXmlName(k.substr(k.find(':') + 1))) return Json();
    }
    if (!writable(r["markup"].get<std::string>())) return Json();
    return r;
}

void Writer::keptElements(const Art& a, const char* key, int indent) {
    if (a.extra().find(kKeptKey) == std::string::npos) return;
    const Json& extra = kept(a);
    if (!extra.contains(kKeptKey) || !extra[kKeptKey].is_object()) return;
    const Json& elements = extra[kKeptKey];
    if (!elements.contains(key) || !elements[key].is_string()) return;
    const std::string text = elements[key].get<std::string>();
    if (text.empty() || !writable(text)) return;
    // Kept with copies of the art too: written once, as its ids are.
    std::set<std::string> ids;
    noteIds(text, ids);
    for (const std::string& id : ids) {
        if (ids_.count(id)) return;
    }
    ids_.insert(ids.begin(), ids.end());
    line(indent, text);
}

Attrs Writer::rootAttributes() {
    Json swatches = Json::array();
    for (size_t i = 0; i < doc_.swatchCount(); ++i) {
        const Swatch* s = doc_.swatch(i);
        swatches.push_back(Json{{"name", s->name}, {"color", colorText(s->color)}});
    }
    Attrs root{{"xmlns", "http://www.w3.org/2000/svg"},
               {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
               {"xmlns:inkscape", "http://www.inkscape.org/namespaces/inkscape"}};
    for (const auto& [prefix, href] : namespaces_) root.emplace_back("xmlns:" + prefix, href);
    const Attrs ours{{"width", num(doc_.width()) + "pt"},
                     {"height", num(doc_.height()) + "pt"},
                     {"viewBox", "0 0 " + num(doc_.width()) + " " + num(doc_.height())},
                     {"data-easel-format", "1"},
                     {"data-easel-seed", std::to_string(doc_.seed())},
                     {"data-easel-swatches", jsonText(swatches)}};
    root.insert(root.end(), ours.begin(), ours.end());
    // The imported file's other root attributes (editor settings, languages).
    const Json kept = doc_.svgKept().empty() ? Json() : Json::parse(doc_.svgKept(), nullptr, false);
    if (kept.is_object() && kept.contains("attributes") && kept["attributes"].is_object()) {
        for (const auto& [k, v] : kept["attributes"].items()) {
            if (!v.is_string() || !isXmlName(k.substr(k.find(':') + 1)) || k.rfind("data-easel", 0) == 0 ||
                k == "xmlns" || k.rfind("xmlns:", 0) == 0 || !declared(k) ||
                !refusedSvgAttribute(k, v.get_ref<const std::string&>()).empty())
                continue;
            bool taken = false;
            for (const auto& [name, value] : root) taken = taken || name == k;
            if (!taken) root.emplace_back(k, v.get<std::string>());
        }
    }
    return root;
}

}  // namespace easel::svgout
