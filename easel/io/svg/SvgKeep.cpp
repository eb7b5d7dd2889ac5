// What the reader keeps of a file to write it back: clip paths, masks,
// filters and markers with their definitions, the attributes and elements
// it does not draw, and the definitions nothing uses.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "io/KeptSvg.h"
#include "model/Names.h"
#include "SvgColor.h"
#include "SvgAllow.h"
#include "SvgImporter.h"
#include "SvgShared.h"

namespace easel::svg {

using Json = nlohmann::ordered_json;

void Importer::indexIds(xmlNodePtr root) {
    std::vector<xmlNodePtr> stack{root};
    size_t visited = 0;
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        if (++visited > 4 * lim_.maxObjects)
            throw Failure{"more than " + std::to_string(4 * lim_.maxObjects) + " elements (the limit)"};
        if (n->type != XML_ELEMENT_NODE) continue;
        if (xmlChar* id = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>("id"))) {
            if (!ids_.emplace(reinterpret_cast<const char*>(id), n).second)
                repeatedIds_.insert(reinterpret_cast<const char*>(id));
            xmlFree(id);
        }
        for (xmlNodePtr c = n->last; c; c = c->prev) stack.push_back(c);
    }
}

bool Importer::usesRepeatedId(xmlNodePtr root) const {
    if (repeatedIds_.empty()) return false;
    std::vector<xmlNodePtr> stack{root};
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        if (n->type != XML_ELEMENT_NODE) continue;
        if (xmlChar* id = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>("id"))) {
            const bool repeated = repeatedIds_.count(reinterpret_cast<const char*>(id)) != 0;
            xmlFree(id);
            if (repeated) return true;
        }
        for (xmlNodePtr c = n->children; c; c = c->next) stack.push_back(c);
    }
    return false;
}

// The element as text, in UTF-8.
std::string Importer::dump(xmlNodePtr n) {
    xmlOutputBufferPtr out = xmlAllocOutputBuffer(nullptr);
    if (!out) throw Failure{"out of memory"};
    xmlNodeDumpOutput(out, x_, n, 0, 0, "UTF-8");
    xmlOutputBufferFlush(out);
    std::string text(reinterpret_cast<const char*>(xmlOutputBufferGetContent(out)), xmlOutputBufferGetSize(out));
    xmlOutputBufferClose(out);
    return text;
}

bool Importer::collectDefinitions(std::vector<xmlNodePtr> defs, size_t baked, std::string& text,
                                  const std::map<xmlNodePtr, Mat>& markerSpaces) {
    // The definitions and every element they refer to, each once.
    std::set<xmlNodePtr> seen;
    std::vector<std::pair<xmlNodePtr, std::string>> written;
    // What the given ones refer to carries what it inherits too when they
    // do: written alike wherever it is first met, it is written once.
    const size_t given = defs.size();
    for (size_t i = 0; i < defs.size(); ++i) {
        if (!seen.insert(defs[i]).second) continue;
        if (seen.size() > 256) {
            note("definitions referring to more than 256 others not kept; drawn without them");
            return false;
        }
        // Written out, an id given twice would refer to whichever copy comes
        // first in the written file, not to the one read here.
        if (usesRepeatedId(defs[i])) {
            note("clip path, mask, filter, marker or pattern using an id the file gives to more than one element not "
                 "kept; drawn without it");
            return false;
        }
        if (const std::string why = unkeepable(defs[i]); !why.empty()) {
            note("definition <" + name(defs[i]) + "> " + why + " not kept; drawn without it");
            return false;
        }
        auto space = markerSpaces.find(defs[i]);
        const bool bake = i < baked || (baked == given && i >= given);
        const std::string def = standalone(defs[i], bake, space == markerSpaces.end() ? nullptr : &space->second);
        for (const char* marker : {"url(#", "href=\"#"}) {
            for (size_t p = def.find(marker); p != std::string::npos; p = def.find(marker, p + 1)) {
                const size_t from = p + std::strlen(marker) - 1;
                size_t to = from + 1;
                while (to < def.size() && def[to] != ')' && def[to] != '"' && def[to] != '\'' && !isWsp(def[to])) ++to;
                if (xmlNodePtr r = byReference(def.substr(from, to - from))) defs.push_back(r);
            }
        }
        written.emplace_back(defs[i], def);
    }
    // An element inside another one kept here is written with it: written
    // again on its own, its id would be given twice.
    for (const auto& [node, def] : written) {
        bool inside = false;
        for (xmlNodePtr up = node->parent; up && !inside; up = up->parent) inside = seen.count(up) != 0;
        if (!inside) text += def;
    }
    // The definitions go into files with only these namespaces declared.
    if (!writableSvgText(text)) {
        note("clip path, mask, filter, marker or pattern that cannot be written alone not kept; drawn without it");
        return false;
    }
    written_.insert(seen.begin(), seen.end());
    return true;
}

