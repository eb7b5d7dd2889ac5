// The document file's reader, shared by the unit that reads the document and
// its layers (DocumentJson.cpp) and the one that reads art (DocumentJsonArt.cpp).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "io/KeptSvg.h"
#include "io/json/DocumentJson.h"
#include "io/json/JsonText.h"

namespace easel::jsonread {

using Json = nlohmann::ordered_json;
using Value = JsonText::Value;

// A place in the document, kept as a chain of keys and indices on the stack.
struct Where {
    const Where* parent = nullptr;
    std::string_view key;
    size_t index = 0;
    bool isIndex = false;

    Where at(std::string_view k) const { return Where{this, k, 0, false}; }
    Where operator[](size_t i) const { return Where{this, {}, i, true}; }
    std::string text() const {
        if (!parent) return std::string(key);
        std::string p = parent->text();
        if (isIndex) return p + "[" + std::to_string(index) + "]";
        return p.empty() ? std::string(key) : p + "." + std::string(key);
    }
};

// The attributes art may have, in the order of kArtKeys.
enum ArtKey {
    kKeyId, kKeyType, kKeySelected, kKeyLocked, kKeyHidden, kKeyClosed, kKeySegments, kKeySelectedSegments,
    kKeyText, kKeyFontSize, kKeyHref, kKeySymbol, kKeyWidth, kKeyHeight, kKeyMatrix, kKeyWarp,
    kKeyFill, kKeyStroke, kKeyEvenOdd, kKeyOpacity, kKeyBlend, kKeyTags, kKeyChildren, kKeyEffectSpace,
    kKeyClipped, kArtKeyCount
};
constexpr std::string_view kArtKeys[kArtKeyCount] = {
    "id",       "type",     "selected", "locked",  "hidden", "closed", "segments", "selectedSegments",
    "text",     "fontSize", "href",     "symbol",  "width",  "height", "matrix",   "warp",
    "fill",     "stroke",   "evenOdd",  "opacity", "blend",  "tags",   "children", "effectSpace",
    "clipped"};

// The ArtKey of an attribute name, -1 for any other name.
int artKey(std::string_view name);

// An art object's members by attribute, read in one pass: each attribute's
// value (its last, for a key given twice), and whether any other key is there.
struct ArtMembers {
    Value value[kArtKeyCount];
    bool unknown = false;

    explicit ArtMembers(const Value& j);
    const Value& operator[](ArtKey k) const { return value[k]; }
};

// A parsed value as nlohmann::json holds it (attributes kept unread).
Json toJson(const Value& v);

// Art being read: the new art, its members and its place in the file.
struct ArtRead {
    Document& doc;
    Art* art;
    const Value& json;
    const ArtMembers& members;
    const Where& where;
    int depth;
};

class Reader {
public:
    explicit Reader(std::string& error) : error_(error) {}

    bool document(const Value& j, std::unique_ptr<Document>& out);
    // The same document read from `s` a layer's art object at a time; false
    // when the text is to be read whole instead: anything malformed or
    // refused, and members in an order this reading cannot follow.
    bool documentStreamed(JsonStream& s, std::unique_ptr<Document>& out);

private:
    bool fail(const Where& where, const std::string& what) {
        const std::string w = where.text();
        error_ = w.empty() ? what : w + ": " + what;
        return false;
    }
    bool art(Document& doc, const Value& j, const Where& where, Layer* layer, Art* parent, int depth);
    // The members of art, one reader each, in the order they are read.
    bool artId(const ArtRead& r);
    bool artFlags(const ArtRead& r);
    bool artPath(const ArtRead& r);
    bool artObject(const ArtRead& r);
    bool artMatrix(const ArtRead& r);
    bool artEffectSpace(const ArtRead& r);
    bool artWarp(const ArtRead& r);
    bool artStyle(const ArtRead& r);
    bool artOpacity(const ArtRead& r);
    bool artBlend(const ArtRead& r);
    bool artTags(const ArtRead& r);
    bool artChildren(const ArtRead& r);
    bool artSelection(const ArtRead& r);
    bool artKeptMembers(const ArtRead& r);
    bool matrix(const Value& m, const Where& w, AIRealMatrix& out);

    // The parts of the document, one reader each.
    struct LayerFlags {
        Layer* layer;
        bool visible;
        bool locked;
    };
    bool formatAndVersion(const Value& j);
    bool page(const Value& j, float& width, float& height);
    bool seed(const Value& j, Document& doc);
    bool swatches(const Value& j, Document& doc);
    bool gradients(const Value& j, Document& doc);
    bool documentKept(const Value& j, Document& doc);
    bool layers(const Value& j, Document& doc, std::vector<LayerFlags>& flags);
    bool layer(const Value& l, const Where& where, size_t index, Document& doc, std::vector<LayerFlags>& flags);
    // A layer's name, flags and kept SVG: the new layer, before its art.
    bool layerHead(const Value& l, const Where& where, size_t index, Document& doc, std::vector<LayerFlags>& flags,
                   Layer*& layer);
    // What the document holds before its layers, and the new document.
    bool head(const Value& j, std::unique_ptr<Document>& doc);
    bool guides(const Value& g, Document& doc);
    // Art ids, and the layers shown and locked as stored.
    void finish(Document& doc, const std::vector<LayerFlags>& flags);
    bool streamedLayers(JsonStream& s, Document& doc, std::vector<LayerFlags>& flags);
    bool streamedLayer(JsonStream& s, size_t index, Document& doc, std::vector<LayerFlags>& flags);
    void numberUnnumbered(Document& doc);

    // Values, each refused naming its place.
    bool real(const Value& j, const Where& where, float& v);
    bool integer(const Value& j, const Where& where, int64_t lo, int64_t hi, int64_t& v);
    bool boolean(const Value& j, const Where& where, bool& v);
    bool string(const Value& j, const Where& where, std::string& v);
    bool color(const Value& j, const Where& where, AIColor& c);
    bool style(const ArtMembers& m, const Where& where, AIPathStyle& s);
    bool gradientStopsWithinLimit(const Value& gradients, const Where& where);
    // Kept SVG material (the member `key` of what `where` names) of the types
    // it must have; refused naming the mistyped part and what it must be.
    bool keptSvg(KeptSvgOwner owner, std::string_view key, const Json& value, const Where& where) {
        const auto problem = keptSvgTypeError(owner, key, value);
        if (!problem) return true;
        const std::string w = where.text();
        error_ = w.empty() ? *problem : w + "." + *problem;
        return false;
    }

    // Records a stored id; false when an earlier art has it.
    bool addId(int64_t id) {
        // Files list ids in increasing order: each one above all before it
        // needs no look-up.
        if (id > maxId_) {
            ascendingIds_.push_back(id);
            maxId_ = id;
            return true;
        }
        if (std::binary_search(ascendingIds_.begin(), ascendingIds_.end(), id)) return false;
        return otherIds_.insert(id).second;
    }

    std::string& error_;
    std::vector<int64_t> ascendingIds_;  // ids above every earlier id, increasing
    std::unordered_set<int64_t> otherIds_;
    int64_t maxId_ = 0;
    std::vector<Art*> unnumbered_;  // art without a stored id, in document order
};

}  // namespace easel::jsonread
