#include "SvgStream.h"

#include <libxml/SAX2.h>

#include <algorithm>
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

constexpr size_t kChunk = size_t{64} << 10;  // what the parser is given at a time

unsigned short lineOf(xmlParserCtxtPtr ctxt) {
    return ctxt && ctxt->input ? static_cast<unsigned short>(std::min(ctxt->input->line, 65535)) : 0;
}

}  // namespace

bool inSvgNamespace(xmlNodePtr n) {
    return !n->ns || std::strcmp(reinterpret_cast<const char*>(n->ns->href), kSvgNs) == 0;
}

ElementStream::ElementStream(std::string_view text, size_t maxElements) : maxElements_(maxElements), text_(text) {}

ElementStream::ElementStream(std::FILE* file, size_t maxBytes, size_t maxElements)
    : maxElements_(maxElements), file_(file), buffer_(new char[kChunk]), maxBytes_(maxBytes) {}

ElementStream::~ElementStream() {
    if (ctxt_) xmlFreeParserCtxt(ctxt_);
    if (doc_) {
        doc_->children = doc_->last = nullptr;  // the root is the stream's
        xmlFreeDoc(doc_);
    }
}

void ElementStream::stop() {
    error_ = true;
    xmlStopParser(ctxt_);
}

void ElementStream::onError(void* self, xmlErrorPtr) { static_cast<ElementStream*>(self)->error_ = true; }

// A DTD may declare entities that stand for elements: read whole.
void ElementStream::onSubset(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
    static_cast<ElementStream*>(self)->stop();
}

void ElementStream::onReference(void* self, const xmlChar*) { static_cast<ElementStream*>(self)->stop(); }

void ElementStream::onStart(void* self, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri,
                            int namespaces, const xmlChar** declared, int attributes, int,
                            const xmlChar** values) {
    auto* s = static_cast<ElementStream*>(self);
    if (s->error_) return;
    const int depth = s->depth_++;
    // The root and the groups directly in it, which are streamed, stay to
    // the end; anything else is one element read whole, or within one.
    const bool streamed = depth == 0 || (depth == 1 && std::strcmp(reinterpret_cast<const char*>(name), "g") == 0);
    NodeBlocks& blocks = depth == 0 ? s->kept_ : streamed ? s->groups_ : s->units_;
    const size_t mark = blocks.mark();
    if (!streamed && !s->unit_) s->unitMark_ = mark;
    TreeBuilder build{blocks, s->doc_};
    xmlNodePtr n = build.element(name, s->open_, s->unit_ != nullptr, lineOf(s->ctxt_));
    for (int i = 0; i < namespaces; ++i) build.declareNamespace(n, declared[2 * i], declared[2 * i + 1]);
    if (uri) n->ns = xmlSearchNs(s->doc_, n, prefix);
    for (int i = 0; i < attributes; ++i) {
        const xmlChar** a = values + 5 * i;
        xmlNsPtr ns = a[1] ? xmlSearchNs(s->doc_, n, a[1]) : nullptr;
        if (!build.attribute(n, a[0], ns, a[3], a[4])) return s->stop();
    }
    s->open_ = n;
    if (depth == 0) {
        s->root_ = n;
        s->doc_->children = s->doc_->last = n;
        n->parent = reinterpret_cast<xmlNodePtr>(s->doc_);
    } else if (streamed) {
        s->items_.push_back({Kind::Start, n, mark});
    } else if (!s->unit_) {
        s->unit_ = n;
    }
}

void ElementStream::onEnd(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* s = static_cast<ElementStream*>(self);
    if (s->error_) return;
    xmlNodePtr n = s->open_;
    s->open_ = n->parent;
    --s->depth_;
    if (n == s->unit_) {
        s->items_.push_back({Kind::Whole, n, s->unitMark_});
        s->unit_ = nullptr;
    } else if (!s->unit_) {
        s->items_.push_back({Kind::End, n, 0});  // a streamed group's, or the root's
    }
}

// Text and CDATA are kept within elements read whole; between the elements
// of the root and of its groups they draw nothing.
void ElementStream::onText(void* self, const xmlChar* text, int length) {
    auto* s = static_cast<ElementStream*>(self);
    if (!s->error_ && s->unit_) TreeBuilder{s->units_, s->doc_}.text(s->open_, text, static_cast<size_t>(length), false);
}

void ElementStream::onCdata(void* self, const xmlChar* text, int length) {
    auto* s = static_cast<ElementStream*>(self);
    if (!s->error_ && s->unit_) TreeBuilder{s->units_, s->doc_}.text(s->open_, text, static_cast<size_t>(length), true);
}