void Importer::keepEffects(Art* a, const Props& own, const Mat& space, const Props* markers, const Mat* pathSpace,
                           bool markersAsTheyAre) {
    static const std::pair<const char*, const char*> kinds[] = {
        {"clip-path", "clipPath"}, {"mask", "mask"}, {"filter", "filter"}};
    auto given = [](const Props& p, const char* key) {
        const auto it = p.find(key);
        return it != p.end() && !trim(it->second).empty();
    };
    if (!given(own, "clip-path") && !given(own, "mask") && !given(own, "filter") &&
        (!markers || (!given(*markers, "marker") && !given(*markers, "marker-start") &&
                      !given(*markers, "marker-mid") && !given(*markers, "marker-end"))))
        return;
    Json attrs = Json::object();
    std::vector<xmlNodePtr> defs;
    auto take = [&](const std::string& property, const std::string& tag, const std::string& value) {
        const std::string ref = splitPaint(value).reference;
        xmlNodePtr target = byReference(ref);
        if (!target || name(target) != tag) {
            note(property + " \"" + value + "\" not found or not supported; drawn without it");
            return;
        }
        attrs[property] = "url(" + ref + ")";
        defs.push_back(target);
    };
    for (const auto& [property, tag] : kinds) {
        auto it = own.find(property);
        if (it == own.end()) continue;
        const std::string value(trim(it->second));
        if (value.empty() || lower(value) == "none") continue;
        take(property, tag, value);
    }
    const size_t effects = defs.size();
    for (size_t i = 0; i < effects; ++i)
        if (name(defs[i]) == "filter") filterNotes(defs[i], own);
    if (markers) {
        // Markers inherit: the path's own or its ancestors'; "marker" sets all three.
        auto all = markers->find("marker");
        for (const char* property : {"marker-start", "marker-mid", "marker-end"}) {
            auto it = markers->find(property);
            if (it == markers->end()) it = all;
            if (it == markers->end()) continue;
            const std::string value(trim(it->second));
            if (value.empty() || lower(value) == "none") continue;
            take(property, "marker", value);
        }
    }
    if (attrs.empty()) return;
    const AIRealMatrix m = toReal(space);
    // Under a transform that flattens the art to a line the effect has no
    // place of its own to be drawn in.
    if (double inverse[6]; !invertEffectSpace(m, inverse)) {
        note("clip path, mask, filter or marker on art flattened to a line not kept; drawn without it");
        return;
    }
    // Markers drawn where the art is written, in the page's space, keep
    // their look in the file's: each gets a variant for the space it is
    // drawn in (mirrored back, its fixed angle turned), named after it.
    std::map<xmlNodePtr, Mat> spaces;
    for (size_t i = effects; i < defs.size() && !markersAsTheyAre; ++i) {
        const Mat& drawnIn = pathSpace ? *pathSpace : space;
        const std::string suffix = markerVariant(defs[i], drawnIn).suffix;
        if (suffix.empty()) continue;
        spaces[defs[i]] = drawnIn;
        const std::string from = "url(#" + idOf(defs[i]) + ")";
        for (auto& [k, v] : attrs.items()) {
            if (k.rfind("marker", 0) == 0 && v.get<std::string>() == from) v = "url(#" + idOf(defs[i]) + suffix + ")";
        }
    }
    std::string text;
    if (!collectDefinitions(defs, defs.size(), text, spaces)) return;
    if (doc_->setEffectSpace(a, &m) != kNoErr) {
        note("clip path, mask, filter or marker with coordinates out of range not kept; drawn without it");
        return;
    }
    Json extra = a->extra().empty() ? Json::object() : Json::parse(a->extra(), nullptr, false);
    if (!extra.is_object()) extra = Json::object();
    extra[kEffectsKey] = Json{{"attributes", attrs}, {"definitions", text}};
    doc_->setExtra(a, extra.dump());
}

