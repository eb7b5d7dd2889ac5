// What was kept from an imported SVG file, written back: attributes and
// their namespaces, elements easel does not draw, pattern paint the art
// still shows and text spans of unchanged text.
#include <libxml/parser.h>

#include <cmath>

#include "io/KeptSvg.h"
#include "SvgAllow.h"
#include "SvgShared.h"
#include "SvgWriter.h"

namespace easel::svgout {

namespace {

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

std::string Writer::extraText(const Art& a) {
    const auto k = keptSvgOf(a);
    return k->writtenExtra ? *k->writtenExtra : a.extra();
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
        // An element another definition holds (a shape inside a clip path that
        // a <use> elsewhere names) is written there only: an id written twice
        // would make the file read back without the effects that use it.
        if (id.empty() ? !effectDefsSeen_.insert(piece).second : definitionIds_.count(id) != 0) continue;
        noteIds(piece, definitionIds_);
        if (!id.empty()) definitionIds_.insert(id);
        effectDefs_.push_back(piece);
    }
    xmlFreeDoc(parsed);
}

void Writer::collectNamespaces(const KeptSvgAttributes& attributes) {
    for (const auto& [k, v] : attributes) {
        if (k.rfind("xmlns:", 0) != 0 || !isXmlName(k.substr(6)) || !refusedSvgAttribute(k, v).empty()) continue;
        const std::string prefix = k.substr(6);
        // The root declares these itself; another binding of them stays on its element.
        if (prefix == "xlink" || prefix == "inkscape" || prefix == "xml" || prefix == "xmlns") continue;
        // Only a namespace name the parser takes: the root's declarations
        // are part of every check of what is written (writable).
        const std::string declaration = " xmlns:" + prefix + "=\"" + xmlEscape(v, true) + "\"";
        if (!namespaces_.count(prefix) && writableSvgText("", declaration)) namespaces_.emplace(prefix, v);
    }
}

bool Writer::declared(const std::string& name, const std::set<std::string>& here) const {
    const size_t colon = name.find(':');
    if (colon == std::string::npos) return true;
    const std::string prefix = name.substr(0, colon);
    return prefix == "xmlns" || prefix == "xlink" || prefix == "inkscape" || prefix == "xml" ||
           namespaces_.count(prefix) || here.count(prefix);
}

void Writer::keptAttributes(const KeptSvgAttributes& attributes, Attrs& at) {
    // Namespaces declared on the element itself: those the root does not
    // bind the same way, and whose name the parser takes.
    std::set<std::string> here;
    for (const auto& [k, v] : attributes) {
        if (k.rfind("xmlns:", 0) != 0 || k == "xmlns:xml") continue;
        auto root = namespaces_.find(k.substr(6));
        if (root != namespaces_.end() && root->second == v) continue;
        if (isXmlName(k.substr(6)) && writableSvgText("", " " + k + "=\"" + xmlEscape(v, true) + "\""))
            here.insert(k.substr(6));
    }
    for (const auto& [k, value] : attributes) {
        if (!isXmlName(k.substr(k.find(':') + 1)) || easelOwnAttribute(k)) continue;
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

std::string Writer::groupTag(const Art& a) {
    const KeptSvgMembers& k = kept(a);
    return a.type() == kGroupArt && k.element && (*k.element == "a" || *k.element == "switch") ? *k.element : "g";
}

void Writer::passthrough(const Art& a, Attrs& at) {
    const KeptSvgMembers& ks = kept(a);
    if (ks.attributes) keptAttributes(*ks.attributes, at);
    // Kept markers, drawn in the space the path is written in.
    if (ks.effects && ks.effects->attributes) {
        for (const auto& [k, v] : *ks.effects->attributes) {
            if (k == "marker-start" || k == "marker-mid" || k == "marker-end") at.emplace_back(k, v);
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
    if (StrokeSpace stroke; (t == kPathArt || t == kCompoundPathArt) && strokeSpace(a, stroke)) {
        const AIRealMatrix& s = *a.effectSpace();
        const double sm[6] = {s.a, s.b, s.c, s.d, s.tx, s.ty};
        std::copy(sm, sm + 6, m);
    } else if (t == kTextPathArt) {
        m[3] = -1;
        m[5] = doc_.height();
    } else if (t == kTextArt || t == kPlacedArt || t == kRasterArt || t == kMeshArt || t == kSymbolArt) {
        const AIRealMatrix& o = a.objectMatrix();
        const double om[6] = {o.a, o.b, -o.c, -o.d, o.tx, o.ty};
        std::copy(om, om + 6, m);
        const KeptSvgText* spans = t == kTextArt ? keptSpans(a) : nullptr;
        if (spans) {
            const double shift[6] = {1, 0, 0, 1, -spans->origin->at(0), -spans->origin->at(1)};
            multiply(om, shift, m);
        }
    }
}

std::optional<std::string> Writer::patternTransform(const Art& a, const KeptSvgPattern& r) const {
    double u[6], inverse[6], m[6];
    userSpace(a, u);
    if (!r.transform || !invert(u, inverse)) return std::nullopt;
    // Pattern space to the user space the art is written in: through the
    // page, where the space the pattern was read in now lies.
    const AIRealMatrix* space = a.effectSpace();
    const double sm[6] = {space->a, space->b, space->c, space->d, space->tx, space->ty};
    multiply(sm, r.transform->data(), m);
    multiply(inverse, m, m);
    std::string transform = "matrix(";
    for (int i = 0; i < 6; ++i) {
        if (!std::isfinite(static_cast<float>(m[i]))) return std::nullopt;
        transform += formatNumber(m[i]) + (i == 5 ? ")" : " ");
    }
    return transform;
}

void Writer::collectPatterns(const Art& a) {
    if (!a.effectSpace()) return;
    const KeptSvgMembers& ks = kept(a);
    if (!ks.paint) return;
    // Written while the art still shows the colour it was read with.
    const AIPathStyle s = a.type() == kCompoundPathArt ? drawnStyle(a).style : a.style();
    for (const std::string key : {"fill", "stroke"}) {
        const bool fill = key == "fill";
        const std::optional<KeptSvgPattern>& r = fill ? ks.fill : ks.stroke;
        if (!r) continue;
        if (!(fill ? s.fillPaint : s.strokePaint) || r->color != "on " + colorText(fill ? s.fill.color : s.stroke.color))
            continue;
        if (!isXmlName(r->pattern) || !r->tile || !r->transform) continue;
        const std::optional<std::string> transform = patternTransform(a, *r);
        if (!transform) continue;
        const std::string id = "easel-pattern-" + std::to_string(a.id()) + "-" + key;
        Attrs pa{{"id", id}, {"href", "#" + r->pattern}, {"xlink:href", "#" + r->pattern}, {"patternUnits", "userSpaceOnUse"}};
        for (const char* k : {"x", "y", "width", "height", "viewBox"}) {
            if (const std::string* v = findKeptSvgAttribute(*r->tile, k)) pa.emplace_back(k, *v);
        }
        if (findKeptSvgAttribute(*r->tile, "viewBox")) pa.emplace_back("preserveAspectRatio", "none");
        pa.emplace_back("patternTransform", *transform);
        std::string def = "<pattern";
        for (const auto& [k, v] : pa) def += " " + k + "=\"" + xmlEscape(v, true) + "\"";
        def += "/>";
        addDefinitions(r->definitions);
        addDefinitions(def);
        patternIds_[{&a, key}] = id;
    }
}

const KeptSvgText* Writer::keptSpans(const Art& a) const {
    const std::optional<KeptSvgText>& r = kept(a).text;
    if (!r || r->text != a.object().text || !r->markup || !r->origin || !r->attributes) return nullptr;
    for (const auto& [k, v] : *r->attributes) {
        if (!isXmlName(k.substr(k.find(':') + 1))) return nullptr;
    }
    if (!writable(*r->markup)) return nullptr;
    return &*r;
}

void Writer::keptElements(const Art& a, const char* key, int indent) {
    const std::optional<KeptSvgMembers::Elements>& elements = kept(a).elements;
    if (!elements) return;
    const std::string_view which = key;
    const std::optional<std::string>& chosen = which == "before"  ? elements->before
                                               : which == "after" ? elements->after
                                                                  : elements->inside;
    if (!chosen) return;
    const std::string& text = *chosen;
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
            if (!v.is_string() || !isXmlName(k.substr(k.find(':') + 1)) || easelOwnAttribute(k) ||
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
