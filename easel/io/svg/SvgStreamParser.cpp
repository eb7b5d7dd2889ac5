#include "SvgStreamParser.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <system_error>

namespace easel::svg {

namespace {

constexpr size_t kChunk = size_t{32} << 10;  // what the parser is given at a time
// Files from this size are parsed on a thread of their own, at most this
// many items ahead of the reader.
constexpr size_t kThreadFrom = size_t{1} << 20;
constexpr size_t kAhead = 256;

unsigned short lineOf(xmlParserCtxtPtr ctxt) {
    return ctxt && ctxt->input ? static_cast<unsigned short>(std::min(ctxt->input->line, 65535)) : 0;
}

// The first item of `kind` in `items`, or none.
size_t firstMark(const std::deque<StreamParser::Item>& items, StreamParser::Kind kind) {
    for (const StreamParser::Item& it : items)
        if (it.kind == kind) return it.mark;
    return SIZE_MAX;
}

}  // namespace

StreamParser::StreamParser(std::string_view text) : text_(text) { parseAhead(text.size()); }

StreamParser::StreamParser(std::FILE* file, size_t maxBytes)
    : file_(file), buffer_(new char[kChunk]), maxBytes_(maxBytes) {
    struct stat st{};
    if (fstat(fileno(file), &st) == 0) parseAhead(static_cast<size_t>(st.st_size));
}

void StreamParser::parseAhead(size_t bytes) {
    if (bytes < kThreadFrom || std::thread::hardware_concurrency() < 2) return;
    // libxml2 sets up its globals here first, on the reader's thread, as it
    // asks before any second thread uses it.
    xmlInitParser();
    try {
        thread_ = std::thread(&StreamParser::run, this);
    } catch (const std::system_error&) {  // parsed as it is read
    }
}

StreamParser::~StreamParser() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            cancel_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    if (ctxt_) xmlFreeParserCtxt(ctxt_);
    if (doc_) {
        doc_->children = doc_->last = nullptr;  // the root is the parser's
        xmlFreeDoc(doc_);
    }
}

// ---- The parser's side ----

void StreamParser::stop() {
    error_ = true;
    xmlStopParser(ctxt_);
}

void StreamParser::onError(void* self, xmlErrorPtr) { static_cast<StreamParser*>(self)->error_ = true; }

// A DTD may declare entities that stand for elements: read whole.
void StreamParser::onSubset(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
    static_cast<StreamParser*>(self)->stop();
}

void StreamParser::onReference(void* self, const xmlChar*) { static_cast<StreamParser*>(self)->stop(); }

// A callback's work, unless the file is refused already; any failure stops
// the parser, as nothing may be thrown through libxml2.
template <class Work>
void StreamParser::guard(void* self, Work work) {
    auto* s = static_cast<StreamParser*>(self);
    if (s->error_) return;
    try {
        work(*s);
    } catch (...) {
        s->stop();
    }
}

void StreamParser::onStart(void* self, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri,
                           int namespaces, const xmlChar** declared, int attributes, int, const xmlChar** values) {
    guard(self, [&](StreamParser& s) { s.start(name, prefix, uri, namespaces, declared, attributes, values); });
}

void StreamParser::onEnd(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
    guard(self, [](StreamParser& s) { s.end(); });
}

void StreamParser::onText(void* self, const xmlChar* text, int length) {
    guard(self, [&](StreamParser& s) { s.text(text, length, false); });
}

void StreamParser::onCdata(void* self, const xmlChar* text, int length) {
    guard(self, [&](StreamParser& s) { s.text(text, length, true); });
}