void Importer::filterNotes(xmlNodePtr filter, const Props& own) {
    bool scalesWithOpacity = true;
    for (xmlNodePtr p = filter->children; p; p = p->next) {
        if (p->type != XML_ELEMENT_NODE || !isSvg(p)) continue;
        const std::string primitive = name(p);
        scalesWithOpacity = scalesWithOpacity && (primitive == "feGaussianBlur" || primitive == "feOffset");
        if (primitive == "feConvolveMatrix")
            note("feConvolveMatrix drawn on the pixels of the space the art is written in");
        for (const char* input : {"in", "in2"}) {
            std::string from;
            if (xmlChar* v = xmlGetNoNsProp(p, reinterpret_cast<const xmlChar*>(input))) {
                from = std::string(trim(reinterpret_cast<const char*>(v)));
                xmlFree(v);
            }
            if (from == "BackgroundImage" || from == "BackgroundAlpha")
                note("filter input " + from + " (what is drawn behind) taken behind the art as written");
        }
    }
    // The art's opacity is written on the art, inside the filter that the
    // file applies before it: alike only for filters that scale with it.
    if (const auto o = own.find("opacity"); o != own.end() && !scalesWithOpacity) {
        Length l;
        if (parseLength(o->second, l) && l.value != (l.unit == "%" ? 100 : 1))
            note("opacity of art with a filter applied before the filter, not after");
    }
}

void Importer::keepAttributes(Art* a, const Json& attrs) {
    if (!attrs.is_object() || attrs.empty()) return;
    Json extra = a->extra().empty() ? Json::object() : Json::parse(a->extra(), nullptr, false);
    if (!extra.is_object()) extra = Json::object();
    if (!extra.contains("svg") || !extra["svg"].is_object()) extra["svg"] = Json::object();
    for (const auto& [k, v] : attrs.items()) extra["svg"][k] = v;
    doc_->setExtra(a, extra.dump());
}


std::string Importer::idOf(xmlNodePtr n) {
    std::string id;
    if (xmlChar* v = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>("id"))) {
        id = reinterpret_cast<const char*>(v);
        xmlFree(v);
    }
    return id;
}

namespace {

// A number attribute of an element, `fallback` when it has none or it is
// not a plain number.
double numberAttribute(xmlNodePtr n, const char* key, double fallback) {
    xmlChar* v = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>(key));
    if (!v) return fallback;
    std::string text(trim(reinterpret_cast<const char*>(v)));
    xmlFree(v);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, "deg") == 0) text.resize(text.size() - 3);
    double out = fallback;
    return parseFloat(text, out) ? out : fallback;
}

std::string attribute(xmlNodePtr n, const char* key) {
    xmlChar* v = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>(key));
    if (!v) return "";
    std::string text(trim(reinterpret_cast<const char*>(v)));
    xmlFree(v);
    return text;
}


void setProperty(xmlNodePtr e, const std::string& k, const std::string& v) {
    xmlSetProp(e, reinterpret_cast<const xmlChar*>(k.c_str()), reinterpret_cast<const xmlChar*>(v.c_str()));
}

// Makes the copy (in a document whose root declares `declared`) use the
// root's declarations of the namespaces it shares with the root, and drops
// its own declarations of those.
void useRootNamespaces(xmlNodePtr copy, const xmlNsPtr (&declared)[3]) {
    auto rootOne = [&](xmlNsPtr ns) -> xmlNsPtr {
        for (xmlNsPtr d : declared) {
            if (ns && d && xmlStrEqual(ns->href, d->href) && xmlStrEqual(ns->prefix, d->prefix)) return d;
        }
        return nullptr;
    };
    for (std::vector<xmlNodePtr> stack{copy}; !stack.empty();) {
        xmlNodePtr e = stack.back();
        stack.pop_back();
        if (e->type != XML_ELEMENT_NODE) continue;
        if (xmlNsPtr r = rootOne(e->ns)) e->ns = r;
        for (xmlAttrPtr a = e->properties; a; a = a->next) {
            if (xmlNsPtr r = rootOne(a->ns)) a->ns = r;
        }
        for (xmlNodePtr c = e->children; c; c = c->next) stack.push_back(c);
    }
    for (xmlNsPtr* link = &copy->nsDef; *link;) {
        xmlNsPtr d = *link;
        if (rootOne(d)) {
            *link = d->next;
            d->next = nullptr;
            xmlFreeNs(d);
        } else {
            link = &d->next;
        }
    }
}

}  // namespace

