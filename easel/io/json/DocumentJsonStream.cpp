// A document file read a layer's art object at a time: what comes before the
// layers is parsed and read as the whole reading reads it, then each art
// object is parsed, read and dropped, so that a large file never has its
// whole parse in memory. Whatever this reading does not follow exactly (a
// fault anywhere, a member after the layers that is read before them) is
// left to the whole reading, which refuses a faulty file as it always has.
#include <condition_variable>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/Input.h"
#include "io/json/DocumentJsonReader.h"

namespace easel::jsonread {

namespace {

// Depths, in the whole text, of the values parsed one at a time.
constexpr int kDocumentMemberDepth = kMaxJsonDepth - 1;
constexpr int kLayerMemberDepth = kMaxJsonDepth - 3;
constexpr int kArtDepth = kMaxJsonDepth - 4;

bool oneOf(std::string_view key, std::initializer_list<std::string_view> keys) {
    for (std::string_view k : keys)
        if (key == k) return true;
    return false;
}

// The document's members read before its layers, and a layer's before its art.
bool readBeforeLayers(std::string_view key) {
    return oneOf(key, {"format", "version", "page", "seed", "swatches", "gradients", "gradientPaints", "svg"});
}
bool readBeforeArt(std::string_view key) { return oneOf(key, {"name", "visible", "locked", "svg"}); }

// An object of the members taken so far, built a member at a time.
class Members {
public:
    Members() : root_(text_.add(JsonText::Object)) {}
    bool add(JsonStream& s, std::string_view key, int depth) {
        text_.setOwnString(text_.add(JsonText::String), key);
        ++count_;
        return s.value(text_, depth);
    }
    Value object() {
        text_.close(root_, count_);
        return text_.root();
    }

private:
    JsonText text_;
    uint32_t root_;
    uint32_t count_ = 0;
};

// The members of an object, each handed to `member` with its key; false on
// malformed punctuation or when `member` is false.
template <class Member>
bool eachMember(JsonStream& s, Member&& member) {
    if (!s.take('{')) return false;
    if (s.take('}')) return true;
    for (;;) {
        std::string_view key;
        if (!s.key(key) || !member(key)) return false;
        if (s.take(',')) continue;
        return s.take('}');
    }
}

// The elements of an array, each handed to `element` with its index.
template <class Element>
bool eachElement(JsonStream& s, Element&& element) {
    if (!s.take('[')) return false;
    if (s.take(']')) return true;
    for (size_t i = 0;; ++i) {
        if (!element(i)) return false;
        if (s.take(',')) continue;
        return s.take(']');
    }
}

// A layer's art objects parsed on a second thread while this one reads those
// parsed before it: in a large file parsing and reading each take about half
// of the time. Objects come in batches, in order; a few batches are in flight
// at once, each reused once read.
class ArtParser {
public:
    explicit ArtParser(JsonStream& s) : s_(s), thread_([this] { run(); }) {}
    ~ArtParser() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    ArtParser(const ArtParser&) = delete;
    ArtParser& operator=(const ArtParser&) = delete;

    // The next batch of objects (their count, the first of them), once the
    // previous batch is read; false at the array's end or when parsing failed.
    bool next(size_t& count, Value& first) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (reading_) {
            free_.push_back(reading_);
            reading_ = nullptr;
            changed_.notify_all();
        }
        changed_.wait(lock, [&] { return !ready_.empty() || done_; });
        if (ready_.empty()) return false;
        reading_ = ready_.front();
        ready_.pop_front();
        count = reading_->count;
        first = reading_->text.root();
        return true;
    }
    // After next() was false: whether the whole array was parsed.
    bool parsed() {
        std::lock_guard<std::mutex> lock(mutex_);
        return done_ && ok_;
    }

private:
    struct Batch {
        JsonText text;
        size_t count = 0;
    };
    static constexpr size_t kBatchObjects = 256;
    static constexpr size_t kBatches = 4;

