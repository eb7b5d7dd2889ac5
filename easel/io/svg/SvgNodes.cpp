// The XML tree as the importer reads it: the text of a node's children
// (entities of plain text expanded within a budget), entities that stand for
// elements parsed in place, and an element's attributes by name.
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "SvgImporter.h"
#include "SvgShared.h"
#include "SvgStyleGeometry.h"

namespace easel::svg {

std::string Importer::nodeText(xmlNodePtr first) {
    std::string s;
    for (xmlNodePtr c = first; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            if (c->content) s += reinterpret_cast<const char*>(c->content);
        } else if (c->type == XML_ENTITY_REF_NODE) {
            // Internal entities of plain text are expanded, up to a budget;
            // nothing else is.
            xmlEntityPtr e = xmlGetDocEntity(x_, c->name);
            const char* content = e && e->etype == XML_INTERNAL_GENERAL_ENTITY && e->content
                                      ? reinterpret_cast<const char*>(e->content)
                                      : nullptr;
            if (!content || std::strchr(content, '&') || std::strchr(content, '<')) {
                note("entity &" + name(c) + "; not expanded");
                continue;
            }
            const size_t n = std::strlen(content);
            entityChars_ += n;
            if (entityChars_ > lim_.maxEntityText)
                throw Failure{"entities expand to more than " + std::to_string(lim_.maxEntityText) +
                              " characters (the limit)"};
            s += content;
        }
    }
    return s;
}

void Importer::expandMarkupEntities(xmlNodePtr parent) {
    // Internal entities that stand for elements (&Smile; in a file's DTD)
    // are replaced by what they hold, parsed where they stand, within the
    // budget of entity text; entities in what they hold are looked at in
    // turn. Entities of plain text stay for nodeText.
    for (xmlNodePtr c = parent->children; c;) {
        xmlNodePtr next = c->next;
        if (c->type == XML_ELEMENT_NODE) {
            expandMarkupEntities(c);
        } else if (c->type == XML_ENTITY_REF_NODE) {
            xmlEntityPtr e = xmlGetDocEntity(x_, c->name);
            const char* content = e && e->etype == XML_INTERNAL_GENERAL_ENTITY && e->content
                                      ? reinterpret_cast<const char*>(e->content)
                                      : nullptr;
            if (content && (std::strchr(content, '<') || std::strchr(content, '&'))) {
                const size_t n = std::strlen(content);
                entityChars_ += n;
                if (entityChars_ > lim_.maxEntityText)
                    throw Failure{"entities expand to more than " + std::to_string(lim_.maxEntityText) +
                                  " characters (the limit)"};
                xmlNodePtr list = nullptr;
                const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
                if (xmlParseInNodeContext(parent, content, static_cast<int>(n), options, &list) == XML_ERR_OK) {
                    xmlNodePtr before = c->prev;
                    for (xmlNodePtr m = list; m;) {
                        xmlNodePtr after = m->next;
                        xmlUnlinkNode(m);
                        xmlAddPrevSibling(c, m);
                        m = after;
                    }
                    xmlUnlinkNode(c);
                    xmlFreeNode(c);
                    next = before ? before->next : parent->children;
                } else {
                    xmlFreeNodeList(list);
                    note("entity &" + name(c) + "; not expanded");
                }
            }
        }
        c = next;
    }
}

AttrMap Importer::attributes(xmlNodePtr n) {
    // Keys first (prefixed ones built aside), put in order by an insertion
    // sort that keeps equal keys in file order; then each value copied once
    // into its place.
    struct Raw {
        std::string_view key;
        xmlNodePtr value;
    };
    size_t count = 0;
    for (xmlAttrPtr a = n->properties; a; a = a->next) ++count;
    std::vector<std::string> prefixed;
    prefixed.reserve(count);  // views into it stay valid
    std::vector<Raw> raws;
    raws.reserve(count);
    for (xmlAttrPtr a = n->properties; a; a = a->next) {
        const char* local = reinterpret_cast<const char*>(a->name);
        const char* prefix = nullptr;
        if (a->ns && a->ns->href) {
            const char* href = reinterpret_cast<const char*>(a->ns->href);
            if (std::strcmp(href, kXlinkNs) == 0) prefix = "xlink";
            else if (std::strcmp(href, kXmlNs) == 0) prefix = "xml";
            else if (std::strcmp(href, kInkscapeNs) == 0) prefix = "inkscape";
            else if (a->ns->prefix) prefix = reinterpret_cast<const char*>(a->ns->prefix);
        }
        std::string_view key = local;
        if (prefix) key = prefixed.emplace_back(std::string(prefix) + ":" + local);
        Raw r{key, a->children};
        size_t i = raws.size();
        raws.push_back(r);
        for (; i > 0 && r.key < raws[i - 1].key; --i) raws[i] = raws[i - 1];
        raws[i] = r;
    }
    AttrMap at;
    at.reserve(count + 4);  // and the geometry a style may give
    for (size_t i = 0; i < raws.size(); ++i) {
        // Of two equal keys the later wins, as assigning each in turn would.
        if (i + 1 < raws.size() && raws[i + 1].key == raws[i].key) continue;
        // One text child, as nearly every value has, is taken as it is.
        xmlNodePtr c = raws[i].value;
        const bool plain = c && !c->next && (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE);
        at.appendSorted(std::string(raws[i].key),
                        plain ? std::string(c->content ? reinterpret_cast<const char*>(c->content) : "") : nodeText(c));
    }
    if (isSvg(n)) takeGeometryFromStyle(name(n), at);
    return at;
}

}  // namespace easel::svg