Importer::MarkerVariant Importer::markerVariant(xmlNodePtr marker, const Mat& space) {
    MarkerVariant v;
    if (idOf(marker).empty()) return v;
    v.mirrored = space.a * space.d - space.b * space.c < 0;
    const double turn = std::atan2(space.b, space.a) * 180 / M_PI;
    // A fixed angle is measured in the path's space: turned with it, and
    // the other way round where it mirrors.
    const std::string orient = attribute(marker, "orient");
    if (orient != "auto" && orient != "auto-start-reverse") {
        const double angle = numberAttribute(marker, "orient", 0);
        const double turned = v.mirrored ? turn - angle : turn + angle;
        if (std::abs(turned - angle) > 1e-9) v.angle = std::abs(turned) < 1e-9 ? 0.0 : turned;
    }
    // Sizes in user units take the space's scale; stroke widths have it already.
    if (attribute(marker, "markerUnits") == "userSpaceOnUse") {
        const double scale = std::sqrt(std::abs(space.a * space.d - space.b * space.c));
        if (std::abs(scale - 1) > 1e-9 && std::isfinite(scale) && scale > 0) v.scale = scale;
    }
    if (v.mirrored) v.suffix += "m";
    if (v.angle) v.suffix += "a" + formatNumber(*v.angle);
    if (v.scale != 1) v.suffix += "s" + formatNumber(v.scale);
    if (!v.suffix.empty()) v.suffix = "-easel-" + v.suffix;
    return v;
}

void Importer::applyMarkerVariant(xmlNodePtr marker, xmlNodePtr copy, const MarkerVariant& v) {
    auto set = [](xmlNodePtr e, const std::string& k, const std::string& value) {
        xmlSetProp(e, reinterpret_cast<const xmlChar*>(k.c_str()), reinterpret_cast<const xmlChar*>(value.c_str()));
    };
    if (v.angle) set(copy, "orient", formatNumber(*v.angle));
    const double width = numberAttribute(marker, "markerWidth", 3), height = numberAttribute(marker, "markerHeight", 3);
    const double refY = numberAttribute(marker, "refY", 0);
    // The viewport, in the contents' units: the viewBox, or the marker's size.
    double box[4] = {0, 0, width, height};
    const std::string viewBox = attribute(marker, "viewBox");
    Scanner sc{viewBox};
    double given[4];
    bool hasBox = true;
    for (double& g : given) hasBox = hasBox && sc.number(g), sc.skipSep();
    if (hasBox && given[2] > 0 && given[3] > 0) std::copy(given, given + 4, box);
    if (v.mirrored) {
        // Contents and viewport (its clip) mirrored across the horizontal
        // line through the reference point.
        box[1] = 2 * refY - box[1] - box[3];
        xmlNodePtr g = xmlNewDocNode(copy->doc, copy->ns, reinterpret_cast<const xmlChar*>("g"), nullptr);
        if (!g) throw Failure{"out of memory"};
        set(g, "transform", "matrix(1 0 0 -1 0 " + formatNumber(2 * refY) + ")");
        while (xmlNodePtr c = copy->children) {
            xmlUnlinkNode(c);
            xmlAddChild(g, c);
        }
        xmlAddChild(copy, g);
    }
    if (v.mirrored || v.scale != 1) {
        set(copy, "viewBox", formatNumber(box[0]) + " " + formatNumber(box[1]) + " " + formatNumber(box[2]) + " " +
                                 formatNumber(box[3]));
        set(copy, "markerWidth", formatNumber(width * v.scale));
        set(copy, "markerHeight", formatNumber(height * v.scale));
    }
    set(copy, "id", idOf(marker) + v.suffix);
    renameInnerIds(copy, v.suffix);
}

