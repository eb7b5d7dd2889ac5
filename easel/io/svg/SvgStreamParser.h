// libxml2's SAX2 parser over the text of an SVG file read as a stream: it
// builds the elements in blocks of its own (SvgStreamTree.h) and gives them
// in file order, a part of the file at a time. A large file is parsed on a
// thread of its own a little ahead of the importer, which builds the art of
// the elements parsed before; a block is used again once the elements in it
// are read.
#pragma once

#include <libxml/parser.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "SvgStreamTree.h"

namespace easel::svg {

// How SVG files are parsed, whole or as a stream: no network, no DTD loading,
// no entity substitution by the parser (libxml2's own limits on depth and
// entity amplification stay on), short texts kept in their nodes.
constexpr int kXmlReadOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

// Thrown when the file turns out to need the whole tree, or to be one whose
// verdict (an error, a limit) the whole-tree reading gives.
struct StreamDeclined {};

class StreamParser {
public:
    // What the parser has read, in file order: the root; a group of the
    // root, to be streamed (its start, then its elements, then its end); an
    // element read whole; the end of the root. `mark` is the node block a
    // start or an element begins in.
    enum class Kind : unsigned char { Root, Start, Whole, End };
    struct Item {
        Kind kind;
        xmlNodePtr node;
        size_t mark;
    };

    // `text` must outlive the parser.
    explicit StreamParser(std::string_view text);
    // At most `maxBytes` of the file; a compressed file declines. `file`
    // must outlive the parser.
    StreamParser(std::FILE* file, size_t maxBytes);
    ~StreamParser();
    StreamParser(const StreamParser&) = delete;
    StreamParser& operator=(const StreamParser&) = delete;

    // The next item; declines when the file is not well-formed (or holds a
    // DTD or an entity reference) before it, or ends.
    Item next();
    // The elements given from here on stay until unpin(): a streamed group
    // read whole after all.
    void pin() { pinning_ = true; }
    void unpin() { pinning_ = false, pinned_ = SIZE_MAX; }
    // Parses the rest of the file; declines unless it is well-formed and
    // every item was read.
    void finish();

private:
    // The parser's side: the thread, or the reader's when there is none.
    bool parseChunk();  // false once the file is parsed or refused
    void step();        // a chunk parsed and handed over
    void release();     // gives back the blocks the reader is done with
    void run();         // the thread
    void parseAhead(size_t bytes);  // starts the thread for a file of `bytes`, when large
    void fill();        // the reader's side: takes what is parsed, waiting for it
    // Waits for the parser's next step, or takes it when there is no thread.
    void awaitStep(std::unique_lock<std::mutex>& lock);
    void stop();        // in a callback: refuses the file

    static void onStart(void* self, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri, int namespaces,
                        const xmlChar** declared, int attributes, int defaulted, const xmlChar** values);
    static void onEnd(void* self, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri);
    static void onText(void* self, const xmlChar* text, int length);
    static void onCdata(void* self, const xmlChar* text, int length);
    static void onSubset(void* self, const xmlChar* name, const xmlChar* publicId, const xmlChar* systemId);
    static void onReference(void* self, const xmlChar* name);
    static void onError(void* self, xmlErrorPtr);
    template <class Work>
    static void guard(void* self, Work work);
    void start(const xmlChar* name, const xmlChar* prefix, const xmlChar* uri, int namespaces,
               const xmlChar** declared, int attributes, const xmlChar** values);
    void end();
    void text(const xmlChar* text, int length, bool cdata);

    xmlParserCtxtPtr ctxt_ = nullptr;
    xmlDocPtr doc_ = nullptr;  // the document the nodes name
    NodeBlocks kept_;          // the root, kept to the end
    NodeBlocks groups_;        // the groups of the root, streamed
    NodeBlocks units_;         // the elements read whole
    std::deque<Item> made_;    // items of the chunk being parsed
    // The parser's place: the innermost open element, its depth, and the
    // element being read whole (with the block it begins in).
    xmlNodePtr open_ = nullptr;
    int depth_ = 0;
    xmlNodePtr unit_ = nullptr;
    size_t unitMark_ = 0;
    xmlNodePtr textNode_ = nullptr;  // the text last made, while nothing follows it; its length and room
    size_t textLength_ = 0, textRoom_ = 0;
    bool error_ = false;   // libxml2 reported an error or a warning, or a callback refused
    bool parsed_ = false;  // the whole file is parsed
    std::string_view text_;      // when reading text: what is still to parse
    std::FILE* file_ = nullptr;  // when reading a file
    std::unique_ptr<char[]> buffer_;
    size_t bytes_ = 0, maxBytes_ = 0;

    // Between the two sides, under mutex_.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> ready_;  // parsed, not yet taken by the reader
    bool done_ = false;       // the parser stopped: the file parsed, or refused (failed_)
    bool failed_ = false;
    bool cancel_ = false;     // the reader is gone
    size_t unitsInUse_ = SIZE_MAX, groupsInUse_ = SIZE_MAX;  // the first blocks the reader may read

    // The reader's side.
    std::deque<Item> taken_;
    size_t groupMark_ = SIZE_MAX;  // the block of the streamed group being read
    bool pinning_ = false;
    size_t pinned_ = SIZE_MAX;  // the block of the first element kept by pin()
    std::thread thread_;        // last: started once the rest is made
};

}  // namespace easel::svg