void StreamParser::start(const xmlChar* name, const xmlChar* prefix, const xmlChar* uri, int namespaces,
                         const xmlChar** declared, int attributes, const xmlChar** values) {
    const int depth = depth_;
    textNode_ = nullptr;  // what follows is no longer next to it
    // The root and the groups directly in it, which are streamed, stand
    // alone; anything else is one element read whole, or within one.
    const bool streamed = depth == 0 || (depth == 1 && std::strcmp(reinterpret_cast<const char*>(name), "g") == 0);
    NodeBlocks& blocks = depth == 0 ? kept_ : streamed ? groups_ : units_;
    const size_t mark = blocks.mark();
    TreeBuilder build{blocks, doc_};
    xmlNodePtr n = build.element(name, open_, unit_ != nullptr, lineOf(ctxt_));
    for (int i = 0; i < namespaces; ++i) build.declareNamespace(n, declared[2 * i], declared[2 * i + 1]);
    if (uri) n->ns = xmlSearchNs(doc_, n, prefix);
    for (int i = 0; i < attributes; ++i) {
        const xmlChar** a = values + 5 * i;
        xmlNsPtr ns = a[1] ? xmlSearchNs(doc_, n, a[1]) : nullptr;
        if (!build.attribute(n, a[0], ns, a[3], a[4])) return stop();
    }
    ++depth_;
    open_ = n;
    if (depth == 0) {
        doc_->children = doc_->last = n;
        n->parent = reinterpret_cast<xmlNodePtr>(doc_);
        // Parts kept as text are written in UTF-8, as the whole-tree reading does.
        doc_->encoding = xmlStrdup(ctxt_->encoding ? ctxt_->encoding : reinterpret_cast<const xmlChar*>("UTF-8"));
        made_.push_back({Kind::Root, n, 0});
    } else if (streamed) {
        made_.push_back({Kind::Start, n, mark});
    } else if (!unit_) {
        unit_ = n;
        unitMark_ = mark;
    }
}

void StreamParser::end() {
    textNode_ = nullptr;
    xmlNodePtr n = open_;
    open_ = n->parent;
    --depth_;
    if (n == unit_) {
        made_.push_back({Kind::Whole, n, unitMark_});
        unit_ = nullptr;
    } else if (!unit_) {
        made_.push_back({Kind::End, n, 0});  // a streamed group's, or the root's
    }
}

// Text and CDATA are kept within elements read whole; between the elements
// of the root and of its groups they draw nothing.
void StreamParser::text(const xmlChar* text, int length, bool cdata) {
    if (!unit_) return;
    const auto n = static_cast<size_t>(length);
    // Text right after text joins it, as libxml2's builder joins it; its
    // room doubles as it grows, so that text given in many pieces is
    // copied a few times, not once a piece.
    xmlNodePtr last = open_->last;
    if (!cdata && last && last == textNode_ && textLength_ + n < textRoom_) {
        std::memcpy(last->content + textLength_, text, n);
        textLength_ += n;
        return;
    }
    if (!cdata && last && last == textNode_) {
        textRoom_ = std::max(2 * textRoom_, textLength_ + n + 1);
        auto* grown = static_cast<xmlChar*>(units_.take(textRoom_));
        std::memcpy(grown, last->content, textLength_);
        std::memcpy(grown + textLength_, text, n);
        last->content = grown;
        textLength_ += n;
        return;
    }
    xmlNodePtr t = TreeBuilder{units_, doc_}.text(open_, text, n, 2 * n + 1, cdata);
    textNode_ = cdata ? nullptr : t;
    textLength_ = n;
    textRoom_ = 2 * n + 1;
}