// The ids inside a marker's variant take its suffix, and so do the references
// to them inside it: the variant stands beside the marker it copies, and a
// file with an id twice loses both.
void Importer::renameInnerIds(xmlNodePtr copy, const std::string& suffix) {
    std::vector<std::string> ids;
    std::vector<xmlNodePtr> stack{copy->children};
    std::vector<xmlNodePtr> elements;
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        for (; n; n = n->next) {
            if (n->type != XML_ELEMENT_NODE) continue;
            elements.push_back(n);
            if (n->children) stack.push_back(n->children);
        }
    }
    for (xmlNodePtr e : elements) {
        const std::string id = idOf(e);
        if (id.empty()) continue;
        ids.push_back(id);
        xmlSetProp(e, reinterpret_cast<const xmlChar*>("id"), reinterpret_cast<const xmlChar*>((id + suffix).c_str()));
    }
    if (ids.empty()) return;
    for (xmlNodePtr e : elements) {
        for (xmlAttrPtr a = e->properties; a; a = a->next) {
            xmlChar* raw = xmlNodeListGetString(e->doc, a->children, 1);
            if (!raw) continue;
            std::string value = reinterpret_cast<const char*>(raw);
            xmlFree(raw);
            std::string changed = value;
            for (const std::string& id : ids) {
                if (changed == "#" + id) changed += suffix;
                for (size_t at = 0; (at = changed.find("url(#" + id + ")", at)) != std::string::npos;) {
                    changed.insert(at + 5 + id.size(), suffix);
                    at += 5 + id.size() + suffix.size();
                }
            }
            if (changed != value) xmlSetNsProp(e, a->ns, a->name, reinterpret_cast<const xmlChar*>(changed.c_str()));
        }
    }
}

std::string Importer::unkeepable(xmlNodePtr root) const { return refusedSvgTree(root); }

void Importer::writeSheetRules(xmlNodePtr n, xmlNodePtr copy) {
    // The style sheet's rules go into the style attributes, with what
    // those say themselves, in the order of the cascade (the last wins).
    std::vector<std::pair<xmlNodePtr, xmlNodePtr>> stack{{n, copy}};
    while (!stack.empty()) {
        auto [from, to] = stack.back();
        stack.pop_back();
        if (from->type != XML_ELEMENT_NODE || !to || to->type != XML_ELEMENT_NODE) continue;
        const AttrMap at = attributes(from);
        auto style = at.find("style");
        const std::string_view own = style == at.end() ? std::string_view() : std::string_view(style->second);
        std::string all;
        size_t taken = 0;
        sheet_.cascade(from, own, [&](const std::string& k, const std::string& v) {
            all += k + ":" + v + ";";
            ++taken;
        });
        // Only the style attribute's own declarations: left as written.
        if (taken != parseDeclarations(own).size()) setProperty(to, "style", all);
        xmlNodePtr t = to->children;
        for (xmlNodePtr f = from->children; f; f = f->next, t = t ? t->next : nullptr) stack.emplace_back(f, t);
    }
}

void Importer::bakeInherited(xmlNodePtr n, xmlNodePtr copy) {
    const Note quiet = [](const std::string&) {};
    std::vector<xmlNodePtr> chain;
    for (xmlNodePtr p = n->parent; p && p->type == XML_ELEMENT_NODE; p = p->parent) chain.push_back(p);
    Props inherited;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        inherited = inherit(inherited, declaredProperties(*it, attributes(*it), sheet_, quiet));
    const Props mine = declaredProperties(n, attributes(n), sheet_, quiet);
    for (const auto& [k, v] : inherited) {
        if (!mine.count(k) && k != "marker") setProperty(copy, k, v);
    }
}

std::string Importer::standalone(xmlNodePtr n, bool bake, const Mat* markerSpace) {
    // A scratch document whose root declares what every written file
    // declares: the copy declares on itself only the namespaces it adds.
    xmlDocPtr scratch = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!scratch) throw Failure{"out of memory"};
    struct FreeDoc {
        xmlDocPtr d;
        ~FreeDoc() { xmlFreeDoc(d); }
    } freeScratch{scratch};
    scratch->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    xmlNodePtr root = xmlNewDocNode(scratch, nullptr, reinterpret_cast<const xmlChar*>("svg"), nullptr);
    if (!root) throw Failure{"out of memory"};
    xmlDocSetRootElement(scratch, root);
    const xmlNsPtr declared[] = {
        xmlNewNs(root, reinterpret_cast<const xmlChar*>(kSvgNs), nullptr),
        xmlNewNs(root, reinterpret_cast<const xmlChar*>(kXlinkNs), reinterpret_cast<const xmlChar*>("xlink")),
        xmlNewNs(root, reinterpret_cast<const xmlChar*>(kInkscapeNs), reinterpret_cast<const xmlChar*>("inkscape"))};
    xmlSetNs(root, declared[0]);
    // The copy declares every namespace it uses; those the root declares
    // already are then dropped from it.
    xmlNodePtr copy = xmlDocCopyNode(n, scratch, 1);
    if (!copy) throw Failure{"out of memory"};
    xmlAddChild(root, copy);
    useRootNamespaces(copy, declared);
    if (!sheet_.empty()) writeSheetRules(n, copy);
    // What the element inherits where it stands, written on it.
    if (bake) bakeInherited(n, copy);
    if (markerSpace) applyMarkerVariant(n, copy, markerVariant(n, *markerSpace));
    placeUserSpaceRegion(n, copy);
    xmlOutputBufferPtr out = xmlAllocOutputBuffer(nullptr);
    if (!out) throw Failure{"out of memory"};
    xmlNodeDumpOutput(out, scratch, copy, 0, 0, "UTF-8");
    xmlOutputBufferFlush(out);
    std::string text(reinterpret_cast<const char*>(xmlOutputBufferGetContent(out)), xmlOutputBufferGetSize(out));
    xmlOutputBufferClose(out);
    return text;
}