    void run() {
        bool ok = false;
        try {
            ok = parseAll();
        } catch (...) {  // out of memory: the whole reading reports it
            ok = false;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ok_ = ok;
        done_ = true;
        changed_.notify_all();
    }

    // The array's objects, batch by batch; a batch is handed over once full
    // and the last one at the array's end.
    bool parseAll() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto& b : batches_) free_.push_back(&b);
        }
        Batch* b = nullptr;
        const bool ok = eachElement(s_, [&](size_t) {
            if (!b && !(b = freeBatch())) return false;
            if (!s_.value(b->text, kArtDepth)) return false;
            if (++b->count == kBatchObjects) publish(std::exchange(b, nullptr));
            return true;
        });
        if (ok && b) publish(b);
        return ok;
    }
    // An emptied batch once one is free; null when the reader stopped.
    Batch* freeBatch() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return !free_.empty() || stop_; });
        if (stop_) return nullptr;
        Batch* b = free_.back();
        free_.pop_back();
        b->text.clear();
        b->count = 0;
        return b;
    }
    void publish(Batch* b) {
        std::lock_guard<std::mutex> lock(mutex_);
        ready_.push_back(b);
        changed_.notify_all();
    }

    JsonStream& s_;
    Batch batches_[kBatches];
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Batch*> free_;
    std::deque<Batch*> ready_;
    Batch* reading_ = nullptr;
    bool stop_ = false, done_ = false, ok_ = false;
    std::thread thread_;  // last: starts once the rest is made
};

// Arrays with fewer bytes left after them than this are parsed on this thread.
constexpr size_t kParseAlongsideBytes = size_t{1} << 20;

}  // namespace

bool Reader::streamedLayer(JsonStream& s, size_t index, Document& doc, std::vector<LayerFlags>& flags) {
    const Where root;
    const Where wl = root.at("layers");
    const Where where = wl[index];
    const Where wa = where.at("art");
    Members head;
    JsonText one;  // an art object, or a member after the art
    Layer* layer = nullptr;
    bool artRead = false;
    const bool read = eachMember(s, [&](std::string_view key) {
        if (key == "art") {
            if (artRead || !layerHead(head.object(), where, index, doc, flags, layer)) return false;
            artRead = true;
            if (s.left() < kParseAlongsideBytes)
                return eachElement(s, [&](size_t k) {
                    one.clear();
                    return s.value(one, kArtDepth) && art(doc, one.root(), wa[k], layer, nullptr, 0);
                });
            ArtParser parser(s);
            size_t count = 0, k = 0;
            Value a;
            while (parser.next(count, a)) {
                for (size_t i = 0; i < count; ++i, ++k, a = a.next())
                    if (!art(doc, a, wa[k], layer, nullptr, 0)) return false;
            }
            return parser.parsed();
        }
        if (!artRead) return head.add(s, key, kLayerMemberDepth);
        one.clear();
        return !readBeforeArt(key) && s.value(one, kLayerMemberDepth);
    });
    return read && (artRead || layerHead(head.object(), where, index, doc, flags, layer));
}

bool Reader::documentStreamed(JsonStream& s, std::unique_ptr<Document>& out) {
    Members before, after;
    std::unique_ptr<Document> doc;
    std::vector<LayerFlags> flags;
    bool layersRead = false;
    const bool read = eachMember(s, [&](std::string_view key) {
        if (key == "layers") {
            if (layersRead || !head(before.object(), doc)) return false;
            layersRead = true;
            return eachElement(s, [&](size_t i) { return streamedLayer(s, i, *doc, flags); });
        }
        if (!layersRead) return before.add(s, key, kDocumentMemberDepth);
        return !readBeforeLayers(key) && after.add(s, key, kDocumentMemberDepth);
    });
    if (!read || !layersRead || !s.atEnd()) return false;
    // The last "guides" given, as the whole reading takes it.
    const Value later = after.object().find("guides");
    if (!guides(later ? later : before.object().find("guides"), *doc)) return false;
    finish(*doc, flags);
    out = std::move(doc);
    return true;
}

}  // namespace easel::jsonread
