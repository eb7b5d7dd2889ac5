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

ElementStream::ElementStream(std::string_view text, size_t maxElements) : maxElements_(maxElements) {
    start(xmlReaderForMemory(text.data(), static_cast<int>(text.size()), "input.svg", nullptr, kXmlReadOptions));
}

ElementStream::ElementStream(std::FILE* file, size_t maxBytes, size_t maxElements)
    : maxElements_(maxElements), file_(file), maxBytes_(maxBytes) {
    start(xmlReaderForIO(&ElementStream::readFile, nullptr, this, "input.svg", nullptr, kXmlReadOptions));
}

void ElementStream::start(xmlTextReaderPtr reader) {
    reader_ = reader;
    if (reader_) xmlTextReaderSetStructuredErrorHandler(reader_, &ElementStream::onError, this);
}

int ElementStream::readFile(void* self, char* buffer, int length) {
    auto* s = static_cast<ElementStream*>(self);
    if (length <= 0) return 0;
    const size_t n = std::fread(buffer, 1, static_cast<size_t>(length), s->file_);
    if (std::ferror(s->file_)) return -1;
    // Compressed files are inflated first, within their own limits.
    if (s->bytes_ == 0 && n >= 2 && static_cast<unsigned char>(buffer[0]) == 0x1f &&
        static_cast<unsigned char>(buffer[1]) == 0x8b)
        return -1;
    s->bytes_ += n;
    if (s->bytes_ > s->maxBytes_) return -1;
    return static_cast<int>(n);
}

ElementStream::~ElementStream() {
    if (reader_) xmlFreeTextReader(reader_);
}

void ElementStream::onError(void* self, xmlErrorPtr) { static_cast<ElementStream*>(self)->error_ = true; }

void ElementStream::step(int ret) {
    if (ret != 1 || error_) throw StreamDeclined{};
}

xmlNodePtr ElementStream::root() {
    if (root_) return root_;
    if (!reader_) throw StreamDeclined{};
    do step(xmlTextReaderRead(reader_));
    while (xmlTextReaderNodeType(reader_) != XML_READER_TYPE_ELEMENT);
    xmlNodePtr n = xmlTextReaderCurrentNode(reader_);
    // A DTD may declare entities that stand for elements: read whole.
    if (!n || !n->doc || n->doc->intSubset || !named(n, "svg") || !inSvgNamespace(n)) throw StreamDeclined{};
    checkAttributes(n);
    // Parts kept as text are written in UTF-8, as the whole-tree reading does.
    if (!n->doc->encoding) n->doc->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
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
        // A value is one text node unless it holds entity references.
        const xmlNode* v = a->children;
        if (v && (v->type != XML_TEXT_NODE || v->next)) throw StreamDeclined{};
        if (v && v->content && mentionsUrl(v->content)) throw StreamDeclined{};
    }
}

void ElementStream::checkChildren(xmlNodePtr n) {
    for (xmlNodePtr c = n->children; c; c = c->next) {
        if (c->type == XML_ENTITY_REF_NODE) throw StreamDeclined{};
        if (c->type != XML_ELEMENT_NODE) continue;
        checkElement(c);
        checkChildren(c);
    }
}

void ElementStream::expand(xmlNodePtr n) {
    if (n == node_ && expanded_) return;
    if (!at(n)) throw StreamDeclined{};
    if (xmlTextReaderExpand(reader_) != n || error_) throw StreamDeclined{};
    expanded_ = true;
    checkChildren(n);
}

void ElementStream::children(xmlNodePtr n, const std::function<void(xmlNodePtr)>& each) {
    if (!at(n)) throw StreamDeclined{};
    expanded_ = true;
    if (xmlTextReaderIsEmptyElement(reader_) == 1) return;
    const int depth = xmlTextReaderDepth(reader_);
    step(xmlTextReaderRead(reader_));
    for (;;) {
        const int type = xmlTextReaderNodeType(reader_);
        if (xmlTextReaderDepth(reader_) <= depth) {
            // n's end tag: the reader stands on it.
            if (type != XML_READER_TYPE_END_ELEMENT) throw StreamDeclined{};
            node_ = n;
            return;
        }
        if (type == XML_READER_TYPE_ELEMENT) {
            xmlNodePtr c = xmlTextReaderCurrentNode(reader_);
            if (!c) throw StreamDeclined{};
            node_ = c;
            expanded_ = false;
            checkElement(c);
            if (n != root_ || !named(c, "g")) expand(c);
            each(c);
            // Past c (and its subtree, when it was not read): the reader
            // frees c once it stands on what follows.
            step(xmlTextReaderNext(reader_));
            continue;
        }
        // Entity references may stand for elements; text, comments and
        // processing instructions between elements draw nothing.
        if (type == XML_READER_TYPE_ENTITY_REFERENCE) throw StreamDeclined{};
        step(xmlTextReaderNext(reader_));
    }
}

void ElementStream::finish() {
    if (!root_ || node_ != root_ || !expanded_) throw StreamDeclined{};
    for (;;) {
        const int ret = xmlTextReaderRead(reader_);
        if (ret == 0 && !error_) return;
        step(ret);
    }
}

}  // namespace easel::svg