void Importer::placeUserSpaceRegion(xmlNodePtr n, xmlNodePtr copy) {
    if (!isSvg(n) || (name(n) != "filter" && name(n) != "mask")) return;
    const char* unitsKey = name(n) == "filter" ? "filterUnits" : "maskUnits";
    xmlChar* units = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>(unitsKey));
    const bool user = units && trim(reinterpret_cast<const char*>(units)) == "userSpaceOnUse";
    if (units) xmlFree(units);
    if (!user) return;
    // The region in user space: percentages (the defaults among them) are
    // of the viewport where the art stands, which the written page is not.
    static const std::pair<const char*, const char*> kRegion[] = {
        {"x", "-10%"}, {"y", "-10%"}, {"width", "120%"}, {"height", "120%"}};
    for (const auto& [k, dflt] : kRegion) {
        xmlChar* v = xmlGetNoNsProp(n, reinterpret_cast<const xmlChar*>(k));
        const std::string given = v ? reinterpret_cast<const char*>(v) : dflt;
        if (v) xmlFree(v);
        Length l;
        if (!parseLength(given, l) || l.unit != "%") continue;
        const bool across = k[0] == 'x' || k[0] == 'w';
        const double of = across ? viewportW_ : viewportH_;
        xmlSetProp(copy, reinterpret_cast<const xmlChar*>(k),
                   reinterpret_cast<const xmlChar*>(formatNumber(userLength(l, of, 16)).c_str()));
    }
}

void Importer::keepUnknownAttributes(Art* a, xmlNodePtr n, const AttrMap& at) {
    // A layer's group keeps them with the layer.
    if (n == layerGroup_) return;
    keepAttributes(a, unknownAttributes(n, at));
    // A link or a switch is a group that is written back as the element it was.
    if (a->type() == kGroupArt && isSvg(n) && (name(n) == "a" || name(n) == "switch")) {
        Json extra = a->extra().empty() ? Json::object() : Json::parse(a->extra(), nullptr, false);
        if (!extra.is_object()) extra = Json::object();
        extra[kElementKey] = name(n);
        doc_->setExtra(a, extra.dump());
    }
}

Json Importer::unknownAttributes(xmlNodePtr n, const AttrMap& at) {
    // What the reader interprets: geometry, references, style, its own data.
    // Conditions (which <switch> settles when read) would hide the art
    // written back outside its switch. A link's target is kept.
    const bool link = isSvg(n) && name(n) == "a";
    static const std::set<std::string> read{"style", "class", "transform", "d", "x", "y", "width", "height", "rx",
                                            "ry", "cx", "cy", "r", "x1", "y1", "x2", "y2", "points", "href",
                                            "xlink:href", "viewBox", "preserveAspectRatio", "xml:space", "pathLength",
                                            "systemLanguage", "requiredFeatures", "requiredExtensions"};
    // Those and the properties, in one table: this runs for every element.
    static const std::unordered_set<std::string_view> interpreted = [] {
        std::unordered_set<std::string_view> s(read.begin(), read.end());
        s.insert(inheritedProperties().begin(), inheritedProperties().end());
        s.insert(ownProperties().begin(), ownProperties().end());
        return s;
    }();
    // The child a switch chose keeps its conditions, so that the switch
    // written back chooses as the file's did in any viewer's language.
    const bool chosen = n->parent && n->parent->type == XML_ELEMENT_NODE && isSvg(n->parent) && name(n->parent) == "switch";
    auto condition = [](const std::string& k) {
        return k == "systemLanguage" || k == "requiredFeatures" || k == "requiredExtensions";
    };
    Json keep = Json::object();
    bool handlers = false;
    for (const auto& [k, v] : at) {
        if (easelOwnAttribute(k) ||
            (interpreted.count(k) && !(link && (k == "href" || k == "xlink:href")) && !(chosen && condition(k))))
            continue;
        // Ids this system gives the definitions it writes are given anew.
        if (k == "id" && v.rfind("easel-", 0) == 0) continue;
        if (!writableName(k)) continue;
        if (!refusedSvgAttribute(k, v).empty()) {
            handlers = true;
            continue;
        }
        const size_t colon = k.find(':');
        if (colon != std::string::npos) {
            const std::string prefix = k.substr(0, colon);
            if (prefix != "xlink" && prefix != "xml" && prefix != "inkscape") {
                // The namespace goes with the attribute; the writer declares it on the root.
                xmlNsPtr ns = xmlSearchNs(x_, n, reinterpret_cast<const xmlChar*>(prefix.c_str()));
                if (!writableNamespace(prefix, ns)) continue;
                keep["xmlns:" + prefix] = reinterpret_cast<const char*>(ns->href);
            }
        }
        keep[k] = v;
    }
    if (handlers) note("event handler attributes and javascript: links not kept (scripts are not allowed)");
    return keep;
}

