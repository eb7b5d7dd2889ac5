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

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string_view>

#include "SvgStreamParser.h"

namespace easel::svg {

constexpr const char* kSvgNs = "http://www.w3.org/2000/svg";
// Whether the node is in the SVG namespace (or in none, as SVG renderers take it).
bool inSvgNamespace(xmlNodePtr n);

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
    void skipPast(xmlNodePtr g);       // the rest of a streamed group, unread
    void checkElement(xmlNodePtr n);   // an element below the root: its name and attributes
    void checkAttributes(xmlNodePtr n);
    void checkChildren(xmlNodePtr n);  // every element within n

    StreamParser parser_;
    xmlNodePtr root_ = nullptr;
    xmlNodePtr node_ = nullptr;   // the element the importer stands on
    bool expanded_ = false;       // node_'s children are read
    xmlNodePtr ended_ = nullptr;  // the streamed element whose end was read last
    size_t elements_ = 0;
    size_t maxElements_;
};

}  // namespace easel::svg