size_t ElementStream::oldestInUse(Kind kind) const {
    size_t m = kind == Kind::Whole ? std::min(unit_ ? unitMark_ : units_.mark(), pinned_)
                                   : std::min(groupMark_, groups_.mark());
    for (const Item& it : items_)
        if (it.kind == kind) return std::min(m, it.mark);
    return m;
}

void ElementStream::pump() {
    if (parsed_ || error_) throw StreamDeclined{};
    // The elements read before are done with.
    units_.releaseBefore(oldestInUse(Kind::Whole));
    groups_.releaseBefore(oldestInUse(Kind::Start));
    const char* chunk = nullptr;
    size_t n = 0;
    if (file_) {
        n = std::fread(buffer_.get(), 1, kChunk, file_);
        if (std::ferror(file_)) throw StreamDeclined{};
        bytes_ += n;
        if (bytes_ > maxBytes_) throw StreamDeclined{};
        chunk = buffer_.get();
    } else {
        n = std::min(text_.size(), kChunk);
        chunk = text_.data();
        text_.remove_prefix(n);
    }
    if (!ctxt_) {
        // Compressed files are inflated first, within their own limits.
        if (n >= 2 && static_cast<unsigned char>(chunk[0]) == 0x1f && static_cast<unsigned char>(chunk[1]) == 0x8b)
            throw StreamDeclined{};
        xmlSAXHandler sax{};
        sax.initialized = XML_SAX2_MAGIC;
        sax.startElementNs = &ElementStream::onStart;
        sax.endElementNs = &ElementStream::onEnd;
        sax.characters = sax.ignorableWhitespace = &ElementStream::onText;
        sax.cdataBlock = &ElementStream::onCdata;
        sax.internalSubset = sax.externalSubset = &ElementStream::onSubset;
        sax.reference = &ElementStream::onReference;
        sax.serror = &ElementStream::onError;
        doc_ = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
        // The first bytes tell the parser the file's encoding.
        const size_t first = std::min<size_t>(n, 4);
        ctxt_ = doc_ ? xmlCreatePushParserCtxt(&sax, this, chunk, static_cast<int>(first), "input.svg") : nullptr;
        if (!ctxt_) throw StreamDeclined{};
        xmlCtxtUseOptions(ctxt_, kXmlReadOptions);
        chunk += first;
        n -= first;
    }
    parsed_ = n == 0;
    xmlParseChunk(ctxt_, chunk, static_cast<int>(n), parsed_ ? 1 : 0);
    if (error_ || !ctxt_->wellFormed) throw StreamDeclined{};
}

ElementStream::Item ElementStream::next() {
    while (items_.empty()) pump();
    const Item it = items_.front();
    items_.pop_front();
    return it;
}

xmlNodePtr ElementStream::root() {
    if (root_) return root_;
    while (!root_) pump();
    xmlNodePtr n = root_;
    if (!named(n, "svg") || !inSvgNamespace(n)) throw StreamDeclined{};
    checkAttributes(n);
    // Parts kept as text are written in UTF-8, as the whole-tree reading does.
    doc_->encoding = xmlStrdup(ctxt_->encoding ? ctxt_->encoding : reinterpret_cast<const xmlChar*>("UTF-8"));
    node_ = n;
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
    // under it, and their blocks kept until the group is read.
    pinned_ = oldestInUse(Kind::Whole);
    for (Item it = next(); it.kind != Kind::End; it = next()) {
        if (it.kind != Kind::Whole) throw StreamDeclined{};
        TreeBuilder::append(n, it.node);
    }
    ended_ = n;
    expanded_ = true;
    checkChildren(n);
}

void ElementStream::skipPast(xmlNodePtr g) {
    while (ended_ != g) {
        const Item it = next();
        if (it.kind == Kind::End) ended_ = it.node;
    }
}

void ElementStream::children(xmlNodePtr n, const std::function<void(xmlNodePtr)>& each) {
    if (!at(n)) throw StreamDeclined{};
    expanded_ = true;
    for (;;) {
        const Item it = next();
        xmlNodePtr c = it.node;
        if (it.kind == Kind::End) {
            if (c != n) throw StreamDeclined{};
            ended_ = n;
            node_ = n;
            return;
        }
        if (c->parent != n) throw StreamDeclined{};
        node_ = c;
        checkElement(c);
        if (it.kind == Kind::Start) {
            expanded_ = false;
            groupMark_ = it.mark;
            each(c);
            skipPast(c);
            // Its blocks and its elements' are used again from here on.
            groupMark_ = pinned_ = SIZE_MAX;
        } else {
            expanded_ = true;
            checkChildren(c);
            each(c);
        }
    }
}

void ElementStream::finish() {
    if (!root_ || node_ != root_ || !expanded_ || ended_ != root_) throw StreamDeclined{};
    while (!parsed_) pump();
    if (!items_.empty()) throw StreamDeclined{};
}

}  // namespace easel::svg
