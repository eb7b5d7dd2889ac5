#include "SvgStreamTree.h"

#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace easel::svg {

namespace {

constexpr size_t kBlockSize = size_t{256} << 10;
constexpr size_t kAlign = alignof(std::max_align_t);
constexpr size_t kSpareBlocks = 8;  // kept for use again; more are freed

template <class T>
T* make(NodeBlocks& blocks) {
    return static_cast<T*>(blocks.take(sizeof(T)));
}

}  // namespace

void* NodeBlocks::take(size_t n) {
    n = (n + kAlign - 1) / kAlign * kAlign;
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < n) {
        Block b;
        if (n <= kBlockSize && !spare_.empty()) {
            b = std::move(spare_.back());
            spare_.pop_back();
            b.used = 0;
        } else {
            b.size = std::max(n, kBlockSize);
            b.data.reset(new std::byte[b.size]);
        }
        blocks_.push_back(std::move(b));
    }
    Block& b = blocks_.back();
    void* p = b.data.get() + b.used;
    b.used += n;
    std::memset(p, 0, n);
    return p;
}

xmlChar* NodeBlocks::copy(const xmlChar* s, size_t n) {
    auto* out = static_cast<xmlChar*>(take(n + 1));
    if (n) std::memcpy(out, s, n);
    return out;  // zeroed: the NUL is there
}

void NodeBlocks::releaseBefore(size_t mark) {
    while (!blocks_.empty() && first_ < mark && blocks_.size() > 1) {
        Block& b = blocks_.front();
        if (b.size == kBlockSize && spare_.size() < kSpareBlocks) spare_.push_back(std::move(b));
        blocks_.pop_front();
        ++first_;
    }
}

void TreeBuilder::append(xmlNodePtr n, xmlNodePtr c) {
    c->parent = n;
    if (!n->children) {
        n->children = n->last = c;
        return;
    }
    c->prev = n->last;
    n->last->next = c;
    n->last = c;
}

xmlNodePtr TreeBuilder::element(const xmlChar* name, xmlNodePtr parent, bool linked, unsigned short line) {
    auto* n = make<xmlNode>(blocks);
    n->type = XML_ELEMENT_NODE;
    n->name = name;
    n->doc = doc;
    n->line = line;
    if (parent && linked) append(parent, n);
    else n->parent = parent;
    return n;
}

void TreeBuilder::declareNamespace(xmlNodePtr n, const xmlChar* prefix, const xmlChar* href) {
    // libxml2 keeps no declaration of the xml prefix, which is always bound.
    if (prefix && std::strcmp(reinterpret_cast<const char*>(prefix), "xml") == 0) return;
    auto* ns = make<xmlNs>(blocks);
    ns->type = XML_NAMESPACE_DECL;
    ns->href = href;
    ns->prefix = prefix;
    xmlNsPtr* link = &n->nsDef;
    while (*link) link = &(*link)->next;
    *link = ns;
}

bool TreeBuilder::attribute(xmlNodePtr n, const xmlChar* name, xmlNsPtr ns, const xmlChar* value,
                            const xmlChar* end) {
    const size_t length = static_cast<size_t>(end - value);
    xmlChar* content = blocks.copy(value, length);
    // The parser has read character and entity references already, but for
    // '&' itself, which it leaves as "&#38;" for the tree to read.
    if (std::memchr(content, '&', length)) {
        static constexpr char kAmp[] = "&#38;";
        const xmlChar* from = content;
        xmlChar* to = content;
        const xmlChar* stop = content + length;
        while (from < stop) {
            if (*from != '&') {
                *to++ = *from++;
                continue;
            }
            if (static_cast<size_t>(stop - from) < sizeof kAmp - 1 || std::memcmp(from, kAmp, sizeof kAmp - 1) != 0)
                return false;
            *to++ = '&';
            from += sizeof kAmp - 1;
        }
        *to = 0;
    }
    auto* a = make<xmlAttr>(blocks);
    a->type = XML_ATTRIBUTE_NODE;
    a->name = name;
    a->parent = n;
    a->doc = doc;
    a->ns = ns;
    auto* t = make<xmlNode>(blocks);
    t->type = XML_TEXT_NODE;
    t->name = xmlStringText;
    t->content = content;
    t->parent = reinterpret_cast<xmlNodePtr>(a);
    t->doc = doc;
    a->children = a->last = t;
    if (!n->properties) {
        n->properties = a;
    } else {
        xmlAttrPtr last = n->properties;
        while (last->next) last = last->next;
        last->next = a;
        a->prev = last;
    }
    return true;
}

xmlNodePtr TreeBuilder::text(xmlNodePtr n, const xmlChar* s, size_t length, size_t room, bool cdata) {
    auto* t = make<xmlNode>(blocks);
    t->type = cdata ? XML_CDATA_SECTION_NODE : XML_TEXT_NODE;
    t->name = cdata ? nullptr : xmlStringText;
    t->content = static_cast<xmlChar*>(blocks.take(std::max(room, length + 1)));
    if (length) std::memcpy(t->content, s, length);
    t->doc = doc;
    append(n, t);
    return t;
}

}  // namespace easel::svg
