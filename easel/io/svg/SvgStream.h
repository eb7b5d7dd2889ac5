// An SVG file read element by element with libxml2's SAX2 parser, for
// files plain enough that no element needs another part of the file: every
// element a drawing (svg, g, path, rect, circle, ellipse, line, polyline,
// polygon), no ids, classes, links or url() references, no DTD. The importer
// reads such a file as it comes: the parser builds each element in blocks
// of the stream's own, and a block is used again once the elements in it are
// read, so that a large drawing is never held whole as a tree.
// Whatever else the file holds makes the stream decline (StreamDeclined),
// and the file is read whole instead: the two give the same document.
#pragma once

#include <libxml/parser.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>

#include "SvgStreamTree.h"

namespace easel::svg {

constexpr const char* kSvgNs = "http://www.w3.org/2000/svg";
// Whether the node is in the SVG namespace (or in none, as SVG renderers take it).
bool inSvgNamespace(xmlNodePtr n);

// How SVG files are parsed, whole or as a stream: no network, no DTD loading,
// no entity substitution by the parser (libxml2's own limits on depth and
// entity amplification stay on), short texts kept in their nodes.
constexpr int kXmlReadOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

// Thrown when the file turns out to need the whole tree, or to be one whose
// verdict (an error, a limit) the whole-tree reading gives.
struct StreamDeclined {};

class ElementStream {
public:
    // `text` must outlive the stream. More than `maxElements` elements
    // decline (the whole-tree reading names the limit).
    ElementStream(std::string_view text, size_t maxElements);
    // The file's text as it is read, at most `maxBytes` of it; a compressed
    // file declines. `file` must outlive the stream.
    ElementStream(std::FILE* file, size_t maxBytes, size_t maxElements);
    ~ElementStream();
    ElementStream(const ElementStream&) = delete;
    ElementStream& operator=(const ElementStream&) = delete;

    // The root <svg> element with its attributes, its children not yet read.
    xmlNodePtr root();
    // Whether the reader stands on `n` with its children not yet read.
    bool at(xmlNodePtr n) const { return n == node_ && !expanded_; }
    // Calls `each` for every element child of `n`, where the reader stands,
    // in file order. A group directly in the root is given with its
    // attributes alone and the reader on it (its children are streamed in
    // turn); every other element is given whole.
    void children(xmlNodePtr n, const std::function<void(xmlNodePtr)>& each);
    // Reads the element the reader stands on whole (given by children(),
    // which checked it; what is in it is checked here).
    void expand(xmlNodePtr n);
    // Reads the rest of the file, which must be well-formed.
    void finish();

private:
    // What the parser has read, in file order: a group of the root, to be
    // streamed (its start, then its elements, then its end), or an element
    // read whole; `mark` is the node block it begins in (not kept for ends).
    enum class Kind : unsigned char { Start, Whole, End };
    struct Item {
        Kind kind;
        xmlNodePtr node;
        size_t mark;
    };

    void pump();   // parses the next part of the file; declines on an error
    Item next();   // the next item, parsed as needed
    void skipPast(xmlNodePtr g);  // the rest of a streamed group, unread
    size_t oldestInUse(Kind kind) const;  // the first block of groups (Start) or elements (Whole) still read
    void checkElement(xmlNodePtr n);  // an element below the root: its name and attributes
    void checkAttributes(xmlNodePtr n);
    void checkChildren(xmlNodePtr n);  // every element within n

    // The parser's callbacks; `self` is the stream. They decline by
    // stopping the parser, as nothing may be thrown through libxml2.
    static void onStart(void* self, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri, int namespaces,
                        const xmlChar** declared, int attributes, int defaulted, const xmlChar** values);
    static void onEnd(void* self, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri);
    static void onText(void* self, const xmlChar* text, int length);
    static void onCdata(void* self, const xmlChar* text, int length);
    static void onSubset(void* self, const xmlChar* name, const xmlChar* publicId, const xmlChar* systemId);
    static void onReference(void* self, const xmlChar* name);
    static void onError(void* self, xmlErrorPtr);
    void stop();

    xmlParserCtxtPtr ctxt_ = nullptr;
    xmlDocPtr doc_ = nullptr;  // the document the nodes name
    NodeBlocks kept_;          // the root, kept to the end
    NodeBlocks groups_;        // the groups of the root, streamed
    NodeBlocks units_;         // the elements read whole
    std::deque<Item> items_;
    xmlNodePtr root_ = nullptr;
    xmlNodePtr node_ = nullptr;   // the element the importer stands on
    bool expanded_ = false;       // node_'s children are read
    xmlNodePtr ended_ = nullptr;  // the streamed element whose end was read last
    size_t groupMark_ = SIZE_MAX;  // the block of the streamed group being read
    size_t pinned_ = SIZE_MAX;     // the first node block of a streamed group's elements, read whole
    // The parser's place: the innermost open element, its depth, and the
    // element being read whole (with the block it begins in).
    xmlNodePtr open_ = nullptr;
    int depth_ = 0;
    xmlNodePtr unit_ = nullptr;
    size_t unitMark_ = 0;
    bool error_ = false;   // libxml2 reported an error or a warning, or a callback declined
    bool parsed_ = false;  // the whole file is parsed
    size_t elements_ = 0;
    size_t maxElements_;
    std::string_view text_;      // when reading text: what is still to parse
    std::FILE* file_ = nullptr;  // when reading a file
    std::unique_ptr<char[]> buffer_;
    size_t bytes_ = 0, maxBytes_ = 0;
};

}  // namespace easel::svg
