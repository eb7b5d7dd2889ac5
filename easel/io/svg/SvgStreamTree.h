// The elements of a streamed SVG file, built from libxml2's SAX2 callbacks
// as libxml2's own tree nodes (so that the importer reads them as it reads a
// whole file's) in blocks of memory of their own: no allocation per node or
// value, and the blocks of elements already read are used again.
#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

namespace easel::svg {

class NodeBlocks {
public:
    // Room for `n` bytes, aligned for any node, zeroed; it stays until its
    // block is released.
    void* take(size_t n);
    // A copy of [s, s + n) with a NUL after it.
    xmlChar* copy(const xmlChar* s, size_t n);
    // The block the next node goes into, counted from the first block ever.
    size_t mark() const { return first_ + (blocks_.empty() ? 0 : blocks_.size() - 1); }
    // Gives back every block before `mark`, for use again.
    void releaseBefore(size_t mark);

private:
    struct Block {
        std::unique_ptr<std::byte[]> data;
        size_t size = 0, used = 0;
    };
    std::deque<Block> blocks_;
    std::vector<Block> spare_;
    size_t first_ = 0;  // the mark of blocks_.front()
};

// Nodes as libxml2's SAX2 tree builder makes them, in `blocks`. Names are
// the parser's dictionary strings, which live as long as the parser.
struct TreeBuilder {
    NodeBlocks& blocks;
    xmlDocPtr doc;

    // An element below `parent` (null for the root), put last among its
    // children when `linked`, with its namespace declarations; its own
    // namespace and its attributes are added by the callers once it stands
    // in the tree, where its prefixes are found.
    xmlNodePtr element(const xmlChar* name, xmlNodePtr parent, bool linked, unsigned short line);
    void declareNamespace(xmlNodePtr n, const xmlChar* prefix, const xmlChar* href);
    // An attribute whose value is [value, end), as the parser gives it; false
    // when the value holds an entity that the tree would keep as a reference
    // (only &#38;, the parser's mark of an '&', is read).
    bool attribute(xmlNodePtr n, const xmlChar* name, xmlNsPtr ns, const xmlChar* value, const xmlChar* end);
    // Text (or a CDATA section) as the last child of `n`, with room for
    // `room` bytes and the NUL.
    xmlNodePtr text(xmlNodePtr n, const xmlChar* s, size_t length, size_t room, bool cdata);
    // `c` put last among the children of `n`.
    static void append(xmlNodePtr n, xmlNodePtr c);
};

}  // namespace easel::svg