bool Importer::writableName(const std::string& name) {
    const size_t colon = name.find(':');
    if (isXmlName(std::string_view(name).substr(colon + 1)) &&
        (colon == std::string::npos || isXmlName(std::string_view(name).substr(0, colon))))
        return true;
    note("attributes named other than in ASCII letters, digits, '-', '.' and '_' not kept");
    return false;
}

bool Importer::writableNamespace(const std::string& prefix, xmlNsPtr ns) {
    if (!ns || !ns->href) return false;
    const std::string href = reinterpret_cast<const char*>(ns->href);
    auto [it, added] = writableNamespaces_.try_emplace(prefix + " " + href, false);
    if (added) {
        it->second = writableSvgText("", " xmlns:" + prefix + "=\"" + xmlEscape(href, true) + "\"");
        if (!it->second) note("attributes of namespace \"" + href + "\" not kept (its name is not a URI)");
    }
    return it->second;
}

void Importer::keepLayerAttributes(Layer* layer, xmlNodePtr g, const AttrMap& at, const std::string& nameKey) {
    Json keep = unknownAttributes(g, at);
    // The writer gives every layer its name and mode.
    keep.erase("inkscape:label");
    if (keep.contains("inkscape:groupmode") && keep["inkscape:groupmode"] == "layer") keep.erase("inkscape:groupmode");
    // An id that named the layer is its name; one the file gives an earlier
    // element as well is that element's (the writer writes each id once).
    if (keep.contains("id")) {
        auto first = ids_.find(keep["id"].get<std::string>());
        if (nameKey == "id" || first == ids_.end() || first->second != g) keep.erase("id");
    }
    // Its classes, which no written style sheet matches.
    if (auto c = at.find("class"); c != at.end()) keep["class"] = c->second;
    if (!keep.empty()) doc_->setLayerSvgKept(layer, Json{{"attributes", keep}}.dump());
}

void Importer::keepElement(xmlNodePtr n) {
    const std::string qname = (n->ns && n->ns->prefix ? std::string(reinterpret_cast<const char*>(n->ns->prefix)) + ":"
                                                      : std::string()) + name(n);
    if (const std::string why = unkeepable(n); !why.empty()) {
        note("skipped <" + qname + "> " + why + " (not allowed)");
        return;
    }
    if (usesRepeatedId(n)) {
        note("skipped <" + qname + "> using an id the file gives to more than one element");
        return;
    }
    const std::string text = standalone(n, false);
    if (!writableSvgText(text)) {
        note("skipped <" + qname + "> that cannot be written alone (namespaces)");
        return;
    }
    written_.insert(n);
    (keptHere_ ? *keptHere_ : rootKept_) += text;
}

void Importer::attachKept(Art* a, const char* key, std::string& text) {
    if (text.empty()) return;
    // All that goes there comes at once; the art read from a file this
    // system wrote already has it.
    Json extra = a->extra().empty() ? Json::object() : Json::parse(a->extra(), nullptr, false);
    if (!extra.is_object()) extra = Json::object();
    if (!extra.contains(kKeptKey) || !extra[kKeptKey].is_object()) extra[kKeptKey] = Json::object();
    Json& kept = extra[kKeptKey];
    kept[key] = text;
    doc_->setExtra(a, extra.dump());
    text.clear();
}