bool StreamParser::parseChunk() {
    if (parsed_ || error_) return false;
    const char* chunk = nullptr;
    size_t n = 0;
    if (file_) {
        n = std::fread(buffer_.get(), 1, kChunk, file_);
        bytes_ += n;
        if (std::ferror(file_) || bytes_ > maxBytes_) {
            error_ = true;
            return false;
        }
        chunk = buffer_.get();
    } else {
        n = std::min(text_.size(), kChunk);
        chunk = text_.data();
        text_.remove_prefix(n);
    }
    if (!ctxt_) {
        // Compressed files are inflated first, within their own limits.
        if (n >= 2 && static_cast<unsigned char>(chunk[0]) == 0x1f && static_cast<unsigned char>(chunk[1]) == 0x8b) {
            error_ = true;
            return false;
        }
        xmlSAXHandler sax{};
        sax.initialized = XML_SAX2_MAGIC;
        sax.startElementNs = &StreamParser::onStart;
        sax.endElementNs = &StreamParser::onEnd;
        sax.characters = sax.ignorableWhitespace = &StreamParser::onText;
        sax.cdataBlock = &StreamParser::onCdata;
        sax.internalSubset = sax.externalSubset = &StreamParser::onSubset;
        sax.reference = &StreamParser::onReference;
        sax.serror = &StreamParser::onError;
        doc_ = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
        // The first bytes tell the parser the file's encoding.
        const size_t first = std::min<size_t>(n, 4);
        ctxt_ = doc_ ? xmlCreatePushParserCtxt(&sax, this, chunk, static_cast<int>(first), "input.svg") : nullptr;
        if (!ctxt_) {
            error_ = true;
            return false;
        }
        xmlCtxtUseOptions(ctxt_, kXmlReadOptions);
        chunk += first;
        n -= first;
    }
    parsed_ = n == 0;
    xmlParseChunk(ctxt_, chunk, static_cast<int>(n), parsed_ ? 1 : 0);
    if (!ctxt_->wellFormed) error_ = true;
    return !parsed_ && !error_;
}

void StreamParser::release() {
    size_t units = 0, groups = 0;
    {
        std::lock_guard lock(mutex_);
        units = std::min(unitsInUse_, firstMark(ready_, Kind::Whole));
        groups = std::min(groupsInUse_, firstMark(ready_, Kind::Start));
    }
    units_.releaseBefore(std::min(units, unit_ ? unitMark_ : units_.mark()));
    groups_.releaseBefore(std::min(groups, groups_.mark()));
}

void StreamParser::step() {
    release();
    const bool more = parseChunk();
    {
        std::lock_guard lock(mutex_);
        ready_.insert(ready_.end(), made_.begin(), made_.end());
        if (!more) {
            done_ = true;
            failed_ = error_;
        }
    }
    made_.clear();
    changed_.notify_all();
}

void StreamParser::run() {
    try {
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return cancel_ || ready_.size() < kAhead; });
                if (cancel_) return;
            }
            step();
            std::lock_guard lock(mutex_);
            if (done_) return;
        }
    } catch (...) {  // out of memory among them
        {
            std::lock_guard lock(mutex_);
            done_ = failed_ = true;
        }
        changed_.notify_all();
    }
}

// ---- The reader's side ----

void StreamParser::awaitStep(std::unique_lock<std::mutex>& lock) {
    if (thread_.joinable()) {
        changed_.wait(lock);
        return;
    }
    lock.unlock();
    step();
    lock.lock();
}

void StreamParser::fill() {
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (failed_) throw StreamDeclined{};
            if (!ready_.empty()) break;
            if (done_) throw StreamDeclined{};  // the file ends before what the reader wants
            awaitStep(lock);
        }
        taken_.swap(ready_);
        // What was read before is done with: the blocks from the first of
        // these items on, and those of the group being read and of the
        // elements pinned, are in use.
        unitsInUse_ = std::min(pinned_, firstMark(taken_, Kind::Whole));
        groupsInUse_ = std::min(groupMark_, firstMark(taken_, Kind::Start));
    }
    changed_.notify_all();
}

StreamParser::Item StreamParser::next() {
    if (taken_.empty()) fill();
    const Item it = taken_.front();
    taken_.pop_front();
    if (it.kind == Kind::Start) groupMark_ = it.mark;
    if (it.kind == Kind::Whole && pinning_) pinned_ = std::min(pinned_, it.mark);
    return it;
}

void StreamParser::finish() {
    std::unique_lock lock(mutex_);
    while (!done_) awaitStep(lock);
    if (failed_ || !ready_.empty() || !taken_.empty()) throw StreamDeclined{};
}

}  // namespace easel::svg
