#include "SvgStream.h"

#include <cstring>

namespace easel::svg {

namespace {

bool named(xmlNodePtr n, const char* name) { return std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0; }

// The elements of a plain drawing below its root.
bool drawingElement(const xmlChar* name) {
    static constexpr const char* kNames[] = {"g", "path", "rect", "circle", "ellipse", "line", "polyline", "polygon"};
    for (const char* k : kNames)
        if (std::strcmp(reinterpret_cast<const char*>(name), k) == 0) return true;
    return false;
}

// Attributes that name or reach another element (or a style sheet's rule).
bool linkingAttribute(const xmlChar* name) {
    const char* n = reinterpret_cast<const char*>(name);
    switch (n[0]) {
        case 'i': return std::strcmp(n, "id") == 0;
        case 'c': return std::strcmp(n, "class") == 0;
        case 'h': return std::strcmp(n, "href") == 0;
        default: return false;
    }
}

// Whether `url(` stands in the text, in any case. Values are looked at by
// their parentheses, which path data and most values have none of.
bool mentionsUrl(const xmlChar* text) {
    const char* s = reinterpret_cast<const char*>(text);
    for (const char* p = std::strchr(s, '('); p; p = std::strchr(p + 1, '(')) {
        if (p - s >= 3 && (p[-3] | 0x20) == 'u' && (p[-2] | 0x20) == 'r' && (p[-1] | 0x20) == 'l') return true;
    }
    return false;
}

}  // namespace

bool inSvgNamespace(xmlNodePtr n) {
    return !n->ns || std::strcmp(reinterpret_cast<const char*>(n->ns->href), kSvgNs) == 0;
}

ElementStream::ElementStream(std::string_view text, size_t maxElements) : parser_(text), maxElements_(maxElements) {}

ElementStream::ElementStream(std::FILE* file, size_t maxBytes, size_t maxElements)
    : parser_(file, maxBytes), maxElements_(maxElements) {}

ElementStream::~ElementStream() = default;

xmlNodePtr ElementStream::root() {
    if (root_) return root_;
    const StreamParser::Item it = parser_.next();
    if (it.kind != StreamParser::Kind::Root) throw StreamDeclined{};
    xmlNodePtr n = it.node;
    if (!named(n, "svg") || !inSvgNamespace(n)) throw StreamDeclined{};
    checkAttributes(n);
    root_ = node_ = n;
    expanded_ = false;
    return n;
}

void ElementStream::checkElement(xmlNodePtr n) {
    if (++elements_ > maxElements_ || !inSvgNamespace(n) || !drawingElement(n->name)) throw StreamDeclined{};
    checkAttributes(n);
}

void ElementStream::checkAttributes(xmlNodePtr n) {
    for (xmlAttrPtr a = n->properties; a; a = a->next) {
        if (linkingAttribute(a->name)) throw StreamDeclined{};
        if (mentionsUrl(a->children->content)) throw StreamDeclined{};
    }
}

void ElementStream::checkChildren(xmlNodePtr n) {
    for (xmlNodePtr c = n->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        checkElement(c);
        checkChildren(c);
    }
}

void ElementStream::expand(xmlNodePtr n) {
    if (n == node_ && expanded_) return;
    if (!at(n)) throw StreamDeclined{};
    // A streamed group read whole after all: its elements are gathered
    // under it, and kept until the group is read.
    parser_.pin();
    for (StreamParser::Item it = parser_.next(); it.kind != StreamParser::Kind::End; it = parser_.next()) {
        if (it.kind != StreamParser::Kind::Whole) throw StreamDeclined{};
        TreeBuilder::append(n, it.node);
    }
    ended_ = n;
    expanded_ = true;
    checkChildren(n);
}

void ElementStream::skipPast(xmlNodePtr g) {
    while (ended_ != g) {
        const StreamParser::Item it = parser_.next();
        if (it.kind == StreamParser::Kind::End) ended_ = it.node;
    }
}

void ElementStream::children(xmlNodePtr n, const std::function<void(xmlNodePtr)>& each) {
    if (!at(n)) throw StreamDeclined{};
    expanded_ = true;
    for (;;) {
        const StreamParser::Item it = parser_.next();
        xmlNodePtr c = it.node;
        if (it.kind == StreamParser::Kind::End) {
            if (c != n) throw StreamDeclined{};
            ended_ = n;
            node_ = n;
            return;
        }
        if (c->parent != n) throw StreamDeclined{};
        node_ = c;
        checkElement(c);
        if (it.kind == StreamParser::Kind::Start) {
            expanded_ = false;
            each(c);
            skipPast(c);
            parser_.unpin();
        } else if (it.kind == StreamParser::Kind::Whole) {
            expanded_ = true;
            checkChildren(c);
            each(c);
        } else {
            throw StreamDeclined{};
        }
    }
}

void ElementStream::finish() {
    if (!root_ || node_ != root_ || !expanded_ || ended_ != root_) throw StreamDeclined{};
    parser_.finish();
}

}  // namespace easel::svg
