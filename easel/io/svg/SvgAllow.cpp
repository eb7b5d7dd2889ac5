#include "SvgAllow.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>
#include <vector>

#include "SvgShared.h"
#include "model/Paint.h"

namespace easel {

namespace {

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// A value as a browser reads a URL scheme in it: spaces and control
// characters left out, lower case.
std::string squeezed(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (static_cast<unsigned char>(c) > 0x20) out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

bool namesScript(std::string_view value) {
    const std::string v = squeezed(value);
    return v.find("javascript:") != std::string::npos || v.find("vbscript:") != std::string::npos;
}

std::string_view localName(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

const char* refusedElement(const std::string& name) {
    for (const char* s : {"script", "handler", "listener"}) {
        if (name == s) return "holding a script";
    }
    for (const char* s : {"iframe", "frame", "frameset", "embed", "object", "applet", "base", "meta", "link"}) {
        if (name == s) return "embedding a document";
    }
    return nullptr;
}

const char* text(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

// Whether a gradient element holds more stops than a gradient may have.
bool tooManyStops(const xmlNode* n, const std::string& name) {
    if (name != "lineargradient" && name != "radialgradient") return false;
    size_t stops = 0;
    for (const xmlNode* c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && lowered(text(c->name)) == "stop" && ++stops > kMaxGradientStops) return true;
    return false;
}

}  // namespace

std::string refusedSvgAttribute(std::string_view name, std::string_view value) {
    const std::string local = lowered(localName(name));
    if (local.rfind("on", 0) == 0) return "with event handlers";
    if (local == "attributename" && lowered(localName(squeezed(value))).rfind("on", 0) == 0)
        return "with event handlers";
    if (namesScript(value)) return "holding a script";
    return "";
}

std::string refusedSvgTree(const _xmlNode* element) {
    std::vector<const xmlNode*> stack{element};
    while (!stack.empty()) {
        const xmlNode* n = stack.back();
        stack.pop_back();
        if (!n) continue;
        if (n->type == XML_ENTITY_REF_NODE) return "using entities";
        if (n->type != XML_ELEMENT_NODE) continue;
        const std::string name = lowered(text(n->name));
        if (const char* why = refusedElement(name)) return why;
        if (tooManyStops(n, name))
            return "with a gradient of more than " + std::to_string(kMaxGradientStops) + " stops (the limit of a gradient)";
        for (const xmlAttr* a = n->properties; a; a = a->next) {
            std::string value;
            for (const xmlNode* c = a->children; c; c = c->next) {
                if (c->type == XML_ENTITY_REF_NODE) return "using entities";
                value += text(c->content);
            }
            if (std::string why = refusedSvgAttribute(text(a->name), value); !why.empty()) return why;
        }
        // A style sheet's URLs.
        if (name == "style") {
            for (const xmlNode* c = n->children; c; c = c->next) {
                if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && namesScript(text(c->content)))
                    return "holding a script";
            }
        }
        for (const xmlNode* c = n->children; c; c = c->next) stack.push_back(c);
    }
    return "";
}

bool allowedSvgText(std::string_view text) {
    const std::string wrapped = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">" +
                                std::string(text) + "</svg>";
    if (wrapped.size() > static_cast<size_t>(INT_MAX)) return false;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) return false;
    xmlDocPtr parsed = xmlCtxtReadMemory(ctxt, wrapped.data(), static_cast<int>(wrapped.size()), "kept.svg", nullptr,
                                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    const bool ok = parsed && ctxt->wellFormed && refusedSvgTree(xmlDocGetRootElement(parsed)).empty();
    if (parsed) xmlFreeDoc(parsed);
    xmlFreeParserCtxt(ctxt);
    return ok;
}

bool allowKeptSvg(nlohmann::ordered_json& m) {
    using Json = nlohmann::ordered_json;
    bool changed = false;
    auto attributes = [&](Json& owner, const char* key) {
        if (!owner.contains(key)) return;
        Json& at = owner[key];
        for (auto it = at.begin(); it != at.end();) {
            if (refusedSvgAttribute(it.key(), it.value().get_ref<const std::string&>()).empty()) {
                ++it;
            } else {
                it = at.erase(it);
                changed = true;
            }
        }
    };
    auto allowed = [](const Json& owner, const char* key) {
        return !owner.contains(key) || allowedSvgText(owner[key].get_ref<const std::string&>());
    };
    auto drop = [&](Json& owner, const char* key) {
        owner.erase(key);
        changed = true;
    };
    attributes(m, "svg");
    if (m.contains(kKeptKey)) {
        for (const char* k : {"before", "after", "inside"}) {
            if (!allowed(m[kKeptKey], k)) drop(m[kKeptKey], k);
        }
    }
    if (m.contains(kEffectsKey)) {
        attributes(m[kEffectsKey], "attributes");
        if (!allowed(m[kEffectsKey], "definitions")) drop(m[kEffectsKey], "definitions");
    }
    if (m.contains(kPaintKey)) {
        for (const char* k : {"fill", "stroke"}) {
            if (!m[kPaintKey].contains(k)) continue;
            const Json& r = m[kPaintKey][k];
            bool ok = allowed(r, "definitions");
            if (r.contains("tile")) {
                for (const auto& [name, v] : r["tile"].items())
                    ok = ok && refusedSvgAttribute(name, v.get_ref<const std::string&>()).empty();
            }
            if (!ok) drop(m[kPaintKey], k);
        }
    }
    if (m.contains(kTextKey)) {
        const Json& r = m[kTextKey];
        bool ok = allowed(r, "markup");
        if (r.contains("attributes")) {
            for (const auto& [name, v] : r["attributes"].items())
                ok = ok && refusedSvgAttribute(name, v.get_ref<const std::string&>()).empty();
        }
        if (!ok) drop(m, kTextKey);
    }
    if (!allowed(m, kSymbolDefinitionKey)) drop(m, kSymbolDefinitionKey);
    return changed;
}

}  // namespace easel