std::string Importer::unusedDefinitions(xmlNodePtr root) {
    // Definitions no part of the import wrote out, outside what it wrote.
    auto writtenNear = [&](xmlNodePtr e) {
        for (xmlNodePtr p = e; p && p->type == XML_ELEMENT_NODE; p = p->parent)
            if (written_.count(p)) return true;
        std::vector<xmlNodePtr> stack{e};
        while (!stack.empty()) {
            xmlNodePtr c = stack.back();
            stack.pop_back();
            if (written_.count(c)) return true;
            for (xmlNodePtr k = c->children; k; k = k->next)
                if (k->type == XML_ELEMENT_NODE) stack.push_back(k);
        }
        return false;
    };
    std::string text;
    std::vector<xmlNodePtr> stack{root};
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        if (n->type != XML_ELEMENT_NODE || written_.count(n)) continue;
        if (isSvg(n) && name(n) == "defs") {
            for (xmlNodePtr c = n->children; c; c = c->next) {
                // Style sheets are read into the art; written back they would restyle it.
                if (c->type != XML_ELEMENT_NODE || (isSvg(c) && name(c) == "style") || writtenNear(c)) continue;
                if (const std::string why = unkeepable(c); !why.empty() || usesRepeatedId(c)) {
                    note("unused definition <" + name(c) + "> " +
                         (why.empty() ? "using an id the file gives to more than one element" : why) + " not kept");
                    continue;
                }
                const std::string def = standalone(c, true);
                if (writableSvgText(def)) text += def;
                else note("unused definition <" + name(c) + "> that cannot be written alone not kept");
            }
            continue;
        }
        for (xmlNodePtr c = n->last; c; c = c->prev) stack.push_back(c);
    }
    return text.empty() ? text : "<defs>" + text + "</defs>";
}
void Importer::keepRoot(xmlNodePtr root, const AttrMap& at) {
    // The page, the styles the art took and this system's own attributes
    // are written anew; the rest (editor settings, ids, languages) is kept.
    static const std::set<std::string> read{"width", "height", "viewBox", "preserveAspectRatio", "style", "class",
                                            "transform", "x", "y"};
    Json attrs = Json::object();
    for (const auto& [k, v] : at) {
        if (read.count(k) || easelOwnAttribute(k) || inheritedProperties().count(k) ||
            ownProperties().count(k))
            continue;
        if (!refusedSvgAttribute(k, v).empty()) {
            note("event handler attributes and javascript: links not kept (scripts are not allowed)");
            continue;
        }
        if (!writableName(k)) continue;
        const size_t colon = k.find(':');
        if (colon != std::string::npos) {
            const std::string prefix = k.substr(0, colon);
            if (prefix != "xlink" && prefix != "xml" && prefix != "inkscape") {
                xmlNsPtr ns = xmlSearchNs(x_, root, reinterpret_cast<const xmlChar*>(prefix.c_str()));
                if (!writableNamespace(prefix, ns)) continue;
                attrs["xmlns:" + prefix] = reinterpret_cast<const char*>(ns->href);
            }
        }
        attrs[k] = v;
    }
    // The root's opacity, blending, effects and direction (from its
    // attributes or style) act on the whole drawing: written back on the root.
    const Props own = ownProps(root, at);
    std::vector<xmlNodePtr> used;
    for (const char* k : {"opacity", "mix-blend-mode", "filter", "mask", "clip-path", "direction"}) {
        const auto it = own.find(k);
        if (it == own.end() || !refusedSvgAttribute(k, it->second).empty()) continue;
        attrs[k] = std::string(trim(it->second));
        if (xmlNodePtr def = std::string_view(k) == "filter" || std::string_view(k) == "mask" ||
                                     std::string_view(k) == "clip-path"
                                 ? byReference(it->second)
                                 : nullptr)
            used.push_back(def);
    }
    // What they name is kept with the document, wherever it stands.
    std::string definitions;
    if (!used.empty() && collectDefinitions(used, used.size(), definitions))
        rootKept_ = "<defs>" + definitions + "</defs>" + rootKept_;
    // A streamed file holds no definitions (and no longer the elements read).
    const std::string elements = rootKept_ + (stream_ ? std::string() : unusedDefinitions(root));
    Json kept = Json::object();
    if (!attrs.empty()) kept["attributes"] = attrs;
    if (!elements.empty()) kept["elements"] = elements;
    if (!kept.empty()) doc_->setSvgKept(kept.dump());
}

}  // namespace easel::svg
